// The detail view on the headless toolkit: what it reads, what it shows, which
// photograph file it finds, where it stands, and how it closes.

#include "language_fixture.h"
#include "row_connection.h"

#include "detail/frm_foto.h"
#include "detail/picture_path.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QDir>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>

#include <optional>

namespace {

using vok::test::contado;
using vok::test::Row;
using vok::test::RowConnection;

class FrmFotoTest : public vok::test::LanguageFixture {
protected:
    void SetUp() override
    {
        LanguageFixture::SetUp();
        connection = std::make_shared<RowConnection>();
        connection->row = contado();
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        LanguageFixture::TearDown();
    }

    // Opens a view on the connection; the user, if any, acts on it once it is
    // shown, and it is closed (if still open) when the user is done.
    std::unique_ptr<detail::frmFoto> show(int32_t articulo = 7, int16_t variedad = 0,
                                          std::function<void(detail::frmFoto &)> user = {})
    {
        auto foto = std::make_unique<detail::frmFoto>();
        foto->mrdoCBase = connection;
        foto->mlngArticulo = articulo;
        foto->mintVariedad = variedad;
        if (user)
            toolkit().queueModalAnswer([&](ui::Form &) { user(*foto); });
        m_pointersAtStart = toolkit().screen().pointerHistory().size();
        foto->Show();
        return foto;
    }
    static bool loaded(const detail::frmFoto &foto) { return static_cast<ui::HeadlessForm &>(foto.form()).isLoaded(); }
    // The mouse pointers the last view set.
    std::vector<int16_t> pointers() const
    {
        const auto &all = const_cast<FrmFotoTest *>(this)->toolkit().screen().pointerHistory();
        return {all.begin() + static_cast<std::ptrdiff_t>(m_pointersAtStart), all.end()};
    }
    static ui::HeadlessImage &image(const detail::frmFoto &foto)
    {
        return static_cast<ui::HeadlessImage &>(foto.imgArticulo());
    }

    std::shared_ptr<RowConnection> connection;

private:
    size_t m_pointersAtStart = 0;
};

TEST_F(FrmFotoTest, StatementIsTheDetailQueryOfArticleAndVariety)
{
    const QString expected =
        "SELECT ArtCodigo, RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre, "
        "IsNull(ArtDescripcionLarga, ArtDescripcionCorta) as ArtDescripcion, ArtFoto,  EmpPathImg, MonSimbolo, "
        "MonRedondeo, PViPrecio, TPrAbreviacion  FROM Articulo INNER JOIN cceEmpresas ON ArtEmpresa = EmpID  LEFT "
        "OUTER JOIN ArticuloVariedad ON AVaArticulo = ArtID AND AVaID = %2 LEFT OUTER JOIN PrecioVigente On "
        "PViArticulo = ArtID And PViVariedad = %2 And PViHabilitado = 1 And PViCantidad = 1  LEFT OUTER JOIN "
        "TipoDePrecio ON PViTipoPrecio = TPrID And TPrTipo = 1 And TPrListaPrecio = 0 LEFT OUTER JOIN genMonedas ON "
        "PViMoneda = MonID WHERE ArtID = %1 AND ( (PViTipoPrecio IS NOT NULL AND TPrTipo IS NOT NULL) OR "
        "PViTipoPrecio IS NULL )";
    EXPECT_EQ(detail::frmFoto::SQLDetalle(1234, 0), expected.arg("1234", "0"));
    EXPECT_EQ(detail::frmFoto::SQLDetalle(-5, -32768), expected.arg("-5", "-32768"));

    show(2147483647, 12);
    EXPECT_EQ(connection->statements, QStringList{expected.arg("2147483647", "12")});
}

// Title, price line and description from the row; a value that cannot be
// formatted ends the load where it stands.
TEST_F(FrmFotoTest, FillsTitlePriceAndDescriptionFromTheRow)
{
    const struct {
        const char *name;
        Row changes;
        const char *title;
        const char *price;
        const char *description;
    } cases[] = {
        {"design caption", {}, "(A12) TORNILLO HEX 8MM", "Contado: $U 3,290", "Tornillo hexagonal de acero"},
        {"two decimals", {{"MonRedondeo", "#,##0.00"}, {"PViPrecio", 1234567.5}},
         "(A12) TORNILLO HEX 8MM", "Contado: $U 1,234,567.50", "Tornillo hexagonal de acero"},
        {"fixed digits", {{"MonRedondeo", "0.000"}, {"PViPrecio", 0.5}, {"MonSimbolo", "U$S"}},
         "(A12) TORNILLO HEX 8MM", "Contado: U$S 0.500", "Tornillo hexagonal de acero"},
        {"no price", {{"PViPrecio", vb::Variant::null()}, {"MonRedondeo", vb::Variant::null()}},
         "(A12) TORNILLO HEX 8MM", "", "Tornillo hexagonal de acero"},
        {"no price type nor currency symbol", {{"TPrAbreviacion", vb::Variant::null()}, {"MonSimbolo", vb::Variant::null()}},
         "(A12) TORNILLO HEX 8MM", ":  3,290", "Tornillo hexagonal de acero"},
        {"no code nor name", {{"ArtCodigo", vb::Variant::null()}, {"ArtNombre", vb::Variant::null()}},
         "() ", "Contado: $U 3,290", "Tornillo hexagonal de acero"},
        {"no description", {{"ArtDescripcion", vb::Variant::null()}}, "(A12) TORNILLO HEX 8MM", "Contado: $U 3,290", ""},
        {"a price without a pattern", {{"MonRedondeo", vb::Variant::null()}}, "(A12) TORNILLO HEX 8MM", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Row row = contado();
        for (const auto &[name, value] : c.changes)
            row[name] = value;
        connection->row = row;
        const auto foto = show();
        EXPECT_EQ(foto->lblTitulo().caption(), c.title);
        EXPECT_EQ(foto->lblPrecio().caption(), c.price);
        EXPECT_EQ(foto->lblCaracteristicas().caption(), c.description);
        EXPECT_EQ(foto->lblCerrar().caption(), "[ESC] - Cerrar Pantalla");
    }
}

TEST_F(FrmFotoTest, PriceTakesTheLocaleSeparators)
{
    connection->row = contado();
    (*connection->row)["MonRedondeo"] = "#,##0.00";
    (*connection->row)["PViPrecio"] = 3290.5;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Uruguay));
    EXPECT_EQ(show()->lblPrecio().caption(), "Contado: $U 3.290,50");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(show()->lblPrecio().caption(), "Contado: $U 3,290.50");
}

TEST_F(FrmFotoTest, HourglassWhileReadingAndQuietFailures)
{
    auto foto = show();
    EXPECT_EQ(pointers(), (std::vector<int16_t>{11, 0, 0}));

    // No row: everything empty but the hint.
    connection->row.reset();
    foto = show();
    EXPECT_EQ(foto->lblTitulo().caption(), "");
    EXPECT_EQ(foto->lblPrecio().caption(), "");
    EXPECT_EQ(foto->lblCaracteristicas().caption(), "");
    EXPECT_EQ(foto->lblCerrar().caption(), "[ESC] - Cerrar Pantalla");

    // A statement the server rejects, and no connection at all: the view still
    // opens, empty, and the pointer is back to normal.
    connection->failure = vb::Error(208, "Invalid object name 'PrecioVigente'.");
    foto = show();
    EXPECT_EQ(foto->lblTitulo().caption(), "");
    EXPECT_EQ(pointers(), (std::vector<int16_t>{11, 0}));
    EXPECT_EQ(foto->form().width(), 8800);

    foto = std::make_unique<detail::frmFoto>();
    foto->mlngArticulo = 1;
    EXPECT_NO_THROW(foto->Show());
    EXPECT_EQ(foto->lblTitulo().caption(), "");
}

// Loading sizes the window (9460 wide to place it, then 8800), puts a third of
// the free height above it, and places the elements as the rule says,
// rounded to whole twips only at the end.
TEST_F(FrmFotoTest, LoadPlacesTheWindowAndItsElements)
{
    QTemporaryDir folder;
    QImage picture(200, 150, QImage::Format_RGB32); // 4000 x 3000 twips at 72 dots per inch
    picture.fill(Qt::darkCyan);
    picture.setDotsPerMeterX(2835);
    picture.setDotsPerMeterY(2835);
    ASSERT_TRUE(QDir().mkpath(folder.filePath("Img/TPV")));
    ASSERT_TRUE(picture.save(folder.filePath("Img/TPV/a.png"), "PNG"));
    writeSettings("[Rutas]\nD=" + folder.path().toUtf8() + "\n");
    connection->row = contado();
    (*connection->row)["EmpPathImg"] = "D:\\Img";
    (*connection->row)["ArtFoto"] = "a.png";

    const auto foto = show();
    const ui::Form &form = foto->form();
    EXPECT_EQ(form.left(), 2950);
    EXPECT_EQ(form.top(), 1307);
    EXPECT_EQ(form.width(), 8800);
    EXPECT_EQ(form.height(), 7600);
    const auto rect = [](const ui::Window &w) { return std::vector<int>{w.left(), w.top(), w.width(), w.height()}; };
    EXPECT_EQ(rect(foto->picFoto()), (std::vector<int>{100, 100, 8600, 7400}));
    EXPECT_EQ(rect(foto->lblTitulo()), (std::vector<int>{0, 60, 8600, 915}));
    EXPECT_EQ(rect(foto->lblPrecio()), (std::vector<int>{0, 960, 8600, 315}));
    EXPECT_EQ(rect(foto->lblCerrar()), (std::vector<int>{3183, 7085, 2235, 255}));
    EXPECT_EQ(rect(foto->lblCaracteristicas()), (std::vector<int>{60, 5970, 8480, 1035}));
    EXPECT_EQ(rect(foto->imgArticulo()), (std::vector<int>{2300, 2200, 4000, 3000}));
    EXPECT_EQ(image(*foto).loadedPath(), folder.filePath("Img/TPV/a.png"));
}

// Which file the view shows: "TPV\" under the company's folder first, then the
// folder itself; drive letters through the settings; nothing when neither
// holds a readable picture.
TEST_F(FrmFotoTest, PhotographPathAndFallback)
{
    QTemporaryDir folder;
    const auto write = [&](const QString &relative, const QByteArray &bytes = {}) {
        const QString path = folder.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!bytes.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            return;
        }
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        ASSERT_TRUE(picture.save(path, "PNG"));
    };
    write("Img/TPV/a.png");
    write("Img/b.png");
    write("Img/c.png");
    write("TPV/Img/c.png");
    write("Img/TPV/bad.jpg", "not a picture at all");
    write("Img/bad.jpg", "\xFF\xD8\xFF truncated");
    writeSettings("[Rutas]\nD=" + folder.path().toUtf8() + "/\n");
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());

    const vb::Variant null = vb::Variant::null();
    const struct {
        vb::Variant carpeta;
        vb::Variant foto;
        const char *shown;
    } cases[] = {
        {"D:\\Img", "a.png", "D:\\Img\\TPV\\a.png"},
        {"D:\\Img\\", "a.png", "D:\\Img\\TPV\\a.png"},
        {"d:\\Img\\", "b.png", "d:\\Img\\b.png"},
        // "\TPV\" of the folder itself goes too in the second try.
        {"D:\\TPV\\Img", "c.png", "D:\\Img\\c.png"},
        {"D:\\Img", "missing.png", ""},
        {"D:\\Img", "bad.jpg", ""},
        {"E:\\Img", "a.png", ""},
        {"D:\\Img", null, ""},
        {"D:\\Img", "", ""},
        // Without a folder the name alone is tried, from the current folder.
        {null, "Img\\b.png", "Img\\b.png"},
        {"", "Img\\TPV\\a.png", "Img\\TPV\\a.png"},
        {"\\", "TPV\\a.png", ""},
    };
    for (const auto &c : cases) {
        const auto shown = [](const vb::Variant &v) { return v.isNull() ? std::string("Null") : vb::CStr(v).toStdString(); };
        SCOPED_TRACE(shown(c.carpeta) + " + " + shown(c.foto));
        connection->row = contado();
        (*connection->row)["EmpPathImg"] = c.carpeta;
        (*connection->row)["ArtFoto"] = c.foto;
        const auto foto = show();
        EXPECT_EQ(foto->fotoCargada(), c.shown);
        EXPECT_EQ(foto->imgArticulo().pictureHandle() != 0, *c.shown != '\0');
        EXPECT_EQ(foto->lblTitulo().caption(), "(A12) TORNILLO HEX 8MM") << "a missing picture is no error";
    }
    QDir::setCurrent(before);
}

TEST_F(FrmFotoTest, HostPathsMapOntoLocalFiles)
{
    writeSettings("[Rutas]\nD=/srv/fotos/\nF=fotos\n");
    const struct {
        const char *host;
        std::optional<QString> local;
    } cases[] = {
        {"D:\\Img\\TPV\\123.jpg", "/srv/fotos/Img/TPV/123.jpg"},
        {"d:123.jpg", "/srv/fotos/123.jpg"},
        {"F:\\a\\b.png", "fotos/a/b.png"},
        {"Img\\123.jpg", "Img/123.jpg"},
        {"\\Img\\123.jpg", "/Img/123.jpg"},
        {"E:\\Img\\123.jpg", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(detail::localPicturePath(c.host), c.local) << c.host;
}

// Escape closes the view whatever shift keys are held; other keys do not.
// A click on the hint closes it too and lets the connection go.
TEST_F(FrmFotoTest, EscapeAndTheHintClose)
{
    for (int16_t shift : {0, 1, 2, 4, 7}) {
        bool closed = false;
        show(7, 0, [&](detail::frmFoto &foto) {
            auto &panel = static_cast<ui::HeadlessPictureBox &>(foto.picFoto());
            panel.press(123, 0, shift);
            EXPECT_TRUE(loaded(foto)) << "F12 is no closing key";
            panel.press(27, 27, shift);
            closed = !loaded(foto);
        });
        EXPECT_TRUE(closed) << "shift " << shift;
    }

    bool closed = false;
    const auto foto = show(7, 0, [&](detail::frmFoto &foto) {
        static_cast<ui::HeadlessLabel &>(foto.lblCerrar()).click();
        closed = !loaded(foto);
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(foto->mrdoCBase, nullptr);
}

} // namespace
