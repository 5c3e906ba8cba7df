// The placement rule of the detail view, on its exact (unrounded) values.

#include "detail/frm_foto_layout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace detail {
void PrintTo(const Rect &r, std::ostream *os)
{
    *os << '(' << r.left << ", " << r.top << ", " << r.width << ", " << r.height << ')';
}
} // namespace detail

namespace {

using detail::FotoGeometry;
using detail::Rect;

// The elements as designed, with a picture of 4000 x 3000 twips loaded.
FotoGeometry designed()
{
    return {{540, 0, 9315, 7155},   {90, 60, 9180, 915}, {3600, 6900, 2235, 255},
            {1980, 1200, 4000, 3000}, {0, 5760, 9180, 1035}, {3240, 960, 2775, 315}};
}

TEST(FrmFotoLayout, FinalWindowGivesTheWorkedExample)
{
    const FotoGeometry g = detail::placeFotoElements(8800, 7600, designed());
    EXPECT_EQ(g.picFoto, (Rect{100, 100, 8600, 7400}));
    EXPECT_EQ(g.lblTitulo, (Rect{0, 60, 8600, 915}));
    EXPECT_EQ(g.lblPrecio, (Rect{0, 960, 8600, 315}));
    EXPECT_EQ(g.lblCerrar, (Rect{3182.5, 7085, 2235, 255}));
    EXPECT_EQ(g.lblCaracteristicas, (Rect{60, 5970, 8480, 1035}));
    EXPECT_EQ(g.imgArticulo, (Rect{2300, 2200, 4000, 3000}));
    EXPECT_EQ(detail::placeFotoElements(8800, 7600, g), g) << "the rule is stable";
}

// A window too small for the panel leaves every element where it was; a
// panel too narrow for the description's margins leaves only its width alone.
TEST(FrmFotoLayout, RefusedSizesLeaveOnlyTheirOwnStep)
{
    const FotoGeometry placed = detail::placeFotoElements(8800, 7600, designed());
    EXPECT_EQ(detail::placeFotoElements(150, 7600, placed), placed);
    EXPECT_EQ(detail::placeFotoElements(8800, 199, placed), placed);
    const FotoGeometry narrow = detail::placeFotoElements(300, 7600, placed);
    EXPECT_EQ(narrow.picFoto, (Rect{100, 100, 100, 7400}));
    EXPECT_EQ(narrow.lblCaracteristicas, (Rect{60, 5970, 8480, 1035}));
}

} // namespace
