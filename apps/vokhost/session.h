#pragma once
// One vokhost session: a form holding the control and, after it in tab order,
// a plain host text box; the script's commands act on them.

#include "command.h"
#include "host_toolkit.h"

#include <QJsonObject>

#include <memory>

namespace com {
class PropertyBag;
}
namespace component {
class vokTArticuloObject;
}
namespace rdo {
class rdoConnection;
}

namespace vokhost {

class Session {
public:
    // Installs a HostToolkit over headless for the calling thread, then
    // creates the form; the focus starts in tArticulo. The control reads the
    // stored bag when one is given, else it starts as a new instance; the
    // bag's errors reach the caller.
    Session(ui::HeadlessToolkit &headless, std::shared_ptr<rdo::rdoConnection> connection,
            com::PropertyBag *stored = nullptr);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Runs one command and writes its lines; false once the script said quit.
    bool execute(const Command &command);

private:
    void set(const Command &command);
    void get(const Command &command);
    QJsonObject state();
    void key(const KeyStroke &stroke);
    void list(const Command &command);
    void find(const Command &command);
    void detail(const Command &command);
    void resize(const Command &command);

    // The windows in tab order that can take the focus now.
    std::vector<ui::Window *> tabOrder();
    ui::Window *focused() const { return m_toolkit.headless().focused(); }

    HostToolkit m_toolkit;
    std::shared_ptr<rdo::rdoConnection> m_connection;
    std::shared_ptr<component::vokTArticuloObject> m_control;
    std::unique_ptr<ui::UserControl> m_form;
    std::unique_ptr<ui::TextBox> m_hostBox;
};

} // namespace vokhost
