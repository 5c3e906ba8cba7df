#include "platform/rdo/tsql/tsql_translator.h"

#include <QSet>

#include <algorithm>

namespace rdo {
namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Runs to the closing quote; a doubled closing quote stands for one inside.
qsizetype quotedEnd(const QString &s, qsizetype open, QChar close)
{
    qsizetype i = open + 1;
    while (i < s.size()) {
        if (s[i] == close) {
            if (i + 1 < s.size() && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

} // namespace

std::vector<TsqlToken> tokenizeTsql(const QString &s)
{
    std::vector<TsqlToken> tokens;
    tokens.reserve(static_cast<size_t>(s.size() / 3));
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto at = [&](qsizetype k) { return k < n ? s[k] : QChar(); };
    while (i < n) {
        const QChar c = s[i];
        qsizetype end = i + 1;
        TsqlToken::Kind kind = TsqlToken::Operator;
        if (c.isSpace()) {
            kind = TsqlToken::Blank;
            while (end < n && s[end].isSpace())
                ++end;
        } else if (c == u'-' && at(i + 1) == u'-') {
            kind = TsqlToken::Comment;
            while (end < n && s[end] != u'\n')
                ++end;
        } else if (c == u'/' && at(i + 1) == u'*') {
            kind = TsqlToken::Comment;
            const qsizetype close = s.indexOf(QLatin1String("*/"), i + 2);
            end = close < 0 ? n : close + 2;
        } else if (c == u'\'') {
            kind = TsqlToken::String;
            end = quotedEnd(s, i, u'\'');
        } else if ((c == u'N' || c == u'n') && at(i + 1) == u'\'') {
            kind = TsqlToken::String;
            end = quotedEnd(s, i + 1, u'\'');
        } else if (c == u'[') {
            kind = TsqlToken::Word;
            end = quotedEnd(s, i, u']');
        } else if (c == u'"') {
            kind = TsqlToken::Word;
            end = quotedEnd(s, i, u'"');
        } else if (isWordStart(c)) {
            kind = TsqlToken::Word;
            while (end < n && isWordChar(s[end]))
                ++end;
        } else if (c.isDigit() || (c == u'.' && at(i + 1).isDigit())) {
            kind = TsqlToken::Number;
            end = i;
            while (end < n && s[end].isDigit())
                ++end;
            if (at(end) == u'.') {
                ++end;
                while (end < n && s[end].isDigit())
                    ++end;
            }
            if ((at(end) == u'e' || at(end) == u'E')
                && (at(end + 1).isDigit()
                    || ((at(end + 1) == u'+' || at(end + 1) == u'-') && at(end + 2).isDigit()))) {
                end += 2;
                while (end < n && s[end].isDigit())
                    ++end;
            }
        } else if (c == u'(' || c == u')' || c == u',' || c == u'.' || c == u';') {
            kind = TsqlToken::Punctuation;
        } else {
            static constexpr std::array<std::u16string_view, 7> twoChar = {u"<=", u">=", u"<>", u"!=",
                                                                           u"!<", u"!>", u"||"};
            const QStringView pair = QStringView(s).mid(i, 2);
            if (std::any_of(twoChar.begin(), twoChar.end(), [&](std::u16string_view op) { return pair == op; }))
                end = i + 2;
        }
        tokens.push_back({kind, QStringView(s).mid(i, end - i), i});
        i = end;
    }
    return tokens;
}

namespace {

// The statement seen without blanks and comments, with its parentheses paired.
class Statement {
public:
    explicit Statement(const QString &tsql) : source(tsql), raw(tokenizeTsql(source))
    {
        for (size_t i = 0; i < raw.size(); ++i)
            if (raw[i].kind != TsqlToken::Blank && raw[i].kind != TsqlToken::Comment)
                sig.push_back(i);
        partner.assign(sig.size(), npos);
        std::vector<size_t> open;
        for (size_t k = 0; k < sig.size(); ++k) {
            if (isPunct(k, u'('))
                open.push_back(k);
            else if (isPunct(k, u')') && !open.empty()) {
                partner[open.back()] = k;
                partner[k] = open.back();
                open.pop_back();
            }
        }
    }

    static constexpr size_t npos = static_cast<size_t>(-1);

    QString source;
    std::vector<TsqlToken> raw;
    std::vector<size_t> sig;     // indices into raw of the significant tokens
    std::vector<size_t> partner; // per significant token: its paired parenthesis

    size_t size() const { return sig.size(); }
    const TsqlToken &tok(size_t k) const { return raw[sig[k]]; }
    bool isPunct(size_t k, QChar c) const
    {
        return k < sig.size() && tok(k).kind == TsqlToken::Punctuation && tok(k).text.front() == c;
    }
    // A plain (not bracketed or quoted) word, letter case ignored.
    bool isWord(size_t k, QStringView word) const
    {
        return k < sig.size() && tok(k).kind == TsqlToken::Word
               && tok(k).text.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isPlainWord(size_t k) const
    {
        return k < sig.size() && tok(k).kind == TsqlToken::Word && tok(k).text.front() != u'['
               && tok(k).text.front() != u'"';
    }
    QString lowerWord(size_t k) const { return isPlainWord(k) ? tok(k).text.toString().toLower() : QString(); }
    // Index after the group opened at k (the whole rest when it is not closed).
    size_t afterGroup(size_t k) const { return partner[k] == npos ? sig.size() : partner[k] + 1; }
};

const QSet<QString> &keywords()
{
    static const QSet<QString> words = {
        u"select"_qs, u"from"_qs,   u"where"_qs,  u"and"_qs,      u"or"_qs,     u"not"_qs,   u"like"_qs,
        u"as"_qs,     u"on"_qs,     u"join"_qs,   u"inner"_qs,    u"outer"_qs,  u"cross"_qs, u"full"_qs,
        u"by"_qs,     u"order"_qs,  u"group"_qs,  u"having"_qs,   u"union"_qs,  u"all"_qs,   u"except"_qs,
        u"intersect"_qs, u"in"_qs,  u"is"_qs,     u"between"_qs,  u"when"_qs,   u"then"_qs,  u"else"_qs,
        u"case"_qs,   u"end"_qs,    u"distinct"_qs, u"top"_qs,    u"into"_qs,   u"values"_qs, u"set"_qs,
        u"exists"_qs, u"escape"_qs, u"asc"_qs,    u"desc"_qs,     u"some"_qs,   u"any"_qs};
    return words;
}

// Functions whose result is text whatever their arguments.
const QSet<QString> &textFunctions()
{
    static const QSet<QString> names = {u"rtrim"_qs,   u"ltrim"_qs, u"trim"_qs,  u"upper"_qs,
                                        u"lower"_qs,   u"left"_qs,  u"right"_qs, u"substring"_qs,
                                        u"replace"_qs, u"replicate"_qs, u"space"_qs, u"char"_qs,
                                        u"nchar"_qs,   u"str"_qs,   u"concat"_qs, u"format"_qs};
    return names;
}

bool isCompoundWord(const Statement &st, size_t k)
{
    return st.isWord(k, u"union") || st.isWord(k, u"except") || st.isWord(k, u"intersect");
}

class Translator {
public:
    Translator(const QString &tsql, const TranslationOptions &options)
        : st(tsql), options(options), text(st.raw.size()), before(st.raw.size()), after(st.raw.size())
    {
        for (size_t i = 0; i < st.raw.size(); ++i)
            text[i] = st.raw[i].text.toString();
    }

    QString run()
    {
        for (size_t k = 0; k < st.size(); ++k) {
            if (st.isWord(k, u"select"))
                rewriteTop(k);
            else if (st.tok(k).kind != TsqlToken::Operator)
                rewriteWord(k);
            else if (st.tok(k).text == u"+" && isBinary(k) && exprIsText(regionStart(k), regionEnd(k)))
                text[st.sig[k]] = u"||"_qs;
        }
        QString out;
        for (size_t i = 0; i < st.raw.size(); ++i)
            out += before[i] + text[i] + after[i];
        return out;
    }

private:
    void rewriteWord(size_t k)
    {
        const TsqlToken &t = st.tok(k);
        if (t.kind == TsqlToken::String && t.text.front() != u'\'') {
            text[st.sig[k]] = t.text.mid(1).toString(); // SQLite knows no N'' prefix; the content is kept
            return;
        }
        const QString word = st.lowerWord(k);
        if (word.isEmpty())
            return;
        const bool qualified = k > 0 && st.isPunct(k - 1, u'.');
        const bool called = st.isPunct(k + 1, u'(');
        if (word == u"isnull" && called && !qualified) {
            text[st.sig[k]] = u"ifnull"_qs;
        } else if ((word == u"true" || word == u"false") && !called && !qualified && !st.isPunct(k + 1, u'.')
                   && !(k > 0 && st.isWord(k - 1, u"as"))) {
            // SQL Server has no boolean literal; the control writes the word
            // where a condition stands, meaning "always".
            text[st.sig[k]] = word == u"true" ? u"1"_qs : u"0"_qs;
        }
    }

    // Select [Distinct|All] Top n / Top (expr): SQLite limits with LIMIT after
    // the select, Order By included (SQL Server also takes the top rows after
    // ordering).
    void rewriteTop(size_t selectAt)
    {
        size_t k = selectAt + 1;
        if ((st.isWord(k, u"distinct") || st.isWord(k, u"all")) && st.isWord(k + 1, u"top"))
            ++k;
        if (!st.isWord(k, u"top"))
            return;
        QString limit;
        size_t afterLimit;
        if (k + 1 < st.size() && st.tok(k + 1).kind == TsqlToken::Number) {
            limit = st.tok(k + 1).text.toString();
            afterLimit = k + 2;
        } else if (st.isPunct(k + 1, u'(') && st.partner[k + 1] != Statement::npos) {
            afterLimit = st.partner[k + 1] + 1;
            for (size_t r = st.sig[k + 1]; r <= st.sig[afterLimit - 1]; ++r)
                limit += st.raw[r].text;
        } else {
            return;
        }
        // Top n Percent and With Ties have no LIMIT counterpart: left for SQLite
        // to reject rather than run with another meaning.
        if (st.isWord(afterLimit, u"percent") || st.isWord(afterLimit, u"with"))
            return;
        const size_t removeEnd = afterLimit < st.size() ? st.sig[afterLimit] : st.raw.size();
        for (size_t r = st.sig[k]; r < removeEnd; ++r)
            text[r].clear();

        size_t end = selectAt + 1;
        while (end < st.size()) {
            // An unclosed '(' is stepped over, so that the ';' ending the
            // statement still ends the select: nothing goes after it.
            if (st.isPunct(end, u'(') && st.partner[end] != Statement::npos)
                end = st.afterGroup(end);
            else if (st.isPunct(end, u')') || st.isPunct(end, u';') || isCompoundWord(st, end))
                break;
            else
                ++end;
        }
        const bool followedByBranch = end < st.size() && isCompoundWord(st, end);
        const bool afterBranch = selectAt > 0
                                 && (isCompoundWord(st, selectAt - 1)
                                     || (st.isWord(selectAt - 1, u"all") && isCompoundWord(st, selectAt - 2)));
        if (!followedByBranch && !afterBranch) {
            after[st.sig[end - 1]] += u" LIMIT "_qs + limit;
            return;
        }
        // One branch of a compound select: SQLite allows LIMIT only at the end
        // of the whole compound, so the branch becomes a sub-select of its own.
        // An Order By after the last branch sorts the compound, not the branch.
        if (!followedByBranch) {
            for (size_t o = selectAt + 1; o + 1 < end; ++o) {
                if (st.isPunct(o, u'(')) {
                    o = st.afterGroup(o) - 1;
                    continue;
                }
                if (st.isWord(o, u"order") && st.isWord(o + 1, u"by")) {
                    end = o;
                    break;
                }
            }
        }
        before[st.sig[selectAt]] += u"SELECT * FROM ("_qs;
        after[st.sig[end - 1]] += u" LIMIT "_qs + limit + u")"_qs;
    }

    bool endsOperand(size_t k) const
    {
        const TsqlToken &t = st.tok(k);
        switch (t.kind) {
        case TsqlToken::String:
        case TsqlToken::Number:
            return true;
        case TsqlToken::Word:
            return !keywords().contains(st.lowerWord(k)) || st.isWord(k, u"end");
        case TsqlToken::Punctuation:
            return t.text == u")";
        default:
            return false;
        }
    }

    bool isBinary(size_t k) const { return k > 0 && endsOperand(k - 1); }

    // Where an additive expression stops: a keyword, a comparison, a comma, a
    // semicolon or the enclosing parenthesis.
    bool isBoundary(size_t k) const
    {
        const TsqlToken &t = st.tok(k);
        if (t.kind == TsqlToken::Punctuation)
            return t.text == u"," || t.text == u";";
        if (t.kind == TsqlToken::Operator) {
            static const QSet<QString> comparisons = {u"="_qs, u"<"_qs, u">"_qs, u"<="_qs, u">="_qs,
                                                      u"<>"_qs, u"!="_qs, u"!<"_qs, u"!>"_qs};
            return comparisons.contains(t.text.toString());
        }
        return t.kind == TsqlToken::Word && keywords().contains(st.lowerWord(k)) && !st.isWord(k, u"end");
    }

    size_t regionStart(size_t plus) const
    {
        size_t k = plus;
        while (k > 0) {
            const size_t p = k - 1;
            if (st.isPunct(p, u')') && st.partner[p] != Statement::npos) {
                k = st.partner[p];
                continue;
            }
            if (st.isPunct(p, u'(') || st.isPunct(p, u')') || isBoundary(p))
                break;
            k = p;
        }
        return k;
    }

    size_t regionEnd(size_t plus) const
    {
        size_t k = plus + 1;
        while (k < st.size()) {
            if (st.isPunct(k, u'('))
                k = st.afterGroup(k);
            else if (st.isPunct(k, u')') || isBoundary(k))
                break;
            else
                ++k;
        }
        return k;
    }

    // Splits [b, e) at the given separator outside parentheses.
    std::vector<std::pair<size_t, size_t>> split(size_t b, size_t e, QStringView separator) const
    {
        std::vector<std::pair<size_t, size_t>> parts;
        size_t from = b;
        for (size_t k = b; k < e;) {
            if (st.isPunct(k, u'(')) {
                k = std::min(st.afterGroup(k), e);
                continue;
            }
            if (st.tok(k).text == separator && st.tok(k).kind != TsqlToken::String) {
                parts.emplace_back(from, k);
                from = k + 1;
            }
            ++k;
        }
        parts.emplace_back(from, e);
        return parts;
    }

    bool exprIsText(size_t b, size_t e) const
    {
        const auto parts = split(b, e, u"+");
        return std::any_of(parts.begin(), parts.end(), [&](const auto &p) { return operandIsText(p.first, p.second); });
    }

    bool operandIsText(size_t b, size_t e) const
    {
        if (b >= e)
            return false;
        const TsqlToken &first = st.tok(b);
        if (e - b == 1) {
            if (first.kind == TsqlToken::String)
                return true;
            return first.kind == TsqlToken::Word && !keywords().contains(st.lowerWord(b)) && isTextColumn(b);
        }
        // table.column, schema.table.column
        bool dotted = (e - b) % 2 == 1;
        for (size_t k = b; dotted && k < e; ++k)
            dotted = (k - b) % 2 == 0 ? st.tok(k).kind == TsqlToken::Word : st.isPunct(k, u'.');
        if (dotted)
            return isTextColumn(e - 1);
        if (st.isPunct(b, u'(') && st.partner[b] == e - 1)
            return exprIsText(b + 1, e - 1);
        if (st.isPlainWord(b) && st.isPunct(b + 1, u'(') && st.partner[b + 1] == e - 1) {
            const QString name = st.lowerWord(b);
            if (textFunctions().contains(name))
                return true;
            if (name == u"isnull" || name == u"coalesce" || name == u"ifnull") {
                const auto args = split(b + 2, e - 1, u",");
                return std::any_of(args.begin(), args.end(), [&](const auto &a) { return exprIsText(a.first, a.second); });
            }
        }
        return false;
    }

    bool isTextColumn(size_t k) const
    {
        if (!options.isTextColumn)
            return false;
        QString name = st.tok(k).text.toString();
        if (name.startsWith(u'[') || name.startsWith(u'"'))
            name = name.mid(1, name.size() - 2);
        return options.isTextColumn(name);
    }

    Statement st;
    const TranslationOptions &options;
    std::vector<QString> text, before, after; // per raw token
};

} // namespace

bool holdsSeveralStatements(const QString &tsql)
{
    // Asked of every statement the control runs, which hardly ever holds a
    // semicolon at all: only then is it read token by token.
    if (!tsql.contains(u';'))
        return false;
    const Statement st(tsql);
    for (size_t k = 0; k + 1 < st.size(); ++k)
        if (st.isPunct(k, u';'))
            return true;
    return false;
}

TranslationOptions textColumns(const QStringList &columns)
{
    QSet<QString> names;
    for (const QString &c : columns)
        names.insert(c.toCaseFolded());
    return {[names](QStringView column) { return names.contains(column.toString().toCaseFolded()); }};
}

QString translateForSqlite(const QString &tsql, const TranslationOptions &options)
{
    // A statement with an unclosed literal cannot be read whole: a rewrite
    // that moves part of it (a Top group) would move the quote too, changing
    // a literal or letting a ';' out of it. It goes to the engine as written,
    // which refuses it in its own words. A closed literal holds an even
    // number of quotes ('' stands for one inside it).
    for (const TsqlToken &token : tokenizeTsql(tsql))
        if (token.kind == TsqlToken::String && token.text.count(u'\'') % 2 != 0)
            return tsql;
    return Translator(tsql, options).run();
}

} // namespace rdo
