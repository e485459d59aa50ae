#pragma once
// A category's result list: columns, and rows with a check box, a caption
// and text sub-items. The window shows it through an item model, the
// command line prints it, the tests compare it.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrane {

struct Column {
    std::string caption;
    int width = 0;
};

struct ResultRow {
    bool checked = true;
    std::string caption;
    std::vector<std::string> subitems;

    // Sub-item i, or the empty text when the row has fewer.
    const std::string& subitem(std::size_t i) const;
};

class ResultList {
public:
    ResultList() = default;
    ResultList(std::string name, std::vector<Column> columns)
        : m_name(std::move(name)), m_columns(std::move(columns)) {}

    const std::string& name() const { return m_name; }  // "lvsp", "lvco", ...
    const std::vector<Column>& columns() const { return m_columns; }
    void setColumns(std::vector<Column> columns) { m_columns = std::move(columns); }

    std::vector<ResultRow>& rows() { return m_rows; }
    const std::vector<ResultRow>& rows() const { return m_rows; }
    // The rows the list holds and those it handed on.
    std::size_t count() const { return m_rows.size() + m_passedOn; }
    void clear() {
        m_rows.clear();
        m_passedOn = 0;
    }
    ResultRow& add(std::string caption, std::vector<std::string> subitems = {}, bool checked = true);

    // While a sink is set, each row added is handed to it and not kept (the
    // count still counts it): for a reader that only writes the rows out.
    using Sink = std::function<void(const ResultList&, const ResultRow&)>;
    void setSink(Sink sink) { m_sink = std::move(sink); }

private:
    std::string m_name;
    std::vector<Column> m_columns;
    std::vector<ResultRow> m_rows;
    Sink m_sink;
    std::size_t m_passedOn = 0;
    ResultRow m_passing;  // the row being handed on
};

}  // namespace kestrane
