#pragma once
// A bar-code scanner at the till types like a keyboard, only faster: a code's
// characters a few milliseconds apart, then Enter. A window where a scanned
// code must not be taken for typing (the item list, where Enter chooses the
// highlighted row; a host's quantity field) watches its keys with a
// ScannerWatch, which holds printable keys back until it knows whether they
// are a person's or a scanner's. A scanned code is typed again, later, into
// whichever field has the focus then (typeAhead), as if it had waited in the
// window system's queue.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;

namespace ui::qt {

// What a burst of keys looks like when a scanner sends it.
struct ScannerTiming {
    // The longest pause, in milliseconds of the keys' own time stamps, between
    // two keys of one code (the Enter included). Scanners send a key every
    // 2–8 ms, slow ones and a busy till up to a few tens; six keys in a row
    // that fast are beyond a person.
    unsigned long maxGap = 50;
    // The shortest code: internal codes have six characters, EAN-8 eight.
    int minLength = 6;
};

class ScannerWatch final : public QObject {
public:
    // Watches the keys of widget; scanned is told each code that a scanner
    // typed into it (the code's keys and its Enter never reach the widget).
    ScannerWatch(QWidget *widget, std::function<void(const QString &code)> scanned, ScannerTiming timing = {});

    // Keys held back while a burst may still turn out to be a scan.
    QString held() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct HeldKey {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        unsigned long timestamp;
    };
    // Hands the held keys to the widget as typed: they were a person's.
    void release();
    bool continuesBurst(const QKeyEvent &key) const;

    QPointer<QWidget> m_widget;
    std::function<void(const QString &)> m_scanned;
    ScannerTiming m_timing;
    std::vector<HeldKey> m_held;
    QTimer m_pause;
    bool m_releasing = false;
};

// Types text (a character a key, "\r" for Enter) into the widget that has
// the focus once the application is back in its event loop: not while a
// modal item list is open, and not while a handler lets pending window
// messages run, so that the keys arrive after whatever the handler that is
// running still does (the focus it moves, the events it raises); nor while
// no widget has the focus (the window a list gave back not yet active
// again), so that none is lost.
void typeAhead(const QString &text);

} // namespace ui::qt
