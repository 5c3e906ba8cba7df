#include "frm_foto.h"

#include "frm_foto_layout.h"
#include "picture_path.h"

#include "platform/rdo/rdo.h"
#include "platform/ui/constants.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "platform/vb/format.h"
#include "platform/vb/resume_next.h"

#include <cmath>

namespace detail {

namespace {


// The window's size on the screen: it is first made 9460 wide and placed for
// that width, then narrowed to 8800 without moving it again, so it stands a
// little left of the centre.
constexpr ui::Twips AnchoParaCentrar = 9460;
constexpr ui::Twips AnchoFinal = 8800;
constexpr ui::Twips AltoFinal = 7600;

constexpr ui::OleColor Gris = 8421504;
constexpr ui::OleColor Rojo = 255;
constexpr ui::OleColor GrisOscuro = 4210752;

thread_local std::function<void(const frmFoto &)> loadedListener;

ui::Font fuente(const char *nombre, double puntos)
{
    ui::Font font;
    font.name = QString::fromLatin1(nombre);
    font.size = puntos;
    return font;
}

ui::Twips aTwips(double valor)
{
    return static_cast<ui::Twips>(std::lround(valor));
}

Rect rect(const ui::Window &window)
{
    return {static_cast<double>(window.left()), static_cast<double>(window.top()),
            static_cast<double>(window.width()), static_cast<double>(window.height())};
}

// Our windows hold whole twips: the rule's halves are rounded here, and only here.
void colocar(ui::Window &window, const Rect &r)
{
    vb::ResumeNext([&] { window.move(aTwips(r.left), aTwips(r.top), aTwips(r.width), aTwips(r.height)); });
}

// A column's value as text; a database null is empty text.
QString texto(const rdo::rdoColumns &columnas, const char *nombre)
{
    const vb::Variant &valor = columnas.Item(QString::fromLatin1(nombre)).Value();
    return valor.isNull() ? QString() : vb::CStr(valor);
}

} // namespace

frmFoto::frmFoto()
{
    ui::Toolkit &toolkit = ui::toolkit();
    m_form = toolkit.createForm();
    m_form->setBackColor(Gris);
    m_form->setCaption(QString());
    m_form->setKeyPreview(true);

    m_picFoto = toolkit.createPictureBox(*m_form);
    m_picFoto->move(540, 0, 9315, 7155);
    m_picFoto->setBackColor(ui::SystemWindowBackground);

    const auto etiqueta = [&](ui::Twips left, ui::Twips top, ui::Twips width, ui::Twips height,
                              const QString &caption, const ui::Font &font) {
        std::unique_ptr<ui::Label> label = toolkit.createLabel(*m_picFoto);
        label->move(left, top, width, height);
        label->setCaption(caption);
        label->setFont(font);
        label->setAlignment(ui::Alignment::Center);
        return label;
    };
    m_lblTitulo = etiqueta(90, 60, 9180, 915, QStringLiteral("Nombre del Artículo"), fuente("Tahoma", 20.25));
    m_lblTitulo->setForeColor(Rojo);
    m_lblTitulo->setBackColor(ui::SystemWindowBackground);
    m_lblCerrar = etiqueta(3600, 6900, 2235, 255, QStringLiteral("[ESC] - Cerrar Pantalla"), fuente("Calibri", 9.75));
    m_lblCaracteristicas =
        etiqueta(0, 5760, 9180, 1035, QStringLiteral("Nombre del Artículo"), fuente("Tahoma", 8.25));
    m_lblCaracteristicas->setForeColor(GrisOscuro);
    m_lblCaracteristicas->setBackColor(ui::SystemWindowBackground);
    m_lblPrecio = etiqueta(3240, 960, 2775, 315, QStringLiteral("Contado: $U 3,290"), fuente("Tahoma", 14.25));

    m_imgArticulo = toolkit.createImage(*m_picFoto);
    m_imgArticulo->move(1980, 1200, 5205, 4200);

    m_form->onLoad = [this] { Form_Load(); };
    m_form->onResize = [this] { Form_Resize(); };
    m_form->onKeyDown = [this](int16_t &KeyCode, int16_t &Shift) { Form_KeyDown(KeyCode, Shift); };
    m_lblCerrar->onClick = [this] { lblCerrar_Click(); };
}

frmFoto::~frmFoto() = default;

void frmFoto::Show()
{
    m_form->showModal();
}

QString frmFoto::SQLDetalle(int32_t articulo, int16_t variedad)
{
    const QString v = QString::number(variedad);
    return QStringLiteral("SELECT ArtCodigo, RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre, "
                          "IsNull(ArtDescripcionLarga, ArtDescripcionCorta) as ArtDescripcion, ArtFoto, ") +
           QStringLiteral(" EmpPathImg, MonSimbolo, MonRedondeo, PViPrecio, TPrAbreviacion ") +
           QStringLiteral(" FROM Articulo") + QStringLiteral(" INNER JOIN cceEmpresas ON ArtEmpresa = EmpID ") +
           QStringLiteral(" LEFT OUTER JOIN ArticuloVariedad ON AVaArticulo = ArtID AND AVaID = ") + v +
           QStringLiteral(" LEFT OUTER JOIN PrecioVigente On PViArticulo = ArtID And PViVariedad = ") + v +
           QStringLiteral(" And PViHabilitado = 1 And PViCantidad = 1 ") +
           QStringLiteral(" LEFT OUTER JOIN TipoDePrecio ON PViTipoPrecio = TPrID And TPrTipo = 1 And TPrListaPrecio = 0") +
           QStringLiteral(" LEFT OUTER JOIN genMonedas ON PViMoneda = MonID") + QStringLiteral(" WHERE ArtID = ") +
           QString::number(articulo) +
           QStringLiteral(" AND ( (PViTipoPrecio IS NOT NULL AND TPrTipo IS NOT NULL) OR PViTipoPrecio IS NULL )");
}

void frmFoto::Form_Load()
{
    CargarDetalle();
    // Each move runs the placement of the elements; a size the window refuses
    // leaves it as it was.
    vb::ResumeNext([&] { m_form->move(m_form->left(), m_form->top(), AnchoParaCentrar, AltoFinal); });
    vb::ResumeNext([&] {
        const ui::Screen &screen = ui::toolkit().screen();
        const double left = (screen.width() - m_form->width()) / 2.0;
        const double top = (screen.height() - m_form->height()) / 3.0;
        m_form->move(aTwips(left), aTwips(top), AnchoFinal, m_form->height());
    });
    if (loadedListener)
        loadedListener(*this);
}

void frmFoto::Form_Resize()
{
    FotoGeometry actual{rect(*m_picFoto),      rect(*m_lblTitulo),          rect(*m_lblCerrar),
                        rect(*m_imgArticulo), rect(*m_lblCaracteristicas), rect(*m_lblPrecio)};
    const FotoGeometry nueva = placeFotoElements(m_form->width(), m_form->height(), actual);
    colocar(*m_picFoto, nueva.picFoto);
    colocar(*m_lblTitulo, nueva.lblTitulo);
    colocar(*m_lblCerrar, nueva.lblCerrar);
    colocar(*m_imgArticulo, nueva.imgArticulo);
    colocar(*m_lblCaracteristicas, nueva.lblCaracteristicas);
    colocar(*m_lblPrecio, nueva.lblPrecio);
}

// Escape closes the view whichever element has the focus and whatever shift
// keys are held: the window previews every key.
void frmFoto::Form_KeyDown(int16_t &KeyCode, int16_t &)
{
    if (KeyCode == ui::vbKeyEscape)
        m_form->unload();
}

void frmFoto::lblCerrar_Click()
{
    vb::ResumeNext([&] {
        mrdoCBase.reset();
        m_form->unload();
    });
}

void frmFoto::CargarDetalle()
{
    ui::Screen &screen = ui::toolkit().screen();
    QString carpeta;
    QString foto;
    try {
        screen.setMousePointer(ui::vbHourglass);
        m_lblTitulo->setCaption(QString());
        m_lblPrecio->setCaption(QString());
        m_lblCaracteristicas->setCaption(QString());
        m_imgArticulo->loadPicture(QString());
        m_fotoCargada.clear();

        if (!mrdoCBase)
            throw vb::Error::standard(vb::err::ObjectNotSet);
        const auto resultado =
            mrdoCBase->OpenResultset(SQLDetalle(mlngArticulo, mintVariedad), rdo::rdOpenDynamic, rdo::rdConcurValues);
        if (!resultado->Eof()) {
            const rdo::rdoColumns &columnas = resultado->rdoColumns();
            m_lblTitulo->setCaption(QStringLiteral("(") + texto(columnas, "ArtCodigo") + QStringLiteral(") ") +
                                    texto(columnas, "ArtNombre"));
            const vb::Variant &precio = columnas.Item(QStringLiteral("PViPrecio")).Value();
            if (!precio.isNull()) {
                // The currency's own pattern; a currency without one cannot
                // format the price, which ends the load here.
                const QString patron = vb::CStr(columnas.Item(QStringLiteral("MonRedondeo")).Value());
                m_lblPrecio->setCaption(texto(columnas, "TPrAbreviacion") + QStringLiteral(": ") +
                                        texto(columnas, "MonSimbolo") + QStringLiteral(" ") +
                                        vb::Format(precio, patron));
            }
            if (const vb::Variant &descripcion = columnas.Item(QStringLiteral("ArtDescripcion")).Value();
                !descripcion.isNull())
                m_lblCaracteristicas->setCaption(vb::CStr(descripcion));
            if (const vb::Variant &path = columnas.Item(QStringLiteral("EmpPathImg")).Value(); !path.isNull())
                carpeta = vb::CStr(path);
            if (const vb::Variant &archivo = columnas.Item(QStringLiteral("ArtFoto")).Value(); !archivo.isNull())
                foto = vb::CStr(archivo);
        }
        resultado->Close();
        screen.setMousePointer(ui::vbDefault);

        if (!carpeta.isEmpty() && !foto.isEmpty()) {
            if (!carpeta.endsWith(u'\\'))
                carpeta += u'\\';
            foto = carpeta + QStringLiteral("TPV\\") + foto;
        }
    } catch (const std::exception &) {
        // What was filled stays; the view opens without a picture.
        vb::ResumeNext([&] { screen.setMousePointer(ui::vbDefault); });
        return;
    }

    // The shop's terminals keep their own copies of the photographs in the
    // folder's "TPV" sub-folder; without one there the folder's own is shown.
    if (!cargarFoto(foto))
        cargarFoto(vb::Replace(foto, QStringLiteral("\\TPV\\"), QStringLiteral("\\")));
    vb::ResumeNext([&] { screen.setMousePointer(ui::vbDefault); });
}

bool frmFoto::cargarFoto(const QString &ruta)
{
    vb::ResumeNext([&] { loadHostPicture(*m_imgArticulo, ruta); });
    bool cargada = false;
    vb::ResumeNext([&] { cargada = m_imgArticulo->pictureHandle() != 0; });
    if (cargada)
        m_fotoCargada = ruta;
    return cargada;
}

void setDetailLoadedListener(std::function<void(const frmFoto &)> listener)
{
    loadedListener = std::move(listener);
}

} // namespace detail
