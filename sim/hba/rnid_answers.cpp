#include "sim/hba/rnid_answers.h"

#include <algorithm>
#include <cstdio>

namespace sansim {

namespace {

constexpr uint8_t kGeneralTopology = 0xDF;
constexpr std::size_t kGeneralTopologyLength = 52;

// "a.b.c.d" into the last four of 16 bytes, or 32 hexadecimal digits for all 16.
Bytes ipAddress(const std::string& text) {
    Bytes ip(16, 0);
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) == 4 && a < 256 && b < 256 && c < 256 &&
        d < 256) {
        ip[12] = static_cast<uint8_t>(a);
        ip[13] = static_cast<uint8_t>(b);
        ip[14] = static_cast<uint8_t>(c);
        ip[15] = static_cast<uint8_t>(d);
        return ip;
    }
    auto bytes = parseHex(text);
    if (!bytes || bytes->size() != 16) throw WorldError("not an IP address: " + text);
    return *bytes;
}

}  // namespace

Answer rnidAnswer(const Json& entry, const Wwn& nodeNameFallback) {
    Answer a = answerCommon(entry);
    const bool onlyFailure = a.status != HBA_STATUS_OK && !entry.contains("format") && !entry.contains("associatedType");
    if (a.data || onlyFailure) return a;

    const uint8_t format = static_cast<uint8_t>(u32(entry, "format", kGeneralTopology));
    const uint32_t commonLength = std::min<uint32_t>(u32(entry, "commonLength", 16), 255);
    const uint32_t specificLength =
        std::min<uint32_t>(u32(entry, "specificLength", format == kGeneralTopology ? kGeneralTopologyLength : 0), 255);

    Bytes common(16, 0);
    const Wwn port = wwn(entry, "portName");
    const Wwn node = entry.contains("nodeName") ? wwn(entry, "nodeName") : nodeNameFallback;
    std::copy(port.begin(), port.end(), common.begin());
    std::copy(node.begin(), node.end(), common.begin() + 8);
    common.resize(commonLength, 0);

    Bytes specific(kGeneralTopologyLength, 0);
    if (auto it = entry.find("vendorUnique"); it != entry.end()) {
        const Bytes v = hex(*it);
        std::copy_n(v.begin(), std::min<std::size_t>(v.size(), 16), specific.begin());
    }
    putBe32(specific, 16, u32(entry, "associatedType", 0));
    putBe32(specific, 20, u32(entry, "physicalPortNumber", 0));
    putBe32(specific, 24, u32(entry, "attachedNodes", 0));
    specific[28] = static_cast<uint8_t>(u32(entry, "nodeManagement", 0));
    specific[29] = static_cast<uint8_t>(u32(entry, "ipVersion", entry.contains("ipAddress") ? 1 : 0));
    putBe16(specific, 30, u32(entry, "tcpPort", 0));
    if (entry.contains("ipAddress")) {
        const Bytes ip = ipAddress(text(entry, "ipAddress"));
        std::copy(ip.begin(), ip.end(), specific.begin() + 32);
    }
    putBe16(specific, 50, u32(entry, "vendorSpecific", 0));
    specific.resize(specificLength, 0);

    Bytes d = {0x02, 0, 0, 0, format, static_cast<uint8_t>(commonLength), 0, static_cast<uint8_t>(specificLength)};
    d.insert(d.end(), common.begin(), common.end());
    d.insert(d.end(), specific.begin(), specific.end());
    a.data = std::move(d);
    return a;
}

}  // namespace sansim
