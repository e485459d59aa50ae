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
void appendEscaped(std::u16string& out, std::u16string_view units) {
    for (char16_t c : units) {
        switch (c) {
        case u'\\': out += u"\\\\"; break;
        case u'"': out += u"\\\""; break;
        case u'\r': out += u"\\r"; break;
        case u'\n': out += u"\\n"; break;
        default: out += c;
        }
    }
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

std::u16string stringUnits(std::string_view data) {
    std::u16string units;
    for (std::size_t i = 0; i + 2 < data.size(); i += 2)  // all but the terminating zero
        units += static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                       (static_cast<unsigned char>(data[i + 1]) << 8));
    return units;
}

void appendValue(std::u16string& out, const Value& v) {
    const std::size_t lineStart = out.size();
    if (v.name.empty()) {
        out += u"@=";
    } else {
        out += u'"';
        appendEscaped(out, text::toUtf16(v.name));
        out += u"\"=";
    }
    char buf[32];
    if (v.type == REG_SZ && isPlainString(v.data)) {
        out += u'"';
        appendEscaped(out, stringUnits(v.data));
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

void exportTree(std::u16string& out, const Key* key, std::u16string& name) {
    // Link keys are left out: Wine's regedit would write a link's value into
    // the key it points to, and a plain key in its place would hide the link.
    if (key->isLink() || key->deleted())
        return;
    out += u"\r\n[";
    out += name;
    out += u"]\r\n";
    for (const Value& v : key->values())
        appendValue(out, v);
    for (const Key* sub : key->subkeys()) {
        const std::size_t length = name.size();
        name += u'\\';
        name += text::toUtf16(sub->name());
        exportTree(out, sub, name);
        name.resize(length);
    }
}

}  // namespace

std::string exportRegistry(const RegistryStore& store) {
    std::u16string out;
    appendAscii(out, kVersion5);
    out += u"\r\n";
    std::u16string name;
    if (auto machine = store.openKey(Root::LocalMachine, "", KEY_READ); machine && machine->machine) {
        name = u"HKEY_LOCAL_MACHINE";
        exportTree(out, machine->machine, name);
    }
    out += u"\r\n[HKEY_USERS]\r\n";
    if (auto user = store.openKey(Root::CurrentUser, "", KEY_READ); user && user->user) {
        name = u"HKEY_USERS\\";
        appendAscii(name, kUserSid);
        exportTree(out, user->user, name);
    }
    out += u"\r\n";

    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + out.size() * 2);
    text::appendUtf16LE(bytes, out);
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
                appendEscaped(out, text::toUtf16(v.name));
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
