// A shop with several tills keeps its catalogue on a database server, reached
// through the ODBC back end and psqlODBC with the statements translated on the
// way in, over verified TLS. Whatever the cashier types or searches, the server must give the
// rows the embedded back end gives for the same catalogue, in the same order.

#include "error_number.h"
#include "postgres_server.h"
#include "seasoned_catalogue.h"
#include "typed_lookup.h"

#include "catalogue.h"
#include "catalogue_files.h"
#include "detail/frm_foto.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "search/condition_builder.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <array>

namespace {

using rdo::TextCollation;
using vok::test::PostgresServer;

// Accents of both cases, composed or not, a mark before a name, letters with
// two marks, marks at the ends of U+0300-U+036F and just outside (U+02FF and
// U+0370 are letters, U+1DC0 a mark of another block), ß, Æ, Ø, and accents in
// a variety's name and a bar code.
constexpr const char *kAccents = R"sql(
INSERT INTO Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtUnidadMedida, ArtEmpresa, ArtNoUtilizarGenerico)
VALUES (900301, 'AZÚ1', 'AZÚCAR MOLIDA', 'azúcar mol', 5, 1, 0), (900302, 'azu1', 'azucar molida', 'AZUCAR', 5, 1, 0),
       (900303, 'AZU2', 'A' || char(769) || 'ZUCAR GLAS', NULL, 5, 1, 0), (900304, 'ÑOQ1', 'ÑOQUIS', 'ñoquis', 5, 1, 0),
       (900305, 'noq1', 'noquis de papa', 'NOQUIS', 5, 1, 0), (900306, 'STR1', 'STRAßE', 'strasse', 5, 1, 0),
       (900307, 'AEB1', 'ÆBLE', 'aeble', 5, 1, 0), (900308, 'OL1', 'ØL FRÍO', 'OL FRIO', 5, 1, 0),
       (900309, 'ǕV1', 'ǕVA TINTA', 'Ệ UVA', 5, 1, 0), (900310, 'AC1', char(769) || 'ACEITE', 'ACEITE', 5, 1, 0),
       (900311, 'TX1', 'TE' || char(879) || 'A VERDE', 'TE' || char(768) || 'A', 5, 1, 0),
       (900312, 'TX2', 'TE' || char(880) || 'A NEGRO', 'TE' || char(767) || 'A', 5, 1, 0),
       (900313, 'TX3', 'TE' || char(7616) || 'A ROJO', 'TEA', 5, 1, 0);
INSERT INTO ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso) VALUES (900302, 1, 'MORENA', 1), (900304, 1, 'DE PAPÁ', 1);
INSERT INTO ArticuloCodigoBarras (ACBCodigo, ACBArticulo, ACBVariedad, ACBCantidad, ACBLargo) VALUES ('ÁB%', 900301, 0, 1, 0);
)sql";

// What a cashier types for those names, with or without their accents.
const QStringList kTypedForAccents = {
    u"azucar"_qs, u"AZÚCAR M"_qs, u"a\u0301zuc"_qs, u"noquis"_qs, u"ÑOQ"_qs, u"strasse"_qs, u"STRAß"_qs, u"aeble"_qs,
    u"æb"_qs, u"ol fr"_qs, u"ø"_qs, u"uva"_qs, u"ǖ"_qs, u"ệ uva"_qs, u"aceite"_qs, u"\u0301ace"_qs, u"tea"_qs,
    u"te\u036Fa"_qs, u"te\u0370"_qs, u"noquisde pap"_qs, u"azucar molidamor"_qs, u"ab77"_qs, u"ÁB77"_qs};

// Every code point below U+3400 and letters with two marks of every kind (of
// the range and not, composing and not), but those the server's lowering
// (ICU's) and the embedded case folding (Qt's) part on, accents kept or not:
// µ, İ, ſ, the iota below, ς, Greek letter symbols, Cherokee, Cyrillic letter forms, ẛ.
constexpr const char16_t *kLetters = uR"sql(
CREATE TABLE Letras AS SELECT c AS LetraID, chr(c) AS Letra FROM generate_series(1, 13311) c
WHERE c NOT IN (181, 304, 383, 837, 962, 976, 977, 981, 982, 1008, 1009, 1013, 7835)
  AND c NOT BETWEEN 5024 AND 5117 AND c NOT BETWEEN 7296 AND 7304;
WITH marks(c) AS (SELECT unnest('{768,769,770,771,776,778,803,807,808,879,880,7616,8407,1155,2364,12441}'::int[]))
INSERT INTO Letras SELECT 20000 + row_number() OVER (), chr(b) || chr(m.c) || chr(n.c)
FROM unnest('{97,65,101,73,111,110,67,117,121,83,223,230,216,305,12363,32}'::int[]) b, marks m, marks n;
)sql";

class ServerLookups : public ::testing::TestWithParam<TextCollation> {
protected:
    // One seasoned catalogue for the program, as an SQLite file and on the
    // server, and a till of each back end under each collation; the server's
    // twice: as data/postgresql/load leaves it, and without the functions
    // its index script folds text with (a server that never ran the script,
    // say), where the tills fold text in their own expressions.
    static void SetUpTestSuite()
    {
        if (!PostgresServer::shared())
            return;
        const std::string file = folder.filePath(u"shop.db"_qs).toStdString();
        vok::catalogue::generate({.articles = 1000, .seed = 3, .output = file});
        sqlite3 *db = nullptr;
        sqlite3_open(file.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, vok::test::kSeasoning, nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, kAccents, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
        for (const QString &database : {u"tienda"_qs, u"sinpliegue"_qs}) {
            PostgresServer::shared()->load(database, file);
            PostgresServer::shared()->psql(database, QString::fromUtf16(kLetters));
            // As a till reaches it: the tills' role, over verified TLS.
            PostgresServer::shared()->letTillsIn(database);
        }
        PostgresServer::shared()->psql(u"sinpliegue"_qs, u"DROP FUNCTION TextoPlegado, TextoPlegadoSinAcentos CASCADE"_qs);
        for (const TextCollation collation : {TextCollation::AccentSensitive, TextCollation::AccentInsensitive}) {
            embedded[int(collation)] = rdo::rdoConnection::open(u"sqlite:"_qs + QString::fromStdString(file) + option(collation));
            for (int folds : {0, 1})
                server[folds][int(collation)] = rdo::rdoConnection::open(
                    PostgresServer::shared()->tillConnectionString(folds ? u"tienda"_qs : u"sinpliegue"_qs) +
                    option(collation));
        }
    }
    // The tills go before the program's end, as a host's do.
    static void TearDownTestSuite()
    {
        for (auto *tills : {&embedded, &server[0], &server[1]})
            for (auto &till : *tills)
                till.reset();
    }
    void SetUp() override
    {
        if (!PostgresServer::shared())
            GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
        ASSERT_TRUE(serverTills[0] && serverTills[1]);
    }
    static QString option(TextCollation collation)
    {
        return collation == TextCollation::AccentInsensitive ? u";collation=ci_ai"_qs : u";collation=ci_as"_qs;
    }
    TextCollation collation() const { return GetParam(); }

    // Both back ends' rows alike. Rows of a list whose keys (the name shown,
    // then the code) are equal under the collation may come in any order:
    // each run of them is compared sorted.
    void expectSameRows(const QString &sql, const QString &why)
    {
        const bool list = sql.endsWith(u"Order By NombreArt, ArtCodigo"_qs);
        const auto key = [&](const QString &row) {
            const QStringList c = row.split(u'|');
            return list ? rdo::sqlServerKey(c[14], collation()) + u'|' + rdo::sqlServerKey(c[13], collation()) : row;
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
        const QStringList expected = canonical(*embeddedTill);
        found += expected.isEmpty() ? 0 : 1;
        for (rdo::rdoConnection *till : serverTills) {
            const QStringList got = canonical(*till);
            const auto differ = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin();
            EXPECT_TRUE(got == expected) << why.toStdString() << ": at row " << differ << " of " << expected.size()
                                         << (till == serverTill ? "" : ", folded by the till") << "\n"
                                         << sql.toStdString();
        }
    }

    static inline QTemporaryDir folder;
    // By collation; the server's by whether it folds text itself, then by collation.
    static inline std::shared_ptr<rdo::rdoConnection> embedded[2], server[2][2];
    rdo::rdoConnection *embeddedTill = embedded[int(GetParam())].get(), *serverTill = server[1][int(GetParam())].get();
    const std::array<rdo::rdoConnection *, 2> serverTills{serverTill, server[0][int(GetParam())].get()};
    int found = 0;
};

// Codes, prefixes, words, scale labels, wildcards, accents, both cases and
// quotes, with every setting that shapes the statement; then the accents'
// texts, the article's name and then its short name displayed.
TEST_P(ServerLookups, TypedTextsFindTheEmbeddedRowsInTheirOrder)
{
    const auto texts = [&](const char16_t *sql) {
        const QStringList found = rows(*embeddedTill, QString::fromUtf16(sql));
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
    found = 0;
    for (const QString &typed : kTypedForAccents)
        for (lookup::LookupSettings s{.NombreADesplegar = 0, .Empresa = 1}; s.NombreADesplegar < 2; ++s.NombreADesplegar)
            expectSameRows(lookupStatement(s, typed), u"typed «"_qs + typed + u'»');
    EXPECT_GT(found, 30);
}

// The search dialog's conditions, in the list's statement and in the dialog's
// own check, for every field and kind of match, and the detail view.
TEST_P(ServerLookups, SearchConditionsAndTheDetailFindTheEmbeddedRows)
{
    lookup::LookupSettings s;
    s.Empresa = 1;
    for (const QString &text : {u"leche"_qs, u"LECHE FRESCA"_qs, u"ñandú"_qs, u"NANDU"_qs, u"taza"_qs,
                                u"e\u0301xito total"_qs, u"[X]"_qs, u"obrien"_qs, u"caja_x"_qs, u""_qs,
                                u"azucar molida"_qs, u"ÑOQUIS"_qs, u"straße"_qs, u"te\u036Fa"_qs})
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
// of regular expressions, unclosed and backward sets, accents and marks, with
// SQL Server's answer, accents kept and ignored (every letter's comparison
// below).
TEST_P(ServerLookups, DecideTextAsSqlServer)
{
    const std::tuple<const char16_t *, bool, bool> rules[] = {
        {u"'FMTCABEZALARTICULO' Like ParNombre", true, true}, {u"'axb' Like 'a.b'", false, false},
        {u"'a+b*(c)|{d}?.\\^$' Like 'a+b*(c)|{d}?.\\^$'", true, true}, {u"'a[b' Like 'a[b'", true, true},
        {u"'b' Like '[c-a]'", false, false}, {u"'abc ' Like 'abc'", false, false}, {u"'é' > 'z'", true, false},
        {u"'LECHE' Not Like 'l%'", false, false}, {u"ParNombre = 'fmtcabezalARTICULO  '", true, true},
        {u"IsNull(Null, 'a') + 'b' = 'AB'", true, true}, {u"'ñ' Like '[m-o]'", false, true},
        {u"'\u0301e' Like '_'", false, true}, {u"'AB77' Like 'ÁB%'", false, true}, {u"'Ø' Like 'o'", false, false}};
    for (const auto &[condition, accentsKept, accentsIgnored] : rules) {
        const QString sql = u"Select Count(*) From genParametros Where ParNombre = 'FmtCabezalArticulo' And "_qs;
        const bool holds = collation() == TextCollation::AccentInsensitive ? accentsIgnored : accentsKept;
        for (rdo::rdoConnection *till : serverTills)
            EXPECT_EQ(rows(*till, sql + QString::fromUtf16(condition)), QStringList(holds ? u"1"_qs : u"0"_qs))
                << QString::fromUtf16(condition).toStdString() << (till == serverTill ? "" : ", folded by the till");
    }
}

// Every letter of Letras sorted by the server as the embedded back end's
// comparison sorts it (letters it takes for equal by their number).
TEST_P(ServerLookups, SortEveryLetterAsTheEmbeddedBackEnd)
{
    std::vector<std::pair<QString, QString>> expected; // key, row
    for (const QString &row : rows(*serverTill, u"Select LetraID, Letra From Letras Order By LetraID"_qs))
        expected.emplace_back(rdo::sqlServerKey(row.mid(row.indexOf(u'|') + 1), collation()), row);
    std::stable_sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (rdo::rdoConnection *till : serverTills) {
        const QStringList got = rows(*till, u"Select LetraID, Letra From Letras Order By Letra, LetraID"_qs);
        ASSERT_TRUE(got.size() == qsizetype(expected.size()) && got.size() > 17000) << got.size();
        for (qsizetype i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], expected[size_t(i)].second)
                << "at row " << i << ", key " << expected[size_t(i)].first.toStdString()
                << (till == serverTill ? "" : ", folded by the till");
    }
}

// The back office writes the server while a till runs: the till's next
// lookup finds articles and varieties by their new names, as the embedded back
// end finds them in a file written alike, the server's joined names of the
// varieties following every write (data/postgresql/indexes.sql).
TEST_P(ServerLookups, WritesOfAnotherProgramReachTheNextLookup)
{
    const QString file = folder.filePath(u"written"_qs + option(collation()));
    ASSERT_TRUE(QFile::copy(folder.filePath(u"shop.db"_qs), file));
    const QString database = u"escrita"_qs + QString::number(int(collation()));
    PostgresServer::shared()->load(database, file.toStdString());
    const auto till = rdo::rdoConnection::open(PostgresServer::shared()->connectionString(database) + option(collation()));
    const QString article = rows(*embeddedTill, u"Select Min(AVaArticulo) From ArticuloVariedad"_qs).value(0);
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
        PostgresServer::shared()->psql(database, write);
        sqlite3 *db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, write.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        const auto written = rdo::rdoConnection::open(u"sqlite:"_qs + file + option(collation()));
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

// A server whose fold functions the tills' role may not call (its
// administrator revoked them from everyone): the tills fold text themselves.
TEST_P(ServerLookups, TillsThatMayNotCallTheFunctionsFoldTextThemselves)
{
    const QString database = u"sinderecho"_qs + QString::number(int(collation()));
    PostgresServer::shared()->load(database, folder.filePath(u"shop.db"_qs).toStdString());
    PostgresServer::shared()->psql(
        database, u"REVOKE EXECUTE ON FUNCTION TextoPlegado, TextoPlegadoSinAcentos FROM PUBLIC"_qs);
    PostgresServer::shared()->letTillsIn(database);
    const auto till = rdo::rdoConnection::open(PostgresServer::shared()->tillConnectionString(database) +
                                               option(collation()));
    lookup::LookupSettings s;
    s.Empresa = 1;
    for (const QString &typed : {u"azucar"_qs, u"LECHE"_qs, u"ÑOQ"_qs, u"1000"_qs}) {
        const QString sql = lookupStatement(s, typed);
        EXPECT_EQ(rows(*till, sql), rows(*serverTill, sql)) << "typed «" << typed.toStdString();
    }
}

// The server itself refuses to write in a till's session, even through a
// statement that reads.
TEST_P(ServerLookups, SessionsAreReadOnly)
{
    PostgresServer::shared()->psql(u"tienda"_qs, u"CREATE SEQUENCE IF NOT EXISTS numerador; GRANT ALL ON numerador TO caja"_qs);
    const vb::Error error = vok::test::errorRaisedBy([&] { serverTill->OpenResultset(u"Select nextval('numerador')"_qs); });
    EXPECT_TRUE(error.description().contains(u"read-only transaction"_qs)) << error.description().toStdString();
}

// A server indexed by an earlier version, its indexes on the fold written out
// in each, is upgraded by running the script again, and again changes nothing.
TEST(IndexScript, UpgradesAServerAnEarlierVersionIndexed)
{
    PostgresServer *server = PostgresServer::shared();
    if (!server)
        GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
    const QString database = u"anterior"_qs;
    server->load(database, vok::test::generatedCatalogue(5));
    server->psql(database, u"DROP FUNCTION TextoPlegado, TextoPlegadoSinAcentos CASCADE; "
                           "CREATE INDEX IX_Articulo_NombreTrgm ON Articulo USING gin "
                           "((lower(normalize(ArtNombre, NFC) COLLATE \"und-x-icu\") COLLATE \"C\") gin_trgm_ops)"_qs);
    const QString indexes = u"SELECT string_agg(indexname, ' ' ORDER BY indexname) FROM pg_indexes "
                            "WHERE indexname IN ('ix_articulo_nombretrgm', 'ix_articulo_nombreplegadotrgm')"_qs;
    for (int run = 0; run < 2; ++run) {
        server->psqlFile(database, QStringLiteral(VOK_POSTGRES_INDEXES));
        EXPECT_EQ(server->psql(database, indexes).toStdString(), "ix_articulo_nombreplegadotrgm\n") << "run " << run;
    }
}

INSTANTIATE_TEST_SUITE_P(Collations, ServerLookups,
                         ::testing::Values(TextCollation::AccentSensitive, TextCollation::AccentInsensitive),
                         [](const auto &info) {
                             return info.param == TextCollation::AccentInsensitive ? "AccentsIgnored" : "AccentsKept";
                         });

} // namespace
