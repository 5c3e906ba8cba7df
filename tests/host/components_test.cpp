// The host components library as the control meets it: registered by its own entry points,
// created by name.

#include "error_number.h"
#include "scoped_env.h"

#include "language/host_components.h"
#include "platform/com/registration.h"
#include "platform/com/registry.h"
#include "platform/com/runtime.h"
#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/toolkit.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

using vb::CallKind;

const QString HostLibrary = vok::test::buildLibraryDir() + "/libvokhost.so";

class HostComponentsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(com::registerServer(HostLibrary), com::S_OK); }
    void TearDown() override { com::unregisterServer(HostLibrary); }

};

TEST_F(HostComponentsTest, RegistrationWritesEveryClassAndUnregistrationRemovesThem)
{
    const QStringList progIds = {"vokHost.Utilidades", "vokHost.Mensajes", "vokHost.ListaItems", "LNG_QFA_001.clsResources",
                                 "LNG_QFA_002.clsResources", "LNG_QCO_001.clsResources", "LNG_QCO_002.clsResources"};
    ASSERT_EQ(com::registerServer(HostLibrary), com::S_OK) << "registering twice is harmless";
    for (const QString &progId : progIds) {
        const auto clsid = com::classIdFromProgId(progId);
        ASSERT_TRUE(clsid) << progId.toStdString();
        EXPECT_EQ(com::Registry().value(com::classKey(*clsid) + "\\InprocServer32"), HostLibrary);
        EXPECT_TRUE(com::createInstance(*clsid)) << progId.toStdString();
    }
    EXPECT_EQ(com::classIdFromProgId("vokHost.ListaItems"), language::ListaItemsClsid) << "the control creates it by this";
    ASSERT_EQ(com::unregisterServer(HostLibrary), com::S_OK);
    ASSERT_EQ(com::unregisterServer(HostLibrary), com::S_OK) << "unregistering twice is harmless";
    for (const QString &progId : progIds)
        EXPECT_FALSE(com::classIdFromProgId(progId)) << progId.toStdString();
}

TEST_F(HostComponentsTest, MensajesShowsItsBoxesThroughTheToolkit)
{
    auto &toolkit = dynamic_cast<ui::HeadlessToolkit &>(ui::toolkit());
    toolkit.clearMessages();
    auto mensajes = com::createObject("vokHost.Mensajes");
    vb::CallByName(mensajes, "EstablecerIdioma", CallKind::Method, {uint8_t(2)});
    vb::CallByName(mensajes, "MostrarError", CallKind::Method, {"Falta algo", "Título", "vokArtBuscar", "429 - x"});
    EXPECT_EQ(vb::CallByName(mensajes, "MostrarMensaje", CallKind::Method, {"Nada", int16_t(64), "Búsqueda"}),
              vb::Variant(int16_t(1)));
    QStringList shown;
    for (const auto &m : toolkit.messages())
        shown << QString("%1|%2|%3").arg(m.prompt, m.title).arg(m.style);
    EXPECT_EQ(shown, (QStringList{"Falta algo\r\n\r\nvokArtBuscar: 429 - x|Título|16", "Nada|Búsqueda|64"}));
}

// Every text the control asks for is in each shipped pack, and the list
// headers give one field per column from the article identifier on.
TEST_F(HostComponentsTest, ShippedPacksAnswerEveryTextTheControlAsksFor)
{
    std::vector<int32_t> numbers = {1, 2, 3, 4, 5, 6, 7};
    for (int32_t n = 841; n <= 870; ++n)
        if (n < 847 || n > 850)
            numbers.push_back(n);
    const std::pair<int32_t, qsizetype> headerFields[] = {{2, 10}, {5, 12}, {6, 13}, {7, 15}};

    for (const char *progId : {"LNG_QFA_001.clsResources", "LNG_QFA_002.clsResources", "LNG_QCO_001.clsResources",
                               "LNG_QCO_002.clsResources"}) {
        auto pack = com::createObject(progId);
        const auto text = [&](int32_t n) {
            return vb::CStr(vb::CallByName(pack, "resLoad", CallKind::Method, {n + 1000}));
        };
        for (int32_t n : numbers)
            EXPECT_FALSE(text(n).isEmpty()) << progId << " text " << n;
        for (auto [n, fields] : headerFields)
            EXPECT_EQ(text(n).split('|').size(), fields) << progId << " header " << n;
    }
}

TEST_F(HostComponentsTest, PackBrokenAfterRegistrationFailsCreationNamingTheFile)
{
    QTemporaryDir dir;
    const QString pack = dir.filePath("xx.lng");
    vok::test::writeFile(pack, "[identifiers]\nLNG_QFA_009.clsResources\n[texts]\n1001=Lista\n");
    {
        vok::test::ScopedEnv packs("VOK_LANGUAGE_DIR", dir.path().toLocal8Bit());
        ASSERT_EQ(com::registerServer(HostLibrary), com::S_OK);
    }
    EXPECT_NO_THROW(com::createObject("LNG_QFA_009.clsResources"));
    vok::test::writeFile(pack, "[identifiers]\nLNG_QFA_009.clsResources\n[texts]\nmil=Lista\n");
    const auto create = [] { com::createObject("LNG_QFA_009.clsResources"); };
    const vb::Error malformed = vok::test::errorRaisedBy(create);
    EXPECT_EQ(malformed.number(), 429);
    EXPECT_TRUE(malformed.description().contains("LNG_QFA_009.clsResources") && malformed.description().contains(pack))
        << malformed.what();
    QFile::remove(pack);
    EXPECT_TRUE(vok::test::errorRaisedBy(create).description().contains(pack));
}

} // namespace
