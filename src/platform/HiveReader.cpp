// The hive reader: Wine's registry text checked line by line and split into
// keys whose original text is kept; values are decoded only when asked for.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/HiveFormat.h"
#include "platform/Text.h"
#include "platform/WineText.h"

namespace kestrane::reg {

namespace hiveformat {

namespace {

// Skips an escaped string up to its terminator, without decoding it.

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

// Reads the text in quotes whose opening quote is at p into `into`: UTF-8
// for a name, UTF-16LE for string data (`wide`); with `into` null it is
// only checked. Returns the position of the closing quote, or nullptr. A
// text that cannot be decoded never leaves `into` holding another value's.
const char* readQuoted(const char* p, const char* end, const char* eol, std::string* into, bool wide,
                       std::u16string& units) {
    if (into)
        if (const char* close = decodeSimple(p + 1, eol, *into, wide))
            return close;
    const char* close = skipEscaped(p + 1, eol, '"');
    if (!close || !into)
        return close;
    if (!readEscaped(p + 1, end, '"', &units))
        return nullptr;
    into->clear();
    if (wide) {
        into->reserve(units.size() * 2 + 2);
        text::appendUtf16LE(*into, units);
    } else {
        *into = text::toUtf8(units);
    }
    return close;
}

}  // namespace

// Reads one value line (with its continuation lines) starting at `p`.
// Returns the position after the value's last line, or nullptr when the

// line cannot be read. With `out` null the value is only checked.
// `lines` gets the number of continuation lines consumed.
const char* parseValue(const char* p, const char* end, Value* out, std::uint32_t& lines,
                       const char* eol) {
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
        const char* close = readQuoted(p, end, eol, out ? &out->name : nullptr, false, units);
        if (!close)
            return nullptr;
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
        const char* close = readQuoted(p, end, eol, out ? &out->data : nullptr, true, units);
        if (!close)
            return nullptr;
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

}  // namespace hiveformat

using namespace hiveformat;

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

}  // namespace kestrane::reg
