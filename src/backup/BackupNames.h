#pragma once
// The names of registry backups, "Backup_" H "-" Mi "-" S "_" D "-" Mo "-" Y
// ".reg" with the local time the backup was started, and the date and time
// read back from them in the user's regional formats.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/RegistryStore.h"

namespace kestrane::backup {

// "Backup_9-5-7_3-12-2024.reg" for 9:05:07 on 3 December 2024: no leading zeros.
std::string backupFileName(const files::LocalTime& t);

// What the backups view reads from a name, in its order: the date from the
// third piece (split at "_", ".reg" removed, split at "-": day, month,
// year), then the time from the second (hour, minute, second). The first
// piece that is missing, not a number, or not a real date or time ends the
// reading: what was read before it is kept, and `complete` is false.
struct NameDate {
    std::optional<files::LocalTime> date;  // year, month, day
    std::optional<files::LocalTime> time;  // hour, minute, second
    bool complete = false;
};
NameDate readBackupName(std::string_view name);

// The user's short date and long time formats (Windows pictures such as
// "M/d/yyyy" and "h:mm:ss tt": d dd M MM yy yyyy, h hh H HH m mm s ss, t tt,
// text in single quotes), with the AM and PM designators.
struct RegionalFormats {
    std::string shortDate = "M/d/yyyy";
    std::string longTime = "h:mm:ss tt";
    std::string am = "AM";
    std::string pm = "PM";
};
std::string formatDate(const RegionalFormats& f, const files::LocalTime& date);
// The formats of the user's regional settings (HKCU\Control Panel\International
// sShortDate, sTimeFormat, s1159, s2359), each the default where it is missing.
RegionalFormats regionalFormats(const reg::RegistryStore& store);
std::string formatTime(const RegionalFormats& f, const files::LocalTime& time);

}  // namespace kestrane::backup
