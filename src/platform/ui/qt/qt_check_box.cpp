#include "qt_check_box.h"

#include "platform/vb/error.h"

#include <QApplication>
#include <QKeyEvent>

namespace ui {

CheckBoxWidget::CheckBoxWidget(QWidget *parent) : QCheckBox(parent)
{
    setTristate(true);
    setAutoFillBackground(true);
}

void CheckBoxWidget::nextCheckState()
{
    // A click ticks an unticked or greyed box and unticks a ticked one.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void CheckBoxWidget::keyPressEvent(QKeyEvent *event)
{
    if (owner)
        owner->keyPressed(event);
    else
        QCheckBox::keyPressEvent(event);
}

void CheckBoxWidget::keyReleaseEvent(QKeyEvent *event)
{
    // The space bar already toggled on its way down, through the handlers.
    if (owner && event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QCheckBox::keyReleaseEvent(event);
}

void CheckBoxWidget::focusInEvent(QFocusEvent *event)
{
    QCheckBox::focusInEvent(event);
    if (owner)
        owner->m_toolkit.focusEntered(owner);
}

void CheckBoxWidget::focusOutEvent(QFocusEvent *event)
{
    QCheckBox::focusOutEvent(event);
    if (owner)
        owner->m_toolkit.focusLeaving(owner, event->reason());
}

QtCheckBox::QtCheckBox(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new CheckBoxWidget(parent))
{
    auto *box = static_cast<CheckBoxWidget *>(widget());
    box->owner = this;
    QObject::connect(box, &QCheckBox::stateChanged, box, [this] {
        if (onClick)
            onClick();
    });
    setBackColor(m_backColor);
    box->show();
}

QtCheckBox::~QtCheckBox()
{
    if (auto *box = static_cast<CheckBoxWidget *>(widget()))
        box->owner = nullptr;
}

QCheckBox *QtCheckBox::checkBox() const
{
    return static_cast<QCheckBox *>(widget());
}

int16_t QtCheckBox::value() const
{
    if (!checkBox())
        return 0;
    switch (checkBox()->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void QtCheckBox::setValue(int16_t value)
{
    if (value < 0 || value > 2)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    // Click follows from the state change, and only from a real one.
    if (checkBox())
        checkBox()->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

QString QtCheckBox::caption() const
{
    return checkBox() ? checkBox()->text() : QString();
}

void QtCheckBox::setCaption(const QString &caption)
{
    if (checkBox())
        checkBox()->setText(caption);
}

void QtCheckBox::setBackColor(OleColor colour)
{
    m_backColor = colour;
    if (!widget())
        return;
    QPalette palette = widget()->palette();
    palette.setColor(QPalette::Window, qt::toQColor(colour, QApplication::palette(widget())));
    palette.setColor(QPalette::Button, qt::toQColor(colour, QApplication::palette(widget())));
    widget()->setPalette(palette);
}

void QtCheckBox::keyPressed(QKeyEvent *event)
{
    int16_t keyCode = qt::keyCodeOf(*event);
    int16_t shift = qt::shiftOf(event->modifiers());
    if (onKeyDown)
        onKeyDown(keyCode, shift);
    const int16_t character = qt::keyAsciiOf(*event);
    int16_t keyAscii = character;
    if (character != 0 && onKeyPress)
        onKeyPress(keyAscii);
    auto *box = static_cast<CheckBoxWidget *>(widget());
    if (!box)
        return;
    if (character == 32) {
        // The space bar toggles unless the handler took the character.
        if (keyAscii == 32 && !event->isAutoRepeat())
            box->nextCheckState();
        event->accept();
        return;
    }
    if (character != 0 && keyAscii == 0) {
        event->accept();
        return;
    }
    if (keyCode != 0)
        box->QCheckBox::keyPressEvent(event);
    else
        event->accept();
}

} // namespace ui
