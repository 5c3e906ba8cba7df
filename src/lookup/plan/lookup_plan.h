#pragma once
// A lookup statement as the embedded engine runs it fast: ordered streams the
// engine merges, and each branch's strategy as a value that can be printed.

#include "platform/rdo/sqlite/merged_resultset.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

namespace lookup {

// How one branch of the lookup's compound is read.
enum class Strategy {
    SortedBarCodes,   // the bar codes a scanned code can match: a handful of rows, sorted
    IndexOrder,       // a text that begins with a wildcard or is blank: the whole name index, in order
    NameRange,        // the typed text's range of the name index, the name's own pattern tried there
    NameRangeDecided, // the same, the name's, the other name's and the code's patterns all tried there
    VarietiesByIndex, // articles with varieties over the whole name index
    VarietiesInRange, // articles with varieties in the typed text's range, the branch's terms tried on each
    VarietiesSplit,   // the same, the name's terms on the article and on its varieties' names tried apart
    VarietiesDecided, // the same, and every term of the branch decided there
    SortedKeys,       // a file without our indexes: the articles its own indexes find, tried and sorted by key
};

// How the rows a branch's index range does not give are read.
enum class ApartRows {
    None,       // the range gives them all
    Sorted,     // the branch as written, sorted
    Candidates, // the articles the other terms' index probes find, sorted (or read in the name's order when many)
};

// The choice made for one branch, as data: what a test pins.
struct Choice {
    Strategy strategy = Strategy::SortedBarCodes;
    QString index; // the name index read in order, or empty
    ApartRows apart = ApartRows::None;
};
QString toString(const Choice &choice);

// The parameter a driver over a range of names reads it from. A driver binds
// no other of its own, and the values taken out of its text are bound from ?2
// on (rdo::parametrized).
inline constexpr char kDriverFrom[] = "?1";

// The articles the streams read apart and sort: those whose name, short name
// or code holds a character outside printable ASCII or ends in a blank. For
// every other text NOCASE's order is SQL Server's (both compare code points
// with A to Z lowered), so that the streams read the other articles in the
// order of data/indexes.sql's NOCASE indexes. Written as that script's
// indexes IX_Articulo_*Aparte select them: the engine reads such an index only
// for a condition that holds the index's own, word for word.
// The SQL function ClaveOrden(text): the text's key in SQL Server's order
// (rdo::sqlServerKey), whose bytes order as that collation does. Sorting by it
// computes each row's key once; the collation folds both texts at every
// comparison. Installed on each connection with the lookups' plans.
inline constexpr char kOrderKeyFunction[] = "ClaveOrden";

inline constexpr char kOddArticles[] =
    "ifnull(ArtNombre GLOB '*[^ -~]*' Or substr(ArtNombre, -1) = ' ' Or "
    "ArtNombreCorto GLOB '*[^ -~]*' Or substr(ArtNombreCorto, -1) = ' ' Or "
    "ArtCodigo GLOB '*[^ -~]*' Or substr(ArtCodigo, -1) = ' ', 0)";
// The same test on one of those texts, as read: an article is odd when one
// of its three is. A reading that walks every article tests them here, at a
// tenth of what the engine's GLOB costs on each row.
inline bool isOddText(const std::optional<std::string_view> &text)
{
    return text && ((!text->empty() && text->back() == ' ') ||
                    std::any_of(text->begin(), text->end(), [](char c) { return c < ' ' || c > '~'; }));
}

// The articles whose name and short name begin apart: their first
// kNamesAlikeLength characters differ other than in the case of A to Z. For
// every other article a text of that many characters or fewer begins the one
// name exactly when it begins the other, so that the rows a lookup finds by
// its other name, out of its name's range, are among these: read on the
// indexes IX_Articulo_*Distinto of data/indexes.sql, a handful where most
// shops abbreviate names into short names. Word for word as those indexes
// select them (see kOddArticles).
inline constexpr int kNamesAlikeLength = 4;
inline constexpr char kNamesBeginApart[] =
    "ifnull(substr(ArtNombreCorto, 1, 4) <> substr(ArtNombre, 1, 4) COLLATE NOCASE, 1)";

// A term of a branch's "(col like 'p%' OR ...)" group: column [+ AVaNombre]
// like 'pattern'.
struct GroupTerm {
    QString column;
    bool joined = false; // the column run together with the variety's name
    QString pattern;
};

struct LookupPlan {
    // Rows the statement gives in the list's order.
    struct Sorted {
        QString sql;
    };
    // Rows read article by article in the order of the name that leads the
    // displayed name (which the displayed name always begins with): the
    // driver gives every candidate article in that order, then by code (its
    // identifier, its leading name, whether it has rows at all, its code), and
    // rows gives one article's rows, for the article bound to ?1, with that
    // name as a hidden last column.
    struct Driven {
        QString rows, driver;
        // A driver over a range of names reads it from kDriverFrom, bound to
        // lowest or further on: the stretches of the index that leads with
        // leadingColumn where no article has a text like pattern may be passed
        // over, when every article the driver says has rows has one. An
        // empty lowest: the driver reads the whole index.
        struct Range {
            QString lowest, leadingColumn;
            std::optional<QString> pattern;
        };
        std::optional<Range> range = {};
        // A driver over the odd articles (kOddArticles) in the order of
        // leadingColumn, then the code: where the connection keeps them in
        // memory, it lists those of which one of terms may hold instead.
        struct OddArticles {
            QString leadingColumn;
            std::vector<GroupTerm> terms;
        };
        std::optional<OddArticles> odd = {};
        // Given, the driver orders by the leading name alone, and this gives
        // the code of the article bound to ?1 (rdo::PreparedStream::secondKeys).
        QString secondKeys = {};
        // Given, where the connection keeps the places of leadingColumn's
        // texts in the list's order (NameRanks), the groups are the articles
        // candidates selects on the indexes alone (their identifiers), put in
        // that order instead of the driver's: no name is read before the
        // list reaches its article. Those without varieties are left out when
        // withVarietiesOnly.
        struct Ranked {
            QString leadingColumn, candidates;
            bool withVarietiesOnly = false;
        };
        std::optional<Ranked> ranked = {};
    };
    // Rows found apart from the name's order: each of candidates selects
    // some of their articles (identifier, leading name, code, other name), in
    // no order, an article perhaps more than once; a select that two streams
    // share is read once. At most mostToSort of them are sorted as the
    // list is, those without varieties left out when withVarietiesOnly, and
    // read article by article as many's rows says: a screenful is read
    // without reading every row of them. None is read by sql narrowed to the
    // list "Null", then sortedBy, which names the columns. More (a code of one
    // character matches most of a catalogue) are read as many says, over the
    // whole index.
    struct CandidateSelect {
        QString select;
        // Given, a number past mostToSort wherever select gives more rows
        // than that, read on the indexes alone: asked once select has given
        // 64 rows, it spares reading the rest (a code of two digits begins
        // ten thousand codes at a million).
        QString beyondMost = {};
        // Given with it, where select reads the range of the codes that
        // begin with this (a key prefix): what the connection keeps of the
        // file may tell them too many first (NameBlocks::Index::codesBeginningWith).
        QString codesBeginWith = {};
    };
    struct Apart {
        std::vector<CandidateSelect> candidates;
        QString sql, sortedBy;
        bool withVarietiesOnly = false;
        Driven many;
    };
    struct Stream {
        int branch = 0; // among rows equal in the order, a lower branch comes first
        std::variant<Sorted, Driven, Apart> how;
    };

    std::vector<Stream> streams;
    int mostToSort = 0;
    // By position: the displayed name and the code, then article and variety.
    rdo::MergedOrder order;
    std::vector<Choice> choices; // one per branch of the compound
};

// Every statement a stream may prepare, the rows apart narrowed to a list of
// one article: what a check of the plan's statements reads.
QStringList statementsOf(const LookupPlan::Stream &stream);

} // namespace lookup
