#include "platform/rdo/forward_resultset.h"

#include "platform/vb/error.h"

namespace rdo {

bool ForwardResultset::Eof() const
{
    checkOpen();
    return m_eof;
}

const rdo::rdoColumns &ForwardResultset::rdoColumns() const
{
    checkCurrentRow();
    return m_columns;
}

void ForwardResultset::MoveNext()
{
    checkCurrentRow();
    advance();
}

void ForwardResultset::Close()
{
    checkOpen();
    release();
    m_columns.columns().clear();
}

void ForwardResultset::advance()
{
    auto &row = m_columns.columns();
    row.clear();
    try {
        m_eof = !readRow(row);
    } catch (...) {
        m_eof = true;
        throw;
    }
}

void ForwardResultset::checkOpen() const
{
    if (!isOpen())
        throw vb::Error(err::ResultsetClosed, QStringLiteral("The result set is closed"), m_source);
}

void ForwardResultset::checkCurrentRow() const
{
    checkOpen();
    if (m_eof)
        throw vb::Error(err::NoCurrentRow, QStringLiteral("No current row"), m_source);
}

} // namespace rdo
