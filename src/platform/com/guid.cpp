#include "guid.h"

#include <QUuid>

namespace com {

namespace {

// Namespace of the name-derived identities (fromName). Chosen once at random;
// changing it would change the class identity of every component whose
// identity is derived from its programmatic identifier, so it must stay fixed.
const QUuid NameNamespace(0xa1ba1920, 0xc890, 0x4fdb, 0xa4, 0xa6, 0x97, 0x24, 0xd3, 0xc4, 0x88, 0x23);

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<Guid> Guid::parse(QStringView text)
{
    // Braces come in pairs or not at all; a half-braced identity is a typo in a
    // registry file and must not silently resolve to a class.
    if (text.size() == 38) {
        if (text.front() != u'{' || text.back() != u'}')
            return std::nullopt;
        text = text.mid(1, 36);
    }
    if (text.size() != 36)
        return std::nullopt;

    std::array<uint8_t, 16> bytes{};
    size_t byte = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != u'-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[byte++] = static_cast<uint8_t>(high << 4 | low);
        i += 2;
    }
    return Guid(bytes);
}

Guid Guid::fromName(QStringView name)
{
    // The name is hashed exactly as given (UTF-8): callers that derive a class
    // identity from a programmatic identifier pass its canonical spelling.
    const QByteArray rfc = QUuid::createUuidV5(NameNamespace, name.toUtf8()).toRfc4122();
    std::array<uint8_t, 16> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(rfc[static_cast<qsizetype>(i)]);
    return Guid(bytes);
}

QString Guid::toString() const
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    QString text;
    text.reserve(38);
    text += u'{';
    for (size_t i = 0; i < m_bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += u'-';
        text += QChar(digits[m_bytes[i] >> 4]);
        text += QChar(digits[m_bytes[i] & 0x0f]);
    }
    text += u'}';
    return text;
}

// Constant-initialised, so other translation units may use them during their
// own static initialisation.
constinit const Guid IID_IUnknown(std::array<uint8_t, 16>{
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});
constinit const Guid IID_IDispatch(std::array<uint8_t, 16>{
    0x00, 0x02, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});
constinit const Guid IID_IClassFactory(std::array<uint8_t, 16>{
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});

} // namespace com
