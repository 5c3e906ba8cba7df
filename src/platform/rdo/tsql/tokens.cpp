#include "platform/rdo/tsql/tokens.h"

#include <algorithm>
#include <array>

namespace rdo {
namespace {

bool isTsqlWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool isTsqlWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

bool isSqliteWordChar(QChar c)
{
    if (c.unicode() < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    return c.isLetterOrNumber();
}

// Runs to the closing quote; where doubling is allowed, a doubled closing
// quote stands for one inside.
qsizetype quotedEnd(const QString &s, qsizetype open, QChar close, bool doubling = true)
{
    qsizetype i = open + 1;
    while (i < s.size()) {
        if (s[i] == close) {
            if (doubling && i + 1 < s.size() && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

// 12, 3.5, .5, 1e3, 1e+3: where the number starting at i ends.
qsizetype numberEnd(const QString &s, qsizetype i)
{
    const qsizetype n = s.size();
    auto at = [&](qsizetype k) { return k < n ? s[k] : QChar(); };
    qsizetype end = i;
    while (end < n && s[end].isDigit())
        ++end;
    if (at(end) == u'.') {
        ++end;
        while (end < n && s[end].isDigit())
            ++end;
    }
    if ((at(end) == u'e' || at(end) == u'E')
        && (at(end + 1).isDigit() || ((at(end + 1) == u'+' || at(end + 1) == u'-') && at(end + 2).isDigit()))) {
        end += 2;
        while (end < n && s[end].isDigit())
            ++end;
    }
    return end;
}

qsizetype operatorEnd(const QString &s, qsizetype i)
{
    static constexpr std::array<std::u16string_view, 7> twoChar = {u"<=", u">=", u"<>", u"!=", u"!<", u"!>", u"||"};
    const QStringView pair = QStringView(s).mid(i, 2);
    return std::any_of(twoChar.begin(), twoChar.end(), [&](std::u16string_view op) { return pair == op; }) ? i + 2
                                                                                                       : i + 1;
}

// The token starting at i: its kind and where it ends.
std::pair<TsqlToken::Kind, qsizetype> tokenAt(const QString &s, qsizetype i, TokenRules rules)
{
    const qsizetype n = s.size();
    auto at = [&](qsizetype k) { return k < n ? s[k] : QChar(); };
    const bool tsql = rules == TokenRules::TransactSql;
    const QChar c = s[i];
    qsizetype end = i + 1;
    if (c.isSpace()) {
        while (end < n && s[end].isSpace())
            ++end;
        return {TsqlToken::Blank, end};
    }
    if (c == u'-' && at(i + 1) == u'-') {
        while (end < n && s[end] != u'\n')
            ++end;
        return {TsqlToken::Comment, end};
    }
    if (c == u'/' && at(i + 1) == u'*') {
        const qsizetype close = s.indexOf(QLatin1String("*/"), i + 2);
        return {TsqlToken::Comment, close < 0 ? n : close + 2};
    }
    if (c == u'\'')
        return {TsqlToken::String, quotedEnd(s, i, u'\'')};
    if (tsql && (c == u'N' || c == u'n') && at(i + 1) == u'\'')
        return {TsqlToken::String, quotedEnd(s, i + 1, u'\'')};
    if (c == u'[')
        return {TsqlToken::Word, quotedEnd(s, i, u']', tsql)};
    if (c == u'"' || (!tsql && c == u'`'))
        return {TsqlToken::Word, quotedEnd(s, i, c)};
    if (tsql ? isTsqlWordStart(c) : isSqliteWordChar(c)) {
        while (end < n && (tsql ? isTsqlWordChar(s[end]) : isSqliteWordChar(s[end])))
            ++end;
        return {TsqlToken::Word, end};
    }
    if (tsql && (c.isDigit() || (c == u'.' && at(i + 1).isDigit())))
        return {TsqlToken::Number, numberEnd(s, i)};
    if (c == u'(' || c == u')' || c == u',' || c == u'.' || c == u';')
        return {TsqlToken::Punctuation, end};
    return {TsqlToken::Operator, operatorEnd(s, i)};
}

} // namespace

std::vector<TsqlToken> tokenizeTsql(const QString &s, TokenRules rules)
{
    std::vector<TsqlToken> tokens;
    tokens.reserve(static_cast<size_t>(s.size() / 3));
    for (qsizetype i = 0; i < s.size();) {
        const auto [kind, end] = tokenAt(s, i, rules);
        tokens.push_back({kind, QStringView(s).mid(i, end - i), i});
        i = end;
    }
    return tokens;
}

bool isPlainWord(const TsqlToken &token)
{
    return token.kind == TsqlToken::Word && token.text.front() != u'[' && token.text.front() != u'"'
           && token.text.front() != u'`';
}

bool isWord(const TsqlToken &token, QStringView word)
{
    return token.kind == TsqlToken::Word && token.text.size() == word.size() &&
           token.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isPunct(const TsqlToken &token, QChar c)
{
    return token.kind == TsqlToken::Punctuation && token.text.front() == c;
}

std::optional<QString> literalValue(const TsqlToken &token)
{
    const QStringView t = token.text;
    if (token.kind != TsqlToken::String || t.size() < 2 || t.front() != u'\'' || t.back() != u'\'')
        return std::nullopt;
    return t.mid(1, t.size() - 2).toString().replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString textLiteral(QString value)
{
    return u'\'' + value.replace(u'\'', QStringLiteral("''")) + u'\'';
}

TokenView::TokenView(const QString &text, TokenRules rules) : m_source(text), m_all(tokenizeTsql(m_source, rules))
{
    m_significant.reserve(m_all.size());
    m_depth.reserve(m_all.size());
    int level = 0;
    std::vector<size_t> open;
    for (size_t i = 0; i < m_all.size(); ++i) {
        const TsqlToken &token = m_all[i];
        if (token.kind == TsqlToken::Blank || token.kind == TsqlToken::Comment)
            continue;
        const size_t k = m_significant.size();
        m_significant.push_back(i);
        m_partner.push_back(npos);
        if (rdo::isPunct(token, u'(')) {
            m_depth.push_back(level++);
            open.push_back(k);
        } else if (rdo::isPunct(token, u')')) {
            m_depth.push_back(--level);
            if (!open.empty()) {
                m_partner[open.back()] = k;
                m_partner[k] = open.back();
                open.pop_back();
            }
        } else {
            m_depth.push_back(level);
        }
    }
}

QString TokenView::lowerWord(size_t k) const
{
    return isPlainWord(k) ? at(k).text.toString().toLower() : QString();
}

QString TokenView::text(size_t from, size_t to) const
{
    if (from >= to)
        return {};
    const TsqlToken &first = at(from);
    const TsqlToken &last = at(to - 1);
    return m_source.mid(first.position, last.position + last.text.size() - first.position);
}

} // namespace rdo
