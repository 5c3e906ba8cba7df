#include "platform/rdo/odbc_connection.h"
#include "platform/rdo/lookup_plan_rewriter.h"
#include "platform/rdo/statement_rewriter.h"
#include "platform/vb/error.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(WithServerCollation, PinsComparedTextColumnsAndSortKeys)
{
    const rdo::TranslationOptions options = rdo::textColumns({u"ArtNombre"_qs, u"ParNombre"_qs, u"ArtCodigo"_qs});
    const struct {
        const char16_t *sql;
        const char16_t *expected;
    } cases[] = {
        {u"Select x From t Where ParNombre = 'a'", u"Select x From t Where ParNombre COLLATE SQLSERVER = 'a'"},
        {u"Select x From t Where 'a' <> t.ParNombre", u"Select x From t Where 'a' <> t.ParNombre COLLATE SQLSERVER"},
        {u"Select x From t Where ArtCodigo Not In ('a')",
         u"Select x From t Where ArtCodigo COLLATE SQLSERVER Not In ('a')"},
        // LIKE has its own matching; numeric columns and literals stay as they are
        {u"Select x From t Where ArtNombre Like 'a%' And ArtID = 1", u"Select x From t Where ArtNombre Like 'a%' And ArtID = 1"},
        {u"Select 'ParNombre = 1' From t", u"Select 'ParNombre = 1' From t"},
        {u"Select x From t Where ArtNombre COLLATE BINARY = 'a'", u"Select x From t Where ArtNombre COLLATE BINARY = 'a'"},
        // every sort key, before its direction, in a union, before the limit
        {u"Select a From t Union All Select b From u Order By NombreArt, ArtCodigo",
         u"Select a From t Union All Select b From u Order By NombreArt COLLATE SQLSERVER, ArtCodigo COLLATE SQLSERVER"},
        {u"Select a From t Order By f(a, b) Desc, 2 LIMIT 1",
         u"Select a From t Order By f(a, b) COLLATE SQLSERVER Desc, 2 COLLATE SQLSERVER LIMIT 1"},
        {u"SELECT * FROM (Select a From t Order By a LIMIT 1) Union Select 1",
         u"SELECT * FROM (Select a From t Order By a COLLATE SQLSERVER LIMIT 1) Union Select 1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rdo::withServerCollation(QString::fromUtf16(c.sql), options), QString::fromUtf16(c.expected));
}

TEST(OdbcConnectionString, StripsTheTranslationKey)
{
    const struct {
        const char16_t *input;
        const char16_t *driverString;
        bool translate;
    } cases[] = {
        {u"odbc:DRIVER={FreeTDS};SERVER=h;PWD=a;b", u"DRIVER={FreeTDS};SERVER=h;PWD=a;b", false},
        {u"odbc:translate=sqlite;DRIVER={SQLite3};Database=/x.db", u"DRIVER={SQLite3};Database=/x.db", true},
        {u"odbc:DRIVER={SQLite3}; Translate = SQLite ;Database=/x.db", u"DRIVER={SQLite3};Database=/x.db", true},
        // a braced value may hold ';' and even the key's name
        {u"odbc:DRIVER={FreeTDS};PWD={x;translate=sqlite}", u"DRIVER={FreeTDS};PWD={x;translate=sqlite}", false},
    };
    for (const auto &c : cases) {
        const rdo::OdbcConnectionString parsed = rdo::parseOdbcConnectionString(QString::fromUtf16(c.input));
        EXPECT_EQ(parsed.driverString, QString::fromUtf16(c.driverString));
        EXPECT_EQ(parsed.translateForSqlite, c.translate) << QString::fromUtf16(c.input).toStdString();
    }
}

TEST(BeginsWithSelect, LetsOnlyReadingThrough)
{
    const struct {
        const char16_t *sql;
        bool reads;
    } cases[] = {
        {u"Select 1", true},
        {u"  -- note\n (Select a From t) Union Select 2", true},
        {u"With x As (Select 1 As a) Select a From x", true},
        {u"Select Replace(ArtNombre, 'a', 'b') From Articulo", true},
        {u"Select 'Delete From t'", true},
        {u"Select [Into] From t", true},
        {u"", false},
        {u"Update t Set a = 1", false},
        {u"Select a Into t2 From t", false},
        {u"With x As (Select 1 As a) Delete From t", false},
        {u"Exec sp_who", false},
        {u"/* Select */ Drop Table t", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rdo::beginsWithSelect(QString::fromUtf16(c.sql)), c.reads) << QString::fromUtf16(c.sql).toStdString();
}

} // namespace

namespace {

// A pasted page would cost the candidates the square of its length: past the
// length of any code or name, the statement runs as written.
TEST(WithIndexProbes, LeavesAStatementWithAPastedPageAsWritten)
{
    const auto lookup = [](const QString &typed) {
        const QString branch = u"Select ArtID, ArtCodigo, ArtNombre as NombreArt From Articulo Where (ArtCodigo like '"_qs +
                               typed + u"%') And ArtEmpresa = 1"_qs;
        return branch + u" UNION ALL "_qs + branch + u" Order By NombreArt, ArtCodigo"_qs;
    };
    EXPECT_NE(rdo::withIndexProbes(lookup(u"ABC"_qs)), lookup(u"ABC"_qs));
    const QString page = lookup(QString(300, u'A'));
    EXPECT_EQ(rdo::withIndexProbes(page), page);
    EXPECT_FALSE(rdo::LookupPlanRewriter({u"ArtCodigo"_qs, u"ArtNombre"_qs}).merged(page));
}

} // namespace
