#include "lookup/plan/key_ranges.h"

#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/statement_rewriter.h"
#include "platform/rdo/tsql/tokens.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <array>
#include <algorithm>
#include <vector>

namespace lookup {

namespace {

QString textOf(char32_t point)
{
    return QString::fromUcs4(&point, 1);
}

// A stored character SQL Server's rules may see as a given character of a
// key: whole when they see it as exactly that character, so that what follows
// it in the stored text lines up with the rest of the key; otherwise it may
// only begin it (it folds into several characters).
struct Stored {
    char32_t folded; // the first character of its folded, composed form
    char32_t point;
    bool whole; // the folded form is that one character
};

bool foldsBefore(const Stored &a, const Stored &b)
{
    return a.folded < b.folded;
}

// Every character of the basic plane by the first character of its folded,
// composed form, ascending (and by character within one folded): one array
// of 63,000 rather than a table of lists, which held 3 MB in every till.
// Characters beyond the plane fold among themselves.
const std::vector<Stored> &storedByFolded()
{
    static const auto table = [] {
        std::vector<Stored> byFolded;
        for (char32_t point = 1; point < 0x10000; ++point) {
            if (point >= 0xD800 && point <= 0xDFFF)
                continue;
            const QList<uint> folded = rdo::sqlServerFolded(textOf(point)).toUcs4();
            if (!folded.isEmpty())
                byFolded.push_back({folded.front(), point, folded.size() == 1});
        }
        std::stable_sort(byFolded.begin(), byFolded.end(), foldsBefore);
        return byFolded;
    }();
    return table;
}

// Whether a character of a key may also be stored as a base letter and
// combining marks: an accented letter.
bool decomposes(char32_t key)
{
    return textOf(key).normalized(QString::NormalizationForm_D).size() > 1;
}

// How an index of the given order holds a stored character: NOCASE lowers A
// to Z, so that their capitals are the same place of the index.
char32_t asIndexed(char32_t point, KeyOrder order)
{
    return order == KeyOrder::NoCase && point >= U'A' && point <= U'Z' ? point - U'A' + U'a' : point;
}

QString asIndexed(const QString &text, KeyOrder order)
{
    QString out = text;
    if (order == KeyOrder::NoCase)
        for (QChar &c : out)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() - u'A' + u'a');
    return out;
}

// The stored characters a character of a key may stand for, as the index
// holds them: whole ones, and ones that may only begin a longer stretch.
struct Variants {
    QStringList whole, beginning;
};

std::optional<Variants> listedVariantsOf(char32_t key, KeyOrder order)
{
    // An accented letter may be stored as its base letter and a combining
    // mark, and the base letter has many accented forms that marks after it
    // may turn into this one: too many to list, so the ranges end before it
    // (and hold more texts than needed).
    if (key >= 0x10000 || decomposes(key))
        return std::nullopt;
    Variants variants;
    const auto add = [&](QStringList &into, char32_t point) {
        const QString indexed = textOf(asIndexed(point, order));
        if (!variants.whole.contains(indexed) && !into.contains(indexed))
            into.append(indexed);
    };
    // A character no stored one folds into (a noncharacter, half a
    // surrogate pair) cannot be listed either.
    const auto &table = storedByFolded();
    const auto [first, past] = std::equal_range(table.begin(), table.end(), Stored{key, 0, false}, foldsBefore);
    if (first == past)
        return std::nullopt;
    for (auto stored = first; stored != past; ++stored)
        if (stored->whole)
            add(variants.whole, stored->point);
    for (auto stored = first; stored != past; ++stored)
        if (!stored->whole)
            add(variants.beginning, stored->point);
    return variants;
}

// The same, read from a table for the characters of printable ASCII, which
// make up most typed texts.
std::optional<Variants> variantsOf(char32_t key, KeyOrder order)
{
    constexpr char32_t kFirst = U' ', kEnd = U'~' + 1;
    static constexpr std::array kOrders{KeyOrder::Binary, KeyOrder::NoCase, KeyOrder::Server};
    using Table = std::array<std::array<std::optional<Variants>, kEnd - kFirst>, kOrders.size()>;
    static const Table table = [] {
        Table t;
        for (const KeyOrder o : kOrders)
            for (char32_t point = kFirst; point < kEnd; ++point)
                t[static_cast<size_t>(o)][point - kFirst] = listedVariantsOf(point, o);
        return t;
    }();
    if (key >= kFirst && key < kEnd)
        return table[static_cast<size_t>(order)][key - kFirst];
    return listedVariantsOf(key, order);
}

// The starts of the ranges for a key: whole when every character of the key
// was listed, so that each start is the key itself as stored.
struct Starts {
    QStringList ranges;
    QStringList whole; // the starts that are the whole key, as stored
};

Starts startsOf(const QString &key, KeyOrder order)
{
    QStringList heads{QString()};
    Starts starts;
    const QList<uint> points = key.toUcs4();
    qsizetype listed = 0;
    for (const uint point : points) {
        const std::optional<Variants> variants = variantsOf(point, order);
        if (!variants)
            break;
        const qsizetype count = heads.size() * (variants->whole.size() + variants->beginning.size());
        if (count + starts.ranges.size() > kMostRanges)
            break;
        QStringList next;
        for (const QString &head : heads) {
            for (const QString &whole : variants->whole)
                next.append(head + whole);
            for (const QString &beginning : variants->beginning)
                starts.ranges.append(head + beginning);
        }
        heads = next;
        ++listed;
    }
    if (listed == points.size())
        starts.whole = heads;
    starts.ranges += heads;
    return starts;
}

// The smallest text above every text that begins with start: start with its
// last character raised, or the one before it when that one cannot be
// raised or the raised text does not fit.
template <typename Fits>
std::optional<QString> raised(const QString &start, Fits &&fits)
{
    QList<uint> points = start.toUcs4();
    while (!points.isEmpty()) {
        uint last = points.takeLast() + 1;
        if (last >= 0xD800 && last <= 0xDFFF)
            last = 0xE000;
        if (last > 0x10FFFF)
            continue;
        QList<uint> raisedPoints = points;
        raisedPoints.append(last);
        const QString candidate =
            QString::fromUcs4(reinterpret_cast<const char32_t *>(raisedPoints.constData()), raisedPoints.size());
        if (fits(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

std::optional<KeyOrder> keyOrderOf(const QString &collation)
{
    if (collation.compare(u"BINARY", Qt::CaseInsensitive) == 0)
        return KeyOrder::Binary;
    if (collation.compare(u"NOCASE", Qt::CaseInsensitive) == 0)
        return KeyOrder::NoCase;
    if (collation.compare(QLatin1String(rdo::kServerCollation), Qt::CaseInsensitive) == 0)
        return KeyOrder::Server;
    return std::nullopt;
}

void prepareKeyRanges()
{
    storedByFolded();
}

std::optional<QStringList> rangeStarts(const QString &prefix, KeyOrder order)
{
    if (prefix.isEmpty())
        return std::nullopt;
    if (order == KeyOrder::Server)
        return QStringList{prefix};
    const QStringList starts = startsOf(prefix, order).ranges;
    if (starts.contains(QString()))
        return std::nullopt;
    return starts;
}

std::optional<QString> afterEveryTextBeginningWith(const QString &start, KeyOrder order)
{
    // In SQL Server's order the raised text must be a key of its own (it
    // would fold into something else); a raised character that NOCASE
    // lowers only lies further on.
    if (order == KeyOrder::Server)
        return raised(start, [](const QString &text) { return rdo::sqlServerKey(text) == text; });
    const auto above = raised(start, [](const QString &) { return true; });
    return above ? std::optional(asIndexed(*above, order)) : std::nullopt;
}

const char *collationOf(KeyOrder order)
{
    static const char *const collations[] = {"BINARY", "NOCASE", rdo::kServerCollation};
    return collations[static_cast<int>(order)];
}

QString KeyProbe::collated() const
{
    return m_column + QStringLiteral(" COLLATE ") + QLatin1String(collationOf(m_order));
}

QString KeyProbe::ranged(const QString &low, const std::optional<QString> &high) const
{
    const QString column = collated();
    QString condition = column + QStringLiteral(" >= ") + rdo::textLiteral(low);
    if (high)
        condition += QStringLiteral(" And ") + column + QStringLiteral(" < ") + rdo::textLiteral(*high);
    return condition;
}

std::optional<QStringList> KeyProbe::remembered(QChar question, const QStringList &texts,
                                                const std::function<std::optional<QStringList>()> &answer) const
{
    // A lookup asks for the same conditions for each stream of each branch,
    // and the till's next lookup often for the text typed before: each
    // thread keeps the last answers.
    constexpr qsizetype kMostKept = 256;
    thread_local QHash<QString, std::optional<QStringList>> kept;
    QString asked = question + QString::number(static_cast<int>(m_order)) + m_column;
    for (const QString &text : texts)
        asked += u' ' + QString::number(text.size()) + u':' + text;
    if (const auto found = kept.constFind(asked); found != kept.cend())
        return *found;
    if (kept.size() >= kMostKept)
        kept.clear();
    return *kept.insert(asked, answer());
}

std::optional<QStringList> KeyProbe::beginningWith(const QString &prefix) const
{
    return remembered(u'b', {prefix}, [&] { return rangesBeginningWith(prefix); });
}

std::optional<QStringList> KeyProbe::equalTo(const QStringList &keys, Stored stored) const
{
    return remembered(stored == Stored::AnyWay ? u'=' : u'e', keys, [&] { return rangesEqualTo(keys, stored); });
}

std::optional<QStringList> KeyProbe::rangesBeginningWith(const QString &prefix) const
{
    const auto starts = rangeStarts(prefix, m_order);
    if (!starts)
        return std::nullopt;
    QStringList conditions;
    for (const QString &start : *starts)
        conditions.append(ranged(start, afterEveryTextBeginningWith(start, m_order)));
    return conditions;
}

std::optional<QStringList> KeyProbe::rangesEqualTo(const QStringList &keys, Stored stored) const
{
    QStringList values, conditions;
    QSet<QString> listed;
    const auto addValue = [&](const QString &value) {
        if (!listed.contains(value)) {
            listed.insert(value);
            values.append(rdo::textLiteral(value));
        }
    };
    // Long keys cut short give the same ranges again.
    const auto addCondition = [&](const QString &condition) {
        if (!conditions.contains(condition))
            conditions.append(condition);
    };
    for (const QString &key : keys) {
        if (m_order == KeyOrder::Server) {
            addValue(key);
            continue;
        }
        // A stored text equals the key when it is the key as stored, then
        // any number of blanks: the first few are listed, more are a range
        // of their own (texts that go on with a ninth blank).
        constexpr int kListedBlanks = 8;
        const Starts starts = startsOf(key, m_order);
        for (const QString &whole : starts.whole) {
            if (stored == Stored::WithoutEndBlanks) {
                addValue(whole);
                continue;
            }
            for (int blanks = 0; blanks <= kListedBlanks; ++blanks)
                addValue(whole + QString(blanks, u' '));
            addCondition(ranged(whole + QString(kListedBlanks + 1, u' '), whole + QString(kListedBlanks, u' ') + u'!'));
        }
        for (const QString &start : starts.ranges)
            if (!starts.whole.contains(start)) {
                if (start.isEmpty())
                    return std::nullopt;
                addCondition(ranged(start, afterEveryTextBeginningWith(start, m_order)));
            }
    }
    if (conditions.size() >= kMostConditions)
        return std::nullopt;
    if (!values.isEmpty())
        conditions.prepend(collated() + QStringLiteral(" In (") + values.join(QStringLiteral(", ")) + u')');
    return conditions;
}

} // namespace lookup
