#include "lookup/plan/apart_candidates.h"

#include "lookup/plan/lookup_plan.h"
#include "platform/rdo/sqlite/sqlite_internals.h"

#include <algorithm>
#include <string_view>

namespace lookup {

namespace {

std::optional<std::string_view> columnText(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return std::string_view(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

// NOCASE's comparison, the engine's own, Null first.
int compareNoCase(const std::optional<std::string_view> &a, const std::optional<std::string_view> &b)
{
    if (!a || !b)
        return a ? 1 : (b ? -1 : 0);
    const size_t common = std::min(a->size(), b->size());
    if (const int byCommon = sqlite3_strnicmp(a->data(), b->data(), static_cast<int>(common)))
        return byCommon;
    return a->size() < b->size() ? -1 : (a->size() > b->size() ? 1 : 0);
}

// The first eight bytes of a text of printable ASCII, capitals made small,
// the first the highest: two numbers order as NOCASE orders the texts'
// beginnings, a shorter text (padded with zeros) first.
uint64_t headOf(const std::optional<std::string_view> &text)
{
    uint64_t head = 0;
    for (size_t i = 0; i < 8; ++i) {
        const char c = text && i < text->size() ? (*text)[i] : '\0';
        head = head << 8 | static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return head;
}

} // namespace

ApartCandidates::Text ApartCandidates::Articles::kept(const std::optional<std::string_view> &text)
{
    if (!text)
        return {};
    const Text where{static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(text->size()), false};
    bytes += *text;
    return where;
}

std::optional<std::string_view> ApartCandidates::Articles::view(const Text &text) const
{
    if (text.null)
        return std::nullopt;
    return std::string_view(bytes).substr(text.at, text.size);
}

std::optional<ApartCandidates::Found> ApartCandidates::read(sqlite3_stmt *select, int most,
                                                           const std::function<bool()> &tooMany)
{
    constexpr int kReadBeforeAsking = 64;
    const int asked = std::min(kReadBeforeAsking, most / 2);
    Found found;
    Articles &read = found.m_read;
    for (;; ++found.m_rows) {
        const int step = sqlite3_step(select);
        if (step == SQLITE_DONE)
            return found;
        if (step != SQLITE_ROW)
            throw rdo::engineError(sqlite3_db_handle(select));
        if (found.m_rows == most || (found.m_rows == asked && tooMany && tooMany()))
            return std::nullopt;
        const auto name = columnText(select, 1);
        const auto code = columnText(select, 2);
        if (!isOddText(name) && !isOddText(code) && !isOddText(columnText(select, 3)))
            read.articles.push_back({sqlite3_column_int64(select, 0), read.kept(name), read.kept(code), headOf(name)});
    }
}

std::optional<std::shared_ptr<const ApartCandidates>> ApartCandidates::sorted(const std::vector<const Found *> &found,
                                                                              int most,
                                                                              const std::function<bool(int64_t)> &kept)
{
    struct Taken {
        const Article *article;
        std::optional<std::string_view> name, code;
    };
    int rows = 0;
    std::vector<Taken> taken;
    for (const Found *select : found) {
        rows += select->m_rows;
        if (rows > most)
            return std::nullopt;
        for (const Article &article : select->m_read.articles)
            if (kept(article.id))
                taken.push_back({&article, select->m_read.view(article.name), select->m_read.view(article.code)});
    }
    // An article found twice has its name and code twice: by identifier
    // among equals, its second finding comes next to its first.
    std::sort(taken.begin(), taken.end(), [](const Taken &a, const Taken &b) {
        if (a.name && b.name && a.article->nameHead != b.article->nameHead)
            return a.article->nameHead < b.article->nameHead;
        if (const int byName = compareNoCase(a.name, b.name))
            return byName < 0;
        if (const int byCode = compareNoCase(a.code, b.code))
            return byCode < 0;
        return a.article->id < b.article->id;
    });
    Articles sorted;
    sorted.articles.reserve(taken.size());
    for (const Taken &t : taken)
        if (sorted.articles.empty() || sorted.articles.back().id != t.article->id)
            sorted.articles.push_back({t.article->id, sorted.kept(t.name), sorted.kept(t.code), t.article->nameHead});
    return std::shared_ptr<const ApartCandidates>(new ApartCandidates(std::move(sorted)));
}

rdo::ListedGroup ApartCandidates::at(size_t group) const
{
    const Article &article = m_sorted.articles[group];
    const auto owned = [](const std::optional<std::string_view> &text) {
        return text ? std::optional<std::string>(*text) : std::nullopt;
    };
    return {article.id, owned(m_sorted.view(article.name)), owned(m_sorted.view(article.code))};
}

} // namespace lookup
