#include "language_fixture.h"

#include "language/modlenguaje.h"
#include "platform/com/registration.h"
#include "platform/com/runtime.h"
#include "platform/vb/error.h"

#include <gtest/gtest.h>

namespace {

using vok::test::LanguageFixture;

class ModLenguajeTest : public LanguageFixture {
protected:
    uint8_t inicializar(QString aplicacion = "VOK04")
    {
        QString modulo = "BuscarArticulos";
        return language::InicializarLenguaje(aplicacion, modulo);
    }
};

// No language component is registered, so the error box names the component
// the settings chose.
TEST_F(ModLenguajeTest, SettingsAndApplicationCodeChooseTheComponent)
{
    const struct {
        const char *settings;
        const char *aplicacion;
        const char *file;
    } cases[] = {
        {"", "VOK04", "LNG_QFA_001.dll"},
        {"[VOK04]\nIdioma=abc\n", "VOK04", "LNG_QFA_001.dll"},
        {"[VOK04]\nIdioma=12abc\n", "VOK04", "LNG_QFA_012.dll"},
        {"[VOK04]\nIdioma=2.5\n", "VOK04", "LNG_QFA_002.dll"},
        {"[VOK04]\nIdioma=256\n", "VOK04", "LNG_QFA_001.dll"},
        {"[VOK04]\nIdioma=4\n", "vok04", "LNG_QFA_004.dll"},
        {"[VOK04]\nIdioma=4\n", "VOK05", "LNG_QCO_001.dll"},
    };
    com::unregisterServer(vok::test::buildLibraryDir() + "/libvokhost.so");
    {
        vok::test::ScopedEnv noPacks("VOK_LANGUAGE_DIR", "/nonexistent");
        ASSERT_EQ(com::registerServer(vok::test::buildLibraryDir() + "/libvokhost.so"), com::S_OK);
    }
    for (const auto &c : cases) {
        writeSettings(c.settings);
        toolkit().clearMessages();
        EXPECT_EQ(inicializar(c.aplicacion), 0) << c.settings;
        ASSERT_EQ(toolkit().messages().size(), 1u) << c.settings;
        const auto &box = toolkit().messages()[0];
        EXPECT_EQ(box.title, "Configuración de Idioma");
        EXPECT_TRUE(box.prompt.startsWith(QStringLiteral("Falta el componente de idioma: ") + c.file +
                                          "\r\nSe finalizará la ejecución de la aplicación."))
            << c.aplicacion << " " << c.settings << " -> " << box.prompt.toStdString();
        EXPECT_TRUE(box.prompt.contains("429 - ActiveX component can't create object")) << box.prompt.toStdString();
        EXPECT_EQ(language::usuariosLenguaje(), 0);
        EXPECT_EQ(language::objetoLenguaje(), nullptr);
    }
}

TEST_F(ModLenguajeTest, CreatedComponentReceivesModuleNameAndSecondLanguage)
{
    provideLanguage("LNG_QFA_001.clsResources");
    const struct {
        const char *idioma2;
        uint8_t expected;
    } cases[] = {{"", 0}, {"2.5", 2}, {"300", 0}};
    for (const auto &c : cases) {
        writeSettings(QByteArray("[VOK04]\nIdioma=1\nIdioma2=") + c.idioma2 + "\n");
        ASSERT_EQ(inicializar(), 1);
        const auto &language = created.back();
        EXPECT_EQ(language->appName, "BuscarArticulos");
        EXPECT_EQ(language->secondLanguage, vb::Variant(c.expected)) << c.idioma2;
        EXPECT_EQ(language::objetoLenguaje(), language);
    }
    EXPECT_EQ(language::usuariosLenguaje(), 3);
    EXPECT_TRUE(toolkit().messages().empty());
}

TEST_F(ModLenguajeTest, TextsAreAskedForAsTheNumberPlus1000)
{
    EXPECT_EQ(language::TextoIdioma(-1000), "RNF -1000") << "no component yet";
    provideLanguage("LNG_QFA_001.clsResources");
    ASSERT_EQ(inicializar(), 1);
    EXPECT_EQ(language::TextoIdioma(841), "texto 1841");
    EXPECT_EQ(language::TextoIdioma(2147482647), "texto 2147483647");
    ASSERT_EQ(created.back()->requests.size(), 2u);
    EXPECT_EQ(created.back()->requests[0].type(), vb::VarType::Long);

    EXPECT_EQ(language::TextoIdioma(2147482648), "RNF 2147482648");
    EXPECT_EQ(language::TextoIdioma(2147483647), "RNF 2147483647");
    EXPECT_EQ(created.back()->requests.size(), 2u) << "an overflowing number never reaches the component";
}

TEST_F(ModLenguajeTest, TextThatCannotBeFetchedReadsRnf)
{
    provideLanguage("LNG_QFA_001.clsResources");
    ASSERT_EQ(inicializar(), 1);
    const struct {
        std::function<vb::Variant(int32_t)> answer;
        const char *expected;
    } cases[] = {
        {[](int32_t) -> vb::Variant { throw vb::Error(326, "not found"); }, "RNF 5"},
        {[](int32_t) { return vb::Variant::null(); }, "RNF 5"},
        {[](int32_t) { return vb::Variant(vb::ObjectRef(std::make_shared<com::AutomationObject>())); }, "RNF 5"},
        {[](int32_t) { return vb::Variant(int32_t(77)); }, "77"},
        {[](int32_t) { return vb::Variant(); }, ""},
    };
    for (const auto &c : cases) {
        created.back()->answer = c.answer;
        EXPECT_EQ(language::TextoIdioma(5), c.expected);
    }
}

TEST_F(ModLenguajeTest, UserCountSaturatesAndTheLastUserReleasesTheComponent)
{
    provideLanguage("LNG_QFA_001.clsResources");
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(inicializar(), 1);
    EXPECT_EQ(language::usuariosLenguaje(), 255);
    for (int i = 0; i < 254; ++i)
        language::LiberarLenguaje();
    EXPECT_NE(language::objetoLenguaje(), nullptr);
    language::LiberarLenguaje();
    language::LiberarLenguaje();
    EXPECT_EQ(language::usuariosLenguaje(), 0);
    EXPECT_EQ(language::objetoLenguaje(), nullptr);
}

TEST_F(ModLenguajeTest, EveryInitialisationReplacesTheComponentAndAFailureLeavesNone)
{
    provideLanguage("LNG_QFA_001.clsResources");
    ASSERT_EQ(inicializar(), 1);
    ASSERT_EQ(inicializar(), 1);
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(language::objetoLenguaje(), created[1]);

    writeSettings("[VOK04]\nIdioma=9\n");
    EXPECT_EQ(inicializar(), 0);
    EXPECT_EQ(language::objetoLenguaje(), nullptr);
    EXPECT_EQ(language::usuariosLenguaje(), 2);
    EXPECT_EQ(language::TextoIdioma(1), "RNF 1");
}

TEST_F(ModLenguajeTest, ComponentRefusingItsPropertiesStillCounts)
{
    const auto clsid = com::Guid::fromName(u"LNG_QFA_001.clsResources");
    com::Registry registry;
    com::registerClass(registry, {clsid, "LNG_QFA_001.clsResources", {}}, QString());
    com::registerClassObject(clsid, std::make_shared<com::FunctionClassFactory>(
                                        [] { return std::make_shared<com::AutomationObject>(); }));
    EXPECT_EQ(inicializar(), 1);
    EXPECT_EQ(language::usuariosLenguaje(), 1);
    EXPECT_EQ(language::TextoIdioma(3), "RNF 3");
    com::revokeClassObject(clsid);
    com::unregisterClass(registry, {clsid, "LNG_QFA_001.clsResources", {}});
}

TEST_F(ModLenguajeTest, WithoutHostComponentsLanguageOneIsUsedAndNoBoxIsShown)
{
    com::unregisterServer(vok::test::buildLibraryDir() + "/libvokhost.so");
    provideLanguage("LNG_QFA_001.clsResources");
    writeSettings("[VOK04]\nIdioma=2\n");
    EXPECT_EQ(inicializar(), 1) << "missing settings reader: language 1";
    provideLanguage("LNG_QFA_002.clsResources");
    EXPECT_EQ(inicializar(), 1);
    EXPECT_EQ(created.size(), 2u);
}

TEST_F(ModLenguajeTest, ShippedPacksSpeakSpanishAndEnglish)
{
    writeSettings("[VOK04]\nIdioma=1\n");
    ASSERT_EQ(inicializar(), 1);
    EXPECT_EQ(language::TextoIdioma(1), "Lista de Artículos");
    EXPECT_EQ(language::TextoIdioma(3), "Incluir Variedades");
    EXPECT_EQ(language::TextoIdioma(848), "RNF 848");
    writeSettings("[VOK04]\nIdioma=2\n");
    ASSERT_EQ(inicializar(), 1);
    EXPECT_EQ(language::TextoIdioma(1), "Items List");
    writeSettings("[OTRA]\nIdioma=2\n");
    ASSERT_EQ(inicializar("OTRA"), 1);
    EXPECT_EQ(language::TextoIdioma(845), "OK");
}

TEST(ResloadViejaTest, BuiltInTexts)
{
    const struct {
        int16_t id;
        uint8_t idioma;
        const char *text;
    } cases[] = {
        {1, 2, "Items List"},
        {1, 0, "Lista de Artículos"},
        {2, 2, "||Uso|Vta|combo|Dec|Uso|PrecioQ|Code|Item Name"},
        {2, 3, "||Uso|Vta|combo||uso|PrecioQ|Código|Artículo"},
        {3, 2, "Incluir Variedades"},
        {4, 255, "c/Var"},
        {5, 0, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(language::resloadVieja(c.id, c.idioma), QString::fromUtf8(c.text)) << c.id << "/" << int(c.idioma);
}

} // namespace
