#include "toolkit.h"

#include "headless/headless_toolkit.h"

#include "platform/vb/error.h"

namespace ui {

Window::~Window() = default;
Screen::~Screen() = default;
Toolkit::~Toolkit() = default;
RowSource::~RowSource() = default;

void Window::move(Twips left, Twips top, Twips width, Twips height)
{
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}

namespace {
thread_local Toolkit *installedToolkit = nullptr;
}

Toolkit &toolkit()
{
    if (installedToolkit)
        return *installedToolkit;
    thread_local HeadlessToolkit headless;
    return headless;
}

void setToolkit(Toolkit *toolkit)
{
    installedToolkit = toolkit;
}

} // namespace ui
