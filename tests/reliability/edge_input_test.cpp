// Text no cashier types but a paste or a scanner can give: each lookup ends
// (found, not found or one clear error) in bounded time, and the control then
// finds an article as usual. And a whole session leaves the database file as
// it found it, byte for byte.

#include "catalogue_fixture.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace {

class EdgeInputTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        control->setEmpresa(1);
        control->setListaPrecios(1);
        control->tArticulo().setFocus();
    }

    // The Error events of one Enter on the text.
    QStringList enter(const QString &typed)
    {
        log->events.clear();
        enterAfresh(typed);
        return log->events.filter(QRegularExpression("^Error "));
    }
};

QString repeated(const QString &piece, qsizetype length)
{
    QString text;
    text.reserve(length + piece.size());
    while (text.size() < length)
        text += piece;
    return text.left(length);
}

TEST_F(EdgeInputTest, HugeOddTextsEndInBoundedTime)
{
    const QString name = firstText("Select ArtNombre From Articulo Where ArtID = " + std::to_string(firstId(LoadableArticle)));
    const qsizetype megabyte = 1 << 20;
    const struct {
        const char *what;
        QString text;
    } cases[] = {
        {"1 MB paste of words", repeated(QStringLiteral("TORNILLO ACERO "), megabyte)},
        {"1 MB paste of wildcards", repeated(QStringLiteral("a%_*[ "), megabyte)},
        {"10,000-character name", repeated(name + u' ', 10000)},
        {"quotes and brackets", repeated(QStringLiteral("'[^]'']--/*;"), 2000)},
        {"NUL inside", name.left(3) + QChar(0) + name.mid(3)},
        {"control characters", QStringLiteral("\x01\x02\t\x1b\x7f") + name},
        {"lone surrogates", QString(QChar(0xd800)) + name + QChar(0xdc00)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(control->MaxLength(), 0) << "no limit on what the box takes";
        QElapsedTimer timer;
        timer.start();
        const QStringList errors = enter(c.text);
        EXPECT_LT(timer.elapsed(), 20000);
        EXPECT_LE(errors.size(), 1) << errors.join('\n').left(300).toStdString();
        for (const QString &error : errors)
            EXPECT_TRUE(error.contains(QRegularExpression("^Error \\d+ - .+"))) << error.left(300).toStdString();
    }
    EXPECT_TRUE(enter(name).isEmpty());
    EXPECT_GT(control->ID(), 0) << "the control finds an article after them";
}

// Entries, a find by identifier, a detail view: the file's bytes, its time
// and its folder (no journal, no write-ahead log) are as they were.
TEST_F(EdgeInputTest, SessionLeavesTheDatabaseUntouched)
{
    const auto folderEntries = [] {
        QStringList names;
        for (const auto &entry : std::filesystem::directory_iterator(catalogue().parent_path()))
            names << QString::fromStdString(entry.path().filename().string());
        names.sort();
        return names;
    };
    const QByteArray before = vok::test::fileDigest(catalogue());
    const auto modified = std::filesystem::last_write_time(catalogue());
    const QStringList files = folderEntries();

    const int32_t id = static_cast<int32_t>(firstId(LoadableArticle));
    for (const char *typed : {"TORN", "LECHE ENT", "%", "2000010012503", "'; Drop Table Articulo --"})
        enter(QString::fromUtf8(typed));
    control->FindArticuloByID(id);
    int32_t articulo = id;
    int16_t variedad = 0;
    control->MostrarDetalle(articulo, variedad);

    EXPECT_EQ(vok::test::fileDigest(catalogue()), before);
    EXPECT_EQ(std::filesystem::last_write_time(catalogue()), modified);
    EXPECT_EQ(folderEntries(), files);
}

} // namespace
