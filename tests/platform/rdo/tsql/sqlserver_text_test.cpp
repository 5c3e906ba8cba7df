#include "platform/rdo/tsql/sqlserver_text.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

struct LikeCase {
    const char16_t *text;
    const char16_t *pattern;
    bool matches;
};

void PrintTo(const LikeCase &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.text).toStdString() << " Like " << QString::fromUtf16(c.pattern).toStdString();
}

class SqlServerLike : public ::testing::TestWithParam<LikeCase> {};

TEST_P(SqlServerLike, MatchesAsTheServerDoes)
{
    const LikeCase &c = GetParam();
    EXPECT_EQ(rdo::sqlServerLike(QStringView(c.text), QStringView(c.pattern)), c.matches)
        << QString::fromUtf16(c.text).toStdString() << " Like " << QString::fromUtf16(c.pattern).toStdString();
    // The engine's way: UTF-8 bytes, the pattern compiled once (ASCII text on
    // its bytes, runs of literals found one after another).
    const std::string text = QString::fromUtf16(c.text).toStdString();
    const std::string pattern = QString::fromUtf16(c.pattern).toStdString();
    EXPECT_EQ(rdo::SqlServerLikePattern(pattern).matchesUtf8(text), c.matches) << text << " Like " << pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, SqlServerLike,
    ::testing::Values(
        // letter case over all of Unicode, accents kept apart
        LikeCase{u"ÑANDÚ", u"ñandú", true}, LikeCase{u"ñandú", u"ÑANDU", false},
        LikeCase{u"ÉCLAIR", u"é%", true}, LikeCase{u"éclair", u"e%", false},
        // a typed beginning: an accent after its last letter or after it
        LikeCase{u"CAFE\u0301", u"cafe%", false}, LikeCase{u"CAFE\u0301S", u"caf%", true},
        LikeCase{u"CA", u"caf%", false},
        LikeCase{u"e\u0301clair", u"éCLAIR", true}, // decomposed é is the same letter
        LikeCase{u"Leche Entera 1L", u"LECHE%ENT%", true}, LikeCase{u"LECHE", u"LECHE%ENT%", false},
        // runs of literals: each after the previous, the last at the end
        LikeCase{u"ab", u"a%b", true}, LikeCase{u"a", u"a%b", false}, LikeCase{u"ba", u"a%b", false},
        LikeCase{u"abab", u"%ab%ab", true}, LikeCase{u"aba", u"%ab%ab", false}, LikeCase{u"xAbCx", u"%abc%", true},
        LikeCase{u"abc ", u"abc", false}, LikeCase{u"abc ", u"abc%", true}, LikeCase{u"abcabc", u"abc%c", true},
        LikeCase{u"REMERA NIÑO TÉRMICA", u"remera%tér%", true}, LikeCase{u"NIÑO", u"%ño", true},
        LikeCase{u"NIÑOS", u"%ÑO", false}, LikeCase{u"CAFÉ", u"caf%É", true}, LikeCase{u"CAFE", u"%é%", false},
        // wildcards
        LikeCase{u"", u"%", true}, LikeCase{u"", u"", true}, LikeCase{u"", u"_", false},
        LikeCase{u"abc", u"a_c", true}, LikeCase{u"ac", u"a_c", false}, LikeCase{u"abbc", u"a_c", false},
        LikeCase{u"2012345001505", u"2012345%", true}, LikeCase{u"0012345", u"%12345", true},
        LikeCase{u"abc", u"%%%", true}, LikeCase{u"aXbXc", u"%b%c", true}, LikeCase{u"aXbXcd", u"%b%c", false},
        LikeCase{u"😀x", u"_X", true}, // one character even outside the basic plane
        // sets, ranges, negation
        LikeCase{u"b1", u"[abc]1", true}, LikeCase{u"d1", u"[abc]1", false}, LikeCase{u"C1", u"[abc]1", true},
        LikeCase{u"e", u"[a-f]", true}, LikeCase{u"E", u"[a-f]", true}, LikeCase{u"g", u"[a-f]", false},
        LikeCase{u"x", u"[^x]", false}, LikeCase{u"y", u"[^x]", true}, LikeCase{u"X", u"[^x]", false},
        LikeCase{u"5", u"[^a-f]", true}, LikeCase{u"50%", u"50[%]", true}, LikeCase{u"501", u"50[%]", false},
        LikeCase{u"a_b", u"a[_]b", true}, LikeCase{u"axb", u"a[_]b", false}, LikeCase{u"[", u"[[]", true},
        LikeCase{u"]", u"[]]", true}, LikeCase{u"a[b", u"a[b", true}, // unclosed bracket is literal
        LikeCase{u"-", u"[a-]", true},
        // trailing blanks: significant in the text, absorbed by a final %
        LikeCase{u"abc ", u"abc", false}, LikeCase{u"abc ", u"abc%", true}, LikeCase{u"abc", u"abc ", false},
        LikeCase{u"   ", u"%%%", true}, LikeCase{u"", u"%%%", true}));

struct CompareCase {
    const char16_t *a;
    const char16_t *b;
    int sign;
};

void PrintTo(const CompareCase &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.a).toStdString() << " vs " << QString::fromUtf16(c.b).toStdString();
}

class SqlServerCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(SqlServerCompare, OrdersAsTheServerDoes)
{
    const CompareCase &c = GetParam();
    const int forward = rdo::sqlServerCompare(QStringView(c.a), QStringView(c.b));
    const int backward = rdo::sqlServerCompare(QStringView(c.b), QStringView(c.a));
    EXPECT_EQ((forward > 0) - (forward < 0), c.sign);
    EXPECT_EQ((backward > 0) - (backward < 0), -c.sign);
    // The engine's way: UTF-8 bytes, and the sort keys the lookups order by.
    const std::string a = QString::fromUtf16(c.a).toStdString(), b = QString::fromUtf16(c.b).toStdString();
    const int utf8 = rdo::sqlServerCompareUtf8(a, b);
    EXPECT_EQ((utf8 > 0) - (utf8 < 0), c.sign);
    const int byKeys = rdo::sqlServerKeyUtf8(a).compare(rdo::sqlServerKeyUtf8(b));
    EXPECT_EQ((byKeys > 0) - (byKeys < 0), c.sign);
}

// Texts of Latin letters are compared without Qt's conversions: every code
// point below U+0300, around others, must be seen as the general path sees
// it (ẞ folds to ß, a combining accent composes with the letter
// before it, a lone continuation byte is not a letter).
TEST(LatinText, IsComparedAsAnyOtherText)
{
    std::vector<char32_t> points;
    for (char32_t c = 1; c < 0x300; ++c)
        points.push_back(c);
    for (const char32_t c : {0x301u, 0x130u, 0x3A3u, 0x1E9Eu, 0x1F600u})
        points.push_back(c);
    for (const auto collation : {rdo::TextCollation::AccentSensitive, rdo::TextCollation::AccentInsensitive})
        for (const char32_t c : points) {
            const QString letter = QString::fromUcs4(&c, 1);
            const QString text = u"a"_qs + letter + u"e\u0301B"_qs, other = u"A"_qs + letter.toUpper() + u"éb"_qs;
            const std::string utf8 = text.toStdString();
            ASSERT_EQ(rdo::sqlServerKeyUtf8(utf8, collation), rdo::sqlServerKey(text, collation).toStdString())
                << std::hex << uint32_t(c);
            const int general = rdo::sqlServerCompare(text, other, collation),
                      latin = rdo::sqlServerCompareUtf8(utf8, other.toStdString(), collation);
            ASSERT_EQ((general > 0) - (general < 0), (latin > 0) - (latin < 0)) << std::hex << uint32_t(c);
            for (const QString &pattern : {u"A%"_qs + letter + u"_%"_qs, u"%ss%"_qs, u"_"_qs + letter + u"É_"_qs})
                ASSERT_EQ(rdo::SqlServerLikePattern(pattern.toStdString(), collation).matchesUtf8(utf8),
                          rdo::sqlServerLike(text, pattern, collation))
                    << std::hex << uint32_t(c) << " " << pattern.toStdString();
        }
    // Bytes that are not UTF-8 are read as the general path reads them.
    for (const std::string bytes : {"a\x80" "b", "a\xC3", "\xC3(", "a\xE2\x82"})
        EXPECT_EQ(rdo::sqlServerKeyUtf8(bytes), rdo::sqlServerKey(QString::fromUtf8(bytes)).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, SqlServerCompare,
    ::testing::Values(CompareCase{u"abc", u"ABC  ", 0}, CompareCase{u"Ñu", u"ñU", 0},
                      CompareCase{u"É", u"é", 0}, CompareCase{u"e", u"é", -1},
                      CompareCase{u"e\u0301", u"é", 0}, CompareCase{u"", u"   ", 0},
                      CompareCase{u" abc", u"abc", -1}, // leading blanks count
                      CompareCase{u"abc\t", u"abc", 1}, // only spaces are trailing blanks
                      CompareCase{u"ab", u"abc", -1}, CompareCase{u"B", u"a", 1},
                      // long beginnings in common, then case, an accent, a digit
                      CompareCase{u"LECHE ENTERA LA SERENISIMA 1L", u"leche entera la serenisima 1l", 0},
                      CompareCase{u"LECHE ENTERA LA SERENÍSIMA", u"LECHE ENTERA LA SERENISIMA", 1},
                      CompareCase{u"LECHE ENTERA LA SERENISIMA 1L", u"LECHE ENTERA LA SERENISIMA 2L", -1}));

// The same two texts under both collations: accents ignored, a letter with
// them is its base letter (composed or not, in either case); letters of their
// own stay apart. Each pair is tried as '=' and order (both ways, on texts and
// on UTF-8, and by sort keys) and as LIKE with the second as the pattern.
struct FoldedPair {
    const char16_t *a;
    const char16_t *b;
    int accentsKept, accentsIgnored; // the sign of a compared with b
};

void PrintTo(const FoldedPair &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.a).toStdString() << " vs " << QString::fromUtf16(c.b).toStdString();
}

class FoldedPairs : public ::testing::TestWithParam<FoldedPair> {};

TEST_P(FoldedPairs, CompareAndMatchUnderEachCollation)
{
    const FoldedPair &c = GetParam();
    const QString a = QString::fromUtf16(c.a), b = QString::fromUtf16(c.b);
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto &[collation, expected] : {std::pair{rdo::TextCollation::AccentSensitive, c.accentsKept},
                                              {rdo::TextCollation::AccentInsensitive, c.accentsIgnored}}) {
        const std::string how = collation == rdo::TextCollation::AccentSensitive ? "ci_as" : "ci_ai";
        EXPECT_EQ(sign(rdo::sqlServerCompare(b, a, collation)), -expected) << how;
        EXPECT_EQ(sign(rdo::sqlServerCompareUtf8(a.toStdString(), b.toStdString(), collation)), expected) << how;
        EXPECT_EQ(sign(rdo::sqlServerKeyUtf8(a.toStdString(), collation).compare(
                      rdo::sqlServerKeyUtf8(b.toStdString(), collation))),
                  expected)
            << how;
        EXPECT_EQ(rdo::sqlServerLike(a, b, collation), expected == 0) << how;
        EXPECT_EQ(rdo::SqlServerLikePattern(b.toStdString(), collation).matchesUtf8(a.toStdString()), expected == 0)
            << how;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Letters, FoldedPairs,
    ::testing::Values(FoldedPair{u"café", u"CAFE", 1, 0}, FoldedPair{u"AZÚCAR", u"azucar", 1, 0},
                      FoldedPair{u"Ñandú", u"nandu", 1, 0}, FoldedPair{u"PINGÜINO", u"pinguino", 1, 0},
                      FoldedPair{u"ÀÁÂÃÄÅ", u"aaaaaa", 1, 0}, FoldedPair{u"ÇÈÌÒÙÝŸ", u"ceiouyy", 1, 0},
                      FoldedPair{u"ČŚŽŁ", u"cszł", 1, 0},        // Łł has no decomposition: itself
                      FoldedPair{u"éclair", u"ÉCLAIR", 0, 0}, // decomposed and composed é
                      FoldedPair{u"éclair", u"eclair", 1, 0}, FoldedPair{u"jamón", u"jamon", 1, 0},
                      FoldedPair{u"ábaco", u"abadía", 1, -1}, // the order follows the base letters
                      FoldedPair{u"straße", u"STRASSE", 1, 1}, // ß is a letter of its own
                      FoldedPair{u"Æ", u"ae", 1, 1}, FoldedPair{u"Œ", u"oe", 1, 1}, FoldedPair{u"Ø", u"o", 1, 1},
                      FoldedPair{u"ø", u"Ø", 0, 0}, FoldedPair{u"e", u"f", -1, -1},
                      // an accent after the first letters that differ makes one of them another
                      FoldedPair{u"cae\u0301", u"CAF", 1, -1}, FoldedPair{u"CAF", u"cae\u0301s", -1, 1}));

} // namespace
