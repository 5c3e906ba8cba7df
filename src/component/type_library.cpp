#include "type_library.h"

#include "identities.h"

#include "control/enumerations.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace component {

namespace {

constexpr ParameterInfo FindArticuloByIDParams[] = {
    {"iID", "Long"},
    {"iVariedad", "Integer", true, true, "0"},
};
constexpr ParameterInfo ResloadViejaParams[] = {{"idRes", "Integer"}};
constexpr ParameterInfo MostrarDetalleParams[] = {{"Articulo", "Long", true}, {"Variedad", "Integer", true}};

// One line per accessor, in the order hosts compiled against the interface
// rely on: a member may only ever be appended.
constexpr MemberInfo Members[] = {
    {"Appearance", "get", "Integer"},
    {"Appearance", "let", "Integer"},
    {"BackColor", "get", "OLE_COLOR"},
    {"BackColor", "let", "OLE_COLOR"},
    {"Codigo", "get", "String"},
    {"Connect", "set", "rdoConnection"},
    {"Enabled", "get", "Boolean"},
    {"Enabled", "let", "Boolean"},
    {"Font", "get", "Font"},
    {"Font", "set", "Font"},
    {"ForeColor", "get", "OLE_COLOR"},
    {"ForeColor", "let", "OLE_COLOR"},
    {"FormatCodigo", "get", "String"},
    {"FormatCodigo", "let", "String"},
    {"FormatDisplay", "get", "qs_ArtFormatDisplay"},
    {"FormatDisplay", "let", "qs_ArtFormatDisplay"},
    {"ID", "get", "Long"},
    {"ID", "let", "Long"},
    {"Idioma", "get", "Byte"},
    {"Idioma", "let", "Byte"},
    {"MaxLength", "get", "Integer"},
    {"MaxLength", "let", "Integer"},
    {"Nombre", "get", "String"},
    {"Text", "get", "String"},
    {"Text", "let", "String"},
    {"NombreADesplegar", "get", "qs_ArtNameDisplay"},
    {"NombreADesplegar", "let", "qs_ArtNameDisplay"},
    {"Variedad", "get", "Integer"},
    {"Variedad", "let", "Integer"},
    {"FindArticuloByID", "method", "", FindArticuloByIDParams},
    {"Empresa", "let", "Integer"},
    {"OmitirVariedad", "get", "Boolean"},
    {"OmitirVariedad", "let", "Boolean"},
    {"EnUso", "get", "Byte"},
    {"EnUsoObligatorio", "get", "Byte"},
    {"EnUsoObligatorio", "let", "Byte"},
    {"EnVenta", "get", "Byte"},
    {"EnVentaObligatorio", "get", "Byte"},
    {"EnVentaObligatorio", "let", "Byte"},
    {"EsCombo", "get", "Byte"},
    {"Decimales", "get", "Byte"},
    {"AdmitePrecioQMayor", "get", "Byte"},
    {"PedirIncluirVariedad", "get", "Boolean"},
    {"PedirIncluirVariedad", "let", "Boolean"},
    {"IncluirVariedades", "get", "Boolean"},
    {"IncluirVariedades", "let", "Boolean"},
    {"BackgroundColor", "get", "OLE_COLOR"},
    {"BackgroundColor", "let", "OLE_COLOR"},
    {"resloadVieja", "method", "String", ResloadViejaParams},
    {"CB", "get", "Boolean"},
    {"CBCantidad", "get", "Double"},
    {"CBVariable", "get", "String"},
    {"PideSerie", "get", "Byte"},
    {"CBFija", "get", "String"},
    {"FormatoLista", "let", "Byte", {}, true},
    {"TipoCombo", "get", "Byte"},
    {"ListaPrecios", "let", "Integer", {}, true},
    {"MostrarDetalle", "method", "", MostrarDetalleParams},
};

constexpr ParameterInfo KeyDownParams[] = {{"KeyCode", "Integer", true}, {"Shift", "Integer", true}};
constexpr ParameterInfo KeyPressParams[] = {{"KeyAscii", "Integer", true}};
constexpr ParameterInfo ErrorParams[] = {{"sErrText", "String"}};

constexpr EventInfo Events[] = {
    {1, "Change"},
    {2, "KeyDown", KeyDownParams},
    {3, "KeyPress", KeyPressParams},
    {4, "Error", ErrorParams},
    {5, "GotFocus2"},
};

QJsonArray parameters(std::span<const ParameterInfo> params)
{
    QJsonArray list;
    for (const ParameterInfo &param : params) {
        QJsonObject entry{
            {"name", param.name}, {"type", param.type}, {"byRef", param.byRef}, {"optional", param.optional}};
        if (param.defaultValue)
            entry.insert("default", param.defaultValue);
        list.append(entry);
    }
    return list;
}

QJsonArray enumValues(std::initializer_list<std::pair<const char *, int>> values)
{
    QJsonArray list;
    for (const auto &[name, value] : values)
        list.append(QJsonObject{{"name", name}, {"value", value}});
    return list;
}

QByteArray buildDocument()
{
    QJsonArray members;
    for (const MemberInfo &member : Members) {
        QJsonObject entry{{"name", member.name}, {"kind", member.kind}, {"type", member.type},
                          {"params", parameters(member.params)}};
        if (member.valueByRef)
            entry.insert("valueByRef", true);
        members.append(entry);
    }
    QJsonArray events;
    for (const EventInfo &event : Events)
        events.append(
            QJsonObject{{"dispid", event.dispid}, {"name", event.name}, {"params", parameters(event.params)}});

    // Each earlier release's default interface stays reachable under its own
    // identity; the alias names the identity a host of that release holds.
    QJsonArray aliases;
    for (int release = 0; release < HistoryLength - 1; ++release)
        aliases.append(QJsonObject{{"name", QStringLiteral("vokTArticulo___v%1").arg(release)},
                                   {"version", QStringLiteral("1.%1").arg(release)},
                                   {"interface", DefaultInterfaceName},
                                   {"iid", IID_vokTArticuloHistory[static_cast<size_t>(release)].toString()}});

    const QJsonObject root{
        {"format", "vok-typelib 1"},
        {"name", LibraryName},
        {"libid", LIBID_vokArtBuscar.toString()},
        {"version", typeLibraryVersion()},
        {"lcid", 0},
        {"helpString", description()},
        {"imports", QJsonArray{QJsonObject{{"name", "stdole"}, {"version", "2.0"}, {"description", "OLE Automation"}},
                               QJsonObject{{"name", "RDO"}, {"version", "2.0"},
                                           {"description", "Remote Data Objects 2.0"}}}},
        {"coclasses", QJsonArray{QJsonObject{{"name", ClassName},
                                             {"clsid", CLSID_vokTArticulo.toString()},
                                             {"progId", ProgId},
                                             {"flags", QJsonArray{"control", "creatable"}},
                                             {"defaultInterface", DefaultInterfaceName},
                                             {"defaultSource", EventInterfaceName}}}},
        {"interfaces", QJsonArray{QJsonObject{{"name", DefaultInterfaceName},
                                              {"iid", IID_vokTArticulo().toString()},
                                              {"flags", QJsonArray{"dual", "hidden", "nonextensible"}},
                                              {"members", members}}}},
        {"dispinterfaces", QJsonArray{QJsonObject{{"name", EventInterfaceName},
                                                  {"iid", DIID_vokTArticuloEvents().toString()},
                                                  {"flags", QJsonArray{"hidden"}},
                                                  {"events", events}}}},
        {"enums", QJsonArray{QJsonObject{{"name", "qs_ArtFormatDisplay"},
                                         {"values", enumValues({{"afd_Nombre", afd_Nombre},
                                                                {"afd_NombreCodigo", afd_NombreCodigo},
                                                                {"afd_Codigo", afd_Codigo},
                                                                {"afd_CodigoNombre", afd_CodigoNombre}})}},
                             QJsonObject{{"name", "qs_ArtNameDisplay"},
                                         {"values", enumValues({{"and_Nombre", and_Nombre},
                                                                {"and_NombreCorto", and_NombreCorto}})}}}},
        {"aliases", aliases},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace

QString description()
{
    return QStringLiteral("VOK - Buscar Artículo");
}

QString typeLibraryVersion()
{
    return QStringLiteral("%1.%2").arg(VersionMajor).arg(VersionMinor);
}

std::span<const MemberInfo> defaultInterfaceMembers()
{
    return Members;
}

std::span<const EventInfo> events()
{
    return Events;
}

const QByteArray &typeLibraryResource()
{
    static const QByteArray document = buildDocument();
    return document;
}

} // namespace component
