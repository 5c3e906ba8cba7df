// The sample catalogue generator: reproducibility, the invariants the control's lookups depend on,
// and its command line.

#include "catalogue_files.h"

#include <sqlite3.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace {

using namespace vok::catalogue;
namespace fs = std::filesystem;

using Db = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;

Db openDb(const fs::path &file)
{
    sqlite3 *raw = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.string().c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK) << file;
    return Db(raw, sqlite3_close);
}

// Runs a query and returns each row as its columns' texts joined by '|'.
std::vector<std::string> rows(sqlite3 *db, const std::string &sql)
{
    sqlite3_stmt *stmt = nullptr;
    std::vector<std::string> out;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto *text = sqlite3_column_text(stmt, c);
            row += (c ? "|" : "") + std::string(text ? reinterpret_cast<const char *>(text) : "<null>");
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

// Every filled table's rows, sorted.
std::vector<std::string> content(sqlite3 *db)
{
    std::vector<std::string> all;
    for (const auto table : filledTables()) {
        auto tableRows = rows(db, "SELECT * FROM " + std::string(table));
        std::sort(tableRows.begin(), tableRows.end());
        all.push_back(std::string(table));
        all.insert(all.end(), tableRows.begin(), tableRows.end());
    }
    return all;
}

// Generating is the expensive part; the invariants share one catalogue.
class CatalogueTest : public ::testing::Test {
protected:
    sqlite3 *db() { return m_db.get(); }
    fs::path temp(const char *name) { return fs::path(m_dir.filePath(name).toStdString()); }

    const fs::path m_file = vok::test::generatedCatalogue(7);
    Db m_db = openDb(m_file);
    QTemporaryDir m_dir;
};

TEST_F(CatalogueTest, SameSeedGivesSameContentAndOtherSeedDiffers)
{
    generate({1000, 7, temp("seed7.sqlite"), false});
    generate({1000, 8, temp("seed8.sqlite"), false});
    const auto first = content(db());
    EXPECT_EQ(first, content(openDb(temp("seed7.sqlite")).get()));
    EXPECT_NE(first, content(openDb(temp("seed8.sqlite")).get()));
}

// A cashier types "azucar" for the name a shop wrote "AZÚCAR": the sample
// holds both spellings of the words that carry accents.
TEST_F(CatalogueTest, HoldsNamesWithAndWithoutTheirAccents)
{
    for (const char *first : {"CAFE", "CAFÉ", "AZUCAR", "AZÚCAR", "JABON", "JABÓN"})
        EXPECT_GT(count(db(), "SELECT COUNT(*) FROM Articulo WHERE ArtNombre GLOB '" + std::string(first) + " *'"), 0)
            << first;
}

TEST_F(CatalogueTest, EveryPlainBarCodeIsAnEan13WithValidCheckDigit)
{
    const auto codes = rows(db(), "SELECT ACBCodigo FROM ArticuloCodigoBarras WHERE ACBCodigo NOT LIKE '%\\%%' ESCAPE '\\'");
    ASSERT_GT(codes.size(), 500u);
    for (const auto &code : codes) {
        ASSERT_TRUE(code.size() == 13 && code.find_first_not_of("0123456789") == std::string::npos) << code;
        EXPECT_EQ(code.back() - '0', ean13CheckDigit(code.substr(0, 12))) << code;
    }
    EXPECT_EQ(count(db(), "SELECT COUNT(DISTINCT ACBCodigo) - COUNT(*) FROM ArticuloCodigoBarras"), 0);
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
    // A scale label (fixed part + weight + check) finds exactly its article: the scanned text LIKE the pattern.
    const std::string scanned = patterns.front().substr(0, 6) + "012503";
    EXPECT_EQ(rows(db(), "SELECT ACBArticulo FROM ArticuloCodigoBarras WHERE '" + scanned +
                             "' LIKE ACBCodigo AND (ACBLargo = 0 OR ACBLargo = 13)"),
              std::vector{patterns.front().substr(8)});
}

// Rows that point at an article or variety find it (variety 0 is "none"). Whether every situation
// the control distinguishes is present, the control's own tests find out when they look for it.
TEST_F(CatalogueTest, ReferencesResolve)
{
    for (const char *sql : {
             "SELECT COUNT(*) = 0 FROM ArticuloVariedad WHERE AVaArticulo NOT IN (SELECT ArtID FROM Articulo)",
             "SELECT COUNT(*) = 0 FROM ArticuloCodigoBarras b WHERE NOT EXISTS (SELECT 1 FROM Articulo WHERE ArtID = "
             "ACBArticulo) OR (ACBVariedad <> 0 AND NOT EXISTS (SELECT 1 FROM ArticuloVariedad WHERE AVaArticulo = "
             "ACBArticulo AND AVaID = ACBVariedad))",
             "SELECT COUNT(*) = 0 FROM PrecioVigente WHERE NOT EXISTS (SELECT 1 FROM Articulo WHERE ArtID = PViArticulo) "
             "OR (PViVariedad <> 0 AND NOT EXISTS (SELECT 1 FROM ArticuloVariedad WHERE AVaArticulo = PViArticulo AND "
             "AVaID = PViVariedad)) OR PViTipoPrecio NOT IN (SELECT TPrID FROM TipoDePrecio) "
             "OR PViMoneda NOT IN (SELECT MonID FROM genMonedas)",
             "SELECT COUNT(*) = 0 FROM PrecioVigente JOIN Articulo ON ArtID = PViArticulo JOIN TipoDePrecio ON TPrID = "
             "PViTipoPrecio WHERE TPrEmpresa <> ArtEmpresa",
             "SELECT COUNT(*) = 0 FROM Articulo WHERE ArtUnidadMedida NOT IN (SELECT UMeCodigo FROM UnidadesMedidas) "
             "OR ArtMarca NOT IN (SELECT MarCodigo FROM Marcas) OR ArtTipo NOT IN (SELECT TArID FROM TipoArticulo) "
             "OR ArtProveedor NOT IN (SELECT EntID FROM genEntes) OR ArtCatDescuento NOT IN (SELECT CDeCodigo FROM "
             "CategoriaDescuento) OR ArtEmpresa NOT IN (SELECT EmpID FROM cceEmpresas)",
             "SELECT COUNT(*) = 0 FROM Articulo WHERE ArtNoUtilizarGenerico = 1 AND NOT EXISTS "
             "(SELECT 1 FROM ArticuloVariedad WHERE AVaArticulo = ArtID)",
             "SELECT COUNT(*) = 1000 AND COUNT(DISTINCT ArtCodigo) = 1000 AND COUNT(DISTINCT ArtEmpresa) = 2 FROM Articulo",
             "SELECT MIN(UMeDecimales) = 0 AND MAX(UMeDecimales) = 3 AND COUNT(DISTINCT UMeDecimales) = 4 FROM UnidadesMedidas",
             "SELECT CAST(ParValor AS INTEGER) BETWEEN 0 AND 3 FROM genParametros WHERE ParNombre = 'FmtCabezalArticulo'"})
        EXPECT_EQ(rows(db(), sql), std::vector<std::string>{"1"}) << sql;
}

TEST_F(CatalogueTest, SchemaFileLoadsAndHoldsEveryFilledTable)
{
    std::stringstream text;
    text << std::ifstream(VOK_SCHEMA_PATH).rdbuf();
    EXPECT_EQ(text.str(), std::string(schemaSql())) << "the embedded schema is stale";
    Db empty = openDb(temp("schema-only.sqlite"));
    ASSERT_EQ(sqlite3_exec(empty.get(), text.str().c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    for (const std::string_view table : filledTables()) {
        const std::string name(table);
        EXPECT_EQ(count(empty.get(), "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = '" + name + "'"), 1)
            << name;
        EXPECT_GT(count(db(), "SELECT COUNT(*) FROM " + name), 0) << name << " left empty";
    }
}

TEST_F(CatalogueTest, RefusesToOverwriteUnlessForcedAndAddsTheLookupIndexesWhenAsked)
{
    const fs::path file = temp("existing.sqlite");
    std::ofstream(file) << "keep me";
    EXPECT_THROW(generate({1000, 1, file, false}), CatalogueError);
    EXPECT_EQ(fs::file_size(file), 7u);
    EXPECT_FALSE(fs::exists(fs::path(file.string() + ".part")));
    const auto indexes = [&](const fs::path &f) {
        return count(openDb(f).get(), "SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                                      "('IX_Articulo_NombreClave', 'ArticuloVariedadCambios')");
    };
    EXPECT_EQ(indexes(m_file), 0);
    generate({1000, 1, file, true, false, true});
    EXPECT_EQ(count(openDb(file).get(), "SELECT COUNT(*) FROM Articulo"), 1000);
    EXPECT_EQ(indexes(file), 2);
}

TEST(CatalogueArguments, AcceptsTheDocumentedFormsAndRejectsBadInputWithAClearMessage)
{
    const ParsedArguments p = parseArguments(std::vector<std::string_view>{
        "--articles", "1000000", "--seed=18446744073709551615", "--output", "x.sqlite", "--force", "--lookup-indexes",
        "--plain-text"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(std::make_tuple(p.options.articles, p.options.seed, p.options.output.string(), p.options.force,
                              p.options.lookupIndexes, p.options.plainText),
              std::make_tuple(1000000u, 18446744073709551615ull, std::string("x.sqlite"), true, true, true));
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases{
        {{"--seed", "1", "--output", "f"}, "missing --articles"},
        {{"--articles", "1000", "--output", "f"}, "missing --seed"},
        {{"--articles", "999", "--seed", "1", "--output", "f"}, "between 1000 and 1000000"},
        {{"--articles", "12k", "--seed", "1", "--output", "f"}, "whole number"},
        {{"--articles", "1000", "--seed", "18446744073709551616", "--output", "f"}, "unsigned 64-bit"},
        {{"--articles", "1000", "--seed"}, "--seed needs a value"},
        {{"--articles", "1000", "--seed", "1", "--output", "f", "--verbose"}, "unknown argument '--verbose'"},
        {{"--force=yes"}, "takes no value"},
        {{"--plain-text=1"}, "--plain-text takes no value"},
        {{"index"}, "index needs one argument: the shop's file"},
        {{"check", "a.sqlite", "b.sqlite"}, "check needs one argument"},
        {{"index", "--force"}, "index needs one argument"},
    };
    for (const auto &[args, expected] : cases) {
        EXPECT_THAT(parseArguments(args).error, ::testing::HasSubstr(expected));
    }
    const ParsedArguments check = parseArguments(std::vector<std::string_view>{"check", "tienda.sqlite"});
    EXPECT_EQ(std::make_tuple(check.error, check.command, check.file.string()),
              std::make_tuple(std::string(), Command::Check, std::string("tienda.sqlite")));
}

} // namespace
