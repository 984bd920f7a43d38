#include "hba/discovery_dump.h"

#include <string>

#include "common/scan_trace.h"
#include "base/text.h"

namespace hba {

namespace {
template <std::size_t N>
std::string hexOf(const std::array<char, N>& chars) {
    return scan::hexText(std::span(reinterpret_cast<const uint8_t*>(chars.data()), N));
}
}  // namespace

void GXLogAdapter(const DiscoveredAdapter& adapter, int k) {
    if (!scan::traceEnabled()) return;
    scan::trace(scan::kSourceSurvey, "GXLogAdapter", 2993,
                "\n\nAdapter[%d]: \n\n\tAdapter Name  : %s \n\tHost Name     : %s \n\tNode WWN      "
                ": 0x%s\n\tPortID        : 0x%s\n",
                k, adapter.adapterName.c_str(), adapter.hostName.c_str(),
                scan::hexText(adapter.nodeWwn).c_str(), scan::hexText(adapter.portId).c_str());
    int d = 0;
    for (const DeviceNode& node : adapter.nodeList) GXLogNode(node, d++);
}

void GXLogNode(const DeviceNode& node, int d) {
    if (!scan::traceEnabled()) return;
    scan::trace(scan::kSourceSurvey, "GXLogNode", 3132,
                "\n\tDevice %d:                 \n\t\tDevice Type   : %s\t\t\t\t\n\t\tSerial Number : "
                "0x%s\t\t\t\t\n\t\tVendor        : 0x%s\t\t\t\t\n\t\tProductID     : "
                "0x%s\t\t\t\t\n\t\tNode WWN      : 0x%s\t\t\t\t\n\t\tPort WWN      : "
                "0x%s\t\t\t\t\n\t\tPort Type     : %s\t\t\t\t\n\t\tPortID        : "
                "0x%s\t\t\t\t\n\t\tRNID Type     : %s\n\n",
                d, std::string(deviceTypeName(node.deviceType)).c_str(),
                scan::hexText(node.serialNumber.bytes()).c_str(), hexOf(node.vendorId).c_str(),
                hexOf(node.productId).c_str(), scan::hexText(node.nodeWwn).c_str(),
                scan::hexText(node.portWwn).c_str(), std::string(portTypeName(node.portType)).c_str(),
                scan::hexText(node.portId).c_str(), std::string(rnidTypeName(node.rnidType)).c_str());
    if (node.deviceType == kDeviceTypeHba || node.rnidType == kRnidTypeHba) return;
    int m = 0;
    for (const LunRecord& lun : node.lunList) GXLogLunInfo(lun, m++);
}

void GXLogLunInfo(const LunRecord& lun, int m) {
    if (!scan::traceEnabled()) return;
    scan::trace(scan::kSourceSurvey, "GXLogLunInfo", 3197,
                "\n\t\tLun %d: \n\t\t\tSerial Number : 0x%s \n\t\t\tPortBusTargLun: 0x%s "
                "\n\t\t\tCapacity      : %s\n",
                m, scan::hexText(lun.lunSerial).c_str(), scan::hexText(lun.PortBusTargLun).c_str(),
                std::to_string(lun.capacity).c_str());
}

}  // namespace hba
