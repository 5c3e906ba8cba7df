#pragma once
// Generated catalogues kept between benchmark runs: a million articles take
// about half a minute and half a gigabyte to write, so each size is generated
// once (seed 7), given the lookup indexes, and reused. The folder is
// $VOK_BENCH_DATA, or bench-data beside the build folder (build/bench-data for
// build/release); it is never inside the source tree's tracked files.
//
// Sizes: 100k always; 1M as well with VOK_BENCH_1M=1.

#include "catalogue.h"

#include "platform/rdo/sqlite/sqlite_connection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <vector>

inline std::vector<int64_t> benchmarkSizes()
{
    std::vector<int64_t> sizes{100000};
    if (qEnvironmentVariable("VOK_BENCH_1M") == QLatin1String("1"))
        sizes.push_back(1000000);
    return sizes;
}

// The path of the catalogue of the given size, generated and indexed if it is
// not there yet.
inline QString cachedCatalogue(int64_t articles)
{
    QString folder = qEnvironmentVariable("VOK_BENCH_DATA");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../../bench-data");
    QDir().mkpath(folder);
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("catalogue-%1-seed7.db").arg(articles));
    if (QFile::exists(path))
        return path;

    // The generator writes the file under another name and moves it into
    // place once indexed: an interrupted run leaves no catalogue behind.
    const auto started = std::chrono::steady_clock::now();
    vok::catalogue::Options options;
    options.articles = static_cast<uint32_t>(articles);
    options.seed = 7;
    options.output = path.toStdString();
    options.lookupIndexes = true;
    vok::catalogue::generate(options);
    std::fprintf(stderr, "catalogue of %lld articles generated and indexed in %.1f s: %s\n",
                 static_cast<long long>(articles),
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), qPrintable(path));
    return path;
}

// A read connection for the hand-written baselines, with the back end's text
// comparison installed so that they may use the same indexes.
inline sqlite3 *openBaselineConnection(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    rdo::installServerText(db);
    return db;
}
