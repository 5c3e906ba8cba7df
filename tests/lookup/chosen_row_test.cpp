// Reading the row the user chose into the article the control holds: values
// of the row and the text as typed in, the loaded article out.

#include "lookup/chosen_row.h"

#include "qt_printers.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using lookup::Columna;

// An article row of article 57 (A57, TORNILLO): in use, on sale, no combo,
// 2 decimals, higher-quantity price allowed, serial number asked.
std::map<int, vb::Variant> articleRow()
{
    return {{0, int32_t{1}}, {1, vb::Variant::null()}, {2, vb::Variant::null()}, {3, QStringLiteral("f57.jpg")},
            {4, int32_t{1}}, {5, int32_t{57}},        {6, int32_t{0}},          {7, int32_t{1}},
            {8, int32_t{1}}, {9, int32_t{0}},         {10, int32_t{2}},         {11, int32_t{0}},
            {12, int32_t{1}}, {13, QStringLiteral("A57")}, {14, QStringLiteral("TORNILLO")}};
}

struct Row {
    const char *name;
    std::map<int, vb::Variant> changes;
    QString typed;
    // Expected: variety, in use, on sale, combo, decimals, higher-quantity price.
    int16_t variedad;
    uint8_t enUso, enVenta, esCombo, decimales, admite;
    // Expected bar-code values: fixed part, variable part, quantity (CB is
    // true when the fixed part is not empty).
    QString fija, variable;
    double cantidad;
};

void PrintTo(const Row &r, std::ostream *os)
{
    *os << r.name;
}

class ChosenRow : public ::testing::TestWithParam<Row> {};

TEST_P(ChosenRow, LoadsTheArticle)
{
    const Row &r = GetParam();
    std::map<int, vb::Variant> values = articleRow();
    for (const auto &[position, value] : r.changes)
        values[position] = value;
    std::vector<int> reads;
    lookup::FilaElegida fila;
    int idWhenShown = -1;
    lookup::CargarFila(
        fila,
        [&](Columna c) {
            reads.push_back(lookup::posicion(c));
            return values.at(lookup::posicion(c));
        },
        r.typed, [&] { idWhenShown = fila.articulo.ID; });

    EXPECT_EQ(idWhenShown, 0) << "the text box is written before the ID is set";
    EXPECT_EQ(fila.articulo.ID, 57);
    EXPECT_EQ(fila.articulo.Codigo, "A57");
    EXPECT_EQ(fila.articulo.Nombre, "TORNILLO");
    EXPECT_EQ(fila.articulo.Variedad, r.variedad);
    EXPECT_EQ(fila.articulo.EnUso, r.enUso);
    EXPECT_EQ(fila.articulo.EnVenta, r.enVenta);
    EXPECT_EQ(fila.articulo.EsCombo, r.esCombo);
    EXPECT_EQ(fila.articulo.Decimales, r.decimales);
    EXPECT_EQ(fila.AdmitePrecioQMayor, r.admite);
    EXPECT_EQ(fila.PideSerie, 1);
    EXPECT_EQ(fila.CB, !r.fija.isEmpty());
    EXPECT_EQ(fila.CBFija, r.fija);
    EXPECT_EQ(fila.CBVariable, r.variable);
    EXPECT_DOUBLE_EQ(fila.CBCantidad, r.cantidad);
    EXPECT_EQ(reads.back(), 3) << "the picture reference is read last";
}

vb::Variant texto(const char *text)
{
    return QString::fromUtf8(text);
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, ChosenRow,
    ::testing::Values(
        Row{"ArticleRow", {}, "A57", 0, 1, 1, 0, 2, 1, "", "", 0},
        Row{"FlagsReadTheirLeadingNumber", {{7, texto("1x")}, {8, texto("x")}, {9, texto("1.9")}, {12, texto("7x")}}, "A57", 0, 1, 0,
            2, 2, 7, "", "", 0},
        Row{"VarietyInUseOverridesAnArticleInUse", {{6, int32_t{4}}, {11, int32_t{0}}}, "A57", 4, 0, 1, 0, 2, 1, "",
            "", 0},
        Row{"VarietyInUseCountsOnlyForAnArticleInUse", {{6, int32_t{4}}, {7, int32_t{0}}, {11, int32_t{1}}}, "A57", 4,
            0, 1, 0, 2, 1, "", "", 0},
        Row{"NegativeVarietyIsNone", {{6, texto("-2")}}, "A57", 0, 1, 1, 0, 2, 1, "", "", 0},
        Row{"ScaleLabelTrailingPercent", {{0, int32_t{2}}, {1, texto("2012345%")}, {2, 1.0}}, "2012345001505", 0, 1, 1, 0,
            2, 1, "2012345", "001505", 1},
        Row{"LeadingPercentTakesTheFirstCharacters", {{0, int32_t{2}}, {1, texto("%9876")}, {2, 2.5}}, "12349876", 0, 1, 1,
            0, 2, 1, "9876", "1234", 2.5},
        Row{"PercentInTheMiddleHasNoVariablePart", {{0, int32_t{2}}, {1, texto("12%34")}, {2, 6.0}}, "1299934", 0, 1, 1, 0,
            2, 1, "1234", "", 6},
        Row{"PlainBarCode", {{0, int32_t{2}}, {1, texto("7790001000017")}, {2, 12.0}}, "7790001000017", 0, 1, 1, 0, 2, 1,
            "7790001000017", "", 12}),
    [](const ::testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

struct Failure {
    const char *name;
    int nullAt;
    int32_t idAfter;
    uint8_t pideSerieAfter;
};

void PrintTo(const Failure &f, std::ostream *os)
{
    *os << f.name;
}

class UnreadableRow : public ::testing::TestWithParam<Failure> {};

// A Null read as text or number ends the load where it is read; what was
// loaded before it stays.
TEST_P(UnreadableRow, StopsWhereTheNullIsRead)
{
    std::map<int, vb::Variant> values = articleRow();
    values[0] = int32_t{2};
    values[1] = texto("77%");
    values[2] = 1.0;
    values[GetParam().nullAt] = vb::Variant::null();
    lookup::FilaElegida fila;
    try {
        lookup::CargarFila(
            fila, [&](Columna c) { return values.at(lookup::posicion(c)); }, "77001", [] {});
        ADD_FAILURE() << "no error";
    } catch (const vb::Error &error) {
        EXPECT_EQ(error.number(), vb::err::InvalidUseOfNull);
    }
    EXPECT_EQ(fila.articulo.ID, GetParam().idAfter);
    EXPECT_EQ(fila.PideSerie, GetParam().pideSerieAfter);
}

INSTANTIATE_TEST_SUITE_P(Lookup, UnreadableRow,
                         ::testing::Values(Failure{"Picture", 3, 57, 1}, Failure{"Code", 13, 0, 0},
                                           Failure{"Flag", 7, 0, 0}, Failure{"Quantity", 2, 57, 0}),
                         [](const ::testing::TestParamInfo<Failure> &info) { return std::string(info.param.name); });

TEST(ChosenRowTest, ScannedCodeShorterThanThePatternIsError5)
{
    EXPECT_THROW(lookup::ParteVariable("2012345%", "201"), vb::Error);
    EXPECT_EQ(lookup::ParteVariable("2012345%", "2012345"), "");
}

} // namespace
