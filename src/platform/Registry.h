#pragma once
// The registry operations every scanner uses: the registry string read, the
// registry string write and the wrapper TRegistry.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStore.h"

namespace kestrane::reg {

// Raised by the registry string write, the one operation that raises.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a value as text through a 256-byte buffer: a string of up to 255
// characters is read whole, a longer one reads as empty. Any failure (key or
// value missing) is the empty text. The type is not checked. The key path has
// no leading backslash.
std::string regReadString(const RegistryStore& store, Root root, std::string_view keyPath,
                          std::string_view valueName);

// The text a value gives through that 256-byte buffer.
std::string bufferedText(const Value& value);

// Writes a string value, creating the key and its missing parents. An empty
// value name writes the default value. Raises RegistryError when the key can
// be neither opened nor created, or the value cannot be set.
void regWriteString(RegistryStore& store, Root root, std::string_view keyPath,
                    std::string_view valueName, std::string_view text);

// The value names (or subkey names) of a key, as a new wrapper on `root`
// lists them after opening `keyPath` from the root without creating it
// (with full access): empty when the key cannot be opened. The path may
// begin with '\'.
std::vector<std::string> listValueNames(RegistryStore& store, Root root, std::string_view keyPath);
std::vector<std::string> listKeyNames(RegistryStore& store, Root root, std::string_view keyPath);

// Whether the system's product name (HKLM\SOFTWARE\Microsoft\Windows
// NT\CurrentVersion, ProductName) contains "Vista", "VISTA" or "vista".
bool isVista(const RegistryStore& store);

// The registry wrapper: a root, an access mask and one open key.
class TRegistry {
public:
    explicit TRegistry(RegistryStore& store) : m_store(&store) {}

    Root rootKey() const { return m_root; }
    void setRootKey(Root root);  // closes the open key
    std::uint32_t access() const { return m_access; }
    void setAccess(std::uint32_t access) { m_access = access; }

    // A path beginning with '\' is taken from the root; another path is
    // relative to the open key if there is one, else to the root.
    bool openKey(std::string_view path, bool canCreate);
    void closeKey();
    bool hasCurrentKey() const { return m_open; }
    const std::string& currentPath() const { return m_current.path; }
    bool currentKeyIsLink() const { return m_open && m_store->isLink(m_current); }

    void getValueNames(std::vector<std::string>& list) const;
    void getKeyNames(std::vector<std::string>& list) const;
    bool valueExists(std::string_view name) const;
    bool keyExists(std::string_view path) const;
    std::string readString(std::string_view name) const;  // empty when missing
    bool deleteValue(std::string_view name);
    // Deletes the key and its subtree: subkeys depth first, from the last
    // enumerated to the first, then the key; the result is the last deletion's.
    bool deleteKey(std::string_view path);

private:
    std::string absolutePath(std::string_view path) const;
    bool deleteTree(const std::string& absPath);

    RegistryStore* m_store;
    Root m_root = Root::CurrentUser;
    std::uint32_t m_access = KEY_ALL_ACCESS;
    KeyHandle m_current;
    bool m_open = false;
};

}  // namespace kestrane::reg
