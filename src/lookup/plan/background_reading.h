#pragma once
// What a connection reads of the file in the background (which articles have
// varieties, the stretches of the names' indexes, the odd articles) runs
// beside the cashier's first lookups, on a till with two cores or one: it
// yields the processor to them, on a connection of its own.

#include "platform/rdo/sqlite/statement_cache.h"

#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace lookup {

// Whether the process runs under the address sanitizer, whose allocator
// replaces the C library's.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizedAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizedAllocator = true;
#else
inline constexpr bool kSanitizedAllocator = false;
#endif
#else
inline constexpr bool kSanitizedAllocator = false;
#endif

// Lowers the calling thread's priority, as "nice" would; where the system
// refuses, the reading goes on at the till's own.
inline void yieldToLookups()
{
    constexpr int kBackgroundNice = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice);
}

// A reading that passes over each page of the file once keeps a small page
// cache: a larger one would only hold pages passed, beside the till's own.
inline void passOverPagesOnce(sqlite3 *db)
{
    sqlite3_exec(db, "PRAGMA cache_size=-256", nullptr, nullptr, nullptr);
}

// What read(db, statements) gives on a read-only connection of its own to
// the file at path, in one transaction, at the lowered priority, waiting up
// to 2 s for a writer's lock; Result{} when the file cannot be read.
template <typename Result, typename Read>
Result readOnItsOwnConnection(const std::string &path, Read &&read)
{
    Result result{};
    sqlite3 *db = nullptr;
    yieldToLookups();
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        rdo::StatementCache statements(db);
        if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) {
            result = read(db, statements);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close_v2(db);
    // The reading's thread took its memory from an arena of its own, where
    // what it freed stays with the process unless given back: at 1M articles
    // that is megabytes a till would hold for nothing. One reading at a
    // time. Under the address sanitizer the C library's arenas hold nothing
    // to give back, and setting them up here raced with threads ending
    // (glibc's "malloc assertion failure in __malloc_arena_thread_freeres",
    // and before the lock, two readings ending together).
    if constexpr (!kSanitizedAllocator) {
        static std::mutex trimming;
        const std::lock_guard<std::mutex> trim(trimming);
        malloc_trim(0);
    }
    return result;
}

// What a connection keeps of the file (the odd articles, the places of the
// names), as the file stood at a stamp that moves when it changes: read in the
// background from the moment the till connects, and again there after
// another program's change; meanwhile the lookups go without it. Kept has
// readAt(), the stamp it was read at, none when nothing could be kept.
template <typename Kept>
class KeptReading {
public:
    using Read = std::function<Kept(std::optional<int64_t> stamp)>;

    // Begins read on a thread of its own. What it returns waits for the
    // reading to end, for a reading that must follow it.
    std::shared_future<void> begin(std::function<Kept()> read)
    {
        std::promise<void> ended;
        std::shared_future<void> whenEnded = ended.get_future().share();
        m_reading = std::async(std::launch::async, [read = std::move(read), ended = std::move(ended)]() mutable {
            Kept kept = read();
            ended.set_value();
            return kept;
        });
        return whenEnded;
    }
    // What is kept for stamp, or null while it is read again: here, on the
    // calling thread (a file in memory, which no other connection reads),
    // else in the background.
    const Kept *at(std::optional<int64_t> stamp, const Read &here, const Read &inBackground)
    {
        if (m_reading.valid() && m_reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            m_kept = std::make_shared<const Kept>(m_reading.get());
        if (!stamp)
            return nullptr;
        if (readAt() == stamp)
            return m_kept.get();
        if (here)
            m_kept = std::make_shared<const Kept>(here(stamp));
        else if (!m_reading.valid())
            m_reading = std::async(std::launch::async, inBackground, stamp);
        return readAt() == stamp ? m_kept.get() : nullptr;
    }
    // Waits for the reading under way, then reads it now on the calling
    // thread unless what is kept is for stamp.
    void readNow(std::optional<int64_t> stamp, const Read &here)
    {
        if (m_reading.valid())
            m_kept = std::make_shared<const Kept>(m_reading.get());
        if (readAt() != stamp)
            m_kept = std::make_shared<const Kept>(here(stamp));
    }
private:
    std::optional<int64_t> readAt() const { return m_kept ? m_kept->readAt() : std::nullopt; }

    // Kept behind a shared pointer: a list open over some of it holds it.
    std::shared_ptr<const Kept> m_kept;
    std::future<Kept> m_reading;
};

} // namespace lookup
