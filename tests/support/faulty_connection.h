#pragma once
// A connection that passes everything to a real one and fails one chosen
// operation: the Nth call, counted over the connection and every result set
// it opened, of OpenResultset, EOF, a column read, MoveNext or Close. Each
// operation is logged with the statement it belongs to, so that a test can
// tell which routine the Nth failure lands in. It can also be slow: every
// statement then takes a while to open, as on a large file without indexes.

#include "platform/rdo/rdo.h"
#include "platform/vb/error.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace vok::test {

class FaultyConnection final : public rdo::rdoConnection {
public:
    // The number and text every injected failure carries, as an engine's would.
    static constexpr int32_t FaultNumber = 40999;
    static QString faultText() { return QStringLiteral("injected fault"); }

    enum class Operation { Open, Eof, Column, MoveNext, Close };
    struct Call {
        Operation operation;
        QString sql;
    };

    explicit FaultyConnection(std::shared_ptr<rdo::rdoConnection> real) : m_real(std::move(real)) {}

    // Fails the nth operation from now on (1-based); 0 fails none. Clears the log.
    void failAt(int n)
    {
        m_failAt = n;
        m_interruption = {};
        calls.clear();
    }
    // Runs the action right before the nth operation, which then goes ahead:
    // the world changing under a result set that is being read.
    void interruptAt(int n, std::function<void()> action)
    {
        failAt(n);
        m_interruption = std::move(action);
    }
    // Every statement opened from now on first waits this long.
    void slowDown(std::chrono::milliseconds perStatement) { m_slowness = perStatement; }
    bool faulted() const { return m_failAt > 0 && static_cast<int>(calls.size()) >= m_failAt; }
    // The statements opened since the log was last cleared, exactly as the control built them.
    QStringList statements() const
    {
        QStringList opened;
        for (const Call &call : calls)
            if (call.operation == Operation::Open)
                opened << call.sql;
        return opened;
    }

    std::shared_ptr<rdo::rdoResultset> OpenResultset(const QString &sql, int16_t type, int16_t lockType) override
    {
        step(Operation::Open, sql);
        std::this_thread::sleep_for(m_slowness);
        return std::make_shared<Resultset>(*this, m_real->OpenResultset(sql, type, lockType), sql);
    }
    QString Connect() const override { return m_real->Connect(); }

    std::vector<Call> calls;

private:
    class Resultset final : public rdo::rdoResultset {
    public:
        Resultset(FaultyConnection &owner, std::shared_ptr<rdo::rdoResultset> real, QString sql)
            : m_owner(owner), m_real(std::move(real)), m_sql(std::move(sql))
        {
        }
        bool Eof() const override
        {
            m_owner.step(Operation::Eof, m_sql);
            return m_real->Eof();
        }
        const rdo::rdoColumns &rdoColumns() const override
        {
            m_owner.step(Operation::Column, m_sql);
            return m_real->rdoColumns();
        }
        void MoveNext() override
        {
            m_owner.step(Operation::MoveNext, m_sql);
            m_real->MoveNext();
        }
        void Close() override
        {
            m_owner.step(Operation::Close, m_sql);
            m_real->Close();
        }

    private:
        FaultyConnection &m_owner;
        std::shared_ptr<rdo::rdoResultset> m_real;
        QString m_sql;
    };

    void step(Operation operation, const QString &sql)
    {
        calls.push_back({operation, sql});
        if (static_cast<int>(calls.size()) != m_failAt)
            return;
        if (m_interruption)
            m_interruption();
        else
            throw vb::Error(FaultNumber, faultText(), QStringLiteral("FaultyConnection"));
    }

    std::shared_ptr<rdo::rdoConnection> m_real;
    int m_failAt = 0;
    std::function<void()> m_interruption;
    std::chrono::milliseconds m_slowness{0};
};

} // namespace vok::test
