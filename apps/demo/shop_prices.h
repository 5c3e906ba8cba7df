#pragma once
// The host's own reading of its price table and articles: what a line costs
// by default, and why a code the cashier typed was not taken. The control
// tells which article and variety were chosen; the price is the host's
// business, and so is telling the cashier why nothing was chosen.

#include <QString>

#include <cstdint>
#include <optional>

namespace rdo {
class rdoConnection;
}

namespace demo {

// The enabled unit price (quantity 1) of the article and variety in the price
// type, nothing when the shop has none.
std::optional<double> unitPrice(rdo::rdoConnection &connection, int32_t article, int16_t variety, int16_t priceType);

// The price type of a company's price list, the one whose prices the
// control's list shows: the sale price type (TPrTipo 1) of the list.
std::optional<int16_t> priceTypeOfList(rdo::rdoConnection &connection, int16_t empresa, int16_t lista);

enum class NotTaken {
    Unknown,     // no article of the company has that code, bar code or name
    NotInUse,    // its code or bar code names an article no longer in use
    NotForSale,  // ... an article that is not for sale
    Elsewhere,   // articles match: the cashier closed the list, or a filter left them out
};

// Why the text typed into the article field found no article.
NotTaken whyNotTaken(rdo::rdoConnection &connection, int16_t empresa, const QString &typed);

} // namespace demo
