#pragma once
// Writes the demo's keys and values through the registry store. Every call
// creates the key (with its parents) when it is missing; the first failure
// is kept and the calls after it do nothing.

#include <cstdint>
#include <string_view>

#include "platform/RegistryStore.h"
#include "platform/Result.h"

namespace kestrane::demo {

class RegistrySeeder {
public:
    explicit RegistrySeeder(reg::RegistryStore& store) : m_store(store) {}

    // A key with nothing in it (or left as it is when it exists).
    void key(reg::Root root, std::string_view path);
    void text(reg::Root root, std::string_view path, std::string_view name, std::string_view data);
    void expandText(reg::Root root, std::string_view path, std::string_view name, std::string_view data);
    void dword(reg::Root root, std::string_view path, std::string_view name, std::uint32_t data);
    void binary(reg::Root root, std::string_view path, std::string_view name, std::string_view bytes,
                std::uint32_t type = reg::REG_BINARY);

    const Status& status() const { return m_status; }

private:
    void set(reg::Root root, std::string_view path, reg::Value value);

    reg::RegistryStore& m_store;
    Status m_status;
};

}  // namespace kestrane::demo
