// The administrator's commands on a shop's existing file: give it the lookup
// indexes, and say what its lookups will read.

#include "catalogue.h"

#include "lookup/plan/index_script.h"

#include <sqlite3.h>

#include <memory>

namespace vok::catalogue {

namespace {

using Database = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;

// An existing file, never created: a mistyped name is an error, not a new
// empty shop.
Database openExisting(const std::filesystem::path &file, int flags)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(file.string().c_str(), &raw, flags, nullptr);
    Database db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        throw CatalogueError("cannot open " + file.string() + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    // A till or the back office may be reading or writing it meanwhile.
    sqlite3_busy_timeout(db.get(), 10000);
    if (sqlite3_exec(db.get(), "Select 1 From Articulo Limit 1", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw CatalogueError(file.string() + " is not a shop's file: " + sqlite3_errmsg(db.get()));
    return db;
}

std::vector<std::string> lines(const QStringList &texts, const QString &before = {})
{
    std::vector<std::string> out;
    for (const QString &text : texts)
        out.push_back((before + text).toStdString());
    return out;
}

} // namespace

std::vector<std::string> indexFile(const std::filesystem::path &file)
{
    const Database db = openExisting(file, SQLITE_OPEN_READWRITE);
    const lookup::LookupIndexing done = lookup::createLookupIndexes(db.get());
    if (!done.ok())
        throw CatalogueError("cannot index " + file.string() + ", left as it was: " + done.error.toStdString());
    std::vector<std::string> said = lines(done.dropped, u"dropped "_qs);
    for (std::string &line : said)
        line += " (an earlier version's)";
    const std::vector<std::string> created = lines(done.created, u"created "_qs);
    said.insert(said.end(), created.begin(), created.end());
    if (said.empty())
        said.push_back("the file has every lookup index already");
    said.push_back("statistics refreshed");
    return said;
}

std::vector<std::string> checkFile(const std::filesystem::path &file)
{
    const Database db = openExisting(file, SQLITE_OPEN_READONLY);
    return lines(lookup::lookupReadings(db.get()));
}

} // namespace vok::catalogue
