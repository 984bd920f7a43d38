// Every encoder the simulated library answers with, decoded again by the scanner's
// decoder, gives back what was encoded: the two sides read one layout. Values come from
// a seeded generator, so a failure names a reproducible case.
#include <gtest/gtest.h>

#include <random>

#include "wire/ct.h"
#include "wire/rnid.h"
#include "wire/scsi.h"

namespace {

constexpr int kCases = 200;

struct Gen {
    std::mt19937 rng{20261207};
    uint32_t u32() { return static_cast<uint32_t>(rng()); }
    uint8_t u8() { return static_cast<uint8_t>(rng()); }
    std::size_t upTo(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); }
    template <class T, std::size_t N>
    std::array<T, N> array() {
        std::array<T, N> a{};
        for (auto& v : a) v = static_cast<T>(u8());
        return a;
    }
    wire::Bytes bytes(std::size_t max) {
        wire::Bytes b(upTo(max));
        for (auto& v : b) v = u8();
        return b;
    }
};

TEST(WireRoundTrip, ScsiAnswers) {
    Gen g;
    for (int i = 0; i < kCases; ++i) {
        std::vector<wire::LunId> luns(g.upTo(300));
        for (auto& l : luns) l = g.array<uint8_t, 8>();
        const uint32_t listLength = g.u32();
        const wire::ReportLunsData r = wire::decodeReportLuns(wire::encodeReportLuns(luns, listLength));
        EXPECT_EQ(r.listLength, listLength) << i;
        EXPECT_EQ(r.entries, luns) << i;

        wire::StandardInquiry s;
        s.peripheral = g.u8();
        s.removable = g.u8() & 1;
        s.version = g.u8();
        s.responseDataFormat = g.u8();
        s.flags = g.array<uint8_t, 3>();
        s.vendorId = g.array<char, 8>();
        s.productId = g.array<char, 16>();
        s.productRevision = g.array<char, 4>();
        s.vendorSpecific = g.array<uint8_t, 20>();
        const std::size_t length = 56 + g.upTo(199);
        s.additionalLength = static_cast<uint8_t>(length - 5);
        const wire::Bytes inquiry = wire::encodeStandardInquiry(s, length);
        EXPECT_EQ(inquiry.size(), length) << i;
        EXPECT_EQ(wire::decodeStandardInquiry(inquiry), s) << i;

        const wire::Bytes serial = g.bytes(251);
        const wire::Bytes page80 = wire::encodeUnitSerialPage(s.peripheral, serial);
        const auto decodedSerial = wire::unitSerialOf(page80);
        EXPECT_EQ(wire::Bytes(decodedSerial.begin(), decodedSerial.end()), serial) << i;
        EXPECT_EQ(wire::decodeVpdHeader(page80).pageCode, wire::kUnitSerialPage) << i;

        std::vector<wire::Designator> designators(g.upTo(6));
        for (auto& d : designators) {
            d.protocolIdentifier = g.u8() & 0x0F;
            d.codeSet = g.u8() & 0x0F;
            d.piv = g.u8() & 1;
            d.association = g.u8() & 3;
            d.designatorType = g.u8() & 0x0F;
            d.value = g.bytes(255);
        }
        EXPECT_EQ(wire::decodeDesignators(wire::encodeDeviceIdentificationPage(s.peripheral, designators)),
                  designators)
            << i;
    }
}

TEST(WireRoundTrip, FabricAnswers) {
    Gen g;
    for (int i = 0; i < kCases; ++i) {
        wire::CtPreamble p;
        p.revision = g.u8();
        p.inId = g.array<uint8_t, 3>();
        p.gsType = g.u8();
        p.gsSubtype = g.u8();
        p.options = g.u8();
        p.code = static_cast<uint16_t>(g.u32());
        p.size = static_cast<uint16_t>(g.u32());
        p.reason = g.u8();
        p.explanation = g.u8();
        p.vendorUnique = g.u8();
        const wire::Bytes payload = g.bytes(40);
        const wire::Bytes iu = wire::encodeCtIu(p, payload);
        EXPECT_EQ(wire::decodeCtPreamble(iu), p) << i;
        const auto back = wire::ctPayload(iu);
        EXPECT_EQ(wire::Bytes(back.begin(), back.end()), payload) << i;

        wire::NameServerPortObject o;
        o.portType = g.u8();
        o.portId = g.array<uint8_t, 3>();
        o.portName = g.array<uint8_t, 8>();
        o.symbolicPortName = g.bytes(255);
        o.nodeName = g.array<uint8_t, 8>();
        o.symbolicNodeName = g.bytes(255);
        o.initialProcessAssociator = g.array<uint8_t, 8>();
        o.nodeIpAddress = g.array<uint8_t, 16>();
        o.classOfService = g.u32();
        o.fc4Types = g.array<uint8_t, 32>();
        o.portIpAddress = g.array<uint8_t, 16>();
        o.fabricPortName = g.array<uint8_t, 8>();
        o.hardAddress = g.u32() & 0xFFFFFF;
        const wire::Bytes object = wire::encodePortObject(o);
        EXPECT_EQ(object.size(), wire::kPortObjectSize) << i;
        EXPECT_EQ(wire::decodePortObject(object), o) << i;

        std::vector<wire::PortEntry> entries(1 + g.upTo(20));
        for (auto& e : entries) e = {g.array<uint8_t, 3>(), g.array<uint8_t, 8>()};
        EXPECT_EQ(wire::decodePortEntries(wire::encodePortEntries(entries)), entries) << i;

        const wire::Bytes name = g.bytes(255);
        const wire::NameBlock block = wire::encodeNameBlock(name);
        const auto nameBack = wire::nameOfBlock(block);
        EXPECT_EQ(wire::Bytes(nameBack.begin(), nameBack.end()), name) << i;

        std::vector<wire::NameBlock> blocks(g.upTo(5));
        for (auto& b : blocks) b = wire::encodeNameBlock(g.bytes(255));
        const std::vector<std::span<const uint8_t>> spans(blocks.begin(), blocks.end());
        const wire::Bytes list = wire::encodeCountedList(static_cast<uint32_t>(spans.size()), spans);
        const wire::CountedList decoded = wire::decodeCountedList(list, wire::kNameBlockSize);
        ASSERT_EQ(decoded.entries.size(), blocks.size()) << i;
        for (std::size_t k = 0; k < blocks.size(); ++k)
            EXPECT_TRUE(std::equal(blocks[k].begin(), blocks[k].end(), decoded.entries[k].begin())) << i;

        const wire::PortId id = g.array<uint8_t, 3>();
        EXPECT_EQ(wire::decodePortIdPayload(wire::encodePortIdPayload(id)), id) << i;
        EXPECT_EQ(wire::portIdFromFcAddress(wire::fcAddressOf(id)), id) << i;
        const uint32_t type = g.u32();
        EXPECT_EQ(wire::decodePlatformType(wire::encodePlatformType(type)), type) << i;
    }
}

TEST(WireRoundTrip, RnidAccepts) {
    Gen g;
    for (int i = 0; i < kCases; ++i) {
        wire::RnidAccept r;
        r.format = g.u8();
        // The general topology layout: common data of 16 bytes, or none (the specific data
        // then follow the header).
        const bool common = g.u8() & 1;
        r.commonLength = common ? wire::kRnidCommonSize : 0;
        r.specificLength = wire::kGeneralTopologySpecificLength;
        if (common) {
            r.portName = g.array<uint8_t, 8>();
            r.nodeName = g.array<uint8_t, 8>();
        }
        r.vendorUnique = g.array<uint8_t, 16>();
        r.associatedType = g.u32();
        r.physicalPortNumber = g.u32();
        r.attachedNodes = g.u32();
        r.nodeManagement = g.u8();
        r.ipVersion = g.u8();
        r.tcpPort = static_cast<uint16_t>(g.u32());
        r.ipAddress = g.array<uint8_t, 16>();
        r.vendorSpecific = static_cast<uint16_t>(g.u32());
        EXPECT_EQ(wire::decodeRnidAccept(wire::encodeRnidAccept(r)), r) << i;
    }
}

}  // namespace
