#pragma once
// The few articles a lookup finds apart from its name's order (by their
// code, or by a short name that begins apart from the name), kept in memory
// in the list's order: read once on the indexes that find them, with the
// names and code those indexes hold, so that none of their articles is read
// before the list reaches it.

#include "platform/rdo/sqlite/merged_resultset.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace lookup {

class ApartCandidates final : public rdo::ListedGroups {
    // A text of an article, where its bytes lie among those read.
    struct Text {
        uint32_t at = 0, size = 0;
        bool null = true;
    };
    struct Article {
        int64_t id = 0;
        Text name, code;
        // The name's first eight bytes as NOCASE compares them, in one number:
        // most names differ there.
        uint64_t nameHead = 0;
    };
    // Articles and the bytes of their texts, one after another: a row read
    // allocates nothing of its own.
    struct Articles {
        std::vector<Article> articles;
        std::string bytes;
        Text kept(const std::optional<std::string_view> &text);
        std::optional<std::string_view> view(const Text &text) const;
    };

public:
    // What one select of candidates gives (identifier, leading name, code,
    // other name; an article perhaps more than once), the odd articles (see
    // kOddArticles) left out: the streams that read candidates give no row of
    // theirs, and every other text sorts in NOCASE's order, which is SQL
    // Server's.
    class Found {
        friend class ApartCandidates;
        Articles m_read;
        int m_rows = 0; // the odd ones' too
    };
    // None when the select gives more than most rows, or when tooMany,
    // asked once the select has given 64, says it will: a select of a
    // handful of rows, as most are (a whole code typed), is read without
    // asking.
    static std::optional<Found> read(sqlite3_stmt *select, int most, const std::function<bool()> &tooMany = {});
    // The articles of all found that kept holds, each once, sorted by name
    // and then code; none when found holds more than most rows in all.
    static std::optional<std::shared_ptr<const ApartCandidates>> sorted(const std::vector<const Found *> &found,
                                                                        int most,
                                                                        const std::function<bool(int64_t)> &kept);

    size_t size() const override { return m_sorted.articles.size(); }
    rdo::ListedGroup at(size_t group) const override;

private:
    explicit ApartCandidates(Articles sorted) : m_sorted(std::move(sorted)) {}

    Articles m_sorted;
};

} // namespace lookup
