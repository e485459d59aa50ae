#include "TerminalPrompter.h"

#include <string>

namespace kestrane::regedit {

bool TerminalPrompter::confirm(const std::string& title, const std::string& text) {
    m_out << title << '\n' << text << " [y/N] " << std::flush;
    if (!m_interactive) {
        m_out << "no (there is no terminal to answer on)\n";
        return false;
    }
    std::string answer;
    if (!std::getline(m_in, answer))
        answer.clear();
    const auto first = answer.find_first_not_of(" \t");
    return first != std::string::npos && (answer[first] == 'y' || answer[first] == 'Y');
}

void TerminalPrompter::inform(const std::string& title, const std::string& text) {
    m_out << title << '\n' << text << '\n' << std::flush;
}

}  // namespace kestrane::regedit
