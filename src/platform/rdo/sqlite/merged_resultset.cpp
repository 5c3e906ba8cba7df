#include "platform/rdo/sqlite/merged_resultset.h"

#include "platform/rdo/forward_resultset.h"
#include "platform/rdo/tsql/sqlserver_text.h"

#include <QtGlobal>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace rdo {

namespace {

// Values are read as a compound's would be: by the column types of the first
// statement, which a compound reports for all its rows.
class MergedResultset final : public ForwardResultset {
public:
    MergedResultset(std::shared_ptr<SqliteConnection::Handle> handle, const MergedOrder &order,
                    std::vector<PreparedStream> prepared)
        : ForwardResultset(kSqliteSource), m_handle(std::move(handle)), m_order(order)
    {
        Q_ASSERT(!prepared.empty()); // the first stream names the columns
        sqlite3_stmt *first = prepared.front().rows.get();
        for (int c = 0; c < order.visibleColumns; ++c) {
            m_names.append(QString::fromUtf8(sqlite3_column_name(first, c)));
            m_declared.push_back(declaredAs(sqlite3_column_decltype(first, c)));
        }
        for (PreparedStream &stream : prepared)
            m_streams.push_back({std::move(stream), {}, {}, {}, false, false, 0, {}, 0, {}, false});
        // As for a single statement: a failing first step lets the statements go.
        try {
            for (Stream &stream : m_streams)
                if (!stream.driven)
                    next(stream);
            advance();
        } catch (...) {
            release();
            throw;
        }
    }
    ~MergedResultset() override { release(); }

private:
    struct Row {
        std::vector<rdoColumn> columns;
        std::array<std::optional<std::string>, 2> keys;
        std::array<int64_t, 2> ties{};
    };
    struct Stream : PreparedStream {
        std::optional<Row> head;
        std::vector<Row> held; // a heap, least row on top
        // The keys of the last group the driver gave.
        std::array<std::optional<std::string>, 2> bound;
        bool done = false;
        bool started = false;
        size_t listedNext = 0; // the next of the listed groups
        // A driver of first keys alone: the groups of the current first key
        // in the order of their second keys, the next of them, and the group
        // read past them, or whether none was left.
        std::vector<ListedGroup> run;
        size_t runNext = 0;
        std::optional<ListedGroup> following;
        bool driverDone = false;
    };

    static std::optional<std::string> text(sqlite3_stmt *stmt, int column)
    {
        if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
            return std::nullopt;
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        return std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
    }
    // Order By's comparison under the server collation: Null first.
    int compare(const std::optional<std::string> &a, const std::optional<std::string> &b) const
    {
        if (!a || !b)
            return a ? 1 : (b ? -1 : 0);
        return sqlServerCompareUtf8(*a, *b, m_handle->collation);
    }
    // The compound's order, then its branch order among equals, then the
    // order the engine's stable sort keeps among equal rows of one branch.
    bool before(const Row &a, int branchA, const Row &b, int branchB) const
    {
        for (size_t k = 0; k < a.keys.size(); ++k)
            if (const int byKey = compare(a.keys[k], b.keys[k]))
                return byKey < 0;
        if (branchA != branchB)
            return branchA < branchB;
        return a.ties < b.ties;
    }

    std::optional<Row> read(Stream &stream)
    {
        const int result = sqlite3_step(stream.rows.get());
        if (result == SQLITE_DONE)
            return std::nullopt;
        if (result != SQLITE_ROW)
            throw engineError(m_handle->db);
        Row row;
        row.columns.reserve(static_cast<size_t>(m_names.size()));
        for (int c = 0; c < m_names.size(); ++c)
            row.columns.emplace_back(m_names[c], columnValue(stream.rows.get(), c, m_declared[static_cast<size_t>(c)]));
        for (size_t k = 0; k < row.keys.size(); ++k) {
            row.keys[k] = text(stream.rows.get(), m_order.textKeys[k]);
            row.ties[k] = sqlite3_column_int64(stream.rows.get(), m_order.tieKeys[k]);
        }
        return row;
    }

    // A driven stream holds its rows back: every row still to come sorts at
    // or after the last group read (the bound, see mayStillPrecede). A held
    // row below the bound is certainly the stream's next.
    const Row *known(const Stream &stream) const
    {
        if (!stream.driven)
            return stream.head ? &*stream.head : nullptr;
        if (stream.held.empty() || (!stream.done && mayStillPrecede(stream, stream.held.front())))
            return nullptr;
        return &stream.held.front();
    }

    // Whether a row still to come from a driven stream can sort at or before
    // row. Groups come in the order of their keys and every row of a group
    // sorts at or after the group's keys: so every row to come is at or past
    // the bound's first key, and at or past its second when the first keys
    // are equal.
    bool mayStillPrecede(const Stream &stream, const Row &row) const
    {
        if (const int byFirst = compare(stream.bound[0], row.keys[0]))
            return byFirst < 0;
        return compare(stream.bound[1], row.keys[1]) <= 0;
    }

    bool heldAfter(const Row &a, const Row &b, int branch) const { return before(b, branch, a, branch); }

    // Reads one more group of a driven stream, and its rows if it has any. A
    // driver that passes over groups without rows stops at the first group
    // past target's first key all the same: the merge needs its bound no
    // further.
    void pull(Stream &stream, const Row *target)
    {
        stream.started = true;
        if (stream.listed) {
            if (stream.listedNext == stream.listed->size()) {
                stream.done = true;
                return;
            }
            return take(stream, stream.listed->at(stream.listedNext++));
        }
        if (stream.secondKeys) {
            if (stream.runNext == stream.run.size() && !readRun(stream, target)) {
                stream.done = true;
                return;
            }
            return take(stream, stream.run[stream.runNext++]);
        }
        if (stream.range && !stream.range->positioned()) {
            const std::optional<std::string> from = stream.range->nextRun();
            if (!from) {
                stream.done = true;
                return;
            }
            sqlite3_reset(stream.driver.get());
            sqlite3_bind_text(stream.driver.get(), stream.fromParameter, from->data(),
                              static_cast<int>(from->size()), SQLITE_TRANSIENT);
        }
        const std::optional<ListedGroup> group = nextGroup(stream, target);
        if (!group) {
            stream.done = true;
            return;
        }
        if (stream.range && group->firstKey)
            stream.range->gave(*group->firstKey);
        take(stream, *group);
    }

    // The group the driver gives next, if any.
    std::optional<ListedGroup> nextGroup(Stream &stream, const Row *target)
    {
        sqlite3_stmt *driver = stream.driver.get();
        m_handle->driverLimit = target ? target->keys[0] : std::nullopt;
        m_handle->driverStop = stream.range ? stream.range->stop() : nullptr;
        const int step = sqlite3_step(driver);
        m_handle->driverLimit.reset();
        m_handle->driverStop = nullptr;
        if (step == SQLITE_DONE)
            return std::nullopt;
        if (step != SQLITE_ROW)
            throw engineError(m_handle->db);
        return ListedGroup{sqlite3_column_int64(driver, 0), text(driver, 1), text(driver, 3),
                           sqlite3_column_int(driver, 2) != 0};
    }

    // Reads the driver's groups of its next first key, and when they are
    // several, their second keys, sorting them by those; false when none is
    // left. The group past them is kept for the next run.
    bool readRun(Stream &stream, const Row *target)
    {
        stream.run.clear();
        stream.runNext = 0;
        std::optional<ListedGroup> group = std::exchange(stream.following, std::nullopt);
        if (!group && !stream.driverDone)
            group = nextGroup(stream, target);
        if (!group)
            return false;
        stream.run.push_back(std::move(*group));
        // A statement stepped past its end would begin again.
        while (!stream.driverDone) {
            group = nextGroup(stream, target);
            if (!group) {
                stream.driverDone = true;
            } else if (compare(group->firstKey, stream.run.front().firstKey) != 0) {
                stream.following = std::move(group);
                break;
            } else {
                stream.run.push_back(std::move(*group));
            }
        }
        if (stream.run.size() == 1)
            return true;
        sqlite3_stmt *keys = stream.secondKeys.get();
        for (ListedGroup &each : stream.run) {
            sqlite3_reset(keys);
            sqlite3_bind_int64(keys, 1, each.value);
            const int step = sqlite3_step(keys);
            if (step != SQLITE_ROW && step != SQLITE_DONE)
                throw engineError(m_handle->db);
            each.secondKey = step == SQLITE_ROW ? text(keys, 0) : std::nullopt;
        }
        std::stable_sort(stream.run.begin(), stream.run.end(), [&](const ListedGroup &a, const ListedGroup &b) {
            return compare(a.secondKey, b.secondKey) < 0;
        });
        return true;
    }

    // Moves the stream's bound to the group, and holds its rows if it has any.
    void take(Stream &stream, const ListedGroup &group)
    {
        stream.bound = {group.firstKey, group.secondKey};
        if (group.hasRows)
            readGroup(stream, group.value);
    }

    // Holds the rows of the group whose value is given.
    void readGroup(Stream &stream, int64_t value)
    {
        sqlite3_reset(stream.rows.get());
        sqlite3_bind_int64(stream.rows.get(), 1, value);
        while (std::optional<Row> row = read(stream)) {
            stream.held.push_back(std::move(*row));
            std::push_heap(stream.held.begin(), stream.held.end(),
                           [&](const Row &a, const Row &b) { return heldAfter(a, b, stream.branch); });
        }
    }

    void next(Stream &stream)
    {
        if (!stream.driven) {
            stream.head = read(stream);
            return;
        }
        std::pop_heap(stream.held.begin(), stream.held.end(),
                      [&](const Row &a, const Row &b) { return heldAfter(a, b, stream.branch); });
        stream.held.pop_back();
    }

    bool readRow(std::vector<rdoColumn> &row) override
    {
        for (;;) {
            Stream *least = nullptr;
            for (Stream &stream : m_streams)
                if (const Row *head = known(stream))
                    if (!least || before(*head, stream.branch, *known(*least), least->branch))
                        least = &stream;
            // A driven stream is read only as far as it might still give a
            // row before the least row known: for a long list, about as far
            // as the list is read.
            Stream *unsure = nullptr;
            const Row *target = nullptr; // the row the unsure stream must be read past
            for (Stream &stream : m_streams) {
                if (!stream.driven || stream.done || known(stream))
                    continue;
                const bool heldBefore = !stream.held.empty() && least &&
                                        before(stream.held.front(), stream.branch, *known(*least), least->branch);
                if (!least || !stream.started || heldBefore || mayStillPrecede(stream, *known(*least))) {
                    unsure = &stream;
                    target = heldBefore || !least ? (stream.held.empty() ? nullptr : &stream.held.front())
                                                  : known(*least);
                    break;
                }
            }
            if (unsure) {
                pull(*unsure, target);
                continue;
            }
            if (!least)
                return false;
            row = std::move(const_cast<Row *>(known(*least))->columns);
            next(*least);
            return true;
        }
    }
    bool isOpen() const override { return !m_streams.empty(); }
    void release() override { m_streams.clear(); }

    std::shared_ptr<SqliteConnection::Handle> m_handle;
    MergedOrder m_order;
    QStringList m_names;
    std::vector<DeclaredAs> m_declared;
    std::vector<Stream> m_streams;
};

} // namespace

int installDriverLimit(SqliteConnection::Handle &handle)
{
    return sqlite3_create_function(
        handle.db, kDriverLimitFunction, 1, SQLITE_UTF8, &handle,
        [](sqlite3_context *context, int, sqlite3_value **argv) {
            const auto *h = static_cast<const SqliteConnection::Handle *>(sqlite3_user_data(context));
            if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
                return sqlite3_result_int(context, 0);
            const std::string_view name = utf8Bytes(argv[0]);
            const bool past = (h->driverLimit && sqlServerCompareUtf8(name, *h->driverLimit, h->collation) > 0) ||
                              (h->driverStop && sqlServerCompareUtf8(name, *h->driverStop, h->collation) >= 0);
            sqlite3_result_int(context, past ? 1 : 0);
        },
        nullptr, nullptr);
}

std::shared_ptr<rdoResultset> mergedRows(std::shared_ptr<SqliteConnection::Handle> handle, const MergedOrder &order,
                                         std::vector<PreparedStream> streams)
{
    return std::make_shared<MergedResultset>(std::move(handle), order, std::move(streams));
}

} // namespace rdo
