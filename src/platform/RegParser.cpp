// The registry editor file reader: Version 5.00 (UTF-16LE) and REGEDIT4
// files read into the list of changes they ask for, without touching any
// registry.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/Hive.h"
#include "platform/RegFile.h"
#include "platform/RegFileFormat.h"
#include "platform/Text.h"

namespace kestrane::reg {

using namespace regformat;

namespace {

constexpr std::size_t kMaxKeyNameUnits = 255;
constexpr std::size_t kMaxValueNameUnits = 16383;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

enum class Codec { Utf16, Utf8, Cp1252 };

// Windows-1252 for the bytes 0x80-0x9F; the rest of the code page is Latin-1.
constexpr char16_t kCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;
            if (b == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > s.size())
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF))
                return false;
        }
        i += len;
    }
    return true;
}

// Text of a byte-oriented file ("ANSI") as UTF-16.
std::u16string ansiToUnits(std::string_view bytes, Codec codec) {
    if (codec != Codec::Cp1252)
        return text::toUtf16(bytes);
    std::u16string units;
    units.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        units += (b >= 0x80 && b < 0xA0) ? kCp1252[b - 0x80] : static_cast<char16_t>(b);
    }
    return units;
}

struct ParseError {
    std::size_t line;
    std::string what;
};

struct Decoded {
    std::string text;  // UTF-8
    Codec codec = Codec::Utf8;
};

// UTF-16LE bytes (an even number) as UTF-8, in one pass; the text of a
// registry file is mostly ASCII, which goes straight through.
std::string utf16LEToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2 + bytes.size() / 8);
    const auto unit = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text::appendUtf8(out, c);
    }
    return out;
}

Decoded decode(std::string_view bytes) {
    Decoded d;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        bytes.remove_prefix(2);
        if (bytes.size() % 2 != 0)
            throw ParseError{0, "the file is not whole (UTF-16 text of an odd number of bytes)"};
        d.text = utf16LEToUtf8(bytes);
        d.codec = Codec::Utf16;
        return d;
    }
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
        throw ParseError{0, "UTF-16 big-endian files cannot be read; save the file as UTF-16LE"};
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (validUtf8(bytes)) {
        d.text = std::string(bytes);
        d.codec = Codec::Utf8;
    } else {
        d.text = text::toUtf8(ansiToUnits(bytes, Codec::Cp1252));
        d.codec = Codec::Cp1252;
    }
    return d;
}

bool isKnownRoot(std::string_view name) {
    static constexpr std::string_view kRoots[] = {
        "HKEY_LOCAL_MACHINE", "HKLM", "HKEY_CURRENT_USER",   "HKCU",  "HKEY_CLASSES_ROOT",     "HKCR",
        "HKEY_USERS",         "HKU",  "HKEY_CURRENT_CONFIG", "HKCC",  "HKEY_PERFORMANCE_DATA", "HKEY_DYN_DATA",
    };
    return std::any_of(std::begin(kRoots), std::end(kRoots),
                       [&](std::string_view r) { return text::equalNames(r, name); });
}

class Parser {
public:
    Parser(std::string_view text, Codec codec) : m_codec(codec) {
        m_lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        m_ops.reserve(m_lines.capacity());
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t eol = text.find('\n', start);
            if (eol == std::string_view::npos)
                eol = text.size();
            std::string_view line = text.substr(start, eol - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            m_lines.push_back(line);
            start = eol + 1;
        }
    }

    std::vector<RegOperation> run() {
        header();
        for (m_index = 1; m_index < m_lines.size(); ++m_index) {
            std::string_view s = m_lines[m_index];
            std::size_t pos = skipBlanks(s, 0);
            if (pos == s.size() || s[pos] == ';' || s[pos] == '#')
                continue;
            if (s[pos] == '[')
                keyLine(s.substr(pos));
            else if (s[pos] == '"' || s[pos] == '@')
                valueLine(s, pos);
            else
                fail("this line is neither a key, a value nor a comment");
        }
        return std::move(m_ops);
    }

private:
    [[noreturn]] void fail(std::string what) const { throw ParseError{m_index + 1, std::move(what)}; }

    static std::size_t skipBlanks(std::string_view s, std::size_t pos) {
        while (pos < s.size() && isBlank(s[pos]))
            ++pos;
        return pos;
    }

    // Only blanks or a comment may follow a value.
    void expectEnd(std::string_view s, std::size_t pos) const {
        pos = skipBlanks(s, pos);
        if (pos < s.size() && s[pos] != ';')
            fail("unexpected text after the value: \"" + std::string(s.substr(pos)) + "\"");
    }

    void header() {
        m_index = 0;
        const std::string_view first = trimmed(m_lines.front());
        if (first == kVersion5 || first == kVersion4)
            return;
        if (first == "REGEDIT")
            fail("registry files of Windows 3.1 (\"REGEDIT\") cannot be read");
        fail("not a registry file: the first line must be \"" + std::string(kVersion5) + "\" or \"" +
             std::string(kVersion4) + "\"");
    }

    void keyLine(std::string_view s) {
        // The name runs to the last ']'; Windows and Wine ignore what follows.
        const std::size_t close = s.rfind(']');
        if (close == std::string_view::npos)
            fail("the key name has no closing ']'");
        std::string_view inner = s.substr(1, close - 1);
        const bool remove = !inner.empty() && inner.front() == '-';
        if (remove)
            inner.remove_prefix(1);
        const std::vector<std::string_view> parts = splitPath(inner);
        if (parts.empty())
            fail("the key name is missing");
        if (!isKnownRoot(parts.front()))
            fail("unknown root key \"" + std::string(parts.front()) + "\"");
        for (std::string_view part : parts)
            if (text::utf16Length(part) > kMaxKeyNameUnits)
                fail("a key name is longer than 255 characters");
        if (remove && parts.size() == 1)
            fail("a root key cannot be deleted");
        RegOperation op;
        op.kind = remove ? RegOperation::Kind::DeleteTree : RegOperation::Kind::OpenKey;
        op.key = joinPath(parts, 0);
        op.line = m_index + 1;
        m_key = remove ? std::nullopt : std::optional<std::string>(op.key);
        m_afterDelete = remove;
        m_ops.push_back(std::move(op));
    }

    // A quoted name or string starting at s[pos] == '"'. Returns the position
    // after the closing quote.
    std::size_t quoted(std::string_view s, std::size_t pos, std::string& out) const {
        out.clear();
        // The text runs between escapes are taken whole.
        for (++pos;;) {
            const std::size_t stop = s.find_first_of("\"\\", pos);
            if (stop == std::string_view::npos)
                break;
            out.append(s.substr(pos, stop - pos));
            if (s[stop] == '"')
                return stop + 1;
            if (stop + 1 == s.size())
                break;
            char c = s[stop + 1];
            if (c == 'n')
                c = '\n';
            else if (c == 'r')
                c = '\r';
            else if (c == '0')
                fail("\\0 cannot be part of a string");
            // Any other escaped character stands for itself ("\\", "\"").
            out += c;
            pos = stop + 2;
        }
        fail("the closing quote is missing");
    }

    void valueLine(std::string_view s, std::size_t pos) {
        RegOperation op;
        op.line = m_index + 1;
        if (s[pos] == '@') {
            ++pos;
        } else {
            pos = quoted(s, pos, op.value.name);
            // A name of UTF-8 text has no more UTF-16 units than bytes.
            if (op.value.name.size() > kMaxValueNameUnits && text::utf16Length(op.value.name) > kMaxValueNameUnits)
                fail("the value name is longer than 16383 characters");
        }
        pos = skipBlanks(s, pos);
        if (pos == s.size() || s[pos] != '=')
            fail("'=' is missing after the value name");
        pos = skipBlanks(s, pos + 1);
        std::string_view rest = s.substr(pos);

        if (!rest.empty() && rest.front() == '-') {
            expectEnd(s, pos + 1);
            op.kind = RegOperation::Kind::DeleteValue;
        } else if (!rest.empty() && rest.front() == '"') {
            std::string str;
            expectEnd(s, quoted(s, pos, str));
            op.kind = RegOperation::Kind::SetValue;
            op.value.type = REG_SZ;
            text::appendUtf8AsUtf16LE(op.value.data, str);
            op.value.data.append(2, '\0');
        } else if (rest.substr(0, 6) == "dword:") {
            pos = skipBlanks(s, pos + 6);
            std::uint32_t dw = 0;
            std::size_t digits = 0;
            for (; pos < s.size() && text::hexDigit(s[pos]) >= 0; ++pos, ++digits)
                dw = (dw << 4) | static_cast<std::uint32_t>(text::hexDigit(s[pos]));
            if (digits == 0 || digits > 8)
                fail("a dword needs one to eight hex digits");
            expectEnd(s, pos);
            op.kind = RegOperation::Kind::SetValue;
            op.value = Value::dword(std::move(op.value.name), dw);
        } else if (rest.substr(0, 3) == "hex") {
            std::uint32_t type = REG_BINARY;
            pos += 3;
            if (pos < s.size() && s[pos] == '(') {
                std::size_t digits = 0;
                type = 0;
                for (++pos; pos < s.size() && text::hexDigit(s[pos]) >= 0; ++pos, ++digits)
                    type = (type << 4) | static_cast<std::uint32_t>(text::hexDigit(s[pos]));
                if (digits == 0 || digits > 8 || pos == s.size() || s[pos] != ')')
                    fail("the type in hex(...) must be one to eight hex digits");
                ++pos;
            }
            if (pos == s.size() || s[pos] != ':')
                fail("':' is missing after the hex type");
            op.kind = RegOperation::Kind::SetValue;
            op.value.type = type;
            op.value.data = hexBytes(s, pos + 1);
            if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
                op.value.data = hexString(std::move(op.value.data));
        } else {
            fail("unknown value type: \"" + std::string(rest) + "\"");
        }

        if (m_afterDelete)
            return;  // values after [-key] have no key to go to
        if (!m_key)
            fail("a value before the first key");
        op.key = *m_key;
        m_ops.push_back(std::move(op));
    }

    // Comma-separated bytes, continued on the next line after a ",\".
    std::string hexBytes(std::string_view s, std::size_t pos) {
        std::string data;
        bool wantByte = true;  // at the start or after a comma
        for (;;) {
            pos = skipBlanks(s, pos);
            if (pos == s.size() || s[pos] == ';')
                return data;
            if (s[pos] == '\\') {
                if (!wantByte)
                    fail("a hex line can only be continued after a comma");
                if (skipBlanks(s, pos + 1) != s.size())
                    fail("unexpected text after '\\'");
                // Comment lines may sit between continued lines; a blank line
                // or the end of the file ends the data.
                do {
                    if (m_index + 1 >= m_lines.size())
                        return data;
                    s = m_lines[++m_index];
                    pos = skipBlanks(s, 0);
                } while (pos < s.size() && s[pos] == ';');
                continue;
            }
            if (!wantByte)
                fail("',' is missing between hex bytes");
            unsigned value = 0;
            std::size_t digits = 0;
            for (; pos < s.size() && text::hexDigit(s[pos]) >= 0; ++pos, ++digits)
                value = value * 16 + static_cast<unsigned>(text::hexDigit(s[pos]));
            if (digits == 0 || value > 0xFF)
                fail("bad hex byte at \"" + std::string(s.substr(pos)) + "\"");
            data += static_cast<char>(value);
            pos = skipBlanks(s, pos);
            wantByte = pos < s.size() && s[pos] == ',';
            if (wantByte)
                ++pos;
        }
    }

    // Hex-written strings: in a byte file their bytes are text in the file's
    // code page. Their data is kept as written, a terminating zero missing or
    // an odd last byte included: a restored backup gives back the very bytes
    // that were saved.
    std::string hexString(std::string data) const {
        if (data.empty() || m_codec == Codec::Utf16)
            return data;
        std::string wide;
        text::appendUtf16LE(wide, ansiToUnits(data, m_codec));
        return wide;
    }

    Codec m_codec;
    std::vector<std::string_view> m_lines;
    std::size_t m_index = 0;
    std::vector<RegOperation> m_ops;
    std::optional<std::string> m_key;  // the key the values go to
    bool m_afterDelete = false;
};

}  // namespace

Result<std::vector<RegOperation>> parseRegFile(std::string_view fileBytes, const std::string& fileName) {
    try {
        Decoded decoded = decode(fileBytes);
        return Parser(decoded.text, decoded.codec).run();
    } catch (const ParseError& e) {
        std::string where = e.line ? fileName + ", line " + std::to_string(e.line) : fileName;
        return makeError(ErrorKind::Malformed, where + ": " + e.what);
    }
}

}  // namespace kestrane::reg
