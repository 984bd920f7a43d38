#include "hba/rnid.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "common/scan_trace.h"
#include "base/text.h"
#include "wire/rnid.h"

namespace hba {

namespace {

constexpr std::size_t kTracedAnswerBytes = 72;

// Associated-type bits for the types above 18, tested in this order.
struct TypeBit {
    uint32_t bit;
    uint32_t rnidType;
};
constexpr TypeBit kTypeBits[] = {
    {0x00800000, 17}, {0x00400000, 18}, {0x20000000, 5},  {0x08000000, 10}, {0x40000000, 4},
    {0x80000000, 3},  {0x04000000, 11}, {0x02000000, 14}, {0x10000000, 9},
};

// One RNID request to a port WWN with the answer buffer as the caller prepared it.
HBA_STATUS sendRnid(const HbaApi& api, HBA_HANDLE handle, const Wwn& portWwn, RnidAnswer& answer,
                    uint32_t& size) {
    size = kRnidAnswerSize;
    return api.HBA_SendRNID(handle, hbaWwnOf(portWwn), PORT_WWN, answer.data(), &size);
}

ShortBytes wwnAsName(const Wwn& w) { return ShortBytes(scan::hexText(w)); }

}  // namespace

uint32_t rnidTypeOfAssociatedType(uint32_t a) {
    if (a <= kRnidTypeMax) return a;
    if ((a & 0xFF) != 0xFF) return 0;
    for (const TypeBit& t : kTypeBits)
        if (a & t.bit) return t.rnidType;
    return 0;
}

void decodeRnidAnswer(std::span<const uint8_t> answer, uint32_t size, NodeIdentification& id) {
    // Only the bytes the library says it delivered count; the rest read as zero.
    const wire::RnidAccept a = wire::decodeRnidAccept(answer.first(std::min<std::size_t>(answer.size(), size)));

    id.rnidType = 0;
    id.mgmtAddressCount = 0;
    id.mgmtAddress.reset();
    if (a.format != wire::kGeneralTopologyFormat) return;

    // The address needs the common data (the specific data then sit where the general
    // topology format puts them) and the whole general topology block.
    const bool commonData = a.commonLength != 0;
    if (commonData && a.specificLength >= wire::kGeneralTopologySpecificLength &&
        a.nodeManagement == wire::kWebManagement) {
        const auto ip = a.ipv4();
        char text[64];
        std::snprintf(text, sizeof text, "http://%d.%d.%d.%d:%d", ip[0], ip[1], ip[2], ip[3],
                      static_cast<int>(a.tcpPort));
        auto block = std::make_shared<MgmtAddressList>();
        block->emplace_back(std::string_view(text));
        id.mgmtAddress = std::move(block);
        id.mgmtAddressCount = 1;
    }
    id.rnidType = rnidTypeOfAssociatedType(a.associatedType);
}

std::optional<NodeIdentification> requestTargetRnid(const HbaApi& api, const AdapterEntry& adapter,
                                                    const TargetEntry& target) {
    const Wwn portWwn = wwnOf(target.attributes.PortWWN);
    RnidAnswer answer{};
    uint32_t size = 0;
    const HBA_STATUS status = sendRnid(api, adapter.handle, portWwn, answer, size);
    if (status != HBA_STATUS_OK) {
        scan::trace(scan::kSourceSurvey, "Main", 1144, "SCSI Device - HBA_SendRNID fails with return code = %d",
                    static_cast<int>(status));
        scan::trace(scan::kSourceSurvey, "Main", 1148, "The Target Port WWN : 0x%s", scan::hexText(portWwn).c_str());
        return std::nullopt;
    }
    NodeIdentification id;
    id.nodeWwn = wwnOf(target.attributes.NodeWWN);
    id.portWwn = portWwn;
    decodeRnidAnswer(answer, size, id);
    id.nodeName = wwnAsName(id.nodeWwn);
    scan::trace(scan::kSourceSurvey, "Main", 1131, "SCSI Device - HBA_SendRNID works");
    scan::trace(scan::kSourceSurvey, "Main", 1135, "RNID Data : 0x%s",
                scan::hexText(std::span(answer).first(kTracedAnswerBytes)).c_str());
    return id;
}

bool identifyListedPort(const HbaApi& api, HBA_HANDLE handle, const Wwn& nodeName, const PortId& portId,
                        const Wwn& portName, NodeIdentification& id) {
    // The request carries the node name and the port's address (port, area, domain).
    RnidAnswer answer{};
    std::copy(nodeName.begin(), nodeName.end(), answer.begin());
    answer[8] = portId[2];
    answer[9] = portId[1];
    answer[10] = portId[0];
    uint32_t size = 0;
    if (sendRnid(api, handle, portName, answer, size) != HBA_STATUS_OK) return false;
    id.nodeWwn = nodeName;
    id.portWwn = portName;
    id.portId = portId;
    decodeRnidAnswer(answer, size, id);
    return true;
}

}  // namespace hba
