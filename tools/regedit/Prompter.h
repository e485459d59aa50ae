#pragma once
// The two windows of the registry editor: a yes/no question and a message,
// each with a title.

#include <string>

namespace kestrane::regedit {

class Prompter {
public:
    virtual ~Prompter() = default;
    // True when the user answers yes.
    virtual bool confirm(const std::string& title, const std::string& text) = 0;
    virtual void inform(const std::string& title, const std::string& text) = 0;
};

}  // namespace kestrane::regedit
