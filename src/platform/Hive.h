#pragma once
// One registry hive held in memory, read from and written back to Wine's
// text format (system.reg, user.reg).
//
// The file's text is kept. A key that is not changed is written back with
// the very bytes it was read from; values are decoded only when asked for.
// Changed keys are written as Wine writes them, with a fresh time stamp.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace kestrane::reg {

enum ValueType : std::uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// A registry value. Data are the bytes the registry holds: strings are
// UTF-16LE with their terminating zero, DWORDs four little-endian bytes.
struct Value {
    std::string name;  // UTF-8; empty is the key's default value
    std::uint32_t type = REG_NONE;
    std::string data;

    static Value string(std::string name, std::string_view utf8, std::uint32_t type = REG_SZ);
    static Value multiString(std::string name, const std::vector<std::string>& items);
    static Value dword(std::string name, std::uint32_t v);
    static Value binary(std::string name, std::string bytes, std::uint32_t type = REG_BINARY);

    // The data read as a UTF-16 string up to its first zero unit (any type).
    std::string text() const;
    // The data as UTF-16 units, without the terminating zero when present.
    std::u16string units() const;
    std::optional<std::uint32_t> asDword() const;
};

class Hive;

// A key of a hive. Keys live as long as their hive; a deleted key is marked
// deleted and refuses every operation, so a stale pointer is never unsafe.
class Key {
public:
    std::string_view name() const { return m_name; }
    Key* parent() const { return m_parent; }
    Hive& hive() const { return *m_hive; }
    bool isLink() const { return m_link; }
    bool deleted() const { return m_deleted; }
    bool hasClass() const { return m_hasClass; }
    // The key's path below the hive root, components joined by '\'.
    std::string path() const;
    // Last write time as a FILETIME (100 ns units since 1601).
    std::uint64_t modified() const { return m_modified; }

    const std::vector<Key*>& subkeys() const { return m_subkeys; }
    Key* findSubkey(std::string_view name) const;

    // Values in the registry's order (sorted as Wine sorts them).
    std::vector<Value> values() const;
    std::vector<std::string> valueNames() const;
    std::optional<Value> value(std::string_view name) const;
    // Calls fn for each value in the registry's order without keeping them
    // decoded: for walks over many keys. The value passed lives for the call only.
    void forEachValue(const std::function<void(const Value&)>& fn) const;

    // Changes. Each one marks the key changed (fresh time stamp) and the
    // hive dirty. They fail on link keys and deleted keys.
    Key* createSubkey(std::string_view name);          // existing one is returned as is
    bool setValue(Value v);                            // replaces a value of the same name
    bool deleteValue(std::string_view name);
    bool deleteSubkey(std::string_view name);          // only a key without subkeys

private:
    friend class Hive;
    struct Body;  // decoded values and extra lines of a changed key

    void materialize() const;
    std::size_t decodeValues(std::vector<Value>& values, std::vector<std::string>* extraLines) const;
    void touch();

    std::string m_name;
    Key* m_parent = nullptr;
    Hive* m_hive = nullptr;
    std::vector<Key*> m_subkeys;            // sorted by compareNames
    const char* m_raw = nullptr;            // original text: key line to next key line
    std::uint32_t m_rawLen = 0;
    std::uint32_t m_rawLine = 0;            // line number of the key line
    mutable std::uint64_t m_modified = 0;
    mutable std::unique_ptr<Body> m_body;   // set once the key is decoded
    bool m_link = false;
    bool m_hasClass = false;
    bool m_deleted = false;
    bool m_dirty = false;                   // written anew on save
    bool m_inExtraSections = false;         // the file holds the key more than once
};

class Hive {
public:
    // Reads a hive file. A file that is not a Wine registry file, or that
    // holds a line we cannot read, is an error naming the file and the line.
    static Result<std::unique_ptr<Hive>> load(const std::string& fileName);
    static Result<std::unique_ptr<Hive>> parse(std::string_view content, const std::string& fileName);
    // An empty hive with the header Wine writes for the given relative root
    // ("REGISTRY\\Machine", "REGISTRY\\User\\S-1-5-21-0-0-0-1000").
    static std::unique_ptr<Hive> empty(std::string_view relativeTo, std::string_view arch = "win64");

    ~Hive();
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    Key* root() { return m_root; }
    const Key* root() const { return m_root; }
    Key* find(std::string_view path) const;  // components separated by '\'; "" is the root

    bool dirty() const { return m_dirty; }
    void markSaved() { m_dirty = false; }
    std::string serialize() const;

    // For the tests and the benchmark: the clock used for fresh time stamps
    // (FILETIME). Defaults to the system clock.
    void setClock(std::uint64_t (*now)()) { m_now = now; }

    std::size_t keyCount() const { return m_keys.size(); }

    // The architecture the file's #arch line names ("win32", "win64"),
    // empty when it has none.
    std::string arch() const;

private:
    friend class Key;
    Hive();
    static Result<std::unique_ptr<Hive>> parseOwned(std::unique_ptr<char[]> text, std::size_t size,
                                                    const std::string& fileName);
    Key* newKey(std::string name, Key* parent);

    struct Section {
        const char* text;
        std::uint32_t len;
    };

    std::unique_ptr<char[]> m_text;    // the file as read (not zero-filled first)
    std::size_t m_size = 0;
    std::deque<std::pair<Key*, Section>> m_extraSections;  // keys written twice in the file
    std::string m_preamble;            // everything before the first key line
    std::deque<Key> m_keys;            // arena: keys are never freed before the hive
    Key* m_root = nullptr;
    std::string m_fileName;
    bool m_dirty = false;
    std::uint64_t (*m_now)() = nullptr;
};

std::uint64_t filetimeNow();

}  // namespace kestrane::reg
