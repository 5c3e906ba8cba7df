#include "vok_t_articulo_object.h"

#include "font_object.h"
#include "identities.h"
#include "module.h"

#include "platform/rdo/rdo.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <algorithm>
#include <array>

namespace component {

namespace {

using Args = std::span<vb::Variant>;

vb::Error connectionError(com::HRESULT status, const QString &what)
{
    return vb::Error(status, what, QString::fromLatin1("vokArtBuscar.vokTArticulo"));
}

// Colours travel as Long: the OLE colour's bits, a system colour negative.
vb::Variant colour(ui::OleColor value)
{
    return vb::Variant(static_cast<int32_t>(value));
}
ui::OleColor toColour(const vb::Variant &value)
{
    return static_cast<ui::OleColor>(vb::CLng(value));
}

std::shared_ptr<rdo::rdoConnection> toConnection(const vb::Variant &value)
{
    const vb::ObjectRef object = value.object();
    if (!object)
        return nullptr;
    auto connection = std::dynamic_pointer_cast<rdo::rdoConnection>(object);
    if (!connection)
        throw vb::Error::standard(vb::err::TypeMismatch);
    return connection;
}

} // namespace

vokTArticuloObject::vokTArticuloObject()
    : com::AutomationObject(&libraryModule()), m_control(std::make_shared<vokTArticulo>())
{
    m_control->advise(this);
    addMembers();
}

vokTArticuloObject::~vokTArticuloObject()
{
    m_control->unadvise(this);
}

std::span<const com::Guid> vokTArticuloObject::interfaceIds() const
{
    return IID_vokTArticuloHistory;
}

// The members of _vokTArticulo, in the interface's order.
void vokTArticuloObject::addMembers()
{
    vokTArticulo &c = *m_control;
    // A getter whose result converts to a Variant as it is; a let that
    // converts its value with the platform's conversion and hands it over.
    const auto get = [&c](auto read) -> Member { return [&c, read](Args) { return vb::Variant((c.*read)()); }; };
    const auto getColour = [&c](auto read) -> Member { return [&c, read](Args) { return colour((c.*read)()); }; };
    const auto let = [&c](auto write, auto convert) -> Member {
        return [&c, write, convert](Args a) {
            (c.*write)(convert(argument(a, 0)));
            return vb::Variant();
        };
    };
    using T = vokTArticulo;

    addPropertyGet("Appearance", get(&T::Appearance));
    addPropertyLet("Appearance", let(&T::setAppearance, vb::CInt));
    addPropertyGet("BackColor", getColour(&T::BackColor));
    addPropertyLet("BackColor", let(&T::setBackColor, toColour));
    addPropertyGet("Codigo", get(&T::Codigo));
    addPropertySet("Connect", let(&T::setConnect, toConnection));
    addPropertyGet("Enabled", get(&T::Enabled));
    addPropertyLet("Enabled", let(&T::setEnabled, vb::CBool));
    addPropertyGet("Font", [this](Args) { return vb::Variant(std::make_shared<FontObject>(m_control)); });
    addPropertySet("Font", let(&T::setFont, fontFrom));
    addPropertyGet("ForeColor", getColour(&T::ForeColor));
    addPropertyLet("ForeColor", let(&T::setForeColor, toColour));
    addPropertyGet("FormatCodigo", get(&T::FormatCodigo));
    addPropertyLet("FormatCodigo", let(&T::setFormatCodigo, vb::CStr));
    addPropertyGet("FormatDisplay", get(&T::FormatDisplay));
    addPropertyLet("FormatDisplay", let(&T::setFormatDisplay, vb::CLng));
    addPropertyGet("ID", get(&T::ID));
    addPropertyLet("ID", let(&T::setID, vb::CLng));
    addPropertyGet("Idioma", get(&T::Idioma));
    addPropertyLet("Idioma", let(&T::setIdioma, vb::CByte));
    addPropertyGet("MaxLength", get(&T::MaxLength));
    addPropertyLet("MaxLength", let(&T::setMaxLength, vb::CInt));
    addPropertyGet("Nombre", get(&T::Nombre));
    addPropertyGet("Text", get(&T::Text));
    addPropertyLet("Text", let(&T::setText, vb::CStr));
    addPropertyGet("NombreADesplegar", get(&T::NombreADesplegar));
    addPropertyLet("NombreADesplegar", let(&T::setNombreADesplegar, vb::CLng));
    addPropertyGet("Variedad", get(&T::Variedad));
    addPropertyLet("Variedad", let(&T::setVariedad, vb::CInt));
    addMethod("FindArticuloByID", [&c](Args a) {
        const int32_t id = vb::CLng(argument(a, 0));
        // iVariedad is optional: left out (or Empty, as a missing optional
        // argument arrives) it is 0 and nothing is written back.
        if (a.size() < 2 || a[1].isEmpty()) {
            c.FindArticuloByID(id);
            return vb::Variant();
        }
        int16_t variedad = vb::CInt(a[1]);
        c.FindArticuloByID(id, variedad);
        a[1] = vb::Variant(variedad);
        return vb::Variant();
    });
    addPropertyLet("Empresa", let(&T::setEmpresa, vb::CInt));
    addPropertyGet("OmitirVariedad", get(&T::OmitirVariedad));
    addPropertyLet("OmitirVariedad", let(&T::setOmitirVariedad, vb::CBool));
    addPropertyGet("EnUso", get(&T::EnUso));
    addPropertyGet("EnUsoObligatorio", get(&T::EnUsoObligatorio));
    addPropertyLet("EnUsoObligatorio", let(&T::setEnUsoObligatorio, vb::CByte));
    addPropertyGet("EnVenta", get(&T::EnVenta));
    addPropertyGet("EnVentaObligatorio", get(&T::EnVentaObligatorio));
    addPropertyLet("EnVentaObligatorio", let(&T::setEnVentaObligatorio, vb::CByte));
    addPropertyGet("EsCombo", get(&T::EsCombo));
    addPropertyGet("Decimales", get(&T::Decimales));
    addPropertyGet("AdmitePrecioQMayor", get(&T::AdmitePrecioQMayor));
    addPropertyGet("PedirIncluirVariedad", get(&T::PedirIncluirVariedad));
    addPropertyLet("PedirIncluirVariedad", let(&T::setPedirIncluirVariedad, vb::CBool));
    addPropertyGet("IncluirVariedades", get(&T::IncluirVariedades));
    addPropertyLet("IncluirVariedades", let(&T::setIncluirVariedades, vb::CBool));
    addPropertyGet("BackgroundColor", getColour(&T::BackgroundColor));
    addPropertyLet("BackgroundColor", let(&T::setBackgroundColor, toColour));
    addMethod("resloadVieja", [&c](Args a) { return vb::Variant(c.resloadVieja(vb::CInt(argument(a, 0)))); });
    addPropertyGet("CB", get(&T::CB));
    addPropertyGet("CBCantidad", get(&T::CBCantidad));
    addPropertyGet("CBVariable", get(&T::CBVariable));
    addPropertyGet("PideSerie", get(&T::PideSerie));
    addPropertyGet("CBFija", get(&T::CBFija));
    addPropertyLet("FormatoLista", let(&T::setFormatoLista, vb::CByte));
    addPropertyGet("TipoCombo", get(&T::TipoCombo));
    addPropertyLet("ListaPrecios", let(&T::setListaPrecios, vb::CInt));
    addMethod("MostrarDetalle", [&c](Args a) {
        int32_t articulo = vb::CLng(argument(a, 0));
        int16_t variedad = vb::CInt(argument(a, 1));
        c.MostrarDetalle(articulo, variedad);
        a[0] = vb::Variant(articulo);
        a[1] = vb::Variant(variedad);
        return vb::Variant();
    });
}

uint32_t vokTArticuloObject::advise(const com::Guid &iid, vb::ObjectRef sink)
{
    if (!sink)
        throw connectionError(com::E_POINTER, QStringLiteral("No event sink given"));
    const auto &known = DIID_vokTArticuloEventsHistory;
    if (std::find(known.begin(), known.end(), iid) == known.end())
        throw connectionError(CONNECT_E_CANNOTCONNECT,
                              QStringLiteral("vokTArticulo has no event interface %1").arg(iid.toString()));
    const uint32_t cookie = ++m_lastCookie;
    m_connections.push_back({cookie, std::move(sink)});
    return cookie;
}

void vokTArticuloObject::unadvise(uint32_t cookie)
{
    const auto found = std::find_if(m_connections.begin(), m_connections.end(),
                                    [cookie](const Connection &c) { return c.cookie == cookie; });
    if (found == m_connections.end())
        throw connectionError(CONNECT_E_NOCONNECTION, QStringLiteral("No event connection %1").arg(cookie));
    m_connections.erase(found);
}

void vokTArticuloObject::fire(const QString &event, std::span<vb::Variant> args)
{
    // A sink may unadvise (itself or another) while it handles the event; the
    // sinks advised when the event was raised all hear it.
    const std::vector<Connection> connections = m_connections;
    for (const Connection &connection : connections) {
        try {
            connection.sink->invoke(event, vb::CallKind::Method, args);
        } catch (const vb::Error &) {
            // Not handled by this sink, or failed inside it: the host's business.
        }
    }
}

void vokTArticuloObject::Change()
{
    fire(QStringLiteral("Change"), {});
}

namespace {
// A by-reference key value after the sinks: what they left, when it is still
// a key value; otherwise what the text box gave.
void writeBack(const vb::Variant &value, int16_t &target)
{
    try {
        target = vb::CInt(value);
    } catch (const vb::Error &) {
    }
}
} // namespace

void vokTArticuloObject::KeyDown(int16_t &KeyCode, int16_t &Shift)
{
    std::array<vb::Variant, 2> args{vb::Variant(KeyCode), vb::Variant(Shift)};
    fire(QStringLiteral("KeyDown"), args);
    writeBack(args[0], KeyCode);
    writeBack(args[1], Shift);
}

void vokTArticuloObject::KeyPress(int16_t &KeyAscii)
{
    std::array<vb::Variant, 1> args{vb::Variant(KeyAscii)};
    fire(QStringLiteral("KeyPress"), args);
    writeBack(args[0], KeyAscii);
}

void vokTArticuloObject::Error(const QString &sErrText)
{
    std::array<vb::Variant, 1> args{vb::Variant(sErrText)};
    fire(QStringLiteral("Error"), args);
}

void vokTArticuloObject::GotFocus2()
{
    fire(QStringLiteral("GotFocus2"), {});
}

} // namespace component
