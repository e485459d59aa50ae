#pragma once
// The registry editor's questions and messages as text on a terminal. With
// no terminal to answer on, every question is answered no.

#include <istream>
#include <ostream>

#include "Prompter.h"

namespace kestrane::regedit {

class TerminalPrompter : public Prompter {
public:
    TerminalPrompter(std::istream& in, std::ostream& out, bool interactive)
        : m_in(in), m_out(out), m_interactive(interactive) {}

    bool confirm(const std::string& title, const std::string& text) override;
    void inform(const std::string& title, const std::string& text) override;

private:
    std::istream& m_in;
    std::ostream& m_out;
    bool m_interactive;
};

}  // namespace kestrane::regedit
