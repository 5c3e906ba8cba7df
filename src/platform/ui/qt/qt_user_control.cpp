#include "qt_user_control.h"

#include "platform/vb/error.h"

#include <QApplication>
#include <QFont>
#include <QResizeEvent>

namespace ui {

UserControlWidget::UserControlWidget(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void UserControlWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (owner)
        owner->resized();
}

void UserControlWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (owner)
        owner->syncFromWidget();
}

QtUserControl::QtUserControl(QtToolkit &toolkit) : QtWindow(toolkit, new UserControlWidget)
{
    static_cast<UserControlWidget *>(widget())->owner = this;
    setBackColor(m_backColor);
}

QtUserControl::~QtUserControl()
{
    if (auto *w = static_cast<UserControlWidget *>(widget()))
        w->owner = nullptr;
}

void QtUserControl::resized()
{
    // A container resizing the control gives pixels; the control's layout
    // reads its size in twips.
    syncFromWidget();
    if (onResize)
        onResize();
}

void QtUserControl::setBackColor(OleColor colour)
{
    m_backColor = colour;
    if (!widget())
        return;
    QPalette palette = widget()->palette();
    palette.setColor(QPalette::Window, qt::toQColor(colour, QApplication::palette(widget())));
    widget()->setPalette(palette);
}

void QtUserControl::propertyChanged(const QString &name)
{
    if (onPropertyChanged)
        onPropertyChanged(name);
}

Font qt::fontOf(const QFont &qfont)
{
    Font font;
    font.name = qfont.family();
    if (qfont.pointSizeF() > 0)
        font.size = qfont.pointSizeF();
    font.bold = qfont.bold();
    font.italic = qfont.italic();
    font.underline = qfont.underline();
    font.strikethrough = qfont.strikeOut();
    return font;
}

Font QtUserControl::ambientFont() const
{
    const QWidget *host = widget()->parentWidget() ? widget()->parentWidget() : widget();
    return qt::fontOf(host->font());
}

void QtUserControl::refresh()
{
    if (widget())
        widget()->repaint();
}

void QtUserControl::setFocus()
{
    QWidget *w = widget();
    if (!w || w->isHidden() || !isEnabled() || !w->isVisible())
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    for (QWidget *child : w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isVisible() && child->isEnabled()) {
            if (!w->window()->isActiveWindow())
                w->window()->activateWindow();
            child->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    QtWindow::setFocus();
}

bool QtUserControl::hasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && widget() && (focus == widget() || widget()->isAncestorOf(focus));
}

} // namespace ui
