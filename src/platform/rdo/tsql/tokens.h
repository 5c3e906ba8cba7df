#pragma once
// The one reading of statement text into tokens, shared by the translator, the
// embedded engine's statement cache and the lookup plans. It knows SQL's
// lexical rules and no statement of the shop.

#include <QString>

#include <optional>
#include <vector>

namespace rdo {

struct TsqlToken {
    enum Kind {
        Blank,      // spaces, tabs, line ends
        Comment,    // -- to the end of the line, or /* ... */
        Word,       // identifier or keyword, also [bracketed] and "quoted" names
        Number,     // 12, 3.5, .5, 1e3
        String,     // '...' with '' for a quote inside, also N'...'
        Operator,   // + - * / % = < > <= >= <> != || and the like
        Punctuation // ( ) , . ;
    };
    Kind kind;
    QStringView text;   // within the statement text, which must outlive it
    qsizetype position; // offset in the statement text
};

// Whose text is read. SQL Server's: words may hold @ # $, numbers stand apart,
// N'...' is one literal and ]] inside [brackets] stands for one ]. The text
// the embedded engine prepares: words are letters, digits and _ only, a
// [bracketed] name ends at its first ], and `backquoted` names are names.
enum class TokenRules { TransactSql, Sqlite };

// Splits statement text into tokens; joining the token texts gives the input
// back exactly. An unterminated string literal or comment runs to the end.
// The tokens view the text: it must outlive them.
std::vector<TsqlToken> tokenizeTsql(const QString &tsql, TokenRules rules = TokenRules::TransactSql);
std::vector<TsqlToken> tokenizeTsql(QString &&, TokenRules = TokenRules::TransactSql) = delete;

// A word as written, not a [bracketed], "quoted" or `backquoted` name.
bool isPlainWord(const TsqlToken &token);
bool isWord(const TsqlToken &token, QStringView word); // letter case ignored
bool isPunct(const TsqlToken &token, QChar c);

// The value of a closed '...' literal ('' read as one quote); none for
// anything else, an N'...' literal or one the text's end cut short.
std::optional<QString> literalValue(const TsqlToken &token);
// The '...' literal whose value is value: its quotes doubled.
QString textLiteral(QString value);

// The statement as its significant tokens (no blanks, no comments), indexed
// 0..size()-1, each with its depth of parentheses and its paired parenthesis.
class TokenView {
public:
    explicit TokenView(const QString &text, TokenRules rules = TokenRules::TransactSql);

    static constexpr size_t npos = static_cast<size_t>(-1);

    const QString &source() const { return m_source; }
    // Every token, blanks and comments included.
    const std::vector<TsqlToken> &all() const { return m_all; }

    size_t size() const { return m_significant.size(); }
    const TsqlToken &at(size_t k) const { return m_all[m_significant[k]]; }
    // Where significant token k stands in all().
    size_t indexInAll(size_t k) const { return m_significant[k]; }
    // Parentheses open around token k; a ')' counts at the depth of its '('.
    int depth(size_t k) const { return m_depth[k]; }
    // The paired parenthesis of a '(' or ')' at k, npos when unpaired.
    size_t partner(size_t k) const { return m_partner[k]; }
    // Index after the group opened at k (the whole rest when it is not closed).
    size_t afterGroup(size_t k) const { return m_partner[k] == npos ? size() : m_partner[k] + 1; }

    bool isWord(size_t k, QStringView word) const { return k < size() && rdo::isWord(at(k), word); }
    bool isPlainWord(size_t k) const { return k < size() && rdo::isPlainWord(at(k)); }
    bool isPunct(size_t k, QChar c) const { return k < size() && rdo::isPunct(at(k), c); }
    // A plain word in lower case; empty for any other token.
    QString lowerWord(size_t k) const;

    // The first k in [from, to) at the given depth where the predicate holds.
    template <typename Predicate>
    size_t find(size_t from, size_t to, int level, Predicate &&holds) const
    {
        for (size_t k = from; k < to; ++k)
            if (m_depth[k] == level && holds(k))
                return k;
        return to;
    }

    // The text from significant token from up to to, as written (blanks and
    // comments between them included).
    QString text(size_t from, size_t to) const;

private:
    QString m_source;
    std::vector<TsqlToken> m_all;
    std::vector<size_t> m_significant;
    std::vector<int> m_depth;
    std::vector<size_t> m_partner;
};

} // namespace rdo
