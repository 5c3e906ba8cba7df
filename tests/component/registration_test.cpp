// The library as an installer and a container meet it: its entry points, the
// registration it writes and removes, and the vokreg tool.

#include "scoped_env.h"

#include "component/identities.h"
#include "component/module.h"
#include "component/registration_data.h"
#include "platform/com/registration.h"
#include "platform/com/registry.h"
#include "platform/com/runtime.h"

#include "qt_printers.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

const QString Library = vok::test::buildLibraryDir() + "/libvokBArticulo.so";
const QString Clsid = "HKEY_CLASSES_ROOT\\CLSID\\{E6BCB0D7-EE09-49BF-9A71-17C27125DC71}";
const QString TypeLib = "HKEY_CLASSES_ROOT\\TypeLib\\{961793C7-98ED-454B-ACCB-A00EE46AED7B}";

// An entry point of the library, found as a container finds it.
template <typename Function>
Function entryPoint(const char *name)
{
    void *library = dlopen(QFile::encodeName(Library).constData(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(library, nullptr) << "the test program links the library";
    auto function = reinterpret_cast<Function>(dlsym(library, name));
    dlclose(library);
    return function;
}

QString canonical(const std::optional<QString> &path)
{
    return path ? QFileInfo(*path).canonicalFilePath() : QString("(missing)");
}

class ComponentRegistrationTest : public ::testing::Test {
protected:
    void TearDown() override { com::unregisterServer(Library); }
};

TEST_F(ComponentRegistrationTest, WritesEveryItemAndRegisteringTwiceIsHarmless)
{
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    const com::Registry registry;
    ASSERT_EQ(component::registrationItems(component::libraryPath()).size(), 28u);

    // The items a container reads, spelt out.
    const QString server = canonical(registry.value(Clsid + "\\InprocServer32"));
    EXPECT_EQ(server, QFileInfo(Library).canonicalFilePath());
    const struct {
        QString key;
        QString name;
        QString value;
    } expected[] = {
        {"HKEY_CLASSES_ROOT\\vokArtBuscar.vokTArticulo\\CLSID", {}, "{E6BCB0D7-EE09-49BF-9A71-17C27125DC71}"},
        {Clsid, {}, "VOK - Buscar Artículo"},
        {Clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {Clsid + "\\Control", {}, ""},
        {Clsid + "\\MiscStatus", {}, "131473"},
        {Clsid + "\\TypeLib", {}, "{961793C7-98ED-454B-ACCB-A00EE46AED7B}"},
        {Clsid + "\\Version", {}, "1.15"},
        {Clsid + "\\VersionInfo", "FileVersion", "1.0.0.43"},
        {Clsid + "\\VersionInfo", "DisplayVersion", "1.00.0043"},
        {Clsid + "\\VersionInfo", "InternalName", "vokBArticulo"},
        {Clsid + "\\VersionInfo", "OriginalFilename", "vokBArticulo.ocx"},
        {Clsid + "\\VersionInfo", "ProductName", "VOK - Buscar Artículo"},
        {Clsid + "\\VersionInfo", "OLESelfRegister", ""},
        {TypeLib + "\\1.15", {}, "VOK - Buscar Artículo"},
        {TypeLib + "\\1.15\\FLAGS", {}, "0"},
        {"HKEY_CLASSES_ROOT\\Interface\\{00F0F3C2-373C-46A3-8704-047D46E99311}", {}, "_vokTArticulo"},
        {"HKEY_CLASSES_ROOT\\Interface\\{4C52E327-DCB6-4E18-8ECB-B3B6E9DCE93D}", {}, "__vokTArticulo"},
        {"HKEY_CLASSES_ROOT\\Interface\\{4C52E327-DCB6-4E18-8ECB-B3B6E9DCE93D}\\TypeLib", "Version", "1.15"},
    };
    for (const auto &e : expected)
        EXPECT_EQ(registry.value(e.key, e.name), e.value) << e.key.toStdString() << " " << e.name.toStdString();
    EXPECT_EQ(canonical(registry.value(TypeLib + "\\1.15\\0\\linux")), server);
    EXPECT_EQ(registry.value(Clsid + "\\ToolboxBitmap32"), *registry.value(Clsid + "\\InprocServer32") + ",30000");
    EXPECT_EQ(com::classIdFromProgId("vokArtBuscar.vokTArticulo"), component::CLSID_vokTArticulo);
}

TEST_F(ComponentRegistrationTest, UnregisteringRemovesItsOwnKeysOnlyAndTwiceIsHarmless)
{
    ASSERT_EQ(com::unregisterServer(Library), com::S_OK) << "nothing registered yet";
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    {
        // Another release of the type library, registered beside this one.
        com::Registry registry;
        registry.setValue(TypeLib + "\\1.14", {}, "older");
    }
    ASSERT_EQ(com::unregisterServer(Library), com::S_OK);
    ASSERT_EQ(com::unregisterServer(Library), com::S_OK);
    com::Registry registry;
    for (const auto &item : component::registrationItems(component::libraryPath()))
        EXPECT_FALSE(registry.value(item.key, item.name)) << item.key.toStdString();
    EXPECT_EQ(registry.subKeys(TypeLib), QStringList{"1.14"});
    EXPECT_FALSE(com::classIdFromProgId("vokArtBuscar.vokTArticulo"));

    registry.removeKey(TypeLib + "\\1.14");
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    ASSERT_EQ(com::unregisterServer(Library), com::S_OK);
    EXPECT_TRUE(com::Registry().subKeys("HKEY_CLASSES_ROOT\\TypeLib").isEmpty()) << "the last version takes the key";
}

TEST_F(ComponentRegistrationTest, ClassObjectIsOnlyForTheControl)
{
    const auto getClassObject = entryPoint<com::DllGetClassObjectFn>("DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    void *out = reinterpret_cast<void *>(1);
    const com::Guid other = com::Guid::fromName(u"another.class");
    EXPECT_EQ(getClassObject(&other, &com::IID_IClassFactory, &out), com::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(getClassObject(&component::CLSID_vokTArticulo, &component::IID_vokTArticulo(), &out),
              com::E_NOINTERFACE) << "a factory is no control";
}

// The runtime's own tests count objects and locks; here, that the control and
// its font object are counted by the library's module.
TEST_F(ComponentRegistrationTest, CanUnloadOnlyWithoutLiveObjects)
{
    const auto canUnloadNow = entryPoint<com::HRESULT (*)()>("DllCanUnloadNow");
    ASSERT_TRUE(canUnloadNow);
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    ASSERT_EQ(canUnloadNow(), com::S_OK);
    auto object = com::createObject("vokArtBuscar.vokTArticulo");
    auto font = object->invoke("Font", vb::CallKind::PropertyGet, {}).object();
    object.reset();
    EXPECT_EQ(canUnloadNow(), com::S_FALSE) << "its font object is alive";
    font.reset();
    EXPECT_EQ(canUnloadNow(), com::S_OK);
}

struct VokregRun {
    int exitCode;
    QString out;
    QString err;
};

VokregRun vokreg(const QStringList &args, const QString &registryPath)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VOK_REGISTRY", registryPath);
    process.setProcessEnvironment(environment);
    process.start(VOKREG_PATH, args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(ComponentVokreg, RegistersListsAndUnregistersInItsOwnRegistry)
{
    QTemporaryDir dir;
    const QString registryPath = dir.filePath("registry.reg");
    const QString clsid = "{E6BCB0D7-EE09-49BF-9A71-17C27125DC71}";

    const VokregRun registered = vokreg({"register", Library}, registryPath);
    ASSERT_EQ(registered.exitCode, 0) << registered.err.toStdString();
    const com::Registry written(registryPath);
    EXPECT_EQ(written.value(Clsid + "\\InprocServer32"), QFileInfo(Library).absoluteFilePath());
    EXPECT_EQ(written.value(Clsid + "\\MiscStatus"), "131473");
    EXPECT_FALSE(com::Registry().value(Clsid)) << "the test's own registry is untouched";

    VokregRun listed = vokreg({"list", Library}, registryPath);
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out,
              "library vokArtBuscar 1.15 {961793C7-98ED-454B-ACCB-A00EE46AED7B} \"VOK - Buscar Artículo\"\n"
              "class vokTArticulo " + clsid + " vokArtBuscar.vokTArticulo registered ("
                  + QFileInfo(Library).absoluteFilePath() + ")\n");

    ASSERT_EQ(vokreg({"unregister", Library}, registryPath).exitCode, 0);
    EXPECT_FALSE(com::Registry(registryPath).value(Clsid));
    listed = vokreg({"list", Library}, registryPath);
    EXPECT_TRUE(listed.out.endsWith("vokArtBuscar.vokTArticulo not registered\n")) << listed.out.toStdString();
}

} // namespace
