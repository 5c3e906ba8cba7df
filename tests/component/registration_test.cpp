// The library as an installer and a container meet it: entry points, registration, vokreg.

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

#include <tuple>

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
    EXPECT_TRUE(function) << name;
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
    const QString server = canonical(registry.value(Clsid + "\\InprocServer32"));
    EXPECT_EQ(server, QFileInfo(Library).canonicalFilePath());
    const std::tuple<QString, QString, QString> expected[] = {
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
    for (const auto &[key, name, value] : expected)
        EXPECT_EQ(registry.value(key, name), value) << key.toStdString() << " " << name.toStdString();
    EXPECT_EQ(canonical(registry.value(TypeLib + "\\1.15\\0\\linux")), server);
    EXPECT_EQ(registry.value(Clsid + "\\ToolboxBitmap32"), *registry.value(Clsid + "\\InprocServer32") + ",30000");
    EXPECT_EQ(com::classIdFromProgId("vokArtBuscar.vokTArticulo"), component::CLSID_vokTArticulo);
}

TEST_F(ComponentRegistrationTest, UnregisteringRemovesItsOwnKeysOnlyAndTwiceIsHarmless)
{
    ASSERT_EQ(com::unregisterServer(Library), com::S_OK) << "nothing registered yet";
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    com::Registry().setValue(TypeLib + "\\1.14", {}, "older"); // another release, registered beside this one
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
    void *out = reinterpret_cast<void *>(1);
    const com::Guid other = com::Guid::fromName(u"another.class");
    EXPECT_EQ(getClassObject(&other, &com::IID_IClassFactory, &out), com::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(getClassObject(&component::CLSID_vokTArticulo, &component::IID_vokTArticulo(), &out),
              com::E_NOINTERFACE) << "a factory is no control";
}

// The control, its font object and a lock on its factory keep the library in use.
TEST_F(ComponentRegistrationTest, CanUnloadOnlyWithoutLiveObjects)
{
    const auto canUnloadNow = entryPoint<com::HRESULT (*)()>("DllCanUnloadNow");
    ASSERT_EQ(com::registerServer(Library), com::S_OK);
    ASSERT_EQ(canUnloadNow(), com::S_OK);
    auto object = com::createObject("vokArtBuscar.vokTArticulo");
    auto font = object->invoke("Font", vb::CallKind::PropertyGet, {}).object();
    object.reset();
    EXPECT_EQ(canUnloadNow(), com::S_FALSE) << "its font object is alive";
    font.reset();
    EXPECT_EQ(canUnloadNow(), com::S_OK);
    // A lock keeps the library in use after its factory is gone.
    void *out = nullptr;
    ASSERT_EQ(entryPoint<com::DllGetClassObjectFn>("DllGetClassObject")(&component::CLSID_vokTArticulo,
                                                                        &com::IID_IClassFactory, &out),
              com::S_OK);
    std::unique_ptr<std::shared_ptr<com::Object>> handed(static_cast<std::shared_ptr<com::Object> *>(out));
    std::dynamic_pointer_cast<com::ClassFactory>(*handed)->lockServer(true);
    handed.reset();
    EXPECT_EQ(canUnloadNow(), com::S_FALSE);
    component::libraryModule().lock(false);
    EXPECT_EQ(canUnloadNow(), com::S_OK);
}

// vokreg's exit code and what it wrote, run against the given registry file.
std::pair<int, QString> vokreg(const QStringList &args, const QString &registryPath)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VOK_REGISTRY", registryPath);
    process.setProcessEnvironment(environment);
    process.start(VOKREG_PATH, args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

TEST(ComponentVokreg, RegistersListsAndUnregistersInItsOwnRegistry)
{
    QTemporaryDir dir;
    const QString registryPath = dir.filePath("registry.reg"), library = QFileInfo(Library).absoluteFilePath();
    ASSERT_EQ(vokreg({"register", Library}, registryPath).first, 0);
    const com::Registry written(registryPath);
    EXPECT_EQ(written.value(Clsid + "\\InprocServer32"), library);
    EXPECT_EQ(written.value(Clsid + "\\MiscStatus"), "131473");
    EXPECT_FALSE(com::Registry().value(Clsid)) << "the test's own registry is untouched";
    EXPECT_EQ(vokreg({"list", Library}, registryPath),
              std::pair(0, "library vokArtBuscar 1.15 {961793C7-98ED-454B-ACCB-A00EE46AED7B} \"VOK - Buscar Artículo\"\n"
                           "class vokTArticulo {E6BCB0D7-EE09-49BF-9A71-17C27125DC71} vokArtBuscar.vokTArticulo "
                           "registered (" + library + ")\n"));
    ASSERT_EQ(vokreg({"unregister", Library}, registryPath).first, 0);
    EXPECT_FALSE(com::Registry(registryPath).value(Clsid));
    EXPECT_TRUE(vokreg({"list", Library}, registryPath).second.endsWith("vokArtBuscar.vokTArticulo not registered\n"));
}

} // namespace
