#pragma once
// The generated catalogues the tests read, one per seed and size for the whole
// test program, and the digest of a file's bytes with which a test proves the
// library never wrote to the shop's file. Include it only in programs that
// link vokcatalogue.

#include "catalogue.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <map>
#include <memory>
#include <utility>

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

} // namespace vok::test
