#include "platform/rdo/sqlite/statement_cache.h"

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

namespace {

// Whether a term of a select list, as written, ends in "As name": its
// literals then name no column, the alias does.
bool endsInAlias(QStringView term)
{
    term = term.trimmed();
    qsizetype k = term.size();
    while (k > 0 && isWordCharacter(term[k - 1]))
        --k;
    if (k == term.size())
        return false;
    term = term.first(k).trimmed();
    return term.size() > 2 && term.endsWith(u"as", Qt::CaseInsensitive) && !isWordCharacter(term[term.size() - 3]);
}

} // namespace

ParametrizedText parametrized(const QString &sql)
{
    ParametrizedText out;
    QString shape;
    shape.reserve(sql.size());
    int depth = 0;
    bool afterFrom = false;
    const auto valueOf = [](QStringView literal) {
        return literal.toString().replace(QStringLiteral("''"), QStringLiteral("'")).toUtf8();
    };
    // The select list's current term: where it begins in shape, whether it
    // holds a comment, and its literals as written (where, how long, value),
    // taken out when the term ends in an alias.
    qsizetype termStart = 0;
    bool termHasComment = false;
    struct Written {
        qsizetype at, length;
        QByteArray value;
    };
    std::vector<Written> termLiterals;
    const auto endTerm = [&] {
        if (!termHasComment && !termLiterals.empty() && endsInAlias(QStringView(shape).sliced(termStart))) {
            const size_t first = out.values.size();
            for (Written &literal : termLiterals)
                out.values.push_back(std::move(literal.value));
            for (size_t k = termLiterals.size(); k-- > 0;)
                shape.replace(termLiterals[k].at, termLiterals[k].length, u'?' + QString::number(first + k + 2));
        }
        termLiterals.clear();
        termHasComment = false;
    };
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        qsizetype end = i + 1;
        if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            end = endOfQuoted(sql, i, c == u'[' ? u']' : c);
            const QStringView literal = QStringView(sql).mid(i + 1, end - i - 2);
            const bool taken = c == u'\'' && end - i >= 2 && sql[end - 1] == c && !isIndexLiteral(literal);
            if (taken && afterFrom) {
                out.values.push_back(valueOf(literal));
                shape += u'?' + QString::number(out.values.size() + 1);
                i = end;
                continue;
            }
            if (taken)
                termLiterals.push_back({shape.size(), end - i, valueOf(literal)});
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            end = sql.indexOf(u'\n', i);
            end = end < 0 ? sql.size() : end;
            termHasComment = true;
        } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            end = sql.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? sql.size() : end + 2;
            termHasComment = true;
        } else if (isWordCharacter(c)) {
            while (end < sql.size() && isWordCharacter(sql[end]))
                ++end;
            if (!afterFrom && depth == 0 && end - i == 4 &&
                QStringView(sql).mid(i, 4).compare(u"from", Qt::CaseInsensitive) == 0) {
                endTerm();
                afterFrom = true;
            }
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u',' && depth == 0 && !afterFrom) {
            endTerm();
            termStart = shape.size() + 1;
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
