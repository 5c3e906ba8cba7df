// Feeds arbitrary bytes as a settings file and as a language pack: reading
// either gives values or raises an error that names the file; nothing else.

#include "host/ini_file.h"
#include "host/language_pack.h"
#include "platform/vb/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    try {
        (void)host::IniFile::read(path).value(QStringLiteral("VOK04"), QStringLiteral("Idioma"));
    } catch (const vb::Error &error) {
        if (!error.description().contains(path))
            std::abort();
    }
    try {
        const auto pack = host::LanguageTexts::read(path);
        if (pack.identifiers.isEmpty())
            std::abort();
    } catch (const vb::Error &error) {
        if (!error.description().contains(path))
            std::abort();
    }
    return 0;
}
