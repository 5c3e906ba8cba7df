#pragma once
// The generated catalogues the tests read, one per seed and size for the whole
// test program, and the digest of a file's bytes with which a test proves the
// library never wrote to the shop's file. Include it only in programs that
// link vokcatalogue.

#include "catalogue.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace vok::test {

inline QByteArray fileDigest(const std::filesystem::path &file)
{
    QFile f(QString::fromStdString(file.string()));
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

// Generated on first use into a folder that lives as long as the program.
inline std::filesystem::path generatedCatalogue(std::uint64_t seed, std::uint32_t articles = 1000)
{
    static QTemporaryDir folder;
    static std::map<std::pair<std::uint64_t, std::uint32_t>, std::filesystem::path> made;
    auto &path = made[{seed, articles}];
    if (path.empty()) {
        vok::catalogue::Options options;
        options.articles = articles;
        options.seed = seed;
        options.output = folder.filePath(QStringLiteral("catalogue-%1-%2.db").arg(seed).arg(articles)).toStdString();
        vok::catalogue::generate(options);
        path = options.output;
    }
    return path;
}

// The first column of every row of a query on a catalogue file, as text.
inline std::vector<QString> queryColumn(const std::filesystem::path &file, const std::string &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    std::vector<QString> found;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK)
        while (sqlite3_step(statement) == SQLITE_ROW)
            found.push_back(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return found;
}

} // namespace vok::test
