// Feeds arbitrary bytes as a registry file and as a form file. Reading either
// gives its contents or raises the platform's "Invalid file format" naming the
// file; what was read and is written back reads back the same.

#include "platform/com/property_bag.h"
#include "platform/com/registry.h"
#include "platform/vb/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

void write(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
}

void checkRegistry(const QString &path)
{
    const QString key = QStringLiteral("HKEY_CLASSES_ROOT\\vokFuzz.Probe");
    try {
        com::Registry registry(path);
        const QStringList roots = registry.subKeys(QStringLiteral("HKEY_CLASSES_ROOT"));
        // A change rewrites the whole file: everything read must survive it.
        registry.setValue(key, QStringLiteral("Valor"), QStringLiteral("a \"b\" \\ c"));
        const com::Registry reread(path);
        if (reread.value(key, QStringLiteral("Valor")) != QStringLiteral("a \"b\" \\ c"))
            std::abort();
        for (const QString &root : roots)
            if (!reread.subKeys(QStringLiteral("HKEY_CLASSES_ROOT")).contains(root))
                std::abort();
    } catch (const vb::Error &error) {
        if (error.number() != com::Registry::InvalidFileFormat || !error.description().contains(path)) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(error.numberAndDescription()));
            std::abort();
        }
    }
}

void checkFormStore(const QString &path)
{
    com::FormStore store(path);
    try {
        store.load();
    } catch (const vb::Error &error) {
        if (error.number() != 321 || !error.description().contains(path)) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(error.numberAndDescription()));
            std::abort();
        }
        return;
    }
    const QString text = store.toText();
    com::FormStore again(path);
    try {
        again.fromText(text);
    } catch (const vb::Error &error) {
        std::fprintf(stderr, "a written form does not read back: %s\n%s\n", qUtf8Printable(error.description()),
                     qUtf8Printable(text));
        std::abort();
    }
    if (again.toText() != text || again.controlNames() != store.controlNames())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString registry = folder.filePath(QStringLiteral("registry.reg"));
    write(registry, data, size);
    checkRegistry(registry);

    const QString form = folder.filePath(QStringLiteral("ventas.form"));
    write(form, data, size);
    checkFormStore(form);
    return 0;
}
