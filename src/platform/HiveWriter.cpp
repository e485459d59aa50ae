// The hive writer: keys that did not change go back with the bytes they
// were read from; changed keys are written as Wine's server writes them.

#include <cstdio>

#include "platform/HiveFormat.h"
#include "platform/Text.h"
#include "platform/WineText.h"

namespace kestrane::reg {

using namespace hiveformat;

namespace {

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
            winetext::escape(out, text::fromUtf16LE(std::string_view(v.data).substr(0, n - 2)), false);
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

}  // namespace

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
            if (k->m_raw) {
                // The file's last key may end without a newline; written
                // before another key it must not run into that key's line.
                if (!out.empty() && out.back() != '\n')
                    out += '\n';
                out.append(k->m_raw, k->m_rawLen);
            }
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
