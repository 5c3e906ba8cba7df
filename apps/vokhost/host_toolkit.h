#pragma once
// The toolkit vokhost installs: the thread's headless toolkit does the work,
// and every message box and every run of the item list is also written out as
// a JSON line.

#include "platform/ui/delegating_toolkit.h"
#include "platform/ui/headless/headless_toolkit.h"

namespace vokhost {

class HostToolkit final : public ui::DelegatingToolkit {
public:
    explicit HostToolkit(ui::HeadlessToolkit &headless) : DelegatingToolkit(headless), m_headless(headless) {}
    ui::HeadlessToolkit &headless() const { return m_headless; }

    // {"message":{"kind":"error"|"info","text":S,"title":S}}, then the
    // headless box (which answers OK).
    int16_t messageBox(const QString &prompt, int16_t style, const QString &title) override;
    // {"list":{"title","header","sql","rows","columns","first","result"}}.
    void itemListRan(const ui::ItemListReport &report) override;

private:
    ui::HeadlessToolkit &m_headless;
};

} // namespace vokhost
