#pragma once
// The first matches of what the cashier is typing, shown under the text box
// while a person types. The rows come from the very statement Enter would run
// for the text (the control builds it), read through the control's own
// connection for their first rows only; taking one runs the control's own
// Enter, whose candidate list answers with that row instead of opening.
// Nothing here knows SQL or the shop's tables beyond the row's positions.

#include "platform/ui/item_list.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <vector>

class QLineEdit;
class vokTArticulo;

namespace vokwidget {

// One row of the popup as shown, and the row as read, to find it again
// among the rows of the list.
struct Suggestion {
    QString code;
    QString name;
    QString price; // empty when the list's layout has no price
    QString stock; // empty when the list's layout has no stock
    ui::ItemRow row;
};

// The window under the box: rows of code, name, price and stock, one of them
// possibly highlighted. It never takes the focus; the keys stay in the box.
class SuggestionPopup final : public QWidget {
    Q_OBJECT

public:
    explicit SuggestionPopup(QWidget *parent);

    void setRows(std::vector<Suggestion> rows);
    const std::vector<Suggestion> &rows() const { return m_rows; }
    // -1 while none is.
    int highlighted() const { return m_highlighted; }
    // Down (+1) and Up (-1): from none Down goes to the first row, Up from the
    // first back to none.
    void moveHighlight(int step);
    // Puts the popup under the box, as wide as the box at least.
    void placeUnder(const QLineEdit &box);

signals:
    // The cashier clicked a row (already highlighted).
    void clicked(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int rowHeight() const;
    int rowAt(int y) const;

    std::vector<Suggestion> m_rows;
    int m_highlighted = -1;
};

// Watches the control's text box and keeps the popup in step with it.
//
// A bar-code scanner types too, a character every 1 to 5 ms and then Enter,
// and its code must never bring up the popup. A person's keys come 50 ms or
// more apart. So a key that follows the previous one within QuietMs never
// refreshes the popup at once: it hides it and waits until the keyboard has
// been quiet for QuietMs; a scanner's Enter comes first and the wait ends
// unshown. The first key after a pause waits likewise, since it may be a
// scanner's first. Once the popup follows the cashier, each key at a
// person's pace refreshes it at once, with no wait.
class Suggestions final : public QObject {
    Q_OBJECT

public:
    static constexpr int QuietMs = 30;
    static constexpr int MaxRows = 8;

    Suggestions(vokTArticulo &control, QLineEdit &box, QWidget *owner);
    ~Suggestions() override;

    SuggestionPopup &popup() { return *m_popup; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void edited();
    void refresh();
    void close();
    // Enter on the highlighted row: the control's own Enter, with the list
    // answering that row.
    void take(QKeyEvent &enter);

    vokTArticulo &m_control;
    QLineEdit &m_box;
    SuggestionPopup *m_popup;
    QTimer m_quiet;
    QElapsedTimer m_sinceKey;
    bool m_quickKey = false;
    bool m_following = false;
    bool m_forwarding = false;
};

} // namespace vokwidget
