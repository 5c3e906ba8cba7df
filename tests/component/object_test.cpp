// The control as a host meets it: created by programmatic identifier, driven by member name,
// heard through its connection point.

#include "error_number.h"
#include "language_fixture.h"

#include "component/identities.h"
#include "component/type_library.h"
#include "component/vok_t_articulo_object.h"
#include "platform/com/registration.h"
#include "platform/com/runtime.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

using vb::CallKind;

const QString Library = vok::test::buildLibraryDir() + "/libvokBArticulo.so";

// A host's event handler object: logs each event, and may change the by-reference key values.
class Sink final : public com::AutomationObject {
public:
    explicit Sink(QString tag, int16_t keyOffset = 0) : m_tag(std::move(tag))
    {
        for (const char *name : {"Change", "GotFocus2"})
            addMethod(name, [this, name](std::span<vb::Variant>) { return log(name); });
        addMethod("Error", [this](std::span<vb::Variant> a) { return log("Error " + vb::CStr(a[0])); });
        addMethod("KeyDown", [this, keyOffset](std::span<vb::Variant> a) {
            log(QString("KeyDown %1 %2").arg(vb::CInt(a[0])).arg(vb::CInt(a[1])));
            a[0] = static_cast<int16_t>(vb::CInt(a[0]) + keyOffset);
            a[1] = int16_t{0};
            return vb::Variant();
        });
        addMethod("KeyPress", [this, keyOffset](std::span<vb::Variant> a) {
            log(QString("KeyPress %1").arg(vb::CInt(a[0])));
            a[0] = static_cast<int16_t>(vb::CInt(a[0]) + keyOffset);
            return vb::Variant();
        });
    }
    static inline QStringList events;

private:
    vb::Variant log(const QString &text)
    {
        events << m_tag + ' ' + text;
        return {};
    }
    QString m_tag;
};

// An object with no members, as a host that handles no event.
class Silent final : public com::AutomationObject {};

class ComponentObjectTest : public vok::test::LanguageFixture {
protected:
    void SetUp() override
    {
        LanguageFixture::SetUp();
        ASSERT_EQ(com::registerServer(Library), com::S_OK);
        object = com::createObject("vokArtBuscar.vokTArticulo");
        control = std::dynamic_pointer_cast<component::vokTArticuloObject>(object);
        ASSERT_TRUE(control) << "the object is the library's own";
        Sink::events.clear();
    }
    void TearDown() override
    {
        control.reset();
        object.reset();
        com::unregisterServer(Library);
        LanguageFixture::TearDown();
    }

    vb::Variant call(const char *member, CallKind kind, std::vector<vb::Variant> args = {})
    {
        return object->invoke(member, kind, args);
    }
    vb::Variant get(const char *member) { return call(member, CallKind::PropertyGet); }
    void let(const char *member, vb::Variant value) { call(member, CallKind::PropertyLet, {std::move(value)}); }

    std::shared_ptr<com::Object> object;
    std::shared_ptr<component::vokTArticuloObject> control;
};

using vok::test::errorNumberOf;

TEST_F(ComponentObjectTest, AnswersEveryIdentityOfItsInterfaceHistory)
{
    for (const com::Guid &iid : component::IID_vokTArticuloHistory)
        EXPECT_EQ(object->queryInterface(iid), object) << iid.toString().toStdString();
    EXPECT_EQ(object->queryInterface(component::DIID_vokTArticuloEvents()), nullptr) << "events are not implemented";
}

TEST_F(ComponentObjectTest, EveryTypeLibraryMemberIsReachableByNameAndKind)
{
    // A value of each declared type that the setter accepts.
    const std::map<QString, vb::Variant> sample = {
        {"Integer", int16_t{1}}, {"Long", int32_t{2}}, {"Byte", uint8_t{3}}, {"Boolean", true}, {"String", "x"},
        {"Double", 1.5}, {"OLE_COLOR", int32_t{0x00FF00}}, {"qs_ArtFormatDisplay", 2}, {"qs_ArtNameDisplay", 1},
        {"rdoConnection", vb::ObjectRef()}, {"Font", get("Font")}};
    for (const component::MemberInfo &member : component::defaultInterfaceMembers()) {
        const QString kind = member.kind;
        SCOPED_TRACE((QString(member.name) + ' ' + kind).toStdString());
        if (kind == "get") {
            EXPECT_NO_THROW(get(member.name));
        } else if (kind != "method") { // each method has a test of its own below
            EXPECT_NO_THROW(call(member.name, kind == "set" ? CallKind::PropertySet : CallKind::PropertyLet,
                                 {sample.at(member.type)}));
        }
    }
    EXPECT_EQ(errorNumberOf([&] { get("Empresa"); }), vb::err::MemberNotSupported) << "Empresa is write-only";
    EXPECT_EQ(errorNumberOf([&] { call("Connect", CallKind::PropertyLet, {vb::ObjectRef()}); }),
              vb::err::MemberNotSupported) << "Connect is an object: set only";
}

// Values arrive as variants and are converted as the platform converts them.
TEST_F(ComponentObjectTest, PropertiesConvertAsThePlatformDoes)
{
    let("ID", 2.5);
    EXPECT_EQ(get("ID"), vb::Variant(int32_t{2})) << "half to even";
    let("FormatCodigo", int32_t{12});
    EXPECT_EQ(get("FormatCodigo"), vb::Variant("12"));
    EXPECT_EQ(errorNumberOf([&] { let("Variedad", int32_t{40000}); }), vb::err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { let("Text", vb::Variant::null()); }), vb::err::InvalidUseOfNull);
    let("FormatoLista", uint8_t{2});
    EXPECT_EQ(control->control().FormatoLista(), 2) << "a write-only property";
    // Connect takes a connection or nothing.
    EXPECT_EQ(errorNumberOf([&] { call("Connect", CallKind::PropertySet, {vb::ObjectRef()}); }), 0);
    EXPECT_EQ(control->control().connection(), nullptr);
    for (const vb::Variant &wrong : {vb::Variant(vb::ObjectRef(std::make_shared<Silent>())), vb::Variant("sqlite:x")})
        EXPECT_EQ(errorNumberOf([&] { call("Connect", CallKind::PropertySet, {wrong}); }), vb::err::TypeMismatch);
}

TEST_F(ComponentObjectTest, FontIsALiveFontObject)
{
    vb::ObjectRef font = get("Font").object();
    ASSERT_TRUE(font);
    EXPECT_EQ(vb::CallByName(font, "Name", CallKind::PropertyGet), vb::Variant("MS Sans Serif"));
    vb::CallByName(font, "Bold", CallKind::PropertyLet, {true});
    vb::CallByName(font, "Size", CallKind::PropertyLet, {12});
    auto other = com::createObject("vokArtBuscar.vokTArticulo");
    std::vector<vb::Variant> fontArgument{vb::Variant(font)};
    other->invoke("Font", CallKind::PropertySet, fontArgument);
    for (const auto &object : {control, std::dynamic_pointer_cast<component::vokTArticuloObject>(other)})
        EXPECT_EQ(std::pair(object->control().Font().bold, object->control().Font().size), std::pair(true, 12.0));
    EXPECT_EQ(errorNumberOf([&] { call("Font", CallKind::PropertySet, {vb::ObjectRef()}); }), vb::err::ObjectNotSet);
    // The control goes; the font object stays usable on its own.
    other.reset();
    control.reset();
    object.reset();
    EXPECT_EQ(vb::CallByName(font, "Bold", CallKind::PropertyGet), vb::Variant(true));
}

TEST_F(ComponentObjectTest, MethodsPassTheirArgumentsAsDeclared)
{
    let("Idioma", uint8_t{2});
    EXPECT_EQ(call("resloadVieja", CallKind::Method, {int16_t{1}}), vb::Variant(control->control().resloadVieja(1)));
    EXPECT_EQ(errorNumberOf([&] { call("resloadVieja", CallKind::Method); }), vb::err::InvalidProcedureCall);
    // The control's own errors reach the host unchanged (a find without a
    // connection); the detail view ends quietly on its own.
    EXPECT_EQ(errorNumberOf([&] { call("FindArticuloByID", CallKind::Method, {int32_t{5}}); }), vb::err::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { call("MostrarDetalle", CallKind::Method, {int32_t{5}, int16_t{1}}); }), 0);
    EXPECT_EQ(errorNumberOf([&] { call("MostrarDetalle", CallKind::Method, {int32_t{5}}); }),
              vb::err::InvalidProcedureCall);
}

TEST_F(ComponentObjectTest, ConnectionPointTakesEveryEventIdentityOfItsHistory)
{
    std::vector<uint32_t> cookies;
    for (const com::Guid &iid : component::DIID_vokTArticuloEventsHistory)
        cookies.push_back(control->advise(iid, std::make_shared<Sink>(iid.toString().mid(1, 4))));
    let("Text", "A");
    ASSERT_EQ(Sink::events.size(), 16);
    EXPECT_EQ(Sink::events.front(), "8E56 Change") << "the oldest identity's sink first, as advised";
    EXPECT_EQ(Sink::events.back(), "4C52 Change");
    for (uint32_t cookie : cookies)
        control->unadvise(cookie);
    Sink::events.clear();
    let("Text", "B");
    EXPECT_TRUE(Sink::events.isEmpty());

    const auto sink = std::make_shared<Sink>("x");
    EXPECT_EQ(errorNumberOf([&] { control->advise(component::IID_vokTArticulo(), sink); }),
              component::CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(errorNumberOf([&] { control->advise(com::IID_IDispatch, sink); }), component::CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(errorNumberOf([&] { control->advise(component::DIID_vokTArticuloEvents(), nullptr); }), com::E_POINTER);
    EXPECT_EQ(errorNumberOf([&] { control->unadvise(cookies.front()); }), component::CONNECT_E_NOCONNECTION);
}

// The cashier types into the control: each sink hears the key as the sink
// before it left it, and the text gets what the last one left. Enter without
// a connection ends in the Error event and GotFocus2.
TEST_F(ComponentObjectTest, EventsReachSinksByNameAndByReferenceValuesComeBack)
{
    control->advise(component::DIID_vokTArticuloEvents(), std::make_shared<Sink>("one", 1));
    control->advise(component::DIID_vokTArticuloEventsHistory.front(), std::make_shared<Silent>());
    control->advise(component::DIID_vokTArticuloEvents(), std::make_shared<Sink>("two", 10));
    auto &text = static_cast<ui::HeadlessTextBox &>(control->control().tArticulo());
    text.setFocus();
    text.type("a");
    EXPECT_EQ(get("Text"), vb::Variant("l")) << "97 + 1 + 10";
    const QStringList typed = Sink::events;
    ASSERT_EQ(typed.size(), 6) << typed.join(" | ").toStdString();
    EXPECT_EQ(typed.mid(2), (QStringList{"one KeyPress 97", "two KeyPress 98", "one Change", "two Change"}));
    EXPECT_TRUE(typed[0].startsWith("one KeyDown ") && typed[1].startsWith("two KeyDown ")) << typed[0].toStdString();

    Sink::events.clear();
    text.type("\r");
    const QStringList entered = Sink::events.filter(QRegularExpression("^(one|two) (Error|GotFocus2)"));
    ASSERT_EQ(entered.size(), 4) << Sink::events.join(" | ").toStdString();
    EXPECT_TRUE(entered[0].startsWith("one Error 91 - ")) << entered[0].toStdString();
    EXPECT_EQ(entered.mid(2), (QStringList{"one GotFocus2", "two GotFocus2"}));
}

} // namespace
