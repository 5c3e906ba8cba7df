#pragma once
// The host's own reading of its price table: what a line costs by default.
// The control tells which article and variety were chosen; the price is the
// host's business.

#include <cstdint>
#include <optional>

namespace rdo {
class rdoConnection;
}

namespace demo {

// The enabled unit price (quantity 1) of the article and variety in the price
// type, nothing when the shop has none.
std::optional<double> unitPrice(rdo::rdoConnection &connection, int32_t article, int16_t variety, int16_t priceType);

} // namespace demo
