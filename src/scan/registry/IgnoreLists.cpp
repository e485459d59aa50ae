#include "scan/registry/IgnoreLists.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/TextOps.h"

namespace kestrane {

namespace fs = std::filesystem;

std::size_t IgnoreLists::index(std::string_view code) const {
    for (std::size_t i = 0; i < kCodes.size(); ++i)
        if (kCodes[i] == code)
            return i;
    return kCodes.size();
}

fs::path IgnoreLists::file(std::string_view code) const { return m_folder / ("Data" + std::string(code) + ".dat"); }

const std::vector<IgnoreEntry>& IgnoreLists::entries(std::string_view code) const {
    static const std::vector<IgnoreEntry> none;
    std::size_t i = index(code);
    return i < m_lists.size() ? m_lists[i] : none;
}

void IgnoreLists::load() {
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
        m_lists[i].clear();
        std::ifstream in(file(kCodes[i]), std::ios::binary);
        std::string line;
        std::vector<std::string> pieces;
        while (in && std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                continue;
            text::splitText(line, '=', pieces);
            m_lists[i].push_back({pieces.empty() ? std::string() : pieces[0], pieces.size() > 1 ? pieces[1] : ""});
        }
    }
}

Status IgnoreLists::ignore(std::string_view code, const std::string& value, const std::string& location) {
    std::size_t i = index(code);
    if (i >= m_lists.size())
        return makeError(ErrorKind::Failure, "No ignore list for \"" + std::string(code) + "\".");
    m_lists[i].push_back({value, location});
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
