#pragma once
// Where the elements of the detail view stand for a given window size.
//
// The rule is kept apart from the windows as a pure function over doubles:
// the centring divisions give halves of a twip, and our windows hold whole
// twips. Computing every position exactly and rounding only when an element
// is placed keeps each element within half a twip of where the rule puts it,
// whatever the rounding of the elements it was computed from; and a test can
// check the rule's own values (3182.5 and the like) rather than rounded ones.

namespace detail {

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect &) const = default;
};

// The panel and the elements on it, positions relative to the panel.
struct FotoGeometry {
    Rect picFoto;
    Rect lblTitulo;
    Rect lblCerrar;
    Rect imgArticulo;
    Rect lblCaracteristicas;
    Rect lblPrecio;
    bool operator==(const FotoGeometry &) const = default;
};

// The placement for a window of outer size width x height, from the
// elements as they stand now. Sizes the rule does not set are kept. A step
// that would give a negative size is refused as the windows refuse it: a
// window under 200 twips leaves the panel where it was (and the rest is
// placed on the old panel), a panel under 120 twips wide leaves the
// description's width as it was.
FotoGeometry placeFotoElements(double width, double height, const FotoGeometry &current);

} // namespace detail
