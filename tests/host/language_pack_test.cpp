#include "error_number.h"
#include "host/language_pack.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/error.h"

#include "qt_printers.h"
#include "scoped_env.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

TEST(LanguagePackTest, ReadsIdentifiersAndTextsVerbatim)
{
    QTemporaryDir dir;
    const auto pack = host::LanguageTexts::read(
        vok::test::writeFile(dir.filePath("pack.lng"), "# texts\n[identifiers]\nLNG_QFA_001.clsResources\n LNG_QCO_001.clsResources \n\n"
                   "[texts]\n1001=Lista de Artículos\r\n1002=||Uso|Vta| \n1003= a=b \n"));
    EXPECT_EQ(pack.identifiers, QStringList({"LNG_QFA_001.clsResources", "LNG_QCO_001.clsResources"}));
    EXPECT_EQ(pack.texts.at(1001), "Lista de Artículos");
    EXPECT_EQ(pack.texts.at(1002), "||Uso|Vta| ");
    EXPECT_EQ(pack.texts.at(1003), " a=b ");
}

TEST(LanguagePackTest, MissingOrMalformedPacksNameTheFile)
{
    const struct {
        const char *content;
        const char *reason;
    } cases[] = {
        {"1001=texto\n", "line 1"},
        {"[identifiers]\nLNG_QFA_001.clsResources\n[texts]\nuno=texto\n", "line 4"},
        {"[identifiers]\nLNG_QFA_001.clsResources\n[texts]\n1001 texto\n", "line 4"},
        {"[identifiers]\nLNG_QFA_001.clsResources\n[texts]\n1001=a\n1001=b\n", "given twice"},
        {"[identifiers]\nLNG QFA\n", "blanks"},
        {"[texts]\n1001=a\n", "names no identifier"},
        {nullptr, "pack.lng"}, // no file at all
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("pack.lng");
        if (c.content)
            vok::test::writeFile(path, c.content);
        const QString said = vok::test::errorRaisedBy([&] { host::LanguageTexts::read(path); }).description();
        EXPECT_TRUE(said.contains(path)) << said.toStdString();
        EXPECT_TRUE(said.contains(c.reason)) << said.toStdString();
    }
}

TEST(LanguagePackTest, AnswersByNameAndRefusesUnknownNumbers)
{
    auto texts = std::make_shared<host::LanguageTexts>();
    texts->identifiers = {"LNG_QFA_001.clsResources"};
    texts->texts = {{1841, "Búsqueda"}};
    auto pack = std::make_shared<host::LanguagePack>(texts, nullptr);

    EXPECT_EQ(vb::CallByName(pack, "RESLOAD", vb::CallKind::Method, {int32_t(1841)}), vb::Variant("Búsqueda"));
    vb::CallByName(pack, "IDAppName", vb::CallKind::PropertyLet, {"BuscarArticulos"});
    vb::CallByName(pack, "IDSLNG", vb::CallKind::PropertyLet, {uint8_t(3)});
    EXPECT_EQ(pack->appName(), "BuscarArticulos");
    EXPECT_EQ(pack->secondLanguage(), 3);
    EXPECT_EQ(vok::test::errorNumberOf([&] { vb::CallByName(pack, "resLoad", vb::CallKind::Method, {int32_t(1842)}); }),
              326);
}

} // namespace
