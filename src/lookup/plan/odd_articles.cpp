#include "lookup/plan/odd_articles.h"

#include "lookup/plan/articles_with_varieties.h"
#include "lookup/plan/background_reading.h"
#include "lookup/plan/name_blocks.h"

#include "platform/rdo/sqlite/sqlite_internals.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <memory>
#include <numeric>

namespace lookup {

using rdo::StatementCache;

namespace {

// The leading characters of a name's key that stay when a variety's name is
// run together after it: a name that ends in a blank keeps them all; any
// other may have its last letter, with the marks that follow it, composed
// with a variety's leading combining mark.
uint32_t lastingOf(std::string_view name, std::string_view key)
{
    if (!name.empty() && name.back() == ' ')
        return static_cast<uint32_t>(key.size());
    QList<uint> points = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())).toUcs4();
    while (!points.isEmpty() && QChar::combiningClass(static_cast<char32_t>(points.back())) != 0)
        points.removeLast();
    if (!points.isEmpty())
        points.removeLast();
    return static_cast<uint32_t>(
        QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), points.size()).toUtf8().size());
}

// A key's first eight bytes, packed in order and padded with zeros, and the
// mask of its first n: a list of thousands is passed over comparing
// integers.
uint64_t headOf(std::string_view key)
{
    uint64_t head = 0;
    for (size_t i = 0; i < sizeof head; ++i)
        head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return head;
}

uint64_t headMask(size_t n)
{
    return n == 0 ? 0 : n >= sizeof(uint64_t) ? ~uint64_t(0) : ~uint64_t(0) << (8 * (sizeof(uint64_t) - n));
}

std::string utf8Of(const std::u32string &points)
{
    return QString::fromUcs4(points.data(), static_cast<qsizetype>(points.size())).toStdString();
}

} // namespace

// One term as tried on the articles: the pattern, and the beginning every
// key it matches has (the pattern's leading literal, without trailing blanks,
// which a key drops); empty when it begins with a wildcard.
struct OddArticles::Probe {
    Column column;
    bool joined;
    std::unique_ptr<rdo::SqlServerLikePattern> pattern;
    std::string beginning;
    uint64_t head = headOf(beginning);
};

std::optional<OddArticles::Column> OddArticles::columnNamed(const QString &column)
{
    for (const auto &[name, value] : {std::pair{u"ArtNombre", Name}, {u"ArtNombreCorto", ShortName}, {u"ArtCodigo", Code}})
        if (column.compare(QStringView(name), Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

std::optional<int64_t> OddArticles::stampNow(StatementCache &statements)
{
    if (const auto changes =
            statements.firstInteger(QStringLiteral("Select ACaCambios From ") + QLatin1String(NameBlocks::kChangesTable)))
        return changes;
    return statements.firstInteger(QStringLiteral("PRAGMA data_version"));
}

OddArticles OddArticles::read(StatementCache &statements, rdo::TextCollation collation, std::optional<int64_t> stamp)
{
    OddArticles odd;
    odd.m_collation = collation;
    // On a file without our index script, every article is read.
    const QString select = QStringLiteral("Select ArtID, ArtNombre, ArtNombreCorto, ArtCodigo From Articulo ");
    const QString where = QStringLiteral("Where ") + QLatin1String(kOddArticles);
    StatementCache::Statement stmt = statements.take(select + QStringLiteral("INDEXED BY IX_Articulo_NombreAparte ") + where);
    if (!stmt)
        stmt = statements.take(select + where);
    if (!stamp || !stmt)
        return odd;
    int step;
    while ((step = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        std::array<std::optional<std::string_view>, kColumns> texts;
        for (int c = 0; c < kColumns; ++c)
            if (sqlite3_column_type(stmt.get(), c + 1) != SQLITE_NULL)
                texts[static_cast<size_t>(c)] = rdo::utf8Bytes(sqlite3_column_value(stmt.get(), c + 1));
        odd.add(sqlite3_column_int64(stmt.get(), 0), texts);
    }
    if (step != SQLITE_DONE)
        return OddArticles();
    odd.sort();
    odd.m_readAt = stamp;
    return odd;
}

OddArticles OddArticles::readFrom(const std::string &path, rdo::TextCollation collation, std::optional<int64_t> stamp)
{
    return readOnItsOwnConnection<OddArticles>(
        path, [&](sqlite3 *, StatementCache &statements) { return read(statements, collation, stamp); });
}

void OddArticles::add(int64_t id, const std::array<std::optional<std::string_view>, kColumns> &texts)
{
    Article article;
    article.id = id;
    article.from = static_cast<uint32_t>(m_bytes.size());
    for (size_t c = 0; c < kColumns; ++c) {
        if (!texts[c]) {
            article.nulls |= static_cast<uint8_t>(1u << c);
            continue;
        }
        const std::string key = rdo::sqlServerKeyUtf8(*texts[c], m_collation);
        m_bytes.append(*texts[c]).append(key);
        article.sizes[2 * c] = static_cast<uint32_t>(texts[c]->size());
        article.sizes[2 * c + 1] = static_cast<uint32_t>(key.size());
        article.lasting[c] = lastingOf(*texts[c], key);
        article.heads[c] = headOf(key);
    }
    m_articles.push_back(article);
}

std::optional<std::string_view> OddArticles::text(const Article &article, Column column) const
{
    if (article.nulls & (1u << column))
        return std::nullopt;
    uint32_t at = article.from;
    for (size_t k = 0; k < 2 * static_cast<size_t>(column); ++k)
        at += article.sizes[k];
    return std::string_view(m_bytes).substr(at, article.sizes[2 * column]);
}

std::string_view OddArticles::key(const Article &article, Column column) const
{
    if (article.nulls & (1u << column))
        return {};
    uint32_t at = article.from;
    for (size_t k = 0; k <= 2 * static_cast<size_t>(column); ++k)
        at += article.sizes[k];
    return std::string_view(m_bytes).substr(at, article.sizes[2 * column + 1]);
}

// The list's order: by the leading name, then by the code, Null first; the
// keys' bytes order as the collation does.
void OddArticles::sort()
{
    const auto positions = [&] {
        std::vector<uint32_t> all(m_articles.size());
        std::iota(all.begin(), all.end(), 0u);
        return all;
    };
    for (const Column leading : {Name, ShortName}) {
        std::vector<uint32_t> &order = m_orders[leading];
        order = positions();
        const auto sortKey = [&](uint32_t i, Column column) {
            const Article &a = m_articles[i];
            return std::pair(!(a.nulls & (1u << column)), key(a, column));
        };
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return std::pair(sortKey(a, leading), sortKey(a, Code)) < std::pair(sortKey(b, leading), sortKey(b, Code));
        });
        m_places[leading].resize(order.size());
        for (uint32_t place = 0; place < order.size(); ++place)
            m_places[leading][order[place]] = place;
    }
    for (const Column column : {Name, ShortName, Code}) {
        std::vector<uint32_t> withText = positions();
        std::erase_if(withText, [&](uint32_t i) { return m_articles[i].nulls & (1u << column); });
        m_byKey[column] = withText;
        std::sort(m_byKey[column].begin(), m_byKey[column].end(),
                  [&](uint32_t a, uint32_t b) { return key(m_articles[a], column) < key(m_articles[b], column); });
        m_byLasting[column] = std::move(withText);
        std::sort(m_byLasting[column].begin(), m_byLasting[column].end(), [&](uint32_t a, uint32_t b) {
            return lastingKey(m_articles[a], column) < lastingKey(m_articles[b], column);
        });
    }
}

std::string_view OddArticles::lastingKey(const Article &article, Column column) const
{
    return key(article, column).substr(0, article.lasting[column]);
}

std::optional<std::vector<uint32_t>> OddArticles::candidates(const Probe &probe) const
{
    if (probe.beginning.empty())
        return std::nullopt;
    const Column column = probe.column;
    std::vector<uint32_t> found;
    // The positions of sorted (ascending by keyOf) from the first whose key
    // is not below from, as long as holds(key).
    const auto collect = [&](const std::vector<uint32_t> &sorted, std::string_view from, auto &&keyOf, auto &&holds) {
        auto it = std::lower_bound(sorted.begin(), sorted.end(), from,
                                   [&](uint32_t i, std::string_view b) { return keyOf(m_articles[i]) < b; });
        for (; it != sorted.end() && holds(keyOf(m_articles[*it])); ++it)
            found.push_back(*it);
    };
    const std::string_view beginning = probe.beginning;
    collect(m_byKey[column], beginning, [&](const Article &a) { return key(a, column); },
            [&](std::string_view k) { return k.starts_with(beginning); });
    if (!probe.joined)
        return found;
    // Joined with a variety's name, a key that lasts less than the beginning
    // need only be the beginning's start: each shorter lasting part is
    // looked up whole.
    for (size_t length = 0; length < beginning.size(); ++length) {
        const std::string_view start = beginning.substr(0, length);
        collect(m_byLasting[column], start, [&](const Article &a) { return lastingKey(a, column); },
                [&](std::string_view k) { return k == start; });
    }
    return found;
}

bool OddArticles::mayHold(const Article &article, const Probe &probe, const ArticlesWithVarieties &varieties) const
{
    // The key must begin as the pattern does; joined with a variety's name,
    // what lasts of it.
    const size_t alike = probe.joined ? std::min<size_t>(article.lasting[probe.column], probe.beginning.size())
                                      : probe.beginning.size();
    if ((article.nulls & (1u << probe.column)) ||
        ((article.heads[probe.column] ^ probe.head) & headMask(alike)) != 0)
        return false;
    const std::optional<std::string_view> own = text(article, probe.column);
    const std::string_view k = key(article, probe.column);
    if (!probe.joined)
        return k.starts_with(probe.beginning) && probe.pattern->matchesUtf8(*own);
    // The joined text's key begins with what lasts of the name's key.
    const std::string_view lasting = lastingKey(article, probe.column);
    const size_t common = std::min(lasting.size(), probe.beginning.size());
    if (lasting.substr(0, common) != std::string_view(probe.beginning).substr(0, common) ||
        !varieties.mayHaveVarieties(article.id))
        return false;
    const std::array<std::optional<std::string_view>, 1> names{own};
    return varieties.mayMatch(article.id, *probe.pattern, names);
}

// The articles listed, by their positions: each group is made as the merge
// reaches it.
class OddArticles::Listed final : public rdo::ListedGroups {
public:
    Listed(std::shared_ptr<const OddArticles> odd, Column leading, std::vector<uint32_t> positions)
        : m_odd(std::move(odd)), m_leading(leading), m_positions(std::move(positions))
    {
    }
    size_t size() const override { return m_positions.size(); }
    rdo::ListedGroup at(size_t group) const override
    {
        const Article &article = m_odd->m_articles[m_positions[group]];
        const auto asKey = [](std::optional<std::string_view> t) {
            return t ? std::optional<std::string>(*t) : std::nullopt;
        };
        return {article.id, asKey(m_odd->text(article, m_leading)), asKey(m_odd->text(article, Code))};
    }

private:
    std::shared_ptr<const OddArticles> m_odd;
    Column m_leading;
    std::vector<uint32_t> m_positions;
};

std::shared_ptr<const rdo::ListedGroups> OddArticles::listed(const QString &leadingColumn,
                                                             const std::vector<GroupTerm> &terms,
                                                             const ArticlesWithVarieties &varieties) const
{
    const std::optional<Column> leading = columnNamed(leadingColumn);
    std::vector<Probe> probes;
    for (const GroupTerm &term : terms) {
        const std::optional<Column> column = columnNamed(term.column);
        if (!column)
            continue;
        const std::string pattern = term.pattern.toStdString();
        auto compiled = std::make_unique<rdo::SqlServerLikePattern>(pattern, m_collation);
        std::string beginning;
        if (compiled->beginsWithLiteral()) {
            beginning = utf8Of(compiled->literalRuns().front());
            while (!beginning.empty() && beginning.back() == ' ')
                beginning.pop_back();
        }
        probes.push_back({*column, term.joined, std::move(compiled), std::move(beginning)});
    }
    std::vector<uint32_t> positions;
    if (!leading || *leading == Code)
        return std::make_shared<Listed>(shared_from_this(), Name, std::move(positions));
    // The places in the list's order of the articles the probes' keys find;
    // every place when one of them must try every article.
    std::vector<uint32_t> places;
    for (const Probe &probe : probes) {
        const auto found = candidates(probe);
        if (!found) {
            places.resize(m_articles.size());
            std::iota(places.begin(), places.end(), 0u);
            break;
        }
        for (const uint32_t i : *found)
            places.push_back(m_places[*leading][i]);
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    for (const uint32_t place : places) {
        const uint32_t position = m_orders[*leading][place];
        if (std::any_of(probes.begin(), probes.end(),
                        [&](const Probe &probe) { return mayHold(m_articles[position], probe, varieties); }))
            positions.push_back(position);
    }
    return std::make_shared<Listed>(shared_from_this(), *leading, std::move(positions));
}

} // namespace lookup
