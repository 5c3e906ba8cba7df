#include "detail_report.h"

#include "json_output.h"

#include "detail/frm_foto.h"
#include "platform/ui/window.h"

namespace vokhost {

void startDetailReports()
{
    detail::setDetailLoadedListener([](const detail::frmFoto &foto) {
        printLine({{"detail", QJsonObject{{"sql", detail::frmFoto::SQLDetalle(foto.mlngArticulo, foto.mintVariedad)},
                                          {"title", foto.lblTitulo().caption()},
                                          {"price", foto.lblPrecio().caption()},
                                          {"description", foto.lblCaracteristicas().caption()},
                                          {"photo", foto.fotoCargada()}}}});
    });
}

void stopDetailReports()
{
    detail::setDetailLoadedListener({});
}

} // namespace vokhost
