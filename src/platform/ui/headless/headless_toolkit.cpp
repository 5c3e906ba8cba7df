// The headless toolkit: it creates the windows and keeps the focus, the modal
// windows, the message boxes and item lists shown, and the windows' owners.

#include "headless_toolkit.h"

#include "platform/vb/error.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

namespace ui {

namespace {

HeadlessNode &rootOf(HeadlessNode &node)
{
    HeadlessNode *root = &node;
    while (root->parentNode())
        root = root->parentNode();
    return *root;
}


} // namespace

std::unique_ptr<UserControl> HeadlessToolkit::createUserControl()
{
    return std::make_unique<HeadlessUserControl>(*this);
}

std::unique_ptr<TextBox> HeadlessToolkit::createTextBox(Container &parent)
{
    return std::make_unique<HeadlessTextBox>(*this, &parent);
}

std::unique_ptr<CheckBox> HeadlessToolkit::createCheckBox(Container &parent)
{
    return std::make_unique<HeadlessCheckBox>(*this, &parent);
}

std::unique_ptr<Form> HeadlessToolkit::createForm()
{
    return std::make_unique<HeadlessForm>(*this);
}

std::unique_ptr<Label> HeadlessToolkit::createLabel(Container &parent)
{
    return std::make_unique<HeadlessLabel>(*this, &parent);
}

std::unique_ptr<ComboBox> HeadlessToolkit::createComboBox(Container &parent)
{
    return std::make_unique<HeadlessComboBox>(*this, &parent);
}

std::unique_ptr<Button> HeadlessToolkit::createButton(Container &parent)
{
    return std::make_unique<HeadlessButton>(*this, &parent);
}

std::unique_ptr<PictureBox> HeadlessToolkit::createPictureBox(Container &parent)
{
    return std::make_unique<HeadlessPictureBox>(*this, &parent);
}

std::unique_ptr<Image> HeadlessToolkit::createImage(Container &parent)
{
    return std::make_unique<HeadlessImage>(*this, &parent);
}

void HeadlessToolkit::sendTab()
{
    auto *from = dynamic_cast<HeadlessNode *>(m_focused);
    if (!from)
        return;
    if (Window *next = nextTabStop(rootOf(*from), from))
        moveFocus(next);
}

std::function<void(Form &)> HeadlessToolkit::takeModalAnswer()
{
    if (m_modalAnswers.empty())
        return {};
    auto user = std::move(m_modalAnswers.front());
    m_modalAnswers.pop_front();
    return user;
}

void HeadlessToolkit::enterModal(HeadlessForm &form)
{
    m_modalForms.push_back(&form);
    m_focusBehindModal.push_back(std::exchange(m_focused, nullptr));
}

void HeadlessToolkit::leaveModal(HeadlessForm &form)
{
    std::erase(m_modalForms, &form);
    m_focused = m_focusBehindModal.back();
    m_focusBehindModal.pop_back();
}

int16_t HeadlessToolkit::messageBox(const QString &prompt, int16_t style, const QString &title)
{
    m_messages.push_back({prompt, style, title});
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(title), qUtf8Printable(shown));
    return 1;
}

bool HeadlessToolkit::moveFocus(Window *to)
{
    if (to == m_focused)
        return true;
    if (auto *textBox = dynamic_cast<TextBox *>(m_focused); textBox && to && textBox->onValidate) {
        bool cancel = false;
        textBox->onValidate(cancel);
        if (cancel)
            return false;
    }
    Window *from = m_focused;
    m_focused = to;
    if (from && from->onLostFocus)
        from->onLostFocus();
    if (to && to->onGotFocus)
        to->onGotFocus();
    return true;
}

void HeadlessToolkit::forget(Window *window)
{
    if (m_focused == window)
        m_focused = nullptr;
    std::replace(m_focusBehindModal.begin(), m_focusBehindModal.end(), window, static_cast<Window *>(nullptr));
    m_owners.erase(window->hWnd());
}

int32_t HeadlessToolkit::newWindowHandle()
{
    // Counted over the whole process, as handles of real windows are unique
    // across threads too.
    static std::atomic<int32_t> lastHandle{0};
    const int32_t handle = ++lastHandle;
    m_owners[handle] = 0;
    return handle;
}

ItemChoice HeadlessToolkit::showItemList(const ItemListLayout &layout, RowSource &rows)
{
    constexpr int FirstRowsShown = 20;
    std::optional<int> answer;
    if (!m_itemListAnswers.empty()) {
        answer = m_itemListAnswers.front();
        m_itemListAnswers.pop_front();
    }
    ShownItemList shown{layout, {}, std::nullopt};
    const int needed = std::max(FirstRowsShown, answer.value_or(0) + 1);
    while (static_cast<int>(shown.rowsRead.size()) < needed && !rows.atEnd())
        shown.rowsRead.push_back(rows.takeRow());
    if (answer && *answer >= 0 && *answer < static_cast<int>(shown.rowsRead.size()))
        shown.chosen = answer;
    m_itemLists.push_back(shown);
    if (!shown.chosen)
        return std::nullopt;
    return shown.rowsRead[static_cast<size_t>(*shown.chosen)];
}

int32_t HeadlessToolkit::setWindowOwner(int32_t hWnd, int32_t owner)
{
    const auto found = m_owners.find(hWnd);
    if (found == m_owners.end())
        return 0;
    return std::exchange(found->second, owner);
}

int32_t HeadlessToolkit::windowOwner(int32_t hWnd) const
{
    const auto found = m_owners.find(hWnd);
    return found == m_owners.end() ? 0 : found->second;
}

} // namespace ui
