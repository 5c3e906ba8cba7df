#pragma once
// A connection that passes every statement to a real one and keeps the text,
// so that tests see the statements exactly as the control built them.

#include "platform/rdo/rdo.h"

#include <QStringList>

namespace vok::test {

class RecordingConnection final : public rdo::rdoConnection {
public:
    explicit RecordingConnection(std::shared_ptr<rdo::rdoConnection> real) : m_real(std::move(real)) {}

    std::shared_ptr<rdo::rdoResultset> OpenResultset(const QString &sql, int16_t type, int16_t lockType) override
    {
        statements << sql;
        return m_real->OpenResultset(sql, type, lockType);
    }
    QString Connect() const override { return m_real->Connect(); }

    QStringList statements;

private:
    std::shared_ptr<rdo::rdoConnection> m_real;
};

} // namespace vok::test
