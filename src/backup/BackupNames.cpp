#include "backup/BackupNames.h"

#include <array>
#include <charconv>
#include <vector>

#include "platform/Registry.h"
#include "platform/TextOps.h"

namespace kestrane::backup {

namespace {

// A whole piece as a number, as the text-to-number conversion reads it.
std::optional<int> number(std::string_view piece) {
    if (piece.empty())
        return std::nullopt;
    if (piece.front() == '+')
        piece.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (ec != std::errc() || end != piece.data() + piece.size())
        return std::nullopt;
    return value;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysIn(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

// Three numbers of a piece split at "-"; nothing when there are fewer or one is not a number.
std::optional<std::array<int, 3>> threeNumbers(std::string_view piece) {
    std::vector<std::string> parts;
    text::splitText(piece, '-', parts);
    if (parts.size() < 3)
        return std::nullopt;
    std::array<int, 3> out{};
    for (std::size_t i = 0; i < 3; ++i) {
        auto n = number(parts[i]);
        if (!n)
            return std::nullopt;
        out[i] = *n;
    }
    return out;
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Writes a picture: runs of the same letter are one field, quoted text is kept.
template <class Field>
std::string formatPicture(std::string_view picture, Field field) {
    std::string out;
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            auto close = picture.find('\'', i + 1);
            if (close == std::string_view::npos)
                close = picture.size();
            out += picture.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        if (!field(out, c, run))
            out.append(run, c);
        i += run;
    }
    return out;
}

}  // namespace

std::string backupFileName(const files::LocalTime& t) {
    return "Backup_" + std::to_string(t.hour) + "-" + std::to_string(t.minute) + "-" + std::to_string(t.second) +
           "_" + std::to_string(t.day) + "-" + std::to_string(t.month) + "-" + std::to_string(t.year) + ".reg";
}

NameDate readBackupName(std::string_view name) {
    NameDate out;
    std::vector<std::string> pieces;
    text::splitText(name, '_', pieces);
    if (pieces.size() < 3)
        return out;
    auto date = threeNumbers(text::removeSubstring(".reg", pieces[2]));
    if (!date)
        return out;
    const auto [day, month, year] = *date;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysIn(year, month))
        return out;
    out.date = files::LocalTime{year, month, day, 0, 0, 0};
    auto time = threeNumbers(pieces[1]);
    if (!time)
        return out;
    const auto [hour, minute, second] = *time;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return out;
    out.time = files::LocalTime{0, 0, 0, hour, minute, second};
    out.complete = true;
    return out;
}

std::string formatDate(const RegionalFormats& f, const files::LocalTime& d) {
    return formatPicture(f.shortDate, [&](std::string& out, char c, std::size_t run) {
        if (c == 'd' && run <= 2) {
            out += run == 2 ? twoDigits(d.day) : std::to_string(d.day);
        } else if (c == 'M' && run <= 2) {
            out += run == 2 ? twoDigits(d.month) : std::to_string(d.month);
        } else if (c == 'y') {
            out += run <= 2 ? twoDigits(d.year % 100) : std::to_string(d.year);
        } else {
            return false;
        }
        return true;
    });
}

std::string formatTime(const RegionalFormats& f, const files::LocalTime& t) {
    return formatPicture(f.longTime, [&](std::string& out, char c, std::size_t run) {
        const int twelve = t.hour % 12 == 0 ? 12 : t.hour % 12;
        if (c == 'h') {
            out += run >= 2 ? twoDigits(twelve) : std::to_string(twelve);
        } else if (c == 'H') {
            out += run >= 2 ? twoDigits(t.hour) : std::to_string(t.hour);
        } else if (c == 'm') {
            out += run >= 2 ? twoDigits(t.minute) : std::to_string(t.minute);
        } else if (c == 's') {
            out += run >= 2 ? twoDigits(t.second) : std::to_string(t.second);
        } else if (c == 't') {
            const std::string& designator = t.hour < 12 ? f.am : f.pm;
            out += run >= 2 ? designator : designator.substr(0, 1);
        } else {
            return false;
        }
        return true;
    });
}

RegionalFormats regionalFormats(const reg::RegistryStore& store) {
    RegionalFormats f;
    const char* key = "Control Panel\\International";
    auto read = [&](const char* value, std::string& into) {
        std::string v = reg::regReadString(store, reg::Root::CurrentUser, key, value);
        if (!v.empty()) into = v;
    };
    read("sShortDate", f.shortDate);
    read("sTimeFormat", f.longTime);
    read("s1159", f.am);
    read("s2359", f.pm);
    return f;
}

}  // namespace kestrane::backup
