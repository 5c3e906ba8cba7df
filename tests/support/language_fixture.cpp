#include "language_fixture.h"

#include "language/modlenguaje.h"
#include "platform/com/registration.h"
#include "platform/com/runtime.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/conversions.h"


namespace vok::test {

RecordingLanguage::RecordingLanguage()
{
    addPropertyLet("IDAppName", [this](std::span<vb::Variant> args) {
        appName = vb::CStr(argument(args, 0));
        return vb::Variant();
    });
    addPropertyLet("IDSLNG", [this](std::span<vb::Variant> args) {
        secondLanguage = argument(args, 0);
        return vb::Variant();
    });
    addMethod("resLoad", [this](std::span<vb::Variant> args) {
        requests.push_back(argument(args, 0));
        const int32_t number = vb::CLng(argument(args, 0));
        return answer ? answer(number) : vb::Variant(QStringLiteral("texto %1").arg(number));
    });
}

void LanguageFixture::SetUp()
{
    ASSERT_EQ(com::registerServer(buildLibraryDir() + "/libvokhost.so"), com::S_OK);
    writeSettings("");
    toolkit().clearMessages();
}

void LanguageFixture::TearDown()
{
    // Leave the thread as a new one finds it: no users, no language object.
    while (language::usuariosLenguaje() > 0)
        language::LiberarLenguaje();
    language::LiberarLenguaje();
    for (const QString &progId : m_provided) {
        const auto clsid = com::Guid::fromName(progId);
        com::revokeClassObject(clsid);
        com::Registry registry;
        com::unregisterClass(registry, {clsid, progId, {}});
    }
    com::unregisterServer(buildLibraryDir() + "/libvokhost.so");
}

void LanguageFixture::writeSettings(const QByteArray &content)
{
    writeFile(qEnvironmentVariable("VOK_SETTINGS"), content);
}

void LanguageFixture::provideLanguage(const QString &progId)
{
    const auto clsid = com::Guid::fromName(progId);
    com::Registry registry;
    com::registerClass(registry, {clsid, progId, QStringLiteral("recording language")}, QString());
    com::registerClassObject(clsid, std::make_shared<com::FunctionClassFactory>([this] {
                                 auto language = std::make_shared<RecordingLanguage>();
                                 created.push_back(language);
                                 return language;
                             }));
    m_provided << progId;
}

ui::HeadlessToolkit &LanguageFixture::toolkit()
{
    return dynamic_cast<ui::HeadlessToolkit &>(ui::toolkit());
}

} // namespace vok::test
