#include "error_number.h"
#include "platform/com/registry.h"
#include "platform/com/runtime.h"
#include "platform/vb/error.h"

#include "scoped_env.h"

#include <dlfcn.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using com::Guid;

const Guid SampleClassId = *Guid::parse(u"{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90}");
const Guid OtherClassId = *Guid::parse(u"{0D7E2F14-5A3B-4C6D-8E9F-A0B1C2D3E4F5}");
const Guid SomeInterface = *Guid::parse(u"{11111111-2222-3333-4444-555555555555}");

void registerServer(const QString &progId, const Guid &clsid, const QString &library)
{
    com::Registry registry;
    registry.setValue(u"HKEY_CLASSES_ROOT\\"_qs + progId + u"\\CLSID"_qs, QString(), clsid.toString());
    if (!library.isNull())
        registry.setValue(u"HKEY_CLASSES_ROOT\\CLSID\\"_qs + clsid.toString() + u"\\InprocServer32"_qs, QString(), library);
}

// The description of the error 429 the call raises.
template <typename Call>
QString cannotCreate(Call call)
{
    const vb::Error error = vok::test::errorRaisedBy(call);
    EXPECT_EQ(error.number(), vb::err::CannotCreateObject) << error.what();
    EXPECT_TRUE(error.description().startsWith(u"ActiveX component can't create object: "_qs)) << error.what();
    return error.description();
}

// --- objects ---------------------------------------------------------------

class Shape : public com::AutomationObject {
public:
    explicit Shape(com::Module *module = nullptr) : AutomationObject(module)
    {
        addPropertyGet(u"Width"_qs, [this](std::span<vb::Variant>) { return vb::Variant(m_width); });
        addPropertyLet(u"Width"_qs, [this](std::span<vb::Variant> args) {
            m_width = argument(args, 0).get<int32_t>();
            return vb::Variant();
        });
        addPropertyGet(u"Cell"_qs, [](std::span<vb::Variant> args) {
            return vb::Variant(argument(args, 0).get<int32_t>() * 10 + argument(args, 1).get<int32_t>());
        });
        addMethod(u"Grow"_qs, [this](std::span<vb::Variant>) { return vb::Variant(++m_width); });
    }

protected:
    std::span<const Guid> interfaceIds() const override { return {&SomeInterface, 1}; }

private:
    int32_t m_width = 3;
};

TEST(ComObject, InterfaceQueries)
{
    const std::shared_ptr<com::Object> plain = std::make_shared<com::Object>(), shape = std::make_shared<Shape>(),
                                       factory = std::make_shared<com::FunctionClassFactory>([] { return nullptr; });
    for (const auto &object : {plain, shape, factory}) {
        EXPECT_EQ(object->queryInterface(com::IID_IUnknown), object);
        EXPECT_EQ(object->queryInterface(com::IID_IDispatch), object);
        EXPECT_EQ(object->queryInterface(SomeInterface), object == shape ? object : nullptr);
        EXPECT_EQ(object->queryInterface(com::IID_IClassFactory), object == factory ? object : nullptr);
    }
    // Handing out a factory through the C entry point asks the same question.
    void *out = &out;
    EXPECT_EQ(com::exportFactory(factory, &SomeInterface, &out), com::E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(com::exportFactory(factory, &com::IID_IClassFactory, nullptr), com::E_POINTER);
}

TEST(ComObject, MembersByNameIgnoreCaseAndRefusals)
{
    Shape shape;
    com::Object plain;
    vb::Variant one(int32_t(1)), seven(int32_t(7)), cell[] = {vb::Variant(int32_t(4)), vb::Variant(int32_t(2))};
    shape.invoke(u"WIDTH"_qs, vb::CallKind::PropertyLet, {&seven, 1});
    EXPECT_EQ(shape.invoke(u"wIdTh"_qs, vb::CallKind::PropertyGet, {}), vb::Variant(int32_t(7)));
    EXPECT_EQ(shape.invoke(u"grow"_qs, vb::CallKind::Method, {}), vb::Variant(int32_t(8)));
    // A property get is reachable as a method, with its arguments.
    EXPECT_EQ(shape.invoke(u"width"_qs, vb::CallKind::Method, {}), vb::Variant(int32_t(8)));
    EXPECT_EQ(shape.invoke(u"Cell"_qs, vb::CallKind::Method, cell), vb::Variant(int32_t(42)));
    const struct {
        com::Object *object;
        const char *member;
        vb::CallKind kind;
        std::span<vb::Variant> args;
        int32_t error;
    } cases[] = {
        {&plain, "Width", vb::CallKind::PropertyGet, {}, vb::err::MemberNotSupported},
        {&shape, "Height", vb::CallKind::PropertyGet, {}, vb::err::MemberNotSupported},
        {&shape, "Width", vb::CallKind::PropertySet, {&one, 1}, vb::err::MemberNotSupported},  // Set is not Let
        {&shape, "Cell", vb::CallKind::PropertyLet, {&one, 1}, vb::err::MemberNotSupported},    // read-only
        {&shape, "Cell", vb::CallKind::PropertyGet, {&one, 1}, vb::err::InvalidProcedureCall},  // argument missing
        {&shape, "Width", vb::CallKind::PropertyLet, {}, vb::err::InvalidProcedureCall},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.member);
        const vb::Error error = vok::test::errorRaisedBy([&] { c.object->invoke(QString::fromLatin1(c.member), c.kind, c.args); });
        EXPECT_EQ(error.number(), c.error);
        EXPECT_EQ(error.description(), vb::Error::standardDescription(c.error));
    }
}

// --- creation ----------------------------------------------------------------

class Creation : public ::testing::Test {
protected:
    ~Creation() override
    {
        for (const Guid &clsid : {Guid::fromName(u"Vok.Null"), Guid::fromName(u"Vok.Std"), Guid::fromName(u"Vok.Vb")})
            com::revokeClassObject(clsid);
    }
    vok::test::ScopedRegistry scope;
};

// That a factory registered in the process comes before the registered library, and that revoking
// it falls back to the library, the control's tests prove each time they script the item list.
TEST_F(Creation, FailuresRaise429NamingTheIdentifierAndTheReason)
{
    const std::pair<const char16_t *, com::FunctionClassFactory::Create> factories[] = {
        {u"Vok.Null", [] { return std::shared_ptr<com::Object>(); }},
        {u"Vok.Std", []() -> std::shared_ptr<com::Object> { throw std::runtime_error("disk on fire"); }},
        {u"Vok.Vb", []() -> std::shared_ptr<com::Object> { throw vb::Error(3021, u"No current record"_qs); }},
    };
    for (const auto &[progId, create] : factories) {
        registerServer(QString::fromUtf16(progId), Guid::fromName(progId), QString());
        com::registerClassObject(Guid::fromName(progId), std::make_shared<com::FunctionClassFactory>(create));
    }
    Dl_info qt{}; // a library that loads but exports no entry point: the Qt library itself
    ASSERT_NE(dladdr(reinterpret_cast<void *>(&qVersion), &qt), 0);
    com::Registry().setValue(u"HKEY_CLASSES_ROOT\\Vok.BadClsid\\CLSID"_qs, QString(), u"{not-a-guid}"_qs);
    registerServer(u"Vok.Missing"_qs, Guid::fromName(u"Vok.Missing"), u"/nonexistent/libvokmissing.so"_qs);
    registerServer(u"Vok.NoEntry"_qs, Guid::fromName(u"Vok.NoEntry"), QString::fromLocal8Bit(qt.dli_fname));
    registerServer(u"Vok.Refused"_qs, OtherClassId, QStringLiteral(VOK_SAMPLE_COMPONENT)); // serves no class
    const std::pair<const char *, const char *> cases[] = {
        {"Vok.Null", "created no object"},
        {"Vok.Std", "disk on fire"},
        {"Vok.Vb", "3021 - No current record"},
        {"Vok.Unknown", "not registered"},
        {"Vok.BadClsid", "not registered"},
        {"Vok.Missing", "cannot load /nonexistent/libvokmissing.so"},
        {"Vok.NoEntry", "DllGetClassObject"},
        {"Vok.Refused", "0x80040111"},
    };
    for (const auto &[progId, reason] : cases)
        EXPECT_THAT(cannotCreate([&] { com::createObject(QString::fromLatin1(progId)); }).toStdString(),
                    ::testing::AllOf(::testing::HasSubstr("object: " + std::string(progId) + " ("),
                                     ::testing::HasSubstr(reason)));
    EXPECT_THAT(cannotCreate([] { com::createInstance(SampleClassId); }).toStdString(),
                ::testing::HasSubstr(SampleClassId.toString().toStdString()));
}

} // namespace
