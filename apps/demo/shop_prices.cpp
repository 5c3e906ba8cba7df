#include "shop_prices.h"

#include "platform/rdo/rdo.h"
#include "platform/vb/conversions.h"

#include <QStringList>

namespace demo {

namespace {

// The first row's columns of a statement, nothing when it has no row.
std::optional<std::vector<vb::Variant>> firstRow(rdo::rdoConnection &connection, const QString &sql)
{
    const auto rows = connection.OpenResultset(sql, rdo::rdOpenForwardOnly, rdo::rdConcurReadOnly);
    std::optional<std::vector<vb::Variant>> row;
    if (!rows->Eof()) {
        row.emplace();
        for (int32_t i = 0; i < rows->rdoColumns().Count(); ++i)
            row->push_back(rows->rdoColumns().Item(i).Value());
    }
    rows->Close();
    return row;
}

} // namespace

std::optional<double> unitPrice(rdo::rdoConnection &connection, int32_t article, int16_t variety, int16_t priceType)
{
    const auto row = firstRow(connection, QStringLiteral("Select PViPrecio From PrecioVigente Where PViArticulo = %1 And "
                                                         "PViVariedad = %2 And PViHabilitado = 1 And PViCantidad = 1 "
                                                         "And PViTipoPrecio = %3")
                                              .arg(article)
                                              .arg(variety)
                                              .arg(priceType));
    if (!row || row->front().isNull())
        return std::nullopt;
    return vb::CDbl(row->front());
}

std::optional<int16_t> priceTypeOfList(rdo::rdoConnection &connection, int16_t empresa, int16_t lista)
{
    const auto row = firstRow(connection, QStringLiteral("Select TPrID From TipoDePrecio Where TPrTipo = 1 And "
                                                         "TPrEmpresa = %1 And TPrListaPrecio = %2")
                                              .arg(empresa)
                                              .arg(lista));
    if (!row || row->front().isNull())
        return std::nullopt;
    return vb::CInt(row->front());
}

NotTaken whyNotTaken(rdo::rdoConnection &connection, int16_t empresa, const QString &typed)
{
    const QString text = typed.trimmed().remove(u'\'');
    if (text.isEmpty())
        return NotTaken::Elsewhere;
    const QString company = QStringLiteral("ArtEmpresa = %1").arg(empresa);
    const auto exact = firstRow(connection, QStringLiteral("Select ArtEnUso, ArtEnVenta From Articulo Where %1 And "
                                                           "(ArtCodigo = '%2' Or ArtID In (Select ACBArticulo From "
                                                           "ArticuloCodigoBarras Where ACBCodigo = '%2'))")
                                                .arg(company, text));
    if (exact) {
        if (vb::CLng(exact->at(0)) == 0)
            return NotTaken::NotInUse;
        if (vb::CLng(exact->at(1)) == 0)
            return NotTaken::NotForSale;
        return NotTaken::Elsewhere;
    }
    // Name words in any order, or the beginning of a code.
    QStringList conditions;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
        conditions << QStringLiteral("ArtNombre Like '%%1%'").arg(word);
    const auto like = firstRow(connection, QStringLiteral("Select Top 1 ArtID From Articulo Where %1 And "
                                                          "(ArtCodigo Like '%2%' Or (%3))")
                                               .arg(company, text, conditions.join(QStringLiteral(" And "))));
    return like ? NotTaken::Elsewhere : NotTaken::Unknown;
}

} // namespace demo
