#pragma once
// The registry editor's questions and messages as dialog windows, for when a
// display is available.

#include "Prompter.h"

namespace kestrane::regedit {

class DialogPrompter : public Prompter {
public:
    bool confirm(const std::string& title, const std::string& text) override;
    void inform(const std::string& title, const std::string& text) override;
};

}  // namespace kestrane::regedit
