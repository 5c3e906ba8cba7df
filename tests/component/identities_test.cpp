// What hosts built against earlier releases depend on: identities, type library and resources.

#include "error_number.h"
#include "scoped_env.h"

#include "component/embedded_resources.h"
#include "component/identities.h"
#include "component/modglobal.h"
#include "control/enumerations.h"
#include "platform/com/resources.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/error.h"

#include "qt_printers.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Library = vok::test::buildLibraryDir() + "/libvokBArticulo.so";

template <typename Identities>
QStringList strings(const Identities &identities)
{
    QStringList list;
    for (const com::Guid &guid : identities)
        list << guid.toString();
    return list;
}

const QStringList InterfaceHistory = {
    "{5E3AD2F4-6887-4C4C-9D05-BE1F1C8D28AE}", "{FB4BE731-E848-4359-BE01-2C4F62F1AEA9}",
    "{EB89C7EF-E11C-4374-9E78-4E0ADBB7BEAA}", "{65DB2B29-C6B2-443F-9EF3-EC6417759091}",
    "{26A009DB-1654-4D75-ADD6-8A69E01CDA9E}", "{2BC839E7-6B1A-4339-AC14-EF35BF4C06DF}",
    "{FA942344-F844-4061-915B-B1D9D051FCF5}", "{8A4C96B8-81E1-42BD-9906-5901516905B5}",
    "{0F0D0243-7886-4199-8CDE-7A623B447B57}", "{D2902187-9E69-4821-92F8-0609732375F8}",
    "{A37CACB5-BC65-4308-957B-831ABABFC205}", "{9138A8BE-1743-47C5-AE99-B18E7245AE10}",
    "{94672291-25D2-4B4B-B53D-2EA0D4752E82}", "{22A7A6A8-81B4-4B3F-ABE5-B9FBD0AFBAA4}",
    "{D3EFC77A-7766-4641-BBF7-6EBE27CB619B}", "{00F0F3C2-373C-46A3-8704-047D46E99311}",
};
const QStringList EventHistory = {
    "{8E563335-A70C-4F1A-9FDE-6913CF6D23F7}", "{C5CC1575-840B-41AC-8585-8A18A576F2FC}",
    "{0D49C4DF-0091-485C-962D-80E06BAB84EC}", "{884F31C4-D633-492D-801A-46ABC193301C}",
    "{1FA75A8C-A417-469C-9390-9976B79FCBAF}", "{F1712E7C-3F5C-4F6C-AFCB-B0B6E522ADFB}",
    "{B33BDA6B-118F-4D6C-A610-B99FF9988381}", "{B5D8E79F-DC30-4D3A-8CDF-382E94D81048}",
    "{239CB6C0-4BE1-4598-9949-6EE44BF3B45C}", "{4C03910C-45C8-4145-A7FD-C19C020B56AD}",
    "{24E60EFC-6588-4117-A290-DB3B0D17B545}", "{874E722B-D461-48CE-A7BC-77BA39F28E0E}",
    "{54E03677-76B5-42BD-AC81-BE42BC0A5408}", "{E4F191C1-EA72-4D97-AC1B-841CF52468FB}",
    "{2C0092EE-C1D0-4B59-B557-80194CB747EF}", "{4C52E327-DCB6-4E18-8ECB-B3B6E9DCE93D}",
};

// The histories are compared through what the library carries (resources, type library); the
// class and library identities through what registration writes.
TEST(ComponentResources, HistoriesAreStoredAsLengthThenIdentities)
{
    for (const auto &[name, expected] : {std::pair("_IID_VOKTARTICULO", InterfaceHistory),
                                         std::pair("_SRCIID_VOKTARTICULO", EventHistory)}) {
        const QByteArray bytes = com::loadResource(Library, "CUSTOM", name);
        ASSERT_EQ(bytes.size(), 4 + 256) << name;
        EXPECT_EQ(bytes.left(4), QByteArray("\x00\x01\x00\x00", 4)) << "256, little-endian";
        EXPECT_EQ(strings(com::parseIdentityHistory(bytes)), expected);
        // The runtime's byte order: the first byte is the first two digits of the text.
        EXPECT_EQ(static_cast<uint8_t>(bytes[4]), expected.front().mid(1, 2).toUInt(nullptr, 16));
    }
}

TEST(ComponentResources, LookupIsCaseInsensitiveAndMissingOnesRaise326)
{
    EXPECT_EQ(com::loadResource(Library, "custom", "_iid_voktarticulo").size(), 260);
    EXPECT_EQ(vok::test::errorNumberOf([] { com::loadResource(Library, "CUSTOM", "_IID_OTHER"); }),
              com::ResourceNotFound);
    const QString withoutResources = vok::test::buildLibraryDir() + "/libvokhost.so";
    EXPECT_EQ(vok::test::errorNumberOf([&] { com::loadResource(withoutResources, "TYPELIB", "1"); }),
              com::ErrorLoadingLibrary);
}

// Each entry of a type library array, written as one text.
QStringList texts(const QJsonValue &array, const std::function<QString(const QJsonObject &)> &text)
{
    QStringList list;
    for (const auto &entry : array.toArray())
        list << text(entry.toObject());
    return list;
}

QString params(const QJsonObject &member, const std::function<QString(const QJsonObject &)> &text)
{
    return '(' + texts(member.value("params"), text).join(", ") + ')';
}

class ComponentTypeLibraryTest : public ::testing::Test {
protected:
    static QJsonObject first(const char *array) { return document.value(array).toArray().first().toObject(); }
    static inline QJsonObject document;
    static void SetUpTestSuite() { document = com::loadTypeLibrary(Library).document; }
};

// The library's name, version, identity and class are what vokreg lists; its test reads them back.
TEST_F(ComponentTypeLibraryTest, DescribesTheLibraryItsClassAndItsInterfaceInBinaryOrder)
{
    EXPECT_EQ(document.value("lcid").toInt(-1), 0);
    const QJsonObject coclass = first("coclasses");
    EXPECT_EQ(coclass.value("flags").toArray(), (QJsonArray{"control", "creatable"}));
    EXPECT_EQ(coclass.value("defaultInterface").toString(), "_vokTArticulo");
    EXPECT_EQ(coclass.value("defaultSource").toString(), "__vokTArticulo");
    EXPECT_EQ(texts(document.value("imports"), [](auto e) { return e["name"].toString() + ' ' + e["version"].toString(); }),
              (QStringList{"stdole 2.0", "RDO 2.0"}));
    const QJsonObject interface = first("interfaces");
    EXPECT_EQ(interface.value("name").toString(), "_vokTArticulo");
    EXPECT_EQ(interface.value("iid").toString(), InterfaceHistory.back());
    EXPECT_EQ(interface.value("flags").toArray(), (QJsonArray{"dual", "hidden", "nonextensible"}));
    EXPECT_EQ(texts(interface.value("members"), [](auto m) { return m["name"].toString() + ' ' + m["kind"].toString(); }),
              (QStringList{
                  "Appearance get", "Appearance let", "BackColor get", "BackColor let", "Codigo get", "Connect set",
                  "Enabled get", "Enabled let", "Font get", "Font set", "ForeColor get", "ForeColor let",
                  "FormatCodigo get", "FormatCodigo let", "FormatDisplay get", "FormatDisplay let", "ID get", "ID let",
                  "Idioma get", "Idioma let", "MaxLength get", "MaxLength let", "Nombre get", "Text get", "Text let",
                  "NombreADesplegar get", "NombreADesplegar let", "Variedad get", "Variedad let",
                  "FindArticuloByID method", "Empresa let", "OmitirVariedad get", "OmitirVariedad let", "EnUso get",
                  "EnUsoObligatorio get", "EnUsoObligatorio let", "EnVenta get", "EnVentaObligatorio get",
                  "EnVentaObligatorio let", "EsCombo get", "Decimales get", "AdmitePrecioQMayor get",
                  "PedirIncluirVariedad get", "PedirIncluirVariedad let", "IncluirVariedades get",
                  "IncluirVariedades let", "BackgroundColor get", "BackgroundColor let", "resloadVieja method",
                  "CB get", "CBCantidad get", "CBVariable get", "PideSerie get", "CBFija get", "FormatoLista let",
                  "TipoCombo get", "ListaPrecios let", "MostrarDetalle method"}));
    // Methods: "param:type:byref/byval[:optional=default]".
    const auto method = [](const QJsonObject &m) {
        return m["kind"] != "method" ? QString()
                                     : m["name"].toString() + ' ' + m["type"].toString() + params(m, [](auto p) {
                                           return p["name"].toString() + ':' + p["type"].toString() + ':'
                                                  + (p["byRef"].toBool() ? "byref" : "byval")
                                                  + (p["optional"].toBool() ? ":optional=" + p["default"].toString() : "");
                                       });
    };
    EXPECT_EQ(texts(interface.value("members"), method).filter(QRegularExpression(".")),
              (QStringList{"FindArticuloByID (iID:Long:byval, iVariedad:Integer:byref:optional=0)",
                           "resloadVieja String(idRes:Integer:byval)",
                           "MostrarDetalle (Articulo:Long:byref, Variedad:Integer:byref)"}));
}

TEST_F(ComponentTypeLibraryTest, EventsEnumerationsAndAliases)
{
    const QJsonObject source = first("dispinterfaces");
    EXPECT_EQ(source.value("name").toString(), "__vokTArticulo");
    EXPECT_EQ(source.value("iid").toString(), EventHistory.back());
    EXPECT_EQ(source.value("flags").toArray(), QJsonArray{"hidden"});
    EXPECT_EQ(texts(source.value("events"),
                    [](auto e) {
                        return QString::number(e["dispid"].toInt()) + ' ' + e["name"].toString()
                               + params(e, [](auto p) { return p["name"].toString() + (p["byRef"].toBool() ? "&" : ""); });
                    }),
              (QStringList{"1 Change()", "2 KeyDown(KeyCode&, Shift&)", "3 KeyPress(KeyAscii&)", "4 Error(sErrText)",
                           "5 GotFocus2()"}));
    QStringList enums;
    for (const auto &entry : document.value("enums").toArray())
        enums << texts(entry.toObject()["values"], [&](auto v) {
            return entry.toObject()["name"].toString() + '.' + v["name"].toString() + '=' + QString::number(v["value"].toInt());
        });
    EXPECT_EQ(enums, (QStringList{"qs_ArtFormatDisplay.afd_Nombre=1", "qs_ArtFormatDisplay.afd_NombreCodigo=2",
                                  "qs_ArtFormatDisplay.afd_Codigo=3", "qs_ArtFormatDisplay.afd_CodigoNombre=4",
                                  "qs_ArtNameDisplay.and_Nombre=0", "qs_ArtNameDisplay.and_NombreCorto=1"}));
    // Each release's own interface identity under its own alias.
    QStringList aliases;
    for (int i = 0; i < 15; ++i)
        aliases << QString("vokTArticulo___v%1 1.%1 ").arg(i) + InterfaceHistory[i];
    EXPECT_EQ(texts(document.value("aliases"),
                    [](auto a) { return a["name"].toString() + ' ' + a["version"].toString() + ' ' + a["iid"].toString(); }),
              aliases);
}

// The search dialog's load detaches it from its owner and its unload restores it; handles may
// also arrive as numeric text.
TEST(ComponentModGlobal, SetWindowOwnerTakesHandlesAsAnyNumericVariant)
{
    auto &toolkit = static_cast<ui::HeadlessToolkit &>(ui::toolkit());
    const auto owner = toolkit.createUserControl(), dialog = toolkit.createUserControl();
    toolkit.setWindowOwner(dialog->hWnd(), owner->hWnd());
    EXPECT_EQ(modGlobal::SetWindowOwner(QString::number(dialog->hWnd()), int16_t{0}), owner->hWnd());
    EXPECT_EQ(toolkit.windowOwner(dialog->hWnd()), 0);
    EXPECT_THROW(modGlobal::SetWindowOwner("no window", 0), vb::Error);
}

} // namespace
