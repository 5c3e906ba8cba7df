#pragma once
// The text box on Qt: a line edit whose keys go through the platform's key
// down and key press handlers before the edit sees them, so that a handler
// that changes or swallows a key is obeyed, and whose maximum length follows
// the platform's rule (it limits typing, never shortens the text).

#include "qt_toolkit.h"

#include <QLineEdit>

namespace ui {

class QtTextBox;

class TextBoxWidget final : public QLineEdit {
public:
    explicit TextBoxWidget(QWidget *parent);
    QtTextBox *owner = nullptr;

private:
    friend class QtTextBox;

public:

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

class QtTextBox final : public QtWindow<TextBox> {
public:
    QtTextBox(QtToolkit &toolkit, QWidget *parent);
    ~QtTextBox() override;

    QString text() const override;
    void setText(const QString &text) override;
    int32_t selStart() const override;
    void setSelStart(int32_t start) override;
    int32_t selLength() const override;
    void setSelLength(int32_t length) override;
    int32_t maxLength() const override { return m_maxLength; }
    void setMaxLength(int32_t length) override;
    int16_t appearance() const override { return m_appearance; }
    void setAppearance(int16_t appearance) override;
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;
    OleColor foreColor() const override { return m_foreColor; }
    void setForeColor(OleColor colour) override;
    Font font() const override { return m_font; }
    void setFont(const Font &font) override;

    QLineEdit *lineEdit() const;

private:
    friend class TextBoxWidget;
    void keyPressed(QKeyEvent *event);
    // A character the key press handler let through, as typing inserts it.
    void insertTyped(QChar c);
    // The line edit's own limit: never below the text already there.
    void updateEditLimit();

    int32_t m_maxLength = 0;
    int16_t m_appearance = 1;
    OleColor m_backColor = SystemWindowBackground;
    OleColor m_foreColor = SystemWindowText;
    Font m_font;
};

} // namespace ui
