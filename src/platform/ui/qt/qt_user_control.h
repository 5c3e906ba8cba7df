#pragma once
// The control's own surface on Qt: a plain widget that the host places on its
// form like any other; the constituent controls are its children.

#include "qt_toolkit.h"

#include <functional>

namespace ui {

namespace qt {
// The platform's font object for a Qt font (toQFont's inverse).
Font fontOf(const QFont &qfont);
} // namespace qt

class QtUserControl;

class UserControlWidget final : public QWidget {
public:
    explicit UserControlWidget(QWidget *parent = nullptr);
    QtUserControl *owner = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
};

class QtUserControl final : public QtWindow<UserControl> {
public:
    explicit QtUserControl(QtToolkit &toolkit);
    ~QtUserControl() override;

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;
    bool ambientUserMode() const override { return m_userMode; }
    // The font of the hosting widget (the form), or the control's own when it
    // has no parent yet.
    Font ambientFont() const override;
    void propertyChanged(const QString &name) override;
    void refresh() override;

    // The focus goes to the first constituent control that takes it.
    void setFocus() override;
    bool hasFocus() const override;

    // The container's side.
    void setAmbientUserMode(bool userMode) { m_userMode = userMode; }
    std::function<void(const QString &name)> onPropertyChanged;

private:
    friend class UserControlWidget;
    void resized();

    OleColor m_backColor = SystemButtonFace;
    bool m_userMode = true;
};

} // namespace ui
