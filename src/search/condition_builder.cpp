#include "search/condition_builder.h"

#include "platform/vb/conversions.h"

namespace search {

namespace {

// The pattern a field is compared with, by kind of match. A code outside the
// list leaves the bare text. Wildcards the user typed (% and _) are kept and
// take effect.
QString ArmarPatron(const int32_t tipo, const QString &texto)
{
    switch (tipo) {
    case 1:
        return QStringLiteral("Like '") + texto + QStringLiteral("%'");
    case 2:
        return QStringLiteral("= '") + texto + QStringLiteral("'");
    case 3:
        return QStringLiteral("Like '%") + texto + QStringLiteral("%'");
    default:
        return texto;
    }
}

const QString kConector = QStringLiteral(" And ");

// A filter part after what stands before it in the condition.
QString ConPrefijo(const QString &parte, const bool nadaAntes)
{
    if (parte.isEmpty())
        return QString();
    return nadaAntes ? parte : kConector + parte;
}

} // namespace

QString CondicionCampo(const int32_t &campo, const QString &patron)
{
    try {
        switch (campo) {
        case 0:
            return QStringLiteral(" ArtNombre ") + patron;
        case 1:
            return QStringLiteral(" ArtNombreCorto ") + patron;
        case 2:
            return QStringLiteral(" ArtTipo In (Select TArID From TipoArticulo Where TArNombre ") + patron
                + QStringLiteral(")");
        case 3:
            return QStringLiteral(" ArtMarca In (Select MarCodigo From Marcas Where MarNombre ") + patron
                + QStringLiteral(")");
        case 4:
            // A supplier is found by any of its three names.
            return QStringLiteral(" ArtProveedor In (Select EntID From genEntes ")
                + QStringLiteral("Where EntNombre1 ") + patron
                + QStringLiteral(" Or EntNombre2 ") + patron
                + QStringLiteral(" Or EntGuardarComo ") + patron + QStringLiteral(")");
        case 5:
            return QStringLiteral(" ArtCodigoProveedor ") + patron;
        case 6:
            return QStringLiteral(" ArtCatDescuento In (Select CDeCodigo From CategoriaDescuento Where CDeNombre ")
                + patron + QStringLiteral(")");
        case 7:
            return QStringLiteral(" ArtUnidadMedida In (Select UMeCodigo From UnidadesMedidas Where UMeNombre ")
                + patron + QStringLiteral(")");
        case 8:
            return QStringLiteral(" ArtDescripcionCorta ") + patron;
        case 9:
            return QStringLiteral(" ArtDescripcionLarga ") + patron;
        default:
            return QString();
        }
    } catch (...) {
        return QString();
    }
}

QString FiltroUsoVenta(const Criterios &criterios, const bool &nadaAntes)
{
    try {
        QString uso;
        switch (criterios.cmbEnUso) {
        case 1:
            uso = QStringLiteral("ArtEnUso = 1");
            break;
        case 2:
            uso = QStringLiteral("ArtEnUso = 0");
            break;
        default:
            break;
        }

        QString venta;
        switch (criterios.cmbEnVenta) {
        case 1:
            venta = QStringLiteral("ArtEnVenta = 1");
            break;
        case 2:
            venta = QStringLiteral("ArtEnVenta = 0");
            break;
        default:
            break;
        }
        if (!venta.isEmpty())
            uso += (uso.isEmpty() ? QString() : kConector) + venta;

        return ConPrefijo(uso, nadaAntes);
    } catch (...) {
        // The dialog's own fallback: the default filters, without a leading blank.
        return QStringLiteral("And ArtEnUso = 1 And ArtEnVenta = 1");
    }
}

QString FiltroCodigoBarras(const Criterios &criterios, const bool &nadaAntes)
{
    try {
        QString codigos;
        switch (criterios.cmbCB) {
        case 1:
            codigos = QStringLiteral("ArtID In (Select Distinct(ACBArticulo) From ArticuloCodigoBarras)");
            break;
        case 2:
            codigos = QStringLiteral(
                "Not Exists (Select ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)");
            break;
        default:
            break;
        }
        return ConPrefijo(codigos, nadaAntes);
    } catch (...) {
        return QString();
    }
}

QString ArmarCondicion(const Criterios &criterios)
{
    try {
        const QString texto = vb::Trim(criterios.txtTexto);
        QString condicion;

        if (texto.isEmpty()) {
            // Without a text only the filters count; field and kind of match are not read.
            condicion = FiltroUsoVenta(criterios, true);
        } else {
            const QString patron = ArmarPatron(criterios.cmbTipo, texto);

            if (criterios.cmbCampo != kCampoTodos) {
                condicion = QStringLiteral("(") + CondicionCampo(criterios.cmbCampo, patron);
            } else {
                // Every other field of the list, in list order, joined by " OR ".
                QString campos = QStringLiteral("(");
                for (const EntradaCombo &entrada : kEntradasCampo) {
                    if (entrada.codigo == kCampoTodos)
                        continue;
                    if (campos != QStringLiteral("("))
                        campos += QStringLiteral(" OR ");
                    campos += CondicionCampo(entrada.codigo, patron);
                }
                campos += QStringLiteral(")");
                condicion = QStringLiteral("(") + campos;
            }
            condicion += FiltroUsoVenta(criterios, false) + QStringLiteral(")");
        }

        condicion += FiltroCodigoBarras(criterios, condicion.isEmpty());

        if (condicion.isEmpty())
            condicion = QStringLiteral("True");
        return condicion;
    } catch (...) {
        return QString();
    }
}

} // namespace search
