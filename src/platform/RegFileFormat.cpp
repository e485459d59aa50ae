#include "platform/RegFileFormat.h"

namespace kestrane::reg::regformat {

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t sep = path.find('\\', start);
        if (sep == std::string_view::npos)
            sep = path.size();
        if (sep > start)
            parts.push_back(path.substr(start, sep - start));
        start = sep + 1;
    }
    return parts;
}

std::string joinPath(const std::vector<std::string_view>& parts, std::size_t from) {
    std::string path;
    for (std::size_t i = from; i < parts.size(); ++i) {
        if (!path.empty())
            path += '\\';
        path += parts[i];
    }
    return path;
}

}  // namespace kestrane::reg::regformat
