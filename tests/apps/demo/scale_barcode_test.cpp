#include "scale_barcode.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

namespace {

using demo::ScaleValue;

TEST(ScaleBarcodeTest, Ean13CheckDigit)
{
    struct Case {
        const char *code;
        bool valid;
    };
    for (const Case &c : {Case{"7790001001306", true}, Case{"2000150001504", true}, Case{"4006381333931", true},
                          Case{"4006381333932", false}, Case{"400638133393", false}, Case{"40063813339311", false},
                          Case{"40063813339a1", false}, Case{"", false}})
        EXPECT_EQ(demo::hasValidEan13CheckDigit(QString::fromLatin1(c.code)), c.valid) << c.code;
}

// The rule of the longest prefix reads the digits before the check digit; a code
// that is no scale label says why.
TEST(ScaleBarcodeTest, LabelsDecodeOrSayWhyNot)
{
    const std::vector<demo::ScaleRule> rules{{"2", ScaleValue::Weight, 5}, {"22", ScaleValue::Price, 5}};
    struct Case {
        const char *scanned, *variable;
        ScaleValue kind;
        double value;
        const char *problem; // nullptr for a label that reads
    };
    // 2 00015 0 00150 4: item 00015 of the pattern «200015%», 150 grams.
    for (const Case &c : {Case{"2000150001504", "0001504", ScaleValue::Weight, 0.150, nullptr},
                          Case{"2000150001504", "001504", ScaleValue::Weight, 0.150, nullptr},
                          Case{"2200150123453", "0123453", ScaleValue::Price, 123.45, nullptr},
                          Case{"2000150001503", "0001503", {}, 0, "check digit"},
                          Case{"7790001001306", "1306", {}, 0, "no scale rule"},
                          Case{"2000150001504", "504", {}, 0, "does not hold 5 digits"},
                          Case{"2000150001504", "9991504", {}, 0, "does not hold 5 digits"}}) {
        const demo::ScaleDecoding decoded = demo::decodeScaleLabel(c.scanned, c.variable, rules);
        if (c.problem) {
            EXPECT_FALSE(decoded.reading) << c.scanned;
            EXPECT_TRUE(decoded.problem.contains(QLatin1String(c.problem))) << qPrintable(decoded.problem);
            continue;
        }
        ASSERT_TRUE(decoded.reading) << c.scanned << ": " << qPrintable(decoded.problem);
        EXPECT_EQ(decoded.reading->kind, c.kind) << c.scanned;
        EXPECT_DOUBLE_EQ(decoded.reading->value, c.value) << c.scanned;
    }
}

TEST(ScaleBarcodeTest, RulesComeFromTheSettingsAndBadOnesAreReported)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("demo.ini");
    {
        QSettings writer(path, QSettings::IniFormat);
        writer.setValue("Balanza/2", "peso,5");
        writer.setValue("Balanza/22", "precio,4");
        writer.setValue("Balanza/23", "litros,5");
        writer.setValue("Balanza/x1", "peso,5");
    }
    QSettings settings(path, QSettings::IniFormat);
    QStringList problems;
    const auto rules = demo::readScaleRules(settings, &problems);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].prefix, "2");
    EXPECT_EQ(rules[1].kind, ScaleValue::Price);
    EXPECT_EQ(rules[1].digits, 4);
    EXPECT_EQ(problems.size(), 2);
}

} // namespace
