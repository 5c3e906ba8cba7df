// The embedded back end answers the control's lookups through index probes
// added to the statement at execution time. Whatever the catalogue and whatever
// the cashier types, the rows and their order must be those of the statement
// as translated without probes: both run here side by side on generated
// catalogues seasoned with the awkward data a shop's file can hold, for texts
// of every kind and every setting that shapes the statement.

#include "catalogue.h"

#include "seasoned_catalogue.h"
#include "typed_lookup.h"

#include "lookup/plan/articles_with_varieties.h"
#include "lookup/plan/index_script.h"
#include "lookup/plan/lookup_plans.h"
#include "lookup/plan/name_blocks.h"
#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/sqlite/sqlite_connection.h"
#include "platform/rdo/sqlite/sqlite_plans.h"
#include "platform/rdo/sqlite/statement_cache.h"
#include "platform/vb/conversions.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <random>
#include <thread>

namespace {

using vok::test::kSeasoning;
using vok::test::Typist;

// Names that sort apart once accents are ignored (ÁBACO before ABADÍA, tied
// with abaco), in both cases, composed and not, found by codes of digits that
// a till ignoring accents still reads on the indexes; a variety's accent, and
// a variety's leading accent that composes with the name's last letter
// (CAFE and a combining acute make CAFÉ), an accented name that a
// variety's name goes on from (CAFÉ and MOLIDO), names of one character
// that a variety's name goes on from (Ñ and ANDU, 7 and 9ROJO), and a short name that
// begins as the name does for four letters, then apart, and a variety's name
// completes (VASOS, VASOTEAZUL and ROJO).
constexpr const char *kAccents = R"sql(
INSERT INTO Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtUnidadMedida, ArtEmpresa, ArtNoUtilizarGenerico)
VALUES (900201, '77001', 'ÁBACO ESCOLAR', 'abaco', 5, 1, 0), (900202, '77002', 'ABADÍA', 'ábadia', 5, 1, 0),
       (900203, '77003', 'abaco escolar', 'A' || char(769) || 'BACO', 5, 1, 0), (900204, '77004', 'AZÚCAR', NULL, 5, 1, 0),
       (900205, '7700', 'azucar', 'AZUCAR', 5, 1, 0), (900206, '77005', 'ABACA', 'ÁBACA', 5, 1, 0);
INSERT INTO Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtUnidadMedida, ArtEmpresa, ArtNoUtilizarGenerico)
VALUES (900207, '77006', 'CAFE', 'KAFÉ', 5, 1, 0), (900208, '77007', 'CAFÉ', 'CAFÉ', 5, 1, 0),
       (900209, '77008', 'Ñ', 'Ñ', 5, 1, 0), (900210, '77009', 'VASOS', 'VASOTEAZUL', 5, 1, 0),
       (900211, '88010', '7', NULL, 5, 1, 0);
INSERT INTO ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso)
VALUES (900206, 1, 'ROSÉ', 1), (900207, 1, char(769) || ' MOLIDO', 1), (900208, 1, 'MOLIDO', 1),
       (900209, 1, 'ANDU', 1), (900210, 1, 'ROJO', 1), (900211, 1, '9ROJO', 1);
)sql";

struct Catalogue : vok::test::CatalogueTexts {
    QTemporaryDir folder;
    QString path;
};

std::vector<QString> column(sqlite3 *db, const char *sql)
{
    std::vector<QString> values;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        values.push_back(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
    sqlite3_finalize(stmt);
    return values;
}

// A shop's file as our index script leaves it, as an earlier version's left
// it (in the collation SQLSERVER), or as it comes: only the ordinary indexes,
// its text in NOCASE (our schema) or in SQLite's default collation (a file
// written by another program).
enum class FileState { Indexed, IndexedEarlier, AsItComes, PlainText };

void indexAsEarlier(sqlite3 *db)
{
    QFile script(QStringLiteral(VOK_EARLIER_INDEXES_PATH));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly)) << VOK_EARLIER_INDEXES_PATH;
    ASSERT_EQ(rdo::installServerText(db), SQLITE_OK);
    const QByteArray sql = script.readAll() + "; ANALYZE";
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
}

std::unique_ptr<Catalogue> makeCatalogue(uint64_t seed, FileState state = FileState::Indexed)
{
    auto c = std::make_unique<Catalogue>();
    c->path = c->folder.filePath(QStringLiteral("catalogue.db"));
    vok::catalogue::Options options;
    options.articles = 1000;
    options.seed = seed;
    options.output = c->path.toStdString();
    options.plainText = state == FileState::PlainText;
    vok::catalogue::generate(options);
    sqlite3 *db = nullptr;
    sqlite3_open_v2(options.output.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    EXPECT_EQ(sqlite3_exec(db, kSeasoning, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    EXPECT_EQ(sqlite3_exec(db, kAccents, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    if (state == FileState::Indexed) {
        EXPECT_EQ(lookup::createLookupIndexes(db).error, QString());
    }
    if (state == FileState::IndexedEarlier)
        indexAsEarlier(db);
    c->codes = column(db, "Select ArtCodigo From Articulo Order By random()");
    c->names = column(db, "Select ArtNombre From Articulo Order By random()");
    c->barCodes = column(db, "Select ACBCodigo From ArticuloCodigoBarras Order By random()");
    sqlite3_close(db);
    return c;
}

// Where two lists of rows part, for a failure message that a list of
// thousands of rows would bury.
std::string firstDifference(const QStringList &got, const QStringList &expected)
{
    qsizetype i = 0;
    while (i < got.size() && i < expected.size() && got[i] == expected[i])
        ++i;
    return "at row " + std::to_string(i) + " of " + std::to_string(expected.size()) + ": got «" +
           got.value(i).toStdString() + "», expected «" + expected.value(i).toStdString() + "»\n";
}

// The statements of a merged plan that do not prepare on the indexed file, as
// the back end prepares them (typed values taken out), with the engine's
// reason. The back end runs the plain translation instead of such a plan, so
// that its rows stay right: only this shows an index that a statement names
// but cannot use.
std::string unpreparable(const QString &path, const lookup::LookupPlan &plan)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    rdo::installServerText(db);
    // The functions the back end answers from what its connection keeps; a
    // statement prepares with any function of the name.
    for (const char *function : {lookup::ArticlesWithVarieties::kFunction, lookup::ArticlesWithVarieties::kMatchFunction,
                                 rdo::kDriverLimitFunction, lookup::kOrderKeyFunction})
        sqlite3_create_function(db, function, -1, SQLITE_UTF8, nullptr,
                                [](sqlite3_context *context, int, sqlite3_value **) { sqlite3_result_int(context, 1); },
                                nullptr, nullptr);
    std::string failed;
    for (const auto &stream : plan.streams) {
        for (const QString &sql : lookup::statementsOf(stream)) {
            sqlite3_stmt *stmt = nullptr;
            if (!sql.isEmpty() &&
                sqlite3_prepare_v2(db, rdo::parametrized(sql).shape.constData(), -1, &stmt, nullptr) != SQLITE_OK)
                failed += std::string(sqlite3_errmsg(db)) + ": " + sql.toStdString() + "\n";
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close(db);
    return failed;
}

// A seasoned catalogue, a connection that runs its lookups as streams and one
// that runs them as the plain translation.
struct Compared {
    std::unique_ptr<Catalogue> catalogue;
    std::shared_ptr<rdo::SqliteConnection> probed, plain;
};

Compared compared(uint64_t seed, FileState state = FileState::Indexed, const char *collation = "")
{
    Compared c{makeCatalogue(seed, state), nullptr, nullptr};
    const QString connect = u"sqlite:"_qs + c.catalogue->path + QLatin1String(collation);
    c.probed = rdo::SqliteConnection::open(connect);
    // The stretches of the names' indexes read at once: every lookup passes
    // over those that cannot hold its words.
    lookup::prepareLookups(*c.probed);
    // Linking the lookup library installs its plans on every connection.
    EXPECT_NE(c.probed->plans(), nullptr);
    c.plain = rdo::SqliteConnection::open(connect);
    c.plain->setPlans(nullptr);
    return c;
}

struct Seeded {
    const char *name;
    uint64_t seed;
    FileState state;
    // How the file orders the searched columns on its indexes.
    lookup::FileKeys keys;
    const char *collation = ""; // the connection string's option
};

void PrintTo(const Seeded &s, std::ostream *out)
{
    *out << s.name;
}

class LookupPlans : public ::testing::TestWithParam<Seeded> {};

TEST_P(LookupPlans, FindTheRowsOfThePlainTranslationInItsOrder)
{
    const Compared c = compared(GetParam().seed, GetParam().state, GetParam().collation);
    const auto &[catalogue, probed, plain] = c;
    const QString connect = u"sqlite:"_qs + catalogue->path + QLatin1String(GetParam().collation);
    // The lookup as one statement with its candidates added, as the back end
    // runs it when its streams cannot be prepared.
    const auto single = rdo::SqliteConnection::open(connect);
    lookup::installLookupPlans(*single, {.mostToSort = 2000, .streams = false});
    // Rows found apart from the name's order, read in that order instead of
    // sorted, as a million-article catalogue has them for a one-letter code;
    // and the odd articles read through the file's indexes, as a lookup
    // does until the connection has them in memory.
    const auto unsorted = rdo::SqliteConnection::open(connect);
    lookup::installLookupPlans(*unsorted, {.mostToSort = 2, .streams = true, .oddArticlesKept = false});

    const lookup::LookupPlanner planner(plain->textColumns());
    EXPECT_EQ(lookup::fileKeysOf(*probed), GetParam().keys);
    Typist typist(*catalogue, static_cast<uint32_t>(GetParam().seed));
    int probedStatements = 0, mergedStatements = 0, found = 0;
    constexpr int kLookups = 90;
    // Then texts aimed at the accents' rows and at names several articles
    // share, with the name and the short name displayed.
    const QStringList accents = {u"7700"_qs, u"770"_qs, u"77"_qs, u"azucar"_qs, u"ÁBAC"_qs, u"AZÚC"_qs, u"abaca ros"_qs, u"CAFÉ MOL"_qs, u"CAFÉMOL"_qs,
                                 u"ñand"_qs, u"vasoteaz roj"_qs, u"TETERA"_qs};
    for (int i = 0; i < kLookups + 2 * accents.size(); ++i) {
        lookup::LookupSettings s = typist.nextSettings();
        const QString typed = i < kLookups ? typist.next() : accents[(i - kLookups) / 2];
        if (i >= kLookups) {
            s.NombreADesplegar = i % 2;
            s.Empresa = 1; // the accents' rows
        }
        const QString sql = lookupStatement(s, typed);
        probedStatements += lookup::withIndexProbes(sql, GetParam().keys) != sql ? 1 : 0;
        if (const auto plan = planner.plan(sql)) {
            ++mergedStatements;
            if (GetParam().state == FileState::Indexed) {
                EXPECT_EQ(unpreparable(catalogue->path, *plan), "");
            }
        }
        const QStringList expected = rows(*plain, sql);
        found += expected.isEmpty() ? 0 : 1;
        for (const auto &[connection, how] : {std::pair{probed.get(), "merged"}, {single.get(), "as one statement"},
                                              {unsorted.get(), "apart rows unsorted"}}) {
            const QStringList got = rows(*connection, sql);
            ASSERT_TRUE(got == expected) << how << ", typed «" << typed.toStdString() << "» "
                                         << firstDifference(got, expected) << sql.toStdString();
        }
    }
    // The comparison means something only if the probes were added and rows found.
    EXPECT_GT(probedStatements, kLookups * 3 / 4);
    EXPECT_EQ(mergedStatements, kLookups + 2 * accents.size());
    EXPECT_GT(found, kLookups / 2);
}

constexpr auto kNoCase = lookup::KeyOrder::NoCase, kBinary = lookup::KeyOrder::Binary;
INSTANTIATE_TEST_SUITE_P(
    Files, LookupPlans,
    ::testing::Values(Seeded{"Indexed3", 3, FileState::Indexed, {kNoCase, kNoCase, kNoCase, kNoCase}},
                      Seeded{"IndexedEarlier17", 17, FileState::IndexedEarlier, {}},
                      Seeded{"AsItComes3", 3, FileState::AsItComes, {kNoCase, kNoCase, kNoCase, kBinary}},
                      Seeded{"PlainText17", 17, FileState::PlainText, {kBinary, kBinary, kBinary, kBinary}},
                      Seeded{"Indexed3AccentsIgnored", 3, FileState::Indexed, {kNoCase, kNoCase, kNoCase, kNoCase},
                             ";collation=ci_ai"},
                      Seeded{"AsItComes5AccentsIgnored", 5, FileState::AsItComes,
                             {kNoCase, kNoCase, kNoCase, kBinary}, ";collation=ci_ai"},
                      Seeded{"PlainText17AccentsIgnored", 17, FileState::PlainText,
                             {kBinary, kBinary, kBinary, kBinary}, ";collation=ci_ai"}),
    [](const auto &info) { return std::string(info.param.name); });

// A host's own statement of the lookup's shape, each group with one term more
// than the lookup's: the streams may not take the group for the lookup's and
// leave the range of its name to a driver that tries the lookup's terms only.
TEST(LookupPlansOfOtherStatements, KeepTheRowsOfAGroupWithATermMore)
{
    const Compared c = compared(5);
    const auto &[catalogue, probed, plain] = c;
    lookup::LookupSettings s;
    s.Empresa = 1;
    QString sql = lookupStatement(s, u"LECHE ZZ"_qs);
    // The article LECHE FRESCA and its variety AZUL match the added terms only.
    for (const auto &[end, more] : {std::pair{u"ArtNombreCorto Like 'LECHE%ZZ%')"_qs, u" OR ArtNombre Like 'LECHE FR%'"_qs},
                                   {u"ArtNombreCorto + AVaNombre like 'LECHE%ZZ%')"_qs,
                                    u" OR ArtNombre + AVaNombre like 'LECHE%AZUL%'"_qs}}) {
        ASSERT_TRUE(sql.contains(end)) << end.toStdString();
        sql.replace(end, end.chopped(1) + more + u')');
    }
    const QStringList expected = rows(*plain, sql);
    ASSERT_EQ(expected.filter(u"|900010|"_qs).size(), 2) << expected.join(u'\n').toStdString();
    EXPECT_TRUE(rows(*probed, sql) == expected) << firstDifference(rows(*probed, sql), expected);
}

// A lookup passes over the stretches of the name's index that cannot hold
// the words typed, or whose texts begin with other digits than a code typed.
// Whatever an article's texts hold (its names, its code, its names run into
// its varieties'), and whatever digits they begin with, the stretch it is in
// must say it may hold them, or the lookup would lose it: so for the
// stretches read by the lookup's connection, and for those read in the
// background on a connection of their own.
TEST(NameBlocks, SayEveryStretchMayHoldWhatItsArticlesHold)
{
    const auto catalogue = makeCatalogue(11);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(catalogue->path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_EQ(rdo::installServerText(db), SQLITE_OK);
    // Every text of each article the drivers read (the odd ones are read
    // apart), in a pattern that holds it: its wildcards become runs of anything.
    const std::vector<QString> texts = column(
        db, (std::string("Select ArtNombre || char(1) || ifnull(ArtNombreCorto, '') || char(1) || ArtCodigo || char(1) || "
                         "ifnull(ArtNombre || AVaNombre, '') || char(1) || ifnull(ArtNombreCorto || AVaNombre, '') "
                         "From Articulo Left Join ArticuloVariedad On AVaArticulo = ArtID "
                         "Where ArtNombre Is Not Null And Not ") +
             lookup::kOddArticles)
                .c_str());
    const auto check = [&](const lookup::NameBlocks::Index *index, const QString &leading) {
        ASSERT_NE(index, nullptr);
        ASSERT_GT(index->size(), 100u) << "blocks of a few articles each";
        const int leadingText = leading == u"ArtNombre"_qs ? 0 : 1;
        for (const QString &row : texts) {
            const QStringList parts = row.split(QChar(1));
            if (leadingText == 1 && parts[1].isEmpty())
                continue;
            const size_t block = index->blockOf(parts[leadingText].toStdString());
            for (QString text : parts) {
                text.replace(u'_', u'%').replace(u'[', u'%');
                EXPECT_TRUE(index->mayHold(block, lookup::NameBlocks::Index::runsOf((u'%' + text + u'%').toStdString())))
                    << leading.toStdString() << " «" << parts[leadingText].toStdString() << "», «"
                    << text.toStdString() << "»";
                if (const auto digits = lookup::NameBlocks::Index::digitsBeginning((text + u'%').toStdString())) {
                    EXPECT_TRUE(index->mayBeginWith(block, *digits))
                        << leading.toStdString() << " «" << parts[leadingText].toStdString() << "», «"
                        << text.toStdString() << "» begins with " << *digits;
                }
            }
        }
        // What a code of two digits counts on, to know its articles too
        // many to sort: the articles whose code, and those whose names,
        // begin with the digits.
        const auto counted = [&](const QString &condition) {
            return column(db, ("Select Count(*) From Articulo Where Not " + QString(lookup::kOddArticles) + " And (" +
                               condition + ")")
                                  .toUtf8()
                                  .constData())
                .at(0)
                .toInt();
        };
        for (int digits = 0; leadingText == 0 && digits < 100; ++digits) {
            const QString pair = u'\'' + QString::number(digits / 10) + QString::number(digits % 10) + u'\'';
            EXPECT_EQ(index->codesBeginningWith(digits), counted("substr(ArtCodigo, 1, 2) = " + pair)) << pair.toStdString();
            EXPECT_EQ(index->namesBeginningWith(digits),
                      counted("substr(ArtNombre, 1, 2) = " + pair + " Or substr(ArtNombreCorto, 1, 2) = " + pair))
                << pair.toStdString();
        }
    };
    {
        rdo::StatementCache statements(db);
        lookup::ArticlesWithVarieties varieties;
        varieties.refresh(statements);
        lookup::NameBlocks now, inBackground;
        inBackground.readFrom(catalogue->path.toStdString());
        for (lookup::NameBlocks *blocks : {&now, &inBackground})
            blocks->refresh(statements, varieties);
        for (const QString &leading : {u"ArtNombre"_qs, u"ArtNombreCorto"_qs}) {
            now.readNow(leading, statements, varieties);
            check(now.of(leading, statements, varieties), leading);
            const lookup::NameBlocks::Index *read = nullptr;
            for (int waited = 0; !read && waited < 1000; ++waited) {
                read = inBackground.of(leading, statements, varieties);
                if (!read)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            check(read, leading);
        }
    }
    sqlite3_close(db);
}

// How long a writer of the shop's waits for the till's reading to end.
constexpr int kWriterWaitMs = 5000;

// Another connection, the shop's application, writes to the file while the
// till is open; the lookups must see what it wrote from the next one on.
class LookupPlansAndWriters : public ::testing::Test {
protected:
    explicit LookupPlansAndWriters(FileState state = FileState::Indexed) : c(compared(5, state)) {}

    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open_v2(c.catalogue->path.toUtf8().constData(), &writer, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(rdo::installServerText(writer), SQLITE_OK);
        // As the shop's programs should: the till reads in the background
        // for a moment after it connects and after each change.
        sqlite3_busy_timeout(writer, kWriterWaitMs);
        s.Empresa = 1;
    }
    void TearDown() override { sqlite3_close(writer); }

    void write(const QString &sql)
    {
        EXPECT_EQ(sqlite3_exec(writer, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(writer) << "\n" << sql.toStdString();
    }
    // The identifier and the name of the first article of company 1 without
    // varieties ("Not In") or with some ("In").
    QStringList article(const char *which)
    {
        return column(writer, (std::string("Select ArtID || '|' || ArtNombre From Articulo Where ArtEmpresa = 1 And "
                                           "ArtNoUtilizarGenerico = 0 And ArtID ") +
                               which + " (Select AVaArticulo From ArticuloVariedad) Order By ArtID Limit 1")
                                  .c_str())
            .front()
            .split(u'|');
    }
    // The rows of article a among those of the typed text, which must be
    // those of the plain translation. ArtID comes after the kind of row, the
    // bar code, its quantity, the photograph and the serial number flag.
    qsizetype lookUp(const QStringList &a, const QString &typed, const char *when)
    {
        constexpr int kArticleColumn = 5;
        // As the stretches are once read again after a change.
        lookup::prepareLookups(*c.probed);
        const QStringList expected = plainRows(typed, when);
        return std::count_if(expected.begin(), expected.end(), [&](const QString &row) {
            return row.section(u'|', kArticleColumn, kArticleColumn) == a[0];
        });
    }
    // The rows of the typed text as the plain translation gives them, which
    // the lookup must give as it stands, in the same order.
    QStringList plainRows(const QString &typed, const char *when)
    {
        const QString sql = lookupStatement(s, typed);
        const QStringList expected = rows(*c.plain, sql), got = rows(*c.probed, sql);
        EXPECT_TRUE(got == expected) << when << ", typed «" << typed.toStdString() << "» "
                                     << firstDifference(got, expected);
        return expected;
    }

    const Compared c;
    sqlite3 *writer = nullptr;
    lookup::LookupSettings s;
};

class LookupPlansAndWritersOfAFileAsItComes : public LookupPlansAndWriters {
protected:
    LookupPlansAndWritersOfAFileAsItComes() : LookupPlansAndWriters(FileState::AsItComes) {}
};

// The back end keeps in memory which articles have varieties and their names.
// The shop's application adds, removes and renames varieties: the next lookup
// sees them, and still does once the file no longer counts its changes.
TEST_F(LookupPlansAndWriters, SeeVarietiesAddedRemovedAndRenamed)
{
    const QStringList without = article("Not In"), with = article("In");
    const qsizetype before = lookUp(without, without[1], "before");
    lookUp(with, with[1], "before");

    write(u"Insert Into ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso) Values ("_qs + without[0] +
          u", 1, 'ROJO', 1)"_qs);
    write(u"Delete From ArticuloVariedad Where AVaArticulo = "_qs + with[0]);
    EXPECT_EQ(lookUp(without, without[1], "after a variety was added"), before + 1);
    lookUp(with, with[1], "after its varieties were removed");

    // Found by the variety's name alone, after a renaming, and by letters
    // where the article's name runs into the variety's.
    const QString firstWord = without[1].section(u' ', 0, 0);
    const QString byVariety = without[1] + u" ZAFIRO"_qs;
    const QString acrossTheJoin = firstWord + u' ' + without[1].right(2) + u"ZA"_qs;
    EXPECT_EQ(lookUp(without, byVariety, "before the renaming"), 0);
    EXPECT_EQ(lookUp(without, acrossTheJoin, "before the renaming"), 0);
    const auto rename = [&](const char *name) {
        write(u"Update ArticuloVariedad Set AVaNombre = '"_qs + QLatin1String(name) + u"' Where AVaArticulo = "_qs +
              without[0]);
    };
    rename("ZAFIRO");
    EXPECT_EQ(lookUp(without, byVariety, "after the renaming"), 1);
    EXPECT_EQ(lookUp(without, acrossTheJoin, "after the renaming"), 1);
    // And by its short name run together with the variety's, where its name
    // does not match.
    write(u"Update Articulo Set ArtNombreCorto = '"_qs + firstWord + u" QZ' Where ArtID = "_qs + without[0]);
    EXPECT_EQ(lookUp(without, firstWord + u" QZ ZAFIRO"_qs, "by the short name and the variety's"), 1);
    rename("ROJO");
    EXPECT_EQ(lookUp(without, byVariety, "renamed back"), 0);
    write(u"Drop Trigger TR_ArticuloVariedad_Nombre"_qs);
    rename("ZAFIRO");
    EXPECT_EQ(lookUp(without, byVariety, "renamed, renamings no longer counted"), 1);

    write(u"Drop Trigger TR_ArticuloVariedad_Alta; Drop Trigger TR_ArticuloVariedad_Baja; "
          "Drop Trigger TR_ArticuloVariedad_Cambio; Drop Table ArticuloVariedadCambios"_qs);
    write(u"Insert Into ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso) Values ("_qs + with[0] +
          u", 1, 'AZUL', 1)"_qs);
    lookUp(with, with[1], "without the count of changes");
}

// On a file without our script nothing counts the changes to the varieties:
// any commit of the shop's application has them read again, in the
// background, and the lookups meanwhile ask the file. A variety added, or
// all of an article's removed, shows from the next lookup on, and still once
// they are read again.
TEST_F(LookupPlansAndWritersOfAFileAsItComes, SeeVarietiesAddedAndRemovedAtTheNextLookup)
{
    const QStringList without = article("Not In"), with = article("In");
    const auto twoWords = [](const QStringList &a) {
        return a[1].section(u' ', 0, 0) + u' ' + a[1].section(u' ', 1, 1).left(3);
    };
    const auto expectSameRows = [&](const QStringList &a, const char *when) {
        return plainRows(twoWords(a), when).filter(u'|' + a[0] + u'|').size();
    };
    const qsizetype before = expectSameRows(without, "before");
    EXPECT_GT(expectSameRows(with, "before"), 1);
    write(u"Insert Into ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso) Values ("_qs + without[0] +
          u", 1, 'ROJO', 1)"_qs);
    write(u"Delete From ArticuloVariedad Where AVaArticulo = "_qs + with[0]);
    for (const char *when : {"at the next lookup", "once read again"}) {
        EXPECT_EQ(expectSameRows(without, when), before + 1) << when;
        EXPECT_EQ(expectSameRows(with, when), 1) << when;
        lookup::prepareLookups(*c.probed);
    }
}

// The back end keeps the odd articles in memory too, read again in the
// background after a change: until then the next lookup reads them on the
// file's indexes, never from what was kept before the change.
TEST_F(LookupPlansAndWriters, SeeAnArticleGivenAnAccentAtTheNextLookup)
{
    const QStringList a = article("Not In");
    const QString firstWord = a[1].section(u' ', 0, 0);
    lookUp(a, firstWord, "before");
    write(u"Update Articulo Set ArtNombre = '"_qs + firstWord + u" AÑEJO' Where ArtID = "_qs + a[0]);
    EXPECT_FALSE(plainRows(firstWord + u" AÑE"_qs, "after").filter(u'|' + a[0] + u'|').isEmpty());
}

// On a file without our script the back end keeps each name's place in the
// list's order, read again in the background after a change: an article
// renamed to the top of its code's list is there from the next lookup on.
TEST_F(LookupPlansAndWritersOfAFileAsItComes, SeeAnArticleRenamedAtTheNextLookup)
{
    const QStringList a = article("Not In");
    const QString typed = column(writer, ("Select substr(ArtCodigo, 1, 2) From Articulo Where ArtID = " + a[0])
                                             .toUtf8()
                                             .constData())
                              .front();
    lookup::prepareLookups(*c.probed);
    ASSERT_GT(plainRows(typed, "before").size(), 3);
    write(u"Update Articulo Set ArtNombre = '0 RENOMBRADO' Where ArtID = "_qs + a[0]);
    for (const char *when : {"at the next lookup", "once read again"}) {
        EXPECT_TRUE(plainRows(typed, when).front().contains(u"|0 RENOMBRADO"_qs)) << when;
        lookup::prepareLookups(*c.probed);
    }
}

// Ignoring accents, a typed text of ASCII letters is read on the indexes only
// while no bar code of the file holds a letter outside ASCII: one the shop's
// application adds ("ÁBC%", matched by "abc77") is found from the next lookup on.
TEST(LookupPlansIgnoringAccents, SeeABarCodeWithAnAccentAdded)
{
    const Compared c = compared(5, FileState::Indexed, ";collation=ci_ai");
    lookup::LookupSettings s;
    s.Empresa = 1;
    const QString sql = lookupStatement(s, u"abc77"_qs);
    for (const char *added : {"", "INSERT INTO ArticuloCodigoBarras VALUES ('ÁBC%', 900202, 0, 1, 0)"}) {
        sqlite3 *writer = nullptr;
        sqlite3_open_v2(c.catalogue->path.toUtf8().constData(), &writer, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(writer, kWriterWaitMs);
        EXPECT_EQ(sqlite3_exec(writer, added, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(writer);
        const QStringList expected = rows(*c.plain, sql), got = rows(*c.probed, sql);
        EXPECT_TRUE(got == expected) << added << " " << firstDifference(got, expected);
        EXPECT_EQ(expected.filter(u"|900202|"_qs).size(), *added ? 1 : 0);
    }
}

// The back end keeps in memory which letters each stretch of the name's index
// holds. The shop's application renames, recodes and adds articles: the next
// lookup finds them by the words typed after the first, and still does once
// the file no longer counts those changes.
TEST_F(LookupPlansAndWriters, SeeArticlesRenamedRecodedAndAdded)
{
    const QStringList a = article("Not In");
    const QString firstWord = a[1].section(u' ', 0, 0);
    const auto set = [&](const char *column, const QString &value) {
        write(u"Update Articulo Set "_qs + QLatin1String(column) + u" = '"_qs + value + u"' Where ArtID = "_qs + a[0]);
    };
    const auto typedAfter = [&](const char *word) { return firstWord + u' ' + QLatin1String(word); };
    EXPECT_EQ(lookUp(a, typedAfter("QXW"), "before"), 0);
    set("ArtNombre", firstWord + u" LIMPIO QXWV"_qs);
    EXPECT_EQ(lookUp(a, typedAfter("QXW"), "after the renaming"), 1);
    set("ArtNombreCorto", firstWord + u" KKQJ"_qs);
    EXPECT_EQ(lookUp(a, typedAfter("KKQ"), "by the new short name"), 1);
    set("ArtCodigo", firstWord + u"JJW7"_qs);
    EXPECT_EQ(lookUp(a, typedAfter("JJW"), "by the new code"), 1);

    write(u"Insert Into Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtUnidadMedida, ArtEmpresa, "
          "ArtNoUtilizarGenerico) Values (900100, 'NEW1', '"_qs +
          firstWord + u" WQWQ NUEVO', 'NUEVO', 5, 1, 0)"_qs);
    EXPECT_EQ(lookUp({u"900100"_qs}, typedAfter("WQW"), "after the article was added"), 1);

    write(u"Drop Trigger TR_Articulo_Alta; Drop Trigger TR_Articulo_Baja; Drop Trigger TR_Articulo_Nombre; "
          "Drop Table ArticuloCambios"_qs);
    set("ArtNombre", firstWord + u" LIMPIO VVYZ"_qs);
    EXPECT_EQ(lookUp(a, typedAfter("VVY"), "without the count of changes"), 1);
}

} // namespace
