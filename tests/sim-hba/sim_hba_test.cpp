// The simulated HBA library through the scanner's loader: the answer and request layouts
// that no scanner document shows (rare INQUIRY fields, structured sense data, name-server
// and configuration-server answers, RNID accepts), injected statuses, and answers that
// stay inside the caller's buffers. Ordinary answers are checked by the scanner's own
// documents and traces, and by the recorded walk of the sample SAN below.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/sim-hba/san_walk.h"
#include "tests/sim-hba/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kTargets = R"({
  "host": {},
  "hba": { "adapters": [ { "name": "a0", "discoveredPorts": [
    { "portWwn": "5000000000000001", "target": { "units": [
      { "lun": 0,
        "inquiry": { "deviceType": 0, "vendor": "IBM", "product": "2107900", "revision": ".123", "vendorSpecific": "75ABCDE0000" },
        "page80": { "serial": "75ABCDE1000" },
        "page83": { "designators": [
          { "hex": "6005076300c00000000000000000100a" },
          { "text": "IBM     2107900 75ABCDE", "designatorType": 1 },
          { "hex": "5005076300c10000", "association": 1, "piv": true, "protocolIdentifier": 6 } ] } },
      { "lun": 3,
        "inquiry": { "peripheralQualifier": 1, "deviceType": 3, "removable": true, "version": 4, "responseDataFormat": 18,
                     "flags": "10 20 30", "vendor": "ABCDEFGH", "product": "P", "revision": "R",
                     "vendorSpecificHex": "00 80 E5 01", "length": 36 },
        "page80": { "serialHex": "20 20 20 20" } },
      { "lun": 300 } ] } },
    { "portWwn": "5000000000000004", "target": { "reportLuns": { "status": 2 } } },
    { "portWwn": "5000000000000005", "target": {
      "reportLuns": { "status": 9, "sense": "70 00 06 00 00 00 00 0A 00 00 00 00 29 00", "raw": "00 00 00 08 00 00 00 00" },
      "units": [ { "lun": 0,
        "inquiry": { "raw": "00 00 05 02 1F 00 00 02 44 47 43 20 20 20 20 20 58" },
        "page80": { "sense": { "key": 5, "asc": 36 } },
        "page83": { "status": 2 } } ] } }
  ] } ] }
})";

HBA_WWN target(int n) {
    HBA_WWN w{};
    w.wwn[0] = 0x50;
    w.wwn[7] = static_cast<uint8_t>(n);
    return w;
}

HBA_UINT64 lunBytes(std::string_view hex16) {
    const Bytes b = bytes(hex16);
    HBA_UINT64 v = 0;
    std::memcpy(&v, b.data(), 8);
    return v;
}

struct Reply {
    HBA_STATUS status;
    Bytes data;   // the whole 252-byte buffer, pre-filled with 0xEE
    Bytes sense;  // the whole 32-byte sense buffer, pre-filled with 0xEE
};

Reply inquiry(HBA_HANDLE h, int port, HBA_UINT64 lun, uint8_t evpd, uint32_t page, uint32_t room = 252) {
    Reply r{0, Bytes(252, 0xEE), Bytes(32, 0xEE)};
    r.status = api().HBA_SendScsiInquiry(h, target(port), lun, evpd, page, r.data.data(), room, r.sense.data(), 32);
    return r;
}

// The first n bytes of a reply buffer, and that the rest was left alone.
std::string written(const Bytes& buffer, std::size_t n) {
    for (std::size_t i = n; i < buffer.size(); ++i)
        if (buffer[i] != 0xEE) return "byte " + std::to_string(i) + " beyond the answer was written";
    return hex(buffer.data(), n);
}

TEST_F(SimHba, StructuredAnswersAreStandardScsiBytes) {
    useWorld(kTargets);
    const HBA_HANDLE h = open(0);
    // (Ordinary standard answers and pages are in the sample SAN's walk and the scanner's
    // documents.)
    const struct {
        const char* what;
        HBA_UINT64 lun;
        uint8_t evpd;
        uint32_t page;
        std::string expected;
    } cases[] = {
        {"every INQUIRY field, 36 bytes", lunBytes("0003000000000000"), 0, 0,
         "23 80 04 12 1F 10 20 30" + padded("ABCDEFGH", 8) + padded("P", 16) + padded("R", 4)},
        {"device identification page", 0, 1, 0x83,
         "0083003B" "01030010" "6005076300C00000000000000000100A" "02010017" + hex("IBM     2107900 75ABCDE", 23) +
             "61930008" "5005076300C10000"},
        {"flat-space LUN 300, an answer of defaults", lunBytes("412C000000000000"), 0, 0,
         "00000502 5B000002" + padded("", 8) + padded("", 16) + padded("", 4) + std::string(120, '0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Reply r = inquiry(h, 1, c.lun, c.evpd, c.page);
        EXPECT_EQ(r.status, HBA_STATUS_OK);
        const Bytes expected = bytes(c.expected);
        EXPECT_EQ(written(r.data, expected.size()), hex(expected));
        EXPECT_EQ(written(r.sense, 0), "");
    }
}

TEST_F(SimHba, RecordedAnswersAndInjectedFailures) {
    useWorld(kTargets);
    const HBA_HANDLE h = open(0);
    // Status 2 and nothing written; a status with both data and sense data.
    Bytes data(64, 0xEE), sense(32, 0xEE);
    EXPECT_EQ(api().HBA_SendReportLUNs(h, target(4), data.data(), 64, sense.data(), 32), 2u);
    EXPECT_EQ(written(data, 0), "");
    EXPECT_EQ(written(sense, 0), "");
    EXPECT_EQ(api().HBA_SendReportLUNs(h, target(5), data.data(), 64, sense.data(), 32), 9u);
    EXPECT_EQ(written(data, 8), "0000000800000000");
    EXPECT_EQ(written(sense, 14), "700006000000000A000000002900");

    // A recorded answer cut to a small buffer.
    Reply r = inquiry(h, 5, 0, 0, 0, 10);
    EXPECT_EQ(r.status, HBA_STATUS_OK);
    EXPECT_EQ(written(r.data, 10), "000005021F0000024447");
    // Status 0 with sense data only: fixed-format sense, the answer buffer untouched.
    r = inquiry(h, 5, 0, 1, 0x80);
    EXPECT_EQ(r.status, HBA_STATUS_OK);
    EXPECT_EQ(written(r.data, 0), "");
    EXPECT_EQ(written(r.sense, 18), "700005000000000A0000000024000000" "0000");
    r = inquiry(h, 5, 0, 1, 0x83);
    EXPECT_EQ(r.status, 2u);
    EXPECT_EQ(written(r.data, 0), "");
    EXPECT_EQ(written(r.sense, 0), "");

    // (Other LUNs of a target with anyUnit, the "no device" answer of a LUN that does not
    // exist and a port that is no target are in the scanner's probe trace.) A page of a LUN
    // that does not exist, and a page other than the two the world can give.
    r = inquiry(h, 1, lunBytes("0009000000000000"), 1, 0x80);
    EXPECT_EQ(r.status, HBA_STATUS_SCSI_CHECK_CONDITION);
    EXPECT_EQ(written(r.sense, 18), "700005000000000A0000000025000000" "0000");
    r = inquiry(h, 1, 0, 1, 0x00);
    EXPECT_EQ(r.status, HBA_STATUS_SCSI_CHECK_CONDITION);

    // WWNs that are not ports, and a handle that is not open.
    EXPECT_EQ(inquiry(h, 7, 0, 0, 0).status, HBA_STATUS_ERROR_ILLEGAL_WWN);
    EXPECT_EQ(inquiry(h + 1, 1, 0, 0, 0).status, HBA_STATUS_ERROR_INVALID_HANDLE);
}

constexpr const char* kFabric = R"({
  "host": {},
  "hba": { "adapters": [
    { "name": "a0" },
    { "name": "a1", "fabric": null },
    { "name": "a2", "fabric": { "nameServer": { "ports": [
        { "portId": "0A0000", "portName": "1000000000000009", "nodeName": "2000000000000009" } ] } } },
    { "name": "a3", "ct": [ { "command": "GA_NXT", "portId": "000000", "status": 1 } ] }
  ] },
  "fabric": {
    "nameServer": { "ports": [
      { "portId": "010600", "portName": "500104f000abcdf0", "nodeName": "500104f000abcdef", "symbolicPortName": "STK T9840B",
        "portType": 2, "fabricPortName": "2006000dec000001", "hardAddress": "0000EF", "fc4Types": "00000100" },
      { "portId": "010500", "portName": "5005076300c10000", "nodeName": "5005076300c00000", "symbolicNodeName": "IBM 2107" },
      { "portId": "010501", "portName": "5005076300c20000", "nodeName": "5005076300c00000", "symbolicPortName": "" }
    ] },
    "configServer": { "platforms": [
      { "name": "DS8000-75ABCDE", "type": 4, "managementAddresses": ["http://10.1.2.3", "https://ds8k"],
        "nodeNames": ["5005076300c00000", "5005076300c00001"] },
      { "name": "EMPTY" }
    ] },
    "rnid": [
      { "portName": "5005076300c10000", "associatedType": "0x800000FF", "physicalPortNumber": 2, "attachedNodes": 1,
        "nodeManagement": 2, "ipAddress": "10.1.2.3", "tcpPort": 80, "vendorUnique": "AA BB", "vendorSpecific": 4660 },
      { "nodeName": "500104f000abcdef", "portName": "500104f000abcdf0", "commonLength": 0, "associatedType": 11 },
      { "portName": "5005076300c20000", "raw": "02 00 00 00 DF" },
      { "portName": "1000000000000001", "status": 12 }
    ],
    "ct": [
      { "command": "PLATFORM_NODE_NAMES", "platform": "EMPTY", "status": "0x20000034" },
      { "command": "GSPN_ID", "portId": "010500", "reject": { "reason": 9, "explanation": 7 } },
      { "code": "0x0199", "gsType": 250, "gsSubtype": 1, "raw": "01 02 03" }
    ]
  }
})";

struct CtAnswer {
    HBA_STATUS status;
    Bytes data;
};

CtAnswer ct(HBA_HANDLE h, const Bytes& request, uint32_t room = 1024) {
    CtAnswer a{0, Bytes(room, 0xEE)};
    Bytes req = request;
    a.status = api().HBA_SendCTPassThru(h, req.data(), static_cast<HBA_UINT32>(req.size()), a.data.data(), room);
    return a;
}

const std::string kAcceptNs = "01000000FC020000800200000000 0000";
const std::string kAcceptFa2 = "01000000FA020000800200000000 0000";
const std::string kAcceptCs = "01000000FA010000800200000000 0000";

TEST_F(SimHba, NameServerQueries) {
    useWorld(kFabric);
    const HBA_HANDLE h = open(0);
    // (The walk's order and its wrapping round are followed by the scanner's RNID walk
    // tests; the names it asks for by their requests.) The whole port object of one entry:
    const CtAnswer stk = ct(h, ctRequest(0xFC, 0x02, 0x0100, bytes("00 010501")), 640);
    Bytes object(620, 0);
    const Bytes head = bytes("02 010600 500104F000ABCDF0 0A") ;
    std::copy(head.begin(), head.end(), object.begin());
    std::memcpy(object.data() + 13, "STK T9840B", 10);
    const Bytes node = bytes("500104F000ABCDEF");
    std::copy(node.begin(), node.end(), object.begin() + 268);
    object[556 + 3] = 0x08;   // class of service 3, the default
    object[560 + 2] = 0x01;   // FC-4 types: SCSI-FCP
    const Bytes fport = bytes("2006000DEC000001");
    std::copy(fport.begin(), fport.end(), object.begin() + 608);
    object[619] = 0xEF;       // hard address
    EXPECT_EQ(written(stk.data, 636), hex(bytes(kAcceptNs)) + hex(object));

    const struct {
        const char* what;
        Bytes request;
        std::string expected;
    } cases[] = {
        {"GID_PN of an unknown port", ctRequest(0xFA, 0x02, 0x0121, bytes("5005076300C30000")),
         "01000000FA02000080010000 00090200"},
        {"ports of a node, the last one marked", ctRequest(0xFA, 0x02, 0x0132, bytes("5005076300C00000")),
         kAcceptFa2 + "00010500 00000000 5005076300C10000" "80010501 00000000 5005076300C20000"},
        {"GSNN_NN of a node without a symbolic name", ctRequest(0xFA, 0x02, 0x0139, bytes("500104F000ABCDEF")),
         "01000000FA02000080010000 00090900"},
        {"GSPN_ID of an empty symbolic name", ctRequest(0xFA, 0x02, 0x0118, bytes("00 010501")),
         kAcceptFa2 + std::string(2 * 256, '0')},
        {"GSPN_ID rejected by the world", ctRequest(0xFA, 0x02, 0x0118, bytes("00 010500")),
         "01000000FA02000080010000 00090700"},
        {"a command the name server does not know", ctRequest(0xFC, 0x02, 0x0171, bytes("00000008")),
         "01000000FC02000080010000 000B0000"},
        {"a payload too short", ctRequest(0xFC, 0x02, 0x0121, bytes("5005")), "01000000FC02000080010000 00040000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CtAnswer a = ct(h, c.request);
        EXPECT_EQ(a.status, HBA_STATUS_OK);
        const Bytes expected = bytes(c.expected);
        EXPECT_EQ(written(a.data, expected.size()), hex(expected));
    }

    // An adapter with a fabric of its own (no configuration server), and no fabric at all.
    const HBA_HANDLE own = open(2);
    const HBA_HANDLE none = open(1);
    EXPECT_EQ(ct(none, ctRequest(0xFC, 0x02, 0x0100, bytes("00000000"))).status, HBA_STATUS_ERROR);
    EXPECT_EQ(ct(own, ctRequest(0xFA, 0x01, 0x01A2)).status, HBA_STATUS_ERROR);
    EXPECT_EQ(ct(h, bytes("01 00 00 00 FC 02")).status, HBA_STATUS_ERROR_ARG);
    // One adapter of the shared fabric whose name-server probe fails; its other requests
    // reach the fabric as usual.
    const HBA_HANDLE probeFails = open(3);
    EXPECT_EQ(ct(probeFails, ctRequest(0xFC, 0x02, 0x0100, bytes("00000000"))).status, HBA_STATUS_ERROR);
    const CtAnswer next = ct(probeFails, ctRequest(0xFC, 0x02, 0x0100, bytes("00010500")), 636);
    EXPECT_EQ(next.status, HBA_STATUS_OK);
    EXPECT_EQ(hex(next.data.data() + 16, 4), "01010501");
}

TEST_F(SimHba, ConfigurationServerQueries) {
    useWorld(kFabric);
    const HBA_HANDLE h = open(0);
    const Bytes ds8k = nameBlock("DS8000-75ABCDE");
    const struct {
        const char* what;
        Bytes request;
        uint32_t room;
        HBA_STATUS status;
        std::string expected;
    } cases[] = {
        {"platform names", ctRequest(0xFA, 0x01, 0x01A2), 8212, 0,
         kAcceptCs + "00000002" + hex(nameBlock("DS8000-75ABCDE")) + hex(nameBlock("EMPTY"))},
        {"platform names cut to the buffer, residual in words", ctRequest(0xFA, 0x01, 0x01A2), 100, 0,
         "01000000FA010000 8002 006C 00000000" "00000002" "0E" + hex("DS8000-75ABCDE", 14) + std::string(2 * 65, '0')},
        {"node names", ctRequest(0xFA, 0x01, 0x0191, ds8k), 8212, 0,
         kAcceptCs + "00000002" "5005076300C00000" "5005076300C00001"},
        {"node names of a platform with an injected status", ctRequest(0xFA, 0x01, 0x0191, nameBlock("EMPTY")), 8212,
         0x20000034, ""},
        {"type of an unknown platform", ctRequest(0xFA, 0x01, 0x0192, nameBlock("NONE")), 20, 0,
         "01000000FA01000080010000 00090000"},
        {"a recorded answer", ctRequest(0xFA, 0x01, 0x0199), 20, 0, "010203"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CtAnswer a = ct(h, c.request, c.room);
        EXPECT_EQ(a.status, c.status);
        const Bytes expected = bytes(c.expected);
        EXPECT_EQ(written(a.data, expected.size()), hex(expected));
    }
}

TEST_F(SimHba, RnidAccepts) {
    useWorld(kFabric);
    const HBA_HANDLE h = open(0);
    auto rnid = [&](const char* wwn, HBA_WWNTYPE type, HBA_UINT32 room, HBA_STATUS status, HBA_UINT32 size) {
        Bytes buf(80, 0xEE);
        HBA_WWN w{};
        const Bytes b = bytes(wwn);
        std::memcpy(w.wwn, b.data(), 8);
        HBA_UINT32 s = room;
        EXPECT_EQ(api().HBA_SendRNID(h, w, type, buf.data(), &s), status) << wwn;
        EXPECT_EQ(s, size) << wwn;
        return buf;
    };
    // General topology: common data with the name server's node name, then the specific data.
    const Bytes full = rnid("5005076300C10000", PORT_WWN, 76, 0, 76);
    EXPECT_EQ(written(full, 76), "02000000DF100034"
                                 "5005076300C10000" "5005076300C00000"
                                 "AABB0000000000000000000000000000" "800000FF" "00000002" "00000001"
                                 "02" "01" "0050" "000000000000000000000000" "0A010203" "0000" "1234");
    // No common data: the specific data starts at byte 8; found by node name.
    const Bytes bare = rnid("500104F000ABCDEF", NODE_WWN, 76, 0, 60);
    EXPECT_EQ(written(bare, 60), "02000000DF000034" + std::string(32, '0') + "0000000B" + std::string(64, '0'));
    // Cut to the room offered.
    const Bytes cut = rnid("5005076300C10000", PORT_WWN, 10, 0, 10);
    EXPECT_EQ(written(cut, 10), "02000000DF1000345005");
    const Bytes raw = rnid("5005076300C20000", PORT_WWN, 76, 0, 5);
    EXPECT_EQ(written(raw, 5), "02000000DF");
    rnid("1000000000000001", PORT_WWN, 76, 12, 76);
    rnid("1000000000000002", PORT_WWN, 76, HBA_STATUS_ERROR_ELS_REJECT, 76);
    rnid("500104F000ABCDEF", PORT_WWN, 76, HBA_STATUS_ERROR_ELS_REJECT, 76);  // a node name is not a port name
}

// Requests of any shape, and buffers of any size, are answered within the caller's buffers
// (the sanitizer build checks every access).
TEST_F(SimHba, ArbitraryRequestsStayInsideTheirBuffers) {
    useWorld(kFabric);
    const HBA_HANDLE h = open(0);
    std::mt19937 random(20261206);
    const uint16_t codes[] = {0x0100, 0x0118, 0x0121, 0x0132, 0x0139, 0x0191, 0x0192, 0x0193, 0x01A2, 0x0199};
    for (int i = 0; i < 3000; ++i) {
        Bytes request(random() % 300);
        for (auto& b : request) b = static_cast<uint8_t>(random());
        if (request.size() >= 16 && random() % 4 != 0) {
            request[4] = random() % 2 ? 0xFC : 0xFA;
            request[5] = static_cast<uint8_t>(1 + random() % 2);
            const uint16_t code = codes[random() % std::size(codes)];
            request[8] = static_cast<uint8_t>(code >> 8);
            request[9] = static_cast<uint8_t>(code);
        }
        const uint32_t room = random() % 700;
        Bytes answer(room + 1, 0xEE);
        api().HBA_SendCTPassThru(h, request.empty() ? answer.data() : request.data(),
                                 static_cast<HBA_UINT32>(request.size()), answer.data(), room);
        ASSERT_EQ(answer[room], 0xEE) << "written beyond the room of " << room;
    }
    HBA_WWN w{};
    const Bytes port = bytes("5005076300C10000");
    std::memcpy(w.wwn, port.data(), 8);
    for (uint32_t room = 0; room < 80; ++room) {
        Bytes answer(room + 1, 0xEE);
        HBA_UINT32 size = room;
        EXPECT_EQ(api().HBA_SendRNID(h, w, PORT_WWN, answer.data(), &size), HBA_STATUS_OK);
        EXPECT_EQ(size, std::min<uint32_t>(room, 76));
        ASSERT_EQ(answer[room], 0xEE);
    }
    EXPECT_EQ(api().HBA_SendRNID(h, w, PORT_WWN, nullptr, nullptr), HBA_STATUS_ERROR_ARG);
    EXPECT_EQ(api().HBA_SendCTPassThru(h, nullptr, 16, nullptr, 16), HBA_STATUS_ERROR_ARG);
    EXPECT_EQ(api().HBA_GetAdapterName(0, nullptr), HBA_STATUS_ERROR_ARG);
}

TEST_F(SimHba, NoWorldMeansNoAdapters) {
    setEnv("SANSIM_WORLD", "");
    EXPECT_EQ(api().HBA_LoadLibrary(), HBA_STATUS_OK);
    EXPECT_EQ(api().HBA_GetNumberOfAdapters(), 0u);
    // A world that breaks its schema is reported and counts as none.
    useWorld(R"({"host": {}, "hba": {"adapters": [{"name": 7}]}})");
    EXPECT_EQ(api().HBA_GetNumberOfAdapters(), 0u);
    // A world the schema lets through but whose bytes are broken.
    useWorld(R"({"host": {}, "hba": {"adapters": [{"discoveredPorts": [{"supportedFc4Types": "0"}]}]}})");
    EXPECT_EQ(api().HBA_GetNumberOfAdapters(), 0u);
    // Loading the library again reads the world again.
    useWorld(R"({"host": {}, "hba": {"adapters": [{}, {}]}})");
    EXPECT_EQ(api().HBA_GetNumberOfAdapters(), 2u);
}

// A whole SAN walked through the library gives the answers recorded for it, on every
// build (the Linux wrapper test holds the vendor form to the same answers).
TEST_F(SimHba, SampleSanGivesItsRecordedAnswers) {
    const std::string world = testsupport::fileText(ATTRSCAN_SOURCE_DIR "/tests/sim-hba/worlds/two-adapters.json");
    const std::string expected = testsupport::fileText(ATTRSCAN_SOURCE_DIR "/tests/sim-hba/worlds/two-adapters.walk.txt");
    ASSERT_FALSE(world.empty());
    ASSERT_FALSE(expected.empty());
    useWorld(world);
    EXPECT_EQ(walkSan(api()), expected);
}

}  // namespace
}  // namespace simtest
