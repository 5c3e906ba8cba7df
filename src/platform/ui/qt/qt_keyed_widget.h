#pragma once
// The Qt widget under one of our windows: it tells the toolkit when the focus
// comes and goes, and raises the window's key down and key press handlers for
// every key going down before Qt acts on it. A key the handlers swallow ends
// there; the owner decides what the widget does with any other
// (keyLetThrough).

#include "qt_toolkit.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace ui {

template <typename Base, typename Owner>
class KeyedWidget : public Base {
public:
    explicit KeyedWidget(QWidget *parent) : Base(parent) {}
    Owner *owner = nullptr;

    // What the widget itself does with a key its window let through.
    void actOnKey(QKeyEvent *event) { Base::keyPressEvent(event); }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!owner) {
            Base::keyPressEvent(event);
            return;
        }
        const qt::KeyOutcome key = qt::raiseKeyHandlers(*owner, this, *event);
        if (!key.alive)
            return;
        if (key.swallowed())
            event->accept();
        else
            owner->keyLetThrough(event, key);
    }
    void focusInEvent(QFocusEvent *event) override
    {
        Base::focusInEvent(event);
        if (owner)
            owner->toolkit().focusEntered(owner);
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        Base::focusOutEvent(event);
        if (owner)
            owner->toolkit().focusLeaving(owner, event->reason());
    }
};

} // namespace ui
