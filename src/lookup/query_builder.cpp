#include "lookup/query_builder.h"

namespace lookup {

namespace {

// The price, currency, stock and brand joins that the list layout needs. The
// price join takes the enabled price for quantity 1 of the control's price
// type; being an outer join, an article without such a price is still listed.
QString ArmarJoinsFormato(const LookupSettings &settings, bool SinVariedad)
{
    const QString variedad = SinVariedad ? QStringLiteral("0") : QStringLiteral("AVaID");
    const QString tipoPrecio = QString::number(settings.mintTipoPrecio);

    const QString precio = QStringLiteral(" Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = ")
        + variedad
        + QStringLiteral(" And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = ") + tipoPrecio;

    switch (settings.FormatoLista) {
    case 1:
        return precio + QStringLiteral(" Left Outer Join genMonedas On MonID = PViMoneda");
    case 2:
        return precio + QStringLiteral(" Left Outer Join genMonedas On MonID = PViMoneda ")
            + QStringLiteral(" Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = ") + variedad;
    case 3:
        return QStringLiteral(" Left Outer Join Marcas On  MarCodigo = ArtMarca ")
            + precio + QStringLiteral(" Left Outer Join genMonedas On MonID = PViMoneda ")
            + QStringLiteral(" Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = ") + variedad;
    default:
        // Any other layout (255, not read yet, included) lists columns 0 to 14 only.
        return QString();
    }
}

} // namespace

int16_t ColumnasDelFormato(uint8_t formatoLista)
{
    const int16_t fijas = posicion(Columna::PrimeraDelFormato);
    switch (formatoLista) {
    case 1: return fijas + 2;
    case 2: return fijas + 3;
    case 3: return fijas + 5;
    default: return fijas;
    }
}

QString ArmarCampos(const LookupSettings &settings, bool SinVariedad, uint8_t Tipo)
{
    QString campos = QString::number(Tipo) + QStringLiteral(" As Tipo, ");

    if (Tipo == 2)
        campos += QStringLiteral("ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB, ");
    else
        campos += QStringLiteral("Null As CodigoBarra, Null As CantidadCB, ");

    if (SinVariedad)
        campos += QStringLiteral(" ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ");
    else
        campos += QStringLiteral(" ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ");

    campos += settings.NombreADesplegar == 0 ? QStringLiteral("ArtNombre") : QStringLiteral("ArtNombreCorto");
    if (!SinVariedad)
        campos += QStringLiteral(" + ' ' + RTrim(AVaNombre)");
    campos += QStringLiteral(" as NombreArt");

    switch (settings.FormatoLista) {
    case 1:
        campos += QStringLiteral(", MonSimbolo, PViPrecio");
        break;
    case 2:
        campos += QStringLiteral(", MonSimbolo, PViPrecio, SDiCantidad");
        break;
    case 3:
        campos += QStringLiteral(", ArtDescripcionCorta, MarNombre, MonSimbolo, PViPrecio, SDiCantidad");
        break;
    default:
        break;
    }
    return campos;
}

QString ArmarSelectArticulo(const LookupSettings &settings, bool SinVariedad)
{
    QString sql = QStringLiteral("Select ") + ArmarCampos(settings, SinVariedad, 1) + QStringLiteral(" From Articulo ");
    if (!SinVariedad)
        sql += QStringLiteral(" Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID ");
    sql += QStringLiteral(" Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida ");
    sql += ArmarJoinsFormato(settings, SinVariedad);
    return sql;
}

QString ArmarSelectCodigoBarras(const LookupSettings &settings, bool SinVariedad)
{
    QString sql = QStringLiteral("Select ") + ArmarCampos(settings, SinVariedad, 2) + QStringLiteral(" ")
        + QStringLiteral("From Articulo ");
    if (SinVariedad) {
        // Only the bar codes of the article itself (variety 0).
        sql += QStringLiteral("Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida ")
            + QStringLiteral("Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = 0 ");
    } else {
        sql += QStringLiteral("Inner Join ArticuloVariedad On ArticuloVariedad.AVaArticulo = Articulo.ArtID ")
            + QStringLiteral("Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida ")
            + QStringLiteral("Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = ArticuloVariedad.AVaID ");
    }
    sql += ArmarJoinsFormato(settings, SinVariedad);
    sql += QStringLiteral(" Where 1=1 ");
    return sql;
}

QString ArmarFiltros(const LookupSettings &settings, bool SinVariedad)
{
    QString filtros = QStringLiteral(" And ArtEmpresa = ") + QString::number(settings.Empresa);

    if (settings.EnVentaObligatorio != 0)
        filtros += QStringLiteral(" And ArtEnVenta = 1");

    if (settings.EnUsoObligatorio != 0) {
        filtros += QStringLiteral(" And ArtEnUso = 1");
        if (!SinVariedad)
            filtros += QStringLiteral(" And (AVaEnUso = 1 Or AVaID Is Null)");
    }

    // An article that must not be used without a variety is only listed
    // through its varieties, unless the control works without varieties.
    if (!SinVariedad)
        filtros += QStringLiteral(" And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL))");
    if (SinVariedad)
        filtros += QStringLiteral(" And (ArtNoUtilizarGenerico = 0 Or 1= ")
            + (settings.OmitirVariedad ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(")");

    return filtros;
}

} // namespace lookup
