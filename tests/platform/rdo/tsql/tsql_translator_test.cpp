#include "platform/rdo/tsql/tsql_translator.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const QStringList kTextColumns = {u"ArtNombre"_qs, u"ArtNombreCorto"_qs, u"AVaNombre"_qs, u"ArtCodigo"_qs};

struct TranslationCase {
    const char *name;
    const char16_t *tsql;
    const char16_t *sqlite;
};

void PrintTo(const TranslationCase &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.tsql).toStdString();
}

class Translation : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(Translation, RewritesOnlyWhatSqliteReadsDifferently)
{
    const TranslationCase &c = GetParam();
    EXPECT_EQ(rdo::translateForSqlite(QString::fromUtf16(c.tsql), rdo::textColumns(kTextColumns)),
              QString::fromUtf16(c.sqlite));
}

INSTANTIATE_TEST_SUITE_P(
    Constructs, Translation,
    ::testing::Values(
        // Top
        TranslationCase{"TopOfStatement", u"Select Top 1 ArtID From Articulo Where ArtID > 0 ",
                        u"Select ArtID From Articulo Where ArtID > 0 LIMIT 1 "},
        TranslationCase{"TopAfterDistinctAndOrderBy", u"Select Distinct Top 5 a From t Order By a",
                        u"Select Distinct a From t Order By a LIMIT 5"},
        TranslationCase{"TopInParenthesesBeforeSemicolon", u"Select Top (3) a From t;",
                        u"Select a From t LIMIT (3);"},
        TranslationCase{"TopInSubSelect", u"Select a From t Where b In (Select Top 1 c From u Order By c) And d = 1",
                        u"Select a From t Where b In (Select c From u Order By c LIMIT 1) And d = 1"},
        TranslationCase{"TopInFirstBranch", u"Select Top 2 a From t UNION ALL Select a From u Order By a",
                        u"SELECT * FROM (Select a From t LIMIT 2) UNION ALL Select a From u Order By a"},
        TranslationCase{"TopInLastBranchKeepsCompoundOrder",
                        u"Select a From t UNION ALL Select Top 2 a From u Where (x = 1) Order By a",
                        u"Select a From t UNION ALL SELECT * FROM (Select a From u Where (x = 1) LIMIT 2) Order By a"},
        TranslationCase{"TopPercentLeftForSqliteToRefuse", u"Select Top 10 Percent a From t",
                        u"Select Top 10 Percent a From t"},
        TranslationCase{"BracketedColumnNamedTop", u"Select [Top] From t", u"Select [Top] From t"},
        TranslationCase{"DoubledBracketStaysInTheName", u"Select [a]]+b] + 'x'", u"Select [a]]+b] || 'x'"},
        // + between text
        TranslationCase{"NameWithVariety", u"ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt",
                        u"ArtNombre || ' ' || RTrim(AVaNombre) as NombreArt"},
        TranslationCase{"TwoTextColumnsBeforeLike", u"OR ArtNombreCorto + AVaNombre like 'x%')",
                        u"OR ArtNombreCorto || AVaNombre like 'x%')"},
        TranslationCase{"InsideRTrimWithIsNull", u"RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre",
                        u"RTRIM(ArtNombre || ' ' || ifnull(AVaNombre, '')) AS ArtNombre"},
        TranslationCase{"QualifiedTextColumn", u"Articulo.ArtNombre + x", u"Articulo.ArtNombre || x"},
        TranslationCase{"BracketedTextColumn", u"[ArtNombre] + x", u"[ArtNombre] || x"},
        TranslationCase{"TextFunctionMakesChainText", u"Upper(a) + b + c", u"Upper(a) || b || c"},
        TranslationCase{"IsNullOverText", u"IsNull(AVaNombre, '') + 'x'", u"ifnull(AVaNombre, '') || 'x'"},
        TranslationCase{"ParenthesisedText", u"(a + 'x') + b", u"(a || 'x') || b"},
        TranslationCase{"UnicodeLiteral", u"N'Ñu' + a", u"'Ñu' || a"},
        TranslationCase{"NumbersStayAdded", u"Where ArtID + 1 = 2 And PViPrecio + PViPrecio > 1 + 2",
                        u"Where ArtID + 1 = 2 And PViPrecio + PViPrecio > 1 + 2"},
        TranslationCase{"IsNullOverNumber", u"IsNull(Precio, 0) + 1", u"ifnull(Precio, 0) + 1"},
        TranslationCase{"UnaryPlus", u"Where a = +1", u"Where a = +1"},
        TranslationCase{"TextOnOtherSideOfComparison", u"Where ArtNombre = a + b", u"Where ArtNombre = a + b"},
        // words
        TranslationCase{"TrueAsCondition", u"Where True And ArtEmpresa = 1", u"Where 1 And ArtEmpresa = 1"},
        TranslationCase{"FalseAsCondition", u"Where false", u"Where 0"},
        TranslationCase{"TrueAsNameIsKept", u"Select t.True As x, y As True From t", u"Select t.True As x, y As True From t"},
        TranslationCase{"IsNullFunctionOnly", u"Where a Is Null Or IsNull (a, 0) = 0", u"Where a Is Null Or ifnull (a, 0) = 0"},
        TranslationCase{"LikeDistinctNotExistsKept",
                        u"Where 'LECHE ENT' Like ACBCodigo And ArtID In (Select Distinct(ACBArticulo) From X) "
                        u"And Not Exists (Select 1 From Y)",
                        u"Where 'LECHE ENT' Like ACBCodigo And ArtID In (Select Distinct(ACBArticulo) From X) "
                        u"And Not Exists (Select 1 From Y)"},
        // literals and comments never change
        TranslationCase{"LiteralHoldingEveryConstruct", u"Where b = 'Select Top 1 x + y IsNull(True) Like ; False'",
                        u"Where b = 'Select Top 1 x + y IsNull(True) Like ; False'"},
        TranslationCase{"DoubledQuotes", u"Where b = 'it''s + Top 1' + 'x'", u"Where b = 'it''s + Top 1' || 'x'"},
        TranslationCase{"Comments", u"-- Top 1 + True\nSelect 1 /* IsNull( */", u"-- Top 1 + True\nSelect 1 /* IsNull( */"},
        // a quote left open: moving the Top would put the LIMIT inside it
        TranslationCase{"UnclosedLiteralLeftAsWritten", u"Select Top 1 a From t Where b = 'x; y",
                        u"Select Top 1 a From t Where b = 'x; y"},
        TranslationCase{"UnclosedQuotedNameLeftAsWritten", u"Select Top 1 a From \"t; Drop",
                        u"Select Top 1 a From \"t; Drop"},
        TranslationCase{"UnclosedBracketedNameLeftAsWritten", u"Select Top 1 a From [t]]; Drop",
                        u"Select Top 1 a From [t]]; Drop"}),
    [](const ::testing::TestParamInfo<TranslationCase> &info) { return std::string(info.param.name); });

TEST(Translation, WithoutColumnKnowledgeTwoColumnsAreAdded)
{
    EXPECT_EQ(rdo::translateForSqlite(u"ArtNombre + AVaNombre"_qs), u"ArtNombre + AVaNombre"_qs);
    rdo::TranslationOptions byCallback{[](QStringView c) { return c.startsWith(u"Txt"); }};
    EXPECT_EQ(rdo::translateForSqlite(u"TxtA + t.TxtB + 1"_qs, byCallback), u"TxtA || t.TxtB || 1"_qs);
    EXPECT_EQ(rdo::translateForSqlite(u"artnombre + x"_qs, rdo::textColumns(kTextColumns)), u"artnombre || x"_qs);
}

TEST(Tokenizer, GivesTheTextBackAndKeepsLiteralsWhole)
{
    const QString text = u"Select N'a''b', [x y], \"q\"; 1.5e3 <>/* c */ -- d\n.5"_qs;
    const std::vector<rdo::TsqlToken> tokens = rdo::tokenizeTsql(text);
    QString joined;
    std::vector<QString> strings;
    for (const auto &t : tokens) {
        EXPECT_EQ(t.position, joined.size());
        joined += t.text;
        if (t.kind == rdo::TsqlToken::String || t.kind == rdo::TsqlToken::Number)
            strings.push_back(t.text.toString());
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(strings, (std::vector<QString>{u"N'a''b'"_qs, u"1.5e3"_qs, u".5"_qs}));
    // an unterminated literal runs to the end instead of being cut
    const QString unterminated = u"'ab; c"_qs;
    EXPECT_EQ(rdo::tokenizeTsql(unterminated).size(), 1u);
}

TEST(SeveralStatements, OnlyASemicolonFollowedByMoreCounts)
{
    struct Case {
        const char16_t *tsql;
        bool several;
    } cases[] = {{u"Select 1", false},        {u"Select 1;", false},          {u"Select 1;  -- end\n", false},
                 {u"Select 1; Select 2", true}, {u"Select ';' + x", false},     {u"Select 1 /* ; x */", false},
                 {u"Select 1;Drop Table t", true}, {u"Select 'a;b'; Select 2", true}};
    for (const Case &c : cases)
        EXPECT_EQ(rdo::holdsSeveralStatements(QString::fromUtf16(c.tsql)), c.several)
            << QString::fromUtf16(c.tsql).toStdString();
}

} // namespace
