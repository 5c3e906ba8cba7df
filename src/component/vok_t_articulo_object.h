#pragma once
// vokTArticulo as a component object: the control reached by member name
// through its default interface _vokTArticulo, answering interface queries for
// every identity that interface ever had, with a connection point through
// which hosts receive its events late-bound.
//
// Connection point. advise takes the identity under which the host implements
// the events (any of the sixteen of __vokTArticulo's history) and the sink
// object; a sink offered under another identity is refused by raising a
// vb::Error whose number is CONNECT_E_CANNOTCONNECT (the status the platform's
// Advise returns), a null sink with E_POINTER. unadvise of a cookie not handed
// out raises CONNECT_E_NOCONNECTION.
//
// Events reach every sink by name, in the order the sinks were advised:
// "Change", "KeyDown"(KeyCode, Shift), "KeyPress"(KeyAscii), "Error"(sErrText),
// "GotFocus2". The by-reference arguments travel as Integer variants that one
// sink may change for the next; what the last sink leaves goes back to the text
// box. A sink that does not implement an event, or fails inside one, does not
// stop the delivery: the control ignores what a sink's event call returns.

#include "control/vok_t_articulo.h"
#include "platform/com/object.h"
#include "platform/com/status.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace component {

inline constexpr com::HRESULT CONNECT_E_NOCONNECTION = static_cast<com::HRESULT>(0x80040200u);
inline constexpr com::HRESULT CONNECT_E_CANNOTCONNECT = static_cast<com::HRESULT>(0x80040202u);

class vokTArticuloObject final : public com::AutomationObject, private vokTArticuloEvents {
public:
    vokTArticuloObject();
    ~vokTArticuloObject() override;

    vokTArticulo &control() { return *m_control; }

    uint32_t advise(const com::Guid &iid, vb::ObjectRef sink);
    void unadvise(uint32_t cookie);

protected:
    std::span<const com::Guid> interfaceIds() const override;

private:
    void addMembers();

    // vokTArticuloEvents: what the control raises, passed on to the sinks.
    void Change() override;
    void KeyDown(int16_t &KeyCode, int16_t &Shift) override;
    void KeyPress(int16_t &KeyAscii) override;
    void Error(const QString &sErrText) override;
    void GotFocus2() override;
    void fire(const QString &event, std::span<vb::Variant> args);

    struct Connection {
        uint32_t cookie;
        vb::ObjectRef sink;
    };

    // Shared with the font objects handed out, which outlive it detached.
    std::shared_ptr<vokTArticulo> m_control;
    std::vector<Connection> m_connections;
    uint32_t m_lastCookie = 0;
};

} // namespace component
