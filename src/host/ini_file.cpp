#include "ini_file.h"

#include "platform/vb/error.h"

#include <QFile>
#include <QStringList>

namespace host {

namespace {
QString keyOf(const QString &name)
{
    return name.trimmed().toCaseFolded();
}
} // namespace

IniFile IniFile::read(const QString &path)
{
    IniFile ini;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return ini;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QString section;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = keyOf(line.mid(1, line.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            throw vb::Error(vb::err::InvalidProcedureCall,
                            QStringLiteral("Settings file %1, line %2: expected [Section] or Key=Value")
                                .arg(path).arg(i + 1));
        ini.m_values[{section, keyOf(line.left(equals))}] = line.mid(equals + 1).trimmed();
    }
    return ini;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const auto found = m_values.find({keyOf(section), keyOf(key)});
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

} // namespace host
