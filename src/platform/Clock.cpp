#include "platform/Clock.h"

#include <ctime>

namespace kestrane::files {

LocalTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalTime localNow(const Clock* clock) { return clock ? clock->now() : SystemClock().now(); }

LocalTime addDays(const LocalTime& date, int days) {
    // Noon in UTC keeps the arithmetic clear of time-zone and summer-time shifts.
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day + days;
    tm.tm_hour = 12;
    std::time_t t = timegm(&tm);
    std::tm out{};
    gmtime_r(&t, &out);
    LocalTime r = date;
    r.year = out.tm_year + 1900;
    r.month = out.tm_mon + 1;
    r.day = out.tm_mday;
    return r;
}

}  // namespace kestrane::files
