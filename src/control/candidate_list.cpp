// The candidate list: the host's item list runs a lookup statement, the user
// chooses a row, and the row becomes the current article.

#include "vok_t_articulo.h"

#include "language/host_components.h"
#include "language/modlenguaje.h"
#include "platform/com/runtime.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

namespace {

using vb::CallKind;

// Columns of every lookup row that precede ArtID; the header prefix, the
// list's column settings and every read position follow from it.
constexpr int32_t ColumnasPrevias = 5;
constexpr int16_t PosDecimales = ColumnasPrevias + 5;
constexpr int16_t PosCodigo = ColumnasPrevias + 8;

constexpr int16_t ListaEligio = 1;
constexpr ui::Twips PantallaAncha = 10630;
constexpr int32_t TextoTitulo = 1;

// The list's header text of each layout, by language text number.
int32_t textoEncabezado(uint8_t formatoLista)
{
    switch (formatoLista) {
    case 0: return 2;
    case 1: return 5;
    case 2: return 6;
    case 3: return 7;
    default: return 0;
    }
}

// The leading numeric part of a column's text, 0 when there is none: flag
// columns may come back as text from some servers.
double numero(const vb::Variant &valor)
{
    return vb::Val(vb::CStr(valor));
}

// The variable part of a scanned code: what the pattern's "%" stood for.
QString parteVariable(const QString &patron, const QString &escrito)
{
    const qsizetype largo = escrito.size() - patron.size() + 1;
    const bool alPrincipio = patron.startsWith(u'%');
    if (!alPrincipio && !patron.endsWith(u'%'))
        return {};
    if (largo < 0)
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    return alPrincipio ? escrito.left(largo) : escrito.right(largo);
}

} // namespace

void vokTArticulo::MostrarLista(const QString &sSQL)
{
    LimpiarArticulo();

    QString encabezado;
    if (const int32_t texto = textoEncabezado(mbytFormatoLista); texto != 0)
        encabezado = language::TextoIdioma(texto);
    encabezado = QString(ColumnasPrevias, u'|') + encabezado + u'|';

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
        let(QStringLiteral("ColumnaDecimales"), PosDecimales);
        let(QStringLiteral("ColumnaClave"), PosCodigo);

        const auto agrandar = [&](int32_t cuanto) {
            const int32_t ancho = vb::CLng(vb::CallByName(lista, QStringLiteral("Ancho"), CallKind::PropertyGet));
            let(QStringLiteral("Ancho"), ancho + cuanto);
        };
        switch (mbytFormatoLista) {
        case 1:
            agrandar(1000);
            let(QStringLiteral("FormatoColumna"), QStringLiteral("16:#,##0.00"));
            break;
        case 2:
            agrandar(2000);
            let(QStringLiteral("FormatoColumna"), QStringLiteral("16:#,##0.00"));
            break;
        case 3:
            if (ui::toolkit().screen().width() >= PantallaAncha) {
                let(QStringLiteral("AnchosColumnas"),
                    QStringLiteral("13:1000|14:2600|15:2800|16:1400|17:400|18:1000|19:1000"));
                let(QStringLiteral("Ancho"), int32_t{10630});
            } else {
                let(QStringLiteral("AnchosColumnas"),
                    QStringLiteral("13:1000|14:2600|15:2000|16:1200|17:400|18:1000|19:1000"));
                let(QStringLiteral("Ancho"), int32_t{9630});
            }
            let(QStringLiteral("FormatoColumna"), QStringLiteral("18:#,##0.00"));
            break;
        default:
            break;
        }

        const int16_t resultado = vb::CInt(vb::CallByName(
            lista, QStringLiteral("Mostrar"), CallKind::Method, {vb::ObjectRef(mrdoConexion), sSQL}));
        ui::toolkit().processPendingMessages();

        if (resultado == ListaEligio) {
            const auto V = [&](int32_t posicion) {
                return vb::CallByName(lista, QStringLiteral("ValorColumna"), CallKind::PropertyGet,
                                      {static_cast<int16_t>(posicion)});
            };
            constexpr int32_t P = ColumnasPrevias;
            if (numero(V(P + 1)) > 0)
                mintVariedad = vb::CInt(V(P + 1));
            mbytEnUso = vb::CByte(numero(V(P + 2)));
            mbytEnVenta = vb::CByte(numero(V(P + 3)));
            mbytEsCombo = vb::CByte(numero(V(P + 4)));
            mbytDecimales = vb::CByte(numero(V(P + 5)));
            // The variety's own in-use flag counts only for an article in use.
            if (mbytEnUso == 1 && mintVariedad > 0)
                mbytEnUso = vb::CByte(numero(V(P + 6)));
            mbytAdmitePrecioQMayor = vb::CByte(numero(V(P + 7)));
            mstrCodigo = vb::CStr(V(P + 8));
            mstrNombre = vb::CStr(V(P + 9));

            const QString escrito = m_tArticulo->text();
            // The text box is rewritten while ID is still 0, so that its change
            // handling does not clear the article being loaded.
            MostrarArticulo();
            mlngID = vb::CLng(V(P));

            mblnCB = vb::CDbl(V(0)) == 2;
            if (mblnCB) {
                const QString patron = vb::CStr(V(1));
                mvarCBFija = vb::Replace(patron, QStringLiteral("%"), {});
                mdblCBCantidad = vb::CDbl(V(2));
                mvarCBVariable = parteVariable(vb::CStr(V(1)), escrito);
            } else {
                mdblCBCantidad = 0;
                mvarCBVariable = QString();
                mvarCBFija = QString();
            }

            mbytPideSerie = vb::CByte(V(P - 1));
            // The picture reference is read like every other column (a Null
            // one fails the load) though nothing keeps it; it is read last, so
            // that such a failure leaves no flag of the previous article.
            [[maybe_unused]] const QString foto = vb::CStr(V(P - 2));
        }
    }

    mblnConVariedades = false;
    if (mintVariedad == 0 && mblnPedirIncluirVariedad) {
        const auto sondeo = conexion().OpenResultset(
            QStringLiteral("Select Top 1 * From ArticuloVariedad Where AVaArticulo = ") + QString::number(mlngID),
            rdo::rdOpenDynamic, rdo::rdConcurValues);
        mblnConVariedades = !sondeo->Eof();
        sondeo->Close();
    }
}
