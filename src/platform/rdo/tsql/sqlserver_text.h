#pragma once
// How SQL Server compares text under a case-insensitive collation: the
// default, accent-sensitive one, or an accent-insensitive one (a shop's
// database made with a _CI_AI collation). The embedded back end installs these
// as its LIKE function and its text collation, so that the statements the
// control writes for SQL Server find the same rows there.

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rdo {

// Which of SQL Server's case-insensitive collations text compares under.
// AccentInsensitive also folds every letter whose canonical decomposition is
// a base letter with combining marks (U+0300 to U+036F) to that base letter:
// Á À Â Ä Ã Å to A, Ç to C, É Ê to E, Ñ to N, Ó Ö Õ to O, Ú Ü to U, Ý Ÿ to Y,
// Č Ś Ž to C S Z and so on over Latin Extended-A and beyond, small letters
// alike; a combining mark written apart
// is dropped as well, so a precomposed and a decomposed é are both e. Letters
// without such a decomposition stay letters of their own: ß, Æ, Ø, Œ, Ł, Đ,
// Ð, Þ, ı (ß is not ss, Æ is not AE, Ø is not O), as under either collation.
enum class TextCollation { AccentSensitive, AccentInsensitive };

// The LIKE operator: '%' any run of characters, '_' one character, '[abc]' one
// of a set, '[a-f]' one of a range, '[^x]' anything but the set. Letter case is
// ignored over all of Unicode (Ñ matches ñ, É matches é), accents are not
// (é does not match e). Text and pattern are compared in composed form, so a
// precomposed é and e followed by a combining acute are the same letter.
// Ranges compare by code point after case folding, not by dictionary order.
// Trailing blanks of the text are significant: 'abc ' is not Like 'abc', but a
// pattern ending in '%' absorbs them like any other character. A '[' without a
// closing ']' stands for itself.
bool sqlServerLike(QStringView text, QStringView pattern,
                   TextCollation collation = TextCollation::AccentSensitive);

// The LIKE pattern as a regular expression of PostgreSQL's (an advanced one,
// anchored at both ends) that matches the text in the form sqlServerFolded
// gives it exactly when sqlServerLike(text, pattern) holds. A set whose range
// runs backwards holds nothing, as in LIKE.
QString sqlServerLikeAsRegex(QStringView pattern, TextCollation collation = TextCollation::AccentSensitive);
// The same as a pattern of PostgreSQL's own LIKE (its escape the backslash),
// where the pattern has no [set], which that LIKE does not know; none
// otherwise.
std::optional<QString> sqlServerLikeWithoutSets(QStringView pattern,
                                                TextCollation collation = TextCollation::AccentSensitive);

// Equality and ordering for '=', '<', Order By: case-insensitive,
// accent-sensitive, trailing blanks ignored ('abc' equals 'ABC  '). Ordering is
// by code point of the case-folded text. Returns <0, 0 or >0.
int sqlServerCompare(QStringView a, QStringView b, TextCollation collation = TextCollation::AccentSensitive);

// What both LIKE sides are compared in: composed, then case-folded; without
// accents under AccentInsensitive.
QString sqlServerFolded(QStringView text, TextCollation collation = TextCollation::AccentSensitive);

// The sort key of sqlServerCompare: the folded text without its trailing
// blanks. Two texts compare equal exactly when their keys are equal, and order
// as their keys do, code point by code point; so a range of keys is a range of
// the collation.
QString sqlServerKey(QStringView text, TextCollation collation = TextCollation::AccentSensitive);

// The same two operations on the UTF-8 bytes SQLite hands over. Text that is
// all ASCII (codes, scanned bar codes, most names) is compared on its bytes,
// without conversion: there composing changes nothing and folding is lowering
// A to Z.
bool sqlServerLikeUtf8(std::string_view text, std::string_view pattern,
                       TextCollation collation = TextCollation::AccentSensitive);

// A LIKE pattern read once and matched against many texts (the pattern of a
// statement is the same for every row).
class SqlServerLikePattern {
public:
    explicit SqlServerLikePattern(std::string_view utf8Pattern,
                                  TextCollation collation = TextCollation::AccentSensitive);
    ~SqlServerLikePattern();
    bool matchesUtf8(std::string_view text) const;
    // The runs of literal characters between its wildcards, in the form they
    // are compared in (see sqlServerComparableUtf8): every text the pattern
    // matches holds each of them, in that form.
    std::vector<std::u32string> literalRuns() const;
    // Whether every match begins with the first of them (the pattern begins
    // with a literal character).
    bool beginsWithLiteral() const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> d;
};
int sqlServerCompareUtf8(std::string_view a, std::string_view b,
                         TextCollation collation = TextCollation::AccentSensitive);
// sqlServerKey of UTF-8 text, in UTF-8: its bytes order as the collation does.
std::string sqlServerKeyUtf8(std::string_view text, TextCollation collation = TextCollation::AccentSensitive);

// The code points LIKE compares a text in: composed, then case-folded.
std::u32string sqlServerComparableUtf8(std::string_view text,
                                       TextCollation collation = TextCollation::AccentSensitive);

// Whether a text in UTF-8 is all ASCII: such text is compared on its bytes,
// where composing changes nothing and folding is lowering A to Z.
inline bool isAsciiUtf8(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// An ASCII character in the form the comparisons see it.
inline char32_t asciiComparable(char c)
{
    return static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

} // namespace rdo
