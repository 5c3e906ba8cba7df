#pragma once
// The `search` command: what the script's user does in the next advanced
// search dialog, and the line that reports each dialog so answered.

#include <QString>

#include <cstdint>
#include <optional>

namespace ui {
class HeadlessToolkit;
}

namespace vokhost {

// search [campo=N] [tipo=N] [texto="JSON string"] [enuso=N] [enventa=N] [cb=N] ok|cancel|escape|close
struct SearchAnswer {
    std::optional<int32_t> campo;   // item codes of the combos' entries
    std::optional<int32_t> tipo;
    std::optional<QString> texto;
    std::optional<int32_t> enUso;
    std::optional<int32_t> enVenta;
    std::optional<int32_t> cb;
    QString action;                 // ok, cancel, escape or close
};

// The answer written after the command's name; a malformed one is error 5
// from vokhost.
SearchAnswer parseSearchAnswer(const QString &rest);

// Queues the answer for the next modal window. When that window is a search
// dialog, the answer acts in it as the user, in tab order, then prints
// {"search":{"caption","condition","check","found","result"}}; any other
// window is left to close as by its close box.
void queueSearchAnswer(ui::HeadlessToolkit &toolkit, SearchAnswer answer);

} // namespace vokhost
