// The shop's back office writes the file with whatever it has, not with our
// library: after the lookup indexes are given to a file (an earlier version's
// upgraded), the sqlite3 shell inserts, renames and deletes articles,
// varieties and bar codes while a till's connection is open, the file stays
// sound, and the till's next lookup sees each change.

#include "catalogue.h"

#include "typed_lookup.h"

#include "lookup/plan/index_script.h"
#include "platform/rdo/sqlite/sqlite_connection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The sqlite3 shell on the file: its output, and whether it succeeded. Like
// any program that shares an SQLite file, it waits for a reader's lock to go
// (the till reads in the background from the moment it connects) instead of
// failing at once with "database is locked".
std::pair<bool, QString> shell(const QString &file, const QString &sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"),
                  {QStringLiteral("-bail"), QStringLiteral("-cmd"), QStringLiteral(".timeout 10000"), file, sql});
    if (!process.waitForFinished(60000))
        return {false, u"the sqlite3 shell did not run: "_qs + process.errorString()};
    const QString said = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
    return {process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, said};
}

// One change the back office makes, and what the till's next lookup of a
// typed text then finds: the rows naming the article 990001 (an article
// with varieties is listed bare and with each).
struct Change {
    const char *name, *sql, *typed;
    int rowsOfTheArticle;
};

const Change kChanges[] = {
    {"an article added", "INSERT INTO Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtUnidadMedida, ArtEmpresa) "
                         "VALUES (990001, 'QQ990', 'QQ SOPA NUEVA', 'QQ SOPA', 1, 1)",
     "QQ SOPA", 1},
    {"two varieties added", "INSERT INTO ArticuloVariedad (AVaArticulo, AVaID, AVaNombre) "
                            "VALUES (990001, 1, ' TOMATE'), (990001, 2, ' POLLO')",
     "QQ SOPA", 3},
    {"a variety renamed", "UPDATE ArticuloVariedad SET AVaNombre = ' ÑOQUI' WHERE AVaArticulo = 990001 AND AVaID = 2",
     "qq sopa nueva ñ", 1},
    {"a bar code added", "INSERT INTO ArticuloCodigoBarras (ACBCodigo, ACBArticulo, ACBVariedad) "
                         "VALUES ('7799990000017', 990001, 1)",
     "7799990000017", 1},
    {"the article renamed", "UPDATE Articulo SET ArtNombre = 'QQ CALDO', ArtCodigo = 'QQ991' WHERE ArtID = 990001",
     "QQ991", 3},
    {"the old name gone", "SELECT 1", "QQ SOPA NUEVA", 0},
    {"the bar code deleted", "DELETE FROM ArticuloCodigoBarras WHERE ACBArticulo = 990001", "7799990000017", 0},
    {"the varieties deleted", "DELETE FROM ArticuloVariedad WHERE AVaArticulo = 990001", "QQ CALDO", 1},
    {"the article deleted", "DELETE FROM Articulo WHERE ArtID = 990001", "QQ99", 0},
};

TEST(ExternalWriter, ChangesAnIndexedFileThatATillReadsMeanwhile)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"shop.db"_qs);
    vok::catalogue::Options options;
    options.articles = 1000;
    options.seed = 23;
    options.output = file.toStdString();
    vok::catalogue::generate(options);

    // A file as an earlier version indexed it: the shell cannot even add an
    // article to it.
    QFile earlier(QStringLiteral(VOK_EARLIER_INDEXES_PATH));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(rdo::installServerText(db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, earlier.readAll().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(shell(file, QString::fromUtf8(kChanges[0].sql)).first);
    const auto told = [db](const QString &what) { return lookup::lookupReadings(db).filter(what).join(u'\n'); };
    EXPECT_THAT(told(u"earlier version"_qs).toStdString(), ::testing::HasSubstr("IX_Articulo_NombreClave"));
    EXPECT_THAT(told(u"names"_qs).toStdString(), ::testing::HasSubstr("SQL Server's order"));

    // The upgrade, and again: the second finds nothing to do.
    const lookup::LookupIndexing upgraded = lookup::createLookupIndexes(db);
    EXPECT_TRUE(upgraded.ok()) << upgraded.error.toStdString();
    EXPECT_TRUE(upgraded.dropped.contains(u"IX_Articulo_NombreClave"_qs)) << upgraded.dropped.join(u' ').toStdString();
    EXPECT_TRUE(upgraded.created.contains(u"IX_Articulo_NombreClave"_qs)) << upgraded.created.join(u' ').toStdString();
    EXPECT_EQ(told(u"earlier version"_qs), QString());
    EXPECT_THAT(told(u"names"_qs).toStdString(), ::testing::HasSubstr("(NOCASE)"));
    // An index of the script's name with an earlier definition is renewed.
    ASSERT_EQ(sqlite3_exec(db, "DROP INDEX IX_Articulo_NombreClave; CREATE INDEX IX_Articulo_NombreClave ON Articulo "
                               "(ArtNombre COLLATE NOCASE, ArtCodigo COLLATE NOCASE)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_THAT(told(u"earlier version"_qs).toStdString(), ::testing::HasSubstr("IX_Articulo_NombreClave"));
    EXPECT_EQ(lookup::createLookupIndexes(db).dropped, QStringList{u"IX_Articulo_NombreClave"_qs});
    const lookup::LookupIndexing again = lookup::createLookupIndexes(db);
    EXPECT_TRUE(again.ok() && again.dropped.isEmpty() && again.created.isEmpty()) << again.created.join(u' ').toStdString();
    sqlite3_close(db);

    // The till's connection, open through every change.
    const auto till = rdo::SqliteConnection::open(u"sqlite:"_qs + file);
    const auto plain = rdo::SqliteConnection::open(u"sqlite:"_qs + file);
    plain->setPlans(nullptr);
    lookup::LookupSettings s;
    s.Empresa = 1;
    for (const Change &change : kChanges) {
        SCOPED_TRACE(change.name);
        const auto [written, said] = shell(file, QString::fromUtf8(change.sql));
        ASSERT_TRUE(written) << said.toStdString();
        EXPECT_EQ(shell(file, u"PRAGMA integrity_check"_qs).second, u"ok"_qs);
        const QString sql = lookupStatement(s, QString::fromUtf8(change.typed));
        const QStringList found = rows(*till, sql);
        EXPECT_EQ(found.filter(u"|990001|"_qs).size(), change.rowsOfTheArticle) << found.join(u'\n').toStdString();
        EXPECT_EQ(found, rows(*plain, sql));
    }
}

} // namespace
