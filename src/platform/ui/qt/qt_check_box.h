#pragma once
// The check box on Qt: three states (unticked, ticked, greyed) that the user
// toggles between unticked and ticked only, with the space bar going through
// the key press handler first.

#include "qt_toolkit.h"

#include <QCheckBox>

namespace ui {

class QtCheckBox;

class CheckBoxWidget final : public QCheckBox {
public:
    explicit CheckBoxWidget(QWidget *parent);
    QtCheckBox *owner = nullptr;

private:
    friend class QtCheckBox;

public:

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

class QtCheckBox final : public QtWindow<CheckBox> {
public:
    QtCheckBox(QtToolkit &toolkit, QWidget *parent);
    ~QtCheckBox() override;

    int16_t value() const override;
    void setValue(int16_t value) override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;

    QCheckBox *checkBox() const;

private:
    friend class CheckBoxWidget;
    void keyPressed(QKeyEvent *event);

    OleColor m_backColor = SystemButtonFace;
};

} // namespace ui
