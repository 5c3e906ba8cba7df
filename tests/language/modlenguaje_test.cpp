#include "language_fixture.h"

#include "language/modlenguaje.h"
#include "platform/com/registration.h"
#include "platform/com/runtime.h"
#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using vok::test::LanguageFixture;

class ModLenguajeTest : public LanguageFixture {
protected:
    uint8_t inicializar(QString aplicacion = "VOK04")
    {
        QString modulo = "BuscarArticulos";
        return language::InicializarLenguaje(aplicacion, modulo);
    }
    void deberiaQuedarSinComponente()
    {
        EXPECT_EQ(language::objetoLenguaje(), nullptr);
        EXPECT_EQ(language::usuariosLenguaje(), 0);
    }
};

// No language component is registered, so the error box names the component
// the settings chose.
TEST_F(ModLenguajeTest, SettingsAndApplicationCodeChooseTheComponent)
{
    const std::tuple<const char *, const char *, QString> cases[] = {
        {"", "VOK04", "LNG_QFA_001.dll"},          {"[VOK04]\nIdioma=abc\n", "VOK04", "LNG_QFA_001.dll"},
        {"[VOK04]\nIdioma=12abc\n", "VOK04", "LNG_QFA_012.dll"}, {"[VOK04]\nIdioma=2.5\n", "VOK04", "LNG_QFA_002.dll"},
        {"[VOK04]\nIdioma=256\n", "VOK04", "LNG_QFA_001.dll"},  {"[VOK04]\nIdioma=4\n", "vok04", "LNG_QFA_004.dll"},
        {"[VOK04]\nIdioma=4\n", "VOK05", "LNG_QCO_001.dll"},
    };
    com::unregisterServer(vok::test::buildLibraryDir() + "/libvokhost.so");
    {
        vok::test::ScopedEnv noPacks("VOK_LANGUAGE_DIR", "/nonexistent");
        ASSERT_EQ(com::registerServer(vok::test::buildLibraryDir() + "/libvokhost.so"), com::S_OK);
    }
    for (const auto &[settings, aplicacion, file] : cases) {
        writeSettings(settings);
        toolkit().clearMessages();
        EXPECT_EQ(inicializar(aplicacion), 0) << settings;
        ASSERT_EQ(toolkit().messages().size(), 1u) << settings;
        const auto &box = toolkit().messages()[0];
        EXPECT_EQ(box.title, "Configuración de Idioma");
        EXPECT_TRUE(box.prompt.startsWith("Falta el componente de idioma: " + file +
                                          "\r\nSe finalizará la ejecución de la aplicación."))
            << aplicacion << " " << settings << " -> " << box.prompt.toStdString();
        EXPECT_TRUE(box.prompt.contains("429 - ActiveX component can't create object")) << box.prompt.toStdString();
        deberiaQuedarSinComponente();
    }
}

TEST_F(ModLenguajeTest, CreatedComponentReceivesModuleNameAndSecondLanguage)
{
    provideLanguage("LNG_QFA_001.clsResources");
    for (const auto &[idioma2, expected] : {std::pair("", 0), std::pair("2.5", 2), std::pair("300", 0)}) {
        writeSettings(QByteArray("[VOK04]\nIdioma=1\nIdioma2=") + idioma2 + "\n");
        ASSERT_EQ(inicializar(), 1);
        EXPECT_EQ(created.back()->appName, "BuscarArticulos");
        EXPECT_EQ(created.back()->secondLanguage, vb::Variant(uint8_t(expected))) << idioma2;
        EXPECT_EQ(language::objetoLenguaje(), created.back());
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
    const std::pair<std::function<vb::Variant(int32_t)>, const char *> cases[] = {
        {[](int32_t) -> vb::Variant { throw vb::Error(326, "not found"); }, "RNF 5"},
        {[](int32_t) { return vb::Variant::null(); }, "RNF 5"},
        {[](int32_t) { return vb::Variant(vb::ObjectRef(std::make_shared<com::AutomationObject>())); }, "RNF 5"},
        {[](int32_t) { return vb::Variant(int32_t(77)); }, "77"},
        {[](int32_t) { return vb::Variant(); }, ""},
    };
    for (const auto &[answer, expected] : cases) {
        created.back()->answer = answer;
        EXPECT_EQ(language::TextoIdioma(5), expected);
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
    deberiaQuedarSinComponente();
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
    const std::tuple<int16_t, uint8_t, QString> cases[] = {
        {1, 2, "Items List"}, {1, 0, "Lista de Artículos"}, {2, 2, "||Uso|Vta|combo|Dec|Uso|PrecioQ|Code|Item Name"},
        {2, 3, "||Uso|Vta|combo||uso|PrecioQ|Código|Artículo"}, {3, 2, "Incluir Variedades"}, {4, 255, "c/Var"},
        {5, 0, ""},
    };
    for (const auto &[id, idioma, text] : cases)
        EXPECT_EQ(language::resloadVieja(id, idioma), text) << id << "/" << int(idioma);
}

} // namespace
