// A shop with several tills keeps its catalogue on a database server. The
// control writes its statements for SQL Server; through the ODBC back end and
// psqlODBC they reach a PostgreSQL server translated on the way in. Whatever
// the cashier types, the server must give the rows the embedded back end gives
// for the same catalogue, in the same order: both run here side by side.

#include "postgres_server.h"
#include "seasoned_catalogue.h"
#include "typed_lookup.h"

#include "catalogue.h"
#include "detail/frm_foto.h"
#include "lookup/statements.h"
#include "platform/rdo/rdo.h"
#include "platform/rdo/tsql/sqlserver_text.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "search/condition_builder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTemporaryDir>

#include <algorithm>

namespace {

using vok::test::PostgresServer;

// One seasoned catalogue for the program, as an SQLite file and on the server.
struct Shop {
    QTemporaryDir folder;
    vok::test::CatalogueTexts texts;
    std::shared_ptr<rdo::rdoConnection> embedded, server;
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

Shop *shop()
{
    static std::unique_ptr<Shop> made;
    if (made || !PostgresServer::shared())
        return made.get();
    made = std::make_unique<Shop>();
    vok::catalogue::Options options;
    options.articles = 1000;
    options.seed = 3;
    options.output = made->folder.filePath(u"shop.db"_qs).toStdString();
    vok::catalogue::generate(options);
    sqlite3 *db = nullptr;
    sqlite3_open(options.output.c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, vok::test::kSeasoning, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    made->texts = {column(db, "Select ArtCodigo From Articulo Order By ArtID"),
                   column(db, "Select ArtNombre From Articulo Order By ArtID"),
                   column(db, "Select ACBCodigo From ArticuloCodigoBarras Order By ACBArticulo, ACBCodigo")};
    sqlite3_close(db);
    PostgresServer::shared()->load(u"tienda"_qs, options.output);
    made->embedded = rdo::rdoConnection::open(u"sqlite:"_qs + QString::fromStdString(options.output));
    made->server = rdo::rdoConnection::open(PostgresServer::shared()->connectionString(u"tienda"_qs));
    return made.get();
}

// The rows of a statement, each as one text. Rows whose sort columns are
// equal under SQL Server's comparison may come in any order on any server:
// within such a run they are put in the order of their texts.
QStringList rowsInOrder(rdo::rdoConnection &connection, const QString &sql, const QStringList &sortedBy)
{
    std::vector<std::pair<QString, QString>> keyed; // (sort key, row)
    const auto set = connection.OpenResultset(sql);
    for (; !set->Eof(); set->MoveNext()) {
        QStringList row, key;
        const rdo::rdoColumns &columns = set->rdoColumns();
        for (int32_t i = 0; i < columns.Count(); ++i) {
            const vb::Variant &v = columns.Item(i).Value();
            row.append(v.isNull() ? u"<null>"_qs : vb::CStr(v));
        }
        for (const QString &name : sortedBy) {
            const vb::Variant &v = columns.Item(name).Value();
            key.append(v.isNull() ? u"<null>"_qs : rdo::sqlServerKey(vb::CStr(v)));
        }
        keyed.emplace_back(key.join(QChar(1)), row.join(u'|'));
    }
    set->Close();
    for (auto run = keyed.begin(); run != keyed.end();) {
        const auto end = std::find_if(run, keyed.end(), [&](const auto &r) { return r.first != run->first; });
        std::sort(run, end);
        run = end;
    }
    QStringList out;
    for (const auto &[key, row] : keyed)
        out.append(row);
    return out;
}

std::string firstDifference(const QStringList &got, const QStringList &expected)
{
    qsizetype i = 0;
    while (i < got.size() && i < expected.size() && got[i] == expected[i])
        ++i;
    return "at row " + std::to_string(i) + " of " + std::to_string(expected.size()) + " (server " +
           std::to_string(got.size()) + "): got «" + got.value(i).toStdString() + "», expected «" +
           expected.value(i).toStdString() + "»\n";
}

class ServerLookups : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PostgresServer::shared())
            GTEST_SKIP() << "PostgreSQL 15 is not installed (scripts/bootstrap installs it)";
        s = shop();
        ASSERT_TRUE(s && s->server);
    }
    // Whether both back ends give the statement's rows alike; counts the
    // statements that found rows.
    void expectSameRows(const QString &sql, const QString &why, const QStringList &sortedBy)
    {
        const QStringList expected = rowsInOrder(*s->embedded, sql, sortedBy);
        const QStringList got = rowsInOrder(*s->server, sql, sortedBy);
        found += expected.isEmpty() ? 0 : 1;
        EXPECT_TRUE(got == expected) << why.toStdString() << " " << firstDifference(got, expected)
                                     << sql.toStdString();
    }
    Shop *s = nullptr;
    int found = 0;
};

const QStringList kListOrder = {u"NombreArt"_qs, u"ArtCodigo"_qs};

// Codes, prefixes, words, scale labels, wildcards, accents, both cases and
// quotes, with every setting that shapes the statement.
TEST_F(ServerLookups, TypedTextsFindTheEmbeddedRowsInTheirOrder)
{
    vok::test::Typist typist(s->texts, 3);
    constexpr int kLookups = 120;
    for (int i = 0; i < kLookups; ++i) {
        lookup::LookupSettings settings;
        const bool aimed = typist.aiming();
        settings.NombreADesplegar = aimed ? typist.aimedDisplay() : static_cast<int32_t>(typist.pick(2));
        settings.FormatoLista = static_cast<uint8_t>(typist.pick(4));
        settings.mintTipoPrecio = static_cast<int16_t>(typist.pick(3));
        settings.Empresa = static_cast<int16_t>(aimed ? 1 : 1 + typist.pick(2));
        settings.EnVentaObligatorio = static_cast<uint8_t>(typist.pick(2));
        settings.EnUsoObligatorio = static_cast<uint8_t>(typist.pick(2));
        settings.OmitirVariedad = !aimed && typist.pick(4) == 0;
        const QString typed = typist.next();
        expectSameRows(lookupStatement(settings, typed), u"typed «"_qs + typed + u'»', kListOrder);
        if (HasFailure())
            return;
    }
    EXPECT_GT(found, kLookups / 2);
}

// The search dialog's conditions, in the list's statement and in the
// dialog's own check, and the detail view's statement.
TEST_F(ServerLookups, SearchConditionsAndTheDetailFindTheEmbeddedRows)
{
    const QStringList texts = {u"leche"_qs, u"LECHE FRESCA"_qs, u"ñandú"_qs, u"NANDU"_qs, u"taza"_qs,
                               u"e\u0301xito total"_qs, u"[X]"_qs, u"o'brien"_qs, u"caja_x"_qs, u""_qs};
    lookup::LookupSettings settings;
    settings.Empresa = 1;
    for (const QString &text : texts) {
        for (int32_t campo = 0; campo <= search::kCampoTodos; ++campo) {
            for (int32_t tipo = 1; tipo <= 3; ++tipo) {
                search::Criterios c;
                c.txtTexto = QString(text).remove(u'\'');
                c.cmbCampo = campo;
                c.cmbTipo = tipo;
                c.cmbEnUso = 1 + (campo + tipo) % 3;
                c.cmbEnVenta = 1 + campo % 3;
                c.cmbCB = 1 + tipo % 3;
                const QString condition = search::ArmarCondicion(c);
                const QString why = QStringLiteral("«%1» field %2 kind %3").arg(text).arg(campo).arg(tipo);
                expectSameRows(lookup::SelectDeCondicion(settings, condition), why, kListOrder);
                expectSameRows(lookup::SelectBaseBusqueda(settings) + u" And "_qs + condition, why, {});
            }
        }
    }
    for (const auto &[article, variety] : {std::pair{1, 0}, {57, 0}, {900001, 0}, {900005, 1}, {900005, 2},
                                           {900003, 1}, {900027, 0}, {123456, 0}})
        expectSameRows(detail::frmFoto::SQLDetalle(article, static_cast<int16_t>(variety)),
                       QStringLiteral("detail of %1/%2").arg(article).arg(variety), {});
    EXPECT_GT(found, 100);
}

// SQL Server's rules for text on their own, one condition per row, with
// SQL Server's answer.
TEST_F(ServerLookups, DecideTextAsSqlServer)
{
    const struct {
        const char *name;
        const char16_t *condition;
        bool holds;
    } rules[] = {
        {"LikeFoldsEveryLetter", u"'ÑANDÚ ÉXITO' Like 'ñandú%éxito'", true},
        {"LikeKeepsAccents", u"'nandu' Like 'ñandú'", false},
        {"LikeComposes", u"N'e\u0301xito' Like 'éx%'", true},
        {"LikeSets", u"'b7' Like '[abc][0-9]'", true},
        {"LikeRangesFolded", u"'D' Like '[a-f]'", true},
        {"LikeNegatedSet", u"'x' Like '[^x]'", false},
        {"LikeUnderscoreIsOneLetter", u"'ab' Like 'a_'", true},
        {"LikeTrailingBlankOfTheText", u"'abc ' Like 'abc'", false},
        {"LikePercentTakesBlanks", u"'abc  ' Like 'abc%'", true},
        {"LikeRegexSignsAreLetters", u"'a+b*(c)|{d}?.\\^$' Like 'a+b*(c)|{d}?.\\^$'", true},
        {"LikeDotIsNoWildcard", u"'axb' Like 'a.b'", false},
        {"LikeUnclosedBracketIsItself", u"'a[b' Like 'a[b'", true},
        {"LikeWildcardInASetIsItself", u"'x%' Like 'x[%]'", true},
        {"LikeWildcardInASetIsNoWildcard", u"'xy' Like 'x[%]'", false},
        {"LikeBackwardRangeHoldsNothing", u"'b' Like '[c-a]'", false},
        {"LikeNegatedBackwardRange", u"'b' Like '[^c-a]'", true},
        {"LikeSetOfSigns", u"'-' Like '[(-)*+-]'", true},
        {"LikeColumnPattern", u"'FMTCABEZALARTICULO' Like ParNombre", true},
        {"NotLike", u"'LECHE' Not Like 'l%'", false},
        {"EqualsIgnoresCaseAndTrailingBlanks", u"ParNombre = 'fmtcabezalARTICULO  '", true},
        {"EqualsFoldsEveryLetter", u"'ñandú  ' = 'ÑANDÚ'", true},
        {"EqualsKeepsAccents", u"'nandu' = 'ñandú'", false},
        {"EqualsKeepsLeadingBlanks", u"' abc' = 'abc'", false},
        {"OrdersByCodePoint", u"'é' > 'z'", true},
        {"OrdersCaseless", u"'B' > 'a'", true},
        {"IsNullAndPlus", u"IsNull(Null, 'a') + 'b' = 'AB'", true},
        {"TrueCondition", u"True", true},
    };
    for (const auto &rule : rules) {
        const QString condition = QString::fromUtf16(rule.condition);
        const auto set = s->server->OpenResultset(
            u"Select Count(*) From genParametros Where ParNombre = 'FmtCabezalArticulo' And "_qs + condition);
        EXPECT_EQ(vb::CStr(set->rdoColumns().Item(0).Value()), rule.holds ? u"1"_qs : u"0"_qs)
            << rule.name << ": " << condition.toStdString();
    }
}

// The server itself refuses to write in the tills' sessions, even through a
// statement that reads.
TEST_F(ServerLookups, SessionsAreReadOnly)
{
    PostgresServer::shared()->psql(u"tienda"_qs, u"CREATE SEQUENCE IF NOT EXISTS numerador"_qs);
    try {
        s->server->OpenResultset(u"Select nextval('numerador')"_qs)->Close();
        ADD_FAILURE() << "the sequence moved";
    } catch (const vb::Error &error) {
        EXPECT_TRUE(error.description().contains(u"read-only transaction"_qs)) << error.description().toStdString();
    }
}

} // namespace
