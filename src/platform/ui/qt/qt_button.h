#pragma once
// The flat push button on Qt: no bevel, a thin border in a shade of its back
// colour, "&" access keys. It is never a form's default button: Enter clicks
// it only when it has the focus, as the platform's buttons do.

#include "qt_keyed_widget.h"

#include <QPushButton>

namespace ui {

class QtButton;
using ButtonWidget = KeyedWidget<QPushButton, QtButton>;

class QtButton final : public QtWindow<Button> {
public:
    QtButton(QtToolkit &toolkit, QWidget *parent);
    ~QtButton() override;

    QString caption() const override;
    void setCaption(const QString &caption) override;
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;
    Font font() const override { return m_font; }
    void setFont(const Font &font) override;

    QPushButton *button() const;
    void keyLetThrough(QKeyEvent *event, const qt::KeyOutcome &key);

private:
    OleColor m_backColor = SystemButtonFace;
    Font m_font;
};

} // namespace ui
