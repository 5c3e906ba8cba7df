#include "qt_label.h"

#include <QApplication>
#include <QMouseEvent>

namespace ui {

LabelWidget::LabelWidget(QWidget *parent) : QLabel(parent)
{
    setWordWrap(true);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    // With a buddy QLabel shows "&C" as an underlined C and grabs Alt+C; the
    // shortcut itself is handled below.
    setBuddy(this);
}

bool LabelWidget::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut && owner) {
        if (QWidget *target = owner->accessKeyTarget())
            target->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QLabel::event(event);
}

void LabelWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (owner && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && owner->onClick)
        owner->onClick();
}

QtLabel::QtLabel(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new LabelWidget(parent))
{
    static_cast<LabelWidget *>(widget())->owner = this;
    setFont(m_font);
    setForeColor(m_foreColor);
    setBackColor(m_backColor);
    setAlignment(m_alignment);
    widget()->show();
}

QtLabel::~QtLabel()
{
    if (auto *label = static_cast<LabelWidget *>(widget()))
        label->owner = nullptr;
}

QLabel *QtLabel::label() const
{
    return static_cast<QLabel *>(widget());
}

QWidget *QtLabel::accessKeyTarget() const
{
    QWidget *self = widget();
    if (!self)
        return nullptr;
    for (QWidget *next = self->nextInFocusChain(); next != self; next = next->nextInFocusChain()) {
        if (next->window() == self->window() && (next->focusPolicy() & Qt::TabFocus) && next->isEnabled() &&
            next->isVisible())
            return next;
    }
    return nullptr;
}

void QtLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    if (label())
        label()->setText(caption);
}

void QtLabel::setFont(const Font &font)
{
    m_font = font;
    if (widget())
        widget()->setFont(qt::toQFont(font));
}

void QtLabel::setForeColor(OleColor colour)
{
    m_foreColor = colour;
    qt::setPaletteColor(widget(), QPalette::WindowText, colour);
}

void QtLabel::setBackColor(OleColor colour)
{
    m_backColor = colour;
    qt::setPaletteColor(widget(), QPalette::Window, colour);
}

void QtLabel::setAlignment(Alignment alignment)
{
    m_alignment = alignment;
    if (!label())
        return;
    // The platform's labels start their text at the top whatever the
    // horizontal alignment.
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == Alignment::Right)
        horizontal = Qt::AlignRight;
    else if (alignment == Alignment::Center)
        horizontal = Qt::AlignHCenter;
    label()->setAlignment(horizontal | Qt::AlignTop);
}

} // namespace ui
