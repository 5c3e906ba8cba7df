#include "platform/rdo/odbc/odbc_connection.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(OdbcConnectionString, StripsTheTranslationKey)
{
    const struct {
        const char16_t *input;
        const char16_t *driverString;
        bool translate;
        bool accentsIgnored = false; // collation=, which only PostgreSQL's translation takes
    } cases[] = {
        {u"odbc:DRIVER={FreeTDS};SERVER=h;PWD=a;b", u"DRIVER={FreeTDS};SERVER=h;PWD=a;b", false},
        {u"odbc:translate=sqlite;DRIVER={SQLite3};Database=/x.db", u"DRIVER={SQLite3};Database=/x.db", true},
        {u"odbc:DRIVER={SQLite3}; Translate = SQLite ;Database=/x.db", u"DRIVER={SQLite3};Database=/x.db", true},
        // a braced value may hold ';' and even the key's name
        {u"odbc:DRIVER={FreeTDS};PWD={x;translate=sqlite}", u"DRIVER={FreeTDS};PWD={x;translate=sqlite}", false},
        // psqlODBC's logs would keep the password in clear
        {u"odbc:translate=postgresql;Driver={PostgreSQL Unicode};commlog=1;B2=1;PWD=x;B3=1;Debug = 1",
         u"CommLog=0;Debug=0;Driver={PostgreSQL Unicode};PWD=x", false},
        {u"odbc:Driver=x; Collation = CI_AI ;translate=postgresql", u"CommLog=0;Debug=0;Driver=x", false, true},
        {u"odbc:translate=postgresql;collation=ci_as;PWD={collation=ci_ai}", u"CommLog=0;Debug=0;PWD={collation=ci_ai}",
         false},
    };
    for (const auto &c : cases) {
        const rdo::OdbcConnectionString parsed = rdo::parseOdbcConnectionString(QString::fromUtf16(c.input));
        EXPECT_EQ(parsed.driverString, QString::fromUtf16(c.driverString));
        EXPECT_EQ(parsed.translateForSqlite, c.translate) << QString::fromUtf16(c.input).toStdString();
        EXPECT_EQ(parsed.collation == rdo::TextCollation::AccentInsensitive, c.accentsIgnored);
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
