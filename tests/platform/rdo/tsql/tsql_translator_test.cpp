#include "platform/rdo/sqlite/sqlite_connection.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/tsql_translator.h"

#include "qt_printers.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <vector>

namespace {

const QStringList kTextColumns = {u"ArtNombre"_qs, u"ArtNombreCorto"_qs, u"AVaNombre"_qs, u"ArtCodigo"_qs};

struct TranslationCase {
    const char *name;
    const char16_t *tsql;
    const char16_t *sqlite;
};

void PrintTo(const TranslationCase &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.tsql).toStdString();
}

class Translation : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(Translation, RewritesOnlyWhatSqliteReadsDifferently)
{
    const TranslationCase &c = GetParam();
    EXPECT_EQ(rdo::translateForSqlite(QString::fromUtf16(c.tsql), rdo::textColumns(kTextColumns)),
              QString::fromUtf16(c.sqlite));
}

INSTANTIATE_TEST_SUITE_P(
    Constructs, Translation,
    ::testing::Values(
        // Top
        TranslationCase{"TopOfStatement", u"Select Top 1 ArtID From Articulo Where ArtID > 0 ",
                        u"Select ArtID From Articulo Where ArtID > 0 LIMIT 1 "},
        TranslationCase{"TopAfterDistinctAndOrderBy", u"Select Distinct Top 5 a From t Order By a",
                        u"Select Distinct a From t Order By a LIMIT 5"},
        TranslationCase{"TopInParenthesesBeforeSemicolon", u"Select Top (3) a From t;",
                        u"Select a From t LIMIT (3);"},
        TranslationCase{"TopInSubSelect", u"Select a From t Where b In (Select Top 1 c From u Order By c) And d = 1",
                        u"Select a From t Where b In (Select c From u Order By c LIMIT 1) And d = 1"},
        TranslationCase{"TopInFirstBranch", u"Select Top 2 a From t UNION ALL Select a From u Order By a",
                        u"SELECT * FROM (Select a From t LIMIT 2) UNION ALL Select a From u Order By a"},
        TranslationCase{"TopInLastBranchKeepsCompoundOrder",
                        u"Select a From t UNION ALL Select Top 2 a From u Where (x = 1) Order By a",
                        u"Select a From t UNION ALL SELECT * FROM (Select a From u Where (x = 1) LIMIT 2) Order By a"},
        TranslationCase{"TopPercentLeftForSqliteToRefuse", u"Select Top 10 Percent a From t",
                        u"Select Top 10 Percent a From t"},
        TranslationCase{"BracketedColumnNamedTop", u"Select [Top] From t", u"Select [Top] From t"},
        // + between text
        TranslationCase{"NameWithVariety", u"ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt",
                        u"ArtNombre || ' ' || RTrim(AVaNombre) as NombreArt"},
        TranslationCase{"TwoTextColumnsBeforeLike", u"OR ArtNombreCorto + AVaNombre like 'x%')",
                        u"OR ArtNombreCorto || AVaNombre like 'x%')"},
        TranslationCase{"InsideRTrimWithIsNull", u"RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre",
                        u"RTRIM(ArtNombre || ' ' || ifnull(AVaNombre, '')) AS ArtNombre"},
        TranslationCase{"QualifiedTextColumn", u"Articulo.ArtNombre + x", u"Articulo.ArtNombre || x"},
        TranslationCase{"BracketedTextColumn", u"[ArtNombre] + x", u"[ArtNombre] || x"},
        TranslationCase{"TextFunctionMakesChainText", u"Upper(a) + b + c", u"Upper(a) || b || c"},
        TranslationCase{"IsNullOverText", u"IsNull(AVaNombre, '') + 'x'", u"ifnull(AVaNombre, '') || 'x'"},
        TranslationCase{"ParenthesisedText", u"(a + 'x') + b", u"(a || 'x') || b"},
        TranslationCase{"UnicodeLiteral", u"N'Ñu' + a", u"'Ñu' || a"},
        TranslationCase{"NumbersStayAdded", u"Where ArtID + 1 = 2 And PViPrecio + PViPrecio > 1 + 2",
                        u"Where ArtID + 1 = 2 And PViPrecio + PViPrecio > 1 + 2"},
        TranslationCase{"IsNullOverNumber", u"IsNull(Precio, 0) + 1", u"ifnull(Precio, 0) + 1"},
        TranslationCase{"UnaryPlus", u"Where a = +1", u"Where a = +1"},
        TranslationCase{"TextOnOtherSideOfComparison", u"Where ArtNombre = a + b", u"Where ArtNombre = a + b"},
        // words
        TranslationCase{"TrueAsCondition", u"Where True And ArtEmpresa = 1", u"Where 1 And ArtEmpresa = 1"},
        TranslationCase{"FalseAsCondition", u"Where false", u"Where 0"},
        TranslationCase{"TrueAsNameIsKept", u"Select t.True As x, y As True From t", u"Select t.True As x, y As True From t"},
        TranslationCase{"IsNullFunctionOnly", u"Where a Is Null Or IsNull (a, 0) = 0", u"Where a Is Null Or ifnull (a, 0) = 0"},
        TranslationCase{"LikeDistinctNotExistsKept",
                        u"Where 'LECHE ENT' Like ACBCodigo And ArtID In (Select Distinct(ACBArticulo) From X) "
                        u"And Not Exists (Select 1 From Y)",
                        u"Where 'LECHE ENT' Like ACBCodigo And ArtID In (Select Distinct(ACBArticulo) From X) "
                        u"And Not Exists (Select 1 From Y)"},
        // literals and comments never change
        TranslationCase{"LiteralHoldingEveryConstruct", u"Where b = 'Select Top 1 x + y IsNull(True) Like ; False'",
                        u"Where b = 'Select Top 1 x + y IsNull(True) Like ; False'"},
        TranslationCase{"DoubledQuotes", u"Where b = 'it''s + Top 1' + 'x'", u"Where b = 'it''s + Top 1' || 'x'"},
        TranslationCase{"Comments", u"-- Top 1 + True\nSelect 1 /* IsNull( */", u"-- Top 1 + True\nSelect 1 /* IsNull( */"}),
    [](const ::testing::TestParamInfo<TranslationCase> &info) { return std::string(info.param.name); });

TEST(Translation, WithoutColumnKnowledgeTwoColumnsAreAdded)
{
    EXPECT_EQ(rdo::translateForSqlite(u"ArtNombre + AVaNombre"_qs), u"ArtNombre + AVaNombre"_qs);
    rdo::TranslationOptions byCallback{[](QStringView c) { return c.startsWith(u"Txt"); }};
    EXPECT_EQ(rdo::translateForSqlite(u"TxtA + t.TxtB + 1"_qs, byCallback), u"TxtA || t.TxtB || 1"_qs);
    EXPECT_EQ(rdo::translateForSqlite(u"artnombre + x"_qs, rdo::textColumns(kTextColumns)), u"artnombre || x"_qs);
}

TEST(Tokenizer, GivesTheTextBackAndKeepsLiteralsWhole)
{
    const QString text = u"Select N'a''b', [x y], \"q\"; 1.5e3 <>/* c */ -- d\n.5"_qs;
    const std::vector<rdo::TsqlToken> tokens = rdo::tokenizeTsql(text);
    QString joined;
    std::vector<QString> strings;
    for (const auto &t : tokens) {
        EXPECT_EQ(t.position, joined.size());
        joined += t.text;
        if (t.kind == rdo::TsqlToken::String || t.kind == rdo::TsqlToken::Number)
            strings.push_back(t.text.toString());
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(strings, (std::vector<QString>{u"N'a''b'"_qs, u"1.5e3"_qs, u".5"_qs}));
    // an unterminated literal runs to the end instead of being cut
    const QString unterminated = u"'ab; c"_qs;
    EXPECT_EQ(rdo::tokenizeTsql(unterminated).size(), 1u);
}

TEST(SeveralStatements, OnlyASemicolonFollowedByMoreCounts)
{
    struct Case {
        const char16_t *tsql;
        bool several;
    } cases[] = {{u"Select 1", false},        {u"Select 1;", false},          {u"Select 1;  -- end\n", false},
                 {u"Select 1; Select 2", true}, {u"Select ';' + x", false},     {u"Select 1 /* ; x */", false},
                 {u"Select 1;Drop Table t", true}, {u"Select 'a;b'; Select 2", true}};
    for (const Case &c : cases)
        EXPECT_EQ(rdo::holdsSeveralStatements(QString::fromUtf16(c.tsql)), c.several)
            << QString::fromUtf16(c.tsql).toStdString();
}

// --- The control's statements, run on SQLite --------------------------------

QString columnText(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return text ? QString::fromUtf8(text) : QString();
}

class SqliteRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        ASSERT_EQ(rdo::installServerText(db), SQLITE_OK);
        exec(R"(
CREATE TABLE Articulo (ArtID INTEGER, ArtCodigo TEXT COLLATE SQLSERVER, ArtNombre TEXT COLLATE SQLSERVER,
  ArtNombreCorto TEXT COLLATE SQLSERVER, ArtDescripcionCorta TEXT, ArtDescripcionLarga TEXT, ArtFoto TEXT,
  ArtPideNroSerie INTEGER, ArtEnUso INTEGER, ArtEnVenta INTEGER, ArtEsCombo INTEGER, ArtValidoMayorQ INTEGER,
  ArtUnidadMedida INTEGER, ArtMarca INTEGER, ArtEmpresa INTEGER, ArtNoUtilizarGenerico INTEGER, ArtTipo INTEGER,
  ArtProveedor INTEGER, ArtCodigoProveedor TEXT COLLATE SQLSERVER, ArtCatDescuento INTEGER);
CREATE TABLE ArticuloVariedad (AVaID INTEGER, AVaArticulo INTEGER, AVaNombre TEXT COLLATE SQLSERVER, AVaEnUso INTEGER);
CREATE TABLE ArticuloCodigoBarras (ACBArticulo INTEGER, ACBVariedad INTEGER, ACBCodigo TEXT, ACBCantidad REAL,
  ACBLargo INTEGER);
CREATE TABLE UnidadesMedidas (UMeCodigo INTEGER, UMeNombre TEXT COLLATE SQLSERVER, UMeDecimales INTEGER);
CREATE TABLE PrecioVigente (PViArticulo INTEGER, PViVariedad INTEGER, PViHabilitado INTEGER, PViCantidad INTEGER,
  PViTipoPrecio INTEGER, PViMoneda INTEGER, PViPrecio REAL);
CREATE TABLE genMonedas (MonID INTEGER, MonSimbolo TEXT, MonRedondeo TEXT);
CREATE TABLE StockDisponible (SDiArticulo INTEGER, SDiVariedad INTEGER, SDiCantidad REAL);
CREATE TABLE Marcas (MarCodigo INTEGER, MarNombre TEXT COLLATE SQLSERVER);
CREATE TABLE TipoArticulo (TArID INTEGER, TArNombre TEXT COLLATE SQLSERVER);
CREATE TABLE genEntes (EntID INTEGER, EntNombre1 TEXT COLLATE SQLSERVER, EntNombre2 TEXT COLLATE SQLSERVER,
  EntGuardarComo TEXT COLLATE SQLSERVER);
CREATE TABLE CategoriaDescuento (CDeCodigo INTEGER, CDeNombre TEXT COLLATE SQLSERVER);
CREATE TABLE cceEmpresas (EmpID INTEGER, EmpPathImg TEXT);
CREATE TABLE TipoDePrecio (TPrID INTEGER, TPrTipo INTEGER, TPrEmpresa INTEGER, TPrListaPrecio INTEGER,
  TPrAbreviacion TEXT);
CREATE TABLE genParametros (ParNombre TEXT COLLATE SQLSERVER, ParValor TEXT);
INSERT INTO Articulo VALUES
  (1, 'L001', 'Leche Entera 1L', 'LECHE ENT', 'Leche', NULL, '1.jpg', 0, 1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 'P1', 1),
  (2, 'L002', 'LECHE DESCREMADA', 'LECHE DESC', NULL, NULL, NULL, 0, 1, 1, 0, 0, 1, 2, 1, 0, 1, 1, 'P2', 1),
  (3, 'T010', 'Tornillo 3mm', 'TORN', NULL, NULL, NULL, 0, 1, 1, 0, 0, 2, 1, 1, 0, 2, 2, 'X', 1),
  (4, 'L003', 'Leche Entera 1L', 'LECHE ENT', NULL, NULL, NULL, 0, 1, 1, 0, 0, 1, 1, 2, 0, 1, 1, 'P4', 1),
  (5, 'Y001', 'Yogur', 'YOG', 'Yogur corto', NULL, 'y.jpg', 0, 1, 1, 0, 0, 1, 2, 1, 1, 1, 1, 'P5', 1);
INSERT INTO ArticuloVariedad VALUES (20, 2, 'ENTERA', 1), (10, 5, 'Frutilla', 1), (11, 5, 'Vainilla  ', 1);
INSERT INTO ArticuloCodigoBarras VALUES (3, 0, 'leche%', 1, 9), (3, 0, 'LECHE%', 1, 5), (5, 10, 'LECHE ENT', 2, 0);
INSERT INTO UnidadesMedidas VALUES (1, 'Litro', 2), (2, 'Unidad', 0);
INSERT INTO PrecioVigente VALUES (5, 11, 1, 1, 3, 1, 55.5), (1, 0, 1, 1, 3, 1, 40);
INSERT INTO genMonedas VALUES (1, '$U', '#,##0.00');
INSERT INTO StockDisponible VALUES (5, 11, 7);
INSERT INTO Marcas VALUES (1, 'CAFÉ ONEIL S.A.'), (2, 'Conaprole');
INSERT INTO TipoArticulo VALUES (1, 'Lácteo'), (2, 'x');
INSERT INTO genEntes VALUES (1, 'A', 'B', 'C'), (2, 'D', 'E', 'F');
INSERT INTO CategoriaDescuento VALUES (1, 'General');
INSERT INTO cceEmpresas VALUES (1, 'D:\Img'), (2, NULL);
INSERT INTO TipoDePrecio VALUES (3, 1, 1, 0, 'Contado'), (4, 2, 1, 0, 'Credito');
INSERT INTO genParametros VALUES ('fmtcabezalarticulo  ', '2');
)");
    }

    void TearDown() override { sqlite3_close(db); }

    void exec(const char *sql)
    {
        char *error = nullptr;
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    }

    // Translates the statement as the back end does, runs it and returns the
    // rows, each column as text (Null as a null QString).
    std::vector<std::vector<QString>> run(const QString &tsql)
    {
        EXPECT_FALSE(rdo::holdsSeveralStatements(tsql));
        const QByteArray sql = rdo::translateForSqlite(tsql, rdo::textColumns(kTextColumns)).toUtf8();
        sqlite3_stmt *stmt = nullptr;
        std::vector<std::vector<QString>> rows;
        const int prepared = sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
        EXPECT_EQ(prepared, SQLITE_OK) << sqlite3_errmsg(db) << "\n" << sql.constData();
        if (prepared != SQLITE_OK)
            return rows;
        int step;
        while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<QString> row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                row.push_back(columnText(stmt, c));
            rows.push_back(std::move(row));
        }
        EXPECT_EQ(step, SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        return rows;
    }

    // One column of every row.
    std::vector<QString> column(const QString &tsql, int position)
    {
        std::vector<QString> values;
        for (const auto &row : run(tsql))
            values.push_back(row.at(static_cast<size_t>(position)));
        return values;
    }

    sqlite3 *db = nullptr;
};

// Pieces of the lookup with list layout 0, name display 0, company 1, and
// neither in-sale nor in-use required.
const QString kArticleSelect =
    u"Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, "
    u"ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo  "
    u"Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida "_qs;
const QString kVarietySelect =
    u"Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, "
    u"ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) "
    u"as NombreArt From Articulo  Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID  "
    u"Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida "_qs;
const QString kArticleFilters = u" And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"_qs;
const QString kVarietyFilters =
    u" And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL))"_qs;

QString conditionLookup(const QString &condition)
{
    return kArticleSelect + u" Where "_qs + condition + kArticleFilters + u" UNION ALL "_qs + kVarietySelect
           + u" Where "_qs + condition + kVarietyFilters + u" Order By NombreArt, ArtCodigo"_qs;
}

TEST_F(SqliteRun, TypedTextLookupFindsEveryKindOfMatch)
{
    const QString statement =
        u"Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo  Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like 'LECHE%ENT%' OR ArtNombre Like 'LECHE%ENT%' OR ArtNombreCorto Like 'LECHE%ENT%') And (ArtNoUtilizarGenerico = 0 Or 1 = 0) And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) UNION ALL Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt From Articulo  Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID  Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like 'LECHE%ENT%' Or ArtNombre Like 'LECHE%ENT%' Or ArtNombreCorto Like 'LECHE%ENT%' OR ArtNombre + AVaNombre like 'LECHE%ENT%' OR ArtNombreCorto + AVaNombre like 'LECHE%ENT%') And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL)) UNION ALL Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = 0  Where 1=1  And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) And 'LECHE ENT' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 9) UNION ALL Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt From Articulo Inner Join ArticuloVariedad On ArticuloVariedad.AVaArticulo = Articulo.ArtID Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = ArticuloVariedad.AVaID  Where 1=1  And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL)) And 'LECHE ENT' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 9) Order By NombreArt, ArtCodigo"_qs;
    const auto rows = run(statement);
    ASSERT_EQ(rows.size(), 4u);
    // Tipo, CodigoBarra, ArtID, variety, NombreArt
    const std::vector<std::vector<QString>> expected = {
        {u"1"_qs, {}, u"2"_qs, u"20"_qs, u"LECHE DESCREMADA ENTERA"_qs}, // name and variety run together
        {u"1"_qs, {}, u"1"_qs, u"0"_qs, u"Leche Entera 1L"_qs},          // name, any letter case
        {u"2"_qs, u"leche%"_qs, u"3"_qs, u"0"_qs, u"Tornillo 3mm"_qs},   // bar-code pattern of length 9
        {u"2"_qs, u"LECHE ENT"_qs, u"5"_qs, u"10"_qs, u"Yogur Frutilla"_qs}};
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<QString> got = {rows[r][0], rows[r][1], rows[r][5], rows[r][6], rows[r][14]};
        EXPECT_EQ(got, expected[r]) << "row " << r;
    }
}

TEST_F(SqliteRun, LookupBuildersRunWithPriceAndStockJoins)
{
    const QString varieties =
        u"Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt, MonSimbolo, PViPrecio, SDiCantidad From Articulo  Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID  Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = AVaID And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 3 Left Outer Join genMonedas On MonID = PViMoneda  Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = AVaID And ArtEmpresa = 1 And ArtEnVenta = 1 And ArtEnUso = 1 And (AVaEnUso = 1 Or AVaID Is Null) And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL))"_qs;
    auto rows = run(varieties);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<QString> vanilla;
    for (const auto &row : rows)
        if (row[14] == u"Yogur Vainilla")
            vanilla = {row[15], row[16], row[17]};
    EXPECT_EQ(vanilla, (std::vector<QString>{u"$U"_qs, u"55.5"_qs, u"7.0"_qs}));

    const QString barCodes =
        u"Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt, MonSimbolo, PViPrecio, SDiCantidad From Articulo Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = 0  Left Outer Join PrecioVigente On PViArticulo = ArtID And PViVariedad = 0 And PViHabilitado = 1 And PViCantidad = 1 And PViTipoPrecio = 3 Left Outer Join genMonedas On MonID = PViMoneda  Left Outer Join StockDisponible On SDiArticulo = ArtID And SDiVariedad = 0 Where 1=1  And ArtEmpresa = 1 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0)"_qs;
    rows = run(barCodes);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], u"2");
    EXPECT_EQ(rows[0][5], u"3");
}

TEST_F(SqliteRun, SearchConditionsSelectTheExpectedArticles)
{
    struct Case {
        const char *name;
        QString condition;
        std::vector<QString> names;
    } cases[] = {
        {"contains, in use, on sale", u"( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)"_qs,
         {u"Tornillo 3mm"_qs}},
        {"no criterion", u"True"_qs,
         {u"LECHE DESCREMADA"_qs, u"LECHE DESCREMADA ENTERA"_qs, u"Leche Entera 1L"_qs, u"Tornillo 3mm"_qs,
          u"Yogur Frutilla"_qs, u"Yogur Vainilla"_qs}},
        {"with bar codes", u"ArtID In (Select Distinct(ACBArticulo) From ArticuloCodigoBarras)"_qs,
         {u"Tornillo 3mm"_qs, u"Yogur Frutilla"_qs, u"Yogur Vainilla"_qs}},
        {"every field equal, any case",
         u"(( ArtNombre = 'leche entera 1l ' OR  ArtNombreCorto = 'leche entera 1l ' OR  ArtTipo In (Select TArID From TipoArticulo Where TArNombre = 'leche entera 1l ') OR  ArtMarca In (Select MarCodigo From Marcas Where MarNombre = 'leche entera 1l ') OR  ArtProveedor In (Select EntID From genEntes Where EntNombre1 = 'leche entera 1l ' Or EntNombre2 = 'leche entera 1l ' Or EntGuardarComo = 'leche entera 1l ') OR  ArtCodigoProveedor = 'leche entera 1l ' OR  ArtCatDescuento In (Select CDeCodigo From CategoriaDescuento Where CDeNombre = 'leche entera 1l ') OR  ArtUnidadMedida In (Select UMeCodigo From UnidadesMedidas Where UMeNombre = 'leche entera 1l ') OR  ArtDescripcionCorta = 'leche entera 1l ' OR  ArtDescripcionLarga = 'leche entera 1l '))"_qs,
         {u"Leche Entera 1L"_qs}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(column(conditionLookup(c.condition), 14), c.names) << c.name;
}

TEST_F(SqliteRun, SearchCheckTakesTheFirstRowOnly)
{
    const QString base = u"Select Top 1 ArtID From Articulo Where ArtID > 0 "_qs + kArticleFilters + u" And "_qs;
    struct Case {
        const char *name;
        QString condition;
        std::vector<QString> ids;
    } cases[] = {
        {"brand contains, without bar codes",
         u"( ArtMarca In (Select MarCodigo From Marcas Where MarNombre Like '%Café ONeil%') And ArtEnUso = 1) And Not Exists (Select ACBArticulo From ArticuloCodigoBarras Where ACBArticulo = ArtID)"_qs,
         {u"1"_qs}},
        {"accent differs", u"( ArtMarca In (Select MarCodigo From Marcas Where MarNombre Like '%Cafe%'))"_qs, {}},
        {"with bar codes", u"ArtID In (Select Distinct(ACBArticulo) From ArticuloCodigoBarras)"_qs, {u"3"_qs}},
        {"no criterion", u"True"_qs, {u"1"_qs}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(column(base + c.condition, 0), c.ids) << c.name;
}

TEST_F(SqliteRun, ParameterReadsCompareAsTheServer)
{
    EXPECT_EQ(column(u"Select ParValor From genParametros Where ParNombre = 'FmtCabezalArticulo'"_qs, 0),
              std::vector<QString>{u"2"_qs});
    EXPECT_EQ(column(u"Select TPrID From TipoDePrecio Where TPrTipo = 1 And TPrEmpresa = 1 And TPrListaPrecio = 0"_qs, 0),
              std::vector<QString>{u"3"_qs});
}

TEST_F(SqliteRun, DetailQueryJoinsNameVarietyAndPrice)
{
    auto detail = [](int article, int variety) {
        const QString a = QString::number(article), v = QString::number(variety);
        return u"SELECT ArtCodigo, RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre, IsNull(ArtDescripcionLarga, ArtDescripcionCorta) as ArtDescripcion, ArtFoto, "_qs
               + u" EmpPathImg, MonSimbolo, MonRedondeo, PViPrecio, TPrAbreviacion "_qs + u" FROM Articulo"_qs
               + u" INNER JOIN cceEmpresas ON ArtEmpresa = EmpID "_qs
               + u" LEFT OUTER JOIN ArticuloVariedad ON AVaArticulo = ArtID AND AVaID = "_qs + v
               + u" LEFT OUTER JOIN PrecioVigente On PViArticulo = ArtID And PViVariedad = "_qs + v
               + u" And PViHabilitado = 1 And PViCantidad = 1 "_qs
               + u" LEFT OUTER JOIN TipoDePrecio ON PViTipoPrecio = TPrID And TPrTipo = 1 And TPrListaPrecio = 0"_qs
               + u" LEFT OUTER JOIN genMonedas ON PViMoneda = MonID"_qs + u" WHERE ArtID = "_qs + a
               + u" AND ( (PViTipoPrecio IS NOT NULL AND TPrTipo IS NOT NULL) OR PViTipoPrecio IS NULL )"_qs;
    };
    struct Case {
        int article, variety;
        std::vector<QString> row; // code, name, description, path, price, price type
    } cases[] = {
        {5, 11, {u"Y001"_qs, u"Yogur Vainilla"_qs, u"Yogur corto"_qs, u"D:\\Img"_qs, u"55.5"_qs, u"Contado"_qs}},
        {1, 0, {u"L001"_qs, u"Leche Entera 1L"_qs, u"Leche"_qs, u"D:\\Img"_qs, u"40.0"_qs, u"Contado"_qs}},
        {2, 0, {u"L002"_qs, u"LECHE DESCREMADA"_qs, {}, u"D:\\Img"_qs, {}, {}}},
    };
    for (const Case &c : cases) {
        const auto rows = run(detail(c.article, c.variety));
        ASSERT_EQ(rows.size(), 1u) << c.article;
        const auto &r = rows[0];
        EXPECT_EQ((std::vector<QString>{r[0], r[1], r[2], r[4], r[7], r[8]}), c.row) << c.article;
    }
}

} // namespace
