#include "frm_foto_layout.h"

namespace detail {

namespace {
constexpr double PanelMargin = 100;
constexpr double HintBottomGap = 60;
constexpr double DescriptionGap = 80;
constexpr double DescriptionLeft = 60;
} // namespace

FotoGeometry placeFotoElements(double width, double height, const FotoGeometry &current)
{
    FotoGeometry g = current;

    // The panel moves in one step: when the window is too small for it the
    // whole step is refused and the panel keeps its place and size.
    const double panelWidth = width - 2 * PanelMargin;
    const double panelHeight = height - 2 * PanelMargin;
    if (panelWidth >= 0 && panelHeight >= 0)
        g.picFoto = {PanelMargin, PanelMargin, panelWidth, panelHeight};
    const Rect &panel = g.picFoto;

    g.lblTitulo.left = 0;
    g.lblTitulo.width = panel.width;

    g.lblCerrar.left = (panel.width - g.lblCerrar.width) / 2;
    g.lblCerrar.top = panel.height - g.lblCerrar.height - HintBottomGap;

    // The picture keeps its own size, so it is centred even when it is larger
    // than the panel (and then cut off at the panel's edges).
    g.imgArticulo.top = (panel.height - g.imgArticulo.height) / 2;
    g.imgArticulo.left = (panel.width - g.imgArticulo.width) / 2;

    // The description ends just above the hint, so it never covers it.
    g.lblCaracteristicas.top = g.lblCerrar.top - g.lblCaracteristicas.height - DescriptionGap;
    g.lblCaracteristicas.left = DescriptionLeft;
    if (const double w = panel.width - 2 * DescriptionLeft; w >= 0)
        g.lblCaracteristicas.width = w;

    g.lblPrecio.left = 0;
    g.lblPrecio.width = panel.width;
    return g;
}

} // namespace detail
