#include "demo/RegistrySeeder.h"

#include <string>

namespace kestrane::demo {

void RegistrySeeder::key(reg::Root root, std::string_view path) {
    if (!m_status)
        return;
    auto handle = m_store.createKey(root, path);
    if (!handle)
        m_status = handle.error();
}

void RegistrySeeder::set(reg::Root root, std::string_view path, reg::Value value) {
    if (!m_status)
        return;
    auto handle = m_store.createKey(root, path);
    if (!handle) {
        m_status = handle.error();
        return;
    }
    Status written = m_store.setValue(*handle, std::move(value));
    if (!written)
        m_status = written;
}

void RegistrySeeder::text(reg::Root root, std::string_view path, std::string_view name, std::string_view data) {
    set(root, path, reg::Value::string(std::string(name), data));
}

void RegistrySeeder::expandText(reg::Root root, std::string_view path, std::string_view name,
                                std::string_view data) {
    set(root, path, reg::Value::string(std::string(name), data, reg::REG_EXPAND_SZ));
}

void RegistrySeeder::dword(reg::Root root, std::string_view path, std::string_view name, std::uint32_t data) {
    set(root, path, reg::Value::dword(std::string(name), data));
}

void RegistrySeeder::binary(reg::Root root, std::string_view path, std::string_view name, std::string_view bytes,
                            std::uint32_t type) {
    set(root, path, reg::Value::binary(std::string(name), std::string(bytes), type));
}

}  // namespace kestrane::demo
