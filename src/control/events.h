#pragma once
// The control's event interface. A host implements the events it wants; the
// by-reference arguments are the constituent control's own key values, so a
// host that changes them changes what the text box or check box receives.

#include <QString>

#include <cstdint>

class vokTArticuloEvents {
public:
    virtual ~vokTArticuloEvents() = default;
    virtual void Change() {}
    virtual void KeyDown(int16_t &KeyCode, int16_t &Shift) { (void)KeyCode, (void)Shift; }
    virtual void KeyPress(int16_t &KeyAscii) { (void)KeyAscii; }
    virtual void Error(const QString &sErrText) { (void)sErrText; }
    virtual void GotFocus2() {}
};
