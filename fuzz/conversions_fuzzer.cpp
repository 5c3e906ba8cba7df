// Feeds arbitrary text to the number conversions: they must either give a
// value or raise one of the platform's conversion errors, and a number written
// by CStr must read back as the same number.

#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QString>

#include <cmath>
#include <cstdlib>

namespace {
bool isConversionError(const vb::Error &error)
{
    return error.number() == vb::err::Overflow || error.number() == vb::err::TypeMismatch;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        (void)vb::Val(text);
    } catch (const vb::Error &error) {
        if (error.number() != vb::err::Overflow)
            std::abort();
    }
    try {
        const double value = vb::CDbl(text);
        if (std::isfinite(value) && vb::CDbl(vb::CStr(value)) != vb::CDbl(vb::CStr(vb::CDbl(vb::CStr(value)))))
            std::abort();
    } catch (const vb::Error &error) {
        if (!isConversionError(error))
            std::abort();
    }
    for (auto convert : {+[](const QString &t) { (void)vb::CByte(t); }, +[](const QString &t) { (void)vb::CInt(t); },
                         +[](const QString &t) { (void)vb::CLng(t); }, +[](const QString &t) { (void)vb::CBool(t); }}) {
        try {
            convert(text);
        } catch (const vb::Error &error) {
            if (!isConversionError(error))
                std::abort();
        }
    }
    (void)vb::Trim(text);
    (void)vb::Replace(text, QStringLiteral(" "), QStringLiteral("%"));
    return 0;
}
