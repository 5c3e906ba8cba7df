// A shop with several tills keeps its catalogue on a database server, reached
// through the ODBC back end and psqlODBC with the statements translated on the
// way in, over verified TLS. Whatever the cashier types or searches, the server must give the
// rows the embedded back end gives for the same catalogue, in the same order.

#include "error_number.h"
#include "postgres_server.h"
#include "seasoned_catalogue.h"
#include "typed_lookup.h"

#include "catalogue.h"
#include "detail/frm_foto.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/rdo/tsql/statement_rewriter.h"
#include "search/condition_builder.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace {

using vok::test::PostgresServer;
using rdo::TextCollation;

// Names with accents in both cases, composed and decomposed, a mark written
// apart before a name, letters with two marks (Ǖ, Ệ), marks at either end of
// U+0300 to U+036F and just outside it (U+02FF and U+0370 are letters, U+1DC0
// a mark of another block), the letters that stay letters of their own when
// accents are ignored (ß, Æ, Ø), a variety's accent and a bar code's.
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
INSERT INTO ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso)
VALUES (900302, 1, 'MORENA', 1), (900304, 1, 'DE PAPÁ', 1);
INSERT INTO ArticuloCodigoBarras (ACBCodigo, ACBArticulo, ACBVariedad, ACBCantidad, ACBLargo)
VALUES ('ÁB%', 900301, 0, 1, 0);
)sql";

// What a cashier types for those names, with or without their accents.
const QStringList kTypedForAccents = {
    u"azucar"_qs, u"AZÚCAR M"_qs,  u"a\u0301zuc"_qs, u"noquis"_qs,       u"ÑOQ"_qs,   u"strasse"_qs,
    u"STRAß"_qs,  u"aeble"_qs,     u"æb"_qs,         u"ol fr"_qs,        u"ø"_qs,     u"uva"_qs,
    u"ǖ"_qs,      u"ệ uva"_qs,     u"aceite"_qs,     u"\u0301ace"_qs,    u"tea"_qs,   u"te\u036Fa"_qs,
    u"te\u0370"_qs, u"noquisde pap"_qs, u"azucar molidamor"_qs, u"ab77"_qs, u"ÁB77"_qs};

// Code points on which the server's lowering (ICU's) and the embedded back
// end's case folding (Qt's) part, accents kept or not: ſ, ς and the Greek
// letter symbols, µ, İ, the iota below, Cherokee, the Cyrillic letter forms,
// the long s with a dot.
bool foldedApart(char32_t c)
{
    static const std::vector<std::pair<char32_t, char32_t>> apart = {
        {0xB5, 0xB5},     {0x130, 0x130},   {0x17F, 0x17F},   {0x345, 0x345},   {0x3C2, 0x3C2},
        {0x3D0, 0x3D1},   {0x3D5, 0x3D6},   {0x3F0, 0x3F1},   {0x3F5, 0x3F5},   {0x13A0, 0x13FD},
        {0x1C80, 0x1C88}, {0x1E9B, 0x1E9B}};
    return std::any_of(apart.begin(), apart.end(), [c](const auto &r) { return c >= r.first && c <= r.second; });
}

// The table Letras, as statements for SQLite (char(...) takes several code
// points) or for PostgreSQL (chr(...) one), each short enough for a command
// line: every code point of the alphabets below
// U+3400 (but those folded apart), then letters followed by two marks of
// every kind, in both orders: marks of the range and outside it, marks that
// compose with the letter and marks that do not.
QStringList lettersTable(bool forSqlite)
{
    std::vector<std::vector<char32_t>> letters;
    for (char32_t c = 1; c < 0x3400; ++c)
        if (!foldedApart(c))
            letters.push_back({c});
    const char32_t bases[] = {U'a', U'A', U'e', U'I', U'o', U'n', U'C', U'u', U'y', U'S', U'ß', U'æ', U'Ø', U'ı', U'か', U' '};
    const char32_t marks[] = {0x300, 0x301, 0x302, 0x303, 0x308, 0x30A, 0x323, 0x327,
                              0x328, 0x36F, 0x370, 0x1DC0, 0x20D7, 0x483, 0x93C, 0x3099};
    for (const char32_t base : bases)
        for (const char32_t first : marks)
            for (const char32_t second : marks)
                letters.push_back({base, first, second});
    QStringList statements = {u"CREATE TABLE Letras (LetraID integer, Letra text)"_qs}, values;
    for (size_t i = 0; i < letters.size(); ++i) {
        QStringList points;
        for (const char32_t c : letters[i])
            points.append(QString::number(c));
        const QString letter = forSqlite ? u"char("_qs + points.join(u',') + u')'
                                         : u"chr("_qs + points.join(u") || chr("_qs) + u')';
        values.append(u'(' + QString::number(i) + u", "_qs + letter + u')');
        if (values.size() == 1000 || i + 1 == letters.size()) {
            statements.append(u"INSERT INTO Letras VALUES "_qs + values.join(u','));
            values.clear();
        }
    }
    return statements;
}

// The shop's catalogue seasoned with awkward rows and accents, as an SQLite
// file and on the server, and the tills of both back ends under each
// collation.
class ServerShop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!PostgresServer::shared() || server[0])
            return;
        const std::string file = folder.filePath(u"shop.db"_qs).toStdString();
        vok::catalogue::generate({.articles = 1000, .seed = 3, .output = file});
        sqlite3 *db = nullptr;
        sqlite3_open(file.c_str(), &db);
        EXPECT_EQ(sqlite3_exec(db, vok::test::kSeasoning, nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, kAccents, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        for (const QString &letters : lettersTable(true))
            EXPECT_EQ(sqlite3_exec(db, letters.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        PostgresServer::shared()->load(u"tienda"_qs, file);
        for (const QString &letters : lettersTable(false))
            PostgresServer::shared()->psql(u"tienda"_qs, letters);
        // As a till reaches it: the tills' role, over verified TLS.
        PostgresServer::shared()->letTillsIn(u"tienda"_qs);
        for (const TextCollation collation : {TextCollation::AccentSensitive, TextCollation::AccentInsensitive}) {
            const QString option = collation == TextCollation::AccentInsensitive ? u";collation=ci_ai"_qs
                                                                                  : u";collation=ci_as"_qs;
            embedded[int(collation)] = rdo::rdoConnection::open(u"sqlite:"_qs + QString::fromStdString(file) + option);
            server[int(collation)] =
                rdo::rdoConnection::open(PostgresServer::shared()->tillConnectionString(u"tienda"_qs) + option);
        }
    }
    void SetUp() override
    {
        if (!PostgresServer::shared())
            GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
        ASSERT_TRUE(server[0] && server[1]);
    }

    static inline QTemporaryDir folder;
    // By collation: accents kept, then ignored.
    static inline std::shared_ptr<rdo::rdoConnection> embedded[2], server[2];
};

class ServerLookups : public ServerShop, public ::testing::WithParamInterface<TextCollation> {
protected:
    TextCollation collation() const { return GetParam(); }
    rdo::rdoConnection &embeddedTill() const { return *embedded[int(collation())]; }
    rdo::rdoConnection &serverTill() const { return *server[int(collation())]; }

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
        const QStringList expected = canonical(embeddedTill()), got = canonical(serverTill());
        found += expected.isEmpty() ? 0 : 1;
        const auto differ = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin();
        EXPECT_TRUE(got == expected) << why.toStdString() << ": at row " << differ << " of " << expected.size() << "\n"
                                     << sql.toStdString();
    }

    int found = 0;
};

// Codes, prefixes, words, scale labels, wildcards, accents, both cases and
// quotes, with every setting that shapes the statement; then the texts aimed
// at the accents, with the name and the short name displayed.
TEST_P(ServerLookups, TypedTextsFindTheEmbeddedRowsInTheirOrder)
{
    const auto texts = [&](const char16_t *sql) {
        const QStringList found = rows(embeddedTill(), QString::fromUtf16(sql));
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
        for (const int32_t display : {0, 1}) {
            lookup::LookupSettings s;
            s.Empresa = 1;
            s.NombreADesplegar = display;
            expectSameRows(lookupStatement(s, typed), u"typed «"_qs + typed + u'»');
        }
    EXPECT_GT(found, collation() == TextCollation::AccentInsensitive ? 40 : 30);
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

// Every letter, and letters with two marks, sorted by both back ends (those
// equal under the collation by their number): each compares them alike, equal
// and in order.
TEST_P(ServerLookups, SortEveryLetterAsTheEmbeddedBackEnd)
{
    const QString sql = u"Select LetraID, Letra From Letras Order By Letra, LetraID"_qs;
    const QStringList expected = rows(embeddedTill(), sql), got = rows(serverTill(), sql);
    ASSERT_GT(expected.size(), 16000);
    const auto differ = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
    const auto points = [](const QString &row) {
        QString shown;
        for (const uint c : row.section(u'|', 1).toUcs4())
            shown += u" U+"_qs + QString::number(c, 16).toUpper();
        return row.section(u'|', 0, 0) + shown;
    };
    EXPECT_TRUE(differ.first == got.end()) << "at row " << differ.first - got.begin() << ": got «"
                                           << points(*differ.first).toStdString() << "», expected «"
                                           << points(*differ.second).toStdString() << "»";
}

// What the lookups above may not meet: a pattern read from a column, signs
// of regular expressions, unclosed and backward sets, accents and marks, with
// SQL Server's answer under each collation.
TEST_P(ServerLookups, DecideTextAsSqlServer)
{
    const struct {
        const char16_t *condition;
        bool accentsKept, accentsIgnored;
    } rules[] = {
        {u"'FMTCABEZALARTICULO' Like ParNombre", true, true},
        {u"'a+b*(c)|{d}?.\\^$' Like 'a+b*(c)|{d}?.\\^$'", true, true},
        {u"'axb' Like 'a.b'", false, false},
        {u"'a[b' Like 'a[b'", true, true},
        {u"'b' Like '[c-a]'", false, false},
        {u"'abc ' Like 'abc'", false, false},
        {u"'LECHE' Not Like 'l%'", false, false},
        {u"'é' > 'z'", true, false},
        {u"ParNombre = 'fmtcabezalARTICULO  '", true, true},
        {u"IsNull(Null, 'a') + 'b' = 'AB'", true, true},
        {u"'ÁBACO' < 'ABADÍA'", false, true},
        {u"'ñ' Like '[m-o]'", false, true},
        {u"'\u0301e' Like '_'", false, true},
        {u"'AB77' Like 'ÁB%'", false, true},
        {u"'STRASSE' = 'straße'", false, false},
        {u"'Æ' = 'AE'", false, false},
        {u"'Ø' Like 'o'", false, false},
        {u"'TE\u036FA' = 'tea'", false, true},
        {u"'TE\u0300A' = 'tea'", false, true},
        {u"'TE\u0370A' = 'tea'", false, false},
        {u"'TE\u1DC0A' = 'tea'", false, false},
        {u"'Ǖ' = 'u'", false, true},
        {u"'ǖ' = 'ü'", false, true},
    };
    const bool ignored = collation() == TextCollation::AccentInsensitive;
    for (const auto &[condition, accentsKept, accentsIgnored] : rules) {
        const QString sql = u"Select Count(*) From genParametros Where ParNombre = 'FmtCabezalArticulo' And "_qs;
        const bool holds = ignored ? accentsIgnored : accentsKept;
        EXPECT_EQ(rows(serverTill(), sql + QString::fromUtf16(condition)), QStringList(holds ? u"1"_qs : u"0"_qs))
            << QString::fromUtf16(condition).toStdString();
    }
}

// Each comparison the translation writes reads the index data/postgresql/
// indexes.sql made for its expression, under either collation: a till that
// ignores accents reads the twins.
TEST_P(ServerLookups, ComparisonsReadTheIndexScriptsIndexes)
{
    const struct {
        const char16_t *tsql;
        const char *index;
    } comparisons[] = {
        {u"Select ArtID From Articulo Where ArtNombre Like '%azucar%mol%'", "ix_articulo_nombretrgm"},
        {u"Select ArtID From Articulo Where ArtNombreCorto Like 'azu%'", "ix_articulo_nombrecortotrgm"},
        {u"Select ArtID From Articulo Where ArtCodigo Like '%77%'", "ix_articulo_codigotrgm"},
        {u"Select ArtID From Articulo Where ArtCodigo = 'AZÚ1'", "ix_articulo_codigoclave"},
        {u"Select ArtID From Articulo Where ArtNombre = 'azucar molida'", "ix_articulo_nombreclave"},
        {u"Select AVaArticulo From ArticuloVariedadNombres Where NombreYVariedad Like '%papa%'",
         "ix_articulovariedadnombres_nombretrgm"},
        {u"Select AVaArticulo From ArticuloVariedadNombres Where NombreCortoYVariedad Like '%papa%'",
         "ix_articulovariedadnombres_nombrecortotrgm"},
        {u"Select ACBArticulo From ArticuloCodigoBarras Where 'ÁB77' Like ACBCodigo", "ix_articulocodigobarras_comienzo"},
    };
    const rdo::PostgresTranslation translation({u"ArtCodigo"_qs, u"ArtNombre"_qs, u"ArtNombreCorto"_qs,
                                                u"NombreYVariedad"_qs, u"NombreCortoYVariedad"_qs, u"ACBCodigo"_qs},
                                               {}, collation());
    const QString suffix = collation() == TextCollation::AccentInsensitive ? u"sinacentos"_qs : QString();
    for (const auto &[tsql, index] : comparisons) {
        const QString plan = PostgresServer::shared()->psql(
            u"tienda"_qs, u"SET enable_seqscan = off; EXPLAIN "_qs + translation.rewrite(QString::fromUtf16(tsql)));
        const QRegularExpression named(u"\\b"_qs + QLatin1String(index) + suffix + u"\\b"_qs);
        EXPECT_TRUE(plan.contains(named)) << QString::fromUtf16(tsql).toStdString() << "\n" << plan.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Collations, ServerLookups,
                         ::testing::Values(TextCollation::AccentSensitive, TextCollation::AccentInsensitive),
                         [](const auto &info) {
                             return info.param == TextCollation::AccentInsensitive ? "AccentsIgnored" : "AccentsKept";
                         });

// The back office writes the server while a till runs: the till's next
// lookup finds articles and varieties by their new names, as the embedded back
// end finds them in a file written alike, the server's joined names of the
// varieties following every write (data/postgresql/indexes.sql).
TEST_F(ServerShop, WritesOfAnotherProgramReachTheNextLookup)
{
    const QString file = folder.filePath(u"written.db"_qs);
    ASSERT_TRUE(QFile::copy(folder.filePath(u"shop.db"_qs), file));
    PostgresServer::shared()->load(u"escrita"_qs, file.toStdString());
    const auto till = rdo::rdoConnection::open(PostgresServer::shared()->connectionString(u"escrita"_qs));
    const QString article = rows(*embedded[0], u"Select Min(AVaArticulo) From ArticuloVariedad"_qs).value(0);
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
    int found = 0;
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
TEST_F(ServerShop, SessionsAreReadOnly)
{
    PostgresServer::shared()->psql(u"tienda"_qs, u"CREATE SEQUENCE numerador; GRANT ALL ON numerador TO caja"_qs);
    const vb::Error error = vok::test::errorRaisedBy([] { server[0]->OpenResultset(u"Select nextval('numerador')"_qs); });
    EXPECT_TRUE(error.description().contains(u"read-only transaction"_qs)) << error.description().toStdString();
}

} // namespace
