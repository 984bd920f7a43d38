#include "sim/hba/rnid_answers.h"

#include <algorithm>
#include <cstdio>

#include "wire/rnid.h"

namespace sansim {

namespace {

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

    wire::RnidAccept r;
    r.format = static_cast<uint8_t>(u32(entry, "format", wire::kGeneralTopologyFormat));
    r.commonLength = static_cast<uint8_t>(std::min<uint32_t>(u32(entry, "commonLength", wire::kRnidCommonSize), 255));
    const uint32_t generalLength = r.format == wire::kGeneralTopologyFormat ? wire::kGeneralTopologySpecificLength : 0;
    r.specificLength = static_cast<uint8_t>(std::min<uint32_t>(u32(entry, "specificLength", generalLength), 255));
    r.portName = wwn(entry, "portName");
    r.nodeName = entry.contains("nodeName") ? wwn(entry, "nodeName") : nodeNameFallback;
    if (auto it = entry.find("vendorUnique"); it != entry.end()) {
        const Bytes v = hex(*it);
        std::copy_n(v.begin(), std::min(v.size(), r.vendorUnique.size()), r.vendorUnique.begin());
    }
    r.associatedType = u32(entry, "associatedType", 0);
    r.physicalPortNumber = u32(entry, "physicalPortNumber", 0);
    r.attachedNodes = u32(entry, "attachedNodes", 0);
    r.nodeManagement = static_cast<uint8_t>(u32(entry, "nodeManagement", 0));
    r.ipVersion = static_cast<uint8_t>(u32(entry, "ipVersion", entry.contains("ipAddress") ? 1 : 0));
    r.tcpPort = static_cast<uint16_t>(u32(entry, "tcpPort", 0));
    if (entry.contains("ipAddress")) {
        const Bytes ip = ipAddress(text(entry, "ipAddress"));
        std::copy(ip.begin(), ip.end(), r.ipAddress.begin());
    }
    r.vendorSpecific = static_cast<uint16_t>(u32(entry, "vendorSpecific", 0));
    a.data = wire::encodeRnidAccept(r);
    return a;
}

}  // namespace sansim
