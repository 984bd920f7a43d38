// The decoders' rules, one table per answer: what each field reads, and that nothing is
// read past the bytes an answer holds (missing bytes read as a cleared buffer's zeros).
#include <gtest/gtest.h>

#include <string>

#include "wire/ct.h"
#include "wire/rnid.h"
#include "wire/scsi.h"
#include "wire_test_support.h"

namespace {

using wiretest::bytes;
using wiretest::checkRules;

TEST(WireDecoders, ReportLunsListLengthAndHeldEntries) {
    struct Expect {
        uint32_t listLength;
        uint32_t reported;
        std::size_t held;
        uint8_t secondByteOfLast;  // byte 1 of the last held entry
    };
    checkRules<Expect>(
        {
            {"empty answer", "", {0, 0, 0, 0}},
            {"header cut short reads zeros", "0000", {0, 0, 0, 0}},
            {"two entries", "00000010 00000000 0001000000000000 0002000000000000", {16, 2, 2, 2}},
            {"length not a multiple of 8 counts whole entries", "0000000F 00000000 0001000000000000", {15, 1, 1, 1}},
            {"length claims more than held", "00000800 00000000 0007000000000000", {2048, 256, 1, 7}},
            {"length 0 with entries written", "00000000 00000000 0005000000000000", {0, 0, 1, 5}},
            {"an entry cut short is not held", "00000010 00000000 0001000000000000 0002", {16, 2, 1, 1}},
        },
        [](std::span<const uint8_t> answer, const Expect& e) {
            const wire::ReportLunsData d = wire::decodeReportLuns(answer);
            EXPECT_EQ(d.listLength, e.listLength);
            EXPECT_EQ(d.reportedCount(), e.reported);
            ASSERT_EQ(d.entries.size(), e.held);
            if (e.held > 0) {
                EXPECT_EQ(d.entries.back()[1], e.secondByteOfLast);
            }
            EXPECT_EQ(d.entry(e.held), wire::LunId{}) << "an entry not held reads as zeros";
        });
}

TEST(WireDecoders, StandardInquiryFieldsAndBounds) {
    const std::string full =
        "0C 80 05 02 5B 000002 "                            // array controller, removable, length 96
        "49424D2020202020 32313435202020202020202020202020 "  // "IBM     " "2145            "
        "30303030 "                                           // "0000"
        "3031323334353637383941424344454647484950";          // vendor specific
    struct Case {
        const char* name;
        std::size_t keep;  // answer bytes delivered
        uint8_t peripheral;
        std::size_t standardLength;
        std::string vendor;      // vendorId as 8 characters
        uint8_t lastVendorByte;  // vendor specific byte 55
    };
    const Case cases[] = {
        {"whole answer", 56, 0x0C, 96, "IBM     ", 0x50},
        {"cut after the vendor: later fields read zero", 16, 0x0C, 96, "IBM     ", 0},
        {"cut inside the vendor", 10, 0x0C, 96, std::string("IB\0\0\0\0\0\0", 8), 0},
        {"only the peripheral byte", 1, 0x0C, 5, std::string(8, '\0'), 0},
        {"nothing", 0, 0, 5, std::string(8, '\0'), 0},
    };
    const auto answer = bytes(full);
    for (const Case& c : cases) {
        const wire::StandardInquiry s = wire::decodeStandardInquiry(std::span(answer).first(c.keep));
        EXPECT_EQ(s.peripheral, c.peripheral) << c.name;
        EXPECT_EQ(s.standardLength(), c.standardLength) << c.name;
        EXPECT_EQ(std::string(s.vendorId.data(), 8), c.vendor) << c.name;
        EXPECT_EQ(s.vendorSpecific[19], c.lastVendorByte) << c.name;
    }
    const wire::StandardInquiry s = wire::decodeStandardInquiry(bytes(full));
    EXPECT_TRUE(s.removable);
    EXPECT_EQ(s.identification()[0], 'I') << "identification starts at byte 8";
    EXPECT_EQ(s.identification()[37], '9') << "and ends at byte 45";
    EXPECT_EQ(s.lunSerial()[7], '7') << "the LUN serial is bytes 36 to 43";
}

TEST(WireDecoders, VpdPageLengthsAndUnitSerial) {
    struct Expect {
        uint16_t pageLength;
        uint8_t lengthByte;
        const char* serial;  // hexadecimal
    };
    checkRules<Expect>(
        {
            {"serial of its page length", "00800004 41424344 4545", {4, 4, "41424344"}},
            {"page length beyond the answer", "00800010 4142", {16, 16, "4142"}},
            {"only the low byte counts", "00800102 41424344", {0x0102, 2, "4142"}},
            {"header only", "00800004", {4, 4, ""}},
            {"header cut short", "0080", {0, 0, ""}},
        },
        [](std::span<const uint8_t> answer, const Expect& e) {
            const wire::VpdHeader h = wire::decodeVpdHeader(answer);
            EXPECT_EQ(h.pageLength, e.pageLength);
            EXPECT_EQ(h.lengthByte(), e.lengthByte);
            const auto serial = wire::unitSerialOf(answer);
            EXPECT_EQ(std::vector<uint8_t>(serial.begin(), serial.end()), bytes(e.serial));
        });
}

TEST(WireDecoders, DeviceIdentificationDesignators) {
    struct Expect {
        std::size_t count;
        uint8_t firstType;
    };
    checkRules<Expect>(
        {
            {"two designators", "00830014 01030008 6005076801234567 02010004 41424344", {2, 3}},
            {"page length ends the list", "0083000C 01030008 6005076801234567 02010004 41424344", {1, 3}},
            {"a designator cut short by the answer ends the list",
             "00830014 01030008 6005076801234567 02010004 4142", {1, 3}},
            {"a header cut short", "00830014 0103", {0, 0}},
            {"empty page", "00830000", {0, 0}},
            {"association and PIV bits", "00830008 61930004 00000001", {1, 3}},
        },
        [](std::span<const uint8_t> answer, const Expect& e) {
            const auto list = wire::decodeDesignators(answer);
            ASSERT_EQ(list.size(), e.count);
            if (e.count > 0) {
                EXPECT_EQ(list[0].designatorType, e.firstType);
            }
        });
    const auto bits = wire::decodeDesignators(bytes("00830008 61930004 00000001"));
    EXPECT_EQ(bits[0].protocolIdentifier, 6);
    EXPECT_EQ(bits[0].codeSet, 1);
    EXPECT_TRUE(bits[0].piv);
    EXPECT_EQ(bits[0].association, 1);
}

TEST(WireDecoders, CtPreambleAndPayload) {
    struct Expect {
        uint16_t code;
        uint8_t reason;
        std::size_t payload;
    };
    checkRules<Expect>(
        {
            {"accept with payload", "01000000FC020000 8002000000000000 00010203", {0x8002, 0, 4}},
            {"reject with reason and explanation", "01000000FC020000 8001000000090100", {0x8001, 9, 0}},
            {"cut inside the code", "01000000FC02000080", {0x8000, 0, 0}},
            {"nothing", "", {0, 0, 0}},
        },
        [](std::span<const uint8_t> iu, const Expect& e) {
            const wire::CtPreamble p = wire::decodeCtPreamble(iu);
            EXPECT_EQ(p.code, e.code);
            EXPECT_EQ(p.reason, e.reason);
            EXPECT_EQ(wire::ctPayload(iu).size(), e.payload);
        });
}

TEST(WireDecoders, CountedListsAndNameBlocks) {
    struct Expect {
        std::size_t entrySize;
        uint32_t count;
        std::size_t held;
    };
    checkRules<Expect>(
        {
            {"count and entries agree", "00000002 1111 2222", {2, 2, 2}},
            {"count beyond the answer", "00000009 1111 2222", {2, 9, 2}},
            {"count below the entries written", "00000001 1111 2222", {2, 1, 1}},
            {"a trailing part entry is not held", "00000002 1111 22", {2, 2, 1}},
            {"no room for the count", "0000", {2, 0, 0}},
            {"entry size 0 holds nothing", "00000002 1111", {0, 2, 0}},
        },
        [](std::span<const uint8_t> payload, const Expect& e) {
            const wire::CountedList l = wire::decodeCountedList(payload, e.entrySize);
            EXPECT_EQ(l.count, e.count);
            EXPECT_EQ(l.entries.size(), e.held);
        });
    checkRules<std::size_t>(
        {
            {"length byte", "03414243 44", 3},
            {"length beyond the block", "FF4142", 2},
            {"empty block", "", 0},
        },
        [](std::span<const uint8_t> block, std::size_t length) { EXPECT_EQ(wire::nameOfBlock(block).size(), length); });
}

TEST(WireDecoders, NameServerPortEntriesAndObject) {
    const char* const twoMarkedLast =
        "00010500 00000000 5005076300C00001 80010600 00000000 5005076300C00002 00010700 00000000 5005076300C00003";
    checkRules<std::size_t>(
        {
            {"up to the entry marked last", twoMarkedLast, 2},
            {"no mark: every whole entry", "00010500 00000000 5005076300C00001 00010600 00000000 5005076300C00002", 2},
            {"a part entry is not read", "00010500 00000000 5005076300C00001 000106", 1},
            {"nothing", "", 0},
        },
        [](std::span<const uint8_t> payload, std::size_t count) {
            EXPECT_EQ(wire::decodePortEntries(payload).size(), count);
        });
    const auto first = wire::decodePortEntries(bytes(twoMarkedLast));
    EXPECT_EQ(first[1].portId, (wire::PortId{0x01, 0x06, 0x00}));
    EXPECT_EQ(first[1].portName[7], 0x02);

    // A port object cut after the port name: names and later fields read as empty.
    const wire::NameServerPortObject o = wire::decodePortObject(bytes("02 010500 5005076300C00001 05 4142"));
    EXPECT_EQ(o.portType, 2);
    EXPECT_EQ(o.portId, (wire::PortId{0x01, 0x05, 0x00}));
    EXPECT_EQ(o.symbolicPortName, (wire::Bytes{0x41, 0x42, 0, 0, 0}));
    EXPECT_EQ(o.nodeName, wire::Wwn{});
    EXPECT_EQ(wire::decodePortIdPayload(bytes("00 010203")), (wire::PortId{1, 2, 3}));
    EXPECT_EQ(wire::decodePlatformType(bytes("0000000B")), 11u);
}

TEST(WireDecoders, RnidAccept) {
    // LS_ACC, format DF, common length 16, specific length 52.
    const std::string header = "02000000 DF100034 ";
    const std::string common = "1000000000000001 2000000000000001 ";
    const std::string specific =
        "00000000000000000000000000000000 0000000B 00000001 00000000 02 01 0050 "
        "00000000000000000000FFFF0A010203 0000 0000";
    struct Case {
        const char* name;
        std::string answer;
        std::size_t keep;  // answer bytes delivered
        uint8_t format;
        uint32_t associatedType;
        uint8_t nodeManagement;
        uint16_t tcpPort;
        uint8_t lastIpByte;
    };
    const Case cases[] = {
        {"general topology", header + common + specific, 76, 0xDF, 11, 2, 80, 3},
        {"no common data: specific data follow the header", "02000000 DF000034 " + specific, 60, 0xDF, 11, 2, 80, 3},
        {"cut inside the address: the rest reads zero", header + common + specific, 70, 0xDF, 11, 2, 80, 0},
        {"another format is still decoded as laid out", "02000000 10100034 " + common + specific, 76, 0x10, 11, 2,
         80, 3},
        {"header only", header, 8, 0xDF, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto answer = bytes(c.answer);
        ASSERT_GE(answer.size(), c.keep) << c.name;
        const wire::RnidAccept r = wire::decodeRnidAccept(std::span(answer).first(c.keep));
        EXPECT_EQ(r.format, c.format) << c.name;
        EXPECT_EQ(r.associatedType, c.associatedType) << c.name;
        EXPECT_EQ(r.nodeManagement, c.nodeManagement) << c.name;
        EXPECT_EQ(r.tcpPort, c.tcpPort) << c.name;
        EXPECT_EQ(r.ipv4()[3], c.lastIpByte) << c.name;
    }
}

}  // namespace
