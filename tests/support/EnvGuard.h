#pragma once
// Sets (or, with no value, unsets) an environment variable for the life of
// the object, and puts the old state back afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace kestrane::test {

class EnvGuard {
public:
    EnvGuard(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvGuard() {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

}  // namespace kestrane::test
