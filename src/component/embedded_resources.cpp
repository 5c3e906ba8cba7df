#include "embedded_resources.h"

#include "identities.h"
#include "type_library.h"

#include "platform/com/resources.h"

#include <QString>

#include <array>
#include <cstdint>

namespace component {

namespace {

void appendLittleEndian(QByteArray &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A magnifying glass over a box, one palette index per character: '.' is the
// toolbox's light grey background, the rest as in Palette below.
constexpr std::array<const char *, 15> Picture = {
    "................",
    "......KKKK......",
    ".....KCCCCK.....",
    "....KCWWCCCK....",
    "....KCWCCCCK....",
    "....KCCCCCCK....",
    "....KCCCCCCK....",
    ".....KCCCCK.....",
    "......KKKKBB....",
    "..........BBB...",
    "...........BBB..",
    "............BBB.",
    ".............BB.",
    "................",
    "................",
};

struct PaletteEntry {
    char symbol;
    uint8_t red, green, blue;
};

// The sixteen colours of the standard 4-bit palette, in its order; only a few
// carry a symbol of the picture.
constexpr std::array<PaletteEntry, 16> Palette = {{
    {'K', 0x00, 0x00, 0x00}, {0, 0x80, 0x00, 0x00}, {0, 0x00, 0x80, 0x00}, {'B', 0x80, 0x80, 0x00},
    {0, 0x00, 0x00, 0x80},   {0, 0x80, 0x00, 0x80}, {0, 0x00, 0x80, 0x80}, {0, 0x80, 0x80, 0x80},
    {'.', 0xC0, 0xC0, 0xC0}, {0, 0xFF, 0x00, 0x00}, {0, 0x00, 0xFF, 0x00}, {0, 0xFF, 0xFF, 0x00},
    {0, 0x00, 0x00, 0xFF},   {0, 0xFF, 0x00, 0xFF}, {'C', 0x00, 0xFF, 0xFF}, {'W', 0xFF, 0xFF, 0xFF},
}};

uint8_t paletteIndex(char symbol)
{
    for (size_t i = 0; i < Palette.size(); ++i)
        if (Palette[i].symbol == symbol)
            return static_cast<uint8_t>(i);
    return 8;
}

QByteArray buildBitmap()
{
    constexpr int Width = 16;
    constexpr int Height = static_cast<int>(Picture.size());
    constexpr int RowBytes = Width / 2; // 4 bits a pixel, already a multiple of 4
    constexpr int PaletteBytes = 16 * 4;
    constexpr int PixelOffset = 14 + 40 + PaletteBytes;
    constexpr int ImageBytes = RowBytes * Height;

    QByteArray out;
    // BITMAPFILEHEADER
    out.append("BM");
    appendLittleEndian(out, PixelOffset + ImageBytes, 4);
    appendLittleEndian(out, 0, 4);
    appendLittleEndian(out, PixelOffset, 4);
    // BITMAPINFOHEADER: bottom-up rows, uncompressed, 16 colours used
    appendLittleEndian(out, 40, 4);
    appendLittleEndian(out, Width, 4);
    appendLittleEndian(out, Height, 4);
    appendLittleEndian(out, 1, 2);
    appendLittleEndian(out, 4, 2);
    appendLittleEndian(out, 0, 4);
    appendLittleEndian(out, ImageBytes, 4);
    appendLittleEndian(out, 2835, 4); // 72 dots per inch
    appendLittleEndian(out, 2835, 4);
    appendLittleEndian(out, 16, 4);
    appendLittleEndian(out, 0, 4);
    for (const PaletteEntry &colour : Palette) {
        out.append(static_cast<char>(colour.blue));
        out.append(static_cast<char>(colour.green));
        out.append(static_cast<char>(colour.red));
        out.append('\0');
    }
    for (int row = Height - 1; row >= 0; --row) {
        const char *line = Picture[static_cast<size_t>(row)];
        for (int x = 0; x < Width; x += 2)
            out.append(static_cast<char>(paletteIndex(line[x]) << 4 | paletteIndex(line[x + 1])));
    }
    return out;
}

struct Resource {
    const void *data;
    uint32_t size;
};

bool resourceFor(QStringView type, QStringView name, Resource &found)
{
    static const QByteArray interfaces = identityHistoryResource(false);
    static const QByteArray eventInterfaces = identityHistoryResource(true);
    const auto is = [](QStringView text, const char *expected) {
        return text.compare(QLatin1StringView(expected), Qt::CaseInsensitive) == 0;
    };
    const auto give = [&](const QByteArray &bytes) {
        found = {bytes.constData(), static_cast<uint32_t>(bytes.size())};
        return true;
    };
    if (is(type, "TYPELIB"))
        return is(name, "1") && give(typeLibraryResource());
    if (is(type, "CUSTOM")) {
        if (is(name, "_IID_VOKTARTICULO"))
            return give(interfaces);
        if (is(name, "_SRCIID_VOKTARTICULO"))
            return give(eventInterfaces);
        return false;
    }
    if (is(type, "BITMAP"))
        return is(name, ToolboxBitmapId) && give(toolboxBitmap());
    return false;
}

bool knownType(QStringView type)
{
    for (const char *known : {"TYPELIB", "CUSTOM", "BITMAP"})
        if (type.compare(QLatin1StringView(known), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QByteArray identityHistoryResource(bool events)
{
    const IdentityHistory &history = events ? DIID_vokTArticuloEventsHistory : IID_vokTArticuloHistory;
    QByteArray out;
    appendLittleEndian(out, HistoryLength * 16, 4);
    for (const com::Guid &identity : history)
        for (uint8_t byte : identity.bytes())
            out.append(static_cast<char>(byte));
    return out;
}

const QByteArray &toolboxBitmap()
{
    static const QByteArray bitmap = buildBitmap();
    return bitmap;
}

} // namespace component

extern "C" __attribute__((visibility("default"))) com::HRESULT VokFindResource(const char16_t *type,
                                                                              const char16_t *name,
                                                                              const void **data, uint32_t *size)
{
    if (!type || !name || !data || !size)
        return com::E_POINTER;
    *data = nullptr;
    *size = 0;
    // Behind a C entry point: nothing may escape.
    try {
        const QStringView typeText(type);
        component::Resource found{};
        if (!component::resourceFor(typeText, QStringView(name), found))
            return component::knownType(typeText) ? com::E_RESOURCE_NAME_NOT_FOUND : com::E_RESOURCE_TYPE_NOT_FOUND;
        *data = found.data;
        *size = found.size;
        return com::S_OK;
    } catch (...) {
        return com::E_FAIL;
    }
}
