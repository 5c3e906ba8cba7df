#pragma once
// A connection for the dialogs' and the detail view's tests: every statement
// returns one given row (or none, or fails with the engine's error), and the
// statements, their result-set and lock types and the closes are kept.

#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QStringList>

#include <map>
#include <optional>

namespace vok::test {

using Row = std::map<QString, vb::Variant>;

class RowResultset final : public rdo::rdoResultset {
public:
    RowResultset(const std::optional<Row> &row, int &closes) : m_eof(!row), m_closes(closes)
    {
        if (row)
            for (const auto &[name, value] : *row)
                m_columns.columns().emplace_back(name, value);
    }
    bool Eof() const override { return m_eof; }
    const rdo::rdoColumns &rdoColumns() const override { return m_columns; }
    void MoveNext() override { m_eof = true; }
    void Close() override { ++m_closes; }

private:
    bool m_eof;
    int &m_closes;
    rdo::rdoColumns m_columns;
};

class RowConnection final : public rdo::rdoConnection {
public:
    std::shared_ptr<rdo::rdoResultset> OpenResultset(const QString &sql, int16_t type, int16_t lockType) override
    {
        statements << sql;
        types << QStringLiteral("%1/%2").arg(type).arg(lockType);
        if (failure)
            throw *failure;
        return std::make_shared<RowResultset>(row, closes);
    }
    QString Connect() const override { return QStringLiteral("row:"); }

    std::optional<Row> row = Row{};
    std::optional<vb::Error> failure;
    QStringList statements;
    QStringList types;
    int closes = 0;
};

} // namespace vok::test
