#include "lookup/plan/apart_candidates.h"

#include "platform/rdo/sqlite/sqlite_internals.h"

#include <algorithm>
#include <numeric>
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

// Whether a text holds a character outside printable ASCII or ends in a
// blank, as an odd article's does; Null does not.
bool isOdd(const std::optional<std::string_view> &text)
{
    return text && ((!text->empty() && text->back() == ' ') ||
                    std::any_of(text->begin(), text->end(), [](char c) { return c < ' ' || c > '~'; }));
}

// NOCASE's comparison, the engine's own, Null first.
int compareNoCase(const std::optional<std::string> &a, const std::optional<std::string> &b)
{
    if (!a || !b)
        return a ? 1 : (b ? -1 : 0);
    const size_t common = std::min(a->size(), b->size());
    if (const int byCommon = sqlite3_strnicmp(a->data(), b->data(), static_cast<int>(common)))
        return byCommon;
    return a->size() < b->size() ? -1 : (a->size() > b->size() ? 1 : 0);
}

std::optional<std::string> owned(const std::optional<std::string_view> &text)
{
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

} // namespace

std::optional<std::shared_ptr<const ApartCandidates>> ApartCandidates::read(sqlite3_stmt *candidates, int most,
                                                                            const std::function<bool(int64_t)> &kept)
{
    std::vector<Article> found;
    for (int read = 0;; ++read) {
        const int step = sqlite3_step(candidates);
        if (step == SQLITE_DONE)
            break;
        if (step != SQLITE_ROW)
            throw rdo::engineError(sqlite3_db_handle(candidates));
        if (read == most)
            return std::nullopt;
        const int64_t id = sqlite3_column_int64(candidates, 0);
        const auto name = columnText(candidates, 1);
        const auto code = columnText(candidates, 2);
        if (isOdd(name) || isOdd(code) || isOdd(columnText(candidates, 3)) || !kept(id))
            continue;
        found.push_back({id, owned(name), owned(code)});
    }
    // An article found twice has its name and code twice: by identifier
    // among equals, its second finding comes next to its first.
    std::vector<uint32_t> order(found.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        if (const int byName = compareNoCase(found[a].name, found[b].name))
            return byName < 0;
        if (const int byCode = compareNoCase(found[a].code, found[b].code))
            return byCode < 0;
        return found[a].id < found[b].id;
    });
    std::vector<Article> sorted;
    sorted.reserve(found.size());
    for (const uint32_t at : order)
        if (sorted.empty() || sorted.back().id != found[at].id)
            sorted.push_back(std::move(found[at]));
    return std::shared_ptr<const ApartCandidates>(new ApartCandidates(std::move(sorted)));
}

rdo::ListedGroup ApartCandidates::at(size_t group) const
{
    const Article &article = m_articles[group];
    return {article.id, article.name, article.code};
}

} // namespace lookup
