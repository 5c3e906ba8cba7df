// A combo box without a display: items, item data and the chosen index.

#include "headless_combo_box.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

void HeadlessComboBox::addItem(const QString &caption, int32_t itemData)
{
    m_items.emplace_back(caption, itemData);
}

void HeadlessComboBox::setListIndex(int32_t index)
{
    if (index < -1 || index >= listCount())
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    if (index == m_index)
        return;
    m_index = index;
    if (onSelectionChange)
        onSelectionChange();
}

int32_t HeadlessComboBox::itemData(int32_t index) const
{
    if (index < 0 || index >= listCount())
        throw vb::Error::standard(vb::err::InvalidPropertyArrayIndex);
    return m_items[static_cast<size_t>(index)].second;
}

QString HeadlessComboBox::itemCaption(int32_t index) const
{
    if (index < 0 || index >= listCount())
        throw vb::Error::standard(vb::err::InvalidPropertyArrayIndex);
    return m_items[static_cast<size_t>(index)].first;
}

int32_t HeadlessComboBox::findItemData(int32_t itemData) const
{
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [itemData](const auto &item) { return item.second == itemData; });
    return found == m_items.end() ? -1 : static_cast<int32_t>(found - m_items.begin());
}

} // namespace ui
