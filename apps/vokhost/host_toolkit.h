#pragma once
// The toolkit vokhost installs: the thread's headless toolkit does the work,
// and every message box and every run of the item list is also written out as
// a JSON line.

#include "platform/ui/headless/headless_toolkit.h"

namespace vokhost {

class HostToolkit final : public ui::Toolkit {
public:
    explicit HostToolkit(ui::HeadlessToolkit &headless) : m_headless(headless) {}
    ui::HeadlessToolkit &headless() const { return m_headless; }

    std::unique_ptr<ui::UserControl> createUserControl() override { return m_headless.createUserControl(); }
    std::unique_ptr<ui::TextBox> createTextBox(ui::UserControl &parent) override
    {
        return m_headless.createTextBox(parent);
    }
    std::unique_ptr<ui::CheckBox> createCheckBox(ui::UserControl &parent) override
    {
        return m_headless.createCheckBox(parent);
    }
    ui::HeadlessScreen &screen() override { return m_headless.screen(); }
    // {"message":{"kind":"error"|"info","text":S,"title":S}}, then the
    // headless box (which answers OK).
    int16_t messageBox(const QString &prompt, int16_t style, const QString &title) override;
    int32_t setWindowOwner(int32_t hWnd, int32_t owner) override { return m_headless.setWindowOwner(hWnd, owner); }
    ui::ItemChoice showItemList(const ui::ItemListLayout &layout, ui::RowSource &rows) override
    {
        return m_headless.showItemList(layout, rows);
    }
    void processPendingMessages() override { m_headless.processPendingMessages(); }
    // {"list":{"title","header","sql","rows","columns","first","result"}}.
    void itemListRan(const ui::ItemListReport &report) override;

private:
    ui::HeadlessToolkit &m_headless;
};

} // namespace vokhost
