// The registry editor file writer: the whole registry as a "Windows
// Registry Editor Version 5.00" file.

#include <cstdio>

#include "platform/Hive.h"
#include "platform/RegFile.h"
#include "platform/RegFileFormat.h"
#include "platform/Text.h"

namespace kestrane::reg {

using namespace regformat;

namespace {

// Hex data is wrapped once a line passes this width, as the registry
// editors of Windows and Wine do.
constexpr std::size_t kWrapWidth = 77;

void appendAscii(std::u16string& out, std::string_view s) {
    for (char c : s)
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
}

// Names and string data: only '\', '"', CR and LF are escaped; everything
// else is written as it is.
void appendEscaped(std::u16string& out, char16_t c) {
    switch (c) {
    case u'\\': out += u"\\\\"; break;
    case u'"': out += u"\\\""; break;
    case u'\r': out += u"\\r"; break;
    case u'\n': out += u"\\n"; break;
    default: out += c;
    }
}

void appendEscaped(std::u16string& out, std::u16string_view units) {
    for (char16_t c : units)
        appendEscaped(out, c);
}

// A name, from its UTF-8 text.
void appendEscapedName(std::u16string& out, std::string_view name) {
    thread_local std::u16string units;
    units.clear();
    text::appendUtf16(units, name);
    appendEscaped(out, units);
}

// A string value is written as text only when the text reads back as the
// same bytes: an even length and a single zero unit, the last one.
bool isPlainString(std::string_view data) {
    if (data.size() < 2 || data.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < data.size(); i += 2) {
        const bool zero = data[i] == 0 && data[i + 1] == 0;
        if (zero != (i + 2 == data.size()))
            return false;
    }
    return true;
}

// String data from its UTF-16LE bytes, all but the terminating zero.
void appendEscapedString(std::u16string& out, std::string_view data) {
    for (std::size_t i = 0; i + 2 < data.size(); i += 2)
        appendEscaped(out, static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                                 (static_cast<unsigned char>(data[i + 1]) << 8)));
}

void appendValue(std::u16string& out, const Value& v) {
    const std::size_t lineStart = out.size();
    if (v.name.empty()) {
        out += u"@=";
    } else {
        out += u'"';
        appendEscapedName(out, v.name);
        out += u"\"=";
    }
    char buf[32];
    if (v.type == REG_SZ && isPlainString(v.data)) {
        out += u'"';
        appendEscapedString(out, v.data);
        out += u'"';
    } else if (v.type == REG_DWORD && v.data.size() == 4) {
        std::uint32_t dw = 0;
        for (int k = 3; k >= 0; --k)
            dw = (dw << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(k)]);
        std::snprintf(buf, sizeof buf, "dword:%08x", dw);
        appendAscii(out, buf);
    } else {
        if (v.type == REG_BINARY) {
            out += u"hex:";
        } else {
            std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
            appendAscii(out, buf);
        }
        static constexpr char16_t kDigits[] = u"0123456789abcdef";
        std::size_t width = out.size() - lineStart;
        for (std::size_t i = 0; i < v.data.size(); ++i) {
            const auto byte = static_cast<unsigned char>(v.data[i]);
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0xF];
            if (i + 1 == v.data.size())
                break;
            out += u',';
            width += 3;
            if (width >= kWrapWidth) {
                out += u"\\\r\n  ";
                width = 2;
            }
        }
    }
    out += u"\r\n";
}

// The text of an export, handed on in pieces of about a megabyte.
class ExportWriter {
public:
    explicit ExportWriter(const std::function<bool(std::string_view)>& write) : m_write(write) {}
    std::u16string& out() { return m_out; }
    // Hands the text on once a piece is full; false once `write` refused.
    bool flushIfFull() { return m_out.size() < kPiece || flush(); }
    bool flush() {
        if (!m_ok)
            return false;
        m_bytes.clear();
        text::appendUtf16LE(m_bytes, m_out);
        m_out.clear();
        m_ok = m_write(m_bytes);
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    static constexpr std::size_t kPiece = 1 << 19;  // UTF-16 units
    const std::function<bool(std::string_view)>& m_write;
    std::u16string m_out;
    std::string m_bytes;
    bool m_ok = true;
};

bool exportTree(ExportWriter& writer, const Key* key, std::u16string& name) {
    // Link keys are left out: Wine's regedit would write a link's value into
    // the key it points to, and a plain key in its place would hide the link.
    if (key->isLink() || key->deleted())
        return true;
    std::u16string& out = writer.out();
    out += u"\r\n[";
    out += name;
    out += u"]\r\n";
    for (const Value& v : key->values())
        appendValue(out, v);
    if (!writer.flushIfFull())
        return false;
    for (const Key* sub : key->subkeys()) {
        const std::size_t length = name.size();
        name += u'\\';
        text::appendUtf16(name, sub->name());
        if (!exportTree(writer, sub, name))
            return false;
        name.resize(length);
    }
    return true;
}

}  // namespace

bool exportRegistry(const RegistryStore& store, const std::function<bool(std::string_view bytes)>& write) {
    if (!write("\xFF\xFE"))
        return false;
    ExportWriter writer(write);
    std::u16string& out = writer.out();
    appendAscii(out, kVersion5);
    out += u"\r\n";
    std::u16string name;
    if (auto machine = store.openKey(Root::LocalMachine, "", KEY_READ); machine && machine->machine) {
        name = u"HKEY_LOCAL_MACHINE";
        if (!exportTree(writer, machine->machine, name))
            return false;
    }
    writer.out() += u"\r\n[HKEY_USERS]\r\n";
    if (auto user = store.openKey(Root::CurrentUser, "", KEY_READ); user && user->user) {
        name = u"HKEY_USERS\\";
        appendAscii(name, kUserSid);
        if (!exportTree(writer, user->user, name))
            return false;
    }
    writer.out() += u"\r\n";
    return writer.flush();
}

std::string exportRegistry(const RegistryStore& store) {
    std::string bytes;
    exportRegistry(store, [&](std::string_view piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}


std::string undoFile(std::vector<Removal> removals) {
    // Written a removal at a time, each let go once written: a repair of a
    // great many values holds the journal or the text, not both.
    std::string bytes = "\xFF\xFE";
    std::u16string out;
    appendAscii(out, kVersion5);
    out += u"\r\n";
    // Undone last change first: a key comes back before the keys below it
    // (they were deleted first), and a value overwritten twice ends as it was.
    for (; !removals.empty(); removals.pop_back()) {
        const Removal* it = &removals.back();
        out += it->machine ? u"\r\n[HKEY_LOCAL_MACHINE\\" : u"\r\n[HKEY_CURRENT_USER\\";
        out += text::toUtf16(it->keyPath);
        out += u"]\r\n";
        for (const Value& v : it->values) {
            if (it->kind != Removal::Kind::NewValue) {
                appendValue(out, v);
                continue;
            }
            if (v.name.empty()) {
                out += u"@=-\r\n";
            } else {
                out += u'"';
                appendEscapedName(out, v.name);
                out += u"\"=-\r\n";
            }
        }
        text::appendUtf16LE(bytes, out);
        out.clear();
    }
    out += u"\r\n";
    text::appendUtf16LE(bytes, out);
    return bytes;
}

}  // namespace kestrane::reg
