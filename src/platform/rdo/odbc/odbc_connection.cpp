#include "platform/rdo/odbc/odbc_connection.h"

#include "platform/rdo/connection_string.h"
#include "platform/rdo/forward_resultset.h"

#include "platform/vb/error.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QHash>

#include <limits>

namespace rdo {

namespace {

const QString kSource = QStringLiteral("ODBC");

// SQLWCHAR is UTF-16 with the unixODBC driver manager.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

SQLWCHAR *wide(const QString &text)
{
    return reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(reinterpret_cast<const char16_t *>(text.utf16())));
}

// The first diagnostic record of a handle as the platform's error: the
// driver's native error number and its message. Messages of the driver manager
// itself carry no native number; they get this layer's DriverError.
vb::Error diagnostic(SQLSMALLINT handleType, SQLHANDLE handle, const QString &fallback)
{
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[1024] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN got =
        SQLGetDiagRecW(handleType, handle, 1, state, &native, message, SQLSMALLINT(std::size(message)), &length);
    if (!SQL_SUCCEEDED(got))
        return vb::Error(err::DriverError, fallback, kSource);
    const auto chars = std::min<qsizetype>(length, qsizetype(std::size(message)) - 1);
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(message), chars);
    if (native == 0)
        return vb::Error(err::DriverError,
                         text + QStringLiteral(" (SQLSTATE ") +
                             QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5) + u')',
                         kSource);
    return vb::Error(native, text, kSource);
}

bool isTextType(SQLSMALLINT type)
{
    switch (type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return true;
    default:
        return false;
    }
}

} // namespace

struct OdbcConnection::Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    ~Handles()
    {
        if (connected)
            SQLDisconnect(dbc);
        if (dbc != SQL_NULL_HDBC)
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

namespace {

struct Statement {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    explicit Statement(SQLHDBC dbc)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)))
            throw diagnostic(SQL_HANDLE_DBC, dbc, QStringLiteral("Cannot allocate a statement"));
    }
    ~Statement() { release(); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    void release()
    {
        if (stmt != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        stmt = SQL_NULL_HSTMT;
    }
    vb::Error error(const QString &fallback) const { return diagnostic(SQL_HANDLE_STMT, stmt, fallback); }
};

QString textData(SQLHSTMT stmt, SQLUSMALLINT column, bool &isNull)
{
    QString text;
    SQLWCHAR buffer[512];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN got = SQLGetData(stmt, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (got == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(got))
            throw diagnostic(SQL_HANDLE_STMT, stmt, QStringLiteral("Cannot read a column"));
        if (indicator == SQL_NULL_DATA) {
            isNull = true;
            return {};
        }
        // A part that did not fit fills the buffer but for its terminator.
        const qsizetype capacity = qsizetype(std::size(buffer)) - 1;
        const qsizetype chars = (indicator == SQL_NO_TOTAL || indicator / qsizetype(sizeof(SQLWCHAR)) > capacity)
                                    ? capacity
                                    : indicator / qsizetype(sizeof(SQLWCHAR));
        text.append(QStringView(reinterpret_cast<const char16_t *>(buffer), chars));
        if (got == SQL_SUCCESS)
            break;
    }
    isNull = false;
    return text;
}

template <typename T> bool fixedData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, T &value)
{
    SQLLEN indicator = 0;
    const SQLRETURN got = SQLGetData(stmt, column, cType, &value, sizeof value, &indicator);
    if (!SQL_SUCCEEDED(got))
        throw diagnostic(SQL_HANDLE_STMT, stmt, QStringLiteral("Cannot read a column"));
    return indicator != SQL_NULL_DATA;
}

// A column of the current row as the platform's data objects give it.
vb::Variant columnValue(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type)
{
    switch (type) {
    case SQL_BIT: {
        unsigned char v = 0;
        return fixedData(stmt, column, SQL_C_BIT, v) ? vb::Variant(v != 0) : vb::Variant::null();
    }
    case SQL_TINYINT: {
        unsigned char v = 0;
        return fixedData(stmt, column, SQL_C_UTINYINT, v) ? vb::Variant(uint8_t(v)) : vb::Variant::null();
    }
    case SQL_SMALLINT: {
        SQLSMALLINT v = 0;
        return fixedData(stmt, column, SQL_C_SSHORT, v) ? vb::Variant(int16_t(v)) : vb::Variant::null();
    }
    case SQL_INTEGER:
    case SQL_BIGINT: {
        SQLBIGINT v = 0;
        if (!fixedData(stmt, column, SQL_C_SBIGINT, v))
            return vb::Variant::null();
        if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
            return int32_t(v);
        return double(v);
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL: {
        double v = 0;
        return fixedData(stmt, column, SQL_C_DOUBLE, v) ? vb::Variant(v) : vb::Variant::null();
    }
    default: {
        bool isNull = false;
        QString text = textData(stmt, column, isNull);
        return isNull ? vb::Variant::null() : vb::Variant(std::move(text));
    }
    }
}

class OdbcResultset final : public ForwardResultset {
public:
    OdbcResultset(std::shared_ptr<OdbcConnection::Handles> handles, std::unique_ptr<Statement> statement)
        : ForwardResultset(kSource), m_handles(std::move(handles)), m_statement(std::move(statement))
    {
        SQLSMALLINT count = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(m_statement->stmt, &count)))
            throw m_statement->error(QStringLiteral("Cannot describe the result"));
        for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
            SQLWCHAR name[256] = {};
            SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            if (!SQL_SUCCEEDED(SQLDescribeColW(m_statement->stmt, c, name, SQLSMALLINT(std::size(name)), &length,
                                               &type, &size, &digits, &nullable)))
                throw m_statement->error(QStringLiteral("Cannot describe the result"));
            m_names.append(QString::fromUtf16(reinterpret_cast<const char16_t *>(name),
                                              std::min<qsizetype>(length, qsizetype(std::size(name)) - 1)));
            m_types.push_back(type);
        }
        advance();
    }

private:
    bool readRow(std::vector<rdoColumn> &row) override
    {
        if (m_names.isEmpty())
            return false;
        const SQLRETURN fetched = SQLFetch(m_statement->stmt);
        if (fetched == SQL_NO_DATA)
            return false;
        if (!SQL_SUCCEEDED(fetched))
            throw m_statement->error(QStringLiteral("Cannot fetch a row"));
        row.reserve(m_types.size());
        for (SQLUSMALLINT c = 0; c < m_types.size(); ++c)
            row.emplace_back(m_names[c], columnValue(m_statement->stmt, SQLUSMALLINT(c + 1), m_types[c]));
        return true;
    }
    bool isOpen() const override { return m_statement != nullptr; }
    void release() override { m_statement.reset(); }

    std::shared_ptr<OdbcConnection::Handles> m_handles;
    std::unique_ptr<Statement> m_statement;
    QStringList m_names;
    std::vector<SQLSMALLINT> m_types;
};

// The data source's columns: which hold text, for the translation's '+'
// between columns, and the type of each, by the driver's name of it.
struct Columns {
    QStringList text;
    QHash<QString, QString> types;
};

Columns readColumns(SQLHDBC dbc)
{
    Statement statement(dbc);
    const QString all = QStringLiteral("%");
    if (!SQL_SUCCEEDED(SQLColumnsW(statement.stmt, nullptr, 0, nullptr, 0, wide(all), SQL_NTS, nullptr, 0)))
        throw statement.error(QStringLiteral("Cannot read the columns of the data source"));
    Columns columns;
    while (SQL_SUCCEEDED(SQLFetch(statement.stmt))) {
        bool nameNull = false, typeNameNull = false;
        const QString name = textData(statement.stmt, 4, nameNull);
        SQLSMALLINT type = 0;
        fixedData(statement.stmt, 5, SQL_C_SSHORT, type);
        const QString typeName = textData(statement.stmt, 6, typeNameNull);
        if (nameNull)
            continue;
        const QString upper = typeName.toUpper();
        if (isTextType(type) || upper.contains(u"CHAR") || upper.contains(u"TEXT") || upper.contains(u"CLOB"))
            columns.text.append(name);
        if (!typeNameNull)
            columns.types.insert(name, typeName);
    }
    columns.text.removeDuplicates();
    return columns;
}

// Whether the server has the functions data/postgresql/indexes.sql folds text
// with, and indexes it through, and the till may call them (a server whose
// functions are not everyone's to call, say).
bool foldsText(SQLHDBC dbc)
{
    Statement statement(dbc);
    const QString asked = QStringLiteral(
        "SELECT CASE WHEN to_regprocedure('TextoPlegado(text)') IS NULL OR "
        "to_regprocedure('TextoPlegadoSinAcentos(text)') IS NULL THEN 0 "
        "WHEN has_function_privilege('TextoPlegado(text)', 'EXECUTE') AND "
        "has_function_privilege('TextoPlegadoSinAcentos(text)', 'EXECUTE') THEN 1 ELSE 0 END");
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.stmt, wide(asked), SQL_NTS)))
        throw statement.error(QStringLiteral("Cannot read the functions of the data source"));
    SQLINTEGER folds = 0;
    if (!SQL_SUCCEEDED(SQLFetch(statement.stmt)) || !fixedData(statement.stmt, 1, SQL_C_SLONG, folds))
        throw statement.error(QStringLiteral("Cannot read the functions of the data source"));
    return folds == 1;
}

} // namespace

OdbcConnectionString parseOdbcConnectionString(const QString &connectionString)
{
    QStringView rest(connectionString);
    if (rest.startsWith(u"odbc:", Qt::CaseInsensitive))
        rest = rest.mid(5);
    QStringList kept;
    OdbcConnectionString result;
    bool collationGiven = false;
    for (const ConnectionAttribute &attribute : splitConnectionAttributes(rest)) {
        if (attribute.hasValue && attribute.key.compare(u"collation", Qt::CaseInsensitive) == 0) {
            result.collation = collationNamed(attribute.value, connectionString);
            collationGiven = true;
            continue;
        }
        if (attribute.hasValue && attribute.key.compare(u"translate", Qt::CaseInsensitive) == 0) {
            result.translateForSqlite = attribute.value.compare(u"sqlite", Qt::CaseInsensitive) == 0;
            result.translateForPostgres = attribute.value.compare(u"postgresql", Qt::CaseInsensitive) == 0;
            if (!result.translateForSqlite && !result.translateForPostgres)
                throw vb::Error(err::UnknownConnectionString,
                                QStringLiteral("Unknown translation \"%1\" in the connection string; the known ones "
                                               "are translate=sqlite and translate=postgresql")
                                    .arg(withoutPasswords(attribute.value.toString(), connectionString)),
                                kSource);
            continue;
        }
        if (!attribute.text.trimmed().isEmpty())
            kept.append(attribute.text.toString());
    }
    if (collationGiven && !result.translateForPostgres)
        // The SQLite ODBC driver's SQLite folds ASCII letters only, and a
        // server reached without translation compares by its own collation:
        // neither can be told to ignore accents from here.
        throw vb::Error(err::UnknownConnectionString,
                        QStringLiteral("The collation option of an ODBC connection string needs translate=postgresql; "
                                       "without it text compares as the data source compares it"),
                        kSource);
    if (result.translateForPostgres) {
        // psqlODBC's logs (Debian registers the driver with CommLog=1) go to
        // /tmp readable by every user, with the password the driver was given
        // in clear: they stay off, whatever the string or the data source says.
        kept.removeIf([](const QString &attribute) {
            const QString key = attribute.section(u'=', 0, 0).trimmed();
            return QStringList{u"CommLog"_qs, u"B3"_qs, u"Debug"_qs, u"B2"_qs}.contains(key, Qt::CaseInsensitive);
        });
        // In front: an unclosed brace at the end would take them into its value.
        kept.prepend(u"Debug=0"_qs);
        kept.prepend(u"CommLog=0"_qs);
    }
    result.driverString = kept.join(u';');
    return result;
}

bool beginsWithSelect(const QString &tsql)
{
    static const QStringList writing = {
        u"INTO"_qs,   u"INSERT"_qs, u"UPDATE"_qs, u"DELETE"_qs,   u"MERGE"_qs,   u"EXEC"_qs,    u"EXECUTE"_qs,
        u"DROP"_qs,   u"CREATE"_qs, u"ALTER"_qs,  u"TRUNCATE"_qs, u"GRANT"_qs,   u"REVOKE"_qs,  u"DENY"_qs,
        u"BACKUP"_qs, u"RESTORE"_qs, u"DBCC"_qs,  u"ATTACH"_qs,   u"DETACH"_qs,  u"PRAGMA"_qs,  u"REPLACE"_qs,
        u"VACUUM"_qs, u"REINDEX"_qs, u"ANALYZE"_qs, u"SHUTDOWN"_qs, u"KILL"_qs};
    bool first = true;
    for (const TsqlToken &token : tokenizeTsql(tsql)) {
        if (token.kind == TsqlToken::Blank || token.kind == TsqlToken::Comment ||
            (first && token.kind == TsqlToken::Punctuation && token.text == u"("))
            continue;
        if (first) {
            if (token.kind != TsqlToken::Word || (token.text.compare(u"SELECT", Qt::CaseInsensitive) != 0 &&
                                                  token.text.compare(u"WITH", Qt::CaseInsensitive) != 0))
                return false;
            first = false;
            continue;
        }
        // REPLACE is also a text function: only a call of it is reading.
        if (token.kind == TsqlToken::Word && writing.contains(token.text, Qt::CaseInsensitive) &&
            token.text.compare(u"REPLACE", Qt::CaseInsensitive) != 0)
            return false;
    }
    return !first;
}

OdbcConnection::OdbcConnection(std::shared_ptr<Handles> handles, QString connect, bool readOnlyAccepted,
                               std::shared_ptr<const StatementRewriter> rewriter)
    : m_handles(std::move(handles)), m_connect(std::move(connect)), m_readOnlyAccepted(readOnlyAccepted),
      m_rewriter(std::move(rewriter))
{
}

namespace {

// A session with the data source, read-only as far as the driver allows;
// readOnlyAccepted tells whether it does.
std::shared_ptr<OdbcConnection::Handles> connectSession(const OdbcConnectionString &parsed, bool &readOnlyAccepted)
{
    auto handles = std::make_shared<OdbcConnection::Handles>();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handles->env)))
        throw vb::Error(err::DriverError, QStringLiteral("Cannot allocate an ODBC environment"), kSource);
    SQLSetEnvAttr(handles->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, handles->env, &handles->dbc)))
        throw diagnostic(SQL_HANDLE_ENV, handles->env, QStringLiteral("Cannot allocate an ODBC connection"));

    // Read-only access, asked before connecting so that the driver can open
    // the data source that way; a driver may ignore it, so it is asked again
    // afterwards and its answer kept.
    const auto readOnly = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY));
    SQLSetConnectAttrW(handles->dbc, SQL_ATTR_ACCESS_MODE, readOnly, 0);

    QString driverString = parsed.driverString;
    const SQLRETURN connected = SQLDriverConnectW(handles->dbc, nullptr, wide(driverString), SQL_NTS, nullptr, 0,
                                                  nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(connected))
        throw diagnostic(SQL_HANDLE_DBC, handles->dbc, QStringLiteral("Cannot connect"));
    handles->connected = true;
    readOnlyAccepted = SQL_SUCCEEDED(SQLSetConnectAttrW(handles->dbc, SQL_ATTR_ACCESS_MODE, readOnly, 0));
    SQLULEN mode = SQL_MODE_READ_WRITE;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(handles->dbc, SQL_ATTR_ACCESS_MODE, &mode, 0, nullptr)))
        readOnlyAccepted = readOnlyAccepted && mode == SQL_MODE_READ_ONLY;

    if (parsed.translateForPostgres) {
        // psqlODBC takes the access mode and ignores it: the server itself
        // refuses to write in a read-only session, whatever the statement.
        const auto set = [&](const QString &setting, const QString &failure) {
            Statement statement(handles->dbc);
            if (!SQL_SUCCEEDED(SQLExecDirectW(statement.stmt, wide(setting), SQL_NTS)))
                throw statement.error(failure);
        };
        set(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"),
            QStringLiteral("Cannot make the session read-only"));
        readOnlyAccepted = true;
        // A till's lookups read a few rows through indexes: starting
        // parallel workers for them costs more than the reading, and on a
        // server that several tills share each till's workers take the
        // others' processors.
        set(QStringLiteral("SET max_parallel_workers_per_gather = 0"), QStringLiteral("Cannot set how the session plans"));
        // Nor is compiling a lookup's expressions worth it: the server
        // compiles any statement it expects to be costly, a list of thousands
        // of names among them, and the compiling took 90 to 140 ms of each
        // such lookup, more than reading its rows.
        set(QStringLiteral("SET jit = off"), QStringLiteral("Cannot set how the session plans"));
        // The tables a till reads stay in the server's memory, where a row
        // read through an index costs little more than the next row of the
        // table. At the server's default cost, meant for disks that seek, a
        // word found in thousands of names had their prices and stock joined
        // by hashing every price and stock row of the shop, not by looking
        // each article's up: at 1M articles, half the lookup.
        set(QStringLiteral("SET random_page_cost = 1.1"), QStringLiteral("Cannot set how the session plans"));
        // A lookup joins each article with its unit, brand, price, currency
        // and stock, in four branches: weighing every join of them in every
        // sorted order a merge would want took a third of its planning, the
        // larger part of an exact code's time on the server. Its few rows are
        // joined through indexes, a long list's by hashing the smaller side.
        set(QStringLiteral("SET enable_mergejoin = off"), QStringLiteral("Cannot set how the session plans"));
    }
    return handles;
}

OdbcNarrowingMaker &registeredNarrowing()
{
    static OdbcNarrowingMaker maker;
    return maker;
}

bool isDead(SQLHDBC dbc)
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(SQLGetConnectAttrW(dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE;
}

} // namespace

std::shared_ptr<OdbcConnection> OdbcConnection::open(const QString &connectionString)
{
    const OdbcConnectionString parsed = parseOdbcConnectionString(connectionString);
    bool readOnlyAccepted = false;
    auto handles = connectSession(parsed, readOnlyAccepted);
    std::shared_ptr<const StatementRewriter> rewriter;
    if (parsed.translateForPostgres) {
        const Columns columns = readColumns(handles->dbc);
        rewriter = std::make_shared<PostgresTranslation>(columns.text, columns.types, parsed.collation,
                                                         foldsText(handles->dbc));
    } else if (parsed.translateForSqlite) {
        // The driver's own SQLite has neither SQL Server's LIKE nor its collation.
        rewriter = std::make_shared<SqliteTranslation>(readColumns(handles->dbc).text, false);
    } else {
        rewriter = std::make_shared<VerbatimStatements>();
    }
    auto connection = std::make_shared<OdbcConnection>(std::move(handles), connectionString, readOnlyAccepted,
                                                       std::move(rewriter));
    if (const OdbcNarrowingMaker &narrowing = registeredNarrowing())
        connection->m_narrowing = narrowing(*connection);
    return connection;
}

void registerOdbcNarrowing(OdbcNarrowingMaker maker)
{
    registeredNarrowing() = std::move(maker);
}

std::shared_ptr<rdoResultset> OdbcConnection::OpenResultset(const QString &sql, int16_t, int16_t)
{
    if (holdsSeveralStatements(sql))
        throw vb::Error(err::SeveralStatements,
                        QStringLiteral("The statement text holds more than one statement; one is run per call"),
                        kSource);
    if (!beginsWithSelect(sql))
        throw vb::Error(err::NotReadOnly, QStringLiteral("Only statements that read are run on this connection"),
                        kSource);
    const QString text = m_rewriter->rewrite(m_narrowing ? m_narrowing(sql) : sql);
    for (bool again = true;; again = false) {
        auto statement = std::make_unique<Statement>(m_handles->dbc);
        const SQLRETURN executed = SQLExecDirectW(statement->stmt, wide(text), SQL_NTS);
        if (SQL_SUCCEEDED(executed) || executed == SQL_NO_DATA)
            return std::make_shared<OdbcResultset>(m_handles, std::move(statement));
        const vb::Error failed = statement->error(QStringLiteral("The statement failed"));
        // A server that restarted, or a network that came back, left this
        // session dead: the till opens another and runs the statement there
        // once, instead of failing every lookup until it is restarted. Result
        // sets still open keep the dead one.
        if (!again || !isDead(m_handles->dbc))
            throw failed;
        // The statement belongs to the dead session: it goes before the
        // session does, or the driver manager frees it from a freed session.
        statement.reset();
        try {
            bool readOnly = false;
            m_handles = connectSession(parseOdbcConnectionString(m_connect), readOnly);
        } catch (const vb::Error &) {
            throw failed;
        }
    }
}

} // namespace rdo
