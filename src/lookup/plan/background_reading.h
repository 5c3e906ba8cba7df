#pragma once
// What a connection reads of the file in the background (which articles have
// varieties, the stretches of the names' indexes) runs beside the cashier's
// first lookups, on a till with two cores or one: it yields the processor to
// them.

#include <sys/resource.h>
#include <unistd.h>

namespace lookup {

// Lowers the calling thread's priority, as "nice" would; where the system
// refuses, the reading goes on at the till's own.
inline void yieldToLookups()
{
    constexpr int kBackgroundNice = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice);
}

} // namespace lookup
