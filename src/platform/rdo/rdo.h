#pragma once
// The database connection the host hands the control, with the operations the
// library and the host's item list use on it: open a result set on a
// statement, test for its end, read columns of the current row by name or
// position, move to the next row, close. Values come as Variants (Null for a
// database null); every failure is a vb::Error carrying the engine's own error
// number and message.
//
// Back ends, chosen by the connection string:
//   sqlite:PATH            the embedded database, opened read-only
//   odbc:CONNECTION-STRING any ODBC data source (SQL Server through FreeTDS);
//                          a "translate=sqlite" key among the keys makes it
//                          run the embedded back end's Transact-SQL translation
//                          (for the SQLite ODBC driver); the key is removed
//                          before the string reaches the driver manager
// Both refuse a text that holds more than one statement, and neither writes.
//
// Connections and result sets are component objects, so that they travel in a
// Variant to late-bound host components; their members are also reachable by
// name (OpenResultset, EOF, rdoColumns, MoveNext, Close).

#include "platform/com/object.h"
#include "platform/vb/variant.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace rdo {

// Error numbers raised by this layer itself (the engines' own errors carry the
// engine's number).
namespace err {
inline constexpr int32_t DriverError = 40000; // a driver message without a number of its own
inline constexpr int32_t UnknownConnectionString = 40001;
inline constexpr int32_t ItemNotFound = 40002;
inline constexpr int32_t NoCurrentRow = 40022;
inline constexpr int32_t ResultsetClosed = 40088;
inline constexpr int32_t SeveralStatements = 40089;
inline constexpr int32_t NotReadOnly = 40090;
} // namespace err

// Result set types and lock types of the platform's data objects.
enum ResultsetType : int16_t { rdOpenForwardOnly = 0, rdOpenKeyset = 1, rdOpenDynamic = 2, rdOpenStatic = 3 };
enum LockType : int16_t {
    rdConcurReadOnly = 1,
    rdConcurLock = 2,
    rdConcurRowVer = 3,
    rdConcurValues = 4,
    rdConcurBatch = 5,
};

class rdoColumn {
public:
    rdoColumn(QString name, vb::Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    const QString &Name() const { return m_name; }
    const vb::Variant &Value() const { return m_value; }

private:
    QString m_name;
    vb::Variant m_value;
};

// The columns of the current row.
class rdoColumns {
public:
    int32_t Count() const { return static_cast<int32_t>(m_columns.size()); }
    // By name, without regard to case; a name the row does not have is the
    // platform's error 40002 ("Item not found in this collection").
    const rdoColumn &Item(const QString &name) const;
    // By 0-based position; out of range is error 40002 too.
    const rdoColumn &Item(int32_t index) const;
    const rdoColumn &operator()(const QString &name) const { return Item(name); }

    std::vector<rdoColumn> &columns() { return m_columns; }

private:
    std::vector<rdoColumn> m_columns;
};

class rdoResultset : public com::Object {
public:
    // Late-bound members: "EOF" (Boolean); "rdoColumns"(name or 0-based
    // position) gives that column's value, "rdoColumns" alone an object with
    // "Count" and "Item"(name or position) giving the value; "MoveNext";
    // "Close".
    // True when there is no current row. (Spelt Eof in C++ because EOF is a
    // macro of the C library; late-bound callers use "EOF".)
    virtual bool Eof() const = 0;
    // The current row's columns; error 40002-style errors when at the end.
    virtual const rdo::rdoColumns &rdoColumns() const = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;

    vb::Variant invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args) override;
};

class rdoConnection : public com::Object {
public:
    // Late-bound members: "OpenResultset"(sql[, type[, lock]]) gives the result
    // set as an object; "Connect" the connection string.
    // Opens a connection from "sqlite:PATH" or "odbc:CONNECTION-STRING".
    static std::shared_ptr<rdoConnection> open(const QString &connectionString);

    // Runs one statement and returns its result set positioned on the first row
    // (or at its end when the statement returns no row).
    virtual std::shared_ptr<rdoResultset> OpenResultset(const QString &sql, int16_t type = rdOpenDynamic,
                                                        int16_t lockType = rdConcurValues) = 0;
    // The connection string it was opened with.
    virtual QString Connect() const = 0;

    vb::Variant invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args) override;
};

} // namespace rdo
