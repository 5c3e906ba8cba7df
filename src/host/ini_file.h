#pragma once
// A settings file in the INI layout: "[Section]" headers and "Key=Value" lines;
// ";" or "#" start a comment line. Sections and keys are compared without
// regard to case; values are kept exactly as written after the "=" (surrounding
// spaces removed). UTF-8.

#include <QString>

#include <map>
#include <optional>

namespace host {

class IniFile {
public:
    // A missing file reads as empty. A line that is neither a section, a
    // key=value pair, a comment nor blank raises an error naming file and line.
    static IniFile read(const QString &path);

    std::optional<QString> value(const QString &section, const QString &key) const;

private:
    std::map<std::pair<QString, QString>, QString> m_values;
};

} // namespace host
