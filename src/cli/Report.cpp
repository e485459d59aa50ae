#include "cli/Report.h"

#include <charconv>
#include <iomanip>

namespace kestrane::cli {

namespace {

const ResultList& summaryOf(const MainWindowModel& m) {
    return m.mode() == SummaryMode::Computer ? m.lvall() : m.lvapply();
}

bool isBackupRow(const MainWindowModel& m, std::size_t row) { return m.mode() == SummaryMode::Computer && row == 0; }

bool available(const MainWindowModel& m, std::size_t row) {
    if (isBackupRow(m, row)) return m.backupAvailable();
    return m.categoryOfRow(m.mode(), static_cast<int>(row)) != nullptr;
}

// The lists of the categories the last complete scan ran, in the order of
// the summary rows, found something or not.
std::vector<const ResultList*> listsRun(const MainWindowModel& m) {
    std::vector<const ResultList*> out;
    for (const Category* c : m.lastScanned())
        if (const ResultList* l = m.list(c->list)) out.push_back(l);
    return out;
}

}  // namespace

nlohmann::ordered_json reportJson(const MainWindowModel& m, const std::filesystem::path& prefix) {
    using json = nlohmann::ordered_json;
    json summary = json::array();
    const ResultList& rows = summaryOf(m);
    for (std::size_t i = 0; i < rows.count(); ++i) {
        const ResultRow& r = rows.rows()[i];
        json entry{{"row", i}, {"caption", r.caption}, {"checked", r.checked}, {"available", available(m, i)}};
        if (isBackupRow(m, i)) {
            entry["count"] = nullptr;
            entry["category"] = nullptr;
        } else {
            int n = 0;
            const std::string& text = r.subitem(0);
            std::from_chars(text.data(), text.data() + text.size(), n);
            entry["count"] = n;
            entry["category"] = r.subitem(1);
        }
        summary.push_back(std::move(entry));
    }

    json lists = json::object();
    for (const ResultList* l : listsRun(m)) {
        json columns = json::array();
        for (const auto& c : l->columns())
            columns.push_back({{"caption", c.caption}, {"width", c.width}});
        json items = json::array();
        for (const auto& r : l->rows())
            items.push_back({{"checked", r.checked}, {"caption", r.caption}, {"subitems", r.subitems}});
        lists[l->name()] = {{"columns", std::move(columns)}, {"rows", std::move(items)}};
    }

    json badges = json::object();
    for (const auto& b : m.badges())
        badges[b.name] = {
            {"caption", b.caption}, {"colour", b.colour}, {"blinking", b.blinking}, {"visible", b.visible}};

    return {{"version", 1},
            {"prefix", prefix.string()},
            {"mode", m.mode() == SummaryMode::Computer ? "computer" : "applications"},
            {"status", m.status()},
            {"summary", std::move(summary)},
            {"lists", std::move(lists)},
            {"badges", std::move(badges)}};
}

void printReport(const MainWindowModel& m, const std::filesystem::path& prefix, std::ostream& out) {
    out << "Prefix: " << prefix.string() << "\n" << m.status() << "\n\n";
    const ResultList& rows = summaryOf(m);
    out << std::left << std::setw(40) << "    Scanned Items" << std::setw(18) << "Number of Errors" << "Category\n";
    for (std::size_t i = 0; i < rows.count(); ++i) {
        const ResultRow& r = rows.rows()[i];
        std::string count = available(m, i) ? r.subitem(0) : "not available";
        out << (r.checked ? "[x] " : "[ ] ") << std::setw(36) << r.caption << std::setw(18) << count
            << r.subitem(1) << "\n";
    }
    out << "\n";
    for (const auto& b : m.badges())
        if (b.visible) out << b.name << ": " << b.caption << "\n";

    for (const ResultList* l : listsRun(m)) {
        if (l->count() == 0) continue;  // the summary says it found nothing
        out << "\n" << l->name() << ":";
        const char* separator = " ";
        for (const auto& c : l->columns()) {
            out << separator << c.caption;
            separator = " | ";
        }
        out << "\n";
        for (const auto& r : l->rows()) {
            out << (r.checked ? "[x] " : "[ ] ") << r.caption;
            for (const auto& s : r.subitems)
                out << " | " << s;
            out << "\n";
        }
    }
}

}  // namespace kestrane::cli
