#include "platform/Hive.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Text.h"
#include "platform/WineText.h"

namespace kestrane::reg {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
constexpr std::uint64_t kTicks1601To1970 = 116444736000000000ULL;
constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The end of the line at p: the '\n', or end.
const char* lineEnd(const char* p, const char* end) {
    if (p >= end)
        return end;
    const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    return nl ? static_cast<const char*>(nl) : end;
}

void appendUnits(std::string& data, std::u16string_view units) {
    for (char16_t u : units) {
        data += static_cast<char>(u & 0xFF);
        data += static_cast<char>(u >> 8);
    }
}

std::u16string bytesToUnits(std::string_view data) {
    std::u16string out;
    out.reserve(data.size() / 2);
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        out += static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                     (static_cast<unsigned char>(data[i + 1]) << 8));
    return out;
}

// Skips an escaped string up to its terminator, without decoding it.
// Returns the terminator's position, or nullptr when the line ends first.
const char* skipEscaped(const char* p, const char* eol, char terminator) {
    for (;;) {
        auto n = static_cast<std::size_t>(eol - p);
        const char* t = static_cast<const char*>(std::memchr(p, terminator, n));
        if (!t)
            return nullptr;
        const char* b = static_cast<const char*>(std::memchr(p, '\\', static_cast<std::size_t>(t - p)));
        if (!b)
            return t;  // no escape before the terminator
        if (b + 1 >= eol || b[1] == '\r')
            return nullptr;
        p = b + 2;  // the escaped character is never a terminator
    }
}

// Decodes a string of ASCII characters whose only escapes are \\ and \"
// (most registry text) in one pass: as bytes, or as UTF-16LE when `wide`.
// Returns the closing quote, or nullptr when the text needs the full reader.
const char* decodeSimple(const char* p, const char* eol, std::string& out, bool wide) {
    out.resize(static_cast<std::size_t>(eol - p) * (wide ? 2 : 1));
    char* o = out.data();
    for (; p < eol; ++p) {
        char c = *p;
        if (c == '"') {
            out.resize(static_cast<std::size_t>(o - out.data()));
            return p;
        }
        if (c == '\\') {
            if (p + 1 >= eol || (p[1] != '\\' && p[1] != '"'))
                return nullptr;
            c = *++p;
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            return nullptr;
        }
        *o++ = c;
        if (wide)
            *o++ = '\0';
    }
    return nullptr;
}

// Reads an escaped string at p into units (when wanted); returns the
// position of the terminator or nullptr.
const char* readEscaped(const char* p, const char* end, char terminator, std::u16string* units) {
    if (!units)
        return skipEscaped(p, lineEnd(p, end), terminator);
    units->clear();
    std::size_t n = winetext::unescape(std::string_view(p, static_cast<std::size_t>(end - p)), terminator, *units);
    return n == std::string_view::npos ? nullptr : p + n;
}

// Reads one value line (with its continuation lines) starting at `p`.
// Returns the position after the value's last line, or nullptr when the
// line cannot be read. With `out` null the value is only checked.
// `lines` gets the number of continuation lines consumed.
const char* parseValue(const char* p, const char* end, Value* out, std::uint32_t& lines,
                       const char* eol = nullptr) {
    lines = 0;
    if (!eol)
        eol = lineEnd(p, end);
    std::u16string units;
    // Name.
    if (*p == '@') {
        if (out)
            out->name.clear();  // the value may be reused from another one
        ++p;
    } else {
        const char* close = out ? decodeSimple(p + 1, eol, out->name, false) : nullptr;
        if (!close) {
            close = skipEscaped(p + 1, eol, '"');
            if (!close)
                return nullptr;
            if (out && readEscaped(p + 1, end, '"', &units))
                out->name = text::toUtf8(units);
        }
        p = close + 1;
    }
    while (p < end && isBlank(*p))
        ++p;
    if (p >= end || *p != '=')
        return nullptr;
    ++p;
    while (p < end && isBlank(*p))
        ++p;
    auto rest = [&](std::size_t k) { return static_cast<std::size_t>(end - p) >= k; };
    auto finishLine = [&](const char* q) -> const char* {
        while (q < end && (isBlank(*q) || *q == '\r'))
            ++q;
        if (q < end && *q != '\n')
            return nullptr;
        return q < end ? q + 1 : q;
    };
    std::uint32_t type = REG_SZ;
    if (rest(4) && std::memcmp(p, "str(", 4) == 0) {
        p += 4;
        type = 0;
        int digits = 0;
        for (int d; p < end && (d = text::hexDigit(*p)) >= 0; ++p, ++digits)
            type = type * 16 + static_cast<std::uint32_t>(d);
        if (!digits || !rest(3) || p[0] != ')' || p[1] != ':' || p[2] != '"')
            return nullptr;
        p += 2;
    }
    if (p < end && *p == '"') {
        const char* close = out ? decodeSimple(p + 1, eol, out->data, true) : nullptr;
        if (!close) {
            close = skipEscaped(p + 1, eol, '"');
            if (!close)
                return nullptr;
            if (out) {
                readEscaped(p + 1, end, '"', &units);
                out->data.clear();
                out->data.reserve(units.size() * 2 + 2);
                appendUnits(out->data, units);
            }
        }
        if (out) {
            out->type = type;
            out->data.append(2, '\0');
        }
        return finishLine(close + 1);
    }
    if (rest(6) && std::memcmp(p, "dword:", 6) == 0) {
        p += 6;
        std::uint32_t v = 0;
        int digits = 0;
        for (int d; p < end && (d = text::hexDigit(*p)) >= 0; ++p, ++digits)
            v = v * 16 + static_cast<std::uint32_t>(d);
        if (!digits || digits > 8)
            return nullptr;
        if (out) {
            out->type = REG_DWORD;
            out->data.assign(4, '\0');
            for (int k = 0; k < 4; ++k)
                out->data[static_cast<std::size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
        }
        return finishLine(p);
    }
    if (rest(3) && std::memcmp(p, "hex", 3) == 0) {
        p += 3;
        type = REG_BINARY;
        if (p < end && *p == '(') {
            ++p;
            type = 0;
            int digits = 0;
            for (int d; p < end && (d = text::hexDigit(*p)) >= 0; ++p, ++digits)
                type = type * 16 + static_cast<std::uint32_t>(d);
            if (!digits || p >= end || *p != ')')
                return nullptr;
            ++p;
        }
        if (p >= end || *p != ':')
            return nullptr;
        ++p;
        if (out) {
            out->type = type;
            out->data.clear();
        }
        // Bytes separated by commas; a line ending in '\' goes on below.
        for (;;) {
            while (p < end && (isBlank(*p) || *p == ','))
                ++p;
            if (p >= end)
                return p;
            if (*p == '\\') {
                p = finishLine(p + 1);
                if (!p)
                    return nullptr;
                ++lines;
                continue;
            }
            if (*p == '\n' || *p == '\r')
                return finishLine(p);
            int hi = text::hexDigit(*p);
            int lo = p + 1 < end ? text::hexDigit(p[1]) : -1;
            if (hi < 0)
                return nullptr;
            if (lo < 0) {  // a single digit
                if (out)
                    out->data += static_cast<char>(hi);
                ++p;
            } else {
                if (out)
                    out->data += static_cast<char>(hi * 16 + lo);
                p += 2;
            }
            if (p < end && !(isBlank(*p) || *p == ',' || *p == '\\' || *p == '\n' || *p == '\r'))
                return nullptr;
        }
    }
    return nullptr;
}

// Wine's text of one value, as its server writes it.
void dumpValue(std::string& out, const Value& v) {
    std::size_t start = out.size();
    if (v.name.empty()) {
        out += "@=";
    } else {
        out += '"';
        winetext::escape(out, text::toUtf16(v.name), false);
        out += "\"=";
    }
    const auto n = v.data.size();
    switch (v.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        if (n >= 2 && n % 2 == 0 && v.data[n - 1] == '\0' && v.data[n - 2] == '\0') {
            if (v.type != REG_SZ)
                out += v.type == REG_EXPAND_SZ ? "str(2):" : "str(7):";
            out += '"';
            winetext::escape(out, bytesToUnits(std::string_view(v.data).substr(0, n - 2)), false);
            out += "\"\n";
            return;
        }
        break;
    case REG_DWORD:
        if (n == 4) {
            std::uint32_t dw = 0;
            for (int k = 3; k >= 0; --k)
                dw = (dw << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(k)]);
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x\n", dw);
            out += buf;
            return;
        }
        break;
    default:
        break;
    }
    if (v.type == REG_BINARY) {
        out += "hex:";
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        out += buf;
    }
    std::size_t count = out.size() - start;
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(v.data[i]);
        out += kHex[b >> 4];
        out += kHex[b & 15];
        count += 2;
        if (i + 1 < n) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
}

void appendKeyPath(std::string& out, const Key* key) {
    if (!key->parent())
        return;
    if (key->parent()->parent()) {
        appendKeyPath(out, key->parent());
        out += "\\\\";
    }
    winetext::escape(out, text::toUtf16(key->name()), true);
}

struct LineReader {
    const char* p;
    const char* end;
};

}  // namespace

// ---------------------------------------------------------------- Value

Value Value::string(std::string name, std::string_view utf8, std::uint32_t type) {
    Value v;
    v.name = std::move(name);
    v.type = type;
    appendUnits(v.data, text::toUtf16(utf8));
    v.data.append(2, '\0');
    return v;
}

Value Value::multiString(std::string name, const std::vector<std::string>& items) {
    Value v;
    v.name = std::move(name);
    v.type = REG_MULTI_SZ;
    for (const auto& item : items) {
        appendUnits(v.data, text::toUtf16(item));
        v.data.append(2, '\0');
    }
    v.data.append(2, '\0');
    return v;
}

Value Value::dword(std::string name, std::uint32_t dw) {
    Value v;
    v.name = std::move(name);
    v.type = REG_DWORD;
    for (int k = 0; k < 4; ++k)
        v.data += static_cast<char>((dw >> (8 * k)) & 0xFF);
    return v;
}

Value Value::binary(std::string name, std::string bytes, std::uint32_t type) {
    Value v;
    v.name = std::move(name);
    v.type = type;
    v.data = std::move(bytes);
    return v;
}

std::u16string Value::units() const {
    std::u16string u = bytesToUnits(data);
    if (!u.empty() && u.back() == 0)
        u.pop_back();
    return u;
}

std::string Value::text() const {
    std::u16string u = bytesToUnits(data);
    auto zero = u.find(char16_t{0});
    if (zero != std::u16string::npos)
        u.resize(zero);
    return text::toUtf8(u);
}

std::optional<std::uint32_t> Value::asDword() const {
    if (data.size() != 4)
        return std::nullopt;
    std::uint32_t dw = 0;
    for (int k = 3; k >= 0; --k)
        dw = (dw << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(k)]);
    return dw;
}

// ---------------------------------------------------------------- Key

struct Key::Body {
    std::vector<Value> values;             // sorted by name
    std::vector<std::string> extraLines;   // "#class=...", "#link", unknown lines, with '\n'
};

std::uint64_t filetimeNow() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
    return kTicks1601To1970 + static_cast<std::uint64_t>(ticks);
}

std::string Key::path() const {
    if (!m_parent)
        return {};
    std::string p = m_parent->path();
    if (!p.empty())
        p += '\\';
    p += m_name;
    return p;
}

static bool nameLess(const Key* k, std::string_view name) { return text::compareNames(k->name(), name) < 0; }

Key* Key::findSubkey(std::string_view name) const {
    auto it = std::lower_bound(m_subkeys.begin(), m_subkeys.end(), name, nameLess);
    if (it != m_subkeys.end() && text::equalNames((*it)->name(), name))
        return *it;
    return nullptr;
}

// Decodes the raw text of the key: values, and the lines that are not values.
// Decodes the raw text of the key into values[0, count) (reusing the
// elements already there) and, when wanted, the lines that are not values.
std::size_t Key::decodeValues(std::vector<Value>& values, std::vector<std::string>* extraLines) const {
    std::size_t count = 0;
    auto sectionOf = [&](const char* text, std::uint32_t len) {
        const char* p = text;
        const char* end = text + len;
        // Skip the separator and the key line.
        while (p < end && *p != '[')
            ++p;
        while (p < end && *p != '\n')
            ++p;
        if (p < end)
            ++p;
        while (p < end) {
            const char* line = p;
            while (p < end && isBlank(*p))
                ++p;
            if (p < end && (*p == '"' || *p == '@')) {
                if (values.size() <= count)
                    values.emplace_back();
                Value& v = values[count];
                std::uint32_t lines = 0;
                const char* next = parseValue(p, end, &v, lines);
                p = next ? next : end;  // checked at load: cannot fail here
                // The same name twice: the first spelling stays, the last data wins.
                std::size_t same = 0;
                while (same < count && !text::equalNames(values[same].name, v.name))
                    ++same;
                if (same < count) {
                    values[same].type = v.type;
                    values[same].data.swap(v.data);
                } else {
                    ++count;
                }
                continue;
            }
            const char* eol = lineEnd(p, end);
            const char* next = eol < end ? eol + 1 : end;
            std::string_view content(p, static_cast<std::size_t>(next - p));
            if (content.substr(0, 6) == "#time=") {
                if (!m_modified) {
                    std::uint64_t t = 0;
                    for (std::size_t k = 6; k < content.size() && text::hexDigit(content[k]) >= 0; ++k)
                        t = t * 16 + static_cast<std::uint64_t>(text::hexDigit(content[k]));
                    m_modified = t;
                }
            } else if (extraLines && !content.empty() && content[0] == '#') {
                std::string l(line, static_cast<std::size_t>(next - line));
                if (l.empty() || l.back() != '\n')
                    l += '\n';
                if (std::find(extraLines->begin(), extraLines->end(), l) == extraLines->end())
                    extraLines->push_back(std::move(l));
            }
            p = next;
        }
    };
    if (m_raw)
        sectionOf(m_raw, m_rawLen);
    if (m_inExtraSections)
        for (const auto& [key, section] : m_hive->m_extraSections)
            if (key == this)
                sectionOf(section.text, section.len);
    auto less = [](const Value& a, const Value& b) { return text::compareNames(a.name, b.name) < 0; };
    auto last = values.begin() + static_cast<std::ptrdiff_t>(count);
    if (!std::is_sorted(values.begin(), last, less))
        std::stable_sort(values.begin(), last, less);
    return count;
}

void Key::materialize() const {
    if (m_body)
        return;
    auto body = std::make_unique<Body>();
    body->values.resize(decodeValues(body->values, &body->extraLines));
    m_body = std::move(body);
}

void Key::forEachValue(const std::function<void(const Value&)>& fn) const {
    if (m_deleted || m_link)
        return;
    if (m_body) {
        for (const Value& v : m_body->values)
            fn(v);
        return;
    }
    thread_local std::vector<Value> scratch;  // its strings keep their buffers from key to key
    const std::size_t count = decodeValues(scratch, nullptr);
    for (std::size_t i = 0; i < count; ++i)
        fn(scratch[i]);
}

std::vector<Value> Key::values() const {
    if (m_deleted || m_link)
        return {};
    materialize();
    if (!m_dirty) {  // keys that are only read keep nothing decoded
        std::vector<Value> v = std::move(m_body->values);
        m_body.reset();
        return v;
    }
    return m_body->values;
}

std::vector<std::string> Key::valueNames() const {
    std::vector<std::string> names;
    for (auto& v : values())
        names.push_back(std::move(v.name));
    return names;
}

std::optional<Value> Key::value(std::string_view name) const {
    for (auto& v : values())
        if (text::equalNames(v.name, name))
            return std::move(v);
    return std::nullopt;
}

void Key::touch() {
    materialize();
    m_dirty = true;
    m_modified = m_hive->m_now ? m_hive->m_now() : filetimeNow();
    m_hive->m_dirty = true;
}

Key* Key::createSubkey(std::string_view name) {
    if (m_deleted || m_link || name.empty() || name.find('\\') != std::string_view::npos)
        return nullptr;
    if (text::utf16Length(name) > 255)
        return nullptr;
    auto it = std::lower_bound(m_subkeys.begin(), m_subkeys.end(), name, nameLess);
    if (it != m_subkeys.end() && text::equalNames((*it)->name(), name))
        return *it;
    Key* k = m_hive->newKey(std::string(name), this);
    m_subkeys.insert(it, k);
    k->touch();
    touch();
    return k;
}

bool Key::setValue(Value v) {
    if (m_deleted || m_link || text::utf16Length(v.name) > 16383)
        return false;
    touch();
    auto& vals = m_body->values;
    auto it = std::lower_bound(vals.begin(), vals.end(), v.name,
                               [](const Value& a, const std::string& n) { return text::compareNames(a.name, n) < 0; });
    if (it != vals.end() && text::equalNames(it->name, v.name)) {
        it->type = v.type;
        it->data = std::move(v.data);
    } else {
        vals.insert(it, std::move(v));
    }
    return true;
}

bool Key::deleteValue(std::string_view name) {
    if (m_deleted || m_link)
        return false;
    materialize();
    auto& vals = m_body->values;
    auto it = std::find_if(vals.begin(), vals.end(), [&](const Value& v) { return text::equalNames(v.name, name); });
    if (it == vals.end()) {
        if (!m_dirty)
            m_body.reset();
        return false;
    }
    vals.erase(it);
    touch();
    return true;
}

bool Key::deleteSubkey(std::string_view name) {
    if (m_deleted || m_link)
        return false;
    auto it = std::lower_bound(m_subkeys.begin(), m_subkeys.end(), name, nameLess);
    if (it == m_subkeys.end() || !text::equalNames((*it)->name(), name))
        return false;
    Key* k = *it;
    if (!k->m_subkeys.empty() || k->m_link)
        return false;
    k->m_deleted = true;
    k->m_body.reset();
    m_subkeys.erase(it);
    touch();
    return true;
}

// ---------------------------------------------------------------- Hive

Hive::Hive() = default;
Hive::~Hive() = default;

Key* Hive::newKey(std::string name, Key* parent) {
    Key& k = m_keys.emplace_back();
    k.m_name = std::move(name);
    k.m_parent = parent;
    k.m_hive = this;
    return &k;
}

std::unique_ptr<Hive> Hive::empty(std::string_view relativeTo, std::string_view arch) {
    std::string text(kHeader);
    text += "\n;; All keys relative to ";
    winetext::escape(text, text::toUtf16(relativeTo), true);
    text += "\n\n";
    if (!arch.empty()) {
        text += "#arch=";
        text += arch;
        text += '\n';
    }
    auto r = parse(std::move(text), "");
    auto hive = std::move(r.value());
    hive->m_dirty = true;  // a new hive has never been written
    return hive;
}

Result<std::unique_ptr<Hive>> Hive::load(const std::string& fileName) {
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return makeError(ErrorKind::NotFound, fileName + ": cannot open: " + std::strerror(errno));
    struct stat st {};
    std::size_t size = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, text.get() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            return makeError(ErrorKind::Failure, fileName + ": cannot read: " + std::strerror(err));
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return parseOwned(std::move(text), got, fileName);
}

Result<std::unique_ptr<Hive>> Hive::parse(std::string_view content, const std::string& fileName) {
    std::unique_ptr<char[]> text(new char[content.size() + 1]);
    std::memcpy(text.get(), content.data(), content.size());
    return parseOwned(std::move(text), content.size(), fileName);
}

Result<std::unique_ptr<Hive>> Hive::parseOwned(std::unique_ptr<char[]> text, std::size_t size,
                                               const std::string& fileName) {
    std::unique_ptr<Hive> hive(new Hive());
    hive->m_text = std::move(text);
    hive->m_size = size;
    hive->m_fileName = fileName;
    hive->m_root = hive->newKey("", nullptr);
    const char* const begin = hive->m_text.get();
    const char* const end = begin + size;
    auto fail = [&](std::uint32_t line, const std::string& what) {
        return makeError(ErrorKind::Malformed,
                         (fileName.empty() ? std::string("registry") : fileName) + ", line " + std::to_string(line) +
                             ": " + what);
    };

    // Line 1: the header, exactly.
    const char* eol1 = lineEnd(begin, end);
    std::string_view first(begin, static_cast<std::size_t>(eol1 - begin));
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    if (first != kHeader)
        return fail(1, "not a Wine registry file (the first line must be \"WINE REGISTRY Version 2\")");

    std::vector<Key*> stack;  // the path of the last key line
    std::vector<std::string_view> components;
    std::u16string decoded;
    std::string decodedPath;
    Key* current = nullptr;
    const char* lastContentEnd = eol1 < end ? eol1 + 1 : end;
    const char* p = lastContentEnd;
    std::uint32_t lineNo = 1;
    bool preambleDone = false;

    Section* extra = nullptr;  // a second section of a key already read
    Key* extraKey = nullptr;
    auto closeKey = [&](const char* at) {
        if (current)
            current->m_rawLen = static_cast<std::uint32_t>(at - current->m_raw);
        if (extra)
            extra->len = static_cast<std::uint32_t>(at - extra->text);
        current = nullptr;
        extra = nullptr;
    };

    while (p < end) {
        ++lineNo;
        const char* line = p;
        const char* q = p;
        while (q < end && isBlank(*q))
            ++q;
        const char* eol = lineEnd(q, end);
        const char* next = eol < end ? eol + 1 : end;
        char c = q < end ? *q : '\n';
        if (c == '\n' || c == '\r' || c == ';') {  // blank line or comment
            p = next;
            if (c == ';')
                lastContentEnd = next;
            continue;
        }
        if (c == '[') {
            // Fast path: an ASCII path whose only escapes are the "\\" separators.
            components.clear();
            const char* close = nullptr;
            bool plain = true;
            for (const char* r = q + 1; r < eol; ++r) {
                char ch = *r;
                if (ch == ']') {
                    close = r;
                    break;
                }
                if (ch == '\\') {
                    if (r + 1 < eol && r[1] == '\\') {
                        ++r;
                        continue;
                    }
                    plain = false;
                    break;
                }
                if (static_cast<unsigned char>(ch) >= 0x80) {
                    plain = false;
                    break;
                }
            }
            std::string_view path;
            const bool doubled = plain && close;
            if (doubled) {
                path = std::string_view(q + 1, static_cast<std::size_t>(close - q - 1));
            } else {
                decoded.clear();
                close = readEscaped(q + 1, end, ']', &decoded);
                if (!close)
                    return fail(lineNo, "key line without closing ']'");
                decodedPath = text::toUtf8(decoded);
                path = decodedPath;
            }
            const char* after = close + 1;
            while (after < end && (isBlank(*after) || (*after >= '0' && *after <= '9') || *after == '\r'))
                ++after;
            if (after < end && *after != '\n')
                return fail(lineNo, "unexpected text after the key name");
            // Split at '\' (the plain text has each separator doubled).
            for (std::size_t start = 0; start <= path.size();) {
                std::size_t sep = path.find('\\', start);
                std::size_t stop = sep == std::string_view::npos ? path.size() : sep;
                if (stop > start) {
                    std::string_view comp = path.substr(start, stop - start);
                    if (comp.size() > 255 && text::utf16Length(comp) > 255)
                        return fail(lineNo, "key name longer than 255 characters");
                    components.push_back(comp);
                }
                if (sep == std::string_view::npos)
                    break;
                start = stop + (doubled ? 2 : 1);
            }
            closeKey(lastContentEnd);
            if (!preambleDone) {
                hive->m_preamble.assign(begin, lastContentEnd);
                preambleDone = true;
            }
            // Walk down from the deepest common ancestor of the previous key.
            std::size_t common = 0;
            while (common < stack.size() && common < components.size() &&
                   (stack[common]->m_name == components[common] ||
                    text::equalNames(stack[common]->m_name, components[common])))
                ++common;
            stack.resize(common);
            Key* parent = common ? stack.back() : hive->m_root;
            for (std::size_t k = common; k < components.size(); ++k) {
                auto& subs = parent->m_subkeys;
                Key* child = nullptr;
                if (subs.empty() || text::compareNames(subs.back()->m_name, components[k]) < 0) {
                    child = hive->newKey(std::string(components[k]), parent);
                    subs.push_back(child);
                } else {
                    auto it = std::lower_bound(subs.begin(), subs.end(), components[k], nameLess);
                    if (it != subs.end() && text::equalNames((*it)->m_name, components[k])) {
                        child = *it;
                    } else {
                        child = hive->newKey(std::string(components[k]), parent);
                        subs.insert(it, child);
                    }
                }
                stack.push_back(child);
                parent = child;
            }
            Key* key = parent;
            if (key->m_raw) {
                // The same key twice: Wine merges the sections. The key is
                // then written anew if the hive is saved.
                closeKey(lastContentEnd);
                hive->m_extraSections.emplace_back(key, Section{lastContentEnd, 0});
                key->m_dirty = true;
                key->m_inExtraSections = true;
                current = nullptr;
                extra = &hive->m_extraSections.back().second;
                extraKey = key;
                lastContentEnd = next;
                p = next;
                continue;
            }
            extra = nullptr;
            extraKey = nullptr;
            key->m_raw = lastContentEnd;
            key->m_rawLine = lineNo;
            current = key;
            lastContentEnd = next;
            p = next;
            continue;
        }
        Key* owner = current ? current : extraKey;
        if (!owner) {
            // Before the first key: only '#' lines (such as #arch) belong here.
            if (c == '#') {
                lastContentEnd = next;
                p = next;
                continue;
            }
            return fail(lineNo, "a value before the first key");
        }
        if (c == '"' || c == '@') {
            std::uint32_t lines = 0;
            const char* after = parseValue(q, end, nullptr, lines, eol);
            if (!after)
                return fail(lineNo, "cannot read this value");
            lineNo += lines;
            lastContentEnd = after;
            p = after;
            continue;
        }
        if (c == '#') {
            std::string_view directive(q, static_cast<std::size_t>(next - q));
            if (directive.substr(0, 5) == "#link")
                owner->m_link = true;
            else if (directive.substr(0, 7) == "#class=")
                owner->m_hasClass = true;
            lastContentEnd = next;
            p = next;
            continue;
        }
        (void)line;
        return fail(lineNo, "unrecognized line");
    }
    closeKey(end);
    if (!preambleDone)
        hive->m_preamble.assign(begin, size);
    return hive;
}

Key* Hive::find(std::string_view path) const {
    Key* k = m_root;
    std::size_t start = 0;
    while (k && start <= path.size()) {
        std::size_t sep = path.find('\\', start);
        std::string_view comp = path.substr(start, sep == std::string_view::npos ? std::string_view::npos : sep - start);
        if (!comp.empty()) {
            if (k->m_link)
                return nullptr;  // never through a link
            k = k->findSubkey(comp);
        }
        if (sep == std::string_view::npos)
            break;
        start = sep + 1;
    }
    return k;
}

std::string Hive::serialize() const {
    std::string out;
    out.reserve(m_size + 4096);
    out += m_preamble;
    // Depth first, in the registry's order.
    std::vector<const Key*> todo{m_root};
    while (!todo.empty()) {
        const Key* k = todo.back();
        todo.pop_back();
        for (auto it = k->m_subkeys.rbegin(); it != k->m_subkeys.rend(); ++it)
            todo.push_back(*it);
        if (!k->m_dirty) {
            if (k->m_raw)
                out.append(k->m_raw, k->m_rawLen);
            continue;
        }
        k->materialize();
        const auto& body = *k->m_body;
        bool hasClass = false;
        for (const auto& l : body.extraLines)
            hasClass = hasClass || l.compare(0, 7, "#class=") == 0;
        if (body.values.empty() && !k->m_subkeys.empty() && !hasClass && !k->m_link)
            continue;  // implied by its subkeys
        out += "\n[";
        appendKeyPath(out, k);
        std::uint64_t t = k->m_modified;
        char buf[64];
        std::snprintf(buf, sizeof buf, "] %u\n#time=%x%08x\n",
                      static_cast<unsigned>(t >= kTicks1601To1970 ? (t - kTicks1601To1970) / kTicksPerSecond : 0),
                      static_cast<unsigned>(t >> 32), static_cast<unsigned>(t & 0xFFFFFFFFu));
        out += buf;
        for (const auto& l : body.extraLines)
            out += l;
        for (const auto& v : body.values)
            dumpValue(out, v);
    }
    return out;
}

}  // namespace kestrane::reg
