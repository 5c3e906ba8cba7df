// Headless windows: their place among the others and the state they share.

#include "headless_window.h"

#include "headless_form.h"
#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

HeadlessNode::~HeadlessNode()
{
    if (m_parent)
        std::erase(m_parent->m_children, this);
    for (HeadlessNode *child : m_children)
        child->m_parent = nullptr;
}

void HeadlessNode::attachTo(Container *parent)
{
    m_parent = dynamic_cast<HeadlessNode *>(parent);
    if (m_parent)
        m_parent->m_children.push_back(this);
}

HeadlessForm *HeadlessNode::form()
{
    HeadlessNode *root = this;
    while (root->m_parent)
        root = root->m_parent;
    return dynamic_cast<HeadlessForm *>(root);
}

bool HeadlessNode::isReachable()
{
    for (HeadlessNode *node = this; node; node = node->m_parent) {
        if (!node->window().isVisible() || !node->window().isEnabled())
            return false;
    }
    return true;
}

void HeadlessNode::collect(std::vector<HeadlessNode *> &into)
{
    for (HeadlessNode *child : m_children) {
        into.push_back(child);
        child->collect(into);
    }
}

// The tab stop after from among the windows under root, wrapping around.
Window *nextTabStop(HeadlessNode &root, const HeadlessNode *from)
{
    std::vector<HeadlessNode *> order;
    root.collect(order);
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const auto found = std::find(order.begin(), order.end(), from);
    const std::ptrdiff_t start = found == order.end() ? -1 : found - order.begin();
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        HeadlessNode *node = order[static_cast<size_t>((start + step + count) % count)];
        if (node->isTabStop() && node->isReachable())
            return &node->window();
    }
    return nullptr;
}

template <typename Interface>
HeadlessWindow<Interface>::HeadlessWindow(HeadlessToolkit &toolkit, Container *parent)
    : m_toolkit(toolkit), m_hWnd(toolkit.newWindowHandle())
{
    attachTo(parent);
}

template <typename Interface>
HeadlessWindow<Interface>::~HeadlessWindow()
{
    m_toolkit.forget(this);
}

template <typename Interface>
void HeadlessWindow<Interface>::setWidth(Twips width)
{
    if (width < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_width = width;
}

template <typename Interface>
void HeadlessWindow<Interface>::setHeight(Twips height)
{
    if (height < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_height = height;
}

template <typename Interface>
void HeadlessWindow<Interface>::setVisible(bool visible)
{
    m_visible = visible;
    if (!visible && hasFocus())
        m_toolkit.moveFocus(nullptr);
}

template <typename Interface>
void HeadlessWindow<Interface>::setFocus()
{
    if (!m_visible || !m_enabled)
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    m_toolkit.moveFocus(this);
}

template <typename Interface>
bool HeadlessWindow<Interface>::hasFocus() const
{
    return m_toolkit.focused() == this;
}

template <typename Interface>
void HeadlessWindow<Interface>::pressKey(int16_t keyCode, int16_t shift)
{
    HeadlessForm *previewing = this->form();
    if (previewing && previewing != static_cast<HeadlessNode *>(this) && previewing->keyPreview()
        && previewing->onKeyDown)
        previewing->onKeyDown(keyCode, shift);
    if (this->onKeyDown)
        this->onKeyDown(keyCode, shift);
}

template <typename Interface>
void HeadlessWindow<Interface>::press(int16_t keyCode, int16_t keyAscii, int16_t shift)
{
    pressKey(keyCode, shift);
    if (keyAscii != 0 && this->onKeyPress)
        this->onKeyPress(keyAscii);
}

template class HeadlessWindow<TextBox>;
template class HeadlessWindow<CheckBox>;
template class HeadlessWindow<UserControl>;
template class HeadlessWindow<Label>;
template class HeadlessWindow<ComboBox>;
template class HeadlessWindow<Button>;
template class HeadlessWindow<PictureBox>;
template class HeadlessWindow<Image>;
template class HeadlessWindow<Form>;

} // namespace ui
