#include "results/ResultList.h"

namespace kestrane {

const std::string& ResultRow::subitem(std::size_t i) const {
    static const std::string empty;
    return i < subitems.size() ? subitems[i] : empty;
}

ResultRow& ResultList::add(std::string caption, std::vector<std::string> subitems, bool checked) {
    if (m_sink) {
        m_passing = ResultRow{checked, std::move(caption), std::move(subitems)};
        m_sink(*this, m_passing);
        ++m_passedOn;
        return m_passing;
    }
    m_rows.push_back(ResultRow{checked, std::move(caption), std::move(subitems)});
    return m_rows.back();
}

}  // namespace kestrane
