#pragma once
// The registry of components: a text file in the layout of a registry export
// (sections of "[KEY\PATH]" followed by "@" for the default value and
// "name"="value" lines). Keys and value names are compared without regard to
// case. Every change is written back at once, atomically; it re-reads the
// file first, so that it keeps what other processes (an installer) wrote since.
//
//   VOK Registry 1
//
//   [HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32]
//   @="/usr/lib/vok/libcomponent.so"
//   "ThreadingModel"="Apartment"
//
// Inside quotes a backslash escapes \\, \", and \n and \r for line breaks.
//
// Location: $VOK_REGISTRY, else $XDG_CONFIG_HOME/vok/registry.reg, else
// ~/.config/vok/registry.reg.
//
// The system's registry, vok/registry.reg in the first folder of
// $XDG_CONFIG_DIRS (/etc/xdg when unset) that has one, is where an installed
// package registers its components for every user. A user who has no registry
// file yet (and no $VOK_REGISTRY) reads the system's; the user's first change
// then writes the user's own file, starting from the system's entries, so that
// nobody but the installer writes the system's file.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace com {

inline constexpr char16_t ClassesRoot[] = u"HKEY_CLASSES_ROOT";

class Registry {
public:
    // Error numbers raised (as vb::Error): the platform's "Invalid file format"
    // for a file that cannot be parsed, and "Path/File access error" for one
    // that cannot be read or written. Descriptions name the file.
    static constexpr int32_t InvalidFileFormat = 321;
    static constexpr int32_t FileAccessError = 75;

    static QString defaultPath();
    // The system's registry file, or an empty string when there is none.
    static QString systemPath();

    // The current registry: defaultPath(), read from systemPath() while the
    // user has no file of their own.
    Registry();
    // Reads the file; a missing file is an empty registry. A file that cannot be
    // parsed raises an error that names the file and the line.
    explicit Registry(QString path);

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
    using Values = std::vector<std::pair<QString, QString>>;
    using Keys = std::vector<std::pair<QString, Values>>;

    void load();
    void save() const;

    QString m_path;
    // Read instead of m_path while m_path does not exist; empty for none.
    QString m_fallback;
    // key -> (value name -> value); names kept as first written.
    Keys m_keys;
};

} // namespace com
