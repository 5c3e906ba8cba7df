#pragma once
// A combo box without a display: items, item data and the chosen index.

#include "headless_window.h"

#include <vector>

namespace ui {

class HeadlessComboBox final : public HeadlessWindow<ComboBox> {
public:
    using HeadlessWindow::HeadlessWindow;
    bool isTabStop() const override { return true; }

    void addItem(const QString &caption, int32_t itemData) override;
    int32_t listCount() const override { return static_cast<int32_t>(m_items.size()); }
    int32_t listIndex() const override { return m_index; }
    // Also the user's choice in the drop-down list.
    void setListIndex(int32_t index) override;
    int32_t itemData(int32_t index) const override;
    int32_t findItemData(int32_t itemData) const override;
    Font font() const override { return m_font; }
    void setFont(const Font &font) override { m_font = font; }

    QString itemCaption(int32_t index) const;

private:
    std::vector<std::pair<QString, int32_t>> m_items;
    int32_t m_index = -1;
    Font m_font;
};

} // namespace ui
