#include "command.h"

namespace vokhost {

std::optional<Command> parseCommand(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
        return std::nullopt;
    Command command;
    const qsizetype start = line.indexOf(trimmed.at(0));
    const qsizetype blank = line.indexOf(u' ', start);
    command.name = blank < 0 ? line.mid(start).trimmed() : line.mid(start, blank - start);
    // "type" keeps everything after the one blank, leading and trailing blanks too.
    command.rest = blank < 0 ? QString() : line.mid(blank + 1);
    command.words = command.rest.split(u' ', Qt::SkipEmptyParts);
    return command;
}

std::optional<KeyStroke> parseKey(const QString &text)
{
    static const QStringList keys{"Enter", "Tab", "Escape", "Space", "Backspace", "F4", "F12"};
    KeyStroke stroke;
    const QStringList parts = text.split(u'+');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString modifier = parts.at(i).toLower();
        if (modifier == QStringLiteral("shift"))
            stroke.shift |= 1;
        else if (modifier == QStringLiteral("ctrl"))
            stroke.shift |= 2;
        else if (modifier == QStringLiteral("alt"))
            stroke.shift |= 4;
        else
            return std::nullopt;
    }
    for (const QString &key : keys)
        if (parts.last().compare(key, Qt::CaseInsensitive) == 0) {
            stroke.key = key;
            return stroke;
        }
    return std::nullopt;
}

} // namespace vokhost
