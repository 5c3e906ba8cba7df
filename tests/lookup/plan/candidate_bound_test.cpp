// A code prefix's candidates are told too many to sort from the indexes
// alone, without reading them. Told so wrongly, a lookup would read the whole
// name's index where a few hundred rows would do; the rows are alike either
// way, so only this count can show it.

#include "typed_lookup.h"

#include "lookup/plan/lookup_planner.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

constexpr int kMost = 10;

struct BoundCase {
    const char *name;
    QString typed;
    int codes;            // articles whose code begins with typed
    QString namedAs;      // their names' beginning
    int namesInRange;     // other articles whose name begins with typed
    bool toldMany;        // whether the indexes tell the codes too many
};

void PrintTo(const BoundCase &c, std::ostream *out)
{
    *out << c.name;
}

int64_t firstInteger(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    const int64_t value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
}

class CandidateBound : public ::testing::TestWithParam<BoundCase> {};

TEST_P(CandidateBound, TellsTooManyOnlyWhereTheyAre)
{
    const BoundCase &c = GetParam();
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    const auto exec = [&](const QString &sql) {
        ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
    };
    exec(u"Create Table Articulo (ArtID Integer Primary Key, ArtCodigo Text, ArtNombre Text, ArtNombreCorto Text);"
         "Create Index IX_Articulo_CodigoClave On Articulo (ArtCodigo Collate NoCase, ArtNombre, ArtNombreCorto);"
         "Create Index IX_Articulo_NombreClave On Articulo (ArtNombre Collate NoCase, ArtCodigo Collate NoCase, "
         "ArtNombreCorto);"_qs);
    for (int k = 0; k < c.codes; ++k)
        exec(u"Insert Into Articulo (ArtCodigo, ArtNombre, ArtNombreCorto) Values ('%1%2', '%3 %2', '%3')"_qs.arg(
            c.typed, QString::number(1000 + k), c.namedAs));
    for (int k = 0; k < c.namesInRange; ++k)
        exec(u"Insert Into Articulo (ArtCodigo, ArtNombre, ArtNombreCorto) Values ('Z%2', '%1 %2', 'Z')"_qs.arg(
            c.typed, QString::number(k)));

    lookup::LookupSettings s;
    s.Empresa = 1;
    const lookup::LookupPlanner planner({u"ArtCodigo"_qs, u"ArtNombre"_qs, u"ArtNombreCorto"_qs, u"AVaNombre"_qs},
                                        {.mostToSort = kMost});
    const auto plan = planner.plan(lookupStatement(s, c.typed));
    ASSERT_TRUE(plan);
    const lookup::LookupPlan::CandidateSelect *codes = nullptr;
    for (const lookup::LookupPlan::Stream &stream : plan->streams)
        if (const auto *apart = std::get_if<lookup::LookupPlan::Apart>(&stream.how))
            for (const lookup::LookupPlan::CandidateSelect &candidates : apart->candidates)
                if (!codes && !candidates.beyondMost.isEmpty())
                    codes = &candidates;
    ASSERT_TRUE(codes) << "no select of the codes' range that the indexes can count";

    const bool toldMany = firstInteger(db, codes->beyondMost) > kMost;
    const int64_t rows = firstInteger(db, u"Select Count(*) From ("_qs + codes->select + u')');
    EXPECT_EQ(toldMany, c.toldMany) << rows << " rows";
    if (toldMany) {
        EXPECT_GT(rows, kMost);
    }
    sqlite3_close(db);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CandidateBound,
    ::testing::Values(
        BoundCase{"NumericCodes", u"84"_qs, 40, u"LECHE"_qs, 0, true},
        BoundCase{"FewCodes", u"84"_qs, kMost, u"LECHE"_qs, 0, false},
        // The names in the range may be the codes' own articles: each one
        // counted may be a code that is not a candidate.
        BoundCase{"NamesBesideTheCodes", u"84"_qs, 40, u"LECHE"_qs, 35, false},
        BoundCase{"FewNamesBesideManyCodes", u"84"_qs, 40, u"LECHE"_qs, 20, true},
        // Past 64 names the indexes cannot tell however many the codes are:
        // the range is read. Codes that begin their own names give no row.
        BoundCase{"ManyNamesBesideManyCodes", u"84"_qs, 200, u"LECHE"_qs, 70, false},
        BoundCase{"CodesThatBeginTheirNames", u"84"_qs, 75, u"84"_qs, 0, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
