// .reg files: reading both formats, writing Wine's format, and applying a
// file to the registry store.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/Hive.h"
#include "platform/RegFile.h"
#include "platform/RegistryStore.h"
#include "platform/Text.h"
#include "support/TempPrefix.h"

using namespace kestrane;
using namespace kestrane::reg;
using Kind = RegOperation::Kind;

namespace {

// A Version 5.00 file as Windows and Wine write it: BOM, UTF-16LE, CRLF.
std::string unicodeFile(std::string_view utf8) {
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text::toUtf16(crlf)) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// An exported file back to UTF-8 text with LF line ends.
std::string exportText(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    std::string out;
    for (char c : text::toUtf8(units))
        if (c != '\r')
            out += c;
    return out;
}

std::string utf16(std::u16string_view units, bool terminate = true) {
    std::string bytes;
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    if (terminate)
        bytes.append(2, '\0');
    return bytes;
}

std::unique_ptr<RegistryStore> storeOf(std::string_view systemBody, std::string_view userBody = "") {
    auto machine = Hive::parse(std::string(test::kSystemHeader) + std::string(systemBody), "system.reg");
    auto user = Hive::parse(std::string(test::kUserHeader) + std::string(userBody), "user.reg");
    EXPECT_TRUE(machine.ok()) << machine.error().message;
    EXPECT_TRUE(user.ok()) << user.error().message;
    return RegistryStore::fromHives(std::move(machine.value()), std::move(user.value()));
}

std::vector<RegOperation> parseOk(std::string_view bytes) {
    auto ops = parseRegFile(bytes, "test.reg");
    EXPECT_TRUE(ops.ok()) << ops.error().message;
    return ops.ok() ? ops.value() : std::vector<RegOperation>{};
}

std::string parseError(std::string_view bytes) {
    auto ops = parseRegFile(bytes, "bad.reg");
    EXPECT_FALSE(ops.ok());
    return ops.ok() ? std::string() : ops.error().message;
}

std::optional<Value> valueAt(const RegistryStore& store, Root root, std::string_view path, std::string_view name) {
    auto key = store.openKey(root, path);
    if (!key)
        return std::nullopt;
    return store.queryValue(*key, name);
}

// Every key and value of the store, for comparing two registries.
void dumpKey(const Key* key, const std::string& name, std::string& out) {
    out += '[' + name + (key->isLink() ? "] link\n" : "]\n");
    for (const Value& v : key->values())
        out += "  " + v.name + '=' + std::to_string(v.type) + ':' + v.data + '\n';
    for (const Key* sub : key->subkeys())
        dumpKey(sub, name + '\\' + std::string(sub->name()), out);
}

std::string dump(RegistryStore& store) {
    std::string out;
    dumpKey(store.machineHive().root(), "HKLM", out);
    dumpKey(store.userHive().root(), "HKCU", out);
    return out;
}


// Values as Wine 8.0 holds them in user.reg, and what Wine's regedit /E wrote
// for them: every type, escapes, non-ASCII text, and the hex wrap at several
// name lengths.
const std::string kHiveKeys =
    "[Software\\\\KTest] 1415965319\n"
    "#time=1d0000000000000\n"
    "@=\"default\"\n"
    "\"be\"=hex(5):01,02,03,04\n"
    "\"big\"=hex(ffff0007):01,02\n"
    "\"ctl\"=\"a\\tb\\nc\\rd\"\n"
    "\"dw\"=dword:0000abcd\n"
    "\"dw0\"=hex(4):\n"
    "\"e\"=hex(2):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"eeee\"=hex(2):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
    "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,\\\n"
    "  2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,\\\n"
    "  47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,\\\n"
    "  60,61,62,63\n"
    "\"empty_bin\"=hex:\n"
    "\"esc\"=\"a\\\\b\\\"c\"\n"
    "\"exp\"=str(2):\"%PATH%;x\"\n"
    "\"exp_odd\"=hex(2):41\n"
    "\"f\"=hex(ffff0007):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\\n"
    "  14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,\\\n"
    "  2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,\\\n"
    "  46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,\\\n"
    "  5f,60,61,62,63\n"
    "\"fff\"=hex(ffff0007):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\\\n"
    "  13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,\\\n"
    "  2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,\\\n"
    "  45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,\\\n"
    "  5e,5f,60,61,62,63\n"
    "\"multi\"=str(7):\"a\\0bc\\0\\0\"\n"
    "\"multi_empty\"=hex(7):\n"
    "\"n\\nl\"=\"v\"\n"
    "\"na\\\"me\\\\x\"=\"v\"\n"
    "\"none\"=hex(0):\n"
    "\"none2\"=hex(0):01\n"
    "\"qw\"=hex(b):01,02,03,04,05,06,07,08\n"
    "\"sz\"=\"hello\"\n"
    "\"uni\"=\"h\\xe9llo \\xd83d\\xde00\"\n"
    "\"uniname\\xe9\"=\"v\"\n"
    "\"w\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
    "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\n"
    "  30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,48,\\\n"
    "  49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,61,\\\n"
    "  62,63\n"
    "\"wwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"wwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"wwwwwwwwwwwwwwwwwwwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n"
    "  10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,\\\n"
    "  29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,\\\n"
    "  42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,\\\n"
    "  5b,5c,5d,5e,5f,60,61,62,63\n"
    "\"wwwwwwwwwwwwwwwwwwwwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n"
    "  10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,\\\n"
    "  29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,\\\n"
    "  42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,\\\n"
    "  5b,5c,5d,5e,5f,60,61,62,63\n"
    "\"wwwwwwwwwwwwwwwwwwwwwwwwwwwwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,\\\n"
    "  0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,\\\n"
    "  26,27,28,29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,\\\n"
    "  3f,40,41,42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,\\\n"
    "  58,59,5a,5b,5c,5d,5e,5f,60,61,62,63\n"
    "\n"
    "[Software\\\\KTest\\\\br\\[a\\]ck] 1415965319\n"
    "#time=1d0000000000000\n"
    "\"x\"=\"y\"\n"
    "\n"
    "[Software\\\\KTest\\\\empty] 1415965319\n"
    "#time=1d0000000000000\n"
    "\n"
    "[Software\\\\KTest\\\\parent\\\\child] 1415965319\n"
    "#time=1d0000000000000\n"
    "\"c\"=dword:00000001\n"
    "\n"
    "[Software\\\\KTest\\\\uni\\xe9key] 1415965319\n"
    "#time=1d0000000000000\n"
    "\n"
    "";
const std::string kWineExport =
    "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest]\n"
    "@=\"default\"\n"
    "\"be\"=hex(5):01,02,03,04\n"
    "\"big\"=hex(ffff0007):01,02\n"
    "\"ctl\"=\"a\tb\\nc\\rd\"\n"
    "\"dw\"=dword:0000abcd\n"
    "\"dw0\"=hex(4):\n"
    "\"e\"=hex(2):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"eeee\"=hex(2):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
    "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,\\\n"
    "  2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,\\\n"
    "  47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,\\\n"
    "  60,61,62,63\n"
    "\"empty_bin\"=hex:\n"
    "\"esc\"=\"a\\\\b\\\"c\"\n"
    "\"exp\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,3b,00,78,00,00,00\n"
    "\"exp_odd\"=hex(2):41\n"
    "\"f\"=hex(ffff0007):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\\n"
    "  14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,\\\n"
    "  2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,\\\n"
    "  46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,\\\n"
    "  5f,60,61,62,63\n"
    "\"fff\"=hex(ffff0007):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\\\n"
    "  13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,\\\n"
    "  2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,\\\n"
    "  45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,\\\n"
    "  5e,5f,60,61,62,63\n"
    "\"multi\"=hex(7):61,00,00,00,62,00,63,00,00,00,00,00,00,00\n"
    "\"multi_empty\"=hex(7):\n"
    "\"n\\nl\"=\"v\"\n"
    "\"na\\\"me\\\\x\"=\"v\"\n"
    "\"none\"=hex(0):\n"
    "\"none2\"=hex(0):01\n"
    "\"qw\"=hex(b):01,02,03,04,05,06,07,08\n"
    "\"sz\"=\"hello\"\n"
    "\"uni\"=\"héllo 😀\"\n"
    "\"uninameé\"=\"v\"\n"
    "\"w\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
    "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\n"
    "  30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,48,\\\n"
    "  49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,61,\\\n"
    "  62,63\n"
    "\"wwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"wwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"wwwwwwwwwwwwwwwwwwwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n"
    "  10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,\\\n"
    "  29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,\\\n"
    "  42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,\\\n"
    "  5b,5c,5d,5e,5f,60,61,62,63\n"
    "\"wwwwwwwwwwwwwwwwwwwwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n"
    "  10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,\\\n"
    "  29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,\\\n"
    "  42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,\\\n"
    "  5b,5c,5d,5e,5f,60,61,62,63\n"
    "\"wwwwwwwwwwwwwwwwwwwwwwwwwwwwwww\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,\\\n"
    "  0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,\\\n"
    "  26,27,28,29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,\\\n"
    "  3f,40,41,42,43,44,45,46,47,48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,\\\n"
    "  58,59,5a,5b,5c,5d,5e,5f,60,61,62,63\n"
    "\n"
    "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest\\br[a]ck]\n"
    "\"x\"=\"y\"\n"
    "\n"
    "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest\\empty]\n"
    "\n"
    "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest\\parent]\n"
    "\n"
    "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest\\parent\\child]\n"
    "\"c\"=dword:00000001\n"
    "\n"
    "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest\\uniékey]\n"
    "\n"
    "";

}  // namespace

// ---------------------------------------------------------------- reading

TEST(RegFileParse, ReadsEveryValueTypeOfAVersion5File) {
    auto ops = parseOk(unicodeFile("Windows Registry Editor Version 5.00\n"
                                   "\n"
                                   "[HKEY_CURRENT_USER\\Software\\Test]\n"
                                   "@=\"default\"\n"
                                   "\"str\"=\"a\\\\b\\\"c\\nd\\re\"\n"
                                   "\"dw\"=dword:0000abcd\n"
                                   "\"bin\"=hex:00,ff,10\n"
                                   "\"exp\"=hex(2):25,00,41,00,25,00,00,00\n"
                                   "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
                                   "\"qw\"=hex(b):01,02,03,04,05,06,07,08\n"
                                   "\"none\"=hex(0):\n"
                                   "\"wrapped\"=hex:01,02,\\\n"
                                   "  03,04\n"
                                   "\"uni\xc3\xa9\"=\"h\xc3\xa9 \xf0\x9f\x98\x80\"\n"));
    ASSERT_EQ(ops.size(), 11u);
    EXPECT_EQ(ops[0].kind, Kind::OpenKey);
    EXPECT_EQ(ops[0].key, "HKEY_CURRENT_USER\\Software\\Test");
    EXPECT_EQ(ops[0].line, 3u);
    for (std::size_t i = 1; i < ops.size(); ++i) {
        EXPECT_EQ(ops[i].kind, Kind::SetValue);
        EXPECT_EQ(ops[i].key, "HKEY_CURRENT_USER\\Software\\Test");
    }
    auto expect = [&](std::size_t i, std::string name, std::uint32_t type, std::string data) {
        EXPECT_EQ(ops[i].value.name, name);
        EXPECT_EQ(ops[i].value.type, type) << name;
        EXPECT_EQ(ops[i].value.data, data) << name;
    };
    expect(1, "", REG_SZ, utf16(u"default"));
    expect(2, "str", REG_SZ, utf16(u"a\\b\"c\nd\re"));
    expect(3, "dw", REG_DWORD, std::string("\xcd\xab\0\0", 4));
    expect(4, "bin", REG_BINARY, std::string("\x00\xff\x10", 3));
    expect(5, "exp", REG_EXPAND_SZ, utf16(u"%A%"));
    expect(6, "multi", REG_MULTI_SZ, utf16(std::u16string(u"a\0b\0", 4)));
    expect(7, "qw", REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08");
    expect(8, "none", REG_NONE, "");
    expect(9, "wrapped", REG_BINARY, "\x01\x02\x03\x04");
    expect(10, "uni\xc3\xa9", REG_SZ, utf16(u"h\u00e9 \U0001F600"));
    EXPECT_EQ(ops[10].line, 14u);  // the continued line counts
}

TEST(RegFileParse, ReadsRegedit4FilesAsUtf8OrWindows1252) {
    auto utf8 = parseOk("REGEDIT4\r\n"
                        "\r\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\T]\r\n"
                        "\"s\"=\"h\xc3\xa9\"\r\n"
                        "\"e\"=hex(2):25,41,c3,a9,00\r\n"
                        "\"m\"=hex(7):61,00,62,00,00\r\n"
                        "\"sz\"=hex(1):41,42\r\n"
                        "\"b\"=hex:c3,a9\r\n");
    ASSERT_EQ(utf8.size(), 6u);
    EXPECT_EQ(utf8[1].value.data, utf16(u"h\u00e9"));
    // Hex-written strings of a byte file are text in the file's code page.
    EXPECT_EQ(utf8[2].value.data, utf16(u"%A\u00e9"));
    EXPECT_EQ(utf8[3].value.data, utf16(std::u16string(u"a\0b\0", 4)));
    EXPECT_EQ(utf8[4].value.data, utf16(u"AB", false));  // as written: no terminating zero
    EXPECT_EQ(utf8[5].value.data, "\xc3\xa9");  // binary stays bytes

    auto ansi = parseOk("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\T]\n\"s\"=\"h\xe9\x80\"\n\"e\"=hex(2):e9,00\n");
    ASSERT_EQ(ansi.size(), 3u);
    EXPECT_EQ(ansi[1].value.data, utf16(u"h\u00e9\u20ac"));
    EXPECT_EQ(ansi[2].value.data, utf16(u"\u00e9"));
}

TEST(RegFileParse, HexWrittenStringsKeepTheirBytes) {
    auto ops = parseOk(unicodeFile("Windows Registry Editor Version 5.00\n"
                                   "[HKEY_CURRENT_USER\\S]\n"
                                   "\"missing\"=hex(1):41,00\n"
                                   "\"present\"=hex(2):41,00,00,00\n"
                                   "\"empty\"=hex(7):\n"
                                   "\"odd\"=hex(1):41\n"
                                   "\"binary\"=hex:41,00\n"));
    ASSERT_EQ(ops.size(), 6u);
    // A restore gives back the bytes that were saved: no terminating zero is added.
    EXPECT_EQ(ops[1].value.data, std::string("A\0", 2));
    EXPECT_EQ(ops[2].value.data, std::string("A\0\0\0", 4));
    EXPECT_EQ(ops[3].value.data, "");
    EXPECT_EQ(ops[4].value.data, "A");
    EXPECT_EQ(ops[5].value.data, std::string("A\0", 2));
}

TEST(RegFileParse, ReadsDeletionsAndKeyNamesAsWineDoes) {
    auto ops = parseOk(unicodeFile("Windows Registry Editor Version 5.00\n"
                                   "[-HKEY_LOCAL_MACHINE\\Software\\Old]\n"
                                   "\"ignored\"=\"after a deletion\"\n"
                                   "[HKEY_CURRENT_USER\\Software\\\\Double\\]\n"
                                   "\"x\"=-\n"
                                   "@=-\n"
                                   "\"c\" = - ; gone\n"
                                   "[hkcu\\Software\\br[a]ck] text after the bracket\n"
                                   "[HKEY_CLASSES_ROOT\\sp ]\n"));
    ASSERT_EQ(ops.size(), 7u);
    EXPECT_EQ(ops[0].kind, Kind::DeleteTree);
    EXPECT_EQ(ops[0].key, "HKEY_LOCAL_MACHINE\\Software\\Old");
    EXPECT_EQ(ops[1].kind, Kind::OpenKey);
    EXPECT_EQ(ops[1].key, "HKEY_CURRENT_USER\\Software\\Double");
    EXPECT_EQ(ops[2].kind, Kind::DeleteValue);
    EXPECT_EQ(ops[2].value.name, "x");
    EXPECT_EQ(ops[3].kind, Kind::DeleteValue);
    EXPECT_EQ(ops[3].value.name, "");
    EXPECT_EQ(ops[4].kind, Kind::DeleteValue);
    EXPECT_EQ(ops[4].value.name, "c");
    EXPECT_EQ(ops[4].line, 7u);
    // The name runs to the last ']'; blanks inside it are part of the name.
    EXPECT_EQ(ops[5].key, "hkcu\\Software\\br[a]ck");
    EXPECT_EQ(ops[6].key, "HKEY_CLASSES_ROOT\\sp ");
}

TEST(RegFileParse, AcceptsTheLooseFormsWineAccepts) {
    auto ops = parseOk("\xEF\xBB\xBF  Windows Registry Editor Version 5.00\n"
                       "; a comment\n"
                       "# another\n"
                       "\n"
                       "   [HKEY_LOCAL_MACHINE\\S]\r\n"
                       "  \"a\" = \"x\" ; comment\n"
                       "\"b\"=dword:A ; ten\n"
                       "\"c\"=hex(B):AB, cD,\n"
                       "\"d\"=hex:01,\\\n"
                       "; a comment between continued lines\n"
                       "    02\n"
                       "\"\"=\"default\"\n");
    ASSERT_EQ(ops.size(), 6u);
    EXPECT_EQ(ops[1].value.data, utf16(u"x"));
    EXPECT_EQ(ops[2].value.data, std::string("\x0a\0\0\0", 4));
    EXPECT_EQ(ops[3].value.type, REG_QWORD);
    EXPECT_EQ(ops[3].value.data, "\xab\xcd");
    EXPECT_EQ(ops[4].value.data, "\x01\x02");
    EXPECT_EQ(ops[5].value.name, "");
}

TEST(RegFileParse, BrokenFilesNameTheFileAndTheLine) {
    struct Case {
        std::string line;
        std::string says;
    };
    const Case cases[] = {
        {"\"a\"=DWORD:1", "unknown value type"},
        {"\"a\"=HEX:01", "unknown value type"},
        {"\"a\"=str(2):\"x\"", "unknown value type"},
        {"\"a\"=dword:123456789", "one to eight hex digits"},
        {"\"a\"=dword:", "one to eight hex digits"},
        {"\"a\"=dword:10 junk", "unexpected text"},
        {"\"a\"=hex:0102", "bad hex byte"},
        {"\"a\"=hex:01,zz", "bad hex byte"},
        {"\"a\"=hex:01,,02", "bad hex byte"},
        {"\"a\"=hex:01 02", "',' is missing"},
        {"\"a\"=hex:01,02\\", "continued after a comma"},
        {"\"a\"=hex(zz):01", "hex(...)"},
        {"\"a\"=\"abc", "closing quote"},
        {"\"a\"=\"x\" junk", "unexpected text"},
        {"\"a\"=\"x\\0y\"", "\\0"},
        {"\"a\" \"x\"", "'=' is missing"},
        {"[HKEY_CURRENT_USER\\S", "closing ']'"},
        {"[HKEY_BOGUS\\S]", "unknown root key \"HKEY_BOGUS\""},
        {"[-HKEY_CURRENT_USER]", "root key cannot be deleted"},
        {"[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]", "longer than 255"},
        {"just text", "neither a key, a value nor a comment"},
    };
    for (const auto& c : cases) {
        const std::string message =
            parseError(unicodeFile("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\S]\n" + c.line + "\n"));
        EXPECT_EQ(message.rfind("bad.reg, line 3: ", 0), 0u) << c.line << " -> " << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << c.line << " -> " << message;
    }
    // A continued line reports its own number.
    EXPECT_EQ(parseError("REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=hex:01,\\\n  zz\n").rfind("bad.reg, line 4: ", 0), 0u);
    EXPECT_EQ(parseError("REGEDIT4\n\"a\"=\"b\"\n").rfind("bad.reg, line 2: a value before the first key", 0), 0u);
}

TEST(RegFileParse, RejectsFilesThatAreNotRegistryFiles) {
    EXPECT_EQ(parseError("").rfind("bad.reg, line 1: not a registry file", 0), 0u);
    EXPECT_EQ(parseError("WINE REGISTRY Version 2\n").rfind("bad.reg, line 1: not a registry file", 0), 0u);
    EXPECT_EQ(parseError(unicodeFile("Windows Registry Editor Version 5.00 junk\n")).rfind("bad.reg, line 1", 0), 0u);
    EXPECT_NE(parseError("REGEDIT\nHKEY_CLASSES_ROOT\\.txt = txtfile\n").find("Windows 3.1"), std::string::npos);
    EXPECT_NE(parseError(std::string("\xFE\xFF\0W", 4)).find("big-endian"), std::string::npos);
    EXPECT_NE(parseError(unicodeFile("REGEDIT4\n") + "x").find("odd number of bytes"), std::string::npos);
}

// ---------------------------------------------------------------- writing

TEST(RegFileExport, WritesValuesExactlyAsWinesRegeditDoes) {
    auto store = storeOf("", kHiveKeys);
    const std::string bytes = exportRegistry(*store);
    // UTF-16LE with a byte-order mark and CRLF line ends only.
    ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::string text = exportText(bytes);
    std::size_t lf = 0, crlf = 0;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\n' && bytes[i + 1] == 0) {
            ++lf;
            crlf += i >= 4 && bytes[i - 2] == '\r' && bytes[i - 1] == 0;
        }
    }
    EXPECT_EQ(lf, crlf);

    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n"
                         "\n"
                         "[HKEY_LOCAL_MACHINE]\n"
                         "\n"
                         "[HKEY_USERS]\n"
                         "\n"
                         "[HKEY_USERS\\S-1-5-21-0-0-0-1000]\n"
                         "\n"
                         "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software]\n"
                         "\n",
                         0),
              0u)
        << text.substr(0, 300);
    const auto at = text.find("[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\KTest]\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at), kWineExport);
}

TEST(RegFileExport, WritesTheMachineFirstAndLeavesLinksOut) {
    auto store = storeOf("\n[Software\\\\A] 1700000000\n\"v\"=\"1\"\n"
                         "\n[Software\\\\Wow6432Node\\\\Classes] 1700000000\n#link\n"
                         "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n"
                         "\n[Software\\\\Wow6432Node\\\\Other] 1700000000\n",
                         "\n[Console] 1700000000\n\"n\"=dword:00000001\n");
    EXPECT_EQ(exportText(exportRegistry(*store)), "Windows Registry Editor Version 5.00\n"
                                                  "\n"
                                                  "[HKEY_LOCAL_MACHINE]\n"
                                                  "\n"
                                                  "[HKEY_LOCAL_MACHINE\\Software]\n"
                                                  "\n"
                                                  "[HKEY_LOCAL_MACHINE\\Software\\A]\n"
                                                  "\"v\"=\"1\"\n"
                                                  "\n"
                                                  "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node]\n"
                                                  "\n"
                                                  "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Other]\n"
                                                  "\n"
                                                  "[HKEY_USERS]\n"
                                                  "\n"
                                                  "[HKEY_USERS\\S-1-5-21-0-0-0-1000]\n"
                                                  "\n"
                                                  "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Console]\n"
                                                  "\"n\"=dword:00000001\n"
                                                  "\n");
}

TEST(RegFileExport, KeepsDataThatATextFormWouldLose) {
    // Wine's regedit writes these as "a", "", "" and dword:<garbage>; we
    // write their bytes.
    auto store = storeOf("\n[S] 1700000000\n"
                         "\"dw3\"=hex(4):01,02,03\n"
                         "\"emb\"=\"a\\0b\"\n"
                         "\"empty\"=hex(1):\n"
                         "\"nonul\"=hex(1):41,00\n"
                         "\"odd\"=hex(1):41,00,00\n");
    const std::string text = exportText(exportRegistry(*store));
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\S]\n"
                        "\"dw3\"=hex(4):01,02,03\n"
                        "\"emb\"=hex(1):61,00,00,00,62,00,00,00\n"
                        "\"empty\"=hex(1):\n"
                        "\"nonul\"=hex(1):41,00\n"
                        "\"odd\"=hex(1):41,00,00\n"),
              std::string::npos)
        << text;

    // The string with a zero inside and the empty one read back the same.
    auto back = storeOf("");
    ASSERT_TRUE(importRegistry(*back, exportRegistry(*store), "x.reg").ok());
    EXPECT_EQ(valueAt(*back, Root::LocalMachine, "S", "emb")->data, utf16(std::u16string(u"a\0b", 3)));
    EXPECT_EQ(valueAt(*back, Root::LocalMachine, "S", "empty")->data, "");
    EXPECT_EQ(valueAt(*back, Root::LocalMachine, "S", "empty")->type, REG_SZ);
}

// ---------------------------------------------------------------- importing

TEST(RegFileImport, AnExportReadsBackAsTheSameRegistry) {
    auto store = storeOf("");
    auto put = [&](Root root, const char* path, Value v) {
        auto key = store->createKey(root, path);
        ASSERT_TRUE(key.ok());
        ASSERT_TRUE(store->setValue(*key, std::move(v)).ok());
    };
    std::string binary;
    for (int i = 0; i < 300; ++i)
        binary += static_cast<char>(i * 7);
    put(Root::LocalMachine, "Software\\Types", Value::string("", "default"));
    put(Root::LocalMachine, "Software\\Types", Value::string("quote\"back\\slash\nline", "a\\b\"c\r\nd\te"));
    put(Root::LocalMachine, "Software\\Types", Value::string("exp", "%SystemRoot%\\x", REG_EXPAND_SZ));
    put(Root::LocalMachine, "Software\\Types", Value::multiString("multi", {"one", "", "three"}));
    put(Root::LocalMachine, "Software\\Types", Value::dword("dw", 0xdeadbeef));
    put(Root::LocalMachine, "Software\\Types", Value::binary("qw", "12345678", REG_QWORD));
    put(Root::LocalMachine, "Software\\Types", Value::binary("long", binary));
    put(Root::LocalMachine, "Software\\Types", Value::binary("none", "", REG_NONE));
    put(Root::LocalMachine, "Software\\Types", Value::binary("odd type", "\x01", 0xffff0007));
    put(Root::CurrentUser, "Software\\\xc3\x9cml\xc3\xa4ut [x]\\Leaf", Value::string("\xf0\x9f\x98\x80", "\xe2\x9c\x93"));
    ASSERT_TRUE(store->createKey(Root::CurrentUser, "Software\\Empty").ok());

    auto copy = storeOf("");
    ImportReport report;
    ASSERT_TRUE(importRegistry(*copy, exportRegistry(*store), "backup.reg", &report).ok());
    EXPECT_EQ(dump(*copy), dump(*store));
    EXPECT_EQ(report.valuesSet, 10u);
    EXPECT_EQ(report.belowLinks, 0u);
    EXPECT_TRUE(report.otherRoots.empty());
}

TEST(RegFileImport, AppliesKeysValuesAndDeletions) {
    auto store = storeOf("\n[Software\\\\Old\\\\Sub\\\\Deep] 1700000000\n\"v\"=\"1\"\n"
                         "\n[Software\\\\Old\\\\Sub2] 1700000000\n"
                         "\n[Software\\\\Stay] 1700000000\n",
                         "\n[Software\\\\Keep] 1700000000\n@=\"d\"\n\"a\"=\"1\"\n\"b\"=dword:00000001\n");
    ImportReport report;
    auto s = importRegistry(*store,
                            unicodeFile("Windows Registry Editor Version 5.00\n"
                                        "\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\New\\Deeper]\n"
                                        "\"s\"=\"x\"\n"
                                        "\n"
                                        "[HKCU\\Software\\Keep]\n"
                                        "\"a\"=-\n"
                                        "\"missing\"=-\n"
                                        "@=-\n"
                                        "\"b\"=dword:00000002\n"
                                        "\n"
                                        "[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\ViaUsers]\n"
                                        "\"u\"=\"1\"\n"
                                        "\n"
                                        "[-HKEY_LOCAL_MACHINE\\Software\\Old]\n"
                                        "[-HKEY_LOCAL_MACHINE\\Software\\NotThere]\n"
                                        "\n"
                                        "[HKEY_CLASSES_ROOT\\.txt]\n"
                                        "@=\"txtfile\"\n"),
                            "change.reg", &report);
    ASSERT_TRUE(s.ok()) << s.error().message;
    EXPECT_EQ(valueAt(*store, Root::LocalMachine, "Software\\New\\Deeper", "s")->text(), "x");
    EXPECT_FALSE(valueAt(*store, Root::CurrentUser, "Software\\Keep", "a"));
    EXPECT_FALSE(valueAt(*store, Root::CurrentUser, "Software\\Keep", ""));
    EXPECT_EQ(valueAt(*store, Root::CurrentUser, "Software\\Keep", "b")->asDword(), 2u);
    EXPECT_EQ(valueAt(*store, Root::CurrentUser, "Software\\ViaUsers", "u")->text(), "1");
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Old"));
    EXPECT_TRUE(store->keyExists(Root::LocalMachine, "Software\\Stay"));
    // HKEY_CLASSES_ROOT lands in the machine's classes.
    EXPECT_EQ(store->machineHive().find("Software\\Classes\\.txt")->value("")->text(), "txtfile");
    EXPECT_EQ(report.keys, 4u);
    EXPECT_EQ(report.valuesSet, 4u);
    EXPECT_EQ(report.valuesDeleted, 2u);
    EXPECT_EQ(report.treesDeleted, 1u);
}

TEST(RegFileImport, LeavesOutWhatThePrefixDoesNotHold) {
    auto store = storeOf("\n[Software\\\\Wow6432Node\\\\Classes] 1700000000\n#link\n"
                         "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n");
    ImportReport report;
    auto s = importRegistry(*store,
                            unicodeFile("Windows Registry Editor Version 5.00\n"
                                        "[HKEY_USERS]\n"
                                        "[HKEY_USERS\\.Default\\Software]\n"
                                        "\"d\"=\"1\"\n"
                                        "[HKEY_CURRENT_CONFIG\\Software]\n"
                                        "\"c\"=\"1\"\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Classes]\n"
                                        "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Classes\\CLSID]\n"
                                        "\"x\"=\"1\"\n"
                                        "[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Classes\\CLSID]\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\Real]\n"
                                        "\"r\"=\"1\"\n"),
                            "wine.reg", &report);
    ASSERT_TRUE(s.ok()) << s.error().message;
    EXPECT_EQ(report.otherRoots, (std::vector<std::string>{"HKEY_USERS\\.Default", "HKEY_CURRENT_CONFIG"}));
    EXPECT_EQ(report.belowLinks, 3u);
    EXPECT_EQ(report.keys, 1u);
    const Key* link = store->machineHive().find("Software\\Wow6432Node\\Classes");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isLink());
    EXPECT_TRUE(link->subkeys().empty());
    EXPECT_EQ(valueAt(*store, Root::LocalMachine, "Software\\Real", "r")->text(), "1");
    EXPECT_EQ(store->userHive().root()->subkeys().size(), 0u);
}

TEST(RegFileImport, ChangesNothingWhenAnyPartCannotBeApplied) {
    const std::string system = "\n[Software\\\\Wow6432Node\\\\Classes] 1700000000\n#link\n"
                               "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n"
                               "\n[Software\\\\Wow6432Node\\\\Other] 1700000000\n";
    struct Case {
        const char* what;
        std::string file;
        std::string says;
        bool userReadOnly;
    };
    const Case cases[] = {
        {"a broken last line",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"1\"\n\"b\"=hex:zz\n", "in.reg, line 4: bad hex byte",
         false},
        {"a read-only hive",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"1\"\n[HKEY_CURRENT_USER\\Software\\B]\n",
         "in.reg, line 4: HKEY_CURRENT_USER\\Software\\B cannot be written", true},
        {"a tree holding a link",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"a\"=\"1\"\n[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node]\n",
         "in.reg, line 4: HKEY_LOCAL_MACHINE\\Software\\Wow6432Node holds a link key", false},
        {"a whole hive",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\A]\n[-HKEY_USERS\\S-1-5-21-0-0-0-1000]\n",
         "in.reg, line 3: a root key cannot be deleted", false},
    };
    for (const auto& c : cases) {
        auto store = storeOf(system);
        store->setReadOnly(Root::CurrentUser, c.userReadOnly);
        auto s = importRegistry(*store, c.file, "in.reg");
        ASSERT_FALSE(s.ok()) << c.what;
        EXPECT_EQ(s.error().message.rfind(c.says, 0), 0u) << c.what << ": " << s.error().message;
        EXPECT_FALSE(store->changed()) << c.what;
        EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\A")) << c.what;
    }
}

TEST(RegFileImport, LeavesEqualValuesAlone) {
    auto store = storeOf("\n[Software\\\\A] 1700000000\n\"s\"=\"1\"\n\"d\"=dword:00000002\n", "\n[Console] 1700000000\n");
    // Restoring an export of the same registry changes nothing at all.
    ASSERT_TRUE(importRegistry(*store, exportRegistry(*store), "same.reg").ok());
    EXPECT_FALSE(store->changed());
    ASSERT_TRUE(importRegistry(*store, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"s\"=\"2\"\n", "x.reg").ok());
    EXPECT_TRUE(store->changed());
    EXPECT_EQ(valueAt(*store, Root::LocalMachine, "Software\\A", "s")->text(), "2");
}

TEST(RegFileImport, DeleteTreeRemovesBothSidesOfTheClasses) {
    auto store = storeOf("\n[Software\\\\Classes\\\\X\\\\Machine\\\\Deep] 1700000000\n\"m\"=\"1\"\n",
                         "\n[Software\\\\Classes\\\\X\\\\User] 1700000000\n\"u\"=\"1\"\n");
    ASSERT_TRUE(deleteTree(*store, Root::ClassesRoot, "X").ok());
    EXPECT_FALSE(store->keyExists(Root::ClassesRoot, "X"));
    EXPECT_EQ(store->machineHive().find("Software\\Classes\\X"), nullptr);
    EXPECT_EQ(store->userHive().find("Software\\Classes\\X"), nullptr);
    EXPECT_NE(store->userHive().find("Software\\Classes"), nullptr);
    EXPECT_FALSE(deleteTree(*store, Root::CurrentUser, "").ok());
    EXPECT_EQ(deleteTree(*store, Root::CurrentUser, "Nothing").error().kind, ErrorKind::NotFound);
}

// ------------------------------------------------------------ the journal and its undo file

TEST(UndoFile, GivesBackWhatTheJournalSawTaken) {
    auto machine = Hive::parse(std::string(test::kSystemHeader) +
                        "\n[Software\\\\Classes\\\\CLSID\\\\{A}\\\\InprocServer32] 1\n@=\"C:\\\\a.dll\"\n"
                        "\"ThreadingModel\"=\"Both\"\n"
                        "\n[Software\\\\Vendor] 1\n@=\"C:\\\\old\"\n\"Bin\"=hex:00,01,ff\n\"N\"=dword:0000002a\n"
                        "\"Multi\"=str(7):\"a\\0b\\0\"\n\"Quote\"=\"say \\\"hi\\\"\\\\\"\n",
                    "system.reg");
    auto user = Hive::parse(std::string(test::kUserHeader) +
                        "\n[Software\\\\Classes\\\\CLSID\\\\{A}] 1\n@=\"user side\"\n"
                        "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n\"Gone\"=\"C:\\\\gone.exe\"\n",
                    "user.reg");
    ASSERT_TRUE(machine.ok() && user.ok());
    auto store = RegistryStore::fromHives(std::move(machine.value()), std::move(user.value()));
    const std::string before = exportRegistry(*store);

    store->startJournal();
    auto run = store->openKey(Root::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", KEY_ALL_ACCESS);
    ASSERT_TRUE(run.ok());
    ASSERT_TRUE(store->deleteValue(*run, "Gone").ok());
    // A key of both hives through HKCR, with its subtree.
    ASSERT_TRUE(deleteTree(*store, Root::ClassesRoot, "CLSID\\{A}").ok());
    // Values overwritten (twice), deleted, and one that is new.
    auto vendor = store->openKey(Root::LocalMachine, "Software\\Vendor", KEY_ALL_ACCESS);
    ASSERT_TRUE(vendor.ok());
    ASSERT_TRUE(store->setValue(*vendor, Value::string("", "")).ok());
    ASSERT_TRUE(store->setValue(*vendor, Value::string("", "again")).ok());
    for (const char* name : {"Bin", "N", "Multi", "Quote"})
        ASSERT_TRUE(store->deleteValue(*vendor, name).ok()) << name;
    ASSERT_TRUE(store->setValue(*vendor, Value::string("Fresh", "new")).ok());
    const std::vector<Removal> removed = store->stopJournal();
    EXPECT_FALSE(store->journaling());
    EXPECT_NE(exportRegistry(*store), before);

    const std::string undo = undoFile(removed);
    auto ops = parseRegFile(undo, "undo.reg");
    ASSERT_TRUE(ops.ok()) << ops.error().message;
    ASSERT_TRUE(importRegistry(*store, undo, "undo.reg").ok());
    EXPECT_EQ(exportRegistry(*store), before);

    // Nothing is journaled once the journal stops.
    ASSERT_TRUE(store->setValue(*vendor, Value::string("Later", "x")).ok());
    EXPECT_TRUE(store->stopJournal().empty());
}
