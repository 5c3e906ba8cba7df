// vok-catalogue: writes a reproducible sample shop database for trying and
// measuring the article entry control without the shop's own server; gives a
// shop's own file the lookup indexes and says what its lookups will read.

#include "catalogue.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    using namespace vok::catalogue;
    const std::string_view program = argc > 0 ? argv[0] : "vok-catalogue";
    std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);

    const ParsedArguments parsed = parseArguments(args);
    if (parsed.help) {
        std::fputs(usage(program).c_str(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vok-catalogue: %s\n\n%s", parsed.error.c_str(), usage(program).c_str());
        return 2;
    }

    try {
        if (parsed.command != Command::Generate) {
            const auto said = parsed.command == Command::Index ? indexFile(parsed.file) : checkFile(parsed.file);
            for (const std::string &line : said)
                std::printf("%s\n", line.c_str());
            return 0;
        }
        const auto start = std::chrono::steady_clock::now();
        const Summary summary = generate(parsed.options);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%s: %llu articles, %llu varieties, %llu bar codes, %llu prices, %llu stock rows in %.1f s\n",
                    parsed.options.output.string().c_str(),
                    static_cast<unsigned long long>(summary.articles),
                    static_cast<unsigned long long>(summary.varieties),
                    static_cast<unsigned long long>(summary.barCodes),
                    static_cast<unsigned long long>(summary.prices),
                    static_cast<unsigned long long>(summary.stock), took.count());
        if (parsed.options.photos) {
            // The codes on the pictures need fonts, which need a GUI
            // application; no display is needed for drawing into files.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication app(argc, argv);
            const std::uint64_t photos = writePhotos(parsed.options.output);
            std::printf("%llu photographs under %s\n", static_cast<unsigned long long>(photos),
                        (parsed.options.output.parent_path() / "Img").string().c_str());
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vok-catalogue: %s\n", e.what());
        return 1;
    }
    return 0;
}
