#include "lookup/plan/lookup_planner.h"

#include "lookup/plan/articles_with_varieties.h"
#include "lookup/plan/key_ranges.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/tsql_translator.h"

#include <QList>

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace lookup {

using rdo::kServerCollation;
using rdo::sqlServerFolded;
using rdo::sqlServerKey;
using rdo::tokenizeTsql;
using rdo::TokenView;
using rdo::TsqlToken;

namespace {

constexpr QLatin1StringView kUnionAll(" Union All ");

QString withoutTrailingBlanks(QString text)
{
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

bool isOwnKey(const QString &text)
{
    return sqlServerKey(text) == text;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The part of a LIKE pattern before its first wildcard, in the form the
// comparison sees it (composed, folded), without trailing blanks: every text the
// pattern matches has a collation key that begins with it. Empty when the
// pattern begins with a wildcard or the prefix is not a key of its own.
QString keyPrefix(const QString &pattern)
{
    const QString folded = sqlServerFolded(pattern);
    qsizetype end = 0;
    while (end < folded.size() && folded[end] != u'%' && folded[end] != u'_' && folded[end] != u'[')
        ++end;
    const QString prefix = withoutTrailingBlanks(folded.left(end));
    return isOwnKey(prefix) ? prefix : QString();
}

// The probes are written as SQLite reads them (the translation leaves them
// as they are): every text comparison carries the server collation.
QString collated(const QString &column)
{
    return column + QStringLiteral(" COLLATE ") + QLatin1String(kServerCollation);
}

// The articles whose "column" is in the range of keys that begin with
// prefix, on a file indexed in SQL Server's order: a probe's From and Where.
QString articlesInRange(const QString &column, const QString &prefix)
{
    QString range = collated(column) + QStringLiteral(" >= ") + rdo::textLiteral(prefix);
    if (const auto above = afterEveryTextBeginningWith(prefix, KeyOrder::Server))
        range += QStringLiteral(" And ") + collated(column) + QStringLiteral(" < ") + rdo::textLiteral(*above);
    return QStringLiteral("From Articulo Where ") + range;
}

// The streams read the indexes of data/indexes.sql, which keep the texts in
// NOCASE.
QString noCase(const QString &column)
{
    return column + QStringLiteral(" COLLATE NOCASE");
}

// "column" in the NOCASE range of the texts that begin with prefix, read from
// `from`: the prefix, or for a driver its parameter kDriverFrom, bound to the
// prefix or to a name further on. For a text of printable ASCII without a
// trailing blank, its key begins with prefix exactly when its NOCASE form does,
// so that the range holds every such text the key's range holds (and a few
// more, which the driver's terms turn down).
QString inNoCaseRange(const QString &column, const QString &prefix, const QString &from = {})
{
    QString range = noCase(column) + QStringLiteral(" >= ") + (from.isEmpty() ? rdo::textLiteral(prefix) : from);
    if (const auto above = afterEveryTextBeginningWith(prefix, KeyOrder::NoCase))
        range += QStringLiteral(" And ") + noCase(column) + QStringLiteral(" < ") + rdo::textLiteral(*above);
    return range;
}

// The indexes of data/indexes.sql that give the list's order.
const QString kNameIndex = QStringLiteral("IX_Articulo_NombreClave");
const QString kShortNameIndex = QStringLiteral("IX_Articulo_NombreCortoClave");

// The keys of a file with data/indexes.sql, which the streams read.
const FileKeys kScriptKeys{KeyOrder::NoCase, KeyOrder::NoCase, KeyOrder::NoCase, KeyOrder::NoCase};

// Whether an article may have varieties, as far as the connection knows
// (ArticlesWithVarieties): false only for one known to have none.
const QString kMayHaveVarieties = QLatin1String(ArticlesWithVarieties::kFunction) + QStringLiteral("(ArtID)");

// Whether the article has a variety, as the file says.
const QString kHasAVariety = QStringLiteral("Exists (Select 1 From ArticuloVariedad Where AVaArticulo = ArtID)");

// The articles of a range that may have a variety whose name, run together
// after column, is like pattern: those the connection knows to have none, or
// none that can complete the text, are passed over before ArticuloVariedad is
// probed (see ArticlesWithVarieties). A word may lead thousands of articles
// with varieties, of which a few have the one typed.
QString withVarietiesLike(const QString &column, const QString &pattern)
{
    return kMayHaveVarieties + QStringLiteral(" And ") + QLatin1String(ArticlesWithVarieties::kMatchFunction) +
           QStringLiteral("(ArtID, ") + rdo::textLiteral(pattern) + QStringLiteral(", ") + column +
           QStringLiteral(") And ") + kHasAVariety;
}

// A variety whose name begins with U+0300 or above may compose with the end of
// the article's name when the two are run together (a combining accent), so
// that the joined text no longer begins with the article's name.
const QString kVarietiesThatMayCompose =
    QStringLiteral("From Articulo Where ArtID In (Select AVaArticulo From ArticuloVariedad Where AVaNombre COLLATE "
                   "BINARY >= char(768))");

// The index of data/indexes.sql that holds the odd articles (see
// kOddArticles) by a column's text.
QString oddIndexOf(const QString &column)
{
    if (column.compare(u"ArtNombre", Qt::CaseInsensitive) == 0)
        return QStringLiteral("IX_Articulo_NombreAparte");
    if (column.compare(u"ArtNombreCorto", Qt::CaseInsensitive) == 0)
        return QStringLiteral("IX_Articulo_NombreCortoAparte");
    return QStringLiteral("IX_Articulo_CodigoAparte");
}

// The index of data/indexes.sql that holds, by a name, the articles whose two
// names begin apart (see kNamesBeginApart).
QString namesApartIndexOf(const QString &column)
{
    return column.compare(u"ArtNombre", Qt::CaseInsensitive) == 0 ? QStringLiteral("IX_Articulo_NombreDistinto")
                                                                   : QStringLiteral("IX_Articulo_NombreCortoDistinto");
}

// The group's terms from open to close; none when one is of another shape.
std::optional<std::vector<GroupTerm>> groupTerms(const TokenView &t, size_t open, size_t close)
{
    std::vector<GroupTerm> terms;
    for (size_t from = open + 1; from < close;) {
        const size_t orAt = t.find(from, close, t.depth(open) + 1, [&](size_t k) { return t.isWord(k, u"or"); });
        const size_t n = orAt - from;
        if ((n != 3 && n != 5) || t.at(from).kind != TsqlToken::Word || !t.isWord(orAt - 2, u"like"))
            return std::nullopt;
        GroupTerm term{t.at(from).text.toString(), n == 5, {}};
        if (term.column.compare(u"ArtCodigo", Qt::CaseInsensitive) != 0 &&
            term.column.compare(u"ArtNombre", Qt::CaseInsensitive) != 0 &&
            term.column.compare(u"ArtNombreCorto", Qt::CaseInsensitive) != 0)
            return std::nullopt;
        if (term.joined && (t.at(from + 1).text != u"+" || !t.isWord(from + 2, u"AVaNombre")))
            return std::nullopt;
        const auto pattern = rdo::literalValue(t.at(orAt - 1));
        if (!pattern)
            return std::nullopt;
        term.pattern = *pattern;
        terms.push_back(std::move(term));
        from = orAt + 1;
    }
    return terms;
}

// The term of a group whose rows are read apart from its probes (see
// nameCandidates).
struct ReadApart {
    QString column, pattern;
    // A condition on the article alone whose rows are read apart too.
    std::optional<QString> unless;
    // Whether that condition is the column's range of the pattern's prefix.
    bool unlessInRange = false;
    // Given, how many rows of a select a lookup sorts at most (see
    // LookupPlan::CandidateSelect::beyondMost).
    int mostToSort = 0;
};

// Which articles a select of candidates reads: all of them, those the
// streams read in NOCASE's order, or the odd ones they read apart (see
// kOddArticles).
enum class Reading { All, Plain, Odd };

bool isPrintableAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
}

bool isName(const QString &column)
{
    return column.compare(u"ArtNombre", Qt::CaseInsensitive) == 0 ||
           column.compare(u"ArtNombreCorto", Qt::CaseInsensitive) == 0;
}

// The articles in the range of a term's column whose key begins with prefix,
// a probe (its From and Where) for each range of the index that holds them; the odd ones from the
// index that holds only them, and, when namesApart, the articles whose two
// names begin apart from the index that holds only those. Ranges joined with
// Or would be read into one set to pass over repeated articles: in a file of
// SQLite's order, where capitals and small letters lie apart, "CAFE" keeps
// the 80,000 articles of its ranges at 1M, 8 MB while the list is open.
std::optional<QStringList> termRange(const GroupTerm &term, const QString &prefix, const FileKeys &keys,
                                     Reading reading, bool namesApart)
{
    const std::optional<KeyOrder> order = keys.of(term.column);
    if (!order)
        return std::nullopt;
    if (*order == KeyOrder::Server)
        return QStringList{articlesInRange(term.column, prefix)};
    const auto ranges = KeyProbe(term.column, *order).beginningWith(prefix);
    if (!ranges)
        return std::nullopt;
    QString from = QStringLiteral("From Articulo Where (");
    QString also = QStringLiteral(")");
    if (reading == Reading::Odd || namesApart) {
        const QString index = reading == Reading::Odd ? oddIndexOf(term.column) : namesApartIndexOf(term.column);
        from = QStringLiteral("From Articulo INDEXED BY ") + index + QStringLiteral(" Where (");
        also += QStringLiteral(" And ") + QLatin1String(reading == Reading::Odd ? kOddArticles : kNamesBeginApart);
    }
    QStringList selects;
    for (const QString &range : *ranges)
        selects.append(from + range + also);
    return selects;
}

// The joined text of a name and a variety's begins with prefix when the
// article's name does, or when the name is shorter than the prefix and begins
// it: the articles of those shorter names (a probe's From and Where); none
// when one is not a key of its own.
// Where only names of printable ASCII are read, a shorter name with any other
// character is none of them, nor one stored with blanks at its end (an odd
// article's, see kOddArticles).
std::optional<QString> shorterNames(const QString &column, const QString &prefix, const FileKeys &keys,
                                    bool printableOnly)
{
    QStringList shorter;
    const QList<uint> points = prefix.toUcs4();
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QString head =
            withoutTrailingBlanks(QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), i));
        if (!isOwnKey(head))
            return std::nullopt;
        if (printableOnly && !isPrintableAscii(head))
            break;
        if (!shorter.contains(head))
            shorter.append(head);
    }
    const std::optional<KeyOrder> order = keys.of(column);
    if (!order)
        return std::nullopt;
    const KeyProbe probe(column, *order);
    // On the file's own indexes each shorter name is listed in every way it
    // can be stored: the long ones are read instead as the texts that begin
    // as they do. In SQLite's order a name's case variants are listed only
    // for its first letters, the rest read as a range: for a common word,
    // every name that begins with it (candidateSelects narrows them).
    constexpr qsizetype kLongestListed = 12;
    std::optional<QStringList> conditions;
    const auto stored = printableOnly ? KeyProbe::Stored::WithoutEndBlanks : KeyProbe::Stored::AnyWay;
    if (*order == KeyOrder::Server || shorter.size() <= kLongestListed) {
        conditions = probe.equalTo(shorter, stored);
    } else {
        conditions = probe.equalTo(shorter.mid(0, kLongestListed), stored);
        const auto longer = probe.beginningWith(shorter.at(kLongestListed));
        if (conditions && longer)
            *conditions += *longer;
        else
            conditions.reset();
    }
    if (!conditions)
        return std::nullopt;
    return QStringLiteral("From Articulo Where (") + conditions->join(QStringLiteral(" Or ")) + u')';
}

// A select that gives a number past most where the articles of a range
// (probe's From and Where) that do not hold unless, the range of a name,
// number more than most. On the indexes alone: the range's first most + 65,
// less the name's range when it holds at most 64. A code of two digits
// begins thousands of codes and almost no name: its codes are not read to
// know them too many. Where many names begin as the codes do (codes made
// from names), the names are too many to tell, and the range is read.
QString beyondMost(const QString &probe, const QString &unless, int most)
{
    constexpr int kNamesCounted = 64;
    // Its texts after the From: the statement cache keeps one plan for all.
    return QStringLiteral("Select Rango.n - Nombres.n "
                          "From (Select Count(*) As n From (Select 1 %1 Limit %2)) As Rango, "
                          "(Select Count(*) As n From (Select 1 From Articulo Where %3 Limit %4)) As Nombres")
        .arg(probe, QString::number(most + kNamesCounted + 1), unless, QString::number(kNamesCounted + 1));
}

// A select of the articles a branch's "(col like 'p%' OR ...)" group can
// accept; empty when a pattern begins with a wildcard (no index can narrow
// it), none when the group is not of this shape. The term apart names is left
// out: its rows are read apart, and so are the rows that hold its unless
// condition, which the probes of the other terms skip. Named, the select
// gives the articles that also hold the naming's condition, each with its
// leading name: read on the name's index for those its range finds, from the
// article's row only for those found otherwise alone.
// Unnamed, each probe's select is given apart: a probe that two branches
// share is read once.
struct Naming {
    QString name, condition;
};
using CandidateSelects = std::vector<LookupPlan::CandidateSelect>;
std::optional<CandidateSelects> candidateSelects(const TokenView &t, size_t open, size_t close, const FileKeys &keys,
                                                 const std::optional<ReadApart> &apart, Reading reading,
                                                 const std::optional<Naming> &naming, const QString &columns)
{
    const auto terms = groupTerms(t, open, close);
    if (!terms)
        return std::nullopt;
    // The terms on one column's range, tried in one reading of it: the
    // range, and what an article in it must hold for one of the terms.
    struct Range {
        QStringList probes;
        QString column, prefix;
        QStringList terms;
    };
    std::vector<Range> ranges;
    const auto tryInRange = [&](const QStringList &range, const QString &column, const QString &prefix,
                                const QString &term) {
        auto found = std::find_if(ranges.begin(), ranges.end(), [&](const Range &r) { return r.probes == range; });
        if (found == ranges.end())
            found = ranges.insert(ranges.end(), {range, column, prefix, {}});
        found->terms.append(term);
    };
    // Each probe's From and Where, the column whose index it reads, and the
    // select that tells its articles too many to sort, where the indexes can.
    struct Probe {
        QString fromWhere, column, beyondMost = {}, codesBeginWith = {};
    };
    std::vector<Probe> probes;
    // A variety whose name begins with a combining mark may change the last
    // letter of a name it is run together with; the text it makes then holds
    // a letter outside ASCII, which a prefix of ASCII alone never matches.
    bool composingMayMatter = false;
    bool passedOver = false;
    for (const GroupTerm &term : *terms) {
        const QString prefix = keyPrefix(term.pattern);
        if (prefix.isEmpty())
            return CandidateSelects();
        const bool inside = !apart || term.column.compare(apart->column, Qt::CaseInsensitive) != 0 ||
                            term.pattern != apart->pattern;
        // A text of printable ASCII has a key of printable ASCII: a prefix
        // with any other character begins none of the texts read in NOCASE's
        // order. A name run together with a variety's may still go on with
        // it where the name is shorter, or its last letter composes with the
        // variety's first mark: those are read below.
        const bool noneInOrder = reading == Reading::Plain && !isPrintableAscii(prefix);
        passedOver = passedOver || noneInOrder;
        // A term on one column is tried on that column's index, whole; a
        // term on a name joined with a variety's: of the articles in the
        // range, those with varieties.
        if (inside && !noneInOrder) {
            // Of the articles whose one name begins with a prefix this short
            // and the other name does not, the two names begin apart: so too
            // where that name is run together with a variety's (those whose
            // name is shorter than the prefix are read below). A word's
            // articles have short names that begin as their names do: the
            // whole range would be read to find none.
            const bool namesApart = reading == Reading::Plain && apart && apart->unlessInRange &&
                                    term.pattern == apart->pattern && isName(term.column) &&
                                    prefix.size() <= kNamesAlikeLength;
            const auto range = termRange(term, prefix, keys, reading, namesApart);
            if (!range)
                return CandidateSelects();
            // A typed code's "prefix%" holds for every text of its range the
            // lookup keeps: the range alone reads thousands of them in the
            // time the pattern takes on a few hundred. The statement checks
            // the pattern again on the rows it reads, and odd texts, whose
            // range may hold others, are always tried.
            const bool rangeDecides = !term.joined && reading != Reading::Odd && term.pattern == prefix + u'%';
            tryInRange(*range, term.column, prefix,
                       term.joined    ? withVarietiesLike(term.column, term.pattern)
                       : rangeDecides ? QString()
                                      : term.column + QStringLiteral(" Like ") + rdo::textLiteral(term.pattern));
        }
        if (term.joined) {
            const auto shorter = shorterNames(term.column, prefix, keys, reading == Reading::Plain);
            if (!shorter)
                return CandidateSelects();
            // Where the shorter names' ways of being stored are too many to
            // list, the probe reads every name that begins as the longest
            // do: on a file as it comes, all 40,000 «PINTURA …» of a
            // million for «PINTURA SIN». Only those a variety may complete
            // are candidates.
            probes.push_back({*shorter + QStringLiteral(" And ") + withVarietiesLike(term.column, term.pattern),
                              term.column});
            composingMayMatter = composingMayMatter || !isAscii(prefix);
        }
    }
    const QString skipped = apart && apart->unless
                                ? QStringLiteral(" And ifnull(") + *apart->unless + QStringLiteral(", 0) = 0")
                                : QString();
    for (const Range &range : ranges)
        for (const QString &probe : range.probes) {
            const bool wholeRange = range.terms.contains(QString());
            const bool counted = wholeRange && !naming && apart && apart->unlessInRange && apart->mostToSort > 0;
            // The articles given otherwise are passed over first: most of a
            // range, each in less time than a pattern takes.
            probes.push_back({probe + skipped +
                                  (wholeRange ? QString()
                                              : QStringLiteral(" And (") + range.terms.join(QStringLiteral(" Or ")) +
                                                    u')'),
                              range.column, counted ? beyondMost(probe, *apart->unless, apart->mostToSort) : QString(),
                              counted && range.column.compare(u"ArtCodigo", Qt::CaseInsensitive) == 0 ? range.prefix
                                                                                                       : QString()});
        }
    const QString selected = naming ? QStringLiteral("ArtID, ") + naming->name : columns;
    if (probes.empty())
        return passedOver
                   ? CandidateSelects{{QStringLiteral("Select ") + selected + QStringLiteral(" From Articulo Where 0")}}
                   : CandidateSelects();
    if (composingMayMatter)
        probes.push_back({kVarietiesThatMayCompose, QString()});
    const QString also = naming && !naming->condition.isEmpty() ? QStringLiteral(" And ") + naming->condition : QString();
    const auto selectOf = [&](const QString &columns, const Probe &probe) {
        return QStringLiteral("Select ") + columns + u' ' + probe.fromWhere + also;
    };
    if (!naming) {
        CandidateSelects all;
        for (const Probe &probe : probes)
            all.push_back({selectOf(selected, probe), probe.beyondMost, probe.codesBeginWith});
        return all;
    }
    const auto selects = [&](const QString &columns, auto &&taken) {
        QStringList all;
        for (const Probe &probe : probes)
            if (taken(probe.column))
                all.append(selectOf(columns, probe));
        return all;
    };
    const auto own = [&](const QString &column) { return column.compare(naming->name, Qt::CaseInsensitive) == 0; };
    const QString named = selects(selected, own).join(kUnionAll);
    QString others = selects(u"ArtID"_qs, std::not_fn(own)).join(kUnionAll);
    if (others.isEmpty())
        return CandidateSelects{{named}};
    const QString byTheirRows = QStringLiteral("Select ") + selected + QStringLiteral(" From Articulo Where ArtID In (");
    if (named.isEmpty())
        return CandidateSelects{{byTheirRows + others + u')'}};
    // The name's ranges are read once: a word's range may hold 80,000 names.
    return CandidateSelects{{QStringLiteral("With Nombrados As Materialized (") + named +
                             QStringLiteral(") Select * From Nombrados Union All ") + byTheirRows + others +
                             QStringLiteral(" Except Select ArtID From Nombrados)")}};
}

// The probes' selects of candidateSelects as one select.
std::optional<QString> nameCandidates(const TokenView &t, size_t open, size_t close, const FileKeys &keys,
                                      const std::optional<ReadApart> &apart = std::nullopt,
                                      Reading reading = Reading::All, const std::optional<Naming> &naming = {})
{
    const auto selects = candidateSelects(t, open, close, keys, apart, reading, naming, u"ArtID"_qs);
    if (!selects)
        return std::nullopt;
    QStringList texts;
    for (const LookupPlan::CandidateSelect &select : *selects)
        texts.append(select.select);
    return texts.join(kUnionAll);
}

// How many terms the "(term OR term ...)" group from open to close has.
size_t termCount(const TokenView &t, size_t open, size_t close)
{
    size_t terms = 1;
    for (size_t k = open + 1; k < close; ++k)
        terms += t.depth(k) == t.depth(open) + 1 && t.isWord(k, u"or") ? 1 : 0;
    return terms;
}

// The condition that narrows a branch to the candidates' articles.
QString amongArticles(const QString &candidates)
{
    return candidates.isEmpty() ? QString() : QStringLiteral(" And ArtID In (") + candidates + u')';
}

// A stored bar code is a pattern; the patterns of the shapes shops use (the
// code itself, or a fixed part with one '%' at its start or end for the
// variable part of a scale label) are found by listing the ones a scanned code
// can match. Every other pattern is "general" and read through an index of its
// own (data/indexes.sql), which holds only those few.
const QString kGeneralBarCodes = QStringLiteral(
    "instr(ACBCodigo, '_') > 0 Or instr(ACBCodigo, '[') > 0 Or "
    "instr(substr(ACBCodigo, 2, length(ACBCodigo) - 2), '%') > 0 Or "
    "(length(ACBCodigo) > 1 And substr(ACBCodigo, 1, 1) = '%' And substr(ACBCodigo, -1, 1) = '%')");

// The stored patterns of a plain shape that can match code, or none when a
// character of the code does not fold to exactly one character of its own
// (then a shorter or longer folded text could match, which the list would miss).
std::optional<QStringList> candidatePatterns(const QString &code)
{
    const QList<uint> points = code.normalized(QString::NormalizationForm_C).toUcs4();
    for (const uint point : points) {
        const QString single = QString::fromUcs4(reinterpret_cast<const char32_t *>(&point), 1);
        if (single.toCaseFolded().toUcs4().size() != 1 ||
            single.normalized(QString::NormalizationForm_C) != single)
            return std::nullopt;
    }
    const auto part = [&](qsizetype from, qsizetype to) {
        return QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()) + from, to - from);
    };
    QStringList candidates{rdo::textLiteral(part(0, points.size()))};
    for (qsizetype i = 0; i <= points.size(); ++i)
        for (const QString &pattern : {part(0, i) + u'%', u'%' + part(i, points.size())})
            if (!candidates.contains(rdo::textLiteral(pattern)))
                candidates.append(rdo::textLiteral(pattern));
    return candidates;
}

// The stored patterns that can match a scanned or typed code, read on an
// index of the file's own order: the code itself, and every pattern whose
// first wildcard follows a beginning of the code (a scale label's fixed part,
// say). Past kMostConditions, the patterns whose first wildcard comes later
// are read together, as every text that begins as the code has so far.
// Nothing but that index is needed; empty when no range can be listed.
QString patternsOnTheirOwnIndex(const QString &code, KeyOrder order)
{
    const QString key = sqlServerFolded(code);
    const KeyProbe probe(u"ACBCodigo"_qs, order);
    std::optional<QStringList> conditions = probe.equalTo({key});
    const QList<uint> points = key.toUcs4();
    const auto add = [&](const std::optional<QStringList> &ranges) {
        if (!ranges)
            return conditions.reset();
        for (const QString &range : *ranges)
            if (!conditions->contains(range))
                conditions->append(range);
    };
    for (qsizetype i = 0; conditions && i <= points.size(); ++i) {
        const QString head = QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), i);
        QStringList wildcards;
        for (const QChar wildcard : {u'%', u'_', u'['})
            if (const auto ranges = probe.beginningWith(head + wildcard))
                wildcards += *ranges;
            else
                return QString();
        if (conditions->size() + wildcards.size() > kMostConditions) {
            add(probe.beginningWith(head));
            break;
        }
        add(wildcards);
    }
    if (!conditions)
        return QString();
    // The articles too: on a file without statistics the engine would
    // otherwise read every article of the company and then its bar codes.
    const QString matching = QStringLiteral(" From ArticuloCodigoBarras Where ") + conditions->join(QStringLiteral(" Or "));
    return QStringLiteral(" And ArticuloCodigoBarras.rowid In (Select rowid") + matching +
           QStringLiteral(") And ArtID In (Select ACBArticulo") + matching + u')';
}

// The bar codes a branch's "'code' Like ACBCodigo" can accept; empty when the
// code has characters the list of candidates cannot stand for.
std::optional<QString> barCodeProbes(const TsqlToken &codeLiteral, const FileKeys &keys)
{
    const auto code = rdo::literalValue(codeLiteral);
    if (!code)
        return std::nullopt;
    if (!keys.barCode)
        return QString();
    if (*keys.barCode != KeyOrder::Server)
        return patternsOnTheirOwnIndex(*code, *keys.barCode);
    const auto candidates = candidatePatterns(*code);
    if (!candidates)
        return QString();
    return QStringLiteral(" And ArticuloCodigoBarras.rowid In (Select rowid From ArticuloCodigoBarras Where ") +
           collated(u"ACBCodigo"_qs) + QStringLiteral(" In (") +
           candidates->join(QStringLiteral(", ")) +
           QStringLiteral(") Union All Select rowid From ArticuloCodigoBarras Where ") + kGeneralBarCodes + u')';
}

// One branch of the compound: [begin, end) in significant tokens.
struct Branch {
    size_t begin = 0, end = 0;
    size_t from = 0, where = 0; // its From and Where
    size_t group = 0;           // the "(col like 'p%' OR ...)" group opening the where clause, or end
    size_t groupClose = 0;
    enum Kind { Other, Names, BarCodes } kind = Other;
    QString probes;             // the condition withIndexProbes adds, or empty
    QStringList columns;        // the select list, term by term
};

// What kind of branch b is, and the condition to add at its end. A plan of
// streams reads the ranges of a branch of names its own way: their probes are
// worked out only when namesProbed.
void classify(const TokenView &t, Branch &b, const FileKeys &keys, bool namesProbed)
{
    if (b.group != b.end) {
        const size_t close = t.find(b.group + 1, b.end, 0, [&](size_t k) { return t.isPunct(k, u')'); });
        if (close != b.end && groupTerms(t, b.group, close)) {
            b.kind = Branch::Names;
            b.groupClose = close;
            if (namesProbed)
                b.probes = amongArticles(*nameCandidates(t, b.group, close, keys));
            return;
        }
        b.group = b.end; // a group of another shape
    }
    const size_t like = t.find(b.where + 2, b.end, 0, [&](size_t k) {
        return t.isWord(k, u"like") && t.isWord(k + 1, u"ACBCodigo") && k + 1 < b.end &&
               t.at(k - 1).kind == TsqlToken::String;
    });
    if (like != b.end)
        if (const auto probes = barCodeProbes(t.at(like - 1), keys)) {
            b.kind = Branch::BarCodes;
            b.probes = *probes;
        }
}

// The branches of "select Union All select ... Order By NombreArt, ArtCodigo",
// each with its probes; none when the statement is not a compound of selects
// with a where clause each, closed by an Order By.
std::vector<Branch> branchesOf(const TokenView &t, size_t &orderBy, const FileKeys &keys, bool namesProbed = true)
{
    // The candidates of a literal grow with the square of its length; no code
    // or name is this long, and a pasted page is matched by reading the rows
    // anyway, which the statement as written does.
    constexpr qsizetype kLongestTypedLiteral = 256;
    for (size_t k = 0; k < t.size(); ++k)
        if (t.at(k).kind == TsqlToken::String && t.at(k).text.size() > kLongestTypedLiteral)
            return {};
    std::vector<size_t> starts{0};
    orderBy = t.size();
    for (size_t k = 0; k + 1 < t.size(); ++k) {
        if (t.depth(k) != 0)
            continue;
        if (t.isWord(k, u"union") && t.isWord(k + 1, u"all"))
            starts.push_back(k + 2);
        else if (t.isWord(k, u"union") || t.isWord(k, u"except") || t.isWord(k, u"intersect"))
            return {};
        else if (t.isWord(k, u"order") && t.isWord(k + 1, u"by")) {
            orderBy = k;
            break;
        }
    }
    if (starts.size() < 2 || orderBy == t.size())
        return {};
    std::vector<Branch> branches;
    for (size_t i = 0; i < starts.size(); ++i) {
        Branch b;
        b.begin = starts[i];
        b.end = i + 1 < starts.size() ? starts[i + 1] - 2 : orderBy;
        if (!t.isWord(b.begin, u"select"))
            return {};
        b.from = t.find(b.begin, b.end, 0, [&](size_t k) { return t.isWord(k, u"from"); });
        b.where = t.find(b.from, b.end, 0, [&](size_t k) { return t.isWord(k, u"where"); });
        // The where clause must be a plain conjunction for one more "And" to narrow it.
        if (b.where == b.end || t.find(b.where + 1, b.end, 0, [&](size_t k) { return t.isWord(k, u"or"); }) != b.end)
            return {};
        b.group = t.isPunct(b.where + 1, u'(') ? b.where + 1 : b.end;
        size_t term = b.begin + 1;
        for (size_t k = term; k <= b.from; ++k)
            if (k == b.from || (t.depth(k) == 0 && t.isPunct(k, u','))) {
                b.columns.append(t.text(term, k).simplified());
                term = k + 1;
            }
        classify(t, b, keys, namesProbed);
        branches.push_back(std::move(b));
    }
    return branches;
}

// The statement with each recognised branch's condition (none where it is
// empty) added at the branch's end; the statement as it was when it is not a
// lookup of the control's shape.
QString withConditionsAdded(const QString &tsql, const FileKeys &keys,
                            const std::function<QString(const TokenView &, const Branch &)> &conditionOf)
{
    const TokenView t(tsql);
    size_t orderBy = 0;
    std::map<size_t, QString> after; // raw token index -> condition added after it
    for (const Branch &b : branchesOf(t, orderBy, keys))
        if (QString condition = conditionOf(t, b); !condition.isEmpty())
            after[t.indexInAll(b.end - 1)] = std::move(condition);
    if (after.empty())
        return tsql;
    QString out;
    for (size_t i = 0; i < t.all().size(); ++i) {
        out += t.all()[i].text;
        if (const auto found = after.find(i); found != after.end())
            out += found->second;
    }
    return out;
}

// The column of ArticuloVariedadNombres (data/postgresql/indexes.sql) that
// holds a name run together with the variety's, or empty.
QString varietyNamesColumn(const QString &column)
{
    if (column.compare(u"ArtNombre", Qt::CaseInsensitive) == 0)
        return QStringLiteral("NombreYVariedad");
    if (column.compare(u"ArtNombreCorto", Qt::CaseInsensitive) == 0)
        return QStringLiteral("NombreCortoYVariedad");
    return {};
}

// The articles a branch's group can accept when the server keeps the names
// run together: those with a variety whose own columns match, and those with a
// variety whose joined name does. A branch of varieties has rows only for an
// article with one, and most articles have none: without saying so, a word
// found in thousands of names had each of those articles joined to the
// varieties, to find none. Empty when the group has no joined term (the
// server's indexes of the article's own columns serve it as written), or one
// of a name the server does not keep.
QString varietyNameCandidates(const TokenView &t, const Branch &b)
{
    if (b.kind != Branch::Names)
        return {};
    const auto terms = groupTerms(t, b.group, b.groupClose);
    if (!terms)
        return {};
    QStringList own, joined;
    for (const GroupTerm &term : *terms) {
        const QString like = QStringLiteral(" Like ") + rdo::textLiteral(term.pattern);
        if (!term.joined) {
            own.append(term.column + like);
            continue;
        }
        const QString column = varietyNamesColumn(term.column);
        if (column.isEmpty())
            return {};
        joined.append(column + like);
    }
    if (joined.isEmpty())
        return {};
    QString candidates = QStringLiteral("Select AVaArticulo From ArticuloVariedadNombres Where ") +
                         joined.join(QStringLiteral(" Or "));
    if (!own.isEmpty())
        candidates.prepend(QStringLiteral("Select ArtID From Articulo Where (") + own.join(QStringLiteral(" Or ")) +
                           QStringLiteral(") And ") + kHasAVariety + QStringLiteral(" Union All "));
    return amongArticles(candidates);
}

} // namespace

QString withIndexProbes(const QString &tsql, const FileKeys &keys)
{
    return withConditionsAdded(tsql, keys, [](const TokenView &, const Branch &b) { return b.probes; });
}

QString withVarietyNames(const QString &tsql)
{
    return withConditionsAdded(tsql, {}, varietyNameCandidates);
}

namespace {

// The name that leads the displayed name of a branch ("ArtNombre" in
// "ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt"), or empty.
QString leadingName(const QString &displayTerm)
{
    const QStringList words = displayTerm.split(u' ', Qt::SkipEmptyParts);
    if (words.size() < 3 || words.last().compare(u"NombreArt", Qt::CaseInsensitive) != 0 ||
        words[words.size() - 2].compare(u"as", Qt::CaseInsensitive) != 0)
        return {};
    if (words.first().compare(u"ArtNombre", Qt::CaseInsensitive) == 0 ||
        words.first().compare(u"ArtNombreCorto", Qt::CaseInsensitive) == 0)
        return words.first();
    return {};
}

// The pattern the branch's group compares the leading name with, if the group
// has a term "name like 'pattern'".
std::optional<QString> leadingNamePattern(const TokenView &t, const Branch &b, const QString &name)
{
    for (size_t k = b.group + 1; k + 2 < b.end && t.depth(k) > 0; ++k)
        if (t.isWord(k, name) && t.isWord(k + 1, u"like") && !t.isPunct(k - 1, u'.') && t.at(k - 1).text != u"+" &&
            t.at(k + 2).kind == TsqlToken::String && (t.isWord(k - 1, u"or") || t.isPunct(k - 1, u'(')))
            return rdo::literalValue(t.at(k + 2));
    return std::nullopt;
}

} // namespace

// One branch of a recognised lookup as the planner reads it: its pieces of
// text, and what its displayed name and the typed text make of it.
struct BranchPlanning {
    const LookupPlanner &planner;
    const TokenView &t;
    const Branch &b;
    LookupPlan &plan;
    int branch = 0;
    QString selectList = {}, joins = {}, where = {}, from = {}, order = {};
    bool varieties = false;
    // The name that leads the displayed name, the other one, and the index
    // of the leading name that gives the list's order.
    QString name = {}, other = {}, nameIndex = {}, byIndex = {};
    QString group = {};                  // the branch's "(col like 'p%' OR ...)" group, as written
    std::optional<QString> pattern = {}; // the leading name's pattern in it
    QString prefix = {};                 // its key prefix (see keyPrefix); empty: none

    // Drivers give each article's name and code in the index's order, which
    // is the list's: the engine bounds the rows still to come by both.
    // Whether it has rows is named, so that the statement kept for a driver
    // takes the typed text's patterns in that column as values.
    static inline const QString kHasRowsThenCode = QStringLiteral(" As ConFilas, ArtCodigo");

    void planBarCodes();
    void planSortedKeys(const QString &among, const FileKeys &keys);
    void planNames();
    void planVarieties();
    void planOddArticles();
    ApartRows planApart(const QString &given, const std::optional<QString> &unless);

    // The branch's group, as the engine reads it.
    QString matching() const { return planner.translated(t.text(b.group, b.groupClose + 1)); }
    // Whether an article has rows: matches (the group, or what it narrows
    // to) holds on it, or on one of its varieties in a branch of varieties.
    // Most articles of a word are known to have no variety: theirs are not
    // looked for.
    QString hasRows(const QString &matches) const
    {
        if (!varieties)
            return matches;
        return kMayHaveVarieties + QStringLiteral(" And Exists (Select 1 From ArticuloVariedad Where AVaArticulo = "
                                                  "ArtID And ") +
               matches + u')';
    }

    // What the streams in NOCASE's order read: the articles that are not odd
    // (see kOddArticles).
    static inline const QString kNotOdd = QStringLiteral(" And Not ") + QLatin1String(kOddArticles);
    // Whether the group's texts hold a letter.
    bool withLetters() const
    {
        for (size_t k = b.group; k <= b.groupClose; ++k)
            if (t.at(k).kind == TsqlToken::String &&
                std::any_of(t.at(k).text.begin(), t.at(k).text.end(),
                            [](QChar c) { return c.isLetter() || c.unicode() >= 0x80; }))
                return true;
        return false;
    }

    // A driver passes over the articles that cannot have rows, up to the
    // row the engine is deciding on (rdo::kDriverLimitFunction), past which
    // it need not be read: one step may not run to the end of the range.
    QString passing(const QString &mayHaveRows) const
    {
        return u'(' + mayHaveRows + QStringLiteral(" Or ") + QLatin1String(rdo::kDriverLimitFunction) + u'(' + name +
               QStringLiteral("))");
    }
    // The list's order of name and code, for keys sorted by the engine.
    QString byOrderKeys() const
    {
        const QString key = QLatin1String(kOrderKeyFunction);
        return QStringLiteral(" Order By ") + key + u'(' + name + QStringLiteral("), ") + key +
               QStringLiteral("(ArtCodigo)");
    }
    QString inIndexOrder() const
    {
        return QStringLiteral(" Order By ") + noCase(name) + QStringLiteral(", ") + noCase(u"ArtCodigo"_qs);
    }
    // Whether the group has the term "term like 'pattern'".
    bool holds(const QString &term) const
    {
        return pattern && group.contains(term + QStringLiteral(" like ") + rdo::textLiteral(*pattern), Qt::CaseInsensitive);
    }
    // Whether the group's terms are these and no others.
    bool holdsOnly(const QStringList &terms) const
    {
        return std::all_of(terms.begin(), terms.end(), [&](const QString &term) { return holds(term); }) &&
               termCount(t, b.group, b.groupClose) == static_cast<size_t>(terms.size());
    }
    // "column Like 'pattern'" for each column, as the drivers try them.
    QStringList likeTerms(const QStringList &columns, const QString &joinedWith = {}) const
    {
        QStringList terms;
        for (const QString &column : columns)
            terms << column + joinedWith + QStringLiteral(" Like ") + rdo::textLiteral(*pattern);
        return terms;
    }
    // An article's rows, for the article bound to ?1, its leading name last.
    QString rowsOfOneArticle(const QString &condition = {}) const
    {
        return selectList + QStringLiteral(", ") + name + from + joins + u' ' + where + condition +
               QStringLiteral(" And ArtID = ?1");
    }
    void add(LookupPlan::Stream stream, Choice choice)
    {
        plan.streams.push_back(std::move(stream));
        plan.choices.push_back(std::move(choice));
    }
};

// On a file without data/indexes.sql no index gives the list's order: the
// articles the file's own indexes find for the group are tried on it, their
// keys sorted, and their rows read article by article as far as the list is
// read. A screenful of a common word's thousands of rows is read without
// reading and sorting every one of them.
void BranchPlanning::planSortedKeys(const QString &among, const FileKeys &keys)
{
    // Each candidate is sorted by the name its range gives with it, read on
    // the name's index without reading its article, and its rows statement
    // tries the whole group: only the articles the list reaches are read.
    // Codes are read only where names are equal. «LECHE OLI» finds 8,112
    // articles at a million; a screenful reads a few dozen. In a branch of
    // varieties, the candidates known to have none are left out on the range,
    // the others without one on the varieties' index: two in three of the
    // names a word is found in.
    const QString named =
        *nameCandidates(t, b.group, b.groupClose, keys, std::nullopt, Reading::All,
                        Naming{name, varieties ? kMayHaveVarieties : QString()});
    const QString withVarieties = varieties ? QStringLiteral(" Where ") + kHasAVariety : QString();
    LookupPlan::Driven driven{rowsOfOneArticle(among),
                              QStringLiteral("Select Distinct ArtID, ") + name +
                                  QStringLiteral(", 1 As ConFilas, Null From (") + named + u')' + withVarieties +
                                  QStringLiteral(" Order By ") + QLatin1String(kOrderKeyFunction) + u'(' + name + u')',
                              std::nullopt, std::nullopt,
                              QStringLiteral("Select ArtCodigo From Articulo Where ArtID = ?1")};
    // Where the places of the names are kept, the candidates' identifiers
    // alone: a code's index gives 7,500 of them in half a millisecond.
    if (const auto identified = nameCandidates(t, b.group, b.groupClose, keys); identified && !identified->isEmpty())
        driven.ranked = LookupPlan::Driven::Ranked{name, *identified, varieties};
    plan.streams.push_back({branch, std::move(driven)});
    plan.choices.push_back({Strategy::SortedKeys, {}, ApartRows::None});
}

void BranchPlanning::planBarCodes()
{
    // Bar codes: a handful of rows, sorted.
    add({branch, LookupPlan::Sorted{selectList + from + joins + u' ' + where + b.probes + order +
                                    QStringLiteral(", ArticuloCodigoBarras.rowid")}},
        {Strategy::SortedBarCodes, {}, ApartRows::None});
}

// The rows the drivers do not give (those where `given` does not hold), found
// through the other terms' candidates and sorted; when those are many, read
// article by article over the whole index.
ApartRows BranchPlanning::planApart(const QString &given, const std::optional<QString> &unless)
{
    const QString notGiven = QStringLiteral(" And ifnull(") + given + QStringLiteral(", 0) = 0");
    const QString rows = from + joins + u' ' + where + kNotOdd + notGiven;
    // Each with its names and code as the index it is found on holds them:
    // the few are sorted without reading their articles.
    const auto candidates = candidateSelects(
        t, b.group, b.groupClose, kScriptKeys,
        ReadApart{name, *pattern, unless, unless == inNoCaseRange(name, prefix), planner.options().mostToSort},
        Reading::Plain, std::nullopt, QStringLiteral("ArtID, %1, ArtCodigo, %2").arg(name, other));
    if (!candidates || candidates->empty()) {
        plan.streams.push_back({branch, LookupPlan::Sorted{selectList + rows + order}});
        return ApartRows::Sorted;
    }
    const QString matches = matching() + notGiven;
    // Where every term has the leading name's pattern, the stretches of the
    // index where no article has a text like it are passed over: most of it
    // for a code of two digits, which begins one code in a hundred.
    const auto terms = groupTerms(t, b.group, b.groupClose);
    const bool screened = planner.options().namesNeverNull && name.compare(u"ArtNombre", Qt::CaseInsensitive) == 0 &&
                          pattern && terms && std::all_of(terms->begin(), terms->end(), [&](const GroupTerm &term) {
                              return term.pattern == *pattern;
                          });
    LookupPlan::Driven many{selectList + QStringLiteral(", ") + name + rows + QStringLiteral(" And ArtID = ?1"),
                            QStringLiteral("Select ArtID, ") + name + QStringLiteral(", ") + hasRows(matches) +
                                kHasRowsThenCode + byIndex + QStringLiteral(" Where ") +
                                passing(varieties ? kMayHaveVarieties : matches) +
                                (screened ? QStringLiteral(" And ") + noCase(name) + QStringLiteral(" >= ") +
                                                QLatin1String(kDriverFrom)
                                          : QString()) +
                                kNotOdd + inIndexOrder()};
    if (screened)
        many.range = LookupPlan::Driven::Range{QString(), name, pattern};
    // The few are sorted with the articles without rows too (the rows say),
    // which makes no difference to the order. In a branch of varieties, an
    // article known to have none is not sorted: two in three of a code's
    // prefix.
    plan.streams.push_back({branch, LookupPlan::Apart{*candidates, selectList + rows, order, varieties, std::move(many)}});
    return ApartRows::Candidates;
}

// Most articles have no varieties: the driver reads the name's index and asks
// for an article's rows only when a variety of it matches the typed text, so
// that the order is known as far as the index has been read. When the group
// holds "name like p" and "name + AVaNombre like p", those terms (and, when
// present, the other name's and the code's), read on the index and the
// variety alone, decide the articles in the range; what else the group
// accepts is read with the rows apart.
void BranchPlanning::planVarieties()
{
    const bool split = !prefix.isEmpty() && holds(name) && holds(name + QStringLiteral(" + AVaNombre"));
    // When those are all its terms, every article of the range is decided
    // here, and the rows apart need not look into the range.
    const bool whole = split && holdsOnly({name, name + QStringLiteral(" + AVaNombre"), other,
                                           other + QStringLiteral(" + AVaNombre"), u"ArtCodigo"_qs});
    // The terms on the article alone, and those on its name run together
    // with a variety's.
    const QStringList names = whole ? QStringList{name, other} : QStringList{name};
    const QStringList onArticle = split ? likeTerms(whole ? QStringList{name, other, u"ArtCodigo"_qs} : names)
                                        : QStringList();
    const QStringList onVariety = split ? likeTerms(names, QStringLiteral(" || AVaNombre")) : QStringList();
    const QString decides = split ? u'(' + (onArticle + onVariety).join(QStringLiteral(" Or ")) + u')'
                                  : planner.translated(group);
    const QString inRange = prefix.isEmpty() ? QString()
                                             : QStringLiteral(" And ") +
                                                   inNoCaseRange(name, prefix, QLatin1String(kDriverFrom));
    // An article may have rows when it has varieties and, in a split group,
    // when a term on the article alone holds or a variety's name may complete
    // the text (tried against what the connection keeps of the names): the
    // driver passes over the others without handing them out, most of the
    // articles of a common name.
    QString mayHaveRows = kMayHaveVarieties;
    if (split)
        mayHaveRows += QStringLiteral(" And (") + onArticle.join(QStringLiteral(" Or ")) + QStringLiteral(" Or ") +
                       QLatin1String(ArticlesWithVarieties::kMatchFunction) + QStringLiteral("(ArtID, ") +
                       rdo::textLiteral(*pattern) + QStringLiteral(", ") + names.join(QStringLiteral(", ")) +
                       QStringLiteral("))");
    LookupPlan::Driven driven{
        rowsOfOneArticle(split ? QStringLiteral(" And ") + decides : QString()),
        QStringLiteral("Select ArtID, ") + name +
            QStringLiteral(", Exists (Select 1 From ArticuloVariedad Where AVaArticulo = ArtID And ") + decides +
            u')' + kHasRowsThenCode + byIndex + QStringLiteral(" Where ") + passing(mayHaveRows) + inRange + kNotOdd +
            inIndexOrder()};
    if (!prefix.isEmpty())
        driven.range = LookupPlan::Driven::Range{prefix, name, split ? pattern : std::nullopt};
    const Strategy strategy = prefix.isEmpty() ? Strategy::VarietiesByIndex
                              : whole          ? Strategy::VarietiesDecided
                              : split          ? Strategy::VarietiesSplit
                                               : Strategy::VarietiesInRange;
    plan.streams.push_back({branch, std::move(driven)});
    ApartRows apart = ApartRows::None;
    if (!prefix.isEmpty())
        apart = planApart(inNoCaseRange(name, prefix) + (split ? QStringLiteral(" And ") + decides : QString()),
                          whole ? std::optional(inNoCaseRange(name, prefix)) : std::nullopt);
    plan.choices.push_back({strategy, nameIndex, apart});
}

// The odd articles' rows, which every other stream of the branch leaves out:
// those in the ranges of the group's terms, found on the indexes that hold
// only odd articles (all of them for a text that begins with a wildcard).
// They are few in most ranges, but a word may lead thousands of them (a
// shop's "NIÑO" garments): their keys are sorted, and their rows read article
// by article as far as the list is read.
void BranchPlanning::planOddArticles()
{
    // Ignoring accents, a text with letters may match an odd article outside
    // its range ("azucar" and "AZÚCAR"): then all of them are candidates, on
    // a file without our index script every article tried.
    const bool allOdd = planner.options().accentsIgnored && withLetters();
    const auto candidates =
        allOdd ? std::nullopt : nameCandidates(t, b.group, b.groupClose, kScriptKeys, std::nullopt, Reading::Odd);
    const QString among = candidates && !candidates->isEmpty() ? *candidates
                          : nameIndex.isEmpty()
                              ? QStringLiteral("Select ArtID From Articulo Where ") + QLatin1String(kOddArticles)
                              : QStringLiteral("Select ArtID From Articulo INDEXED BY ") + oddIndexOf(name) +
                                    QStringLiteral(" Where ") + QLatin1String(kOddArticles);
    LookupPlan::Driven driven{rowsOfOneArticle(QStringLiteral(" And ") + QLatin1String(kOddArticles)),
                              QStringLiteral("Select ArtID, ") + name + QStringLiteral(", 1") + kHasRowsThenCode +
                                  QStringLiteral(" From Articulo Where ArtID In (") + among + u')' + byOrderKeys()};
    if (auto terms = groupTerms(t, b.group, b.groupClose))
        driven.odd = LookupPlan::Driven::OddArticles{name, std::move(*terms)};
    plan.streams.push_back({branch, std::move(driven)});
}

// The name's own pattern is tried on the index, and an article's row read
// only when it matches. When the group is the name's, the other name's and
// the code's terms alone, all three are tried there, which decides every
// article of the range.
void BranchPlanning::planNames()
{
    if (prefix.isEmpty()) {
        // The displayed name is the name: in NOCASE's order, which is the
        // list's for the articles that are not odd.
        add({branch, LookupPlan::Sorted{selectList + from + QStringLiteral("INDEXED BY ") + nameIndex + u' ' + joins +
                                        u' ' + where + kNotOdd + inIndexOrder() + QStringLiteral(", ArtID")}},
            {Strategy::IndexOrder, nameIndex, ApartRows::None});
        return;
    }
    const bool whole = holdsOnly({name, other, u"ArtCodigo"_qs});
    const QString decides = whole ? u'(' + likeTerms({name, other, u"ArtCodigo"_qs}).join(QStringLiteral(" Or ")) + u')'
                                  : likeTerms({name}).front();
    plan.streams.push_back(
        {branch, LookupPlan::Driven{rowsOfOneArticle(),
                                    QStringLiteral("Select ArtID, ") + name + QStringLiteral(", ") + decides +
                                        kHasRowsThenCode + byIndex + QStringLiteral(" Where ") +
                                        inNoCaseRange(name, prefix, QLatin1String(kDriverFrom)) +
                                        QStringLiteral(" And ") + passing(decides) + kNotOdd + inIndexOrder(),
                                    LookupPlan::Driven::Range{prefix, name, pattern}}});
    const ApartRows apart = whole ? planApart(inNoCaseRange(name, prefix) + QStringLiteral(" And ") + decides,
                                          inNoCaseRange(name, prefix))
                                  : planApart(decides, decides);
    plan.choices.push_back({whole ? Strategy::NameRangeDecided : Strategy::NameRange, nameIndex, apart});
}

namespace {

// The text the compound's Order By must read for the list's order.
const QString kListOrderBy = QStringLiteral("Order By NombreArt, ArtCodigo");

// The positions the merged order is decided by, in the rows of every branch:
// displayed name, code, then article and variety; none when the select list
// is not the lookup's.
std::optional<rdo::MergedOrder> orderOf(const QStringList &columns)
{
    rdo::MergedOrder order;
    order.visibleColumns = static_cast<int>(columns.size());
    const int article = static_cast<int>(columns.indexOf(u"ArtID"_qs));
    const int code = static_cast<int>(columns.indexOf(u"ArtCodigo"_qs));
    int name = order.visibleColumns - 1;
    while (name >= 0 && leadingName(columns[name]).isEmpty())
        --name;
    if (article < 0 || code < 0 || name < 0 || article + 1 >= order.visibleColumns)
        return std::nullopt;
    order.textKeys = {name, code};
    order.tieKeys = {article, article + 1};
    return order;
}

} // namespace

std::optional<LookupPlan> LookupPlanner::plan(const QString &tsql, const std::optional<FileKeys> &fileKeys) const
{
    if (!m_options.streams)
        return std::nullopt;
    const TokenView t(tsql);
    size_t orderBy = 0;
    const std::vector<Branch> branches = branchesOf(t, orderBy, fileKeys.value_or(kScriptKeys), fileKeys.has_value());
    if (branches.empty() || t.text(orderBy, t.size()).simplified().compare(kListOrderBy, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QStringList &columns = branches.front().columns;
    const auto order = orderOf(columns);
    if (!order)
        return std::nullopt;
    LookupPlan plan;
    plan.order = *order;
    plan.mostToSort = m_options.mostToSort;
    const int nameColumn = order->textKeys[0];
    const QString listOrder = QStringLiteral(" Order By ") + collated(u"NombreArt"_qs) + QStringLiteral(", ") +
                              collated(u"ArtCodigo"_qs) + QStringLiteral(", ArtID");
    for (size_t i = 0; i < branches.size(); ++i) {
        const Branch &b = branches[i];
        if (b.kind == Branch::Other || b.columns.size() != columns.size() ||
            leadingName(b.columns[nameColumn]).isEmpty() || t.isWord(b.begin + 1, u"top") ||
            !t.isWord(b.from + 1, u"Articulo"))
            return std::nullopt;
        // The select list and the joins are the same for every lookup with
        // the same settings: their translation is kept.
        BranchPlanning p{*this, t, b, plan, static_cast<int>(i)};
        p.selectList = translated(t.text(b.begin, b.from));
        p.joins = translated(t.text(b.from + 2, b.where));
        p.where = translated(t.text(b.where, b.end));
        p.from = u' ' + t.text(b.from, b.from + 2) + u' ';
        p.varieties = b.columns[order->tieKeys[1]].compare(u"AVaID", Qt::CaseInsensitive) == 0;
        p.order = listOrder + (p.varieties ? QStringLiteral(", AVaID") : QString());
        if (b.kind == Branch::BarCodes) {
            p.planBarCodes();
            continue;
        }
        p.name = leadingName(b.columns[nameColumn]);
        if (fileKeys) {
            // Every article of the company, or most of it: no better than the
            // statement as written.
            if (b.probes.isEmpty())
                return std::nullopt;
            // Ignoring accents, "azucar" finds "AZÚCAR" outside its ranges:
            // the odd articles are read apart, as on an indexed file.
            const bool oddApart = m_options.accentsIgnored && p.withLetters();
            p.planSortedKeys(oddApart ? BranchPlanning::kNotOdd : QString(), *fileKeys);
            if (oddApart)
                p.planOddArticles();
            continue;
        }
        // Names: the rows whose leading name matches the typed text come in
        // the order of the name's index; the few others that match by another
        // column are sorted apart. The planner would rather sort the company's
        // articles than read them in the name's order, so the index is named.
        const bool byFullName = p.name.compare(u"ArtNombre", Qt::CaseInsensitive) == 0;
        p.other = byFullName ? u"ArtNombreCorto"_qs : u"ArtNombre"_qs;
        p.nameIndex = byFullName ? kNameIndex : kShortNameIndex;
        p.byIndex = QStringLiteral(" From Articulo INDEXED BY ") + p.nameIndex;
        p.group = t.text(b.group, b.groupClose + 1).simplified();
        p.pattern = leadingNamePattern(t, b, p.name);
        p.prefix = p.pattern ? keyPrefix(*p.pattern) : QString();
        if (p.varieties)
            p.planVarieties();
        else
            p.planNames();
        p.planOddArticles();
    }
    return plan;
}

QString toString(const Choice &choice)
{
    static const char *const strategies[] = {"SortedBarCodes",   "IndexOrder",       "NameRange",
                                             "NameRangeDecided", "VarietiesByIndex", "VarietiesInRange",
                                             "VarietiesSplit",   "VarietiesDecided", "SortedKeys"};
    static const char *const aparts[] = {"", " + apart sorted", " + apart candidates"};
    QString out = QLatin1String(strategies[static_cast<int>(choice.strategy)]);
    if (!choice.index.isEmpty())
        out += QStringLiteral(" on ") + choice.index;
    return out + QLatin1String(aparts[static_cast<int>(choice.apart)]);
}

QStringList statementsOf(const LookupPlan::Stream &stream)
{
    if (const auto *sorted = std::get_if<LookupPlan::Sorted>(&stream.how))
        return {sorted->sql};
    if (const auto *driven = std::get_if<LookupPlan::Driven>(&stream.how))
        return QStringList{driven->rows, driven->driver} +
               (driven->secondKeys.isEmpty() ? QStringList() : QStringList{driven->secondKeys}) +
               (driven->ranked ? QStringList{driven->ranked->candidates} : QStringList());
    const auto &apart = std::get<LookupPlan::Apart>(stream.how);
    QStringList all;
    for (const LookupPlan::CandidateSelect &candidates : apart.candidates) {
        all << candidates.select;
        if (!candidates.beyondMost.isEmpty())
            all << candidates.beyondMost;
    }
    return all + QStringList{apart.sql + QStringLiteral(" And ArtID In (Null)") + apart.sortedBy, apart.many.rows,
                             apart.many.driver};
}

LookupPlanner::LookupPlanner(QStringList textColumns, PlannerOptions options)
    : m_translation(std::move(textColumns), true), m_options(options)
{
}

namespace {

// A fragment with each text literal's content replaced by a marker (kMarker,
// its number, kMarkerEnd), and the contents taken out; none when the fragment
// holds no literal, a marker character already or an unclosed literal.
constexpr QChar kMarker = QChar(1), kMarkerEnd = QChar(2);

std::optional<std::pair<QString, QStringList>> withLiteralsMarked(const QString &fragment)
{
    if (!fragment.contains(u'\'') || fragment.contains(kMarker) || fragment.contains(kMarkerEnd))
        return std::nullopt;
    QString shape;
    QStringList contents;
    for (const TsqlToken &token : tokenizeTsql(fragment)) {
        const qsizetype open = token.text.indexOf(u'\'');
        if (token.kind != TsqlToken::String || open < 0) {
            shape += token.text;
            continue;
        }
        if (token.text.size() < open + 2 || token.text.back() != u'\'')
            return std::nullopt;
        shape += token.text.left(open + 1);
        shape += kMarker + QString::number(contents.size()) + kMarkerEnd + u'\'';
        contents.append(token.text.mid(open + 1, token.text.size() - open - 2).toString());
    }
    return std::pair(shape, contents);
}

QString withLiteralsBack(const QString &translated, const QStringList &contents)
{
    QString out;
    out.reserve(translated.size() + 64);
    qsizetype from = 0;
    for (qsizetype at; (at = translated.indexOf(kMarker, from)) >= 0;) {
        const qsizetype end = translated.indexOf(kMarkerEnd, at);
        if (end < 0)
            break;
        out += QStringView(translated).sliced(from, at - from);
        out += contents[QStringView(translated).sliced(at + 1, end - at - 1).toInt()];
        from = end + 1;
    }
    out += QStringView(translated).sliced(from);
    return out;
}

} // namespace

QString LookupPlanner::translated(const QString &fragment) const
{
    // A fragment differs from one lookup to the next in its literals alone
    // (the typed text and what is made of it), which the translation leaves
    // as they are: the translation of its shape is kept, and they are put
    // back into it.
    const auto marked = withLiteralsMarked(fragment);
    const QString &shape = marked ? marked->first : fragment;
    QString translation;
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_fragments.constFind(shape); found != m_fragments.constEnd()) {
            translation = *found;
        } else {
            // A till's lookups take a few settings: a small memory is plenty.
            if (m_fragments.size() >= 256)
                m_fragments.clear();
            translation = *m_fragments.insert(shape, m_translation.rewrite(shape));
        }
    }
    return marked ? withLiteralsBack(translation, marked->second) : translation;
}

} // namespace lookup
