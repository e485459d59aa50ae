#include "scan/IgnoreLists.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/TextOps.h"

namespace kestrane {

namespace fs = std::filesystem;

fs::path IgnoreLists::file(std::string_view code) const { return m_folder / ("Data" + std::string(code) + ".dat"); }

const std::vector<IgnoreEntry>& IgnoreLists::entries(std::string_view code) const {
    static const std::vector<IgnoreEntry> none;
    auto it = m_lists.find(code);
    return it == m_lists.end() ? none : it->second;
}

void IgnoreLists::load(const std::vector<std::string>& codes) {
    for (const auto& code : codes) {
        auto& list = m_lists[code];
        list.clear();
        std::ifstream in(file(code), std::ios::binary);
        std::string line;
        std::vector<std::string> pieces;
        while (in && std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                continue;
            text::splitText(line, '=', pieces);
            list.push_back({pieces.empty() ? std::string() : pieces[0], pieces.size() > 1 ? pieces[1] : ""});
        }
    }
}

Status IgnoreLists::ignore(std::string_view code, const std::string& value, const std::string& location) {
    auto it = m_lists.find(code);
    if (it == m_lists.end())
        return makeError(ErrorKind::Failure, "No ignore list for \"" + std::string(code) + "\".");
    it->second.push_back({value, location});
    if (m_folder.empty())
        return makeError(ErrorKind::NotFound, "The program-files folder is unknown: the ignore list cannot be saved.");
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    std::ofstream out(file(code), std::ios::binary | std::ios::app);
    out << value << '=' << location << "\r\n";
    out.flush();
    if (!out)
        return makeError(ErrorKind::Failure, "Cannot write " + file(code).string() + ": " + std::strerror(errno));
    return {};
}

bool IgnoreLists::ignored(std::string_view code, std::string_view text) const {
    for (const auto& e : entries(code))
        if (e.value == text)
            return true;
    return false;
}

}  // namespace kestrane
