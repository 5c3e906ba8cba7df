#include "platform/rdo/tsql/tsql_translator.h"

#include "platform/rdo/tsql/sqlserver_text.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace rdo {
namespace {

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

bool isCompoundWord(const TokenView &st, size_t k)
{
    return st.isWord(k, u"union") || st.isWord(k, u"except") || st.isWord(k, u"intersect");
}

enum class Dialect { Sqlite, Postgres };

// PostgreSQL compares text by its bytes and its LIKE knows neither SQL Server's
// letter case nor its [sets]. Text compared or sorted is turned into SQL
// Server's sort key: without trailing blanks, composed, lowered over all of
// Unicode (the ICU root locale lowers every letter, whatever the server's own
// locale), then ordered by code point, as the embedded back end orders it.
// Ignoring accents, the lowered text is decomposed, its combining marks
// U+0300 to U+036F dropped (a letter's accents and a mark written apart alike)
// and the rest composed again, as the embedded back end folds it. Every
// function used is immutable, so that data/postgresql/indexes.sql can index
// each expression the statements hold, character for character. A server
// that has that script's functions folds columns through them: the same text,
// ASCII lowered without composing it or asking ICU. A literal stays folded as
// written: the server folds it once as it plans, where each call of a
// function is one more to write out (an exact code's statement holds fifty).
struct ServerText {
    // What goes before and after a folded operand.
    struct Fold {
        QString open, close;
    };

    ServerText(TextCollation collation, bool serverFolds) : collation(collation)
    {
        const bool accentsIgnored = collation == TextCollation::AccentInsensitive;
        written = {u"lower(normalize("_qs, u", NFC) COLLATE \"und-x-icu\") COLLATE \"C\""_qs};
        if (accentsIgnored) {
            written.open.prepend(u"normalize(regexp_replace(normalize("_qs);
            written.close += u", NFD), '[\\u0300-\\u036f]', '', 'g'), NFC) COLLATE \"C\""_qs;
        }
        // A function's text takes the database's default collation: its
        // order, and its indexes', are the code points' only under "C".
        columns = serverFolds ? Fold{accentsIgnored ? u"(TextoPlegadoSinAcentos("_qs : u"(TextoPlegado("_qs,
                                     u") COLLATE \"C\")"_qs}
                              : written;
    }
    // A LIKE operand keeps its trailing blanks, as SQL Server's LIKE does.
    const Fold &fold(bool literal) const { return literal ? written : columns; }
    // A key for '=', '<', Order By: without trailing blanks.
    Fold key(bool literal) const { return {fold(literal).open + u"rtrim("_qs, u')' + fold(literal).close}; }
    // A LIKE pattern read from a column becomes a SIMILAR TO pattern, which
    // reads '%', '_' and [sets] as LIKE does: what SIMILAR TO alone treats as
    // an operator is escaped, and so is a '[' that no ']' closes, which LIKE
    // reads as itself.
    Fold pattern() const
    {
        return {columns.open + u"regexp_replace(regexp_replace("_qs,
                u", '([\\\\|*+?{}()])', '\\\\\\1', 'g'), '\\[(?![^]]*\\])', '\\\\[', 'g')"_qs + columns.close};
    }
    TextCollation collation;

private:
    Fold written, columns;
};

// Rewrites a statement whose literals and quoted names are all closed (see
// translate, which leaves the others as written).
class Translator {
public:
    Translator(const TokenView &view, const TranslationOptions &options, Dialect dialect)
        : st(view), options(options), dialect(dialect), server(options.collation, options.serverFolds),
          text(st.all().size()), before(st.all().size()), after(st.all().size())
    {
        for (size_t i = 0; i < st.all().size(); ++i)
            text[i] = st.all()[i].text.toString();
    }

    QString run()
    {
        for (size_t k = 0; k < st.size(); ++k) {
            if (st.isWord(k, u"select"))
                rewriteTop(k);
            else if (st.at(k).kind != TsqlToken::Operator)
                rewriteWord(k);
            else if (st.at(k).text == u"+" && isBinary(k) && exprIsText(regionStart(k), regionEnd(k)))
                text[st.indexInAll(k)] = u"||"_qs;
            if (dialect == Dialect::Postgres)
                compareAsTheServer(k);
        }
        if (dialect == Dialect::Postgres) {
            orderAsTheServer();
            typeNullsOfBranches();
        }
        QString out;
        for (size_t i = 0; i < st.all().size(); ++i)
            out += before[i] + text[i] + after[i];
        return out;
    }

private:
    void rewriteWord(size_t k)
    {
        const TsqlToken &t = st.at(k);
        if (t.kind == TsqlToken::String && t.text.front() != u'\'') {
            text[st.indexInAll(k)] = t.text.mid(1).toString(); // SQLite knows no N'' prefix; the content is kept
            return;
        }
        const QString word = st.lowerWord(k);
        if (word.isEmpty())
            return;
        const bool qualified = k > 0 && st.isPunct(k - 1, u'.');
        const bool called = st.isPunct(k + 1, u'(');
        if (word == u"isnull" && called && !qualified) {
            text[st.indexInAll(k)] = dialect == Dialect::Postgres ? u"coalesce"_qs : u"ifnull"_qs;
        } else if (dialect == Dialect::Sqlite && (word == u"true" || word == u"false") && !called && !qualified && !st.isPunct(k + 1, u'.')
                   && !(k > 0 && st.isWord(k - 1, u"as"))) {
            // SQL Server has no boolean literal; the control writes the word
            // where a condition stands, meaning "always".
            text[st.indexInAll(k)] = word == u"true" ? u"1"_qs : u"0"_qs;
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
        if (k + 1 < st.size() && st.at(k + 1).kind == TsqlToken::Number) {
            limit = st.at(k + 1).text.toString();
            afterLimit = k + 2;
        } else if (st.isPunct(k + 1, u'(') && st.partner(k + 1) != TokenView::npos) {
            afterLimit = st.partner(k + 1) + 1;
            for (size_t r = st.indexInAll(k + 1); r <= st.indexInAll(afterLimit - 1); ++r)
                limit += st.all()[r].text;
        } else {
            return;
        }
        // Top n Percent and With Ties have no LIMIT counterpart: left for SQLite
        // to reject rather than run with another meaning.
        if (st.isWord(afterLimit, u"percent") || st.isWord(afterLimit, u"with"))
            return;
        const size_t removeEnd = afterLimit < st.size() ? st.indexInAll(afterLimit) : st.all().size();
        for (size_t r = st.indexInAll(k); r < removeEnd; ++r)
            text[r].clear();

        size_t end = selectAt + 1;
        while (end < st.size()) {
            // An unclosed '(' is stepped over, so that the ';' ending the
            // statement still ends the select: nothing goes after it.
            if (st.isPunct(end, u'(') && st.partner(end) != TokenView::npos)
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
            after[st.indexInAll(end - 1)] += u" LIMIT "_qs + limit;
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
        before[st.indexInAll(selectAt)] += u"SELECT * FROM ("_qs;
        // PostgreSQL wants a name for every sub-select.
        after[st.indexInAll(end - 1)] += u" LIMIT "_qs + limit + (dialect == Dialect::Postgres ? u") AS vok_top"_qs : u")"_qs);
    }

    // Puts fold's open before the tokens [b, e) and its close after them,
    // inside what earlier rewrites put around the same tokens.
    void surround(size_t b, size_t e, const ServerText::Fold &fold)
    {
        before[st.indexInAll(b)] += fold.open;
        after[st.indexInAll(e - 1)].prepend(fold.close);
    }
    // Whether the tokens [b, e) are one string literal.
    bool isLiteral(size_t b, size_t e) const { return e == b + 1 && st.at(b).kind == TsqlToken::String; }

    // LIKE and comparisons of text, with SQL Server's letter case and blanks.
    void compareAsTheServer(size_t k)
    {
        const TsqlToken &t = st.at(k);
        if (st.isWord(k, u"like")) {
            const size_t leftEnd = k > 0 && st.isWord(k - 1, u"not") ? k - 1 : k;
            const size_t b = regionStart(leftEnd), e = regionEnd(k);
            if (b >= leftEnd || k + 1 >= e)
                return;
            surround(b, leftEnd, server.fold(isLiteral(b, leftEnd)));
            const TsqlToken &pattern = st.at(k + 1);
            if (e == k + 2 && pattern.kind == TsqlToken::String) {
                const QStringView quoted = pattern.text.mid(pattern.text.indexOf(u'\'') + 1).chopped(1);
                const QString value = quoted.toString().replace(u"''"_qs, u"'"_qs);
                // A written pattern without [sets] stays a LIKE: the server
                // weighs a trigram index for it in less time than for a
                // regular expression, a fifth of an exact code's planning.
                if (const auto like = sqlServerLikeWithoutSets(value, server.collation)) {
                    text[st.indexInAll(k + 1)] = textLiteral(*like);
                    return;
                }
                // Any other becomes the regular expression of its meaning,
                // whatever its sets hold.
                text[st.indexInAll(k)] = leftEnd < k ? u"!~"_qs : u"~"_qs;
                if (leftEnd < k)
                    text[st.indexInAll(leftEnd)].clear();
                text[st.indexInAll(k + 1)] = textLiteral(sqlServerLikeAsRegex(value, server.collation));
                return;
            }
            text[st.indexInAll(k)] = u"SIMILAR TO"_qs;
            surround(k + 1, e, server.pattern());
            if (leftEnd == k && b + 1 == k && st.at(b).kind == TsqlToken::String && e == k + 2)
                matchPatternsByTheirBeginning(b, k + 1);
            return;
        }
        static const QSet<QString> comparisons = {u"="_qs, u"<"_qs, u">"_qs, u"<="_qs, u">="_qs, u"<>"_qs, u"!="_qs};
        if (t.kind != TsqlToken::Operator || !comparisons.contains(t.text.toString()))
            return;
        const size_t b = regionStart(k), e = regionEnd(k);
        if (b >= k || k + 1 >= e || !(exprIsText(b, k) || exprIsText(k + 1, e)))
            return;
        surround(b, k, server.key(isLiteral(b, k)));
        surround(k + 1, e, server.key(isLiteral(k + 1, e)));
    }

    // A written text Like the patterns of a column (scanned bar codes Like
    // ACBCodigo): a pattern can only match if what it holds before its first
    // wildcard begins the text. Saying so lets the server find the patterns
    // by that beginning, on an index of it (data/postgresql/indexes.sql),
    // before matching each.
    void matchPatternsByTheirBeginning(size_t literal, size_t column)
    {
        const ServerText::Fold &literalFold = server.fold(true), &columnFold = server.fold(false);
        const QString folded = literalFold.open + text[st.indexInAll(literal)] + literalFold.close;
        QStringList beginnings;
        // The literal's length quotes included: more than its folded text has.
        const qsizetype length = st.at(literal).text.size();
        for (qsizetype n = 0; n <= length; ++n)
            beginnings.append(u"left("_qs + folded + u", "_qs + QString::number(n) + u')');
        before[st.indexInAll(literal)].prepend(u'(');
        after[st.indexInAll(column)] += u" AND substring("_qs + columnFold.open + text[st.indexInAll(column)] +
                                        columnFold.close + u" from '^[^%_[]*') IN ("_qs + beginnings.join(u", "_qs) +
                                        u"))"_qs;
    }

    // The statement's own Order By: text terms sorted by the server's key,
    // Nulls first as SQL Server has them. PostgreSQL sorts a compound select,
    // or a Distinct one, by its result's columns only, and reads an output
    // name only as a whole term: then the select is wrapped as a sub-select
    // whose rows are sorted.
    void orderAsTheServer()
    {
        size_t by = TokenView::npos;
        for (size_t k = 0; k + 1 < st.size(); ++k)
            if (st.depth(k) == 0 && st.isWord(k, u"order") && st.isWord(k + 1, u"by"))
                by = k + 1;
        if (by == TokenView::npos)
            return;
        size_t end = st.find(by + 1, st.size(), 0, [&](size_t k) { return st.isPunct(k, u';'); });
        bool wrap = st.isWord(1, u"distinct") || st.find(0, by, 0, [&](size_t k) { return isCompoundWord(st, k); }) < by;
        const auto outputs = outputNames();
        struct Term {
            size_t b, e, last;
            bool text, descending;
        };
        std::vector<Term> terms;
        for (const auto &[b, e] : split(by + 1, end, u",")) {
            if (b >= e)
                return;
            Term term{b, e, e - 1, false, st.isWord(e - 1, u"desc")};
            if (term.descending || st.isWord(e - 1, u"asc"))
                --term.e;
            if (term.b >= term.e)
                return;
            term.text = exprIsText(term.b, term.e);
            if (term.e - term.b == 1 && st.at(term.b).kind == TsqlToken::Word) {
                if (const auto found = outputs.find(st.lowerWord(term.b)); found != outputs.end() && !term.text) {
                    term.text = found->second;
                    wrap = wrap || term.text;
                }
            }
            terms.push_back(term);
        }
        for (const Term &term : terms) {
            // Before what follows the last term (a Top's LIMIT), after the key.
            after[st.indexInAll(term.last)].prepend(term.descending ? u" NULLS LAST"_qs : u" NULLS FIRST"_qs);
            if (term.text)
                surround(term.b, term.e, server.key(isLiteral(term.b, term.e)));
        }
        if (wrap) {
            before[st.indexInAll(0)].prepend(u"SELECT * FROM ("_qs);
            after[st.indexInAll(by - 2)] += u") AS vok_rows"_qs;
        }
    }

    // The items of the select list of the select at k.
    std::vector<std::pair<size_t, size_t>> selectList(size_t k) const
    {
        size_t b = k + 1;
        if (st.isWord(b, u"distinct") || st.isWord(b, u"all"))
            ++b;
        if (st.isWord(b, u"top"))
            b = st.isPunct(b + 1, u'(') ? st.afterGroup(b + 1) : b + 2;
        if (st.isWord(b, u"percent"))
            ++b;
        const size_t e = st.find(b, st.size(), st.depth(k), [&](size_t i) {
            return st.isWord(i, u"from") || isCompoundWord(st, i) || st.isPunct(i, u')') || st.isPunct(i, u';');
        });
        return split(b, e, u",");
    }

    // An item's expression without its "As name".
    std::pair<size_t, size_t> withoutAlias(std::pair<size_t, size_t> item) const
    {
        if (item.second >= item.first + 3 && st.isWord(item.second - 2, u"as"))
            item.second -= 2;
        return item;
    }

    void typeNullsOfBranches()
    {
        if (!options.columnType)
            return;
        std::vector<std::vector<std::pair<size_t, size_t>>> lists;
        for (size_t k = 0; k < st.size(); ++k)
            if (st.depth(k) == 0 && st.isWord(k, u"select"))
                lists.push_back(selectList(k));
        if (lists.size() < 2)
            return;
        for (size_t i = 0; i < lists.front().size(); ++i) {
            QString type;
            for (const auto &list : lists) {
                if (i >= list.size() || !type.isEmpty())
                    continue;
                const auto [b, e] = withoutAlias(list[i]);
                if (b < e && st.at(e - 1).kind == TsqlToken::Word && (e - b == 1 || st.isPunct(e - 2, u'.')) &&
                    !st.isWord(e - 1, u"null")) {
                    QString name = st.at(e - 1).text.toString();
                    if (name.startsWith(u'[') || name.startsWith(u'"'))
                        name = name.mid(1, name.size() - 2);
                    type = options.columnType(name);
                }
            }
            if (type.isEmpty())
                continue;
            for (const auto &list : lists) {
                if (i >= list.size())
                    continue;
                const auto [b, e] = withoutAlias(list[i]);
                if (e == b + 1 && st.isWord(b, u"null"))
                    text[st.indexInAll(b)] = u"CAST(NULL AS "_qs + type + u')';
            }
        }
    }

    // The names of the first select's columns given with As, and whether each
    // is text.
    std::map<QString, bool> outputNames() const
    {
        std::map<QString, bool> names;
        const size_t from = st.find(1, st.size(), 0, [&](size_t k) { return st.isWord(k, u"from"); });
        if (!st.isWord(0, u"select"))
            return names;
        for (const auto &[b, e] : split(1, from, u",")) {
            if (e >= b + 3 && st.isWord(e - 2, u"as") && st.at(e - 1).kind == TsqlToken::Word)
                names.emplace(st.lowerWord(e - 1), exprIsText(b, e - 2));
        }
        return names;
    }

    bool endsOperand(size_t k) const
    {
        const TsqlToken &t = st.at(k);
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
        const TsqlToken &t = st.at(k);
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
            if (st.isPunct(p, u')') && st.partner(p) != TokenView::npos) {
                k = st.partner(p);
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
            if (st.at(k).text == separator && st.at(k).kind != TsqlToken::String) {
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
        const TsqlToken &first = st.at(b);
        if (e - b == 1) {
            if (first.kind == TsqlToken::String)
                return true;
            return first.kind == TsqlToken::Word && !keywords().contains(st.lowerWord(b)) && isTextColumn(b);
        }
        // table.column, schema.table.column
        bool dotted = (e - b) % 2 == 1;
        for (size_t k = b; dotted && k < e; ++k)
            dotted = (k - b) % 2 == 0 ? st.at(k).kind == TsqlToken::Word : st.isPunct(k, u'.');
        if (dotted)
            return isTextColumn(e - 1);
        if (st.isPunct(b, u'(') && st.partner(b) == e - 1)
            return exprIsText(b + 1, e - 1);
        if (st.isPlainWord(b) && st.isPunct(b + 1, u'(') && st.partner(b + 1) == e - 1) {
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
        QString name = st.at(k).text.toString();
        if (name.startsWith(u'[') || name.startsWith(u'"'))
            name = name.mid(1, name.size() - 2);
        return options.isTextColumn(name);
    }

    const TokenView &st;
    const TranslationOptions &options;
    const Dialect dialect;
    const ServerText server;
    std::vector<QString> text, before, after; // per raw token
};

} // namespace

bool holdsSeveralStatements(const QString &tsql)
{
    // Asked of every statement the control runs, which hardly ever holds a
    // semicolon at all: only then is it read token by token.
    if (!tsql.contains(u';'))
        return false;
    const TokenView st(tsql);
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

namespace {

// Whether a literal or a quoted name runs unclosed to the end of the text. A
// closed literal holds an even number of quotes ('' stands for one inside
// it), so does a closed "name"; a closed [name] an odd number of ] (]] stands
// for one inside it).
bool unclosed(const TsqlToken &token)
{
    if (token.kind == TsqlToken::String)
        return token.text.count(u'\'') % 2 != 0;
    if (token.kind == TsqlToken::Word && token.text.startsWith(u'"'))
        return token.text.count(u'"') % 2 != 0;
    if (token.kind == TsqlToken::Word && token.text.startsWith(u'['))
        return token.text.count(u']') % 2 == 0;
    return false;
}

QString translate(const QString &tsql, const TranslationOptions &options, Dialect dialect)
{
    // A statement with an unclosed literal or name cannot be read whole: a
    // rewrite that moves part of it (a Top group) would move a quote too,
    // changing a literal or letting a ';' out of one. It goes to the engine
    // as written, which refuses it in its own words.
    const TokenView view(tsql);
    if (std::any_of(view.all().begin(), view.all().end(), unclosed))
        return tsql;
    return Translator(view, options, dialect).run();
}

} // namespace

QString translateForSqlite(const QString &tsql, const TranslationOptions &options)
{
    return translate(tsql, options, Dialect::Sqlite);
}

QString translateForPostgres(const QString &tsql, const TranslationOptions &options)
{
    return translate(tsql, options, Dialect::Postgres);
}

} // namespace rdo
