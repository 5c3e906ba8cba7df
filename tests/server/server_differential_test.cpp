// A shop with several tills keeps its catalogue on a database server, reached
// through the ODBC back end and psqlODBC with the statements translated on the
// way in. Whatever the cashier types or searches, the server must give the
// rows the embedded back end gives for the same catalogue, in the same order.

#include "error_number.h"
#include "postgres_server.h"
#include "seasoned_catalogue.h"
#include "typed_lookup.h"

#include "catalogue.h"
#include "detail/frm_foto.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "search/condition_builder.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace {

using vok::test::PostgresServer;

class ServerLookups : public ::testing::Test {
protected:
    // One seasoned catalogue for the program, as an SQLite file and on the server.
    static void SetUpTestSuite()
    {
        if (!PostgresServer::shared())
            return;
        const std::string file = folder.filePath(u"shop.db"_qs).toStdString();
        vok::catalogue::generate({.articles = 1000, .seed = 3, .output = file});
        sqlite3 *db = nullptr;
        sqlite3_open(file.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, vok::test::kSeasoning, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        PostgresServer::shared()->load(u"tienda"_qs, file);
        embedded = rdo::rdoConnection::open(u"sqlite:"_qs + QString::fromStdString(file));
        server = rdo::rdoConnection::open(PostgresServer::shared()->connectionString(u"tienda"_qs));
    }
    void SetUp() override
    {
        if (!PostgresServer::shared())
            GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
        ASSERT_TRUE(server);
    }

    // Both back ends' rows alike. Rows of a list whose keys (the name shown,
    // then the code) are equal under SQL Server's comparison may come in any
    // order: each run of them is compared sorted.
    void expectSameRows(const QString &sql, const QString &why)
    {
        const bool list = sql.endsWith(u"Order By NombreArt, ArtCodigo"_qs);
        const auto key = [&](const QString &row) {
            const QStringList c = row.split(u'|');
            return list ? rdo::sqlServerKey(c[14]) + u'|' + rdo::sqlServerKey(c[13]) : row;
        };
        const auto canonical = [&](rdo::rdoConnection &connection) {
            QStringList got = rows(connection, sql);
            for (auto run = got.begin(); run != got.end();) {
                const auto end = std::find_if(run, got.end(), [&](const QString &r) { return key(r) != key(*run); });
                std::sort(run, end);
                run = end;
            }
            return got;
        };
        const QStringList expected = canonical(*embedded), got = canonical(*server);
        found += expected.isEmpty() ? 0 : 1;
        const auto differ = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin();
        EXPECT_TRUE(got == expected) << why.toStdString() << ": at row " << differ << " of " << expected.size() << "\n"
                                     << sql.toStdString();
    }

    static inline QTemporaryDir folder;
    static inline std::shared_ptr<rdo::rdoConnection> embedded, server;
    int found = 0;
};

// Codes, prefixes, words, scale labels, wildcards, accents, both cases and
// quotes, with every setting that shapes the statement.
TEST_F(ServerLookups, TypedTextsFindTheEmbeddedRowsInTheirOrder)
{
    const auto texts = [](const char16_t *sql) {
        const QStringList found = rows(*embedded, QString::fromUtf16(sql));
        return std::vector<QString>(found.begin(), found.end());
    };
    const vok::test::CatalogueTexts catalogue{texts(u"Select ArtCodigo From Articulo Order By ArtID"),
                                              texts(u"Select ArtNombre From Articulo Order By ArtID"),
                                              texts(u"Select ACBCodigo From ArticuloCodigoBarras Order By 1")};
    vok::test::Typist typist(catalogue, 3);
    for (int i = 0; i < 120 && !HasFailure(); ++i) {
        const lookup::LookupSettings s = typist.nextSettings();
        const QString typed = typist.next();
        expectSameRows(lookupStatement(s, typed), u"typed «"_qs + typed + u'»');
    }
    EXPECT_GT(found, 60);
}

// The search dialog's conditions, in the list's statement and in the dialog's
// own check, for every field and kind of match, and the detail view.
TEST_F(ServerLookups, SearchConditionsAndTheDetailFindTheEmbeddedRows)
{
    lookup::LookupSettings s;
    s.Empresa = 1;
    for (const QString &text : {u"leche"_qs, u"LECHE FRESCA"_qs, u"ñandú"_qs, u"NANDU"_qs, u"taza"_qs,
                                u"e\u0301xito total"_qs, u"[X]"_qs, u"obrien"_qs, u"caja_x"_qs, u""_qs})
        for (int32_t campo = 0; campo <= search::kCampoTodos; ++campo)
            for (int32_t tipo = 1; tipo <= 3; ++tipo) {
                const search::Criterios c{text, campo, tipo, 1 + (campo + tipo) % 3, 1 + campo % 3, 1 + tipo % 3};
                const QString condition = search::ArmarCondicion(c);
                const QString why = QStringLiteral("«%1» field %2 kind %3").arg(text).arg(campo).arg(tipo);
                expectSameRows(lookup::SelectDeCondicion(s, condition), why);
                expectSameRows(lookup::SelectBaseBusqueda(s) + u" And "_qs + condition, why);
            }
    for (const auto &[article, variety] : {std::pair{57, 0}, {900001, 0}, {900005, 1}, {900005, 2}, {900027, 0}})
        expectSameRows(detail::frmFoto::SQLDetalle(article, static_cast<int16_t>(variety)), u"detail"_qs);
    EXPECT_GT(found, 100);
}

// What the lookups above may not meet: a pattern read from a column, signs
// of regular expressions, unclosed and backward sets, with SQL Server's answer.
TEST_F(ServerLookups, DecideTextAsSqlServer)
{
    const std::pair<const char16_t *, bool> rules[] = {
        {u"'FMTCABEZALARTICULO' Like ParNombre", true}, {u"'a+b*(c)|{d}?.\\^$' Like 'a+b*(c)|{d}?.\\^$'", true},
        {u"'axb' Like 'a.b'", false}, {u"'a[b' Like 'a[b'", true}, {u"'b' Like '[c-a]'", false},
        {u"'abc ' Like 'abc'", false}, {u"'LECHE' Not Like 'l%'", false}, {u"'é' > 'z'", true},
        {u"ParNombre = 'fmtcabezalARTICULO  '", true}, {u"IsNull(Null, 'a') + 'b' = 'AB'", true}};
    for (const auto &[condition, holds] : rules) {
        const QString sql = u"Select Count(*) From genParametros Where ParNombre = 'FmtCabezalArticulo' And "_qs;
        EXPECT_EQ(rows(*server, sql + QString::fromUtf16(condition)), QStringList(holds ? u"1"_qs : u"0"_qs))
            << QString::fromUtf16(condition).toStdString();
    }
}

// The back office writes the server while a till runs: the till's next
// lookup finds articles and varieties by their new names, as the embedded back
// end finds them in a file written alike, the server's joined names of the
// varieties following every write (data/postgresql/indexes.sql).
TEST_F(ServerLookups, WritesOfAnotherProgramReachTheNextLookup)
{
    const QString file = folder.filePath(u"written.db"_qs);
    ASSERT_TRUE(QFile::copy(folder.filePath(u"shop.db"_qs), file));
    PostgresServer::shared()->load(u"escrita"_qs, file.toStdString());
    const auto till = rdo::rdoConnection::open(PostgresServer::shared()->connectionString(u"escrita"_qs));
    const QString article = rows(*embedded, u"Select Min(AVaArticulo) From ArticuloVariedad"_qs).value(0);
    const struct {
        const char16_t *write;
        QStringList typed;
    } steps[] = {
        {u"Update Articulo Set ArtNombre = 'QWERTY', ArtNombreCorto = 'ASDF' Where ArtID = %1", {u"QWERTY"_qs, u"ASDF"_qs}},
        {u"Insert Into ArticuloVariedad (AVaArticulo, AVaID, AVaNombre) Values (%1, 99, 'PLUMA')",
         {u"QWERTYPLU"_qs, u"ASDFPLU"_qs}},
        {u"Update ArticuloVariedad Set AVaNombre = 'TINTA' Where AVaArticulo = %1 And AVaID = 99",
         {u"QWERTYPLU"_qs, u"QWERTYTIN"_qs, u"ASDF TIN"_qs}},
        {u"Update Articulo Set ArtNombre = 'ZXCV' Where ArtID = %1", {u"QWERTYTIN"_qs, u"ZXCVTIN"_qs}},
        {u"Delete From ArticuloVariedad Where AVaArticulo = %1 And AVaID = 99", {u"ZXCVTIN"_qs, u"ZXCV"_qs}},
    };
    lookup::LookupSettings s;
    s.Empresa = 1;
    for (const auto &step : steps) {
        const QString write = QString::fromUtf16(step.write).arg(article);
        PostgresServer::shared()->psql(u"escrita"_qs, write);
        sqlite3 *db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, write.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        const auto written = rdo::rdoConnection::open(u"sqlite:"_qs + file);
        for (const QString &typed : step.typed) {
            const QString sql = lookupStatement(s, typed);
            const QStringList expected = rows(*written, sql);
            EXPECT_EQ(rows(*till, sql), expected) << write.toStdString() << ", typed «" << typed.toStdString();
            // Rows found by code or name (the catalogue's bar code "%" finds every text).
            found += expected.filter(QRegularExpression(u"^1\\|"_qs)).isEmpty() ? 0 : 1;
        }
    }
    EXPECT_EQ(found, 8);
}

// The server itself refuses to write in a till's session, even through a
// statement that reads.
TEST_F(ServerLookups, SessionsAreReadOnly)
{
    PostgresServer::shared()->psql(u"tienda"_qs, u"CREATE SEQUENCE numerador"_qs);
    const vb::Error error = vok::test::errorRaisedBy([] { server->OpenResultset(u"Select nextval('numerador')"_qs); });
    EXPECT_TRUE(error.description().contains(u"read-only transaction"_qs)) << error.description().toStdString();
}

} // namespace
