#include "platform/rdo/tsql/statement_rewriter.h"

#include <map>

namespace rdo {

namespace {

bool isComparison(const TsqlToken &token)
{
    static const QStringList operators = {u"="_qs, u"=="_qs, u"<>"_qs, u"!="_qs, u"<"_qs, u">"_qs, u"<="_qs, u">="_qs};
    return token.kind == TsqlToken::Operator && operators.contains(token.text);
}

// The bare name of a word token: without a table qualifier, [brackets] or
// "quotes".
QStringView bareName(QStringView word)
{
    QStringView name = word;
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0 && !name.endsWith(u']') && !name.endsWith(u'"'))
        name = name.mid(dot + 1);
    if (name.size() >= 2 && ((name.front() == u'[' && name.back() == u']') ||
                             (name.front() == u'"' && name.back() == u'"')))
        name = name.mid(1, name.size() - 2);
    return name;
}

} // namespace

SqliteTranslation::SqliteTranslation(QStringList textColumns, bool serverCollation)
    : m_textColumns(std::move(textColumns)), m_options(rdo::textColumns(m_textColumns)),
      m_serverCollation(serverCollation)
{
}

PostgresTranslation::PostgresTranslation(const QStringList &textColumns, const QHash<QString, QString> &columnTypes,
                                         TextCollation collation, bool serverFolds)
    : m_options(rdo::textColumns(textColumns))
{
    m_options.collation = collation;
    m_options.serverFolds = serverFolds;
    QHash<QString, QString> folded;
    for (auto c = columnTypes.begin(); c != columnTypes.end(); ++c)
        folded.insert(c.key().toCaseFolded(), c.value());
    m_options.columnType = [folded](QStringView column) { return folded.value(column.toString().toCaseFolded()); };
}

QString SqliteTranslation::rewrite(const QString &tsql) const
{
    const QString sqlite = translateForSqlite(tsql, m_options);
    return m_serverCollation ? withServerCollation(sqlite, m_options) : sqlite;
}

namespace {

// Text placed after a token, by the token's index among all of them.
using Insertions = std::map<size_t, QString>;

// Where a column's name begins when it is qualified (table.column, or
// schema.table.column).
size_t qualifiedStart(const TokenView &t, size_t column)
{
    size_t first = column;
    while (first >= 2 && t.isPunct(first - 1, u'.') && t.at(first - 2).kind == TsqlToken::Word)
        first -= 2;
    return first;
}

// "= x", "In (...)", "Between a And b", "Not In", "Not Between" after k.
bool comparedAfter(const TokenView &t, size_t k)
{
    if (k >= t.size())
        return false;
    const TsqlToken &next = t.at(k);
    if (isComparison(next) || isWord(next, u"IN") || isWord(next, u"BETWEEN"))
        return true;
    return isWord(next, u"NOT") && (t.isWord(k + 1, u"IN") || t.isWord(k + 1, u"BETWEEN"));
}

// Every text column compared with something gets the collation after its name.
void collateComparedColumns(const TokenView &t, const TranslationOptions &options, const QString &collate,
                            Insertions &insertAfter)
{
    if (!options.isTextColumn)
        return;
    for (size_t k = 0; k < t.size(); ++k) {
        if (t.at(k).kind != TsqlToken::Word || !options.isTextColumn(bareName(t.at(k).text)))
            continue;
        if (t.isPunct(k + 1, u'.'))
            continue; // a table name that happens to be spelt like a column
        if (t.isWord(k + 1, u"COLLATE"))
            continue;
        const size_t first = qualifiedStart(t, k);
        const bool comparedBefore = first > 0 && isComparison(t.at(first - 1));
        if (comparedAfter(t, k + 1) || comparedBefore)
            insertAfter[t.indexInAll(k)] = collate;
    }
}

// The terms of the Order By whose "By" is at by, each given the collation
// after its expression (before Asc or Desc) unless it names one already.
// Returns where the clause stops: a ')' closing an enclosing group, a ';',
// Limit, Offset, or the statement's end.
size_t collateOrderTerms(const TokenView &t, size_t by, const QString &collate, Insertions &insertAfter)
{
    int depth = 0;
    size_t lastOfTerm = TokenView::npos; // last meaningful token of the current term
    bool hasCollate = false;
    auto closeTerm = [&] {
        if (lastOfTerm == TokenView::npos || hasCollate)
            return;
        size_t end = lastOfTerm;
        if (t.isWord(end, u"ASC") || t.isWord(end, u"DESC")) {
            if (end == 0)
                return;
            --end;
        }
        insertAfter[t.indexInAll(end)] = collate;
    };
    size_t k = by + 1;
    for (; k < t.size(); ++k) {
        const TsqlToken &token = t.at(k);
        if (isPunct(token, u'(')) {
            ++depth;
        } else if (isPunct(token, u')')) {
            if (depth == 0)
                break;
            --depth;
        } else if (isPunct(token, u';') || (depth == 0 && (isWord(token, u"LIMIT") || isWord(token, u"OFFSET")))) {
            // A ';' ends the statement even inside an unclosed parenthesis:
            // nothing may be written after it.
            break;
        } else if (depth == 0 && isPunct(token, u',')) {
            closeTerm();
            lastOfTerm = TokenView::npos;
            hasCollate = false;
            continue;
        }
        if (depth == 0 && isWord(token, u"COLLATE"))
            hasCollate = true;
        lastOfTerm = k;
    }
    closeTerm();
    return k;
}

QString withInsertions(const TokenView &t, const Insertions &insertAfter, qsizetype extra)
{
    QString out;
    out.reserve(t.source().size() + extra);
    for (size_t i = 0; i < t.all().size(); ++i) {
        out += t.all()[i].text;
        if (const auto found = insertAfter.find(i); found != insertAfter.end())
            out += found->second;
    }
    return out;
}

} // namespace

QString withServerCollation(const QString &sqliteSql, const TranslationOptions &options)
{
    const TokenView t(sqliteSql);
    const QString collate = QStringLiteral(" COLLATE ") + QLatin1String(kServerCollation);
    Insertions insertAfter;
    collateComparedColumns(t, options, collate, insertAfter);
    for (size_t k = 0; k + 1 < t.size(); ++k)
        if (t.isWord(k, u"ORDER") && t.isWord(k + 1, u"BY"))
            k = collateOrderTerms(t, k + 1, collate, insertAfter) - 1;
    if (insertAfter.empty())
        return sqliteSql;
    return withInsertions(t, insertAfter, qsizetype(insertAfter.size()) * collate.size());
}

} // namespace rdo
