// Which strategy the planner chooses for each branch of a lookup, pinned: a
// plan that quietly fell back to reading a whole index would give the same
// rows, and only its speed would tell.

#include "typed_lookup.h"

#include "lookup/plan/lookup_planner.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

struct ChoiceCase {
    const char *name;
    QString typed;
    int32_t display = 0;         // NombreADesplegar: 0 the name, else the short name
    bool withoutVarieties = false; // OmitirVariedad
    // Per branch: articles, [varieties,] bar codes of articles, [of varieties];
    // empty: not planned.
    QStringList choices;
};

void PrintTo(const ChoiceCase &c, std::ostream *out)
{
    *out << c.name;
}

class PlanChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PlanChoice, NamesEachBranchsStrategyAndIndex)
{
    const ChoiceCase &c = GetParam();
    lookup::LookupSettings s;
    s.Empresa = 1;
    s.NombreADesplegar = c.display;
    s.OmitirVariedad = c.withoutVarieties;
    const lookup::LookupPlanner planner({u"ArtCodigo"_qs, u"ArtNombre"_qs, u"ArtNombreCorto"_qs, u"AVaNombre"_qs});
    const auto plan = planner.plan(lookupStatement(s, c.typed));
    QStringList got;
    if (plan)
        for (const lookup::Choice &choice : plan->choices)
            got << lookup::toString(choice);
    EXPECT_EQ(got.join(u'\n').toStdString(), c.choices.join(u'\n').toStdString());
}

const QString kBarCodes = u"SortedBarCodes"_qs;

INSTANTIATE_TEST_SUITE_P(
    Lookups, PlanChoice,
    ::testing::Values(
        ChoiceCase{"FirstWordOfAName", u"LECHE"_qs, 0, false,
                   {u"NameRangeDecided on IX_Articulo_NombreClave + apart candidates"_qs,
                    u"VarietiesDecided on IX_Articulo_NombreClave + apart candidates"_qs, kBarCodes, kBarCodes}},
        ChoiceCase{"TwoWordsByShortName", u"LECHE ENT"_qs, 1, false,
                   {u"NameRangeDecided on IX_Articulo_NombreCortoClave + apart candidates"_qs,
                    u"VarietiesDecided on IX_Articulo_NombreCortoClave + apart candidates"_qs, kBarCodes, kBarCodes}},
        ChoiceCase{"WithoutVarieties", u"TAZA"_qs, 0, true,
                   {u"NameRangeDecided on IX_Articulo_NombreClave + apart candidates"_qs, kBarCodes}},
        ChoiceCase{"LeadingWildcard", u"*ENT"_qs, 0, false,
                   {u"IndexOrder on IX_Articulo_NombreClave"_qs, u"VarietiesByIndex on IX_Articulo_NombreClave"_qs,
                    kBarCodes, kBarCodes}},
        ChoiceCase{"Blanks", u"   "_qs, 0, false,
                   {u"IndexOrder on IX_Articulo_NombreClave"_qs, u"VarietiesByIndex on IX_Articulo_NombreClave"_qs,
                    kBarCodes, kBarCodes}},
        // A pasted page would cost the candidates the square of its length:
        // past the length of any code or name, the statement runs as written.
        ChoiceCase{"PastedPage", QString(300, u'A'), 0, false, {}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
