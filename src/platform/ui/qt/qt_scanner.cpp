#include "qt_scanner.h"

#include "qt_toolkit.h"

#include <QApplication>
#include <QBasicTimer>
#include <QKeyEvent>
#include <QTimerEvent>
#include <QWidget>

#include <utility>

namespace ui::qt {

namespace {

bool isEnter(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// A key that types one visible character and nothing else (no command key
// held with it).
bool typesACharacter(const QKeyEvent &key)
{
    constexpr Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return key.text().size() == 1 && key.text().at(0).isPrint() && !(key.modifiers() & commands);
}

// The keys waiting to be typed into the focused field, and the timer that
// looks every few milliseconds whether their turn has come.
class TypeAheadQueue final : public QObject {
public:
    void add(const QString &text)
    {
        m_text += text;
        if (!m_timer.isActive())
            m_timer.start(PollMs, this);
    }

protected:
    void timerEvent(QTimerEvent *event) override
    {
        if (event->timerId() != m_timer.timerId())
            return;
        m_timer.stop();
        // A key at a time, each to the field that has the focus once the one
        // before is handled (an Enter may move it, or open a list).
        while (!m_text.isEmpty() && !mustWait()) {
            const QChar c = m_text.front();
            m_text.remove(0, 1);
            const int key = c == u'\r' ? int(Qt::Key_Return) : int(c.toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
            if (QWidget *still = QApplication::focusWidget()) {
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
                QCoreApplication::sendEvent(still, &release);
            }
        }
        if (!m_text.isEmpty() && !m_timer.isActive())
            m_timer.start(PollMs, this);
    }

private:
    static constexpr int PollMs = 10;

    // The keys wait while the handler that is running is not done (it lets
    // pending messages run, or its item list is still open), and while no
    // field has the focus: the window a list has just given back may not be
    // active again yet, and a key sent nowhere would be lost.
    static bool mustWait()
    {
        const auto *toolkit = dynamic_cast<const QtToolkit *>(&ui::toolkit());
        return (toolkit && (toolkit->isPumping() || toolkit->openItemList())) || !QApplication::focusWidget();
    }

    QString m_text;
    QBasicTimer m_timer;
};

} // namespace

ScannerWatch::ScannerWatch(QWidget *widget, std::function<void(const QString &)> scanned, ScannerTiming timing)
    : QObject(widget), m_widget(widget), m_scanned(std::move(scanned)), m_timing(timing)
{
    // A key held back goes on to the widget once the burst has clearly
    // stopped; the wait is in the event loop's time, which may run behind the
    // keys' own stamps, so it is generous.
    m_pause.setSingleShot(true);
    m_pause.setInterval(static_cast<int>(3 * m_timing.maxGap));
    connect(&m_pause, &QTimer::timeout, this, &ScannerWatch::release);
    widget->installEventFilter(this);
}

QString ScannerWatch::held() const
{
    QString text;
    for (const HeldKey &key : m_held)
        text += key.text;
    return text;
}

bool ScannerWatch::continuesBurst(const QKeyEvent &key) const
{
    const unsigned long last = m_held.back().timestamp;
    // A stamp earlier than the last one (a key made by a program) counts as
    // no pause at all.
    return key.timestamp() <= last || key.timestamp() - last <= m_timing.maxGap;
}

bool ScannerWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_widget || m_releasing || event->type() != QEvent::KeyPress)
        return false;
    const auto &key = *static_cast<QKeyEvent *>(event);
    if (typesACharacter(key)) {
        if (!m_held.empty() && !continuesBurst(key))
            release();
        m_held.push_back({key.key(), key.modifiers(), key.text(), key.timestamp()});
        m_pause.start();
        return true;
    }
    if (isEnter(key) && static_cast<int>(m_held.size()) >= m_timing.minLength && continuesBurst(key)) {
        const QString code = held();
        m_held.clear();
        m_pause.stop();
        m_scanned(code);
        return true;
    }
    release();
    return false;
}

void ScannerWatch::release()
{
    m_pause.stop();
    const std::vector<HeldKey> keys = std::exchange(m_held, {});
    m_releasing = true;
    for (const HeldKey &held : keys) {
        if (!m_widget)
            break;
        QKeyEvent press(QEvent::KeyPress, held.key, held.modifiers, held.text);
        press.setTimestamp(held.timestamp);
        QCoreApplication::sendEvent(m_widget, &press);
    }
    m_releasing = false;
}

void typeAhead(const QString &text)
{
    // Gone with the application, whose event loop it serves.
    static thread_local QPointer<TypeAheadQueue> queue;
    if (!queue) {
        queue = new TypeAheadQueue;
        queue->setParent(QCoreApplication::instance());
    }
    queue->add(text);
}

} // namespace ui::qt
