#include "platform/rdo/tsql/statement_rewriter.h"

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

} // namespace
