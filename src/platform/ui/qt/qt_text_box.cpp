#include "qt_text_box.h"

#include "platform/vb/error.h"

#include <QApplication>
#include <QKeyEvent>

namespace ui {

namespace {
// The line edit's limit when the text box has none.
constexpr int Unlimited = 32767;
} // namespace

TextBoxWidget::TextBoxWidget(QWidget *parent) : QLineEdit(parent) {}

void TextBoxWidget::keyPressEvent(QKeyEvent *event)
{
    if (owner)
        owner->keyPressed(event);
    else
        QLineEdit::keyPressEvent(event);
}

void TextBoxWidget::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (owner && owner->widget())
        owner->m_toolkit.focusEntered(owner);
}

void TextBoxWidget::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (owner)
        owner->m_toolkit.focusLeaving(owner, event->reason());
}

QtTextBox::QtTextBox(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new TextBoxWidget(parent))
{
    auto *edit = static_cast<TextBoxWidget *>(widget());
    edit->owner = this;
    edit->setMaxLength(Unlimited);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this] {
        updateEditLimit();
        if (onChange)
            onChange();
    });
    setFont(m_font);
    setBackColor(m_backColor);
    setForeColor(m_foreColor);
    edit->show();
}

QtTextBox::~QtTextBox()
{
    if (auto *edit = static_cast<TextBoxWidget *>(widget()))
        edit->owner = nullptr;
}

QLineEdit *QtTextBox::lineEdit() const
{
    return static_cast<QLineEdit *>(widget());
}

QString QtTextBox::text() const
{
    return lineEdit() ? lineEdit()->text() : QString();
}

void QtTextBox::setText(const QString &text)
{
    QLineEdit *edit = lineEdit();
    if (!edit || edit->text() == text)
        return;
    // An assigned text is never cut to the maximum length.
    edit->setMaxLength(Unlimited);
    edit->setText(text);
    updateEditLimit();
}

int32_t QtTextBox::selStart() const
{
    const QLineEdit *edit = lineEdit();
    if (!edit)
        return 0;
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void QtTextBox::setSelStart(int32_t start)
{
    if (start < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    if (QLineEdit *edit = lineEdit())
        edit->setCursorPosition(std::min<int32_t>(start, static_cast<int32_t>(edit->text().size())));
}

int32_t QtTextBox::selLength() const
{
    return lineEdit() ? lineEdit()->selectionLength() : 0;
}

void QtTextBox::setSelLength(int32_t length)
{
    if (length < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    const int32_t start = selStart();
    const int32_t kept = std::min<int32_t>(length, static_cast<int32_t>(edit->text().size()) - start);
    if (kept > 0)
        edit->setSelection(start, kept);
    else
        edit->setCursorPosition(start);
}

void QtTextBox::setMaxLength(int32_t length)
{
    if (length < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_maxLength = length;
    updateEditLimit();
}

void QtTextBox::updateEditLimit()
{
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    const int limit =
        m_maxLength > 0 ? std::max<int>(m_maxLength, static_cast<int>(edit->text().size())) : Unlimited;
    if (edit->maxLength() != limit)
        edit->setMaxLength(limit);
}

void QtTextBox::setAppearance(int16_t appearance)
{
    if (appearance != 0 && appearance != 1)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_appearance = appearance;
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    // Flat is the platform's single dark line around the box, not no border
    // at all; the colours stay those of the palette the control sets.
    edit->setFrame(appearance == 1);
    edit->setStyleSheet(appearance == 1 ? QString()
                                        : QStringLiteral("QLineEdit { border: 1px solid palette(shadow); padding: 0 1px;"
                                                         " background: palette(base); color: palette(text); }"));
}

void QtTextBox::setBackColor(OleColor colour)
{
    m_backColor = colour;
    if (!widget())
        return;
    QPalette palette = widget()->palette();
    palette.setColor(QPalette::Base, qt::toQColor(colour, QApplication::palette(widget())));
    widget()->setPalette(palette);
}

void QtTextBox::setForeColor(OleColor colour)
{
    m_foreColor = colour;
    if (!widget())
        return;
    QPalette palette = widget()->palette();
    palette.setColor(QPalette::Text, qt::toQColor(colour, QApplication::palette(widget())));
    widget()->setPalette(palette);
}

void QtTextBox::setFont(const Font &font)
{
    m_font = font;
    if (widget())
        widget()->setFont(qt::toQFont(font));
}

void QtTextBox::keyPressed(QKeyEvent *event)
{
    auto *edit = static_cast<TextBoxWidget *>(widget());
    int16_t keyCode = qt::keyCodeOf(*event);
    int16_t shift = qt::shiftOf(event->modifiers());
    if (onKeyDown)
        onKeyDown(keyCode, shift);
    if (!widget())
        return;
    const int16_t character = qt::keyAsciiOf(*event);
    if (character == 0) {
        // A key without a character: the edit acts on it (caret, Delete)
        // unless the key down handler cleared the key code.
        if (keyCode != 0)
            edit->QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    int16_t keyAscii = character;
    if (onKeyPress)
        onKeyPress(keyAscii);
    if (!widget())
        return;
    if (keyAscii == 0) {
        event->accept();
        return;
    }
    if (keyAscii == character && (keyAscii < 32 || (event->modifiers() & Qt::ControlModifier))) {
        // Enter, Escape, Backspace and the Ctrl shortcuts as the edit knows
        // them; Enter and Escape travel on to the form.
        edit->QLineEdit::keyPressEvent(event);
        return;
    }
    if (keyAscii == 8) {
        edit->backspace();
        event->accept();
        return;
    }
    if (keyAscii < 32) {
        event->ignore();
        return;
    }
    insertTyped(QChar(static_cast<char16_t>(keyAscii)));
    event->accept();
}

void QtTextBox::insertTyped(QChar c)
{
    QLineEdit *edit = lineEdit();
    const int32_t kept = static_cast<int32_t>(edit->text().size()) - selLength();
    if (m_maxLength > 0 && kept >= m_maxLength)
        return;
    edit->insert(QString(c));
}

} // namespace ui
