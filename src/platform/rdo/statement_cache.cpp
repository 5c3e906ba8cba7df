#include "statement_cache.h"

#include <sqlite3.h>

namespace rdo {

namespace {

bool isWordCharacter(QChar c)
{
    if (c.unicode() < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    return c.isLetterOrNumber();
}

// Where a quoted part that starts at i ends (one past its closing quote), or
// the text's end.
qsizetype endOfQuoted(const QString &sql, qsizetype i, QChar close)
{
    for (qsizetype k = i + 1; k < sql.size(); ++k)
        if (sql[k] == close) {
            // A doubled quote stands for one within the text.
            if (close != u']' && k + 1 < sql.size() && sql[k + 1] == close) {
                ++k;
                continue;
            }
            return k + 1;
        }
    return sql.size();
}

// The literals the lookup indexes' own conditions are written with
// (data/indexes.sql): a partial index is used only where the statement's text
// holds its condition as written.
bool isIndexLiteral(QStringView literal)
{
    return literal == u"_" || literal == u"[" || literal == u"%" || literal == u" " || literal == u"*[^ -~]*";
}

} // namespace

ParametrizedText parametrized(const QString &sql)
{
    ParametrizedText out;
    QString shape;
    shape.reserve(sql.size());
    int depth = 0;
    bool afterFrom = false;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            end = endOfQuoted(sql, i, c == u'[' ? u']' : c);
            const QStringView literal = QStringView(sql).mid(i + 1, end - i - 2);
            const bool whole = end - i >= 2 && sql[end - 1] == c;
            if (c == u'\'' && whole && afterFrom && !isIndexLiteral(literal)) {
                out.values.push_back(literal.toString().replace(QStringLiteral("''"), QStringLiteral("'")).toUtf8());
                shape += u'?' + QString::number(out.values.size() + 1);
                i = end;
                continue;
            }
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            end = sql.indexOf(u'\n', i);
            end = end < 0 ? sql.size() : end;
        } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            end = sql.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? sql.size() : end + 2;
        } else if (isWordCharacter(c)) {
            while (end < sql.size() && isWordCharacter(sql[end]))
                ++end;
            if (depth == 0 && end - i == 4 && QStringView(sql).mid(i, 4).compare(u"from", Qt::CaseInsensitive) == 0)
                afterFrom = true;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        }
        shape += QStringView(sql).mid(i, end - i);
        i = end;
    }
    out.shape = shape.toUtf8();
    return out;
}

StatementCache::~StatementCache()
{
    for (auto it = m_shapes.cbegin(); it != m_shapes.cend(); ++it)
        sqlite3_finalize(it.key());
}

StatementCache::Statement StatementCache::take(const QString &sql)
{
    ParametrizedText text = parametrized(sql);
    sqlite3_stmt *stmt = nullptr;
    if (auto idle = m_idle.find(text.shape); idle != m_idle.end() && !idle->statements.empty()) {
        stmt = idle->statements.back();
        idle->statements.pop_back();
        --m_kept;
    } else {
        if (sqlite3_prepare_v2(m_db, text.shape.constData(), static_cast<int>(text.shape.size()), &stmt, nullptr) !=
                SQLITE_OK ||
            !stmt) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        m_shapes.insert(stmt, text.shape);
    }
    for (size_t v = 0; v < text.values.size(); ++v)
        sqlite3_bind_text(stmt, static_cast<int>(v + 2), text.values[v].constData(),
                          static_cast<int>(text.values[v].size()), SQLITE_TRANSIENT);
    return Statement(stmt, GiveBack{this});
}

void StatementCache::GiveBack::operator()(sqlite3_stmt *stmt) const
{
    cache->keep(stmt);
}

void StatementCache::keep(sqlite3_stmt *stmt)
{
    sqlite3_reset(stmt);
    while (m_kept >= kMostKept) {
        auto oldest = m_idle.begin();
        for (auto it = m_idle.begin(); it != m_idle.end(); ++it)
            if (it->lastKept < oldest->lastKept)
                oldest = it;
        for (sqlite3_stmt *idle : oldest->statements) {
            m_shapes.remove(idle);
            sqlite3_finalize(idle);
        }
        m_kept -= static_cast<int>(oldest->statements.size());
        m_idle.erase(oldest);
    }
    Idle &idle = m_idle[m_shapes.value(stmt)];
    idle.statements.push_back(stmt);
    idle.lastKept = ++m_keeps;
    ++m_kept;
}

} // namespace rdo
