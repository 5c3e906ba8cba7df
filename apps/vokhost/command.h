#pragma once
// The command language of vokhost: one command a line.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vokhost {

struct Command {
    QString name;  // the first word, as written
    QString rest;  // the line after the name and one blank, untouched
    QStringList words; // the words after the name
};

// Nothing for a blank line or a comment (a line whose first non-blank is '#').
std::optional<Command> parseCommand(const QString &line);

// A key as `key` names it: "Enter", "F4", "Shift+Tab", "Ctrl+Alt+F12"...
struct KeyStroke {
    QString key;       // Enter, Tab, Escape, Space, Backspace, F4 or F12
    int16_t shift = 0; // 1 Shift, 2 Ctrl, 4 Alt, as key down reports them
};
// Nothing for an unknown key or modifier.
std::optional<KeyStroke> parseKey(const QString &text);

} // namespace vokhost
