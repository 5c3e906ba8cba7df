#pragma once
// Generated catalogues kept between benchmark runs: a million articles take
// about half a minute and half a gigabyte to write, so each size and file
// state is generated once (seed 7) and reused. The folder is
// $VOK_BENCH_DATA, or bench-data beside the build folder (build/bench-data for
// build/release); it is never inside the source tree's tracked files.
//
// Sizes: 100k always; 1M as well with VOK_BENCH_1M=1.

#include "catalogue.h"

#include "lookup/plan/index_script.h"
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

// A shop's file with our lookup indexes, or as it comes: only its ordinary
// indexes, its text in NOCASE (our schema) or in SQLite's default collation.
enum class FileState { Indexed, AsItComes, PlainText };
inline constexpr const char *kFileStateNames[] = {"Indexed", "AsItComes", "PlainText"};

// The path of the catalogue of the given size and state, generated if it is
// not there yet.
inline QString cachedCatalogue(int64_t articles, FileState state = FileState::Indexed)
{
    QString folder = qEnvironmentVariable("VOK_BENCH_DATA");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../../bench-data");
    QDir().mkpath(folder);
    const QString path = QDir(folder).absoluteFilePath(
        QStringLiteral("catalogue-%1-seed7-%2.db").arg(articles).arg(QLatin1String(kFileStateNames[int(state)])));
    if (QFile::exists(path)) {
        // A file indexed by an earlier build gets what the script has now.
        if (state == FileState::Indexed) {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            if (const lookup::LookupIndexing done = lookup::createLookupIndexes(db); !done.ok())
                std::fprintf(stderr, "cannot index %s: %s\n", qPrintable(path), qPrintable(done.error));
            sqlite3_close(db);
        }
        return path;
    }

    // The generator writes the file under another name and moves it into
    // place once indexed: an interrupted run leaves no catalogue behind.
    const auto started = std::chrono::steady_clock::now();
    vok::catalogue::Options options;
    options.articles = static_cast<uint32_t>(articles);
    options.seed = 7;
    options.output = path.toStdString();
    options.lookupIndexes = state == FileState::Indexed;
    options.plainText = state == FileState::PlainText;
    vok::catalogue::generate(options);
    std::fprintf(stderr, "catalogue of %lld articles (%s) generated in %.1f s: %s\n", static_cast<long long>(articles),
                 kFileStateNames[int(state)],
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
