#include "platform/rdo/sqlite/statement_cache.h"

#include "platform/rdo/tsql/tokens.h"

#include <sqlite3.h>

#include <optional>

namespace rdo {

namespace {

// The literals the lookup indexes' own conditions are written with
// (data/indexes.sql): a partial index is used only where the statement's text
// holds its condition as written.
bool isIndexLiteral(QStringView literal)
{
    return literal == u"_" || literal == u"[" || literal == u"%" || literal == u" " || literal == u"*[^ -~]*";
}

// The value of a literal the cache may take out of a statement's text.
std::optional<QByteArray> takenValue(const TsqlToken &token)
{
    const std::optional<QString> value = literalValue(token);
    if (!value || isIndexLiteral(token.text.mid(1, token.text.size() - 2)))
        return std::nullopt;
    return value->toUtf8();
}

// Whether the tokens [begin, end), a term of a select list, end in
// "As name": its literals then name no column, the alias does.
bool endsInAlias(const std::vector<TsqlToken> &tokens, size_t begin, size_t end)
{
    const auto previous = [&](size_t k) { // past the significant token before k
        while (k > begin && tokens[k - 1].kind == TsqlToken::Blank)
            --k;
        return k;
    };
    size_t k = previous(end);
    if (k == begin || !isPlainWord(tokens[k - 1]))
        return false;
    k = previous(k - 1);
    if (k == begin || !isWord(tokens[k - 1], u"as"))
        return false;
    return previous(k - 1) > begin;
}

// Takes the literals out of a statement's text, token by token.
class Parametrizer {
public:
    explicit Parametrizer(const QString &sql) : m_sql(sql), m_tokens(tokenizeTsql(sql, TokenRules::Sqlite))
    {
        m_shape.reserve(sql.size());
    }

    ParametrizedText run()
    {
        for (size_t i = 0; i < m_tokens.size(); ++i)
            read(i);
        copyUpTo(m_sql.size());
        m_out.shape = m_shape.toUtf8();
        return std::move(m_out);
    }

private:
    // The shape is the text as it stands between the literals taken out:
    // copied a stretch at a time.
    void copyUpTo(qsizetype position)
    {
        m_shape += QStringView(m_sql).sliced(m_copied, position - m_copied);
        m_copied = position;
    }

    void read(size_t i)
    {
        const TsqlToken &token = m_tokens[i];
        if (token.kind == TsqlToken::String) {
            if (auto value = takenValue(token)) {
                copyUpTo(token.position);
                if (m_afterFrom) {
                    m_out.values.push_back(std::move(*value));
                    m_shape += u'?' + QString::number(m_out.values.size() + 1);
                    m_copied += token.text.size();
                    return;
                }
                m_termLiterals.push_back({m_shape.size(), token.text.size(), std::move(*value)});
            }
        } else if (token.kind == TsqlToken::Comment) {
            m_termHasComment = true;
        } else if (!m_afterFrom && m_depth == 0 && isWord(token, u"from")) {
            endTerm(i);
            m_afterFrom = true;
        } else if (isPunct(token, u'(')) {
            ++m_depth;
        } else if (isPunct(token, u')')) {
            --m_depth;
        } else if (!m_afterFrom && m_depth == 0 && isPunct(token, u',')) {
            endTerm(i);
            m_termBegin = i + 1;
        }
    }

    // The select list's term that ends before token i: its literals are
    // taken out when it ends in an alias and holds no comment.
    void endTerm(size_t i)
    {
        if (!m_termHasComment && !m_termLiterals.empty() && endsInAlias(m_tokens, m_termBegin, i)) {
            copyUpTo(m_tokens[i].position);
            const size_t first = m_out.values.size();
            for (Written &literal : m_termLiterals)
                m_out.values.push_back(std::move(literal.value));
            for (size_t k = m_termLiterals.size(); k-- > 0;)
                m_shape.replace(m_termLiterals[k].at, m_termLiterals[k].length, u'?' + QString::number(first + k + 2));
        }
        m_termLiterals.clear();
        m_termHasComment = false;
    }

    struct Written {
        qsizetype at, length; // in the shape
        QByteArray value;
    };
    const QString &m_sql;
    const std::vector<TsqlToken> m_tokens;
    ParametrizedText m_out;
    QString m_shape;
    qsizetype m_copied = 0; // how much of m_sql the shape holds
    int m_depth = 0;
    bool m_afterFrom = false;
    size_t m_termBegin = 0;
    bool m_termHasComment = false;
    std::vector<Written> m_termLiterals;
};

} // namespace

ParametrizedText parametrized(const QString &sql)
{
    return Parametrizer(sql).run();
}

StatementCache::~StatementCache()
{
    for (auto it = m_shapes.cbegin(); it != m_shapes.cend(); ++it)
        sqlite3_finalize(it.key());
}

std::optional<int64_t> StatementCache::firstInteger(const QString &sql)
{
    const Statement stmt = take(sql);
    if (!stmt || sqlite3_step(stmt.get()) != SQLITE_ROW || sqlite3_column_type(stmt.get(), 0) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(stmt.get(), 0);
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
