#include "shop_prices.h"

#include "platform/rdo/rdo.h"
#include "platform/vb/conversions.h"

namespace demo {

std::optional<double> unitPrice(rdo::rdoConnection &connection, int32_t article, int16_t variety, int16_t priceType)
{
    const QString sql = QStringLiteral("Select PViPrecio From PrecioVigente Where PViArticulo = %1 And PViVariedad = %2 "
                                       "And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = %3")
                            .arg(article)
                            .arg(variety)
                            .arg(priceType);
    const auto rows = connection.OpenResultset(sql, rdo::rdOpenForwardOnly, rdo::rdConcurReadOnly);
    std::optional<double> price;
    if (!rows->Eof() && !rows->rdoColumns().Item(0).Value().isNull())
        price = vb::CDbl(rows->rdoColumns().Item(0).Value());
    rows->Close();
    return price;
}

} // namespace demo
