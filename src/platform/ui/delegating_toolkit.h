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
    std::unique_ptr<TextBox> createTextBox(UserControl &parent) override { return m_inner.createTextBox(parent); }
    std::unique_ptr<CheckBox> createCheckBox(UserControl &parent) override { return m_inner.createCheckBox(parent); }
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
    void processPendingMessages() override { m_inner.processPendingMessages(); }
    void itemListRan(const ItemListReport &report) override { m_inner.itemListRan(report); }

private:
    Toolkit &m_inner;
};

} // namespace ui
