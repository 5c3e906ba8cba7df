#pragma once
// What every back end's result set shares: a forward-only walk over the rows
// of one statement, the current row's columns, the end, and closing. A back
// end only reads its next row and frees its statement.

#include "platform/rdo/rdo.h"

namespace rdo {

class ForwardResultset : public rdoResultset {
public:
    bool Eof() const override;
    const rdo::rdoColumns &rdoColumns() const override;
    void MoveNext() override;
    void Close() override;

protected:
    // source names the back end in the errors raised here ("SQLite", "ODBC").
    explicit ForwardResultset(QString source) : m_source(std::move(source)) {}

    // Reads the next row into row; false at the end. An error it raises leaves
    // the result set at its end.
    virtual bool readRow(std::vector<rdoColumn> &row) = 0;
    virtual bool isOpen() const = 0;
    // Frees the statement; isOpen() is false afterwards.
    virtual void release() = 0;

    // Moves to the next row; the constructor of a back end's result set calls
    // it once for the first row.
    void advance();

private:
    void checkOpen() const;
    void checkCurrentRow() const;

    QString m_source;
    rdo::rdoColumns m_columns;
    bool m_eof = false;
};

} // namespace rdo
