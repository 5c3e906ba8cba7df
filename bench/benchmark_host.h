#pragma once
// A benchmark process set up as a host application: a registry and settings of
// its own in a temporary folder (where catalogues may go too), and the host
// components registered in it for the life of the object.

#include "platform/com/registration.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>

class BenchmarkHost {
public:
    BenchmarkHost()
    {
        QLocale::setDefault(QLocale::c());
        qputenv("VOK_REGISTRY", (m_folder.path() + "/registry.reg").toLocal8Bit());
        qputenv("VOK_SETTINGS", (m_folder.path() + "/settings.ini").toLocal8Bit());
        QString why;
        if (com::registerServer(m_hostLibrary, &why) != com::S_OK)
            std::fprintf(stderr, "host components not registered: %s\n", qPrintable(why));
    }
    ~BenchmarkHost() { com::unregisterServer(m_hostLibrary); }
    BenchmarkHost(const BenchmarkHost &) = delete;
    BenchmarkHost &operator=(const BenchmarkHost &) = delete;

    QString folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    const QString m_hostLibrary = QCoreApplication::applicationDirPath() + "/../lib/libvokhost.so";
};
