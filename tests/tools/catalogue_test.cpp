// The sample catalogue generator: reproducibility, the invariants the control's
// lookups depend on (valid bar codes, scale patterns, varieties that belong to
// articles, unit decimals, the list layout parameter), and its command line.

#include "catalogue_files.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

namespace {

using namespace vok::catalogue;
namespace fs = std::filesystem;

using Db = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;

Db openDb(const fs::path &file)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(file.string().c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Db db(raw, sqlite3_close);
    EXPECT_EQ(rc, SQLITE_OK) << file;
    return db;
}

// Runs a query and returns each row as its columns' texts joined by '|'.
std::vector<std::string> rows(sqlite3 *db, const std::string &sql)
{
    sqlite3_stmt *stmt = nullptr;
    std::vector<std::string> out;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
        return out;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (c)
                row += '|';
            const auto *text = sqlite3_column_text(stmt, c);
            row += text ? reinterpret_cast<const char *>(text) : "<null>";
        }
        out.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    return out;
}

long long count(sqlite3 *db, const std::string &sql)
{
    const auto r = rows(db, sql);
    return r.empty() ? -1 : std::stoll(r.front());
}

// A digest of every filled table's rows, sorted.
QByteArray contentDigest(sqlite3 *db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const auto table : filledTables()) {
        hash.addData(QByteArrayView(table.data(), static_cast<qsizetype>(table.size())));
        auto all = rows(db, "SELECT * FROM " + std::string(table));
        std::sort(all.begin(), all.end());
        for (const auto &row : all) {
            hash.addData(QByteArrayView(row.data(), static_cast<qsizetype>(row.size())));
            hash.addData(QByteArrayView("\n"));
        }
    }
    return hash.result().toHex();
}

class CatalogueTest : public ::testing::Test
{
protected:
    // Generating is the expensive part; the invariants share one catalogue.
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_file = vok::test::generatedCatalogue(7);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    void SetUp() override { m_db = std::make_unique<Db>(openDb(s_file)); }
    sqlite3 *db() { return m_db->get(); }

    fs::path temp(const char *name) { return fs::path(s_dir->filePath(name).toStdString()); }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline fs::path s_file;
    std::unique_ptr<Db> m_db;
};

TEST_F(CatalogueTest, SameSeedGivesSameContentAndOtherSeedDiffers)
{
    const fs::path again = temp("seed7-again.sqlite");
    const fs::path other = temp("seed8.sqlite");
    generate({1000, 7, again, false});
    generate({1000, 8, other, false});

    const QByteArray first = contentDigest(db());
    EXPECT_EQ(first, contentDigest(openDb(again).get()));
    EXPECT_NE(first, contentDigest(openDb(other).get()));
}

TEST_F(CatalogueTest, EveryPlainBarCodeIsAnEan13WithValidCheckDigit)
{
    const auto codes = rows(db(), "SELECT ACBCodigo FROM ArticuloCodigoBarras WHERE ACBCodigo NOT LIKE '%\\%%' ESCAPE '\\'");
    ASSERT_GT(codes.size(), 500u);
    for (const auto &code : codes) {
        ASSERT_EQ(code.size(), 13u) << code;
        ASSERT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << code;
        EXPECT_EQ(code.back() - '0', ean13CheckDigit(code.substr(0, 12))) << code;
    }
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT ACBCodigo) - COUNT(*) FROM ArticuloCodigoBarras"), 0);
}

TEST(Ean13, CheckDigitOfKnownCodes)
{
    for (const auto &[body, digit] : std::map<std::string, int>{{"400638133393", 1}, {"978020137962", 4}})
        EXPECT_EQ(ean13CheckDigit(body), digit) << body;
}

TEST_F(CatalogueTest, ScalePatternsHaveVariableTailAndMatchAScannedLabel)
{
    const std::string isPattern = " FROM ArticuloCodigoBarras WHERE ACBCodigo LIKE '%\\%%' ESCAPE '\\'";
    ASSERT_GT(count(db(), "SELECT COUNT(*)" + isPattern), 0);
    EXPECT_EQ(count(db(), "SELECT COUNT(*)" + isPattern + " AND NOT (length(ACBCodigo) = 7 AND ACBCodigo LIKE '2%' "
                          "AND instr(ACBCodigo, '%') = 7 AND ACBLargo = 13 AND ACBCantidad = 1)"), 0);
    const auto patterns = rows(db(), "SELECT ACBCodigo, ACBArticulo" + isPattern + " ORDER BY ACBCodigo");

    // A scale label (fixed part + weight + check) finds exactly its article the
    // way the lookup compares: the scanned text LIKE the stored pattern.
    const std::string scanned = patterns.front().substr(0, 6) + "012503";
    const auto found = rows(db(), "SELECT ACBArticulo FROM ArticuloCodigoBarras WHERE '" + scanned +
                                      "' LIKE ACBCodigo AND (ACBLargo = 0 OR ACBLargo = 13)");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(patterns.front().substr(8), found.front());
}

// Rows that point at an article or variety must find it; variety 0 is "none".
TEST_F(CatalogueTest, ReferencesResolve)
{
    const std::vector<std::pair<const char *, std::string>> orphans{
        {"variety without article", "SELECT COUNT(*) FROM ArticuloVariedad WHERE AVaArticulo NOT IN (SELECT ArtID FROM Articulo)"},
        {"bar code without variety",
         "SELECT COUNT(*) FROM ArticuloCodigoBarras b WHERE NOT EXISTS (SELECT 1 FROM Articulo WHERE ArtID = ACBArticulo) "
         "OR (ACBVariedad <> 0 AND NOT EXISTS (SELECT 1 FROM ArticuloVariedad WHERE AVaArticulo = ACBArticulo AND AVaID = ACBVariedad))"},
        {"price without variety",
         "SELECT COUNT(*) FROM PrecioVigente WHERE NOT EXISTS (SELECT 1 FROM Articulo WHERE ArtID = PViArticulo) "
         "OR (PViVariedad <> 0 AND NOT EXISTS (SELECT 1 FROM ArticuloVariedad WHERE AVaArticulo = PViArticulo AND AVaID = PViVariedad))"},
        {"price of unknown type or currency",
         "SELECT COUNT(*) FROM PrecioVigente WHERE PViTipoPrecio NOT IN (SELECT TPrID FROM TipoDePrecio) "
         "OR PViMoneda NOT IN (SELECT MonID FROM genMonedas)"},
        {"price type of another company",
         "SELECT COUNT(*) FROM PrecioVigente JOIN Articulo ON ArtID = PViArticulo JOIN TipoDePrecio ON TPrID = PViTipoPrecio "
         "WHERE TPrEmpresa <> ArtEmpresa"},
        {"article with unknown unit, brand, type, supplier, category or company",
         "SELECT COUNT(*) FROM Articulo WHERE ArtUnidadMedida NOT IN (SELECT UMeCodigo FROM UnidadesMedidas) "
         "OR ArtMarca NOT IN (SELECT MarCodigo FROM Marcas) OR ArtTipo NOT IN (SELECT TArID FROM TipoArticulo) "
         "OR ArtProveedor NOT IN (SELECT EntID FROM genEntes) "
         "OR ArtCatDescuento NOT IN (SELECT CDeCodigo FROM CategoriaDescuento) "
         "OR ArtEmpresa NOT IN (SELECT EmpID FROM cceEmpresas)"},
        {"article that needs a variety but has none",
         "SELECT COUNT(*) FROM Articulo WHERE ArtNoUtilizarGenerico = 1 AND NOT EXISTS "
         "(SELECT 1 FROM ArticuloVariedad WHERE AVaArticulo = ArtID)"},
        {"duplicate article code", "SELECT COUNT(*) - COUNT(DISTINCT ArtCodigo) FROM Articulo"},
    };
    for (const auto &[what, sql] : orphans)
        EXPECT_EQ(count(db(), sql), 0) << what;
}

// The catalogue must offer every situation the control distinguishes.
TEST_F(CatalogueTest, CoversTheCasesTheControlDistinguishes)
{
    const std::vector<std::pair<const char *, std::string>> present{
        {"articles", "SELECT COUNT(*) = 1000 FROM Articulo"},
        {"both companies", "SELECT COUNT(DISTINCT ArtEmpresa) = 2 FROM Articulo"},
        {"varieties", "SELECT COUNT(DISTINCT AVaArticulo) > 30 FROM ArticuloVariedad"},
        {"articles not usable without variety", "SELECT COUNT(*) > 5 FROM Articulo WHERE ArtNoUtilizarGenerico = 1"},
        {"some not in use", "SELECT COUNT(*) > 0 FROM Articulo WHERE ArtEnUso = 0"},
        {"photos", "SELECT COUNT(*) > 100 FROM Articulo WHERE ArtFoto <> ''"},
        {"few photo references missing", "SELECT COUNT(*) BETWEEN 1 AND 30 FROM Articulo WHERE ArtFoto IS NULL"},
        {"variety bar codes", "SELECT COUNT(*) > 0 FROM ArticuloCodigoBarras WHERE ACBVariedad <> 0"},
        {"pack bar codes", "SELECT COUNT(*) > 0 FROM ArticuloCodigoBarras WHERE ACBCantidad > 1"},
        {"sale price on list 0 for each company",
         "SELECT COUNT(DISTINCT TPrEmpresa) = 2 FROM TipoDePrecio WHERE TPrTipo = 1 AND TPrListaPrecio = 0"},
        {"foreign currency prices", "SELECT COUNT(*) > 0 FROM PrecioVigente WHERE PViMoneda <> 1"},
        {"suppliers with three names",
         "SELECT COUNT(*) >= 12 AND SUM(EntNombre1 IS NULL OR EntNombre2 IS NULL OR EntGuardarComo IS NULL) = 0 FROM genEntes"},
        {"units with 0 to 3 decimals",
         "SELECT MIN(UMeDecimales) = 0 AND MAX(UMeDecimales) = 3 AND COUNT(DISTINCT UMeDecimales) = 4 FROM UnidadesMedidas"},
        {"list layout parameter",
         "SELECT CAST(ParValor AS INTEGER) BETWEEN 0 AND 3 FROM genParametros WHERE ParNombre = 'FmtCabezalArticulo'"},
    };
    for (const auto &[what, sql] : present)
        EXPECT_EQ(rows(db(), sql), std::vector<std::string>{"1"}) << what;
}

TEST_F(CatalogueTest, SchemaFileLoadsAndHoldsEveryFilledTable)
{
    std::ifstream in(VOK_SCHEMA_PATH);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty());
    EXPECT_EQ(text.str(), std::string(schemaSql())) << "the embedded schema is stale";

    Db empty = openDb(temp("schema-only.sqlite"));
    ASSERT_EQ(sqlite3_exec(empty.get(), text.str().c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(empty.get());
    for (const auto table : filledTables()) {
        const std::string name(table);
        EXPECT_EQ(count(empty.get(), "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = '" + name + "'"), 1)
            << name;
        EXPECT_GT(count(db(), "SELECT COUNT(*) FROM " + name), 0) << name << " left empty";
    }
}

TEST_F(CatalogueTest, RefusesToOverwriteUnlessForced)
{
    const fs::path file = temp("existing.sqlite");
    std::ofstream(file) << "keep me";
    EXPECT_THROW(generate({1000, 1, file, false}), CatalogueError);
    EXPECT_EQ(fs::file_size(file), 7u);
    EXPECT_FALSE(fs::exists(fs::path(file.string() + ".part")));

    generate({1000, 1, file, true});
    EXPECT_EQ(count(openDb(file).get(), "SELECT COUNT(*) FROM Articulo"), 1000);
}

TEST_F(CatalogueTest, CreatesTheLookupIndexesWhenAsked)
{
    const auto indexes = [&](const fs::path &file) {
        return count(openDb(file).get(), "SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                                         "('IX_Articulo_NombreClave', 'ArticuloVariedadCambios')");
    };
    EXPECT_EQ(indexes(s_file), 0);
    Options indexed{1000, 1, temp("indexed.sqlite")};
    indexed.lookupIndexes = true;
    generate(indexed);
    EXPECT_EQ(indexes(indexed.output), 2);
}

TEST(CatalogueArguments, AcceptsTheDocumentedForms)
{
    const std::vector<std::string_view> args{"--articles", "1000000", "--seed=18446744073709551615", "--output",
                                             "x.sqlite", "--force", "--lookup-indexes"};
    const ParsedArguments p = parseArguments(args);
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.articles, 1000000u);
    EXPECT_EQ(p.options.seed, 18446744073709551615ull);
    EXPECT_EQ(p.options.output, fs::path("x.sqlite"));
    EXPECT_TRUE(p.options.force);
    EXPECT_TRUE(p.options.lookupIndexes);
}

TEST(CatalogueArguments, RejectsBadInputWithAClearMessage)
{
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases{
        {{"--seed", "1", "--output", "f"}, "missing --articles"},
        {{"--articles", "1000", "--output", "f"}, "missing --seed"},
        {{"--articles", "999", "--seed", "1", "--output", "f"}, "between 1000 and 1000000"},
        {{"--articles", "12k", "--seed", "1", "--output", "f"}, "whole number"},
        {{"--articles", "1000", "--seed", "18446744073709551616", "--output", "f"}, "unsigned 64-bit"},
        {{"--articles", "1000", "--seed"}, "--seed needs a value"},
        {{"--articles", "1000", "--seed", "1", "--output", "f", "--verbose"}, "unknown argument '--verbose'"},
        {{"--force=yes"}, "takes no value"},
    };
    for (const auto &[args, expected] : cases) {
        const ParsedArguments p = parseArguments(args);
        EXPECT_NE(p.error.find(expected), std::string::npos) << "got '" << p.error << "', wanted '" << expected << "'";
    }
}

} // namespace
