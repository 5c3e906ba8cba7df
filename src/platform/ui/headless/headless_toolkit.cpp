#include "headless_toolkit.h"

#include "platform/ui/picture_file.h"
#include "platform/vb/error.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

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

namespace {

HeadlessNode &rootOf(HeadlessNode &node)
{
    HeadlessNode *root = &node;
    while (root->parentNode())
        root = root->parentNode();
    return *root;
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

// The letter after a single "&" of a caption, upper case; "&&" is a plain "&".
std::optional<QChar> accessKeyOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i;
    }
    return std::nullopt;
}

} // namespace

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

void HeadlessTextBox::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_selStart = static_cast<int32_t>(m_text.size());
    m_selLength = 0;
    if (onChange)
        onChange();
}

void HeadlessTextBox::setSelStart(int32_t start)
{
    if (start < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_selStart = std::min<int32_t>(start, static_cast<int32_t>(m_text.size()));
    m_selLength = 0;
}

void HeadlessTextBox::setSelLength(int32_t length)
{
    if (length < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_selLength = std::min<int32_t>(length, static_cast<int32_t>(m_text.size()) - m_selStart);
}

void HeadlessTextBox::setMaxLength(int32_t length)
{
    if (length < 0)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_maxLength = length;
}

void HeadlessTextBox::setAppearance(int16_t appearance)
{
    if (appearance != 0 && appearance != 1)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    m_appearance = appearance;
}

namespace {
// The key code the platform reports in key down for a typed character.
int16_t keyCodeOf(QChar c)
{
    if (c.isLetter() && c.unicode() < 128)
        return static_cast<int16_t>(c.toUpper().unicode());
    return static_cast<int16_t>(c.unicode() < 256 ? c.unicode() : 0);
}
} // namespace

void HeadlessTextBox::type(const QString &characters)
{
    for (QChar c : characters) {
        pressKey(keyCodeOf(c), 0);
        int16_t keyAscii = static_cast<int16_t>(c.unicode());
        if (onKeyPress)
            onKeyPress(keyAscii);
        if (keyAscii < 32)
            continue;
        const QChar typed(static_cast<char16_t>(keyAscii));
        const int32_t kept = static_cast<int32_t>(m_text.size()) - m_selLength;
        if (m_maxLength > 0 && kept >= m_maxLength)
            continue;
        QString text = m_text;
        text.replace(m_selStart, m_selLength, typed);
        const int32_t caret = m_selStart + 1;
        if (text != m_text) {
            m_text = text;
            m_selStart = caret;
            m_selLength = 0;
            if (onChange)
                onChange();
        }
    }
}

void HeadlessCheckBox::setValue(int16_t value)
{
    if (value < 0 || value > 2)
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    if (value == m_value)
        return;
    m_value = value;
    if (onClick)
        onClick();
}

void HeadlessCheckBox::toggle()
{
    int16_t keyAscii = 32;
    if (onKeyPress)
        onKeyPress(keyAscii);
    if (keyAscii == 32)
        setValue(m_value == 1 ? 0 : 1);
}

void HeadlessUserControl::resize(Twips width, Twips height)
{
    setWidth(width);
    setHeight(height);
    if (onResize)
        onResize();
}

void HeadlessLabel::click()
{
    if (onClick)
        onClick();
}

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

void HeadlessButton::click()
{
    if (onClick)
        onClick();
}

void HeadlessImage::loadPicture(const QString &path)
{
    if (path.isEmpty()) {
        m_handle = 0;
        m_path.clear();
        return;
    }
    const PictureFile picture = readPictureFile(path);
    static std::atomic<int32_t> lastPicture{0};
    setWidth(picture.width);
    setHeight(picture.height);
    m_handle = ++lastPicture;
    m_path = path;
}

HeadlessForm::HeadlessForm(HeadlessToolkit &toolkit) : HeadlessWindow(toolkit)
{
    // A form is hidden until it is shown.
    HeadlessWindow::setVisible(false);
}

void HeadlessForm::setWidth(Twips width)
{
    HeadlessWindow::setWidth(width);
    if (onResize)
        onResize();
}

void HeadlessForm::setHeight(Twips height)
{
    HeadlessWindow::setHeight(height);
    if (onResize)
        onResize();
}

void HeadlessForm::showModal()
{
    if (m_loaded)
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    m_loaded = true;
    m_toolkit.enterModal(*this);
    struct LeaveModal {
        HeadlessForm &form;
        ~LeaveModal() { form.m_toolkit.leaveModal(form); }
    } leave{*this};
    if (onLoad)
        onLoad();
    if (!m_loaded)
        return;
    setVisible(true);
    if (!m_toolkit.focused()) {
        if (Window *first = nextInTabOrder(nullptr))
            m_toolkit.moveFocus(first);
    }
    if (auto user = m_toolkit.takeModalAnswer())
        user(*this);
    unload();
}

void HeadlessForm::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    if (onUnload)
        onUnload();
    setVisible(false);
}

void HeadlessForm::pressAccessKey(QChar letter)
{
    std::vector<HeadlessNode *> order;
    collect(order);
    for (HeadlessNode *node : order) {
        if (auto *label = dynamic_cast<HeadlessLabel *>(node); label && accessKeyOf(label->caption()) == letter.toUpper()) {
            if (Window *next = nextTabStop(*this, node))
                m_toolkit.moveFocus(next);
            return;
        }
        if (auto *button = dynamic_cast<HeadlessButton *>(node);
            button && node->isReachable() && accessKeyOf(button->caption()) == letter.toUpper()) {
            if (m_toolkit.moveFocus(button))
                button->click();
            return;
        }
    }
}

Window *HeadlessForm::nextInTabOrder(Window *from)
{
    return nextTabStop(*this, dynamic_cast<HeadlessNode *>(from));
}

void HeadlessScreen::setMousePointer(int16_t pointer)
{
    m_pointer = pointer;
    m_history.push_back(pointer);
}

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
