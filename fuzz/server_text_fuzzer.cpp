// Compares the two ways the engine reads text as SQL Server does: the UTF-8
// paths it calls for every row (ASCII on its bytes, Latin letters through a
// table, literal runs found one after another) and the general path through
// Qt's composing and case folding. For any pattern and texts, valid UTF-8 or
// not, LIKE, the comparison and the sort keys must agree.
//
// The first byte says where the pattern ends; the rest of the input is split
// in two texts at its middle.

#include "platform/rdo/tsql/sqlserver_text.h"

#include <QString>

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

QString general(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view input(reinterpret_cast<const char *>(data) + 1, size - 1);
    const size_t split = std::min<size_t>(data[0], input.size());
    const std::string_view pattern = input.substr(0, split), texts = input.substr(split);
    const std::string_view a = texts.substr(0, texts.size() / 2), b = texts.substr(texts.size() / 2);

    const rdo::SqlServerLikePattern compiled(pattern);
    for (const std::string_view text : {a, b})
        if (compiled.matchesUtf8(text) != rdo::sqlServerLike(general(text), general(pattern)))
            std::abort();
    if (sign(rdo::sqlServerCompareUtf8(a, b)) != sign(rdo::sqlServerCompare(general(a), general(b))))
        std::abort();
    const std::string keyA = rdo::sqlServerKeyUtf8(a), keyB = rdo::sqlServerKeyUtf8(b);
    if (keyA != rdo::sqlServerKey(general(a)).toStdString() || sign(keyA.compare(keyB)) != sign(rdo::sqlServerCompareUtf8(a, b)))
        std::abort();
    return 0;
}
