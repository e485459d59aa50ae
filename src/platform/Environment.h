#pragma once
// The environment a Windows program of the prefix starts with, as Wine
// builds it from the registry: the machine's variables (Session
// Manager\Environment), the variables of the user's profile, then the
// user's own (HKCU\Environment); a later variable replaces an earlier one
// of the same name (without regard to case).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/RegistryStore.h"

namespace kestrane::files {

class PrefixEnvironment {
public:
    static PrefixEnvironment read(const reg::RegistryStore& store);

    // The value of a variable (its own references not yet expanded).
    std::optional<std::string> value(std::string_view name) const;
    // The text with its %NAME% references expanded, again and again while
    // values bring new ones (a few rounds at most); unknown names stay.
    std::string expand(std::string_view text) const;
    // The value of a variable, expanded; empty when there is none.
    std::string expanded(std::string_view name) const;

    const std::vector<std::pair<std::string, std::string>>& variables() const { return m_vars; }
    void set(std::string name, std::string value);

private:
    std::vector<std::pair<std::string, std::string>> m_vars;
};

}  // namespace kestrane::files
