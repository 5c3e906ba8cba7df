// A form without a display: modal showing, unloading, access keys and tab order.

#include "headless_form.h"

#include "headless_toolkit.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

namespace {

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

} // namespace ui
