#pragma once
// A toolkit that hands everything to another one. Hosts and benchmarks derive
// from it to change one behaviour (how the item list is answered, what is
// written out) and keep the rest of the toolkit they wrap.

#include "toolkit.h"

namespace ui {

class DelegatingToolkit : public Toolkit {
public:
    explicit DelegatingToolkit(Toolkit &inner) : m_inner(inner) {}

    std::unique_ptr<UserControl> createUserControl() override { return m_inner.createUserControl(); }
    std::unique_ptr<TextBox> createTextBox(Container &parent) override { return m_inner.createTextBox(parent); }
    std::unique_ptr<CheckBox> createCheckBox(Container &parent) override { return m_inner.createCheckBox(parent); }
    std::unique_ptr<Form> createForm() override { return m_inner.createForm(); }
    std::unique_ptr<Label> createLabel(Container &parent) override { return m_inner.createLabel(parent); }
    std::unique_ptr<ComboBox> createComboBox(Container &parent) override { return m_inner.createComboBox(parent); }
    std::unique_ptr<Button> createButton(Container &parent) override { return m_inner.createButton(parent); }
    std::unique_ptr<PictureBox> createPictureBox(Container &parent) override { return m_inner.createPictureBox(parent); }
    std::unique_ptr<Image> createImage(Container &parent) override { return m_inner.createImage(parent); }
    Screen &screen() override { return m_inner.screen(); }
    int16_t messageBox(const QString &prompt, int16_t style, const QString &title) override
    {
        return m_inner.messageBox(prompt, style, title);
    }
    int32_t setWindowOwner(int32_t hWnd, int32_t owner) override { return m_inner.setWindowOwner(hWnd, owner); }
    ItemChoice showItemList(const ItemListLayout &layout, RowSource &rows) override
    {
        return m_inner.showItemList(layout, rows);
    }
    void sendTab() override { m_inner.sendTab(); }
    void processPendingMessages() override { m_inner.processPendingMessages(); }
    void itemListRan(const ItemListReport &report) override { m_inner.itemListRan(report); }

private:
    Toolkit &m_inner;
};

} // namespace ui
