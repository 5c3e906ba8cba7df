#include "error_number.h"
#include "platform/vb/error.h"
#include "platform/vb/format.h"
#include "vb_values.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace vb;

namespace {

using vok::test::describe;
using vok::test::DummyObject;
using vok::test::ScopedLocale;

const Variant kNull = Variant::null();

struct Case {
    Variant value;
    const char *mask, *expected;
};

void expectAll(std::initializer_list<Case> cases)
{
    for (const Case &c : cases)
        EXPECT_EQ(Format(c.value, QString::fromUtf8(c.mask)).toStdString(), std::string(c.expected))
            << "Format(" << describe(c.value) << ", \"" << c.mask << "\")";
}

} // namespace

TEST(Format, ArticleCodesPadOnlyWhenTheyReadAsNumbers)
{
    expectAll({
        {123, "000000", "000123"}, {"123", "000000", "000123"}, {"A12", "000000", "A12"},
        {" 42 ", "000000", "000042"}, {"12abc", "000000", "12abc"}, {"", "000000", ""}, {"-5", "000000", "-000005"},
        {1234567, "000000", "1234567"}, {"1,234.5", "0.00", "1234.50"}, {"&H10", "0", "16"},
        {"1e3", "#,##0", "1,000"}, {"True", "0", "True"}, {"  -2.5", "0", "-3"}, {"1e400", "0", "1e400"},
        {int16_t(-7), "000", "-007"}, {std::numeric_limits<int32_t>::min(), "#,##0", "-2,147,483,648"},
        {true, "0", "-1"}, {false, "0", "0"}, {true, "0.00", "-1.00"}, {Variant(), "0.00", "0.00"}, {kNull, "0", ""},
        // No mask: the value as CStr writes it, Null and Empty as nothing.
        {Variant(), "", ""}, {kNull, "", ""}, {1234.5, "", "1234.5"}, {true, "", "True"}, {"abc", "", "abc"},
        {0.1 + 0.2, "", "0.3"},
    });
}

TEST(Format, NumericPlaceholdersGroupingScalingAndRounding)
{
    expectAll({
        {12345, "00", "12345"}, {5, "##", "5"}, {0, "#", ""}, {0, "0", "0"}, {0, "#,##0", "0"}, {5, "#0#", "05"},
        {1234567, "#,##0", "1,234,567"}, {1234.5, "#,##0.00", "1,234.50"}, {-1234.5, "#,##0.00", "-1,234.50"},
        {1234, "#,#", "1,234"}, {1234567, "0,000", "1,234,567"}, {999.995, "#,##0.00", "1,000.00"},
        {1234567, "#,##0,", "1,235"}, {1234567, "#,##0,,", "1"}, {1500000, "0,,.0", "1.5"}, {499, "0,", "0"},
        {500, "0,", "1"}, {1234567, "#,##0, \"K\"", "1,235 K"},
        // Half away from zero, decided on the decimal digits.
        {2.5, "0", "3"}, {0.5, "0", "1"}, {0.4, "#", ""}, {0.125, "0.00", "0.13"}, {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"}, {9.995, "0.00", "10.00"}, {99.5, "0", "100"}, {-0.4, "0", "-0"},
        {-0.004, "0.00", "-0.00"}, {0.4, "0", "0"}, {0.1 + 0.2, "0.0000000000000000", "0.3000000000000000"},
        {123456789012345678.0, "0", "123456789012346000"}, {1e15, "0", "1000000000000000"}, {1.5e-7, "0.00", "0.00"},
        {1.5e-7, "0.0000000", "0.0000002"}, {-0.5, "0.000", "-0.500"}, {0.5, "#.00", ".50"}, {12.5, ".00", "12.50"},
        {0, "#.##", "."}, {1, "#.##", "1."}, {1.5, "0.", "2."}, {1.5, "0.0#", "1.5"}, {1.25, "0.0#", "1.25"},
        {1.256, "0.0#", "1.26"}, {1.999, "0.##", "2."}, // the point stays without decimals
        {0.256, "0%", "26%"}, {0.256, "0.0%", "25.6%"}, {-0.5, "0%", "-50%"}, {0.0125, "0.0%", "1.3%"},
        {1234.5, "0.00E+00", "1.23E+03"}, {1234.5, "0.00E-00", "1.23E03"}, {0.00012345, "0.00E+00", "1.23E-04"},
        {9.999, "0.00E+00", "1.00E+01"}, {1234.5, "00.00E+00", "12.35E+02"}, {1234.5, "0.00e+0", "1.23e+3"},
        {1e100, "0E+00", "1E+100"}, {123456, "0.0E+0", "1.2E+5"}, {1234.5, "0.00E+000", "1.23E+003"},
        {125, "0.0E+00", "1.3E+02"}, {5, "$0.00", "$5.00"}, {-5, "$0.00", "-$5.00"}, {5, "(0)", "(5)"},
        {1234, "0 \"kg\"", "1234 kg"}, {1234, "\\#0", "#1234"}, {1234, "0\\%", "1234%"}, {12, "\"0\"0", "012"},
        {1234, "00-00", "12-34"}, {5, "##-##", "-5"}, {1234567, "\"Ref. \"000000", "Ref. 1234567"},
        {5, "0\\,000", "0,005"}, {5, "\\E+0", "E+5"},
    });
}

TEST(Format, SectionsForNegativeZeroAndNull)
{
    expectAll({
        {5, "0;(0)", "5"}, {-5, "0;(0)", "(5)"}, {0, "0;(0)", "0"}, {-5, "0;0", "5"},
        // An empty section falls back to the first, which shows the sign itself.
        {-5, "0;;\"zero\"", "-5"}, {0, "0;(0);\"zero\"", "zero"}, {0, "0;(0);", "0"},
        // The section is chosen before rounding.
        {-0.4, "0;(0)", "(0)"}, {0.4, "0;(0);\"zero\"", "0"}, {0.001, "0.00;(0.00);\"zero\"", "0.00"},
        {kNull, "0;(0);\"zero\";\"none\"", "none"}, {kNull, "0;(0);\"zero\"", ""},
        {-1234.5, "#,##0.00;(#,##0.00)", "(1,234.50)"}, {0, "#,##0.00;(#,##0.00);\\-", "-"}, {"-3", "0;[0]", "[3]"},
        {-5, "\"+\"0;\"-\"0", "-5"}, {5, "\"+\"0;\"-\"0", "+5"}, {"abc", "0;(0)", "abc"}, {-5, "0;\"a;b\"0", "a;b5"},
        {-5, "0;\\;0", ";5"}, {false, "0;\"neg\";\"off\"", "off"}, {true, "0;\"neg\";\"off\"", "neg"},
    });
}

TEST(Format, TextMasksFillPlaceholdersFromTheRight)
{
    expectAll({
        {"abc", "@@@@@", "  abc"}, {"abc", "!@@@@@", "abc  "}, {"abcdef", "@@@", "abcdef"},
        {"1234567890", "(@@@) @@@-@@@@", "(123) 456-7890"}, {"4567890", "(@@@) @@@-@@@@", "(   ) 456-7890"},
        {"4567890", "(&&&) &&&-&&&&", "() 456-7890"}, {"ab", "@-@-@", " -a-b"}, {"Hello", ">", "HELLO"},
        {"Hello", "<", "hello"}, {"Hello", ">@@@@@@@", "  HELLO"}, {123, "@@@@@", "  123"}, {1.5, "@@@@@", "  1.5"},
        {true, ">@", "TRUE"}, {"A12", "@@@@@@", "   A12"}, {"", "@@@", ""}, {"", "@;\"(none)\"", "(none)"},
        {kNull, "@;\"(none)\"", "(none)"}, {kNull, "@@", ""}, {"x", "\\@@", "@x"},
        {"abc", "\"Code: \"@@@@", "Code:  abc"},
    });
}

TEST(Format, NamedFormatsIgnoreCase)
{
    expectAll({
        {1234.5, "General Number", "1234.5"}, {"1,234.5", "general number", "1234.5"}, {true, "General Number", "-1"},
        {kNull, "General Number", ""}, {1234.567, "Fixed", "1234.57"}, {0.5, "Fixed", "0.50"},
        {-0.125, "fixed", "-0.13"}, {1234567.891, "Standard", "1,234,567.89"}, {0.1234, "Percent", "12.34%"},
        {1234.5, "Scientific", "1.23E+03"}, {0, "Yes/No", "No"}, {5, "yes/no", "Yes"}, {false, "True/False", "False"},
        {0, "On/Off", "Off"}, {0.0001, "On/Off", "On"}, {kNull, "Yes/No", ""}, {"abc", "Yes/No", "abc"},
        // The "C" locale has no currency symbol: the platform's dollar layout.
        {1234.5, "Currency", "$1,234.50"}, {-1234.5, "Currency", "($1,234.50)"}, {0, "currency", "$0.00"},
        {"abc", "Currency", "abc"}, {kNull, "Currency", ""},
    });
}

TEST(Format, UsesTheLocaleSeparatorsAndCurrency)
{
    {
        const ScopedLocale spanish(QLocale(QLocale::Spanish, QLocale::Spain));
        expectAll({
            {1234.5, "#,##0.00", "1.234,50"}, {1234567, "#,##0", "1.234.567"}, {0.5, "0.00", "0,50"},
            {"1.234,5", "0.00", "1234,50"}, {"12,5", "0", "13"},
            {"1.5", "0.00", "15,00"}, // "." groups digits in Spanish, as CDbl reads it
            {0.256, "0.0%", "25,6%"}, {1234.5, "0.00E+00", "1,23E+03"}, {1234.5, "", "1234,5"},
            {1234.5, "Standard", "1.234,50"}, {1234.5, "Currency", "1.234,50\u00a0€"},
            {-1234.5, "Currency", "-1.234,50\u00a0€"},
        });
    }
    const ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    expectAll({{1234.5, "Currency", "$1,234.50"}, {-1234.5, "Currency", "($1,234.50)"}, {1234.5, "#,##0.0", "1,234.5"}});
}

TEST(Format, AnObjectIsATypeMismatch)
{
    const Variant object{ObjectRef(std::make_shared<DummyObject>())};
    for (const char *mask : {"", "0", "@", "Currency", "General Number"})
        EXPECT_EQ(vok::test::errorNumberOf([&] { Format(object, QString::fromUtf8(mask)); }), err::TypeMismatch) << mask;
}
