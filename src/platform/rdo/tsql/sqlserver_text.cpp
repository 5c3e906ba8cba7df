#include "platform/rdo/tsql/sqlserver_text.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rdo {
namespace {

// The form both sides are compared in: composed, then case-folded, as code
// points so that characters outside the basic plane count as one.
std::vector<char32_t> comparable(QStringView text, TextCollation collation)
{
    const QString folded = sqlServerFolded(text, collation);
    std::vector<char32_t> out;
    out.reserve(static_cast<size_t>(folded.size()));
    for (const uint c : folded.toUcs4())
        out.push_back(static_cast<char32_t>(c));
    return out;
}

// Below U+0300 no code point composes with another (composing needs a
// combining mark), and each folds on its own: for text of those alone the
// comparable form is each code point's fold. Qt folds each to one code point;
// one it folded to more would be marked kFoldsToMore, and such text read the
// general way. Made from the general path itself, so that the two cannot
// disagree.
constexpr char32_t kLatinEnd = 0x300;
constexpr char32_t kFoldsToMore = 0xFFFFFFFF;

std::vector<char32_t> latinFoldsOf(TextCollation collation)
{
    std::vector<char32_t> table(kLatinEnd);
    for (char32_t c = 0; c < kLatinEnd; ++c) {
        const std::vector<char32_t> folded = comparable(QString::fromUcs4(&c, 1), collation);
        table[c] = folded.size() == 1 ? folded.front() : kFoldsToMore;
    }
    return table;
}

// Never destroyed: a connection's readings in the background may still fold
// text while a host that keeps its connection to the end is exiting.
const std::vector<char32_t> &latinFolds(TextCollation collation)
{
    static const auto &kept = *new std::vector<char32_t>(latinFoldsOf(TextCollation::AccentSensitive));
    static const auto &ignored = *new std::vector<char32_t>(latinFoldsOf(TextCollation::AccentInsensitive));
    return collation == TextCollation::AccentInsensitive ? ignored : kept;
}

// The comparable form of UTF-8 text whose code points are all below U+0300
// and fold to one each (Spanish, and most of Western Europe's, names), read
// without Qt's conversions; false for any other text, or bytes that are not
// UTF-8.
bool latinComparable(std::string_view bytes, std::vector<char32_t> &out, TextCollation collation)
{
    const std::vector<char32_t> &folds = latinFolds(collation);
    out.clear();
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        char32_t c = lead;
        if (lead >= 0x80) {
            // Two bytes hold U+0080 to U+07FF: a lead of 0xC2 to 0xCB, below U+0300.
            if (lead < 0xC2 || lead > 0xCB || i + 1 == bytes.size())
                return false;
            const auto next = static_cast<unsigned char>(bytes[++i]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (static_cast<char32_t>(lead & 0x1F) << 6) | (next & 0x3F);
        }
        if (folds[c] == kFoldsToMore)
            return false;
        out.push_back(folds[c]);
    }
    return true;
}

// The comparable form of UTF-8 text, by the quickest path that gives it.
std::vector<char32_t> comparableUtf8(std::string_view bytes, TextCollation collation)
{
    std::vector<char32_t> out;
    if (!latinComparable(bytes, out, collation))
        out = comparable(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())), collation);
    return out;
}

struct PatternItem {
    enum Kind { Any, One, Literal, Set } kind = Literal;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges; // inclusive
    bool matches(char32_t c) const
    {
        switch (kind) {
        case Any:
        case One:
            return true;
        case Literal:
            return c == ch;
        case Set:
            break;
        }
        bool inSet = false;
        for (const auto &[lo, hi] : ranges)
            if (c >= lo && c <= hi) {
                inSet = true;
                break;
            }
        return inSet != negated;
    }
};

std::vector<PatternItem> compile(const std::vector<char32_t> &p)
{
    std::vector<PatternItem> items;
    for (size_t i = 0; i < p.size(); ++i) {
        PatternItem item;
        const char32_t c = p[i];
        if (c == U'%') {
            item.kind = PatternItem::Any;
            // Several '%' in a row mean the same as one.
            if (!items.empty() && items.back().kind == PatternItem::Any)
                continue;
        } else if (c == U'_') {
            item.kind = PatternItem::One;
        } else if (c == U'[') {
            // The set runs to the first ']' after at least one member, so
            // '[]]' is a set holding ']'.
            size_t j = i + 1;
            bool negated = false;
            if (j < p.size() && p[j] == U'^') {
                negated = true;
                ++j;
            }
            size_t close = j < p.size() ? j + 1 : p.size();
            while (close < p.size() && p[close] != U']')
                ++close;
            if (close >= p.size()) {
                item.kind = PatternItem::Literal; // unclosed: a plain '['
                item.ch = c;
            } else {
                item.kind = PatternItem::Set;
                item.negated = negated;
                for (size_t k = j; k < close; ++k) {
                    if (k + 2 < close && p[k + 1] == U'-') {
                        item.ranges.emplace_back(p[k], p[k + 2]);
                        k += 2;
                    } else {
                        item.ranges.emplace_back(p[k], p[k]);
                    }
                }
                i = close;
            }
        } else {
            item.kind = PatternItem::Literal;
            item.ch = c;
        }
        items.push_back(std::move(item));
    }
    return items;
}

char32_t lowered(char c)
{
    return asciiComparable(c);
}

// Characters already folded stay as they are.
char32_t lowered(char32_t c)
{
    return c;
}

std::vector<char32_t> loweredAscii(std::string_view bytes)
{
    std::vector<char32_t> out(bytes.size());
    std::transform(bytes.begin(), bytes.end(), out.begin(), [](char c) { return lowered(c); });
    return out;
}

std::string_view withoutTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Whether the byte at k is ASCII, or past the text's end: no accent there
// can combine with the letter before it.
bool asciiAt(std::string_view text, size_t k)
{
    return k >= text.size() || static_cast<unsigned char>(text[k]) < 0x80;
}

// Matches a text, given as a range of already comparable characters, against
// compiled items.
template <typename Characters>
bool matches(const Characters &t, const std::vector<PatternItem> &items)
{
    // reach[j]: the first i text characters can be matched by the first j items.
    // One row per text character keeps this linear in memory and free of the
    // exponential backtracking a naive '%' matcher has.
    const size_t m = items.size();
    thread_local std::vector<char> reach, next;
    reach.assign(m + 1, 0);
    next.assign(m + 1, 0);
    reach[0] = 1;
    for (size_t j = 1; j <= m && items[j - 1].kind == PatternItem::Any; ++j)
        reach[j] = 1;
    for (const auto c : t) {
        const char32_t ch = lowered(c);
        next[0] = 0;
        for (size_t j = 1; j <= m; ++j) {
            const PatternItem &item = items[j - 1];
            if (item.kind == PatternItem::Any)
                next[j] = next[j - 1] || reach[j];
            else
                next[j] = reach[j - 1] && item.matches(ch);
        }
        reach.swap(next);
    }
    return reach[m] != 0;
}

// One character as a regular expression reads it literally, in a set or out
// of one: a backslash before anything but a letter or digit stands for it.
QString regexLiteral(char32_t c)
{
    const QString text = QString::fromUcs4(&c, 1);
    return c < 0x80 && !QChar(c).isLetterOrNumber() ? u'\\' + text : text;
}

int compareComparable(const std::vector<char32_t> &x, const std::vector<char32_t> &y)
{
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i)
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    if (x.size() == y.size())
        return 0;
    return x.size() < y.size() ? -1 : 1;
}

} // namespace

QString sqlServerLikeAsRegex(QStringView pattern, TextCollation collation)
{
    QString regex = u"^"_qs;
    for (const PatternItem &item : compile(comparable(pattern, collation))) {
        switch (item.kind) {
        case PatternItem::Any:
            regex += u".*"_qs;
            break;
        case PatternItem::One:
            regex += u'.';
            break;
        case PatternItem::Literal:
            regex += regexLiteral(item.ch);
            break;
        case PatternItem::Set: {
            QString members;
            for (const auto &[lo, hi] : item.ranges)
                if (lo <= hi)
                    members += lo == hi ? regexLiteral(lo) : regexLiteral(lo) + u'-' + regexLiteral(hi);
            if (members.isEmpty())
                // Nothing in the set: no character, or any one when negated.
                regex += item.negated ? u"."_qs : u"[^\\u0001-\\U0010ffff]"_qs;
            else
                regex += u'[' + (item.negated ? u"^"_qs : QString()) + members + u']';
            break;
        }
        }
    }
    return regex + u'$';
}

std::optional<QString> sqlServerLikeWithoutSets(QStringView pattern, TextCollation collation)
{
    QString like;
    for (const PatternItem &item : compile(comparable(pattern, collation))) {
        switch (item.kind) {
        case PatternItem::Any:
            like += u'%';
            break;
        case PatternItem::One:
            like += u'_';
            break;
        case PatternItem::Literal:
            if (item.ch == U'%' || item.ch == U'_' || item.ch == U'\\')
                like += u'\\';
            like += QString::fromUcs4(&item.ch, 1);
            break;
        case PatternItem::Set:
            return std::nullopt;
        }
    }
    return like;
}

QString sqlServerFolded(QStringView text, TextCollation collation)
{
    const QString folded = text.toString().normalized(QString::NormalizationForm_C).toCaseFolded();
    if (collation == TextCollation::AccentSensitive)
        return folded;
    // Decomposed, a letter with accents is its base letter followed by its
    // marks: without the marks, and composed again (what is left to compose
    // is outside Latin: Hangul, marks of other scripts).
    QString bare = folded.normalized(QString::NormalizationForm_D);
    bare.removeIf([](QChar c) { return c.unicode() >= 0x300 && c.unicode() <= 0x36F; });
    return bare.normalized(QString::NormalizationForm_C);
}

QString sqlServerKey(QStringView text, TextCollation collation)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return sqlServerFolded(text.first(n), collation);
}

bool sqlServerLike(QStringView text, QStringView pattern, TextCollation collation)
{
    return matches(comparable(text, collation), compile(comparable(pattern, collation)));
}

// A pattern of literal runs separated by '%' only (what the lookups type),
// matched by finding each run after the previous one: the leftmost place for
// a run never loses a match a later place would give. The text is ASCII bytes
// or comparable code points.
struct LiteralRuns {
    std::vector<std::u32string> runs; // comparable
    bool anyBefore = false, anyAfter = false;

    static std::optional<LiteralRuns> of(const std::vector<PatternItem> &items)
    {
        LiteralRuns r;
        r.runs.emplace_back();
        for (size_t i = 0; i < items.size(); ++i) {
            const PatternItem &item = items[i];
            if (item.kind == PatternItem::Any) {
                if (i == 0)
                    r.anyBefore = true;
                if (i + 1 == items.size())
                    r.anyAfter = true;
                else if (!r.runs.back().empty())
                    r.runs.emplace_back();
            } else if (item.kind == PatternItem::Literal) {
                r.runs.back() += item.ch;
            } else {
                return std::nullopt;
            }
        }
        if (r.runs.back().empty() && r.runs.size() > 1)
            r.runs.pop_back();
        return r;
    }

    template <typename Text>
    static bool equalAt(const Text &text, size_t at, const std::u32string &run)
    {
        for (size_t k = 0; k < run.size(); ++k)
            if (lowered(text[at + k]) != run[k])
                return false;
        return true;
    }

    template <typename Text>
    bool matches(Text text) const
    {
        size_t from = 0;
        size_t first = 0, last = runs.size();
        if (!anyBefore) {
            if (text.size() < runs.front().size() || !equalAt(text, 0, runs.front()))
                return false;
            from = runs.front().size();
            first = 1;
            if (runs.size() == 1)
                return anyAfter || from == text.size();
        }
        if (!anyAfter) {
            const std::u32string &tail = runs.back();
            if (text.size() < from + tail.size() || !equalAt(text, text.size() - tail.size(), tail))
                return false;
            last = runs.size() - 1;
            text = text.first(text.size() - tail.size());
        }
        for (size_t r = first; r < last; ++r) {
            const std::u32string &run = runs[r];
            size_t at = from;
            while (at + run.size() <= text.size() && !equalAt(text, at, run))
                ++at;
            if (at + run.size() > text.size())
                return false;
            from = at + run.size();
        }
        return true;
    }
};

// Whether a text begins with a run of ASCII characters, decided on the
// text's first bytes; none when a byte outside ASCII there calls for the
// whole text. Most texts a typed beginning is tried on differ from it at
// once. A letter that differs stays different whatever accent follows it; a
// letter that agrees may not: a combining accent after it makes it another.
std::optional<bool> asciiBeginning(std::string_view text, const std::u32string &run)
{
    for (size_t i = 0; i < run.size(); ++i) {
        if (i == text.size())
            return false;
        if (!asciiAt(text, i))
            return std::nullopt;
        if (lowered(text[i]) != run[i])
            return false;
    }
    return asciiAt(text, run.size()) ? std::optional(true) : std::nullopt;
}

struct SqlServerLikePattern::Compiled {
    TextCollation collation = TextCollation::AccentSensitive;
    bool ascii = false;
    std::vector<PatternItem> items;
    std::optional<LiteralRuns> runs;
    QString pattern; // for texts that are not ASCII
    // An ASCII beginning followed by '%', as the lookups write most patterns.
    bool beginningOnly() const
    {
        return ascii && runs && runs->runs.size() == 1 && !runs->anyBefore && runs->anyAfter;
    }
};

SqlServerLikePattern::SqlServerLikePattern(std::string_view pattern, TextCollation collation)
    : d(std::make_unique<Compiled>())
{
    d->collation = collation;
    d->ascii = isAsciiUtf8(pattern);
    d->pattern = QString::fromUtf8(pattern.data(), static_cast<qsizetype>(pattern.size()));
    d->items = compile(d->ascii ? loweredAscii(pattern) : comparable(d->pattern, collation));
    d->runs = LiteralRuns::of(d->items);
}

SqlServerLikePattern::~SqlServerLikePattern() = default;

bool SqlServerLikePattern::matchesUtf8(std::string_view text) const
{
    if (d->beginningOnly())
        if (const std::optional<bool> decided = asciiBeginning(text, d->runs->runs.front()))
            return *decided;
    if (isAsciiUtf8(text) && (d->ascii || d->runs))
        return d->runs ? d->runs->matches(std::span(text.data(), text.size())) : matches(text, d->items);
    const std::vector<char32_t> points = comparableUtf8(text, d->collation);
    return d->runs ? d->runs->matches(std::span<const char32_t>(points)) : matches(points, d->items);
}

std::vector<std::u32string> SqlServerLikePattern::literalRuns() const
{
    std::vector<std::u32string> runs(1);
    for (const PatternItem &item : d->items) {
        if (item.kind == PatternItem::Literal)
            runs.back() += item.ch;
        else if (!runs.back().empty())
            runs.emplace_back();
    }
    if (runs.back().empty())
        runs.pop_back();
    return runs;
}

bool SqlServerLikePattern::beginsWithLiteral() const
{
    return !d->items.empty() && d->items.front().kind == PatternItem::Literal;
}

std::u32string sqlServerComparableUtf8(std::string_view text, TextCollation collation)
{
    if (isAsciiUtf8(text)) {
        std::u32string out(text.size(), U'\0');
        std::transform(text.begin(), text.end(), out.begin(), [](char c) { return lowered(c); });
        return out;
    }
    const std::vector<char32_t> points = comparableUtf8(text, collation);
    return {points.begin(), points.end()};
}

bool sqlServerLikeUtf8(std::string_view text, std::string_view pattern, TextCollation collation)
{
    return SqlServerLikePattern(pattern, collation).matchesUtf8(text);
}

int sqlServerCompareUtf8(std::string_view a, std::string_view b, TextCollation collation)
{
    a = withoutTrailingBlanks(a);
    b = withoutTrailingBlanks(b);
    // Most pairs differ early, in ASCII: the first ASCII letters that differ
    // decide, whatever the texts hold further on, unless a combining accent
    // right after one of them makes it another letter.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    // Names of a list share long beginnings: eight equal ASCII bytes at a time.
    for (uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y || (x & 0x8080808080808080u))
            break;
    }
    while (i < n && static_cast<unsigned char>(a[i]) < 0x80 && lowered(a[i]) == lowered(b[i]))
        ++i;
    if (asciiAt(a, i) && asciiAt(b, i) && asciiAt(a, i + 1) && asciiAt(b, i + 1)) {
        if (i < n)
            return lowered(a[i]) < lowered(b[i]) ? -1 : 1;
        if (a.size() == b.size())
            return 0;
        return a.size() < b.size() ? -1 : 1;
    }
    return compareComparable(comparableUtf8(a, collation), comparableUtf8(b, collation));
}

std::string sqlServerKeyUtf8(std::string_view text, TextCollation collation)
{
    text = withoutTrailingBlanks(text);
    std::string key;
    key.reserve(text.size());
    if (isAsciiUtf8(text)) {
        for (const char c : text)
            key += static_cast<char>(asciiComparable(c));
        return key;
    }
    for (const char32_t c : comparableUtf8(text, collation)) {
        if (c < 0x80) {
            key += static_cast<char>(c);
            continue;
        }
        const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
        key += static_cast<char>(kLead[continuations] | (c >> (6 * continuations)));
        for (int k = continuations - 1; k >= 0; --k)
            key += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return key;
}

int sqlServerCompare(QStringView a, QStringView b, TextCollation collation)
{
    auto stripBlanks = [](QStringView s) {
        qsizetype n = s.size();
        while (n > 0 && s[n - 1] == u' ')
            --n;
        return s.first(n);
    };
    return compareComparable(comparable(stripBlanks(a), collation), comparable(stripBlanks(b), collation));
}

} // namespace rdo
