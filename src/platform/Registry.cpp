#include "platform/Registry.h"

#include "platform/Text.h"

namespace kestrane::reg {

namespace {

constexpr std::size_t kReadBuffer = 256;  // bytes, terminator included

bool isStringType(std::uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The text a value gives through the fixed read buffer: the data less its
// last byte (the terminator of a string), empty when it does not fit.
}  // namespace

std::string bufferedText(const Value& v) {
    if (isStringType(v.type)) {
        const std::size_t count = (v.data.size() + 1) / 2;  // a stray odd byte counts as one more character
        if (count > kReadBuffer || count == 0)
            return {};
        const std::size_t keep = count - 1;  // the last character is the terminator's place
        // Plain ASCII, the common case, needs no conversion.
        std::string ascii(keep, '\0');
        std::size_t i = 0;
        for (; i < keep; ++i) {
            auto lo = static_cast<unsigned char>(v.data[2 * i]);
            auto hi = 2 * i + 1 < v.data.size() ? static_cast<unsigned char>(v.data[2 * i + 1]) : 0;
            if (hi != 0 || lo >= 0x80)
                break;
            if (lo == 0) {
                ascii.resize(i);
                return ascii;
            }
            ascii[i] = static_cast<char>(lo);
        }
        if (i == keep)
            return ascii;
        std::u16string units;
        for (std::size_t k = 0; k + 1 < v.data.size(); k += 2)
            units += static_cast<char16_t>(static_cast<unsigned char>(v.data[k]) |
                                           (static_cast<unsigned char>(v.data[k + 1]) << 8));
        if (v.data.size() % 2)
            units += static_cast<char16_t>(static_cast<unsigned char>(v.data.back()));
        units.resize(keep);
        if (auto zero = units.find(char16_t{0}); zero != std::u16string::npos)
            units.resize(zero);
        return text::toUtf8(units);
    }
    if (v.data.size() > kReadBuffer || v.data.empty())
        return {};
    std::string out;
    for (std::size_t i = 0; i + 1 < v.data.size() && v.data[i] != '\0'; ++i)
        text::appendUtf8(out, static_cast<unsigned char>(v.data[i]));
    return out;
}

namespace {

std::string_view stripLeading(std::string_view path) {
    if (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    return path;
}

}  // namespace

std::string regReadString(const RegistryStore& store, Root root, std::string_view keyPath, std::string_view valueName) {
    auto key = store.openKey(root, keyPath, KEY_READ);
    if (!key)
        return {};
    auto v = store.queryValue(*key, valueName);
    return v ? bufferedText(*v) : std::string();
}

void regWriteString(RegistryStore& store, Root root, std::string_view keyPath, std::string_view valueName,
                    std::string_view text) {
    auto key = store.createKey(root, keyPath);
    if (!key)
        throw RegistryError(key.error().message);
    if (!store.setValue(*key, Value::string(std::string(valueName), text)))
        throw RegistryError("Failed to set data for '" + std::string(valueName) + "'");
}

// ---------------------------------------------------------------- TRegistry

void TRegistry::setRootKey(Root root) {
    closeKey();
    m_root = root;
}

void TRegistry::closeKey() {
    m_open = false;
    m_current = KeyHandle{};
}

std::string TRegistry::absolutePath(std::string_view path) const {
    const bool relative = path.empty() || path.front() != '\\';
    path = stripLeading(path);
    if (relative && m_open && !m_current.path.empty()) {
        if (path.empty())
            return m_current.path;
        return m_current.path + '\\' + std::string(path);
    }
    return std::string(path);
}

bool TRegistry::openKey(std::string_view path, bool canCreate) {
    const std::string abs = absolutePath(path);
    Result<KeyHandle> key = canCreate ? m_store->createKey(m_root, abs) : m_store->openKey(m_root, abs, m_access);
    if (!key || (needsWrite(m_access) && !key->writable))
        return false;
    m_current = std::move(key.value());
    m_open = true;
    return true;
}

void TRegistry::getValueNames(std::vector<std::string>& list) const {
    list.clear();
    if (m_open)
        list = m_store->valueNames(m_current);
}

void TRegistry::getKeyNames(std::vector<std::string>& list) const {
    list.clear();
    if (m_open)
        list = m_store->subkeyNames(m_current);
}

bool TRegistry::valueExists(std::string_view name) const {
    return m_open && m_store->queryValue(m_current, name).has_value();
}

bool TRegistry::keyExists(std::string_view path) const {
    return m_store->openKey(m_root, absolutePath(path), KEY_READ_ONLY_QUERY).ok();
}

std::string TRegistry::readString(std::string_view name) const {
    if (!m_open)
        return {};
    auto v = m_store->queryValue(m_current, name);
    return v ? v->text() : std::string();
}

bool TRegistry::deleteValue(std::string_view name) { return m_open && m_store->deleteValue(m_current, name).ok(); }

bool TRegistry::deleteTree(const std::string& absPath) {
    if (auto key = m_store->openKey(m_root, absPath, m_access)) {
        auto names = m_store->subkeyNames(*key);
        for (auto it = names.rbegin(); it != names.rend(); ++it)
            deleteTree(absPath + '\\' + *it);
    }
    return m_store->deleteKey(m_root, absPath).ok();
}

bool TRegistry::deleteKey(std::string_view path) {
    const std::string abs = absolutePath(path);
    if (stripLeading(abs).empty())
        return false;
    return deleteTree(abs);
}

// ---------------------------------------------------------------- name lists

namespace {

std::vector<std::string> listNames(RegistryStore& store, Root root, std::string_view keyPath, bool keys) {
    TRegistry r(store);
    r.setRootKey(root);
    std::vector<std::string> names;
    if (r.openKey("\\" + std::string(stripLeading(keyPath)), false))
        keys ? r.getKeyNames(names) : r.getValueNames(names);
    return names;
}

}  // namespace

std::vector<std::string> listValueNames(RegistryStore& store, Root root, std::string_view keyPath) {
    return listNames(store, root, keyPath, false);
}

std::vector<std::string> listKeyNames(RegistryStore& store, Root root, std::string_view keyPath) {
    return listNames(store, root, keyPath, true);
}

bool isVista(const RegistryStore& store) {
    const std::string product =
        regReadString(store, Root::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName");
    for (std::string_view spelling : {"Vista", "VISTA", "vista"})
        if (product.find(spelling) != std::string::npos) return true;
    return false;
}

}  // namespace kestrane::reg
