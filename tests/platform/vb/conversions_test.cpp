#include "error_number.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "vb_values.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <tuple>

using namespace vb;

namespace {

using vok::test::describe;
using vok::test::DummyObject;
using vok::test::errorNumberOf;
using vok::test::ScopedLocale;

const Variant kObject{ObjectRef(std::make_shared<DummyObject>())};
const Variant kNull = Variant::null();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t OV = err::Overflow, TM = err::TypeMismatch, NU = err::InvalidUseOfNull;

// Expected outcome of a conversion: a value, or the number of an error.
template <typename T> struct Outcome {
    Outcome(T v) : value(v) {}
    Outcome(std::nullopt_t, int32_t e) : error(e) {}
    std::optional<T> value;
    int32_t error = 0;
};
template <typename T> Outcome<T> fails(int32_t error) { return {std::nullopt, error}; }

template <typename T, typename Convert>
void expectOutcome(const char *name, Convert convert, const Variant &value, const Outcome<T> &expected)
{
    SCOPED_TRACE(std::string(name) + "(" + describe(value) + ")");
    if (expected.value)
        EXPECT_EQ(convert(value), *expected.value);
    else
        EXPECT_EQ(errorNumberOf([&] { convert(value); }), expected.error);
}

template <typename T, typename Convert>
void expectAll(const char *name, Convert convert, std::initializer_list<std::pair<Variant, Outcome<T>>> cases)
{
    for (const auto &[value, expected] : cases)
        expectOutcome<T>(name, convert, value, expected);
}

} // namespace

TEST(Val, ReadsTheLeadingNumberInDecimalHexadecimalOrOctal)
{
    const std::pair<const char *, double> cases[] = {
        {"", 0}, {"abc", 0}, {"42abc", 42}, {"12.50 EUR", 12.5}, {"\t1\n2\r3", 123}, {"- 5", -5}, {"--5", 0},
        {"-.25", -0.25}, {"1.2.3", 1.2}, {"1,5", 1}, // "." is the only decimal separator Val knows
        {"2.5e-2", 0.025}, {"1D2", 100}, {"1 e 2", 100}, {"1e+", 1}, {"1e-400", 0},
        // Hexadecimal and octal: an Integer (top bit the sign) when 16 bits hold it, else a Long.
        {"&hff", 255}, {"&H7FFF", 32767}, {"&H8000", -32768}, {"&H0000FFFF", -1}, {"&H10000", 65536},
        {"&H80000000", -2147483648.0}, {"&HFFFFFFFF", -1}, {"&HFG", 15}, {"&H F F", 255}, {"&H", 0}, {"&O177777", -1},
        {"&O200000", 65536}, {"&17", 15}, {"&18", 1}, {"-&H10", 0},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(text)), expected) << '"' << text << '"';
    for (const char *text : {"1e400", "-1E309", "&H100000000", "&O40000000000"})
        EXPECT_EQ(errorNumberOf([&] { Val(QString::fromUtf8(text)); }), OV) << text;
}

TEST(IntegerConversions, RoundHalfToEvenThenCheckTheRange)
{
    const auto ov = fails<int32_t>(OV), tm = fails<int32_t>(TM), nu = fails<int32_t>(NU);
    struct Case {
        Variant value;
        Outcome<int32_t> asByte, asInt, asLong;
    } const cases[] = {
        {0.5, 0, 0, 0}, {1.5, 2, 2, 2}, {2.5, 2, 2, 2}, {3.5, 4, 4, 4}, {2.5000001, 3, 3, 3}, {2.4999999, 2, 2, 2},
        {-0.5, 0, 0, 0}, {-0.6, ov, -1, -1}, {-2.5, ov, -2, -2}, {254.5, 254, 254, 254}, {255.4, 255, 255, 255},
        {255.5, ov, 256, 256}, {32766.5, ov, 32766, 32766}, {32767.5, ov, ov, 32768}, {-32768.5, ov, -32768, -32768},
        {-32769.5, ov, ov, -32770}, {2147483647.4, ov, ov, 2147483647}, {2147483647.5, ov, ov, ov},
        {-2147483648.5, ov, ov, -2147483647 - 1}, {kNaN, ov, ov, ov}, {-kInf, ov, ov, ov},
        {uint8_t(200), 200, 200, 200}, {int16_t(-300), ov, -300, -300}, {int32_t(70000), ov, ov, 70000},
        {true, ov, -1, -1}, {false, 0, 0, 0}, {Variant(), 0, 0, 0},
        // Text is read the way CDbl reads it, then rounded.
        {"  2.5 ", 2, 2, 2}, {"1,000", ov, 1000, 1000}, {"&HFFFF", ov, -1, -1}, {"&H10000", ov, ov, 65536},
        {"", tm, tm, tm}, {"12abc", tm, tm, tm}, {"True", tm, tm, tm}, {kNull, nu, nu, nu}, {kObject, tm, tm, tm},
    };
    for (const auto &c : cases) {
        expectOutcome<int32_t>("CByte", [](const Variant &v) { return int32_t(CByte(v)); }, c.value, c.asByte);
        expectOutcome<int32_t>("CInt", [](const Variant &v) { return int32_t(CInt(v)); }, c.value, c.asInt);
        expectOutcome<int32_t>("CLng", [](const Variant &v) { return CLng(v); }, c.value, c.asLong);
    }
}

TEST(Errors, CarryTheStandardNumberAndDescription)
{
    const std::tuple<Variant, int32_t, QString> cases[] = {
        {300.0, 6, u"Overflow"_qs}, {"x", 13, u"Type mismatch"_qs}, {kNull, 94, u"Invalid use of Null"_qs}};
    for (const auto &[value, number, description] : cases) {
        const Error e = vok::test::errorRaisedBy([&] { CByte(value); });
        EXPECT_EQ(std::pair(e.number(), e.description()), std::pair(number, description));
    }
}

TEST(CDbl, ReadsValuesAndExactlyNumericText)
{
    const auto bad = [](int32_t e) { return fails<double>(e); };
    expectAll<double>("CDbl", CDbl, {
        {Variant(), 0.0}, {true, -1.0}, {uint8_t(7), 7.0}, {int16_t(-7), -7.0}, {int32_t(100000), 100000.0},
        {1.25, 1.25}, {"  -1.5  ", -1.5}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0}, {"1,234.5", 1234.5},
        {"1,2,3", 123.0}, {"1.5E-2", 0.015}, {"2D1", 20.0}, {"&H10", 16.0}, {"&HFFFF", -1.0}, {"&17", 15.0},
        {"1e-400", 0.0}, {"", bad(TM)}, {"abc", bad(TM)}, {"12abc", bad(TM)}, {"1 2", bad(TM)}, {"- 1", bad(TM)},
        {"True", bad(TM)}, {".", bad(TM)}, {"1e", bad(TM)}, {",5", bad(TM)}, {"1,,5", bad(TM)}, {"1.5,0", bad(TM)},
        {"1.2.3", bad(TM)}, {"&H", bad(TM)}, {"&HFG", bad(TM)}, {"&O8", bad(TM)}, {"1e400", bad(OV)},
        {"&H100000000", bad(OV)}, {kNull, bad(NU)}, {kObject, bad(TM)},
    });
}

TEST(CBool, ReadsNumbersAndTruthWords)
{
    const auto bad = [](int32_t e) { return fails<bool>(e); };
    expectAll<bool>("CBool", CBool, {
        {Variant(), false}, {true, true}, {uint8_t(0), false}, {int32_t(-1), true}, {0.0, false}, {0.1, true},
        {"True", true}, {" true ", true}, {"0", false}, {"0.5", true}, {"&H0", false}, {"", bad(TM)},
        {"yes", bad(TM)}, {"Truex", bad(TM)}, {kNull, bad(NU)}, {kObject, bad(TM)},
    });
}

TEST(CStr, WritesEachTypeAndDoublesWithFifteenSignificantDigits)
{
    const auto bad = [](int32_t e) { return fails<QString>(e); };
    expectAll<QString>("CStr", CStr, {
        {Variant(), QString()}, {true, u"True"_qs}, {false, u"False"_qs}, {uint8_t(255), u"255"_qs},
        {int16_t(-32768), u"-32768"_qs}, {int32_t(1234567), u"1234567"_qs}, // no group separators
        {" kept ", u" kept "_qs}, {kNull, bad(NU)}, {kObject, bad(TM)}, {0.0, u"0"_qs}, {-0.0, u"0"_qs},
        {-0.5, u"-0.5"_qs}, {0.1, u"0.1"_qs}, {0.1 + 0.2, u"0.3"_qs}, {1.0 / 3, u"0.333333333333333"_qs},
        {2.0 / 3, u"0.666666666666667"_qs}, {1234.5, u"1234.5"_qs}, {123456789012345.0, u"123456789012345"_qs},
        {999999999999999.9, u"1E+15"_qs}, // rounding to 15 digits carries into the exponent
        {1e15, u"1E+15"_qs}, {1.5e15, u"1.5E+15"_qs}, {-1e20, u"-1E+20"_qs}, {1e100, u"1E+100"_qs},
        {1e-5, u"0.00001"_qs}, {-2.5e-5, u"-0.000025"_qs}, {0.012345, u"0.012345"_qs}, {1e-6, u"1E-06"_qs},
        {1.5e-10, u"1.5E-10"_qs}, {1e-300, u"1E-300"_qs},
        // Fixed notation would need more than 15 digits after the point.
        {1.0 / 81000, u"1.23456790123457E-05"_qs}, {0.01 / 3, u"3.33333333333333E-03"_qs},
    });
}

TEST(Locale, SpanishDecimalCommaForCDblAndCStrButNotVal)
{
    {
        ScopedLocale spanish(QLocale(QLocale::Spanish, QLocale::Spain));
        EXPECT_DOUBLE_EQ(CDbl("1,5"), 1.5);
        EXPECT_DOUBLE_EQ(CDbl("1.234,5"), 1234.5);
        EXPECT_DOUBLE_EQ(CDbl("1.5"), 15); // "." groups digits here
        EXPECT_EQ(CInt("2,5"), 2);
        EXPECT_EQ(CStr(1.5), QStringLiteral("1,5"));
        EXPECT_EQ(CStr(1.5e-10), QStringLiteral("1,5E-10"));
        EXPECT_DOUBLE_EQ(Val("1,5"), 1);
        EXPECT_DOUBLE_EQ(Val("1.5"), 1.5);
    }
    EXPECT_EQ(CStr(1.5), QStringLiteral("1.5"));
}

TEST(Trim, RemovesSpacesOnly)
{
    const QString text = u" \t\na\n "_qs;
    EXPECT_EQ(Trim(text), u"\t\na\n"_qs);
    EXPECT_EQ(LTrim(text), u"\t\na\n "_qs);
    EXPECT_EQ(RTrim(text), u" \t\na\n"_qs);
    EXPECT_EQ(Trim(u"\u00A0a\u00A0"_qs), u"\u00A0a\u00A0"_qs);
}

TEST(Replace, ReplacesEveryOccurrenceLeftToRight)
{
    EXPECT_EQ(Replace("aaaa", "aa", "a"), "aa") << "the result is not scanned again";
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Replace("Abc abc", "abc", "X"), "Abc X");
}
