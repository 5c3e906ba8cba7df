// Deterministic sample catalogues for the shop database that the article entry
// control reads: realistic enough to exercise lookups by code, name and bar
// code, the candidate list layouts, the advanced search and the detail view,
// and reproducible from a seed so that a failure can be replayed exactly.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace vok::catalogue {

inline constexpr std::uint32_t kMinArticles = 1000;
inline constexpr std::uint32_t kMaxArticles = 1000000;

class CatalogueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct Options
{
    std::uint32_t articles = 0;
    std::uint64_t seed = 0;
    std::filesystem::path output;
    bool force = false;
    bool photos = false; // also write the photographs (writePhotos)
    // Also create the indexes the lookups probe (data/indexes.sql), as a shop
    // would on its own file.
    bool lookupIndexes = false;
    // Text columns in SQLite's default collation instead of NOCASE, as a
    // file written by another program may have them.
    bool plainText = false;
};

// What the command line asks for: a new sample catalogue, or, on a shop's
// existing file, to give it the lookup indexes or to say what its lookups
// will read.
enum class Command { Generate, Index, Check };

struct ParsedArguments
{
    Command command = Command::Generate;
    std::filesystem::path file; // the shop's file of index and check
    Options options;
    bool help = false;
    std::string error; // non-empty when the arguments are unusable
};

// Reads the command line (without the program name).
ParsedArguments parseArguments(std::span<const std::string_view> args);
std::string usage(std::string_view program);

// The host schema, as embedded from data/schema.sql at build time.
std::string_view schemaSql();

// Every table the generator fills, in filling order.
const std::vector<std::string_view> &filledTables();

struct Summary
{
    std::uint64_t articles = 0;
    std::uint64_t varieties = 0;
    std::uint64_t barCodes = 0;
    std::uint64_t prices = 0;
    std::uint64_t stock = 0;
};

// Creates the schema in an empty, open database and fills it in one
// transaction. Throws CatalogueError on any database error.
Summary fill(sqlite3 *db, std::uint32_t articles, std::uint64_t seed, bool plainText = false);

// Gives a shop's file the lookup indexes, upgrading those of an earlier
// version, and returns what was done, one line each. Throws CatalogueError.
std::vector<std::string> indexFile(const std::filesystem::path &file);

// What each kind of lookup will read on a shop's file, one line each. Opens
// the file read-only. Throws CatalogueError.
std::vector<std::string> checkFile(const std::filesystem::path &file);

// Writes a new catalogue file. Refuses an existing file unless options.force;
// the file appears only once complete, so a failed run leaves nothing behind.
Summary generate(const Options &options);

// The photographs of a catalogue: a small picture with the article's code for
// every article of company 1 that names one (at most kMaxPhotos), written
// beside the catalogue where its image folder "D:\Img\" points once drive D:
// is mapped to the catalogue's folder ([Rutas] D=FOLDER in the host
// settings). Most go into the terminals' sub-folder Img/TPV; every fifth only
// into Img itself, so that the view's second try is used too. The code is
// drawn only when a QGuiApplication exists (fonts need one). Returns the
// number of files written; throws CatalogueError when one cannot be written.
inline constexpr std::uint32_t kMaxPhotos = 1000;
std::uint64_t writePhotos(const std::filesystem::path &catalogue);

// EAN-13 check digit of the first twelve digits.
int ean13CheckDigit(std::string_view twelveDigits);

} // namespace vok::catalogue
