// The candidate list: the host's item list runs a lookup statement, the user
// chooses a row, and the row becomes the current article.

#include "vok_t_articulo_p.h"

#include "language/host_components.h"
#include "language/modlenguaje.h"
#include "lookup/statements.h"
#include "platform/com/runtime.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"

#include <iterator>

namespace {

using lookup::Columna;
using lookup::posicion;
using vb::CallKind;

constexpr int16_t ListaEligio = 1;
constexpr ui::Twips PantallaAncha = 10630;
constexpr int32_t TextoTitulo = 1;

// How the list shows each layout: the header's language text (0 none), how
// much wider it is than the list's own width, the column widths and width it
// takes on a wide and on a narrow screen instead, and the price column's format.
struct FormatoDeLista {
    int32_t textoEncabezado;
    int32_t agrandar;
    const char *anchosPantallaAncha;
    int32_t anchoPantallaAncha;
    const char *anchosPantallaAngosta;
    int32_t anchoPantallaAngosta;
    const char *formatoColumna;
};

constexpr FormatoDeLista Formatos[] = {
    {2, 0, nullptr, 0, nullptr, 0, nullptr},
    {5, 1000, nullptr, 0, nullptr, 0, "16:#,##0.00"},
    {6, 2000, nullptr, 0, nullptr, 0, "16:#,##0.00"},
    {7, 0, "13:1000|14:2600|15:2800|16:1400|17:400|18:1000|19:1000", 10630,
     "13:1000|14:2600|15:2000|16:1200|17:400|18:1000|19:1000", 9630, "18:#,##0.00"},
};
// Any other layout: no header text, the list as it comes.
constexpr FormatoDeLista SinFormato = {0, 0, nullptr, 0, nullptr, 0, nullptr};

const FormatoDeLista &formatoDeLista(uint8_t formatoLista)
{
    return formatoLista < std::size(Formatos) ? Formatos[formatoLista] : SinFormato;
}

} // namespace

void vokTArticuloPrivate::MostrarLista(const QString &sSQL)
{
    LimpiarArticulo();

    const FormatoDeLista &formato = formatoDeLista(q.FormatoLista());
    QString encabezado;
    if (formato.textoEncabezado != 0)
        encabezado = language::TextoIdioma(formato.textoEncabezado);
    encabezado = QString(lookup::ColumnasPrevias, u'|') + encabezado + u'|';

    {
        const vb::ObjectRef lista = com::createInstance(language::ListaItemsClsid);
        const auto let = [&](const QString &miembro, const vb::Variant &valor) {
            vb::CallByName(lista, miembro, CallKind::PropertyLet, {valor});
        };
        let(QStringLiteral("Idioma"), mbytIdioma);
        let(QStringLiteral("ElegirUnica"), true);
        let(QStringLiteral("FormatearCantidades"), true);
        let(QStringLiteral("Titulo"), language::TextoIdioma(TextoTitulo));
        let(QStringLiteral("Encabezados"), encabezado);
        let(QStringLiteral("ColumnaDecimales"), posicion(Columna::UMeDecimales));
        let(QStringLiteral("ColumnaClave"), posicion(Columna::ArtCodigo));

        if (formato.agrandar != 0) {
            const int32_t ancho = vb::CLng(vb::CallByName(lista, QStringLiteral("Ancho"), CallKind::PropertyGet));
            let(QStringLiteral("Ancho"), ancho + formato.agrandar);
        }
        if (formato.anchosPantallaAncha) {
            const bool ancha = ui::toolkit().screen().width() >= PantallaAncha;
            let(QStringLiteral("AnchosColumnas"), QString::fromLatin1(ancha ? formato.anchosPantallaAncha
                                                                            : formato.anchosPantallaAngosta));
            let(QStringLiteral("Ancho"), ancha ? formato.anchoPantallaAncha : formato.anchoPantallaAngosta);
        }
        if (formato.formatoColumna)
            let(QStringLiteral("FormatoColumna"), QString::fromLatin1(formato.formatoColumna));

        const int16_t resultado = vb::CInt(vb::CallByName(
            lista, QStringLiteral("Mostrar"), CallKind::Method, {vb::ObjectRef(mrdoConexion), sSQL}));
        ui::toolkit().processPendingMessages();

        if (resultado == ListaEligio) {
            const auto valor = [&](Columna columna) {
                return vb::CallByName(lista, QStringLiteral("ValorColumna"), CallKind::PropertyGet,
                                      {posicion(columna)});
            };
            lookup::CargarFila(fila, valor, m_tArticulo->text(), [&] { q.MostrarArticulo(); });
        }
    }

    mblnConVariedades = false;
    if (fila.articulo.Variedad == 0 && mblnPedirIncluirVariedad) {
        const auto sondeo =
            conexion().OpenResultset(lookup::SondeoDeVariedades(fila.articulo.ID), rdo::rdOpenDynamic, rdo::rdConcurValues);
        mblnConVariedades = !sondeo->Eof();
        sondeo->Close();
    }
}
