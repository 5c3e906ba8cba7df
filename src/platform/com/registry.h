#pragma once
// The registry of components: a text file in the layout of a registry export
// (sections of "[KEY\PATH]" followed by "@" for the default value and
// "name"="value" lines). Keys and value names are compared without regard to
// case. Every change is written back at once, atomically.
//
// Location: $VOK_REGISTRY, else $XDG_CONFIG_HOME/vok/registry.reg, else
// ~/.config/vok/registry.reg.

#include <QString>
#include <QStringList>

#include <optional>

namespace com {

inline constexpr char16_t ClassesRoot[] = u"HKEY_CLASSES_ROOT";

class Registry {
public:
    static QString defaultPath();

    // Reads the file; a missing file is an empty registry. A file that cannot be
    // parsed raises an error that names the file and the line.
    explicit Registry(QString path = defaultPath());

    const QString &path() const { return m_path; }

    // The named value of a key; an empty name is the key's default value.
    std::optional<QString> value(const QString &key, const QString &name = {}) const;
    void setValue(const QString &key, const QString &name, const QString &value);
    // Removes the key, its values and every key below it. Removing a key that is
    // not there is harmless.
    void removeKey(const QString &key);
    // Keys directly below the given key.
    QStringList subKeys(const QString &key) const;

private:
    void load();
    void save() const;

    QString m_path;
    // key -> (value name -> value); names kept as first written.
    std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> m_keys;
};

} // namespace com
