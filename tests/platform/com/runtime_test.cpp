#include "error_number.h"
#include "platform/com/registry.h"
#include "platform/com/runtime.h"
#include "platform/vb/error.h"

#include "scoped_env.h"

#include <QFile>

#include <dlfcn.h>

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
    registry.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\") + progId + QStringLiteral("\\CLSID"), QString(),
                      clsid.toString());
    if (!library.isNull())
        registry.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\") + clsid.toString() + QStringLiteral("\\InprocServer32"),
                          QString(), library);
}

// Runs the call and returns the error 429 it raises.
template <typename Call>
vb::Error cannotCreate(Call call)
{
    try {
        call();
    } catch (const vb::Error &error) {
        EXPECT_EQ(error.number(), vb::err::CannotCreateObject) << error.what();
        EXPECT_TRUE(error.description().startsWith(QStringLiteral("ActiveX component can't create object: ")))
            << error.what();
        return error;
    }
    ADD_FAILURE() << "created";
    return vb::Error(0, QString());
}

bool contains(const vb::Error &error, const QString &text)
{
    return error.description().contains(text);
}

// --- objects ---------------------------------------------------------------

class Shape : public com::AutomationObject {
public:
    explicit Shape(com::Module *module = nullptr) : AutomationObject(module)
    {
        addPropertyGet(QStringLiteral("Width"), [this](std::span<vb::Variant>) { return vb::Variant(m_width); });
        addPropertyLet(QStringLiteral("Width"), [this](std::span<vb::Variant> args) {
            m_width = argument(args, 0).get<int32_t>();
            return vb::Variant();
        });
        addPropertyGet(QStringLiteral("Cell"), [](std::span<vb::Variant> args) {
            return vb::Variant(argument(args, 0).get<int32_t>() * 10 + argument(args, 1).get<int32_t>());
        });
        addMethod(QStringLiteral("Grow"), [this](std::span<vb::Variant>) { return vb::Variant(++m_width); });
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

TEST(ComObject, MembersByNameIgnoreCase)
{
    Shape shape;
    vb::Variant value(int32_t(7));
    shape.invoke(QStringLiteral("WIDTH"), vb::CallKind::PropertyLet, {&value, 1});
    EXPECT_EQ(shape.invoke(QStringLiteral("wIdTh"), vb::CallKind::PropertyGet, {}), vb::Variant(int32_t(7)));
    EXPECT_EQ(shape.invoke(QStringLiteral("grow"), vb::CallKind::Method, {}), vb::Variant(int32_t(8)));

    // A property get is reachable as a method, with its arguments.
    vb::Variant cell[] = {vb::Variant(int32_t(4)), vb::Variant(int32_t(2))};
    EXPECT_EQ(shape.invoke(QStringLiteral("width"), vb::CallKind::Method, {}), vb::Variant(int32_t(8)));
    EXPECT_EQ(shape.invoke(QStringLiteral("Cell"), vb::CallKind::Method, cell), vb::Variant(int32_t(42)));
}

TEST(ComObject, RefusedCalls)
{
    Shape shape;
    com::Object plain;
    vb::Variant one(int32_t(1));
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
        const vb::Error error =
            vok::test::errorRaisedBy([&] { c.object->invoke(QString::fromLatin1(c.member), c.kind, c.args); });
        EXPECT_EQ(error.number(), c.error);
        EXPECT_EQ(error.description(), vb::Error::standardDescription(c.error));
    }
}

// --- creation ----------------------------------------------------------------

class Creation : public ::testing::Test {
protected:
    ~Creation() override
    {
        com::revokeClassObject(SampleClassId);
        com::revokeClassObject(OtherClassId);
    }
    vok::test::ScopedRegistry scope;
};

TEST_F(Creation, ProcessFactoriesComeFirst)
{
    registerServer(QStringLiteral("Vok.Shape"), SampleClassId, QStringLiteral("/nonexistent/libshape.so"));
    com::registerClassObject(SampleClassId, std::make_shared<com::FunctionClassFactory>([] { return std::make_shared<Shape>(); }));

    const auto shape = com::createObject(QStringLiteral("VOK.SHAPE"));
    ASSERT_TRUE(shape);
    EXPECT_TRUE(shape->queryInterface(SomeInterface));
    EXPECT_EQ(com::classIdFromProgId(QStringLiteral("vok.shape")), SampleClassId);

    // Revoked, creation falls through to the registered library, which is missing.
    com::revokeClassObject(SampleClassId);
    const vb::Error error = cannotCreate([] { com::createObject(QStringLiteral("Vok.Shape")); });
    EXPECT_TRUE(contains(error, QStringLiteral("Vok.Shape"))) << error.what();
    EXPECT_TRUE(contains(error, QStringLiteral("/nonexistent/libshape.so"))) << error.what();
}

TEST_F(Creation, FailingFactoriesRaise429)
{
    const struct {
        const char *name;
        com::FunctionClassFactory::Create create;
        const char *reason;
    } cases[] = {
        {"null", [] { return std::shared_ptr<com::Object>(); }, "created no object"},
        {"std", []() -> std::shared_ptr<com::Object> { throw std::runtime_error("disk on fire"); }, "disk on fire"},
        {"vb", []() -> std::shared_ptr<com::Object> { throw vb::Error(3021, QStringLiteral("No current record")); },
         "3021 - No current record"},
    };
    registerServer(QStringLiteral("Vok.Failing"), SampleClassId, QString());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        com::registerClassObject(SampleClassId, std::make_shared<com::FunctionClassFactory>(c.create));
        const vb::Error byName = cannotCreate([] { com::createObject(QStringLiteral("Vok.Failing")); });
        EXPECT_TRUE(contains(byName, QStringLiteral("object: Vok.Failing ("))) << byName.what();
        EXPECT_TRUE(contains(byName, QString::fromLatin1(c.reason))) << byName.what();
    }
}

TEST_F(Creation, RegistrationProblemsRaise429NamingTheIdentifier)
{
    // A library that loads but exports no entry point: the Qt library itself.
    Dl_info qt{};
    ASSERT_NE(dladdr(reinterpret_cast<void *>(&qVersion), &qt), 0);

    com::Registry registry;
    registry.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\Vok.BadClsid\\CLSID"), QString(), QStringLiteral("{not-a-guid}"));
    registerServer(QStringLiteral("Vok.Missing"), Guid::fromName(u"Vok.Missing"), QStringLiteral("/nonexistent/libvokmissing.so"));
    registerServer(QStringLiteral("Vok.NoEntry"), Guid::fromName(u"Vok.NoEntry"), QString::fromLocal8Bit(qt.dli_fname));
    // The sample library serves one class only.
    registerServer(QStringLiteral("Vok.Refused"), OtherClassId, QStringLiteral(VOK_SAMPLE_COMPONENT));

    const struct {
        const char *progId;
        const char *reason;
    } cases[] = {
        {"Vok.Unknown", "not registered"},
        {"Vok.BadClsid", "not registered"},
        {"Vok.Missing", "cannot load /nonexistent/libvokmissing.so"},
        {"Vok.NoEntry", "DllGetClassObject"},
        {"Vok.Refused", "0x80040111"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.progId);
        const QString progId = QString::fromLatin1(c.progId);
        const vb::Error error = cannotCreate([&] { com::createObject(progId); });
        EXPECT_TRUE(contains(error, QStringLiteral("object: ") + progId + QStringLiteral(" ("))) << error.what();
        EXPECT_TRUE(contains(error, QString::fromLatin1(c.reason))) << error.what();
    }
    const vb::Error error = cannotCreate([] { com::createInstance(SampleClassId); });
    EXPECT_TRUE(contains(error, SampleClassId.toString())) << error.what();
}

TEST_F(Creation, ComponentLibraryServesItsClass)
{
    const QString library = QStringLiteral(VOK_SAMPLE_COMPONENT);
    ASSERT_TRUE(QFile::exists(library)) << VOK_SAMPLE_COMPONENT;
    registerServer(QStringLiteral("Vok.SampleCounter"), SampleClassId, library);

    auto counter = com::createObject(QStringLiteral("vok.samplecounter"));
    ASSERT_TRUE(counter);

    // The runtime keeps the library loaded; reach its own counters.
    void *handle = dlopen(VOK_SAMPLE_COMPONENT, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(handle) << dlerror();
    const auto moduleOf = reinterpret_cast<com::Module *(*)()>(dlsym(handle, "VokSampleModule"));
    const auto canUnloadNow = reinterpret_cast<com::HRESULT (*)()>(dlsym(handle, "DllCanUnloadNow"));
    const auto getClassObject = reinterpret_cast<com::DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    ASSERT_TRUE(moduleOf && canUnloadNow && getClassObject);
    com::Module &module = *moduleOf();
    EXPECT_EQ(module.objects(), 1);  // the factory is gone, the counter remains
    EXPECT_EQ(canUnloadNow(), com::S_FALSE);

    vb::Variant five(int32_t(5));
    EXPECT_EQ(counter->invoke(QStringLiteral("add"), vb::CallKind::Method, {&five, 1}), vb::Variant(int32_t(5)));
    counter.reset();
    EXPECT_EQ(module.objects(), 0);
    EXPECT_EQ(canUnloadNow(), com::S_OK);

    // A lock keeps the library in use after its factory is gone.
    void *out = nullptr;
    ASSERT_EQ(getClassObject(&SampleClassId, &com::IID_IClassFactory, &out), com::S_OK);
    std::unique_ptr<std::shared_ptr<com::Object>> handed(static_cast<std::shared_ptr<com::Object> *>(out));
    auto factory = std::dynamic_pointer_cast<com::ClassFactory>(*handed);
    handed.reset();
    factory->lockServer(true);
    factory.reset();
    EXPECT_EQ(canUnloadNow(), com::S_FALSE);
    module.lock(false);
    EXPECT_EQ(canUnloadNow(), com::S_OK);

    dlclose(handle);
}

} // namespace
