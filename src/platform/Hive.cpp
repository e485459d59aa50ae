#include "platform/Hive.h"

#include <algorithm>
#include <chrono>

#include "platform/HiveFormat.h"
#include "platform/Text.h"
#include "platform/WineText.h"

namespace kestrane::reg {

using namespace hiveformat;

// ---------------------------------------------------------------- Value

Value Value::string(std::string name, std::string_view utf8, std::uint32_t type) {
    Value v;
    v.name = std::move(name);
    v.type = type;
    text::appendUtf16LE(v.data, text::toUtf16(utf8));
    v.data.append(2, '\0');
    return v;
}

Value Value::multiString(std::string name, const std::vector<std::string>& items) {
    Value v;
    v.name = std::move(name);
    v.type = REG_MULTI_SZ;
    for (const auto& item : items) {
        text::appendUtf16LE(v.data, text::toUtf16(item));
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
    std::u16string u = text::fromUtf16LE(data);
    if (!u.empty() && u.back() == 0)
        u.pop_back();
    return u;
}

std::string Value::text() const {
    std::u16string u = text::fromUtf16LE(data);
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

std::string Hive::arch() const {
    std::string_view rest = m_preamble;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.substr(0, 6) == "#arch=")
            return std::string(line.substr(6));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return {};
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

}  // namespace kestrane::reg
