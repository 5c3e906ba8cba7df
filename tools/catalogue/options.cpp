#include "catalogue.h"

#include <charconv>

namespace vok::catalogue {

namespace {

bool parseUnsigned(std::string_view text, std::uint64_t &value)
{
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return false;
    const auto *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

} // namespace

std::string usage(std::string_view program)
{
    std::string text = "Usage: ";
    text += program;
    text += " --articles N --seed S --output FILE.sqlite [--force]\n"
            "       ";
    text += program;
    text += " index FILE.sqlite\n"
            "       ";
    text += program;
    text += " check FILE.sqlite\n"
            "\n"
            "Writes a sample shop catalogue (SQLite) for the article entry control.\n"
            "  index FILE     gives a shop's file the indexes the control's lookups read\n"
            "                 (or upgrades those of an earlier version) and says what it did;\n"
            "                 running it again changes nothing\n"
            "  check FILE     says which lookups will be fast on a shop's file, which will\n"
            "                 read a whole table, and why; writes nothing\n"
            "  --articles N   number of articles, " + std::to_string(kMinArticles) + " to " +
            std::to_string(kMaxArticles) + "\n"
            "  --seed S       unsigned 64-bit seed; the same seed gives the same catalogue\n"
            "  --output FILE  catalogue file to create\n"
            "  --force        replace FILE if it exists\n"
            "  --photos       also write the articles' photographs into the folder Img\n"
            "                 beside FILE (map drive D: to FILE's folder to see them)\n"
            "  --lookup-indexes\n"
            "                 also create the indexes the control's lookups probe\n"
            "                 (data/indexes.sql), as a shop does on its own file\n"
            "  --plain-text   text columns in SQLite's default collation (the schema's\n"
            "                 are NOCASE), as a file written by another program may be\n"
            "  --help         show this text\n";
    return text;
}

ParsedArguments parseArguments(std::span<const std::string_view> args)
{
    ParsedArguments result;
    bool haveArticles = false;
    bool haveSeed = false;
    bool haveOutput = false;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };

    if (!args.empty() && (args[0] == "index" || args[0] == "check")) {
        result.command = args[0] == "index" ? Command::Index : Command::Check;
        if (args.size() != 2 || args[1].empty() || args[1].starts_with("--"))
            return fail(std::string(args[0]) + " needs one argument: the shop's file");
        result.file = std::filesystem::path(std::string(args[1]));
        return result;
    }

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::string_view value;
        bool inlineValue = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }

        if (arg == "--help" || arg == "-h") {
            result.help = true;
            return result;
        }
        if (arg == "--force") {
            if (inlineValue)
                return fail("--force takes no value");
            result.options.force = true;
            continue;
        }
        if (arg == "--photos") {
            if (inlineValue)
                return fail("--photos takes no value");
            result.options.photos = true;
            continue;
        }
        if (arg == "--plain-text") {
            if (inlineValue)
                return fail("--plain-text takes no value");
            result.options.plainText = true;
            continue;
        }
        if (arg == "--lookup-indexes") {
            if (inlineValue)
                return fail("--lookup-indexes takes no value");
            result.options.lookupIndexes = true;
            continue;
        }
        if (arg != "--articles" && arg != "--seed" && arg != "--output")
            return fail("unknown argument '" + std::string(args[i]) + "'");
        if (!inlineValue) {
            if (i + 1 >= args.size())
                return fail(std::string(arg) + " needs a value");
            value = args[++i];
        }

        if (arg == "--articles") {
            std::uint64_t n = 0;
            if (!parseUnsigned(value, n))
                return fail("--articles expects a whole number, got '" + std::string(value) + "'");
            if (n < kMinArticles || n > kMaxArticles)
                return fail("--articles must be between " + std::to_string(kMinArticles) + " and " +
                            std::to_string(kMaxArticles) + ", got " + std::string(value));
            result.options.articles = static_cast<std::uint32_t>(n);
            haveArticles = true;
        } else if (arg == "--seed") {
            if (!parseUnsigned(value, result.options.seed))
                return fail("--seed expects an unsigned 64-bit number, got '" + std::string(value) + "'");
            haveSeed = true;
        } else {
            if (value.empty())
                return fail("--output needs a file name");
            result.options.output = std::filesystem::path(std::string(value));
            haveOutput = true;
        }
    }

    if (!haveArticles)
        return fail("missing --articles");
    if (!haveSeed)
        return fail("missing --seed");
    if (!haveOutput)
        return fail("missing --output");
    return result;
}

} // namespace vok::catalogue
