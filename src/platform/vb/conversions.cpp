#include "conversions.h"

#include "error.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace vb {

namespace {

[[noreturn]] void raise(int32_t number)
{
    throw Error::standard(number);
}

// Val ignores these anywhere inside a number; CDbl accepts them around one.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isExponentLetter(QChar c)
{
    // The platform takes D (double precision) as well as E before an exponent.
    return c == u'E' || c == u'e' || c == u'D' || c == u'd';
}

int hexDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

int octalDigit(QChar c)
{
    return (c >= u'0' && c <= u'7') ? c.unicode() - u'0' : -1;
}

// A hexadecimal or octal number is an Integer when it fits 16 bits and a Long
// when it fits 32 bits, its top bit being the sign: "&HFFFF" is -1, "&H10000"
// is 65536, "&HFFFFFFFF" is -1 again. Beyond 32 bits the platform overflows.
class RadixAccumulator {
public:
    explicit RadixAccumulator(unsigned radix) : m_radix(radix) {}

    void add(int digit)
    {
        m_digits = true;
        if (m_value > 0xFFFFFFFFu)
            return; // already too large; keep consuming the digits
        m_value = m_value * m_radix + static_cast<unsigned>(digit);
    }

    bool hasDigits() const { return m_digits; }

    double value() const
    {
        if (m_value <= 0xFFFFu)
            return static_cast<int16_t>(static_cast<uint16_t>(m_value));
        if (m_value <= 0xFFFFFFFFu)
            return static_cast<int32_t>(static_cast<uint32_t>(m_value));
        raise(err::Overflow);
    }

private:
    uint64_t m_value = 0;
    unsigned m_radix;
    bool m_digits = false;
};

// The parts of a decimal number as read from a text, digits in ASCII.
struct DecimalParts {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
    bool exponentNegative = false;
    int64_t exponent = 0;

    void addExponentDigit(int digit)
    {
        // Far beyond any double; capping keeps the arithmetic in range.
        if (exponent < 1'000'000)
            exponent = exponent * 10 + digit;
    }

    // Overflow (error 6) when the number exceeds a Double; a number too small
    // for one is 0.
    double value() const
    {
        const int64_t exp = exponentNegative ? -exponent : exponent;
        std::string text = integerDigits.empty() ? std::string("0") : integerDigits;
        if (!fractionDigits.empty())
            text += '.' + fractionDigits;
        text += 'e' + std::to_string(exp);

        double result = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
        (void)end;
        if (ec == std::errc::result_out_of_range) {
            if (decimalMagnitude(exp) > 0)
                raise(err::Overflow);
            result = 0;
        }
        if (result == 0)
            return 0; // no negative zero
        return negative ? -result : result;
    }

private:
    // Power of ten of the leading significant digit.
    int64_t decimalMagnitude(int64_t exp) const
    {
        const auto first = integerDigits.find_first_not_of('0');
        if (first != std::string::npos)
            return static_cast<int64_t>(integerDigits.size() - first) - 1 + exp;
        const auto firstFraction = fractionDigits.find_first_not_of('0');
        if (firstFraction == std::string::npos)
            return std::numeric_limits<int64_t>::min();
        return -static_cast<int64_t>(firstFraction) - 1 + exp;
    }
};

// Text to number the way the platform's CDbl reads it: blanks around it, an
// optional leading sign, digits with the locale's group separator between them
// and its decimal separator, an optional exponent, or an "&H"/"&O" number.
// Nothing else may follow. No number at all is empty.
std::optional<double> parseNumericText(const QString &untrimmed)
{
    const QLocale locale;
    const QString decimalPoint = locale.decimalPoint();
    const QString groupSeparator = locale.groupSeparator();

    const QString text = trimBlanks(untrimmed);
    const qsizetype end = text.size();
    if (end == 0)
        return std::nullopt;

    qsizetype i = 0;
    auto at = [&](qsizetype pos) { return pos < end ? text[pos] : QChar(); };
    auto startsWithAt = [&](qsizetype pos, const QString &what) {
        return !what.isEmpty() && pos + what.size() <= end
            && QStringView(text).mid(pos, what.size()) == what;
    };

    if (at(i) == u'&') {
        ++i;
        unsigned radix = 8;
        if (at(i) == u'H' || at(i) == u'h') {
            radix = 16;
            ++i;
        } else if (at(i) == u'O' || at(i) == u'o') {
            ++i;
        }
        RadixAccumulator acc(radix);
        for (; i < end; ++i) {
            const int digit = radix == 16 ? hexDigit(text[i]) : octalDigit(text[i]);
            if (digit < 0)
                return std::nullopt;
            acc.add(digit);
        }
        if (!acc.hasDigits())
            return std::nullopt;
        return acc.value();
    }

    DecimalParts parts;
    if (at(i) == u'+' || at(i) == u'-') {
        parts.negative = at(i) == u'-';
        ++i;
    }
    while (i < end) {
        if (isDigit(text[i])) {
            parts.integerDigits += static_cast<char>(text[i].unicode());
            ++i;
        } else if (!parts.integerDigits.empty() && startsWithAt(i, groupSeparator)
                   && isDigit(at(i + groupSeparator.size()))) {
            i += groupSeparator.size();
        } else {
            break;
        }
    }
    if (startsWithAt(i, decimalPoint)) {
        i += decimalPoint.size();
        while (i < end && isDigit(text[i]))
            parts.fractionDigits += static_cast<char>(text[i++].unicode());
    }
    if (parts.integerDigits.empty() && parts.fractionDigits.empty())
        return std::nullopt;
    if (i < end && isExponentLetter(text[i])) {
        ++i;
        if (at(i) == u'+' || at(i) == u'-') {
            parts.exponentNegative = at(i) == u'-';
            ++i;
        }
        if (!isDigit(at(i)))
            return std::nullopt;
        while (i < end && isDigit(text[i]))
            parts.addExponentDigit(text[i++].unicode() - u'0');
    }
    if (i != end)
        return std::nullopt;
    return parts.value();
}

// The numeric value behind the conversions to numbers.
double numericValue(const Variant &value)
{
    switch (value.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: raise(err::InvalidUseOfNull);
    case VarType::Byte: return value.get<uint8_t>();
    case VarType::Integer: return value.get<int16_t>();
    case VarType::Long: return value.get<int32_t>();
    case VarType::Double: return value.get<double>();
    case VarType::Boolean: return value.get<bool>() ? -1 : 0; // True is all bits set
    case VarType::String:
        if (const auto number = parseNumericText(value.get<QString>()))
            return *number;
        raise(err::TypeMismatch);
    case VarType::Object: raise(err::TypeMismatch);
    }
    raise(err::TypeMismatch);
}

// The platform rounds half to even ("banker's rounding") before checking the
// range of an integer type: 2.5 becomes 2, 3.5 becomes 4.
double roundHalfEven(double x)
{
    double r = std::floor(x);
    const double diff = x - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0))
        r += 1;
    return r;
}

template <typename T> T toInteger(const Variant &value)
{
    const double rounded = roundHalfEven(numericValue(value));
    // Written so that NaN fails the check too.
    if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max()))
        raise(err::Overflow);
    return static_cast<T>(rounded);
}

// A Double as the platform writes it: at most 15 significant digits, no
// trailing zeros. Fixed notation is used for decimal exponents -5 to 14 as long
// as the digits shown after the point (leading zeros included) stay within 15;
// otherwise scientific, with a signed exponent of at least two digits. So 1E-05
// is "0.00001", 1.5E-10 is "1.5E-10", 0.01/3 is "3.33333333333333E-03" and
// 1E+15 is "1E+15".
QString formatDouble(double x)
{
    const QString decimalPoint = QLocale().decimalPoint();
    if (std::isnan(x))
        return QStringLiteral("-1") + decimalPoint + QStringLiteral("#IND");
    if (std::isinf(x))
        return (x < 0 ? QStringLiteral("-1") : QStringLiteral("1")) + decimalPoint + QStringLiteral("#INF");
    if (x == 0)
        return QStringLiteral("0");

    // "d.dddddddddddddde[+-]xx", rounded to 15 significant digits.
    const QString scientific = QString::number(std::fabs(x), 'e', 14);
    const qsizetype ePos = scientific.indexOf(u'e');
    QString digits = scientific.left(ePos);
    digits.remove(u'.');
    const int exponent = scientific.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    const auto significant = static_cast<int>(digits.size());

    QString result = x < 0 ? QStringLiteral("-") : QString();
    const bool fixed = exponent >= 0 ? exponent < 15 : (exponent >= -5 && -exponent - 1 + significant <= 15);
    if (fixed) {
        if (exponent >= 0) {
            if (significant > exponent + 1)
                result += digits.left(exponent + 1) + decimalPoint + digits.mid(exponent + 1);
            else
                result += digits + QString(exponent + 1 - significant, u'0');
        } else {
            result += QStringLiteral("0") + decimalPoint + QString(-exponent - 1, u'0') + digits;
        }
    } else {
        result += digits.left(1);
        if (significant > 1)
            result += decimalPoint + digits.mid(1);
        result += QStringLiteral("E") + (exponent < 0 ? u'-' : u'+')
            + QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QChar(u'0'));
    }
    return result;
}

} // namespace

double Val(const QString &text)
{
    // Blanks are dropped wherever they appear, so "1 2 3" reads as 123.
    qsizetype i = 0;
    const qsizetype size = text.size();
    auto skipBlanks = [&] {
        while (i < size && isBlank(text[i]))
            ++i;
    };
    auto at = [&](qsizetype pos) { return pos < size ? text[pos] : QChar(); };

    skipBlanks();
    if (at(i) == u'&') {
        ++i;
        skipBlanks();
        unsigned radix = 0;
        if (at(i) == u'H' || at(i) == u'h') {
            radix = 16;
            ++i;
        } else if (at(i) == u'O' || at(i) == u'o') {
            radix = 8;
            ++i;
        } else if (octalDigit(at(i)) >= 0) {
            radix = 8; // "&17" is octal too
        } else {
            return 0;
        }
        RadixAccumulator acc(radix);
        for (;;) {
            skipBlanks();
            const int digit = radix == 16 ? hexDigit(at(i)) : octalDigit(at(i));
            if (digit < 0)
                break;
            acc.add(digit);
            ++i;
        }
        return acc.value();
    }

    DecimalParts parts;
    if (at(i) == u'+' || at(i) == u'-') {
        parts.negative = at(i) == u'-';
        ++i;
    }
    bool pointSeen = false;
    for (;;) {
        skipBlanks();
        const QChar c = at(i);
        if (isDigit(c)) {
            (pointSeen ? parts.fractionDigits : parts.integerDigits) += static_cast<char>(c.unicode());
        } else if (c == u'.' && !pointSeen) {
            pointSeen = true;
        } else {
            break;
        }
        ++i;
    }
    if (parts.integerDigits.empty() && parts.fractionDigits.empty())
        return 0;
    if (isExponentLetter(at(i))) {
        // An exponent letter without digits is simply where the number ends.
        ++i;
        skipBlanks();
        if (at(i) == u'+' || at(i) == u'-') {
            parts.exponentNegative = at(i) == u'-';
            ++i;
        }
        for (;;) {
            skipBlanks();
            if (!isDigit(at(i)))
                break;
            parts.addExponentDigit(at(i).unicode() - u'0');
            ++i;
        }
    }
    return parts.value();
}

uint8_t CByte(const Variant &value)
{
    return toInteger<uint8_t>(value);
}

int16_t CInt(const Variant &value)
{
    return toInteger<int16_t>(value);
}

int32_t CLng(const Variant &value)
{
    return toInteger<int32_t>(value);
}

double CDbl(const Variant &value)
{
    return numericValue(value);
}

bool CBool(const Variant &value)
{
    if (value.isString()) {
        const QString text = trimBlanks(value.get<QString>());
        if (text.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
    }
    return numericValue(value) != 0;
}

QString CStr(const Variant &value)
{
    switch (value.type()) {
    case VarType::Empty: return {};
    case VarType::Null: raise(err::InvalidUseOfNull);
    case VarType::Byte: return QString::number(value.get<uint8_t>());
    case VarType::Integer: return QString::number(value.get<int16_t>());
    case VarType::Long: return QString::number(value.get<int32_t>());
    case VarType::Double: return formatDouble(value.get<double>());
    case VarType::Boolean: return value.get<bool>() ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::String: return value.get<QString>();
    case VarType::Object: raise(err::TypeMismatch);
    }
    raise(err::TypeMismatch);
}

QString LTrim(const QString &text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text[begin] == u' ')
        ++begin;
    return text.mid(begin);
}

QString RTrim(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

QString Trim(const QString &text)
{
    return LTrim(RTrim(text));
}

QString Replace(const QString &text, const QString &find, const QString &replacement)
{
    // An empty find would otherwise insert the replacement between every character.
    if (find.isEmpty() || text.isEmpty())
        return text;
    QString result = text;
    result.replace(find, replacement, Qt::CaseSensitive);
    return result;
}

} // namespace vb
