#include "wire/rnid.h"

#include <algorithm>

#include "wire/big_endian.h"

namespace wire {

namespace {

constexpr std::size_t kFormatAt = 4;
constexpr std::size_t kCommonLengthAt = 5;
constexpr std::size_t kSpecificLengthAt = 7;
constexpr std::size_t kGeneralTopologySize = kGeneralTopologySpecificLength;

// Offsets within the general topology specific data.
constexpr std::size_t kAssociatedTypeAt = 16;
constexpr std::size_t kPhysicalPortAt = 20;
constexpr std::size_t kAttachedNodesAt = 24;
constexpr std::size_t kNodeManagementAt = 28;
constexpr std::size_t kIpVersionAt = 29;
constexpr std::size_t kTcpPortAt = 30;
constexpr std::size_t kIpAddressAt = 32;
constexpr std::size_t kVendorSpecificAt = 50;

}  // namespace

RnidAccept decodeRnidAccept(std::span<const uint8_t> a) {
    RnidAccept r;
    r.format = byteAt(a, kFormatAt);
    r.commonLength = byteAt(a, kCommonLengthAt);
    r.specificLength = byteAt(a, kSpecificLengthAt);
    if (r.commonLength != 0) {
        r.portName = wwnAt(a, kRnidHeaderSize);
        r.nodeName = wwnAt(a, kRnidHeaderSize + 8);
    }
    const std::size_t s = kRnidHeaderSize + (r.commonLength != 0 ? kRnidCommonSize : 0);
    r.vendorUnique = bytesAt<16>(a, s);
    r.associatedType = getBe32(a, s + kAssociatedTypeAt);
    r.physicalPortNumber = getBe32(a, s + kPhysicalPortAt);
    r.attachedNodes = getBe32(a, s + kAttachedNodesAt);
    r.nodeManagement = byteAt(a, s + kNodeManagementAt);
    r.ipVersion = byteAt(a, s + kIpVersionAt);
    r.tcpPort = getBe16(a, s + kTcpPortAt);
    r.ipAddress = bytesAt<16>(a, s + kIpAddressAt);
    r.vendorSpecific = getBe16(a, s + kVendorSpecificAt);
    return r;
}

std::vector<uint8_t> encodeRnidAccept(const RnidAccept& r) {
    std::vector<uint8_t> common(kRnidCommonSize, 0);
    putBytes(common, 0, r.portName);
    putBytes(common, 8, r.nodeName);
    common.resize(r.commonLength, 0);

    std::vector<uint8_t> specific(kGeneralTopologySize, 0);
    putBytes(specific, 0, r.vendorUnique);
    putBe32(specific, kAssociatedTypeAt, r.associatedType);
    putBe32(specific, kPhysicalPortAt, r.physicalPortNumber);
    putBe32(specific, kAttachedNodesAt, r.attachedNodes);
    specific[kNodeManagementAt] = r.nodeManagement;
    specific[kIpVersionAt] = r.ipVersion;
    putBe16(specific, kTcpPortAt, r.tcpPort);
    putBytes(specific, kIpAddressAt, r.ipAddress);
    putBe16(specific, kVendorSpecificAt, r.vendorSpecific);
    specific.resize(r.specificLength, 0);

    std::vector<uint8_t> d = {kRnidAcceptCommand, 0, 0, 0, r.format, r.commonLength, 0, r.specificLength};
    d.insert(d.end(), common.begin(), common.end());
    d.insert(d.end(), specific.begin(), specific.end());
    return d;
}

}  // namespace wire
