#pragma once
// The flat drop-down list on Qt: a non-editable combo box drawn flat (thin
// border, plain arrow, list dropping below), whose entries carry a 32-bit
// item code. Keys go through the window's key down and key press handlers
// before the combo acts on them; Enter, which the combo does not use, goes
// on to the form after the handlers saw it.

#include "qt_keyed_widget.h"

#include <QComboBox>

namespace ui {

class QtComboBox;
using ComboBoxWidget = KeyedWidget<QComboBox, QtComboBox>;

class QtComboBox final : public QtWindow<ComboBox> {
public:
    QtComboBox(QtToolkit &toolkit, QWidget *parent);
    ~QtComboBox() override;

    void addItem(const QString &caption, int32_t code) override;
    int32_t listCount() const override;
    int32_t listIndex() const override;
    void setListIndex(int32_t index) override;
    int32_t itemData(int32_t index) const override;
    int32_t findItemData(int32_t code) const override;
    Font font() const override { return m_font; }
    void setFont(const Font &font) override;

    QComboBox *comboBox() const;
    void keyLetThrough(QKeyEvent *event, const qt::KeyOutcome &key);

private:
    Font m_font;
};

} // namespace ui
