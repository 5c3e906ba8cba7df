#include "scoped_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace vok::test {

ScopedEnv::ScopedEnv(const char *name, const QByteArray &value) : m_name(name)
{
    if (qEnvironmentVariableIsSet(name))
        m_old = qgetenv(name);
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv()
{
    if (m_old)
        qputenv(m_name, *m_old);
    else
        qunsetenv(m_name);
}

ScopedRegistry::ScopedRegistry()
    : m_env("VOK_REGISTRY", QDir(m_dir.path()).filePath("registry.reg").toLocal8Bit())
{
}

QString buildLibraryDir()
{
    return QStringLiteral(VOK_BUILD_LIB_DIR);
}

QString writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
    return path;
}

} // namespace vok::test
