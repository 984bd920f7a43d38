// The simulated HBA library through the scanner's loader: what each world member makes
// the library answer, byte for byte, and the call log.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/sim-hba/san_walk.h"
#include "tests/sim-hba/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kAdapters = R"({
  "host": {},
  "hba": {
    "version": 3,
    "adapterCount": 4,
    "adapters": [
      {
        "name": "QLogic-QLA2340-0",
        "attributes": {
          "manufacturer": "QLogic Corporation", "serialNumber": "FAB12345", "model": "QLA2340",
          "modelDescription": "2Gb HBA", "nodeWwn": "20:00:00:e0:8b:05:12:34", "nodeSymbolicName": "host qla",
          "hardwareVersion": "HW1", "driverVersion": "9.1.2.19", "optionRomVersion": "1.47",
          "firmwareVersion": "3.03.19", "vendorSpecificId": "0x00090010", "numberOfPorts": 1, "driverName": "ql2300.sys"
        },
        "port": {
          "nodeWwn": "200000e08b051234", "portWwn": "210000e08b051234", "portFcId": "0A0B0C", "portType": 6,
          "portState": 6, "supportedClassOfService": 12, "supportedFc4Types": "00 00 01", "activeFc4Types": "00 00 01 20",
          "symbolicName": "port zero", "osDeviceName": "\\\\.\\Scsi2:", "supportedSpeed": 3, "speed": 2,
          "maxFrameSize": 2112, "fabricName": "100000051e012345", "numberOfDiscoveredPorts": 3
        },
        "discoveredPorts": [
          { "nodeWwn": "5005076300c00000", "portWwn": "5005076300c10000", "portFcId": "010500" },
          { "status": 12 }
        ]
      },
      { "name": "QLogic-QLA2340-1", "openFails": true },
      { "name": "Emulex-LP9002-0", "attributesStatus": 8, "port": { "status": 3 } },
      { "name": "Hidden", "nameStatus": 15 }
    ]
  }
})";

TEST_F(SimHba, AdaptersAndTheirAttributes) {
    useWorld(kAdapters);
    EXPECT_EQ(api().HBA_GetVersion(), 3u);
    EXPECT_EQ(api().HBA_GetNumberOfAdapters(), 4u);
    char name[256];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(api().HBA_GetAdapterName(3, name), 15u);  // the world's injected status
    EXPECT_EQ(name[0], 'x');                            // and the buffer untouched
    EXPECT_EQ(api().HBA_GetAdapterName(4, name), HBA_STATUS_ERROR_ILLEGAL_INDEX);

    const HBA_HANDLE first = open(0);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(open(1), HBA_HANDLE_INVALID);
    const HBA_HANDLE third = open(2);
    EXPECT_EQ(third, 2u);
    EXPECT_EQ(api().HBA_OpenAdapter(const_cast<char*>("no such adapter")), HBA_HANDLE_INVALID);

    // Every field, from the colon-separated WWN and hexadecimal id forms of the world
    // (the sample SAN's walk covers the plain forms).
    HBA_ADAPTERATTRIBUTES a;
    std::memset(&a, 0x5A, sizeof a);
    ASSERT_EQ(api().HBA_GetAdapterAttributes(first, &a), HBA_STATUS_OK);
    EXPECT_EQ(describeAttributes(a),
              "mfr=\"QLogic Corporation\" serial=\"FAB12345\" model=\"QLA2340\" desc=\"2Gb HBA\" node=200000E08B051234 "
              "sym=\"host qla\" hw=\"HW1\" drv=\"9.1.2.19\" rom=\"1.47\" fw=\"3.03.19\" vendor=589840 ports=1 "
              "driver=\"ql2300.sys\"");
    EXPECT_EQ(a.Manufacturer[63], 0) << "unused bytes of a text are cleared";

    std::memset(&a, 0x5A, sizeof a);
    EXPECT_EQ(api().HBA_GetAdapterAttributes(third, &a), 8u);
    EXPECT_EQ(static_cast<uint8_t>(a.Manufacturer[0]), 0x5A);
    EXPECT_EQ(api().HBA_GetAdapterAttributes(99, &a), HBA_STATUS_ERROR_INVALID_HANDLE);

    api().HBA_CloseAdapter(third);
    EXPECT_EQ(api().HBA_GetAdapterAttributes(third, &a), HBA_STATUS_ERROR_INVALID_HANDLE);
}

TEST_F(SimHba, PortZeroAndDiscoveredPorts) {
    useWorld(kAdapters);
    const HBA_HANDLE h = open(0);
    HBA_PORTATTRIBUTES p{};
    ASSERT_EQ(api().HBA_GetAdapterPortAttributes(h, 0, &p), HBA_STATUS_OK);
    EXPECT_EQ(describePort("", p), std::string(" node=200000E08B051234 port=210000E08B051234 fcid=0A0B0C type=6 state=6 cos=12 fc4=") +
                                       "000001" + std::string(58, '0') + "/00000120" + std::string(56, '0') +
                                       " sym=\"port zero\" os=\"\\\\.\\Scsi2:\" speed=3/2 frame=2112 "
                                       "fabric=100000051E012345 discovered=3\n")
        << "the world says 3 discovered ports and lists 2";
    EXPECT_EQ(api().HBA_GetAdapterPortAttributes(h, 1, &p), HBA_STATUS_ERROR_ILLEGAL_INDEX);

    HBA_PORTATTRIBUTES d{};
    EXPECT_EQ(api().HBA_GetDiscoveredPortAttributes(h, 0, 0, &d), HBA_STATUS_OK);
    EXPECT_EQ(api().HBA_GetDiscoveredPortAttributes(h, 0, 1, &d), 12u);
    EXPECT_EQ(api().HBA_GetDiscoveredPortAttributes(h, 0, 2, &d), HBA_STATUS_ERROR_ILLEGAL_INDEX);

    const HBA_HANDLE emulex = open(2);
    EXPECT_EQ(api().HBA_GetAdapterPortAttributes(emulex, 0, &p), 3u);
    HBA_PORTATTRIBUTES defaults{};
    EXPECT_EQ(api().HBA_GetDiscoveredPortAttributes(emulex, 0, 0, &defaults), HBA_STATUS_ERROR_ILLEGAL_INDEX);
}

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
      { "lun": 300 },
      { "lun": "0102030405060708", "inquiry": { "raw": "0D 00 05 02 00" } } ] } },
    { "portWwn": "5000000000000002", "target": { "reportLuns": { "count": 300 } } },
    { "portWwn": "5000000000000003", "target": { "reportLuns": { "luns": [7], "listLength": 0 } } },
    { "portWwn": "5000000000000004", "target": { "reportLuns": { "status": 2 },
      "anyUnit": { "inquiry": { "deviceType": 1, "vendor": "STK", "length": 36 } } } },
    { "portWwn": "5000000000000005", "target": {
      "reportLuns": { "status": 9, "sense": "70 00 06 00 00 00 00 0A 00 00 00 00 29 00", "raw": "00 00 00 08 00 00 00 00" },
      "units": [ { "lun": 0,
        "inquiry": { "raw": "00 00 05 02 1F 00 00 02 44 47 43 20 20 20 20 20 58" },
        "page80": { "sense": { "key": 5, "asc": 36 } },
        "page83": { "status": 2 } } ] } },
    { "portWwn": "5000000000000006" }
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
    // (The standard answer and serial page of an ordinary unit are in the sample SAN's walk.)
    const struct {
        const char* what;
        HBA_UINT64 lun;
        uint8_t evpd;
        uint32_t page;
        std::string expected;
    } cases[] = {
        {"every INQUIRY field, 36 bytes", lunBytes("0003000000000000"), 0, 0,
         "23 80 04 12 1F 10 20 30" + padded("ABCDEFGH", 8) + padded("P", 16) + padded("R", 4)},
        {"serial number page of binary blanks, peripheral byte of the unit", lunBytes("0003000000000000"), 1, 0x80,
         "2380000420202020"},
        {"device identification page", 0, 1, 0x83,
         "0083003B" "01030010" "6005076300C00000000000000000100A" "02010017" + hex("IBM     2107900 75ABCDE", 23) +
             "61930008" "5005076300C10000"},
        {"flat-space LUN 300", lunBytes("412C000000000000"), 0, 0,
         "00000502 5B000002" + padded("", 8) + padded("", 16) + padded("", 4) + std::string(120, '0')},
        {"recorded answer", lunBytes("0102030405060708"), 0, 0, "0D00050200"},
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

TEST_F(SimHba, ReportLunsLists) {
    useWorld(kTargets);
    const HBA_HANDLE h = open(0);
    auto reportLuns = [&](int port, HBA_STATUS expectStatus) {
        Bytes data(2100, 0xEE), sense(32, 0xEE);
        EXPECT_EQ(api().HBA_SendReportLUNs(h, target(port), data.data(), 2056, sense.data(), 32), expectStatus);
        return std::make_pair(data, sense);
    };
    // The units of the target, in order, with peripheral and flat addressing.
    auto [units, s1] = reportLuns(1, HBA_STATUS_OK);
    EXPECT_EQ(written(units, 40), "0000002000000000" "0000000000000000" "0003000000000000" "412C000000000000"
                                  "0102030405060708");
    // 300 LUNs: the header says so, the answer stops at the buffer's 2056 bytes.
    auto [many, s2] = reportLuns(2, HBA_STATUS_OK);
    EXPECT_EQ(hex(many.data(), 8), "0000096000000000");
    EXPECT_EQ(hex(many.data() + 8 + 8 * 255, 8), "00FF000000000000");
    EXPECT_EQ(written(many, 2056).size(), 2056u * 2);
    // A list length that disagrees with the entries.
    auto [lying, s3] = reportLuns(3, HBA_STATUS_OK);
    EXPECT_EQ(written(lying, 16), "0000000000000000" "0007000000000000");
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

    // A unit named by its plain number, as old drivers pass it, is the same unit.
    r = inquiry(h, 1, 3, 0, 0);
    EXPECT_EQ(hex(r.data.data(), 1), "23");
    // Any other LUN of a target with anyUnit answers with those answers.
    r = inquiry(h, 4, lunBytes("0009000000000000"), 0, 0);
    EXPECT_EQ(written(r.data, 36), "01000502" "1F000002" + padded("STK", 8) + padded("", 16) + padded("", 4));
    // A LUN that does not exist: "no device" to standard INQUIRY, CHECK CONDITION to a page.
    r = inquiry(h, 1, lunBytes("0009000000000000"), 0, 0);
    EXPECT_EQ(written(r.data, 36), "7F0005021F000000" + std::string(56, '0'));
    r = inquiry(h, 1, lunBytes("0009000000000000"), 1, 0x80);
    EXPECT_EQ(r.status, HBA_STATUS_SCSI_CHECK_CONDITION);
    EXPECT_EQ(written(r.sense, 18), "700005000000000A0000000025000000" "0000");
    // A page the unit lacks, and a page other than the two the world can give.
    r = inquiry(h, 1, lunBytes("0003000000000000"), 1, 0x83);
    EXPECT_EQ(r.status, HBA_STATUS_SCSI_CHECK_CONDITION);
    EXPECT_EQ(hex(r.sense.data() + 12, 1), "24");
    r = inquiry(h, 1, 0, 1, 0x00);
    EXPECT_EQ(r.status, HBA_STATUS_SCSI_CHECK_CONDITION);

    // Ports that are not targets, and WWNs that are not ports.
    EXPECT_EQ(inquiry(h, 6, 0, 0, 0).status, HBA_STATUS_ERROR_NOT_A_TARGET);
    EXPECT_EQ(api().HBA_SendReportLUNs(h, target(6), data.data(), 64, sense.data(), 32), HBA_STATUS_ERROR_NOT_A_TARGET);
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
    // GA_NXT walks the ports in address order and wraps round to the lowest.
    std::string order;
    Bytes at = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const CtAnswer a = ct(h, ctRequest(0xFC, 0x02, 0x0100, at), 636);
        ASSERT_EQ(a.status, HBA_STATUS_OK);
        ASSERT_EQ(hex(a.data.data(), 16), hex(bytes(kAcceptNs)));
        order += hex(a.data.data() + 17, 3) + " ";
        at = {0, a.data[17], a.data[18], a.data[19]};
    }
    EXPECT_EQ(order, "010500 010501 010600 010500 ");
    // The whole port object of one entry.
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
        {"GID_PN", ctRequest(0xFA, 0x02, 0x0121, bytes("5005076300C20000")), kAcceptFa2 + "00010501"},
        {"GID_PN of an unknown port", ctRequest(0xFA, 0x02, 0x0121, bytes("5005076300C30000")),
         "01000000FA02000080010000 00090200"},
        {"ports of a node, the last one marked", ctRequest(0xFA, 0x02, 0x0132, bytes("5005076300C00000")),
         kAcceptFa2 + "00010500 00000000 5005076300C10000" "80010501 00000000 5005076300C20000"},
        {"GSNN_NN", ctRequest(0xFA, 0x02, 0x0139, bytes("5005076300C00000")),
         kAcceptFa2 + "08" + hex("IBM 2107", 8) + std::string(2 * 247, '0')},
        {"GSNN_NN of a node without a symbolic name", ctRequest(0xFA, 0x02, 0x0139, bytes("500104F000ABCDEF")),
         "01000000FA02000080010000 00090900"},
        {"GSPN_ID", ctRequest(0xFA, 0x02, 0x0118, bytes("00 010600")),
         kAcceptFa2 + "0A" + hex("STK T9840B", 10) + std::string(2 * 245, '0')},
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

    // A name server with one entry: the next entry is the same one.
    const HBA_HANDLE own = open(2);
    const CtAnswer single = ct(own, ctRequest(0xFC, 0x02, 0x0100, bytes("00 0A0000")), 636);
    EXPECT_EQ(hex(single.data.data() + 16, 4), "010A0000");
    // No fabric at all, and a fabric without a configuration server.
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
        {"platform type", ctRequest(0xFA, 0x01, 0x0192, ds8k), 20, 0, kAcceptCs + "00000004"},
        {"management addresses", ctRequest(0xFA, 0x01, 0x0193, ds8k), 8212, 0,
         kAcceptCs + "00000002" + hex(nameBlock("http://10.1.2.3")) + hex(nameBlock("https://ds8k"))},
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

TEST_F(SimHba, CallLogLines) {
    useWorld(kFabric);
    const HBA_HANDLE h = open(0);
    api().HBA_RefreshInformation(h);
    HBA_ADAPTERATTRIBUTES a{};
    api().HBA_GetAdapterAttributes(h, &a);
    HBA_PORTATTRIBUTES p{};
    api().HBA_GetAdapterPortAttributes(h, 0, &p);
    api().HBA_GetDiscoveredPortAttributes(h, 0, 7, &p);
    Bytes rsp(252), sense(100);
    HBA_WWN w = target(1);
    api().HBA_SendReportLUNs(h, w, rsp.data(), 252, sense.data(), 100);
    api().HBA_SendScsiInquiry(h, w, lunBytes("0001000000000000"), 1, 0x83, rsp.data(), 252, sense.data(), 100);
    Bytes rnidBuf = bytes("5005076300C00000 000501");
    rnidBuf.resize(12, 0);
    HBA_UINT32 size = 12;
    const Bytes port = bytes("5005076300C10000");
    std::memcpy(w.wwn, port.data(), 8);
    api().HBA_SendRNID(h, w, PORT_WWN, rnidBuf.data(), &size);
    ct(h, ctRequest(0xFC, 0x02, 0x0100, bytes("00000000")), 636);
    api().HBA_CloseAdapter(h);
    api().HBA_GetVersion();
    api().HBA_GetNumberOfAdapters();
    api().HBA_FreeLibrary();
    const std::vector<std::string> expected = {
        "HBA_GetAdapterName index=0 -> status=0 name=\"a0\"",
        "HBA_OpenAdapter name=\"a0\" -> handle=1",
        "HBA_RefreshInformation handle=1",
        "HBA_GetAdapterAttributes handle=1 -> status=0",
        "HBA_GetAdapterPortAttributes handle=1 port=0 -> status=0",
        "HBA_GetDiscoveredPortAttributes handle=1 port=0 index=7 -> status=6",
        "HBA_SendReportLUNs handle=1 wwn=5000000000000001 rsp=252 sense=100 -> status=5",
        "HBA_SendScsiInquiry handle=1 wwn=5000000000000001 lun=0001000000000000 evpd=1 page=83 rsp=252 sense=100 -> status=5",
        "HBA_SendRNID handle=1 wwn=5005076300C10000 type=1 room=12 buf=5005076300C0000000050100 -> status=0 size=12",
        "HBA_SendCTPassThru handle=1 req=01000000FC0200000100000000000000" "00000000 rsp=636 -> status=0",
        "HBA_CloseAdapter handle=1",
        "HBA_GetVersion -> version=2",
        "HBA_GetNumberOfAdapters -> count=4",
        "HBA_FreeLibrary -> status=0",
    };
    EXPECT_EQ(callLog(), expected);
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
    char name[256] = {};
    EXPECT_EQ(api().HBA_GetAdapterName(1, name), HBA_STATUS_OK);
    EXPECT_STREQ(name, "sansim-adapter-1");
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

TEST(HbaLibraryLoader, MissingLibraryLeavesStandIns) {
    const hba::HbaLibrary missing("sansim-no-such-library-file");
    EXPECT_FALSE(missing.loaded());
    EXPECT_FALSE(missing.loadError().empty());
    const hba::HbaApi& a = missing.api();
    EXPECT_EQ(a.HBA_GetNumberOfAdapters(), 0u);
    EXPECT_EQ(a.HBA_GetVersion(), 0u);
    char name[4] = {'x', 0, 0, 0};
    EXPECT_EQ(a.HBA_GetAdapterName(0, name), HBA_STATUS_ERROR_ILLEGAL_INDEX);
    EXPECT_EQ(name[0], 'x');
    EXPECT_EQ(a.HBA_OpenAdapter(name), HBA_HANDLE_INVALID);
    a.HBA_CloseAdapter(1);
    a.HBA_RefreshInformation(1);
    HBA_UINT32 size = 4;
    EXPECT_EQ(a.HBA_SendRNID(1, HBA_WWN{}, PORT_WWN, name, &size), HBA_STATUS_ERROR_NOT_SUPPORTED);
    EXPECT_EQ(a.HBA_FreeLibrary(), HBA_STATUS_ERROR_NOT_SUPPORTED);
}

}  // namespace
}  // namespace simtest
