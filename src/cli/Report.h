#pragma once
// What the command line prints after a scan or a repair, as text or as one
// JSON object: the prefix, every category list with its rows, then the
// summary list of the mode and the badges. A scan writes each row as its
// category finds it and keeps none, so that a scan with a great many
// findings needs no memory for them.

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "results/MainWindowModel.h"

namespace kestrane::cli {

class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    // The prefix and the mode, before any list.
    virtual void begin(const MainWindowModel& model, const std::filesystem::path& prefix) = 0;
    // One row of a category's list; the rows of a list come one after the other.
    virtual void row(const ResultList& list, const ResultRow& row) = 0;
    // The end of a category's list (its columns and rows, none or more).
    virtual void listDone(const ResultList& list) = 0;
    // A whole list: its rows, then its end.
    void list(const ResultList& list) {
        for (const ResultRow& r : list.rows()) row(list, r);
        listDone(list);
    }
    // The status, the summary and the badges; the end of the report.
    virtual void end(const MainWindowModel& model) = 0;
    // Runs before each piece of the report goes out (to clear a progress line).
    virtual void beforeWrite(std::function<void()> clear) = 0;
};

std::unique_ptr<ReportWriter> textReport(std::ostream& out);
std::unique_ptr<ReportWriter> jsonReport(std::ostream& out);

// `text` as a JSON string, quotes included. Bytes that are not UTF-8 are
// each written as U+FFFD, so that every name reaches the report.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace kestrane::cli
