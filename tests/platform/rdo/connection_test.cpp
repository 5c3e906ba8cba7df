// Both back ends on a generated catalogue: the SQLite file opened directly, and
// the same file through the SQLite ODBC driver with the translation asked for.

#include "error_number.h"
#include "platform/rdo/connection_string.h"
#include "platform/rdo/odbc/odbc_connection.h"
#include "platform/rdo/rdo.h"
#include "platform/rdo/sqlite/sqlite_connection.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/vb/call_by_name.h"
#include "platform/vb/error.h"

#include "catalogue_files.h"
#include "qt_printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using rdo::rdoConnection;

// One catalogue for the whole program: generated once, never written.
QString cataloguePath() { return QString::fromStdString(vok::test::generatedCatalogue(7).string()); }

using vok::test::errorRaisedBy;

enum class Backend { Sqlite, Odbc };

QString connectionString(Backend backend, const QString &file)
{
    return backend == Backend::Sqlite ? u"sqlite:"_qs + file
                                      : u"odbc:translate=sqlite;DRIVER={SQLite3};Database="_qs + file;
}

int rowCount(rdoConnection &connection, const QString &sql)
{
    auto rs = connection.OpenResultset(sql);
    int rows = 0;
    for (; !rs->Eof(); rs->MoveNext())
        ++rows;
    return rows;
}

class Connection : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { connection = rdoConnection::open(connectionString(GetParam(), cataloguePath())); }
    int rowCount(const QString &sql) { return ::rowCount(*connection, sql); }
    vb::Error errorOf(const QString &sql) { return errorRaisedBy([&] { connection->OpenResultset(sql); }); }
    std::shared_ptr<rdoConnection> connection;
};

TEST_P(Connection, MovesThroughRowsAndRefusesWhatIsNotThere)
{
    auto rs = connection->OpenResultset(u"Select ParValor From genParametros Where ParNombre = 'FmtCabezalArticulo'"_qs);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->rdoColumns().Item(u"ParValor"_qs).Value(), vb::Variant(u"3"_qs));
    rs->Close();
    EXPECT_EQ(errorRaisedBy([&] { (void)rs->Eof(); }).number(), rdo::err::ResultsetClosed);
    auto empty = connection->OpenResultset(u"Select ArtID From Articulo Where 1 = 0"_qs);
    EXPECT_TRUE(empty->Eof());
    EXPECT_EQ(errorRaisedBy([&] { (void)empty->rdoColumns(); }).number(), rdo::err::NoCurrentRow);
    EXPECT_EQ(errorRaisedBy([&] { empty->MoveNext(); }).number(), rdo::err::NoCurrentRow);
    EXPECT_EQ(errorOf(u"Select 1; Select 2"_qs).number(), rdo::err::SeveralStatements);
}

TEST_P(Connection, ColumnsByNameInAnyCaseAndByPositionWithTheirTypes)
{
    auto rs = connection->OpenResultset(
        u"Select Top 1 ArtID, ArtCodigo, ArtFoto, PViPrecio, 7 * 3 As Calculado, Null As Nada From Articulo "
        "Inner Join PrecioVigente On PViArticulo = ArtID Where ArtFoto Is Null Order By ArtID"_qs);
    ASSERT_FALSE(rs->Eof());
    const rdo::rdoColumns &columns = rs->rdoColumns();
    ASSERT_EQ(columns.Count(), 6);
    const std::pair<const char16_t *, vb::VarType> cases[] = {
        {u"ArtID", vb::VarType::Long},     {u"artcodigo", vb::VarType::String}, {u"ARTFOTO", vb::VarType::Null},
        {u"PViPrecio", vb::VarType::Double}, {u"Calculado", vb::VarType::Long}, {u"nada", vb::VarType::Null}};
    for (int position = 0; position < 6; ++position) {
        const QString name = QString::fromUtf16(cases[position].first);
        SCOPED_TRACE(name.toStdString());
        if (GetParam() != Backend::Odbc || position != 4) { // the driver describes expressions as text
            EXPECT_EQ(columns.Item(name).Value().type(), cases[position].second);
        }
        EXPECT_EQ(columns.Item(position).Name().compare(name, Qt::CaseInsensitive), 0);
        EXPECT_EQ(columns.Item(position).Value(), columns.Item(name).Value());
    }
    EXPECT_EQ(errorRaisedBy([&] { (void)columns.Item(u"ArtNada"_qs); }).number(), rdo::err::ItemNotFound);
    EXPECT_EQ(errorRaisedBy([&] { (void)columns.Item(6); }).number(), rdo::err::ItemNotFound);
    EXPECT_EQ(errorRaisedBy([&] { (void)columns.Item(-1); }).number(), rdo::err::ItemNotFound);
}

TEST_P(Connection, EngineErrorsCarryTheEngineText)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"Select ArtID From Articulos", u"no such table: Articulos"}, {u"Select From Where", u"syntax error"}};
    for (const auto &[sql, message] : cases) {
        const vb::Error error = errorOf(QString::fromUtf16(sql));
        EXPECT_NE(error.number(), 0);
        EXPECT_TRUE(error.description().contains(QString::fromUtf16(message))) << error.description().toStdString();
        EXPECT_EQ(error.source(), GetParam() == Backend::Sqlite ? u"SQLite"_qs : u"ODBC"_qs);
    }
}

// Every kind of write fails and leaves the file as it was.
TEST_P(Connection, RefusesEveryWrite)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(u"copy.sqlite"_qs);
    ASSERT_TRUE(QFile::copy(cataloguePath(), copy));
    const QByteArray before = vok::test::fileDigest(copy.toStdString());
    auto writable = rdoConnection::open(connectionString(GetParam(), copy));
    for (const char16_t *sql : {u"Insert Into Marcas (MarCodigo, MarNombre) Values (999, 'X')",
                                u"Update Articulo Set ArtNombre = 'X'", u"Delete From Articulo",
                                u"Create Table Nueva (x INTEGER)", u"Create Index IX_Nuevo On Articulo (ArtFoto)",
                                u"Drop Table Marcas", u"Alter Table Marcas Add Column MarPais TEXT",
                                u"Attach Database 'otra.sqlite' As otra", u"PRAGMA user_version = 5",
                                u"PRAGMA query_only = 0", u"Replace Into Marcas (MarCodigo, MarNombre) Values (1, 'X')",
                                u"Vacuum", u"Select ArtID Into Copia From Articulo",
                                u"With x As (Select 1 As a) Delete From Marcas", u"Begin Transaction"})
        errorRaisedBy([&] { ::rowCount(*writable, QString::fromUtf16(sql)); });
    EXPECT_EQ(::rowCount(*writable, u"Select MarCodigo From Marcas Where MarCodigo = 999"_qs), 0);
    writable.reset();
    EXPECT_EQ(vok::test::fileDigest(copy.toStdString()), before);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"otra.sqlite"_qs)));
}

// The statements the control and the host's list run, word for word as the
// lookup, the search and the detail view build them.
TEST_P(Connection, RunsTheControlsStatements)
{
    const char16_t *statements[] = {
        // the complete lookup of the typed text "LECHE ENT"
        u"Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo  Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like 'LECHE%ENT%' OR ArtNombre Like 'LECHE%ENT%' OR ArtNombreCorto Like 'LECHE%ENT%') And (ArtNoUtilizarGenerico = 0 Or 1 = 0) And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) UNION ALL Select 1 As Tipo, Null As CodigoBarra, Null As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt From Articulo  Inner Join ArticuloVariedad ON ArticuloVariedad.AVaArticulo = Articulo.ArtID  Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida  Where (ArtCodigo like 'LECHE%ENT%' Or ArtNombre Like 'LECHE%ENT%' Or ArtNombreCorto Like 'LECHE%ENT%' OR ArtNombre + AVaNombre like 'LECHE%ENT%' OR ArtNombreCorto + AVaNombre like 'LECHE%ENT%') And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL)) UNION ALL Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, 0, ArtEnUso, ArtEnVenta, ArtEsCombo, UMeDecimales, 0, ArtValidoMayorQ, ArtCodigo, ArtNombre as NombreArt From Articulo Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = 0  Where 1=1  And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) And 'LECHE ENT' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 9) UNION ALL Select 2 As Tipo, ACBCodigo As CodigoBarra, ACBCantidad As CantidadCB,  ArtFoto, ArtPideNroSerie, ArtID, AVaID, ArtEnUso, ArtEnVenta, ArtEsCombo, UMedecimales, AVaEnUso, ArtValidoMayorQ, ArtCodigo, ArtNombre + ' ' + RTrim(AVaNombre) as NombreArt From Articulo Inner Join ArticuloVariedad On ArticuloVariedad.AVaArticulo = Articulo.ArtID Inner Join UnidadesMedidas On UnidadesMedidas.UMeCodigo = Articulo.ArtUnidadMedida Inner Join ArticuloCodigoBarras On ArticuloCodigoBarras.ACBArticulo = Articulo.ArtID And ArticuloCodigoBarras.ACBVariedad = ArticuloVariedad.AVaID  Where 1=1  And ArtEmpresa = 1 And (ArtNoUtilizarGenerico = 0 OR (ArtNoUtilizarGenerico = 1 AND AVaID IS NOT NULL)) And 'LECHE ENT' Like ACBCodigo  And (ACBLargo = 0 Or ACBLargo = 9) Order By NombreArt, ArtCodigo",
        // the search dialog's existence check with its default condition
        u"Select Top 1 ArtID From Articulo Where ArtID > 0  And ArtEmpresa = 1 And ArtEnVenta = 1 And ArtEnUso = 1 And (ArtNoUtilizarGenerico = 0 Or 1= 0) And ( ArtNombre Like '%tornillo%' And ArtEnUso = 1 And ArtEnVenta = 1)",
        // the detail view of article 57, no variety
        u"SELECT ArtCodigo, RTRIM(ArtNombre + ' ' + IsNull(AVaNombre, '')) AS ArtNombre, IsNull(ArtDescripcionLarga, ArtDescripcionCorta) as ArtDescripcion, ArtFoto,  EmpPathImg, MonSimbolo, MonRedondeo, PViPrecio, TPrAbreviacion  FROM Articulo INNER JOIN cceEmpresas ON ArtEmpresa = EmpID  LEFT OUTER JOIN ArticuloVariedad ON AVaArticulo = ArtID AND AVaID = 0 LEFT OUTER JOIN PrecioVigente On PViArticulo = ArtID And PViVariedad = 0 And PViHabilitado = 1 And PViCantidad = 1  LEFT OUTER JOIN TipoDePrecio ON PViTipoPrecio = TPrID And TPrTipo = 1 And TPrListaPrecio = 0 LEFT OUTER JOIN genMonedas ON PViMoneda = MonID WHERE ArtID = 57 AND ( (PViTipoPrecio IS NOT NULL AND TPrTipo IS NOT NULL) OR PViTipoPrecio IS NULL )",
    };
    for (const char16_t *sql : statements) {
        const QString statement = QString::fromUtf16(sql);
        SCOPED_TRACE(statement.left(60).toStdString());
        EXPECT_GT(rowCount(statement), 0);
    }
    auto detail = connection->OpenResultset(QString::fromUtf16(statements[2]));
    const vb::Variant name = detail->rdoColumns().Item(u"ArtNombre"_qs).Value();
    ASSERT_TRUE(name.isString()); // IsNull keeps the concatenation from turning Null
    EXPECT_EQ(name.get<QString>(), name.get<QString>().trimmed());
}

// The host's item list and the control reach both objects by member name.
TEST_P(Connection, ReachedLateBound)
{
    const auto get = [](const vb::ObjectRef &o, const char16_t *member, std::vector<vb::Variant> args = {}) {
        return vb::CallByName(o, QString::fromUtf16(member), vb::CallKind::PropertyGet, std::span(args));
    };
    EXPECT_EQ(get(connection, u"Connect"), vb::Variant(connectionString(GetParam(), cataloguePath())));
    const vb::ObjectRef rs =
        vb::CallByName(connection, u"OpenResultset"_qs, vb::CallKind::Method,
                       {u"Select ArtID, ArtCodigo From Articulo Where ArtID In (1, 2) Order By ArtID"_qs,
                        int16_t(2), int16_t(4)})
            .object();
    ASSERT_TRUE(rs);
    EXPECT_EQ(get(rs, u"EOF"), vb::Variant(false));
    EXPECT_EQ(get(rs, u"rdoColumns", {u"artid"_qs}), vb::Variant(int32_t(1)));
    const vb::ObjectRef columns = get(rs, u"rdoColumns").object();
    EXPECT_EQ(get(columns, u"Count"), vb::Variant(int32_t(2)));
    vb::CallByName(rs, u"MoveNext"_qs, vb::CallKind::Method);
    EXPECT_EQ(get(columns, u"Item", {int16_t(0)}), vb::Variant(int32_t(2))); // follows the current row
    vb::CallByName(rs, u"MoveNext"_qs, vb::CallKind::Method);
    EXPECT_EQ(vb::CallByName(rs, u"eof"_qs, vb::CallKind::Method), vb::Variant(true));
    vb::CallByName(rs, u"Close"_qs, vb::CallKind::Method);
    EXPECT_EQ(errorRaisedBy([&] { vb::CallByName(rs, u"Requery"_qs, vb::CallKind::Method); }).number(),
              vb::err::MemberNotSupported);
}

INSTANTIATE_TEST_SUITE_P(Backends, Connection, ::testing::Values(Backend::Sqlite, Backend::Odbc),
                         [](const auto &info) { return info.param == Backend::Sqlite ? "Sqlite" : "Odbc"; });

// --- What only the embedded back end does: SQL Server's text comparison ------

// Under the default collation and with accents ignored (";collation=ci_ai").
TEST(SqliteBackend, ComparesTextAsTheServerDoes)
{
    struct Case {
        const char16_t *sql;
        int accentsKept, accentsIgnored;
    };
    const Case cases[] = {
        // LIKE folds the case of Ñ, keeps accents apart unless told; '=' and In
        // ignore case and trailing blanks, and accents when told
        {u"Select ArtID From Articulo Where ArtNombre Like '%niño%'", 24, 24},
        {u"Select ArtID From Articulo Where ArtNombre Like '%NINO%'", 0, 24},
        {u"Select ArtID From Articulo Where ArtNombre Like 'pantal[o]n polar n_ño'", 1, 1},
        {u"Select ParValor From genParametros Where ParNombre = 'fmtcabezalarticulo   '", 1, 1},
        {u"Select ParValor From genParametros Where 'FMTCABEZALARTICULO' = ParNombre", 1, 1},
        {u"Select ArtID From Articulo Where ArtNombre In ('pantalon polar niño', 'x')", 1, 1},
        {u"Select ArtID From Articulo Where ArtNombre In ('pantalón polar nino', 'x')", 0, 1},
        {u"Select ArtID From Articulo Where ArtNombre >= 'pantalon polar nino' And ArtNombre < 'pantalon polar ninoa'",
         0, 1},
        {u"Select ArtID From Articulo Where ArtCodigo = 'pan000036 '", 1, 1},
    };
    for (const auto collation : {rdo::TextCollation::AccentSensitive, rdo::TextCollation::AccentInsensitive}) {
        const bool ignored = collation == rdo::TextCollation::AccentInsensitive;
        auto connection = rdoConnection::open(u"sqlite:"_qs + cataloguePath() + (ignored ? u"; Collation = CI_AI"_qs : u""_qs));
        for (const Case &c : cases)
            EXPECT_EQ(rowCount(*connection, QString::fromUtf16(c.sql)), ignored ? c.accentsIgnored : c.accentsKept)
                << QString::fromUtf16(c.sql).toStdString() << (ignored ? " ci_ai" : " ci_as");
        // Order By sorts by the server's comparison, across a Union too.
        auto rs = connection->OpenResultset(u"Select ArtNombre As N From Articulo Where ArtID < 500 Union All "
                                            "Select AVaNombre As N From ArticuloVariedad Order By N"_qs);
        QStringList names;
        for (; !rs->Eof(); rs->MoveNext())
            names.append(rs->rdoColumns().Item(0).Value().get<QString>());
        EXPECT_GT(names.size(), 500);
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [&](const QString &a, const QString &b) {
            return rdo::sqlServerCompare(a, b, collation) < 0;
        }));
    }
}

// The collation option: spelled in any case, blanks around its parts; a path
// holding ';' stays the path.
TEST(SqliteBackend, ReadsTheCollationAfterThePath)
{
    const std::tuple<const char16_t *, const char16_t *, bool> cases[] = {
        {u"sqlite:/a/b.db", u"/a/b.db", false},
        {u"SQLITE:/a/b.db; COLLATION = Ci_Ai ", u"/a/b.db", true},
        {u"sqlite:/a/b.db;collation=ci_as", u"/a/b.db", false},
        {u"sqlite:/a;b.db;collation=ci_ai", u"/a;b.db", true},
        {u"sqlite:/a/b.db;collation=ci_ai;", u"/a/b.db;collation=ci_ai;", false},
    };
    for (const auto &[written, path, ignored] : cases) {
        const auto parsed = rdo::parseSqliteConnectionString(QString::fromUtf16(written));
        EXPECT_EQ(parsed.path, QString::fromUtf16(path));
        EXPECT_EQ(parsed.collation == rdo::TextCollation::AccentInsensitive, ignored) << parsed.path.toStdString();
    }
}

TEST(SqliteBackend, OpenRefusesWhatIsNotAnExistingDatabase)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"missing.sqlite"_qs);
    const vb::Error error = errorRaisedBy([&] { rdoConnection::open(u"sqlite:"_qs + missing); });
    EXPECT_TRUE(error.description().contains(missing)) << error.description().toStdString();
    EXPECT_EQ(error.source(), u"SQLite"_qs);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(errorRaisedBy([] { rdoConnection::open(u"mysql:host=x"_qs); }).number(),
              rdo::err::UnknownConnectionString);
    const vb::Error collation = errorRaisedBy([] { rdoConnection::open(u"sqlite:/a/b.db;collation=cs_as"_qs); });
    EXPECT_EQ(collation.number(), rdo::err::UnknownConnectionString);
    EXPECT_TRUE(collation.description().contains(u"\"cs_as\""_qs)) << collation.description().toStdString();
    // An unknown translation or collation, or a collation no translation of the connection honours.
    for (const char16_t *refused : {u"odbc:translate=oracle;DRIVER={SQLite3}", u"odbc:translate=postgresql;collation=cs_as",
                                    u"odbc:translate=sqlite;collation=ci_ai;DRIVER={SQLite3}", u"odbc:collation=ci_as;DRIVER=x"})
        EXPECT_EQ(errorRaisedBy([&] { rdoConnection::open(QString::fromUtf16(refused)); }).number(),
                  rdo::err::UnknownConnectionString)
            << QString::fromUtf16(refused).toStdString();
    const vb::Error driver = errorRaisedBy([] { rdoConnection::open(u"odbc:DRIVER={NoSuchDriver}"_qs); });
    EXPECT_EQ(driver.source(), u"ODBC"_qs);
    EXPECT_NE(driver.number(), 0);
}

} // namespace
