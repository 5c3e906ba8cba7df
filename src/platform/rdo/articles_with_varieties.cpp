#include "articles_with_varieties.h"

#include <sqlite3.h>

#include <algorithm>

namespace rdo {

namespace {

void conVariedades(sqlite3_context *context, int, sqlite3_value **argv)
{
    const auto *set = static_cast<const ArticlesWithVarieties *>(sqlite3_user_data(context));
    const bool may = sqlite3_value_type(argv[0]) != SQLITE_INTEGER ||
                     set->mayHaveVarieties(sqlite3_value_int64(argv[0]));
    sqlite3_result_int(context, may ? 1 : 0);
}

} // namespace

int ArticlesWithVarieties::install(sqlite3 *db)
{
    return sqlite3_create_function(db, kFunction, 1, SQLITE_UTF8, this, conVariedades, nullptr, nullptr);
}

void ArticlesWithVarieties::refresh(StatementCache &statements)
{
    const auto forget = [this] {
        m_changes.reset();
        m_articles.clear();
    };
    // The count is read before the articles: a change made in between is
    // then read again at the next lookup, never missed.
    const StatementCache::Statement count = statements.take(QStringLiteral(
        "Select AVCCambios From ArticuloVariedadCambios"));
    if (!count || sqlite3_step(count.get()) != SQLITE_ROW)
        return forget();
    const int64_t changes = sqlite3_column_int64(count.get(), 0);
    if (m_changes == changes)
        return;
    const StatementCache::Statement articles = statements.take(QStringLiteral(
        "Select Distinct AVaArticulo From ArticuloVariedad Order By AVaArticulo"));
    if (!articles)
        return forget();
    std::vector<int64_t> read;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(articles.get())) == SQLITE_ROW)
        read.push_back(sqlite3_column_int64(articles.get(), 0));
    if (step != SQLITE_DONE)
        return forget();
    m_articles = std::move(read);
    m_changes = changes;
}

bool ArticlesWithVarieties::mayHaveVarieties(int64_t article) const
{
    return !m_changes || std::binary_search(m_articles.begin(), m_articles.end(), article);
}

} // namespace rdo
