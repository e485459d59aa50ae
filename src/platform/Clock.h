#pragma once
// The local date and time of day, behind an interface so that tests can
// fix them (today's history folder, the names of registry backups).

namespace kestrane::files {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;   // 0-23
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

// The system's clock in the local time zone.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;
};

// The clock's time, or the system's when there is no clock.
LocalTime localNow(const Clock* clock);

// The date `days` days after the given one (the time of day kept).
LocalTime addDays(const LocalTime& date, int days);

}  // namespace kestrane::files
