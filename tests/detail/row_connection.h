#pragma once
// A connection for the detail view's tests: every statement returns one given
// row (or none, or fails), and the statements are kept.

#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QStringList>

#include <map>
#include <optional>

namespace vok::test {

using Row = std::map<QString, vb::Variant>;

class RowResultset final : public rdo::rdoResultset {
public:
    explicit RowResultset(const std::optional<Row> &row) : m_eof(!row)
    {
        if (row)
            for (const auto &[name, value] : *row)
                m_columns.columns().emplace_back(name, value);
    }
    bool Eof() const override { return m_eof; }
    const rdo::rdoColumns &rdoColumns() const override { return m_columns; }
    void MoveNext() override { m_eof = true; }
    void Close() override {}

private:
    bool m_eof;
    rdo::rdoColumns m_columns;
};

// A connection whose every statement returns one given row (or none, or fails).
class RowConnection final : public rdo::rdoConnection {
public:
    std::shared_ptr<rdo::rdoResultset> OpenResultset(const QString &sql, int16_t, int16_t) override
    {
        statements << sql;
        if (failure)
            throw *failure;
        return std::make_shared<RowResultset>(row);
    }
    QString Connect() const override { return QStringLiteral("row:"); }

    std::optional<Row> row;
    std::optional<vb::Error> failure;
    QStringList statements;
};

// The row of the design caption "Contado: $U 3,290", without a photograph.
inline Row contado()
{
    return {{"ArtCodigo", "A12"},
            {"ArtNombre", "TORNILLO HEX 8MM"},
            {"ArtDescripcion", "Tornillo hexagonal de acero"},
            {"ArtFoto", vb::Variant::null()},
            {"EmpPathImg", vb::Variant::null()},
            {"MonSimbolo", "$U"},
            {"MonRedondeo", "#,##0"},
            {"PViPrecio", 3290.0},
            {"TPrAbreviacion", "Contado"}};
}

} // namespace vok::test
