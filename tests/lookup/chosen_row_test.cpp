// Reading the row the user chose into the article the control holds.

#include "lookup/chosen_row.h"

#include "error_number.h"

#include "qt_printers.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

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

// What the row loads: variety, in use, on sale, combo, decimals, higher-quantity price, and the
// bar code's fixed part, variable part and quantity.
using Loaded = std::tuple<int16_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, QString, QString, double>;

struct Row {
    const char *name;
    std::map<int, vb::Variant> changes;
    QString typed;
    Loaded loaded;
};

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
    const auto read = [&](Columna c) {
        reads.push_back(lookup::posicion(c));
        return values.at(lookup::posicion(c));
    };
    lookup::CargarFila(fila, read, r.typed, [&] { idWhenShown = fila.articulo.ID; });
    EXPECT_EQ(idWhenShown, 0) << "the text box is written before the ID is set";
    const lookup::ArticuloActual &a = fila.articulo;
    EXPECT_EQ(std::tuple(a.ID, a.Codigo, a.Nombre, fila.PideSerie, fila.CB),
              std::tuple(57, u"A57"_qs, u"TORNILLO"_qs, 1, !std::get<6>(r.loaded).isEmpty()));
    EXPECT_EQ(Loaded(a.Variedad, a.EnUso, a.EnVenta, a.EsCombo, a.Decimales, fila.AdmitePrecioQMayor, fila.CBFija,
                     fila.CBVariable, fila.CBCantidad),
              r.loaded);
    EXPECT_EQ(reads.back(), 3) << "the picture reference is read last";
}

vb::Variant texto(const char *text) { return QString::fromUtf8(text); }

INSTANTIATE_TEST_SUITE_P(
    Lookup, ChosenRow,
    ::testing::Values(
        Row{"ArticleRow", {}, "A57", {0, 1, 1, 0, 2, 1, "", "", 0}},
        Row{"FlagsReadTheirLeadingNumber", {{7, texto("1x")}, {8, texto("x")}, {9, texto("1.9")}, {12, texto("7x")}},
            "A57", {0, 1, 0, 2, 2, 7, "", "", 0}},
        Row{"VarietyInUseOverridesAnArticleInUse", {{6, int32_t{4}}, {11, int32_t{0}}}, "A57",
            {4, 0, 1, 0, 2, 1, "", "", 0}},
        Row{"VarietyInUseCountsOnlyForAnArticleInUse", {{6, int32_t{4}}, {7, int32_t{0}}, {11, int32_t{1}}}, "A57",
            {4, 0, 1, 0, 2, 1, "", "", 0}},
        Row{"NegativeVarietyIsNone", {{6, texto("-2")}}, "A57", {0, 1, 1, 0, 2, 1, "", "", 0}},
        Row{"ScaleLabelTrailingPercent", {{0, int32_t{2}}, {1, texto("2012345%")}, {2, 1.0}}, "2012345001505",
            {0, 1, 1, 0, 2, 1, "2012345", "001505", 1}},
        Row{"LeadingPercentTakesTheFirstCharacters", {{0, int32_t{2}}, {1, texto("%9876")}, {2, 2.5}}, "12349876",
            {0, 1, 1, 0, 2, 1, "9876", "1234", 2.5}},
        Row{"PercentInTheMiddleHasNoVariablePart", {{0, int32_t{2}}, {1, texto("12%34")}, {2, 6.0}}, "1299934",
            {0, 1, 1, 0, 2, 1, "1234", "", 6}},
        Row{"PlainBarCode", {{0, int32_t{2}}, {1, texto("7790001000017")}, {2, 12.0}}, "7790001000017",
            {0, 1, 1, 0, 2, 1, "7790001000017", "", 12}}),
    [](const ::testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

struct Failure {
    const char *name;
    int nullAt;
    int32_t idAfter;
    uint8_t pideSerieAfter;
};

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
    const auto read = [&](Columna c) { return values.at(lookup::posicion(c)); };
    EXPECT_EQ(vok::test::errorNumberOf([&] { lookup::CargarFila(fila, read, "77001", [] {}); }), vb::err::InvalidUseOfNull);
    EXPECT_EQ(std::pair(fila.articulo.ID, fila.PideSerie), std::pair(GetParam().idAfter, GetParam().pideSerieAfter));
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
