#include "format.h"

#include "conversions.h"
#include "error.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vb {

namespace {

// ---------------------------------------------------------------------------
// Decimal magnitudes. Rounding is decided on decimal digits, not on the binary
// double: 0.125 and 2.675 are rounded as written, not as stored.

// 0.digits x 10^point; digits are ASCII, empty (or all zeros) for zero.
struct Decimal {
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.find_first_not_of('0') == std::string::npos; }

    // Digits left of the decimal point, without leading zeros.
    std::string integerDigits() const
    {
        if (point <= 0 || isZero())
            return {};
        const auto size = static_cast<int>(digits.size());
        std::string result = digits.substr(0, static_cast<size_t>(std::min(point, size)));
        if (point > size)
            result.append(static_cast<size_t>(point - size), '0');
        const auto first = result.find_first_not_of('0');
        return first == std::string::npos ? std::string() : result.substr(first);
    }

    // The first count digits right of the decimal point.
    std::string fractionDigits(int count) const
    {
        std::string result;
        for (int i = 0; i < count; ++i) {
            const int index = point + i;
            result += (index >= 0 && index < static_cast<int>(digits.size())) ? digits[static_cast<size_t>(index)] : '0';
        }
        return result;
    }
};

// The platform works with 15 significant digits of a Double, as CStr does, so
// 0.1 + 0.2 formats as 0.3 and 2.675 (stored as 2.67499999...) as 2.675.
Decimal decimalOf(double magnitude)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    (void)ec;
    const std::string text(buffer, end);
    const auto e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::stoi(text.substr(e + 1));
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return {digits, exponent + 1};
}

Decimal decimalOf(uint64_t magnitude)
{
    std::string digits = std::to_string(magnitude);
    const auto point = static_cast<int>(digits.size());
    return {digits, point};
}

// Rounded to the given number of decimals, half away from zero (the magnitude
// is rounded, so -2.5 becomes -3 like 2.5 becomes 3).
Decimal roundTo(const Decimal &value, int decimals)
{
    const int keep = value.point + decimals;
    if (keep >= static_cast<int>(value.digits.size()))
        return value;
    if (keep < 0)
        return {};
    std::string digits = value.digits.substr(0, static_cast<size_t>(keep));
    int point = value.point;
    if (value.digits[static_cast<size_t>(keep)] >= '5') {
        int i = keep - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
            digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++digits[static_cast<size_t>(i)];
        } else {
            digits.insert(digits.begin(), '1');
            ++point;
        }
    }
    return {digits, point};
}

// A value as the numeric masks see it.
struct Number {
    Decimal magnitude;
    bool negative = false;
    bool zero = true;
};

// The number behind a value, or nothing for text that is no number (which the
// numeric masks leave as it is). Null is handled by the callers.
std::optional<Number> numberOf(const Variant &value)
{
    auto fromInteger = [](int64_t v) {
        Number n;
        n.negative = v < 0;
        n.zero = v == 0;
        n.magnitude = decimalOf(static_cast<uint64_t>(v < 0 ? -v : v));
        return n;
    };
    auto fromDouble = [](double v) {
        Number n;
        n.negative = v < 0;
        n.magnitude = decimalOf(std::fabs(v));
        n.zero = n.magnitude.isZero();
        return n;
    };
    switch (value.type()) {
    case VarType::Empty: return fromInteger(0);
    case VarType::Byte: return fromInteger(value.get<uint8_t>());
    case VarType::Integer: return fromInteger(value.get<int16_t>());
    case VarType::Long: return fromInteger(value.get<int32_t>());
    case VarType::Boolean: return fromInteger(value.get<bool>() ? -1 : 0);
    case VarType::Double: return fromDouble(value.get<double>());
    case VarType::String:
        try {
            return fromDouble(CDbl(value));
        } catch (const Error &) {
            return std::nullopt;
        }
    case VarType::Null:
    case VarType::Object: break;
    }
    throw Error::standard(err::TypeMismatch);
}

// ---------------------------------------------------------------------------
// Masks and sections.

// The mask cut at the section separators (";") that are not quoted or escaped.
std::vector<QString> splitSections(const QString &mask)
{
    std::vector<QString> sections(1);
    bool quoted = false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'\\' && i + 1 < mask.size()) {
            sections.back() += c;
            sections.back() += mask[++i];
            continue;
        } else if (!quoted && c == u';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

// Calls visit(c, literal) for each character of a section; quoted and escaped
// characters are literals.
template <typename Visit> void scanSection(const QString &section, Visit visit)
{
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"') {
            while (++i < section.size() && section[i] != u'"')
                visit(section[i], true);
        } else if (c == u'\\') {
            if (++i < section.size())
                visit(section[i], true);
        } else {
            visit(c, false);
        }
    }
}

// A text mask has a character placeholder, or only the case and fill flags
// with no digit placeholder.
bool isTextMask(const QString &mask)
{
    bool placeholder = false, flag = false, digit = false;
    scanSection(mask, [&](QChar c, bool literal) {
        if (literal)
            return;
        placeholder = placeholder || c == u'@' || c == u'&';
        flag = flag || c == u'<' || c == u'>' || c == u'!';
        digit = digit || c == u'0' || c == u'#';
    });
    return placeholder || (flag && !digit);
}

// ---------------------------------------------------------------------------
// Numeric masks.

class NumericSection {
public:
    explicit NumericSection(const QString &section)
    {
        Region region = Region::Integer;
        std::vector<size_t> commas;
        scanSection(section, [&](QChar c, bool literal) {
            if (literal) {
                addLiteral(c);
            } else if (c == u'0' || c == u'#') {
                m_tokens.push_back({Kind::Digit, region, c});
                if (region == Region::Integer) {
                    if (c == u'0' && m_integerZeroAt < 0)
                        m_integerZeroAt = m_integerCount;
                    ++m_integerCount;
                } else if (region == Region::Fraction) {
                    m_fractionKinds += c;
                } else {
                    m_exponentZeros += c == u'0' ? 1 : 0;
                }
            } else if (c == u'.' && region == Region::Integer) {
                m_tokens.push_back({Kind::Point, region, c});
                region = Region::Fraction;
            } else if (c == u',') {
                if (region == Region::Integer)
                    commas.push_back(m_tokens.size());
                m_tokens.push_back({Kind::Comma, region, c});
            } else if (c == u'%') {
                ++m_percents;
                m_tokens.push_back({Kind::Percent, region, c});
            } else if ((c == u'+' || c == u'-') && !m_scientific && !m_tokens.empty()
                       && m_tokens.back().kind == Kind::Literal && !m_tokens.back().escaped
                       && (m_tokens.back().text == u"E" || m_tokens.back().text == u"e")) {
                // "E+" / "E-": scientific notation with the exponent's sign shown
                // always or only when negative.
                m_tokens.back() = {Kind::Exponent, region, m_tokens.back().text[0], {}, false, c};
                m_scientific = true;
                region = Region::Exponent;
            } else {
                addLiteral(c, false);
            }
        });

        size_t first = m_tokens.size(), last = 0;
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (m_tokens[i].kind == Kind::Digit && m_tokens[i].region == Region::Integer) {
                first = std::min(first, i);
                last = i;
            }
        }
        // A comma between integer placeholders groups thousands; commas after
        // the last one divide by a thousand each.
        for (size_t comma : commas) {
            if (first < comma && comma < last)
                m_grouping = true;
            else if (first < comma && comma > last)
                ++m_scaling;
        }
    }

    bool empty() const { return m_tokens.empty(); }

    QString render(Decimal value) const
    {
        const QLocale locale;
        value.point += 2 * m_percents - 3 * m_scaling;
        const int fractionCount = static_cast<int>(m_fractionKinds.size());

        int exponent = 0;
        if (m_scientific && !value.isZero()) {
            exponent = value.point - m_integerCount;
            value.point = m_integerCount;
        }
        value = roundTo(value, fractionCount);
        if (m_scientific && static_cast<int>(value.integerDigits().size()) > m_integerCount) {
            // Rounding carried into a new digit: 9.99E+00 became 10.0.
            --value.point;
            ++exponent;
        }

        std::string integer = value.integerDigits();
        const int minimum = m_integerZeroAt < 0 ? 0 : m_integerCount - m_integerZeroAt;
        if (static_cast<int>(integer.size()) < minimum)
            integer.insert(0, static_cast<size_t>(minimum) - integer.size(), '0');

        // "#" places right of the point drop trailing zeros; "0" places keep them.
        std::string fraction = value.fractionDigits(fractionCount);
        while (!fraction.empty() && m_fractionKinds[fraction.size() - 1] == u'#' && fraction.back() == '0')
            fraction.pop_back();

        QString out;
        const auto integerSize = static_cast<int>(integer.size());
        auto putIntegerDigit = [&](int index) {
            out += QChar(integer[static_cast<size_t>(index)]);
            const int fromRight = integerSize - index;
            if (m_grouping && fromRight > 1 && (fromRight - 1) % 3 == 0)
                out += locale.groupSeparator();
        };
        // Without integer placeholders the integer digits still show, just
        // before the decimal point (".00" writes 12.5 as "12.50").
        bool integerPending = m_integerCount == 0 && !integer.empty();
        int integerIndex = 0, fractionIndex = 0;
        bool exponentWritten = false;
        for (const Token &t : m_tokens) {
            if (integerPending && t.kind != Kind::Literal && t.kind != Kind::Comma && t.kind != Kind::Percent) {
                out += QString::fromStdString(integer);
                integerPending = false;
            }
            switch (t.kind) {
            case Kind::Literal: out += t.text; break;
            case Kind::Comma: break;
            case Kind::Percent: out += u'%'; break;
            case Kind::Point: out += locale.decimalPoint(); break;
            case Kind::Exponent:
                out += t.ch;
                if (exponent < 0)
                    out += u'-';
                else if (t.sign == u'+')
                    out += u'+';
                break;
            case Kind::Digit:
                if (t.region == Region::Integer) {
                    const int place = integerIndex++;
                    const int index = integerSize - (m_integerCount - place);
                    // Digits beyond the placeholders all go to the first one.
                    if (place == 0)
                        for (int i = 0; i < index; ++i)
                            putIntegerDigit(i);
                    if (index >= 0)
                        putIntegerDigit(index);
                } else if (t.region == Region::Fraction) {
                    const int index = fractionIndex++;
                    if (index < static_cast<int>(fraction.size()))
                        out += QChar(fraction[static_cast<size_t>(index)]);
                } else if (!exponentWritten) {
                    exponentWritten = true;
                    out += QStringLiteral("%1").arg(std::abs(exponent), std::max(m_exponentZeros, 1), 10, QChar(u'0'));
                }
                break;
            }
        }
        return out;
    }

private:
    enum class Kind { Digit, Point, Comma, Percent, Exponent, Literal };
    enum class Region { Integer, Fraction, Exponent };
    struct Token {
        Kind kind;
        Region region;
        QChar ch;
        QString text = {};
        bool escaped = false;
        QChar sign = {};
    };

    void addLiteral(QChar c, bool escaped = true)
    {
        m_tokens.push_back({Kind::Literal, Region::Integer, c, QString(c), escaped});
    }

    std::vector<Token> m_tokens;
    int m_integerCount = 0;
    int m_integerZeroAt = -1; // first "0" among the integer placeholders
    QString m_fractionKinds;
    int m_exponentZeros = 0;
    int m_percents = 0;
    int m_scaling = 0;
    bool m_grouping = false;
    bool m_scientific = false;
};

// Sections positive;negative;zero;null. A missing or empty section falls back
// to the first, which then shows the minus sign itself; the negative section
// shows none of its own. The section is chosen on the value before rounding,
// so -0.4 through "0" is "-0" and through "0;(0)" is "(0)".
QString formatNumeric(const Variant &value, const QString &mask)
{
    const std::vector<QString> texts = splitSections(mask);
    auto section = [&](size_t i) { return NumericSection(texts[i]); };
    auto present = [&](size_t i) { return i < texts.size() && !texts[i].isEmpty(); };

    if (value.isNull())
        return present(3) ? section(3).render({}) : QString();
    const std::optional<Number> number = numberOf(value);
    if (!number)
        return value.get<QString>();
    if (number->negative && !number->zero) {
        if (present(1))
            return section(1).render(number->magnitude);
        return u'-' + section(0).render(number->magnitude);
    }
    if (number->zero && present(2))
        return section(2).render({});
    return section(0).render(number->magnitude);
}

// ---------------------------------------------------------------------------
// Text masks.

// Sections: non-empty text; empty text (and Null).
QString formatText(const Variant &value, const QString &mask)
{
    QString text = value.isNull() ? QString() : CStr(value);
    const std::vector<QString> sections = splitSections(mask);
    if (text.isEmpty() && sections.size() < 2)
        return {};
    const QString &section = sections[text.isEmpty() ? 1 : 0];

    struct Token {
        QChar placeholder; // '@', '&' or none for a literal
        QChar literal;
    };
    std::vector<Token> tokens;
    bool leftToRight = false;
    QChar letterCase;
    int placeholders = 0;
    scanSection(section, [&](QChar c, bool literal) {
        if (!literal && (c == u'@' || c == u'&')) {
            tokens.push_back({c, {}});
            ++placeholders;
        } else if (!literal && (c == u'<' || c == u'>')) {
            letterCase = c;
        } else if (!literal && c == u'!') {
            leftToRight = true;
        } else {
            tokens.push_back({{}, c});
        }
    });
    if (letterCase == u'<')
        text = text.toLower();
    else if (letterCase == u'>')
        text = text.toUpper();

    const auto size = static_cast<int>(text.size());
    QString out;
    int place = 0;
    for (const Token &t : tokens) {
        if (t.placeholder.isNull()) {
            out += t.literal;
            continue;
        }
        const int current = place++;
        // Placeholders take the text from the right unless "!" asks for the
        // left; characters beyond the placeholders are never dropped.
        const int index = leftToRight ? current : size - (placeholders - current);
        if (!leftToRight && current == 0 && index > 0)
            out += text.left(index);
        if (index >= 0 && index < size)
            out += text[index];
        else if (t.placeholder == u'@')
            out += u' ';
        if (leftToRight && current == placeholders - 1 && size > placeholders)
            out += text.mid(placeholders);
    }
    if (placeholders == 0)
        out += text;
    return out;
}

// ---------------------------------------------------------------------------
// Named formats.

// The locale's currency symbol and layout ("$1,234.50", "($1,234.50)",
// "1.234,50 €"). A locale without a symbol gets the platform's default
// dollar layout.
QString formatCurrency(const Variant &value)
{
    if (value.isNull())
        return {};
    const std::optional<Number> number = numberOf(value);
    if (!number)
        return value.get<QString>();
    const QString amount = NumericSection(QStringLiteral("#,##0.00")).render(number->magnitude);
    const bool negative = number->negative && !number->zero;
    const QLocale locale;
    if (locale.currencySymbol().isEmpty())
        return negative ? QStringLiteral("($") + amount + u')' : QStringLiteral("$") + amount;
    QString layout = locale.toCurrencyString(qlonglong(negative ? -1 : 1));
    layout.replace(layout.indexOf(u'1'), 1, amount);
    return layout;
}

QString formatGeneralNumber(const Variant &value)
{
    if (value.isNull())
        return {};
    if (value.isString()) {
        try {
            return CStr(CDbl(value));
        } catch (const Error &) {
            return value.get<QString>();
        }
    }
    if (value.isNumeric() || value.isEmpty())
        return CStr(CDbl(value));
    throw Error::standard(err::TypeMismatch);
}

std::optional<QString> namedMask(const QString &name)
{
    struct Named {
        const char16_t *name;
        const char16_t *mask;
    };
    static constexpr Named named[] = {
        {u"Fixed", u"0.00"},
        {u"Standard", u"#,##0.00"},
        {u"Percent", u"0.00%"},
        {u"Scientific", u"0.00E+00"},
        {u"Yes/No", u"\\Y\\e\\s;\\Y\\e\\s;\\N\\o"},
        {u"True/False", u"\\T\\r\\u\\e;\\T\\r\\u\\e;\\F\\a\\l\\s\\e"},
        {u"On/Off", u"\\O\\n;\\O\\n;\\O\\f\\f"},
    };
    for (const Named &n : named)
        if (name.compare(QStringView(n.name), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(n.mask);
    return std::nullopt;
}

} // namespace

QString Format(const Variant &value, const QString &mask)
{
    if (mask.isEmpty())
        return value.isNull() ? QString() : CStr(value);
    if (value.isObject())
        throw Error::standard(err::TypeMismatch);
    // Infinity and NaN have no digits to place; they read as CStr writes them.
    if (value.type() == VarType::Double && !std::isfinite(value.get<double>()))
        return CStr(value);
    if (mask.compare(u"General Number", Qt::CaseInsensitive) == 0)
        return formatGeneralNumber(value);
    if (mask.compare(u"Currency", Qt::CaseInsensitive) == 0)
        return formatCurrency(value);
    if (const std::optional<QString> named = namedMask(mask))
        return formatNumeric(value, *named);
    if (isTextMask(mask))
        return formatText(value, mask);
    return formatNumeric(value, mask);
}

} // namespace vb
