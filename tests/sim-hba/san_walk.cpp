#include "tests/sim-hba/san_walk.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/support/test_helpers.h"

namespace simtest {

namespace {

using testsupport::hex;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    char small[1];
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, fmt, args);
    va_end(args);
    std::string s(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(s.data(), s.size() + 1, fmt, again);
    va_end(again);
    return s;
}

void probeTarget(std::string& out, const hba::HbaApi& api, HBA_HANDLE h, const HBA_WWN& wwn) {
    std::vector<unsigned char> rl(2056, 0), sense(100, 0);
    HBA_STATUS st = api.HBA_SendReportLUNs(h, wwn, rl.data(), 2056, sense.data(), 100);
    out += format("    reportluns status=%u data=%s sense=%s\n", st, hex(rl.data(), 64).c_str(), hex(sense.data(), 18).c_str());
    std::size_t count = st == HBA_STATUS_OK ? ((rl[0] << 24) | (rl[1] << 16) | (rl[2] << 8) | rl[3]) / 8 : 1;
    if (count == 0) count = 1;
    for (std::size_t k = 0; k < count && k < 256; ++k) {
        HBA_UINT64 lun = 0;
        if (st == HBA_STATUS_OK) std::memcpy(&lun, rl.data() + 8 + 8 * k, 8);
        const struct { HBA_UINT8 evpd; HBA_UINT32 page; } asks[] = {{0, 0}, {1, 0x80}, {1, 0x83}};
        for (const auto& a : asks) {
            std::vector<unsigned char> rsp(252, 0), sn(100, 0);
            const HBA_STATUS s = api.HBA_SendScsiInquiry(h, wwn, lun, a.evpd, a.page, rsp.data(), 252, sn.data(), 100);
            out += format("    lun=%s evpd=%u page=%02X status=%u data=%s sense=%s\n", hex(&lun, 8).c_str(), a.evpd,
                        a.page, s, hex(rsp.data(), 252).c_str(), hex(sn.data(), 18).c_str());
        }
    }
    unsigned char rnid[76] = {};
    HBA_UINT32 size = sizeof rnid;
    st = api.HBA_SendRNID(h, wwn, PORT_WWN, rnid, &size);
    out += format("    rnid status=%u size=%u data=%s\n", st, size, hex(rnid, sizeof rnid).c_str());
}

void probeFabric(std::string& out, const hba::HbaApi& api, HBA_HANDLE h) {
    // The name server's ring, from address 0, at most 16 steps.
    unsigned char req[20] = {0x01, 0, 0, 0, 0xFC, 0x02, 0, 0, 0x01, 0x00};
    for (int step = 0; step < 16; ++step) {
        std::vector<unsigned char> rsp(636, 0);
        const HBA_STATUS st = api.HBA_SendCTPassThru(h, req, sizeof req, rsp.data(), 636);
        out += format("  ga_nxt status=%u head=%s object=%s\n", st, hex(rsp.data(), 16).c_str(),
                    hex(rsp.data() + 16, 16).c_str());
        if (st != HBA_STATUS_OK || rsp[8] != 0x80 || rsp[9] != 0x02) break;
        if (step > 0 && std::memcmp(rsp.data() + 17, req + 17, 3) <= 0) break;  // wrapped round
        std::memcpy(req + 17, rsp.data() + 17, 3);
    }
    unsigned char names[16] = {0x01, 0, 0, 0, 0xFA, 0x01, 0, 0, 0x01, 0xA2};
    std::vector<unsigned char> rsp(8212, 0);
    const HBA_STATUS st = api.HBA_SendCTPassThru(h, names, sizeof names, rsp.data(), 8212);
    out += format("  platforms status=%u head=%s first=%s\n", st, hex(rsp.data(), 20).c_str(),
                hex(rsp.data() + 20, 32).c_str());
}


}  // namespace

std::string describePort(const char* what, const HBA_PORTATTRIBUTES& p) {
    return format("%s node=%s port=%s fcid=%06X type=%u state=%u cos=%u fc4=%s/%s sym=\"%s\" os=\"%s\" speed=%u/%u "
                "frame=%u fabric=%s discovered=%u\n",
                what, hex(p.NodeWWN.wwn, 8).c_str(), hex(p.PortWWN.wwn, 8).c_str(), p.PortFcId, p.PortType,
                p.PortState, p.PortSupportedClassofService, hex(p.PortSupportedFc4Types.bits, 32).c_str(),
                hex(p.PortActiveFc4Types.bits, 32).c_str(), p.PortSymbolicName, p.OSDeviceName, p.PortSupportedSpeed,
                p.PortSpeed, p.PortMaxFrameSize, hex(p.FabricName.wwn, 8).c_str(), p.NumberofDiscoveredPorts);
}

std::string describeAttributes(const HBA_ADAPTERATTRIBUTES& a) {
    return format("mfr=\"%s\" serial=\"%s\" model=\"%s\" desc=\"%s\" node=%s sym=\"%s\" hw=\"%s\" drv=\"%s\" rom=\"%s\" "
                  "fw=\"%s\" vendor=%u ports=%u driver=\"%s\"",
                  a.Manufacturer, a.SerialNumber, a.Model, a.ModelDescription, hex(a.NodeWWN.wwn, 8).c_str(),
                  a.NodeSymbolicName, a.HardwareVersion, a.DriverVersion, a.OptionROMVersion, a.FirmwareVersion,
                  a.VendorSpecificID, a.NumberOfPorts, a.DriverName);
}

std::string walkSan(const hba::HbaApi& api) {
    std::string out;
    out += format("load status=%u\n", api.HBA_LoadLibrary());
    const HBA_UINT32 count = api.HBA_GetNumberOfAdapters();
    out += format("adapters=%u\n", count);
    for (HBA_UINT32 i = 0; i < count; ++i) {
        char name[256] = {};
        HBA_STATUS st = api.HBA_GetAdapterName(i, name);
        out += format("adapter %u name status=%u name=\"%s\"\n", i, st, name);
        if (st != HBA_STATUS_OK) continue;
        const HBA_HANDLE h = api.HBA_OpenAdapter(name);
        out += format("  open %s\n", h ? "ok" : "failed");
        if (!h) continue;
        api.HBA_RefreshInformation(h);
        HBA_ADAPTERATTRIBUTES a{};
        st = api.HBA_GetAdapterAttributes(h, &a);
        out += format("  attributes status=%u %s\n", st, describeAttributes(a).c_str());
        HBA_PORTATTRIBUTES port{};
        st = api.HBA_GetAdapterPortAttributes(h, 0, &port);
        out += format("  port status=%u\n", st);
        if (st == HBA_STATUS_OK) {
            out += describePort("  port0", port);
            for (HBA_UINT32 j = 0; j < port.NumberofDiscoveredPorts && j < 512; ++j) {
                HBA_PORTATTRIBUTES d{};
                st = api.HBA_GetDiscoveredPortAttributes(h, 0, j, &d);
                out += format("  discovered %u status=%u\n", j, st);
                if (st != HBA_STATUS_OK) continue;
                out += describePort("   ", d);
                probeTarget(out, api, h, d.PortWWN);
            }
        }
        probeFabric(out, api, h);
        api.HBA_CloseAdapter(h);
    }
    out += format("free status=%u\n", api.HBA_FreeLibrary());
    return out;
}

}  // namespace simtest
