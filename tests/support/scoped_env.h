#pragma once
// Test helpers for the process environment the runtime reads.

#include <QByteArray>
#include <QTemporaryDir>

#include <optional>

namespace vok::test {

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    std::optional<QByteArray> m_old;
};

// A fresh, empty component registry in a temporary folder, in force
// ($VOK_REGISTRY) for the life of the object.
class ScopedRegistry {
public:
    ScopedRegistry();
    QString path() const { return m_dir.filePath("registry.reg"); }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    ScopedEnv m_env;
};

// The folder where the build put the project's shared libraries.
QString buildLibraryDir();

// Writes a whole file, replacing what was there, and returns its path; fails
// the test when it cannot.
QString writeFile(const QString &path, const QByteArray &content);

} // namespace vok::test
