#include "platform/rdo/sqlite/sqlite_connection.h"

#include "platform/rdo/connection_string.h"
#include "platform/rdo/forward_resultset.h"
#include "platform/rdo/sqlite/merged_resultset.h"
#include "platform/rdo/sqlite/sqlite_internals.h"
#include "platform/rdo/sqlite/sqlite_plans.h"

#include "platform/rdo/tsql/sqlserver_text.h"

#include <limits>
#include <optional>
#include <string>

namespace rdo {

namespace {

// The pages a connection keeps: lookups read index pages here and there in a
// large file.
constexpr int kPageCacheBytes = 8 * 1024 * 1024;

QString utf8(const unsigned char *text, int bytes)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(text), bytes);
}

void likeFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    // like(X, Y) is "Y LIKE X": the pattern comes first.
    const std::string_view text = utf8Bytes(argv[1]);
    const auto collation = *static_cast<const TextCollation *>(sqlite3_user_data(context));
    if (const auto matched = withKeptLikePattern(
            context, argv, 0, [&](const SqlServerLikePattern &pattern) { return pattern.matchesUtf8(text); },
            collation))
        sqlite3_result_int(context, *matched ? 1 : 0);
}

int serverCollation(void *collation, int lengthA, const void *a, int lengthB, const void *b)
{
    return sqlServerCompareUtf8({static_cast<const char *>(a), static_cast<size_t>(lengthA)},
                                {static_cast<const char *>(b), static_cast<size_t>(lengthB)},
                                *static_cast<const TextCollation *>(collation));
}

// What the SQL functions are handed to know their collation: one constant of
// each, which outlives every connection.
void *collationArgument(TextCollation collation)
{
    static const TextCollation kept = TextCollation::AccentSensitive, ignored = TextCollation::AccentInsensitive;
    return const_cast<TextCollation *>(collation == TextCollation::AccentInsensitive ? &ignored : &kept);
}

// Statements a read-only connection may run: reading, the functions it calls,
// and the pragmas that only tell of the file (its indexes and columns,
// whether another connection has written), without setting anything.
int readOnlyAuthorizer(void *, int action, const char *name, const char *, const char *, const char *)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_PRAGMA:
        for (const char *telling : {"index_list", "index_xinfo", "table_info", "data_version"})
            if (name && qstricmp(name, telling) == 0)
                return SQLITE_OK;
        return SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

bool declaredText(const QString &declared)
{
    // SQLite's own rule for text affinity.
    const QString upper = declared.toUpper();
    return upper.contains(u"CHAR") || upper.contains(u"CLOB") || upper.contains(u"TEXT");
}

vb::Variant integerValue(sqlite3_int64 value)
{
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
        return static_cast<int32_t>(value);
    return static_cast<double>(value);
}

QStringList readTextColumns(sqlite3 *db)
{
    QStringList columns;
    sqlite3_stmt *stmt = nullptr;
    const char *sql = "SELECT DISTINCT c.name, c.type FROM sqlite_master AS m, pragma_table_info(m.name) AS c "
                      "WHERE m.type IN ('table', 'view')";
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw engineError(db);
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        const QString type = utf8(sqlite3_column_text(stmt, 1), sqlite3_column_bytes(stmt, 1));
        if (declaredText(type))
            columns.append(utf8(sqlite3_column_text(stmt, 0), sqlite3_column_bytes(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    if (step != SQLITE_DONE)
        throw engineError(db);
    columns.removeDuplicates();
    return columns;
}

} // namespace

vb::Error engineError(sqlite3 *db, const QString &context)
{
    const int code = sqlite3_extended_errcode(db);
    QString message = QString::fromUtf8(sqlite3_errmsg(db));
    if ((code & 0xff) == SQLITE_AUTH)
        message += QStringLiteral(" (the connection is read-only)");
    if (!context.isEmpty())
        message += QStringLiteral(": ") + context;
    return vb::Error(code, message, kSqliteSource);
}

DeclaredAs declaredAs(const char *declaredType)
{
    if (!declaredType)
        return DeclaredAs::Nothing;
    const QString declared = QString::fromUtf8(declaredType).toUpper();
    if (declaredText(declared))
        return DeclaredAs::Text;
    if (declared.contains(u"REAL") || declared.contains(u"FLOA") || declared.contains(u"DOUB"))
        return DeclaredAs::Real;
    return DeclaredAs::Other;
}

// A column of the current row, by what the column is declared as where it is a
// table column, else by what the value is stored as.
vb::Variant columnValue(sqlite3_stmt *stmt, int column, DeclaredAs declared)
{
    const int storage = sqlite3_column_type(stmt, column);
    if (storage == SQLITE_NULL)
        return vb::Variant::null();
    if (declared == DeclaredAs::Text)
        return utf8(sqlite3_column_text(stmt, column), sqlite3_column_bytes(stmt, column));
    if (declared == DeclaredAs::Real && (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT))
        return sqlite3_column_double(stmt, column);
    switch (storage) {
    case SQLITE_INTEGER:
        return integerValue(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, column);
    default: // text, and blobs as their bytes read as text
        return utf8(sqlite3_column_text(stmt, column), sqlite3_column_bytes(stmt, column));
    }
}

int installServerText(sqlite3 *db, TextCollation collation)
{
    void *argument = collationArgument(collation);
    const int like = sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, argument,
                                             likeFunction, nullptr, nullptr);
    if (like != SQLITE_OK)
        return like;
    return sqlite3_create_collation(db, kServerCollation, SQLITE_UTF8, argument, serverCollation);
}

namespace {

class SqliteResultset final : public ForwardResultset {
public:
    SqliteResultset(std::shared_ptr<SqliteConnection::Handle> handle, sqlite3_stmt *stmt)
        : ForwardResultset(kSqliteSource), m_handle(std::move(handle)), m_stmt(stmt)
    {
        for (int c = 0; c < sqlite3_column_count(m_stmt); ++c)
            m_names.append(QString::fromUtf8(sqlite3_column_name(m_stmt, c)));
        // A first step that fails (a held or damaged file) throws out of the
        // constructor, where no destructor runs: an unfinalized statement
        // would keep the closed connection alive for good.
        try {
            advance();
        } catch (...) {
            release();
            throw;
        }
    }
    ~SqliteResultset() override { sqlite3_finalize(m_stmt); }

private:
    bool readRow(std::vector<rdoColumn> &row) override
    {
        const int result = sqlite3_step(m_stmt);
        if (result == SQLITE_DONE)
            return false;
        if (result != SQLITE_ROW)
            throw engineError(m_handle->db);
        // Most statements of a lookup find no row: their columns are looked
        // at only when one comes.
        for (int c = static_cast<int>(m_declared.size()); c < m_names.size(); ++c)
            m_declared.push_back(declaredAs(sqlite3_column_decltype(m_stmt, c)));
        row.reserve(static_cast<size_t>(m_names.size()));
        for (int c = 0; c < m_names.size(); ++c)
            row.emplace_back(m_names[c], columnValue(m_stmt, c, m_declared[static_cast<size_t>(c)]));
        return true;
    }
    bool isOpen() const override { return m_stmt != nullptr; }
    void release() override
    {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }

    std::shared_ptr<SqliteConnection::Handle> m_handle;
    sqlite3_stmt *m_stmt;
    QStringList m_names;
    std::vector<DeclaredAs> m_declared;
};


} // namespace

namespace {

// A lookup reads a hundred or so pages of the file it has not read before.
// While the connection's page cache still grows, each is kept in memory the
// process has never touched, and faulting that in cost a till about 11 µs a
// page (a first code prefix at 1M: 1.4 ms of its 4.5). The cache is filled
// as the connection opens, with the first pages of the tables or of their
// smallest indexes: a page read later takes the place of the one least
// recently used, in memory touched already.
void fillPageCache(sqlite3 *db, int64_t cacheBytes)
{
    sqlite3_stmt *tables = nullptr;
    if (sqlite3_prepare_v2(db, "Select name From sqlite_master Where type = 'table' And name Not Like 'sqlite~_%' "
                               "Escape '~' Order By rootpage",
                           -1, &tables, nullptr) != SQLITE_OK) {
        sqlite3_finalize(tables);
        return;
    }
    const auto cached = [db] {
        int bytes = 0, highest = 0;
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_USED, &bytes, &highest, 0);
        return bytes;
    };
    // Full, the cache stops growing before its count reaches the bytes it
    // was given (each page's own bookkeeping is counted as well).
    constexpr int kRowsBetweenLooks = 1024;
    int last = -1;
    const auto full = [&] {
        const int now = cached();
        const bool stopped = now >= cacheBytes || now == last;
        last = now;
        return stopped;
    };
    while (!full() && sqlite3_step(tables) == SQLITE_ROW) {
        char *select = sqlite3_mprintf("Select 1 From \"%w\"", sqlite3_column_text(tables, 0));
        sqlite3_stmt *rows = nullptr;
        int step = SQLITE_DONE;
        if (select && sqlite3_prepare_v2(db, select, -1, &rows, nullptr) == SQLITE_OK)
            for (int read = 1; (step = sqlite3_step(rows)) == SQLITE_ROW; ++read)
                if (read % kRowsBetweenLooks == 0 && full())
                    break;
        sqlite3_finalize(rows);
        sqlite3_free(select);
        // A writer holding the file (or any other error) ends the filling:
        // the connection does not wait for it once per table.
        if (step != SQLITE_ROW && step != SQLITE_DONE)
            break;
    }
    sqlite3_finalize(tables);
}

SqlitePlansMaker &registeredPlans()
{
    static SqlitePlansMaker maker;
    return maker;
}

} // namespace

void registerSqlitePlans(SqlitePlansMaker maker)
{
    registeredPlans() = std::move(maker);
}

SqliteConnection::SqliteConnection(std::shared_ptr<Handle> handle, QString connect, QStringList textColumns)
    : m_handle(std::move(handle)), m_connect(std::move(connect)), m_textColumns(std::move(textColumns)),
      m_rewriter(std::make_shared<SqliteTranslation>(m_textColumns, true))
{
}

SqlitePlans *SqliteConnection::plans() const
{
    return m_handle->plans.get();
}

void SqliteConnection::setPlans(std::shared_ptr<SqlitePlans> plans)
{
    m_handle->plans = std::move(plans);
}

std::shared_ptr<SqliteConnection> SqliteConnection::open(const QString &connectionString)
{
    const SqliteConnectionString parsed = parseSqliteConnectionString(connectionString);
    const QString &path = parsed.path;
    auto handle = std::make_shared<Handle>();
    handle->collation = parsed.collation;
    // Read-only, never created: a missing file is an error, not an empty
    // database. A connection is used by one thread at a time, as a data
    // source's connection is: the engine need not lock it around each of the
    // dozens of calls that read one row of a list.
    const int opened = sqlite3_open_v2(path.toUtf8().constData(), &handle->db,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (!handle->db)
        throw vb::Error(SQLITE_NOMEM, QStringLiteral("out of memory"), kSqliteSource);
    sqlite3_extended_result_codes(handle->db, 1);
    if (opened != SQLITE_OK)
        throw engineError(handle->db, path);
    // A writer of the shop's application holds the file for the moment of
    // its commit: a lookup waits that long rather than fail, and no longer,
    // so that a writer that keeps the file ends in "database is locked".
    sqlite3_busy_timeout(handle->db, 2000);
    char *message = nullptr;
    // Lookups read index pages here and there in a large file: a larger page
    // cache keeps them. The file is not mapped into memory: the shop's file
    // replaced or truncated under an open connection (a catalogue copied over
    // it) would then end the host's process with SIGBUS instead of an error.
    const std::string pragmas = "PRAGMA query_only=1; PRAGMA cache_size=-" + std::to_string(kPageCacheBytes / 1024);
    if (sqlite3_exec(handle->db, pragmas.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        throw engineError(handle->db, path);
    }
    // Reading the schema also tells a file that is not a database apart.
    QStringList textColumns = readTextColumns(handle->db);
    if (installServerText(handle->db, handle->collation) != SQLITE_OK || installDriverLimit(*handle) != SQLITE_OK)
        throw engineError(handle->db);
    // From here on only reading is authorised: no pragma that sets (query_only cannot be
    // switched off), no attach, no write of any kind.
    sqlite3_set_authorizer(handle->db, readOnlyAuthorizer, nullptr);
    handle->statements = std::make_unique<StatementCache>(handle->db);
    auto connection = std::make_shared<SqliteConnection>(std::move(handle), connectionString, std::move(textColumns));
    if (const SqlitePlansMaker &plans = registeredPlans())
        connection->setPlans(plans(*connection));
    fillPageCache(connection->handle().db, kPageCacheBytes);
    return connection;
}

std::shared_ptr<rdoResultset> SqliteConnection::OpenResultset(const QString &sql, int16_t, int16_t)
{
    // The type and lock only have to give a readable result set on its first
    // row, which every result set here is.
    if (holdsSeveralStatements(sql))
        throw vb::Error(err::SeveralStatements,
                        QStringLiteral("The statement text holds more than one statement; one is run per call"),
                        kSqliteSource);
    SqlitePlans *plans = m_handle->plans.get();
    if (plans)
        if (auto planned = plans->open(sql, m_handle))
            return planned;
    const QByteArray text = m_rewriter->rewrite(plans ? plans->narrowed(sql) : sql).toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_handle->db, text.constData(), static_cast<int>(text.size()), &stmt, &tail) !=
        SQLITE_OK)
        throw engineError(m_handle->db);
    if (!stmt)
        throw vb::Error(SQLITE_MISUSE, QStringLiteral("The statement text is empty"), kSqliteSource);
    if (!sqlite3_stmt_readonly(stmt)) {
        sqlite3_finalize(stmt);
        throw vb::Error(err::NotReadOnly, QStringLiteral("Only statements that read are run on this connection"),
                        kSqliteSource);
    }
    return std::make_shared<SqliteResultset>(m_handle, stmt);
}

} // namespace rdo
