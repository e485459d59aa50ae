#pragma once
// The registry of a Wine prefix: system.reg as HKEY_LOCAL_MACHINE, user.reg
// as HKEY_CURRENT_USER, and HKEY_CLASSES_ROOT as the merged view of
// HKLM\Software\Classes and HKCU\Software\Classes (the user's keys win).
// This is the program's stand-in for the Windows registry functions.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Hive.h"
#include "platform/Result.h"

namespace kestrane::reg {

enum class Root { ClassesRoot, CurrentUser, LocalMachine };

// Access masks as the registry functions know them.
constexpr std::uint32_t KEY_READ = 0x20019;
constexpr std::uint32_t KEY_READ_ONLY_QUERY = 0x20009;  // query and enumerate values
constexpr std::uint32_t KEY_WRITE = 0x20006;
constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

bool needsWrite(std::uint32_t access);
std::string_view rootName(Root root);       // "HKEY_CURRENT_USER", ...
std::optional<Root> parseRootName(std::string_view name);  // long or short names ("HKCU")

// An open key. Under HKEY_CLASSES_ROOT it may stand for a key of both hives.
struct KeyHandle {
    Root root = Root::CurrentUser;
    Key* user = nullptr;     // the key in user.reg (HKCU, or HKCR's user side)
    Key* machine = nullptr;  // the key in system.reg (HKLM, or HKCR's machine side)
    bool writable = false;
    std::string path;        // from the root, no leading backslash

    // The key reads come from: the user's when it exists.
    Key* primary() const { return user ? user : machine; }
};

// What a change to the registry took away, as the store's journal keeps it.
struct Removal {
    enum class Kind {
        Key,       // a key deleted, with the values it held (it had no subkeys left)
        Value,     // a value deleted or overwritten: the value as it was
        NewValue,  // a value set where there was none: its name
    };
    Kind kind = Kind::Value;
    bool machine = false;      // in system.reg, else in user.reg
    std::string keyPath;       // from the hive's root, its keys' names as stored
    std::vector<Value> values;
};

class RegistryStore {
public:
    // Loads <prefix>/system.reg and <prefix>/user.reg. A hive that is missing
    // is an error; a hive that cannot be written opens read-only.
    static Result<std::unique_ptr<RegistryStore>> openPrefix(const std::filesystem::path& prefix);
    // A store over hives already in memory (tests, the demo generator).
    static std::unique_ptr<RegistryStore> fromHives(std::unique_ptr<Hive> machine, std::unique_ptr<Hive> user);

    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    const std::filesystem::path& prefix() const { return m_prefix; }
    Hive& machineHive() { return *m_machine; }
    const Hive& machineHive() const { return *m_machine; }
    Hive& userHive() { return *m_user; }

    // Paths are components joined by '\' from the root, no leading backslash
    // ("" is the root itself). Names are compared without regard to case.
    Result<KeyHandle> openKey(Root root, std::string_view path, std::uint32_t access = KEY_READ) const;
    // A subkey of an open key, as openKey(root, parent path + '\' + name).
    Result<KeyHandle> openSubkey(const KeyHandle& parent, std::string_view name,
                                 std::uint32_t access = KEY_READ) const;
    Result<KeyHandle> createKey(Root root, std::string_view path);
    bool keyExists(Root root, std::string_view path) const;

    std::vector<std::string> subkeyNames(const KeyHandle& key) const;
    std::vector<std::string> valueNames(const KeyHandle& key) const;
    std::optional<Value> queryValue(const KeyHandle& key, std::string_view name) const;
    bool isLink(const KeyHandle& key) const;

    Status setValue(const KeyHandle& key, Value value);
    Status deleteValue(const KeyHandle& key, std::string_view name);
    // Deletes one key that has no subkeys (under HKCR from both hives).
    Status deleteKey(Root root, std::string_view path);

    // Whether a hive can be changed (its file is writable).
    bool writable(Root root) const;
    void setReadOnly(Root root, bool readOnly);

    bool changed() const;
    // Reads both hives again from the prefix (after another program changed
    // them); unsaved changes are dropped. On an error nothing changes.
    Status reload();
    // Writes each changed hive atomically. Refused while a wineserver serves
    // the prefix, or when a hive file changed on disk since it was loaded.
    Status save();

    // While the journal runs, every value or key a change takes away is kept,
    // in the order of the changes; stopping it hands them over.
    void startJournal() {
        m_journal.clear();
        m_journaling = true;
    }
    std::vector<Removal> stopJournal() {
        m_journaling = false;
        return std::move(m_journal);
    }
    bool journaling() const { return m_journaling; }

    // For the tests: runs between the write of a hive's temporary file
    // (named by its argument) and the rename that replaces the hive.
    void setBeforeReplace(std::function<void(const std::string&)> hook) { m_beforeReplace = std::move(hook); }

private:
    // A handle whose keys were looked up: found, and writable as the access asks.
    Result<KeyHandle> opened(KeyHandle h, std::uint32_t access) const;
    RegistryStore() = default;
    struct FileState;

    Key* resolve(Hive& hive, std::string_view path) const;
    Status saveHive(Hive& hive, const std::string& file, const FileState& state);

    std::filesystem::path m_prefix;
    std::unique_ptr<Hive> m_machine;
    std::unique_ptr<Hive> m_user;
    bool m_machineReadOnly = false;
    bool m_userReadOnly = false;
    std::unique_ptr<FileState> m_machineState;
    std::unique_ptr<FileState> m_userState;
    std::function<void(const std::string&)> m_beforeReplace;
    bool m_journaling = false;
    std::vector<Removal> m_journal;
    void record(Removal::Kind kind, const Key* key, std::vector<Value> values);
};

// A save writes the new hive to "<hive>.kestrane-XXXXXX" beside it, then
// renames it over the hive.
inline constexpr std::string_view kSaveMarker = ".kestrane-";

// Removes the temporary files that interrupted saves left beside a hive
// (through a link, beside the file it leads to); a save still running keeps
// its file. The files removed.
std::vector<std::filesystem::path> removeInterruptedSaves(const std::filesystem::path& hiveFile);

}  // namespace kestrane::reg
