#pragma once
// A large registry in Wine's format, generated for the benchmarks: about
// 300,000 keys and 1.2 million values of mixed types (about 75 MB).

#include <cstdio>
#include <string>

namespace kestrane::bench {

inline std::string largeRegistryText(int keys = 300000) {
    std::string out = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
    out.reserve(static_cast<std::size_t>(keys) * 260);
    char buf[512];
    for (int k = 0; k < keys; ++k) {
        // Vendors / products / components / items: a tree four levels deep.
        int vendor = k / 20000, product = (k / 400) % 50, component = (k / 20) % 20, item = k % 20;
        std::snprintf(buf, sizeof buf,
                      "\n[Software\\\\Vendor%03d\\\\Product%02d\\\\Component%02d\\\\Item%02d] 1796791980\n"
                      "#time=1dd87992a8b4b72\n",
                      vendor, product, component, item);
        out += buf;
        switch (k % 4) {
        case 0:
            std::snprintf(buf, sizeof buf,
                          "@=\"C:\\\\Program Files\\\\Vendor%03d\\\\Product%02d\\\\bin\\\\item%d.exe\"\n"
                          "\"Description\"=\"Generated item %d with a \\\"quoted\\\" name\"\n"
                          "\"Flags\"=dword:%08x\n"
                          "\"Path\"=str(2):\"%%ProgramFiles%%\\\\Vendor%03d\\\\data\\\\file%d.dat\"\n",
                          vendor, product, k, k, k * 7u, vendor, k);
            break;
        case 1:
            std::snprintf(buf, sizeof buf,
                          "\"Data\"=hex:%02x,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
                          "  17,18,19,1a,1b,1c,1d,1e,1f\n"
                          "\"InstallDir\"=\"C:\\\\windows\\\\system32\\\\missing%d.dll\"\n"
                          "\"Name\"=\"Caf\\xe9 %d\"\n"
                          "\"Size\"=dword:%08x\n",
                          k & 0xFF, k, k, k);
            break;
        case 2:
            std::snprintf(buf, sizeof buf,
                          "\"List\"=str(7):\"first\\0second %d\\0\"\n"
                          "\"Q\"=hex(b):%02x,00,00,00,00,00,00,00\n"
                          "\"Version\"=\"%d.%d.%d\"\n"
                          "\"Z\"=\"C:\\\\users\\\\demo\\\\Documents\\\\report%d.doc\"\n",
                          k, k & 0xFF, vendor, product, item, k);
            break;
        default:
            std::snprintf(buf, sizeof buf,
                          "\"A\"=\"%d\"\n\"B\"=dword:00000001\n\"C\"=\"plain text value number %d\"\n"
                          "\"D\"=\"C:\\\\windows\\\\notepad.exe\"\n",
                          k, k);
            break;
        }
        out += buf;
    }
    return out;
}

}  // namespace kestrane::bench
