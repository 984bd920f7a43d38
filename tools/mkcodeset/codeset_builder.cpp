#include "tools/mkcodeset/codeset_builder.h"

#include <algorithm>
#include <cctype>

namespace mkcodeset {

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

}  // namespace

uint16_t chooseKind(IconvProbe& probe, const std::string& iconvName) {
    if (upper(iconvName).find("GB18030") != std::string::npos) return 10;
    std::vector<uint8_t> bytes;
    if (probe.encode('A', &bytes) && bytes.size() == 1 && bytes[0] == 0xC1) {
        // EBCDIC: stateful when an ideograph is written inside a shift-out stretch.
        for (uint32_t cp : {0x3000u, 0x4E00u, 0x65E5u})
            if (probe.encode(cp, &bytes) && !bytes.empty() && bytes[0] == 0x0E) return 4;
        return 8;
    }
    bool lead = false;
    std::vector<uint32_t> cps;
    for (unsigned b = 0x80; b < 256 && !lead; ++b)
        lead = probe.decode({static_cast<uint8_t>(b)}, &cps) == Probe::Incomplete;
    if (!lead) return 1;
    for (unsigned b = 0x80; b < 256; ++b) {
        if (probe.decode({static_cast<uint8_t>(b)}, &cps) != Probe::Incomplete) continue;
        for (unsigned c = 0; c < 256; ++c)
            if (probe.decode({static_cast<uint8_t>(b), static_cast<uint8_t>(c)}, &cps) == Probe::Incomplete)
                return 3;
    }
    return 2;
}

bool buildTable(IconvProbe& probe, const std::string& canonicalName, uint16_t kind, std::vector<uint8_t>* image,
                std::string* error) {
    switch (kind) {
    case 1: return buildSingleByte(probe, canonicalName, false, image, error);
    case 8: return buildSingleByte(probe, canonicalName, true, image, error);
    case 2: return buildDoubleByte(probe, canonicalName, false, image, error);
    case 4: return buildDoubleByte(probe, canonicalName, true, image, error);
    case 3: return buildMultiByte(probe, canonicalName, image, error);
    case 10: return buildGb18030(probe, canonicalName, image, error);
    default:
        *error = "no table format for kind " + std::to_string(kind);
        return false;
    }
}

}  // namespace mkcodeset
