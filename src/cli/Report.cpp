#include "cli/Report.h"

#include <charconv>
#include <iomanip>
#include <sstream>

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

// The length of the UTF-8 sequence at the start of `s`, 0 when it is none
// (a stray byte, an overlong or cut-off sequence, a surrogate, beyond U+10FFFF).
std::size_t utf8Length(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n <= 1 || s.size() < n) return n == 1 ? 1 : 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((b(i) & 0xC0) != 0x80) return 0;
    if (c == 0xE0 && b(1) < 0xA0) return 0;  // overlong
    if (c == 0xED && b(1) > 0x9F) return 0;  // surrogate
    if (c == 0xF0 && b(1) < 0x90) return 0;  // overlong
    if (c == 0xF4 && b(1) > 0x8F) return 0;  // beyond U+10FFFF
    return n;
}

// Collects the report in a buffer and hands it on in large pieces.
class Buffered {
public:
    explicit Buffered(std::ostream& out) : m_out(out) {}
    std::string& text() { return m_text; }
    void flushIfLarge() {
        if (m_text.size() >= 1 << 16) flush();
    }
    void beforeWrite(std::function<void()> clear) { m_clear = std::move(clear); }
    void flush() {
        if (m_text.empty())
            return;
        if (m_clear)
            m_clear();
        m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
        m_out.flush();
        m_text.clear();
    }

private:
    std::ostream& m_out;
    std::string m_text;
    std::function<void()> m_clear;
};

class JsonReport final : public ReportWriter {
public:
    explicit JsonReport(std::ostream& out) : m_buffer(out) {}
    void beforeWrite(std::function<void()> clear) override { m_buffer.beforeWrite(std::move(clear)); }

    void begin(const MainWindowModel& m, const std::filesystem::path& prefix) override {
        std::string& o = m_buffer.text();
        o += "{\n  \"version\": 1,\n  \"prefix\": ";
        appendJsonString(o, prefix.string());
        o += ",\n  \"mode\": ";
        o += m.mode() == SummaryMode::Computer ? "\"computer\"" : "\"applications\"";
        o += ",\n  \"lists\": {";
    }

    void row(const ResultList& l, const ResultRow& r) override {
        std::string& o = m_buffer.text();
        o += opened(l) ? ",\n        {\"checked\": " : "\n        {\"checked\": ";
        ++m_rowsInList;
        o += r.checked ? "true" : "false";
        o += ", \"caption\": ";
        appendJsonString(o, r.caption);
        o += ", \"subitems\": [";
        for (std::size_t s = 0; s < r.subitems.size(); ++s) {
            if (s) o += ", ";
            appendJsonString(o, r.subitems[s]);
        }
        o += "]}";
        m_buffer.flushIfLarge();
    }

    void listDone(const ResultList& l) override {
        std::string& o = m_buffer.text();
        const bool any = opened(l);
        o += any ? "\n      ]\n    }" : "]\n    }";
        m_open = nullptr;
        m_buffer.flush();
    }

    void end(const MainWindowModel& m) override {
        // A scan that failed half-way leaves its list open: it ends with the
        // rows it wrote, and the error says what became of the rest.
        if (m_open) listDone(*m_open);
        std::string& o = m_buffer.text();
        o += m_lists ? "\n  },\n  \"status\": " : "},\n  \"status\": ";
        appendJsonString(o, m.status());
        o += ",\n  \"undo\": ";
        if (m.lastUndo().empty())
            o += "null";
        else
            appendJsonString(o, m.lastUndo());
        o += ",\n  \"summary\": [";
        const ResultList& rows = summaryOf(m);
        for (std::size_t i = 0; i < rows.count(); ++i) {
            const ResultRow& r = rows.rows()[i];
            o += i ? ",\n    {\"row\": " : "\n    {\"row\": ";
            o += std::to_string(i) + ", \"caption\": ";
            appendJsonString(o, r.caption);
            o += std::string(", \"checked\": ") + (r.checked ? "true" : "false");
            o += std::string(", \"available\": ") + (available(m, i) ? "true" : "false");
            if (isBackupRow(m, i)) {
                o += ", \"count\": null, \"category\": null}";
                continue;
            }
            int n = 0;
            const std::string& text = r.subitem(0);
            std::from_chars(text.data(), text.data() + text.size(), n);
            o += ", \"count\": " + std::to_string(n) + ", \"category\": ";
            appendJsonString(o, r.subitem(1));
            o += "}";
        }
        o += rows.count() ? "\n  ],\n  \"badges\": {" : "],\n  \"badges\": {";
        std::size_t i = 0;
        for (const auto& b : m.badges()) {
            o += i++ ? ",\n    " : "\n    ";
            appendJsonString(o, b.name);
            o += ": {\"caption\": ";
            appendJsonString(o, b.caption);
            o += ", \"colour\": " + std::to_string(b.colour);
            o += std::string(", \"blinking\": ") + (b.blinking ? "true" : "false");
            o += std::string(", \"visible\": ") + (b.visible ? "true" : "false") + "}";
        }
        o += i ? "\n  }\n}\n" : "}\n}\n";
        m_buffer.flush();
    }

private:
    // Writes the list's name and columns when its first row or its end
    // comes; whether it has rows already.
    bool opened(const ResultList& l) {
        if (m_open == &l)
            return m_rowsInList > 0;
        std::string& o = m_buffer.text();
        o += m_lists++ ? ",\n    " : "\n    ";
        appendJsonString(o, l.name());
        o += ": {\n      \"columns\": [";
        for (std::size_t i = 0; i < l.columns().size(); ++i) {
            o += i ? ", " : "";
            o += "{\"caption\": ";
            appendJsonString(o, l.columns()[i].caption);
            o += ", \"width\": " + std::to_string(l.columns()[i].width) + "}";
        }
        o += "],\n      \"rows\": [";
        m_open = &l;
        m_rowsInList = 0;
        return false;
    }

    Buffered m_buffer;
    std::size_t m_lists = 0;
    const ResultList* m_open = nullptr;
    std::size_t m_rowsInList = 0;
};

class TextReport final : public ReportWriter {
public:
    explicit TextReport(std::ostream& out) : m_buffer(out) {}
    void beforeWrite(std::function<void()> clear) override { m_buffer.beforeWrite(std::move(clear)); }

    void begin(const MainWindowModel&, const std::filesystem::path& prefix) override {
        m_buffer.text() += "Prefix: " + prefix.string() + "\n";
    }

    void row(const ResultList& l, const ResultRow& r) override {
        std::string& o = m_buffer.text();
        if (m_open != &l) {  // lists that found nothing are not shown: the summary says so
            m_open = &l;
            o += "\n" + l.name() + ":";
            const char* separator = " ";
            for (const auto& c : l.columns()) {
                o += separator + c.caption;
                separator = " | ";
            }
            o += "\n";
        }
        o += r.checked ? "[x] " : "[ ] ";
        o += r.caption;
        for (const auto& s : r.subitems) {
            o += " | ";
            o += s;
        }
        o += "\n";
        m_buffer.flushIfLarge();
    }

    void listDone(const ResultList&) override {
        m_open = nullptr;
        m_buffer.flush();
    }

    void end(const MainWindowModel& m) override {
        m_buffer.flush();
        std::ostringstream out;
        out << "\n" << m.status() << "\n\n";
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
        if (!m.lastUndo().empty())
            out << "\nUndo file: " << m.lastUndo() << " ('kestrane-cli undo " << m.lastUndo()
                << "' gives back what the repair took from the registry)\n";
        m_buffer.text() = out.str();
        m_buffer.flush();
    }

private:
    Buffered m_buffer;
    const ResultList* m_open = nullptr;
};

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; ++i; continue;
        case '\\': out += "\\\\"; ++i; continue;
        case '\n': out += "\\n"; ++i; continue;
        case '\r': out += "\\r"; ++i; continue;
        case '\t': out += "\\t"; ++i; continue;
        default: break;
        }
        if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            ++i;
            continue;
        }
        if (std::size_t n = utf8Length(text.substr(i))) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not UTF-8
            ++i;
        }
    }
    out += '"';
}

std::unique_ptr<ReportWriter> textReport(std::ostream& out) { return std::make_unique<TextReport>(out); }
std::unique_ptr<ReportWriter> jsonReport(std::ostream& out) { return std::make_unique<JsonReport>(out); }

}  // namespace kestrane::cli
