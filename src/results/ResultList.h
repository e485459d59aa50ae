#pragma once
// A category's result list: columns, and rows with a check box, a caption
// and text sub-items. The window shows it through an item model, the
// command line prints it, the tests compare it.

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
    std::size_t count() const { return m_rows.size(); }
    void clear() { m_rows.clear(); }
    ResultRow& add(std::string caption, std::vector<std::string> subitems = {}, bool checked = true);

private:
    std::string m_name;
    std::vector<Column> m_columns;
    std::vector<ResultRow> m_rows;
};

}  // namespace kestrane
