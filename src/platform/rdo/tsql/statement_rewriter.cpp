#include "platform/rdo/tsql/statement_rewriter.h"

#include <map>

namespace rdo {

namespace {

bool isWord(const TsqlToken &token, QStringView word)
{
    return token.kind == TsqlToken::Word && token.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isComparison(const TsqlToken &token)
{
    static const QStringList operators = {u"="_qs, u"=="_qs, u"<>"_qs, u"!="_qs, u"<"_qs, u">"_qs, u"<="_qs, u">="_qs};
    return token.kind == TsqlToken::Operator && operators.contains(token.text);
}

bool isSkipped(const TsqlToken &token)
{
    return token.kind == TsqlToken::Blank || token.kind == TsqlToken::Comment;
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

QString SqliteTranslation::rewrite(const QString &tsql) const
{
    const QString sqlite = translateForSqlite(tsql, m_options);
    return m_serverCollation ? withServerCollation(sqlite, m_options) : sqlite;
}

QString withServerCollation(const QString &sqliteSql, const TranslationOptions &options)
{
    const std::vector<TsqlToken> tokens = tokenizeTsql(sqliteSql);
    const auto n = tokens.size();
    auto next = [&](size_t i) {
        do
            ++i;
        while (i < n && isSkipped(tokens[i]));
        return i;
    };
    auto previous = [&](size_t i) -> size_t {
        while (i-- > 0)
            if (!isSkipped(tokens[i]))
                return i;
        return n;
    };
    const QString collate = QStringLiteral(" COLLATE ") + QLatin1String(kServerCollation);
    std::map<size_t, QString> insertAfter; // token index -> text placed after it

    // Text columns compared with something.
    for (size_t i = 0; i < n; ++i) {
        const TsqlToken &token = tokens[i];
        if (token.kind != TsqlToken::Word || !options.isTextColumn || !options.isTextColumn(bareName(token.text)))
            continue;
        const size_t after = next(i);
        if (after < n && tokens[after].kind == TsqlToken::Punctuation && tokens[after].text == u".")
            continue; // a table name that happens to be spelt like a column
        if (after < n && isWord(tokens[after], u"COLLATE"))
            continue;
        // Before the whole qualified name (table.column).
        size_t first = i;
        while (previous(first) < n && tokens[previous(first)].text == u"." && previous(previous(first)) < n &&
               tokens[previous(previous(first))].kind == TsqlToken::Word)
            first = previous(previous(first));
        const size_t before = previous(first);
        const bool comparedAfter =
            after < n && (isComparison(tokens[after]) || isWord(tokens[after], u"IN") ||
                          isWord(tokens[after], u"BETWEEN") ||
                          (isWord(tokens[after], u"NOT") && next(after) < n &&
                           (isWord(tokens[next(after)], u"IN") || isWord(tokens[next(after)], u"BETWEEN"))));
        const bool comparedBefore = before < n && isComparison(tokens[before]);
        if (comparedAfter || comparedBefore)
            insertAfter[i] = collate;
    }

    // Order By terms.
    for (size_t i = 0; i < n; ++i) {
        if (!isWord(tokens[i], u"ORDER") || next(i) >= n || !isWord(tokens[next(i)], u"BY"))
            continue;
        int depth = 0;
        size_t lastOfTerm = n; // last meaningful token of the current term
        bool hasCollate = false;
        auto closeTerm = [&] {
            if (lastOfTerm == n || hasCollate)
                return;
            size_t end = lastOfTerm;
            if (isWord(tokens[end], u"ASC") || isWord(tokens[end], u"DESC"))
                end = previous(end);
            if (end < n)
                insertAfter[end] = collate;
        };
        size_t j = next(next(i));
        for (; j < n; j = next(j)) {
            const TsqlToken &token = tokens[j];
            if (token.kind == TsqlToken::Punctuation && token.text == u"(") {
                ++depth;
            } else if (token.kind == TsqlToken::Punctuation && token.text == u")") {
                if (depth == 0)
                    break;
                --depth;
            } else if ((token.kind == TsqlToken::Punctuation && token.text == u";") ||
                       (depth == 0 && (isWord(token, u"LIMIT") || isWord(token, u"OFFSET")))) {
                // A ';' ends the statement even inside an unclosed parenthesis:
                // nothing may be written after it.
                break;
            } else if (depth == 0 && token.kind == TsqlToken::Punctuation && token.text == u",") {
                closeTerm();
                lastOfTerm = n;
                hasCollate = false;
                continue;
            }
            if (depth == 0 && isWord(token, u"COLLATE"))
                hasCollate = true;
            lastOfTerm = j;
        }
        closeTerm();
        i = j == n ? n : j - 1;
    }

    if (insertAfter.empty())
        return sqliteSql;
    QString out;
    out.reserve(sqliteSql.size() + qsizetype(insertAfter.size()) * collate.size());
    for (size_t i = 0; i < n; ++i) {
        out += tokens[i].text;
        if (const auto found = insertAfter.find(i); found != insertAfter.end())
            out += found->second;
    }
    return out;
}

} // namespace rdo
