#include "tools/worldgen/world_emit.h"

#include <array>
#include <cinttypes>

#include "tools/worldgen/json_layout.h"

namespace worldgen {

namespace {

using Json = nlohmann::ordered_json;

std::string hex(uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*" PRIX64, digits, value);
    return text;
}

std::string fcid(uint32_t value) { return hex(value & 0xFFFFFF, 6); }

// World-wide names: a kind (adapter, array, tape, enclosure, other host) and an index
// below a seed byte, so that two seeds give two SANs that could share one fabric.
enum class Kind : uint8_t { Adapter = 1, Array = 2, Tape = 3, Enclosure = 4, OtherHost = 5 };

struct Names {
    uint8_t seedByte;
    std::string node(Kind k, uint32_t i) const { return wwn(0x20, k, i); }
    std::string port(Kind k, uint32_t i) const { return wwn(0x21, k, i); }
    std::string wwn(uint8_t first, Kind k, uint32_t i) const {
        return hex((uint64_t{first} << 56) | (uint64_t{seedByte} << 40) | (uint64_t(k) << 32) | i, 16);
    }
};

struct Product {
    const char* vendor;
    const char* product;
    const char* revision;
};
constexpr std::array<Product, 6> kArrays = {{{"SANARRAY", "FA-4000", "0420"},
                                             {"STORCORP", "MODULAR 9500", "7.2"},
                                             {"DISKWARE", "DW-880", "3110"},
                                             {"ACMESTOR", "VIRTUAL DISK", "A1"},
                                             {"BLOCKCO", "BC-RAID5", "0901"},
                                             {"ARRAYTEK", "AT-2200", "12.4"}}};

class Emitter {
public:
    Emitter(const Options& o, const Plan& plan, Rng& rng, TwistSet active)
        : o_(o), plan_(plan), rng_(rng), tw_(active, rng), names_{static_cast<uint8_t>(o.seed & 0xFF)} {}

    bool write(std::FILE* out, WorldSummary& summary);

private:
    uint32_t domainOf(uint32_t adapter) const { return adapter + 1; }
    uint32_t targetFcId(uint32_t adapter, uint32_t t) const { return (domainOf(adapter) << 16) | (t + 1); }
    uint32_t adapterFcId(uint32_t adapter) const { return (domainOf(adapter) << 16) | 0xFF00; }
    std::string targetPortWwn(const TargetPlan& t) const;
    std::string targetNodeWwn(const TargetPlan& t) const;

    Json adapter(uint32_t a);
    Json discoveredPort(uint32_t a, uint32_t t);
    Json target(uint32_t a, uint32_t t);
    Json arrayUnit(const TargetPlan& t, uint32_t k, Json lun);
    Json tapeUnit(const TargetPlan& t, uint32_t k);
    Json enclosureUnit(const TargetPlan& t);
    void twistUnit(Json& unit);
    Json host();
    Json fabric();

    const Options& o_;
    const Plan& plan_;
    Rng& rng_;
    Twister tw_;
    Names names_;
};

std::string Emitter::targetPortWwn(const TargetPlan& t) const {
    switch (t.kind) {
        case TargetKind::ArrayPath: return names_.port(Kind::Array, 2 * t.array + t.path);
        case TargetKind::Tape: return names_.port(Kind::Tape, t.array);
        case TargetKind::Enclosure: return names_.port(Kind::Enclosure, t.array);
    }
    return {};
}

std::string Emitter::targetNodeWwn(const TargetPlan& t) const {
    switch (t.kind) {
        case TargetKind::ArrayPath: return names_.node(Kind::Array, t.array);
        case TargetKind::Tape: return names_.node(Kind::Tape, t.array);
        case TargetKind::Enclosure: return names_.node(Kind::Enclosure, t.array);
    }
    return {};
}

const Product& arrayProduct(uint64_t seed, uint32_t array) { return kArrays[(seed + array) % kArrays.size()]; }

Json sense(int key, int asc, int ascq) { return {{"key", key}, {"asc", asc}, {"ascq", ascq}}; }

Json Emitter::arrayUnit(const TargetPlan& t, uint32_t k, Json lun) {
    const Product& p = arrayProduct(o_.seed, t.array);
    const std::string serial = "SN" + hex(names_.seedByte, 2) + hex(t.array, 6) + hex(k, 4);
    Json unit = {{"lun", std::move(lun)},
                 {"inquiry",
                  {{"deviceType", 0}, {"vendor", p.vendor}, {"product", p.product}, {"revision", p.revision},
                   {"vendorSpecific", serial}}},
                 {"page80", {{"serial", serial}}},
                 {"page83",
                  {{"designators",
                    Json::array({{{"hex", "6" + hex(0x00A0B8, 6) + hex(names_.seedByte, 5) + hex(t.array, 6) +
                                              hex(k, 4) + hex(0, 10)}},
                                 {{"association", 1}, {"protocolIdentifier", 0}, {"hex", targetPortWwn(t)}}})}}}};
    return unit;
}

Json Emitter::tapeUnit(const TargetPlan& t, uint32_t k) {
    const std::string serial = "TL" + hex(names_.seedByte, 2) + hex(t.array, 5) + hex(k, 1);
    if (k == 0)
        return {{"lun", 0},
                {"inquiry",
                 {{"deviceType", 1}, {"removable", true}, {"vendor", "TAPECO"}, {"product", "LTO-DRIVE-4"},
                  {"revision", "B3F1"}}},
                {"page80", {{"serial", serial}}}};
    return {{"lun", k},
            {"inquiry",
             {{"deviceType", 8}, {"removable", true}, {"vendor", "TAPECO"}, {"product", "AUTOLOADER 24"},
              {"revision", "310A"}}},
            {"page80", {{"serial", serial}}}};
}

Json Emitter::enclosureUnit(const TargetPlan& t) {
    return {{"lun", 0},
            {"inquiry", {{"deviceType", 13}, {"vendor", "ENCLO"}, {"product", "JBOD-16 SES"}, {"revision", "0005"}}},
            {"page80", {{"serial", "EN" + hex(names_.seedByte, 2) + hex(t.array, 6)}}}};
}

// The unit-level twists: failing or odd INQUIRY and page answers.
void Emitter::twistUnit(Json& unit) {
    Json& inq = unit["inquiry"];
    if (tw_.hit(Twist::InquiryFails)) inq = {{"status", 2}, {"sense", sense(4, 0x44, 0)}};
    else if (tw_.hit(Twist::InquirySense)) inq["sense"] = sense(2, 4, 1);
    else if (tw_.hit(Twist::NoDevice)) inq = {{"peripheralQualifier", 3}, {"deviceType", 31}};
    else if (tw_.hit(Twist::UnsupportedPeripheral)) inq["peripheralQualifier"] = 1;
    else if (tw_.hit(Twist::InquiryShort)) inq["length"] = 5;
    else if (tw_.hit(Twist::InquiryRawOdd)) inq = {{"raw", "00 00 05 02 FB 00 00 02 41 43 4D 45"}};
    else if (tw_.hit(Twist::ControllerUnit)) inq["deviceType"] = rng_.oneIn(2) ? 12 : 3;
    else if (tw_.hit(Twist::OddTexts)) {
        inq["vendor"] = "A&B<C>";
        inq["product"] = "50% \"Q\" \x01";
        inq.erase("vendorSpecific");
        inq["vendorSpecificHex"] = "01 02 1F 7F 80 FF 25 3C";
    }

    if (tw_.hit(Twist::Page80Fails)) unit["page80"] = {{"status", 2}, {"sense", sense(5, 0x24, 0)}};
    else if (tw_.hit(Twist::Page80Missing)) unit.erase("page80");
    else if (tw_.hit(Twist::Page80Blank)) unit["page80"] = {{"serialHex", "20 20 20 20 00 00"}};
    else if (tw_.hit(Twist::Page80RawLong)) unit["page80"] = {{"raw", "00 80 00 F0 41 42 43"}};

    if (tw_.hit(Twist::Page83Fails)) unit["page83"] = {{"status", 2}, {"sense", sense(5, 0x24, 0)}};
    else if (tw_.hit(Twist::Page83Missing)) unit.erase("page83");
    else if (tw_.hit(Twist::Page83Text))
        unit["page83"] = {{"designators", Json::array({{{"designatorType", 1}, {"text", "ACMESTOR VD 00012345"}}})}};
    else if (tw_.hit(Twist::Page83Eui64))
        unit["page83"] = {{"designators", Json::array({{{"designatorType", 2}, {"hex", hex(rng_.next(), 16)}}})}};
    else if (tw_.hit(Twist::Page83RawTruncated)) unit["page83"] = {{"raw", "00 83 00 40 01 03 00 10 60 0A"}};
}

Json Emitter::target(uint32_t a, uint32_t t) {
    const TargetPlan& tp = plan_.adapters[a].targets[t];
    Json units = Json::array();
    const bool flat = tp.kind == TargetKind::ArrayPath && tw_.hit(Twist::FlatLun);
    const bool eightByte = !flat && tp.kind == TargetKind::ArrayPath && tw_.hit(Twist::EightByteLun);
    for (uint32_t k = 0; k < tp.units; ++k) {
        Json unit;
        switch (tp.kind) {
            case TargetKind::ArrayPath: {
                Json lun = flat ? Json(256 + k) : eightByte ? Json("00" + hex(k, 2) + "000100000000") : Json(k);
                unit = arrayUnit(tp, k, std::move(lun));
                break;
            }
            case TargetKind::Tape: unit = tapeUnit(tp, k); break;
            case TargetKind::Enclosure: unit = enclosureUnit(tp); break;
        }
        twistUnit(unit);
        units.push_back(std::move(unit));
    }
    Json target = Json::object();
    if (tw_.hit(Twist::ReportLunsFails)) target["reportLuns"] = {{"status", 2}, {"sense", sense(5, 0x20, 0)}};
    else if (tw_.hit(Twist::ReportLunsSense)) target["reportLuns"] = {{"sense", sense(6, 0x29, 0)}};
    else if (tw_.hit(Twist::ReportLunsLongList)) target["reportLuns"] = {{"listLength", 4096}};
    else if (tw_.hit(Twist::ReportLunsEmpty)) target["reportLuns"] = {{"luns", Json::array()}};
    else if (tw_.hit(Twist::ReportLunsRawShort)) target["reportLuns"] = {{"raw", "00 00 00 10"}};
    else if (tw_.hit(Twist::ReportLunsMany)) {
        target["reportLuns"] = {{"count", 300}};
        target["anyUnit"] = arrayUnit(tp, 0xFFFF, 0);
        target["anyUnit"].erase("lun");
    }
    target["units"] = std::move(units);
    return target;
}

Json Emitter::discoveredPort(uint32_t a, uint32_t t) {
    const TargetPlan& tp = plan_.adapters[a].targets[t];
    Json port = Json::object();
    if (tw_.hit(Twist::DiscoveredPortFails)) port["status"] = 1;
    port["nodeWwn"] = targetNodeWwn(tp);
    port["portWwn"] = targetPortWwn(tp);
    port["portFcId"] = fcid(targetFcId(a, t));
    port["portType"] = 5;
    if (!tw_.hit(Twist::NoTarget)) port["target"] = target(a, t);
    return port;
}

Json Emitter::adapter(uint32_t a) {
    const bool other = tw_.hit(Twist::OtherVendorAdapter);
    const std::string name = (other ? "Emulex-LP9802-" : "QLogic-QLA2342-") + std::to_string(a);
    Json adapter = {{"name", name}};
    if (tw_.hit(Twist::NameFails)) adapter["nameStatus"] = 1;
    if (tw_.hit(Twist::OpenFails)) adapter["openFails"] = true;
    if (tw_.hit(Twist::AttributesFail)) adapter["attributesStatus"] = 1;
    const std::string driver = tw_.hit(Twist::OldQLogicDriver) ? "8.00.07" : "9.1.2.19";
    adapter["attributes"] = {{"manufacturer", other ? "Emulex Corporation" : "QLogic Corporation"},
                             {"serialNumber", "HBA" + hex(names_.seedByte, 2) + hex(a, 6)},
                             {"model", other ? "LP9802" : "QLA2342"},
                             {"modelDescription", other ? "Emulex LightPulse LP9802" : "QLogic QLA2342 PCI-X"},
                             {"nodeWwn", names_.node(Kind::Adapter, a)},
                             {"nodeSymbolicName", "QLA2342 FW:v3.03.19 DVR:v" + driver},
                             {"hardwareVersion", "FC5010409-10"},
                             {"driverVersion", driver},
                             {"optionRomVersion", "1.43"},
                             {"firmwareVersion", "3.03.19"},
                             {"vendorSpecificId", "0x23101077"},
                             {"numberOfPorts", 1},
                             {"driverName", other ? "lpxnds.sys" : "ql2300.sys"}};
    Json port = Json::object();
    if (tw_.hit(Twist::PortFails)) port["status"] = 1;
    port["nodeWwn"] = names_.node(Kind::Adapter, a);
    port["portWwn"] = names_.port(Kind::Adapter, a);
    port["portFcId"] = fcid(adapterFcId(a));
    port["osDeviceName"] = "\\\\.\\Scsi" + std::to_string(scsiPortOf(a)) + ":";
    const auto targets = static_cast<uint32_t>(plan_.adapters[a].targets.size());
    if (tw_.hit(Twist::DiscoveredCountMore)) port["numberOfDiscoveredPorts"] = targets + 2;
    adapter["port"] = std::move(port);
    Json discovered = Json::array();
    for (uint32_t t = 0; t < targets; ++t) discovered.push_back(discoveredPort(a, t));
    adapter["discoveredPorts"] = std::move(discovered);
    if (tw_.hit(Twist::AdapterFabricNull)) adapter["fabric"] = nullptr;
    else if (tw_.hit(Twist::AdapterCtOverride))
        adapter["ct"] = Json::array({{{"command", "GA_NXT"}, {"status", 1}}});
    return adapter;
}

Json Emitter::host() {
    Json drives = Json::array();
    drives.push_back({{"letter", "C"},
                      {"type", 3},
                      {"volume", {{"label", "System"}, {"fileSystem", "NTFS"}}},
                      {"freeSpace", {{"totalBytes", 42935926784}, {"totalFreeBytes", 18253611008}}},
                      {"device", {{"scsiAddress", {{"port", 0}, {"path", 0}, {"target", 0}, {"lun", 0}}}}}});
    Json physical = Json::array();
    physical.push_back({{"geometry",
                         {{"cylinders", 5221}, {"mediaType", 12}, {"tracksPerCylinder", 255},
                          {"sectorsPerTrack", 63}, {"bytesPerSector", 512}}},
                        {"scsiAddress", {{"port", 0}, {"path", 0}, {"target", 0}, {"lun", 0}}}});
    Json scsiPorts = Json::array();
    for (std::size_t i = 0; i < plan_.disks.size(); ++i) {
        const UnitAddress& d = plan_.disks[i];
        const Json address = {{"port", scsiPortOf(d.adapter)}, {"path", 0}, {"target", d.target}, {"lun", d.lun}};
        if (i < 22) {
            // Drive letters E to Z on the first SAN disks.
            Json drive = {{"letter", std::string(1, static_cast<char>('E' + i))},
                          {"type", 3},
                          {"volume", {{"label", "SAN" + std::to_string(i)}, {"fileSystem", "NTFS"}}},
                          {"freeSpace", {{"totalBytes", 107374182400}, {"totalFreeBytes", 64424509440}}},
                          {"device", {{"scsiAddress", address}}}};
            if (tw_.hit(Twist::VolumeFails)) drive["volume"] = {{"fails", true}};
            if (tw_.hit(Twist::DeviceOpenFails)) drive["device"] = {{"openFails", true}};
            drives.push_back(std::move(drive));
        }
        Json disk = {{"geometry",
                      {{"cylinders", 13054}, {"mediaType", 12}, {"tracksPerCylinder", 255},
                       {"sectorsPerTrack", 63}, {"bytesPerSector", 512}}},
                     {"scsiAddress", address}};
        if (tw_.hit(Twist::GeometryFails)) disk["geometry"] = {{"fails", true}};
        physical.push_back(std::move(disk));
        const Product& p = arrayProduct(o_.seed, plan_.adapters[d.adapter].targets[d.target].array);
        char identifier[64];
        std::snprintf(identifier, sizeof identifier, "%-8s%-16s%-4s", p.vendor, p.product, p.revision);
        scsiPorts.push_back(
            {{"name", "Scsi Port " + std::to_string(scsiPortOf(d.adapter))},
             {"keys",
              Json::array({{{"name", "Scsi Bus 0"},
                            {"keys",
                             Json::array({{{"name", "Target Id " + std::to_string(d.target)},
                                           {"keys",
                                            Json::array({{{"name", "Logical Unit Id " + std::to_string(d.lun)},
                                                          {"values",
                                                           Json::array({{{"name", "Identifier"},
                                                                         {"type", "string"},
                                                                         {"data", identifier}},
                                                                        {{"name", "Type"},
                                                                         {"type", "string"},
                                                                         {"data", "DiskPeripheral"}}})}}})}}})}}})}});
    }
    if (tw_.hit(Twist::PhysicalOpenFails)) physical.push_back({{"openFails", true}});
    const std::string hostName = "GENHOST" + hex(names_.seedByte, 2);
    Json registry = {
        {"keys",
         Json::array({{{"name", "HARDWARE"},
                       {"keys",
                        Json::array({{{"name", "DESCRIPTION"},
                                      {"keys",
                                       Json::array({{{"name", "System"},
                                                     {"values",
                                                      Json::array({{{"name", "Identifier"},
                                                                    {"type", "string"},
                                                                    {"data", "AT/AT COMPATIBLE"}}})}}})}},
                                     {{"name", "DEVICEMAP"},
                                      {"keys", Json::array({{{"name", "Scsi"}, {"keys", scsiPorts}}})}}})}}})}};
    return {{"hostName", hostName},
            {"lookup", {{"officialName", "genhost.example.com"}, {"addresses", Json::array({"10.20.30.41"})}}},
            {"version",
             {{"platformId", 2}, {"major", 5}, {"minor", 2}, {"build", 3790}, {"servicePack", "Service Pack 2"}}},
            {"processorArchitecture", 0},
            {"drives", std::move(drives)},
            {"physicalDrives", std::move(physical)},
            {"registry", std::move(registry)}};
}

Json Emitter::fabric() {
    Json ports = Json::array();
    Json rnid = Json::array();
    Json platforms = Json::array();
    const bool ipv6 = tw_.hit(Twist::RnidIpv6);
    for (uint32_t a = 0; a < plan_.adapters.size(); ++a) {
        ports.push_back({{"portId", fcid(adapterFcId(a))},
                         {"portName", names_.port(Kind::Adapter, a)},
                         {"nodeName", names_.node(Kind::Adapter, a)},
                         {"symbolicNodeName", "QLA2342 FW:v3.03.19 genhost"}});
        rnid.push_back({{"portName", names_.port(Kind::Adapter, a)}, {"associatedType", 7}});
    }
    std::vector<bool> platformDone(plan_.arrays, false);
    for (uint32_t a = 0; a < plan_.adapters.size(); ++a) {
        const auto& targets = plan_.adapters[a].targets;
        for (uint32_t t = 0; t < targets.size(); ++t) {
            const TargetPlan& tp = targets[t];
            Json entry = {{"portId", fcid(targetFcId(a, t))},
                          {"portName", targetPortWwn(tp)},
                          {"nodeName", targetNodeWwn(tp)}};
            if (!tw_.hit(Twist::SymbolicNamesAbsent)) {
                entry["symbolicNodeName"] = tp.kind == TargetKind::ArrayPath ? arrayProduct(o_.seed, tp.array).product
                                            : tp.kind == TargetKind::Tape    ? "TAPECO LIBRARY"
                                                                             : "ENCLO JBOD";
                entry["symbolicPortName"] = "port " + std::to_string(tp.path);
            }
            ports.push_back(std::move(entry));
            if (tp.kind == TargetKind::Enclosure) continue;  // old enclosures answer no RNID
            const uint32_t ip = 0x0A1E0000 + (tp.array & 0xFFFF);
            Json answer = {{"portName", targetPortWwn(tp)},
                           {"associatedType", tp.kind == TargetKind::Tape ? 9 : 11},
                           {"nodeManagement", 2},
                           {"ipAddress", ipv6 ? "FE80000000000000020000FFFE" + hex(ip & 0xFFFFFF, 6)
                                              : std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 255) +
                                                    "." + std::to_string((ip >> 8) & 255) + "." +
                                                    std::to_string(ip & 255)},
                           {"tcpPort", 80}};
            if (tw_.hit(Twist::RnidFails)) answer = {{"portName", targetPortWwn(tp)}, {"status", 1}};
            else if (tw_.hit(Twist::RnidRaw))
                answer = {{"portName", targetPortWwn(tp)}, {"raw", "02 00 00 00 DF 10 00 34 21 00"}};
            rnid.push_back(std::move(answer));
            if (tp.kind == TargetKind::ArrayPath && !platformDone[tp.array]) {
                platformDone[tp.array] = true;
                Json platform = {{"name", "ARRAY-" + hex(names_.seedByte, 2) + "-" + std::to_string(tp.array)},
                                 {"type", 11},
                                 {"managementAddresses", Json::array({"http://10.30.0." + std::to_string(tp.array % 250)})},
                                 {"nodeNames", Json::array({targetNodeWwn(tp)})}};
                if (tw_.hit(Twist::ManyPlatformEntries)) {
                    for (int i = 0; i < 12; ++i)
                        platform["managementAddresses"].push_back("snmp://10.31.0." + std::to_string(i));
                    for (uint32_t i = 0; i < 60; ++i) platform["nodeNames"].push_back(names_.node(Kind::OtherHost, 1000 + i));
                }
                platforms.push_back(std::move(platform));
            }
        }
    }
    // A second host that no adapter probes.
    ports.push_back({{"portId", fcid(0x01FE00)},
                     {"portName", names_.port(Kind::OtherHost, 0)},
                     {"nodeName", names_.node(Kind::OtherHost, 0)},
                     {"symbolicNodeName", "QLA2340 otherhost"}});
    platforms.push_back({{"name", "OTHERHOST"},
                         {"type", 10},
                         {"managementAddresses", Json::array({"http://10.20.30.42:8080"})},
                         {"nodeNames", Json::array({names_.node(Kind::OtherHost, 0)})}});

    Json fabric = Json::object();
    if (!tw_.hit(Twist::NoNameServer)) fabric["nameServer"] = {{"ports", std::move(ports)}};
    if (!tw_.hit(Twist::NoConfigServer)) fabric["configServer"] = {{"platforms", platforms}};
    fabric["rnid"] = std::move(rnid);
    Json ct = Json::array();
    if (tw_.hit(Twist::CtStatusFails)) ct.push_back({{"command", "GSPN_ID"}, {"status", "0x20000034"}});
    if (tw_.hit(Twist::CtReject)) ct.push_back({{"command", "PORTS_OF_NODE"}, {"reject", {{"reason", 9}, {"explanation", 3}}}});
    if (tw_.hit(Twist::CtRawShort))
        ct.push_back({{"command", "GA_NXT"}, {"raw", "01 00 00 00 FC 02 00 00 80 02 00 00"}, {"status", 0}});
    if (tw_.hit(Twist::PlatformUnknown) && !platforms.empty())
        ct.push_back({{"command", "PLATFORM_TYPE"},
                      {"platform", platforms[0]["name"]},
                      {"reject", {{"reason", 9}, {"explanation", 0}}}});
    if (!ct.empty()) fabric["ct"] = std::move(ct);
    return fabric;
}

bool Emitter::write(std::FILE* out, WorldSummary& summary) {
    std::string text = "{\n  \"comment\": ";
    char comment[160];
    std::snprintf(comment, sizeof comment, "Generated: seed %" PRIu64 ", %u logical units on %zu adapters.", o_.seed,
                  plan_.luns, plan_.adapters.size());
    text += Json(comment).dump();
    text += ",\n  \"host\": ";
    writeJson(text, host(), 1, 3);
    text += ",\n  \"hba\": {\n";
    if (tw_.hit(Twist::LoadFails)) text += "    \"loadStatus\": 1,\n";
    if (tw_.hit(Twist::AdapterCountBeyond))
        text += "    \"adapterCount\": " + std::to_string(plan_.adapters.size() + 1) + ",\n";
    if (!o_.latency.empty()) {
        Json latency = Json::object();
        for (const auto& [kind, value] : o_.latency) {
            const auto dash = value.find('-');
            if (dash == std::string::npos) latency[kind] = std::stoul(value);
            else latency[kind] = {{"min", std::stoul(value.substr(0, dash))}, {"max", std::stoul(value.substr(dash + 1))}};
        }
        text += "    \"latency\": " + latency.dump() + ",\n";
    }
    text += "    \"adapters\": [";
    bool ok = true;
    for (uint32_t a = 0; a < plan_.adapters.size(); ++a) {
        text += a ? ",\n      " : "\n      ";
        writeJson(text, adapter(a), 3, 8);
        ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
        text.clear();
    }
    text += "\n    ]\n  },\n  \"fabric\": ";
    writeJson(text, fabric(), 1, 4);
    text += "\n}\n";
    ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();

    summary.adapters = static_cast<uint32_t>(plan_.adapters.size());
    for (const auto& a : plan_.adapters) summary.targets += static_cast<uint32_t>(a.targets.size());
    summary.luns = plan_.luns;
    summary.disks = static_cast<uint32_t>(plan_.disks.size());
    summary.applied = tw_.applied();
    summary.unplaced = o_.forced & ~summary.applied;
    return ok;
}

}  // namespace

bool writeWorld(const Options& options, std::FILE* out, WorldSummary& summary, std::string& error) {
    Rng rng(options.seed);
    Plan plan = planWorld(options, rng, error);
    if (!error.empty()) return false;
    TwistSet active = options.forced;
    if (options.varied && options.forced.none()) {
        // A few twists drawn at random (given twists are applied alone, so that none hides
        // another); a library that fails to load would hide them all.
        const uint32_t draws = rng.between(1, 4);
        for (uint32_t i = 0; i < draws; ++i) {
            const auto t = static_cast<Twist>(rng.between(1, kTwistCount - 1));
            active.set(static_cast<std::size_t>(t));
        }
    }
    summary = {};
    Emitter emitter(options, plan, rng, active);
    if (!emitter.write(out, summary)) {
        error = "cannot write the world";
        return false;
    }
    return true;
}

}  // namespace worldgen
