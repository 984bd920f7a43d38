#include "wire/ct.h"

#include <algorithm>

namespace wire {

namespace {

constexpr std::size_t kMaxName = kNameBlockSize - 1;

// Object offsets, named once.
constexpr std::size_t kPortTypeAt = 0;
constexpr std::size_t kPortIdAt = 1;
constexpr std::size_t kPortNameAt = 4;
constexpr std::size_t kSymbolicPortNameAt = 12;
constexpr std::size_t kNodeNameAt = 268;
constexpr std::size_t kSymbolicNodeNameAt = 276;
constexpr std::size_t kInitialProcessAssociatorAt = 532;
constexpr std::size_t kNodeIpAddressAt = 540;
constexpr std::size_t kClassOfServiceAt = 556;
constexpr std::size_t kFc4TypesAt = 560;
constexpr std::size_t kPortIpAddressAt = 592;
constexpr std::size_t kFabricPortNameAt = 608;
constexpr std::size_t kHardAddressAt = 617;

constexpr std::size_t kEntryPortIdAt = 1;
constexpr std::size_t kEntryPortNameAt = 8;

// A length-prefixed name inside an object: at most 255 bytes, never past the payload.
Bytes nameAt(std::span<const uint8_t> b, std::size_t at) {
    Bytes out(byteAt(b, at));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = byteAt(b, at + 1 + i);
    return out;
}

void putName(Bytes& b, std::size_t at, std::span<const uint8_t> name) {
    const std::size_t n = std::min(name.size(), kMaxName);
    b[at] = static_cast<uint8_t>(n);
    std::copy_n(name.begin(), n, b.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

}  // namespace

CtPreamble decodeCtPreamble(std::span<const uint8_t> iu) {
    CtPreamble p;
    p.revision = byteAt(iu, 0);
    p.inId = bytesAt<3>(iu, 1);
    p.gsType = byteAt(iu, 4);
    p.gsSubtype = byteAt(iu, 5);
    p.options = byteAt(iu, 6);
    p.code = getBe16(iu, 8);
    p.size = getBe16(iu, 10);
    p.reason = byteAt(iu, 13);
    p.explanation = byteAt(iu, 14);
    p.vendorUnique = byteAt(iu, 15);
    return p;
}

Bytes encodeCtIu(const CtPreamble& p, std::span<const uint8_t> payload) {
    Bytes b(kCtPreambleSize, 0);
    b[0] = p.revision;
    putBytes(b, 1, p.inId);
    b[4] = p.gsType;
    b[5] = p.gsSubtype;
    b[6] = p.options;
    putBe16(b, 8, p.code);
    putBe16(b, 10, p.size);
    b[13] = p.reason;
    b[14] = p.explanation;
    b[15] = p.vendorUnique;
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

std::span<const uint8_t> ctPayload(std::span<const uint8_t> iu) {
    return iu.size() > kCtPreambleSize ? iu.subspan(kCtPreambleSize) : std::span<const uint8_t>{};
}

NameBlock encodeNameBlock(std::span<const uint8_t> name) {
    NameBlock block{};
    const std::size_t n = std::min(name.size(), kMaxName);
    block[0] = static_cast<uint8_t>(n);
    std::copy_n(name.begin(), n, block.begin() + 1);
    return block;
}

NameBlock encodeNameBlock(std::string_view name) {
    return encodeNameBlock(std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()));
}

std::span<const uint8_t> nameOfBlock(std::span<const uint8_t> block) {
    if (block.empty()) return {};
    return block.subspan(1, std::min<std::size_t>(block[0], block.size() - 1));
}

CountedList decodeCountedList(std::span<const uint8_t> payload, std::size_t entrySize) {
    CountedList list;
    list.count = getBe32(payload, 0);
    if (payload.size() < kCountedListHeaderSize || entrySize == 0) return list;
    // A count that promises more than the answer could take names entries never delivered.
    const std::size_t held = (payload.size() - kCountedListHeaderSize) / entrySize;
    const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(list.count, held));
    list.entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        list.entries.push_back(payload.subspan(kCountedListHeaderSize + i * entrySize, entrySize));
    return list;
}

Bytes encodeCountedList(uint32_t count, std::span<const std::span<const uint8_t>> entries) {
    Bytes b(kCountedListHeaderSize, 0);
    putBe32(b, 0, count);
    for (const auto& e : entries) b.insert(b.end(), e.begin(), e.end());
    return b;
}

NameServerPortObject decodePortObject(std::span<const uint8_t> b) {
    NameServerPortObject o;
    o.portType = byteAt(b, kPortTypeAt);
    o.portId = portIdAt(b, kPortIdAt);
    o.portName = wwnAt(b, kPortNameAt);
    o.symbolicPortName = nameAt(b, kSymbolicPortNameAt);
    o.nodeName = wwnAt(b, kNodeNameAt);
    o.symbolicNodeName = nameAt(b, kSymbolicNodeNameAt);
    o.initialProcessAssociator = bytesAt<8>(b, kInitialProcessAssociatorAt);
    o.nodeIpAddress = bytesAt<16>(b, kNodeIpAddressAt);
    o.classOfService = getBe32(b, kClassOfServiceAt);
    o.fc4Types = bytesAt<32>(b, kFc4TypesAt);
    o.portIpAddress = bytesAt<16>(b, kPortIpAddressAt);
    o.fabricPortName = wwnAt(b, kFabricPortNameAt);
    o.hardAddress = getBe24(b, kHardAddressAt);
    return o;
}

Bytes encodePortObject(const NameServerPortObject& o) {
    Bytes b(kPortObjectSize, 0);
    b[kPortTypeAt] = o.portType;
    putBytes(b, kPortIdAt, o.portId);
    putBytes(b, kPortNameAt, o.portName);
    putName(b, kSymbolicPortNameAt, o.symbolicPortName);
    putBytes(b, kNodeNameAt, o.nodeName);
    putName(b, kSymbolicNodeNameAt, o.symbolicNodeName);
    putBytes(b, kInitialProcessAssociatorAt, o.initialProcessAssociator);
    putBytes(b, kNodeIpAddressAt, o.nodeIpAddress);
    putBe32(b, kClassOfServiceAt, o.classOfService);
    putBytes(b, kFc4TypesAt, o.fc4Types);
    putBytes(b, kPortIpAddressAt, o.portIpAddress);
    putBytes(b, kFabricPortNameAt, o.fabricPortName);
    putBe24(b, kHardAddressAt, o.hardAddress);
    return b;
}

std::vector<PortEntry> decodePortEntries(std::span<const uint8_t> payload) {
    std::vector<PortEntry> entries;
    for (std::size_t at = 0; at + kPortEntrySize <= payload.size(); at += kPortEntrySize) {
        entries.push_back({portIdAt(payload, at + kEntryPortIdAt), wwnAt(payload, at + kEntryPortNameAt)});
        if (payload[at] & kLastPortEntry) break;
    }
    return entries;
}

Bytes encodePortEntries(std::span<const PortEntry> entries) {
    Bytes b(kPortEntrySize * entries.size(), 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        putBytes(b, i * kPortEntrySize + kEntryPortIdAt, entries[i].portId);
        putBytes(b, i * kPortEntrySize + kEntryPortNameAt, entries[i].portName);
    }
    if (!b.empty()) b[b.size() - kPortEntrySize] |= kLastPortEntry;
    return b;
}

PortId decodePortIdPayload(std::span<const uint8_t> payload) { return portIdAt(payload, 1); }

std::array<uint8_t, 4> encodePortIdPayload(const PortId& id) { return {0, id[0], id[1], id[2]}; }

uint32_t decodePlatformType(std::span<const uint8_t> payload) { return getBe32(payload, 0); }

std::array<uint8_t, 4> encodePlatformType(uint32_t type) {
    std::array<uint8_t, 4> b{};
    putBe32(b, 0, type);
    return b;
}

}  // namespace wire
