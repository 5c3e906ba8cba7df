#pragma once
// The part every headless window shares: its place among the others (container,
// children in tab order) and its geometry, visibility, enabled state and focus.

#include "platform/ui/toolkit.h"

#include <vector>

namespace ui {

class HeadlessToolkit;
class HeadlessForm;

// Where a headless window stands among the others: its container and, for a
// container, the windows created in it, in creation (tab) order.
class HeadlessNode {
public:
    virtual ~HeadlessNode();
    HeadlessNode *parentNode() const { return m_parent; }
    const std::vector<HeadlessNode *> &childNodes() const { return m_children; }
    virtual Window &window() = 0;
    // Whether the platform's tab key stops at this kind of window.
    virtual bool isTabStop() const { return false; }
    // The top-level form holding this window, nullptr when there is none.
    HeadlessForm *form();
    // Visible and enabled, and so are all its containers.
    bool isReachable();
    // Every window under this one, depth-first in tab order.
    void collect(std::vector<HeadlessNode *> &into);

protected:
    void attachTo(Container *parent);

private:
    HeadlessNode *m_parent = nullptr;
    std::vector<HeadlessNode *> m_children;
};

// Geometry, visibility, enabled state and focus shared by every headless window.
template <typename Interface>
class HeadlessWindow : public Interface, public HeadlessNode {
public:
    explicit HeadlessWindow(HeadlessToolkit &toolkit, Container *parent = nullptr);
    ~HeadlessWindow() override;

    Window &window() override { return *this; }

    int32_t hWnd() const override { return m_hWnd; }

    Twips left() const override { return m_left; }
    Twips top() const override { return m_top; }
    Twips width() const override { return m_width; }
    Twips height() const override { return m_height; }
    void setLeft(Twips left) override { m_left = left; }
    void setTop(Twips top) override { m_top = top; }
    void setWidth(Twips width) override;
    void setHeight(Twips height) override;

    bool isVisible() const override { return m_visible; }
    void setVisible(bool visible) override;
    bool isEnabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }

    void setFocus() override;
    bool hasFocus() const override;

    // The user presses a key (key code and shift state) on this window: the
    // form sees it first when it previews keys, then the window's own handler.
    void pressKey(int16_t keyCode, int16_t shift = 0);
    // A key that also produces a character (Enter 13, Escape 27...): key down
    // as above, then key press with that character.
    void press(int16_t keyCode, int16_t keyAscii, int16_t shift = 0);

protected:
    HeadlessToolkit &m_toolkit;

private:
    int32_t m_hWnd;
    Twips m_left = 0;
    Twips m_top = 0;
    Twips m_width = 0;
    Twips m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
};

// The tab stop after `from` among the windows under `root`, wrapping around;
// nullptr when none can take the focus.
Window *nextTabStop(HeadlessNode &root, const HeadlessNode *from);

} // namespace ui
