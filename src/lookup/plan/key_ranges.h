#pragma once
// Where an index of the shop's file holds the texts SQL Server's rules find
// for a typed prefix or a typed value, whatever order the index keeps them in.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace lookup {

// The order an index of the file keeps a text column in: SQLite's own
// (bytes), NOCASE (bytes with A to Z lowered), or SQL Server's (the
// collation the back end installs, which only our index script uses).
enum class KeyOrder { Binary, NoCase, Server };

// Reads a declared collation name (any case); none for one we cannot use.
std::optional<KeyOrder> keyOrderOf(const QString &collation);
// The collation's name as SQLite reads it after COLLATE.
const char *collationOf(KeyOrder order);

// A condition "column in this range of the index" for SQLite, written with
// the index's own collation so that the engine reads that index for it.
class KeyProbe {
public:
    KeyProbe(QString column, KeyOrder order) : m_column(std::move(column)), m_order(order) {}

    // Conditions, any of which holds for every text whose SQL Server key
    // (rdo::sqlServerKey) begins with prefix, itself a key; few other texts
    // pass. None when the prefix is empty or the ranges could not be listed:
    // then no range of the index narrows the reading.
    std::optional<QStringList> beginningWith(const QString &prefix) const;

    // Conditions, any of which holds for every text that equals one of keys
    // (each a key) under SQL Server's rules, trailing blanks included; none
    // when they would be more than kMostConditions. With Stored::WithoutEndBlanks,
    // only for the texts stored without a blank at their end.
    enum class Stored { AnyWay, WithoutEndBlanks };
    std::optional<QStringList> equalTo(const QStringList &keys, Stored stored = Stored::AnyWay) const;

    KeyOrder order() const { return m_order; }

private:
    std::optional<QStringList> remembered(QChar question, const QStringList &texts,
                                          const std::function<std::optional<QStringList>()> &answer) const;
    std::optional<QStringList> rangesBeginningWith(const QString &prefix) const;
    std::optional<QStringList> rangesEqualTo(const QStringList &keys, Stored stored) const;
    QString collated() const;
    QString ranged(const QString &low, const std::optional<QString> &high) const;

    QString m_column;
    KeyOrder m_order;
};

// The texts that begin every stored text whose key begins with prefix, as
// the index's order sees them: each range [text, next text) of the index
// that holds them. At most about kMostRanges of them; past that the ranges
// stop growing with the prefix and hold more texts than needed.
inline constexpr int kMostRanges = 32;
// The most conditions a probe is written with: the engine reads a condition
// of many terms as a tree that must stay shallow.
inline constexpr int kMostConditions = 128;
std::optional<QStringList> rangeStarts(const QString &prefix, KeyOrder order);

// Builds, once per process, the table of characters the ranges are listed
// from (every character of the basic plane, folded): tens of milliseconds
// that a connection spends in the background rather than in the cashier's
// first lookup.
void prepareKeyRanges();

// The smallest text above every text that begins with start in the
// index's order; none when there is none.
std::optional<QString> afterEveryTextBeginningWith(const QString &start, KeyOrder order);

} // namespace lookup
