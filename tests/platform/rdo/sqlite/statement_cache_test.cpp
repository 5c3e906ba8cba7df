// A lookup's statements are kept from one lookup to the next with the typed
// values taken out; the shape must be the same for every text typed, and the
// statement kept must answer for the new values.

#include "platform/rdo/sqlite/statement_cache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(ParametrizedText, TakesOutTheLiteralsAfterTheFirstFromOnly)
{
    struct Case {
        const char *sql, *shape;
        std::vector<QByteArray> values;
    };
    const std::vector<Case> cases = {
        // The select list names columns with its literals: they stay, even in a
        // subquery, unless the term has a name of its own.
        {"Select ' ' As s, (Select 1 From t Where a = 'x') From t Where b Like 'ab%'",
         "Select ' ' As s, (Select 1 From t Where a = 'x') From t Where b Like ?2", {"ab%"}},
        {"Select a, Exists (Select 1 From u Where c Like 'ab%' Or d = 'y') As hit, 'k' || b as kb, 'z' From t "
         "Where e = 'w'",
         "Select a, Exists (Select 1 From u Where c Like ?2 Or d = ?3) As hit, ?4 || b as kb, 'z' From t Where e = ?5",
         {"ab%", "y", "k", "w"}},
        // An alias in a comment is no alias; nor is a word ending in "as".
        {"Select 'x' -- As n\n From t", "Select 'x' -- As n\n From t", {}},
        {"Select 'x' || alias From t", "Select 'x' || alias From t", {}},
        // Doubled quotes are one quote in the value; values are numbered from 2 in order.
        {"Select a From t Where a = 'O''B' Or a In ('x', 'y')", "Select a From t Where a = ?2 Or a In (?3, ?4)",
         {"O'B", "x", "y"}},
        // A partial index matches its condition in the statement's text.
        {"Select a From t Where instr(a, '_') > 0 Or substr(a, 1, 1) = '%' Or instr(a, '[') > 0 Or a = '%x' Or "
         "instr(a || ' ', ' ') = 1",
         "Select a From t Where instr(a, '_') > 0 Or substr(a, 1, 1) = '%' Or instr(a, '[') > 0 Or a = ?2 Or "
         "instr(a || ' ', ' ') = 1",
         {"%x"}},
        // Quoted names, comments and a From inside a word are not literals nor the From.
        {"Select [it's] From \"t'\" Where a = 'ñ' -- 'not'\n And b = ''",
         "Select [it's] From \"t'\" Where a = ?2 -- 'not'\n And b = ?3", {"ñ", ""}},
        {"Select fromage, 'k' From t", "Select fromage, 'k' From t", {}},
        // Read as the engine reads it: a bracketed name ends at its first ], a
        // backquoted one is a name.
        {"Select [a]]'b' From t Where c = 'v'", "Select [a]]'b' From t Where c = ?2", {"v"}},
        {"Select `x'y`, 'k' From t Where a = 'v'", "Select `x'y`, 'k' From t Where a = ?2", {"v"}},
        // An unclosed literal is left as written.
        {"Select a From t Where a = 'open", "Select a From t Where a = 'open", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        const rdo::ParametrizedText text = rdo::parametrized(QString::fromUtf8(c.sql));
        EXPECT_EQ(text.shape, QByteArray(c.shape));
        EXPECT_EQ(text.values, c.values);
    }
}

TEST(StatementCache, AnswersTheNextValuesWithTheStatementKept)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "Create Table t (a Text); Insert Into t Values ('x'), ('y'), ('y')", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    {
        rdo::StatementCache cache(db);
        const auto count = [&](const QString &sql, sqlite3_stmt **used) {
            const auto stmt = cache.take(sql);
            EXPECT_TRUE(stmt);
            *used = stmt.get();
            EXPECT_EQ(sqlite3_step(stmt.get()), SQLITE_ROW);
            return sqlite3_column_int(stmt.get(), 0);
        };
        sqlite3_stmt *first = nullptr, *second = nullptr, *other = nullptr;
        EXPECT_EQ(count(u"Select count(*) From t Where a = 'x'"_qs, &first), 1);
        EXPECT_EQ(count(u"Select count(*) From t Where a = 'y'"_qs, &second), 2);
        EXPECT_EQ(first, second);
        // Two in use at once are two statements.
        const auto held = cache.take(u"Select count(*) From t Where a = 'x'"_qs);
        EXPECT_EQ(count(u"Select count(*) From t Where a = 'z'"_qs, &other), 0);
        EXPECT_NE(held.get(), other);
        EXPECT_FALSE(cache.take(u"Select nothing From nowhere Where a = 'x'"_qs));
    }
    // Every statement finalized with the cache: the connection closes.
    EXPECT_EQ(sqlite3_close(db), SQLITE_OK);
}

} // namespace
