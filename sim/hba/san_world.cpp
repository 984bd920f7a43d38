#include "sim/hba/san_world.h"

#include <algorithm>
#include <cstring>

#include "sim/hba/fabric_services.h"
#include "wire/ct.h"
#include "sim/hba/rnid_answers.h"
#include "sim/hba/scsi_answers.h"
#include "sim/world_reader.h"

namespace sansim {

namespace {

// Copies text into a NUL-terminated character array, cut to fit.
template <std::size_t N>
void setText(char (&field)[N], const std::string& value) {
    const std::size_t n = std::min(value.size(), N - 1);
    std::memcpy(field, value.data(), n);
    field[n] = '\0';
}

void setWwn(HBA_WWN& field, const Wwn& value) { std::memcpy(field.wwn, value.data(), 8); }

void setFc4Types(HBA_FC4TYPES& field, const Json& obj, const char* key) {
    auto it = obj.find(key);
    if (it == obj.end()) return;
    const Bytes b = hex(*it);
    std::memcpy(field.bits, b.data(), std::min<std::size_t>(b.size(), sizeof field.bits));
}

HBA_ADAPTERATTRIBUTES adapterAttributes(const Json& a) {
    HBA_ADAPTERATTRIBUTES r{};
    setText(r.Manufacturer, text(a, "manufacturer"));
    setText(r.SerialNumber, text(a, "serialNumber"));
    setText(r.Model, text(a, "model"));
    setText(r.ModelDescription, text(a, "modelDescription"));
    setWwn(r.NodeWWN, wwn(a, "nodeWwn"));
    setText(r.NodeSymbolicName, text(a, "nodeSymbolicName"));
    setText(r.HardwareVersion, text(a, "hardwareVersion"));
    setText(r.DriverVersion, text(a, "driverVersion"));
    setText(r.OptionROMVersion, text(a, "optionRomVersion"));
    setText(r.FirmwareVersion, text(a, "firmwareVersion"));
    r.VendorSpecificID = u32(a, "vendorSpecificId", 0);
    r.NumberOfPorts = u32(a, "numberOfPorts", 1);
    setText(r.DriverName, text(a, "driverName"));
    return r;
}

HBA_PORTATTRIBUTES portAttributes(const Json& p, uint32_t discoveredPorts) {
    HBA_PORTATTRIBUTES r{};
    setWwn(r.NodeWWN, wwn(p, "nodeWwn"));
    setWwn(r.PortWWN, wwn(p, "portWwn"));
    if (auto it = p.find("portFcId"); it != p.end()) r.PortFcId = fcId(*it);
    r.PortType = u32(p, "portType", HBA_PORTTYPE_NPORT);
    r.PortState = u32(p, "portState", HBA_PORTSTATE_ONLINE);
    r.PortSupportedClassofService = u32(p, "supportedClassOfService", 0x08);
    setFc4Types(r.PortSupportedFc4Types, p, "supportedFc4Types");
    setFc4Types(r.PortActiveFc4Types, p, "activeFc4Types");
    setText(r.PortSymbolicName, text(p, "symbolicName"));
    setText(r.OSDeviceName, text(p, "osDeviceName"));
    r.PortSupportedSpeed = u32(p, "supportedSpeed", HBA_PORTSPEED_2GBIT);
    r.PortSpeed = u32(p, "speed", HBA_PORTSPEED_2GBIT);
    r.PortMaxFrameSize = u32(p, "maxFrameSize", 2048);
    setWwn(r.FabricName, wwn(p, "fabricName"));
    r.NumberofDiscoveredPorts = u32(p, "numberOfDiscoveredPorts", discoveredPorts);
    return r;
}

// Answers of one unit; "peripheral" of the pages follows the unit's standard INQUIRY.
Unit unit(const Json& u) {
    static const Json kEmpty = Json::object();
    Unit r;
    if (auto it = u.find("lun"); it != u.end()) {
        r.lunId = lunIdOf(*it);
        if (!it->is_string()) r.lunNumber = u32(*it);
    }
    r.inquiry = inquiryAnswer(u.contains("inquiry") ? u.at("inquiry") : kEmpty);
    const uint8_t peripheral = r.inquiry.data && !r.inquiry.data->empty() ? r.inquiry.data->front() : 0;
    r.page80 = u.contains("page80") ? page80Answer(u.at("page80"), peripheral) : missingPage();
    r.page83 = u.contains("page83") ? page83Answer(u.at("page83"), peripheral) : missingPage();
    return r;
}

Target target(const Json& t) {
    Target r;
    if (auto it = t.find("units"); it != t.end())
        for (const Json& u : *it) r.units.push_back(unit(sim::unpacked(u)));
    if (auto it = t.find("anyUnit"); it != t.end()) r.anyUnit = unit(*it);
    r.reportLuns = reportLunsAnswer(t.contains("reportLuns") ? &t.at("reportLuns") : nullptr, r.units);
    if (auto it = t.find("reportLunsRetry"); it != t.end()) r.reportLunsRetry = reportLunsAnswer(&*it, r.units);
    return r;
}

Port port(const Json& p, uint32_t discoveredPorts) {
    Port r;
    r.attributes = portAttributes(p, discoveredPorts);
    r.status = u32(p, "status", HBA_STATUS_OK);
    if (auto it = p.find("target"); it != p.end()) r.target = target(*it);
    return r;
}

NameServerPort nameServerPort(const Json& p) {
    NameServerPort r;
    r.portType = static_cast<uint8_t>(u32(p, "portType", 1));
    r.portId = fcId(p.at("portId"));
    r.portName = wwn(p, "portName");
    r.nodeName = wwn(p, "nodeName");
    if (p.contains("symbolicPortName")) r.symbolicPortName = text(p, "symbolicPortName");
    if (p.contains("symbolicNodeName")) r.symbolicNodeName = text(p, "symbolicNodeName");
    auto fixed = [&p](const char* key, Bytes& field) {
        if (auto it = p.find(key); it != p.end()) {
            const Bytes b = hex(*it);
            std::copy_n(b.begin(), std::min(b.size(), field.size()), field.begin());
        }
    };
    fixed("initialProcessAssociator", r.initialProcessAssociator);
    fixed("nodeIpAddress", r.nodeIpAddress);
    fixed("fc4Types", r.fc4Types);
    fixed("portIpAddress", r.portIpAddress);
    r.classOfService = u32(p, "classOfService", 0x08);
    r.fabricPortName = wwn(p, "fabricPortName");
    if (auto it = p.find("hardAddress"); it != p.end()) r.hardAddress = fcId(*it);
    return r;
}

Platform platform(const Json& p) {
    Platform r;
    r.name = text(p, "name");
    r.type = u32(p, "type", 0);
    if (auto it = p.find("managementAddresses"); it != p.end())
        for (const Json& a : *it) r.managementAddresses.push_back(a.get<std::string>());
    if (auto it = p.find("nodeNames"); it != p.end())
        for (const Json& n : *it) r.nodeNames.push_back(wwn(n));
    return r;
}

// A 256-byte platform name block, as the configuration-server requests carry it.
Bytes platformNameBlock(const std::string& name) {
    const wire::NameBlock block = wire::encodeNameBlock(name);
    return Bytes(block.begin(), block.end());
}

CtOverride ctOverride(const Json& o) {
    CtOverride r;
    if (auto it = o.find("command"); it != o.end()) {
        auto named = ctCommandByName(it->get<std::string>());
        if (!named) throw WorldError("unknown CT command " + it->dump());
        r.code = named->code;
        r.gsType = named->gsType;
        r.gsSubtype = named->gsSubtype;
    } else {
        r.code = static_cast<uint16_t>(u32(o, "code", 0));
    }
    if (o.contains("gsType")) r.gsType = static_cast<uint8_t>(u32(o, "gsType", 0));
    if (o.contains("gsSubtype")) r.gsSubtype = static_cast<uint8_t>(u32(o, "gsSubtype", 0));
    if (auto it = o.find("argument"); it != o.end()) r.argument = hex(*it);
    if (o.contains("platform")) r.argument = platformNameBlock(text(o, "platform"));
    if (o.contains("portName")) {
        const Wwn w = wwn(o, "portName");
        r.argument.assign(w.begin(), w.end());
    }
    if (o.contains("nodeName")) {
        const Wwn w = wwn(o, "nodeName");
        r.argument.assign(w.begin(), w.end());
    }
    if (auto it = o.find("portId"); it != o.end()) {
        r.argument.assign(4, 0);
        putBe24(r.argument, 1, fcId(*it));
    }
    r.status = u32(o, "status", HBA_STATUS_OK);
    if (auto it = o.find("reject"); it != o.end()) {
        r.kind = CtOverride::Kind::Reject;
        r.reason = static_cast<uint8_t>(u32(*it, "reason", kRejectUnableToPerform));
        r.explanation = static_cast<uint8_t>(u32(*it, "explanation", kExplainNone));
    } else if (auto raw = o.find("raw"); raw != o.end()) {
        r.kind = CtOverride::Kind::Raw;
        r.raw = hex(*raw);
    }
    return r;
}

}  // namespace

std::unique_ptr<Fabric> buildFabric(const Json& given) {
    auto f = std::make_unique<Fabric>();
    if (auto ns = given.find("nameServer"); ns != given.end()) {
        f->hasNameServer = true;
        if (auto it = ns->find("ports"); it != ns->end())
            for (const Json& p : *it) f->ports.push_back(nameServerPort(p));
        std::stable_sort(f->ports.begin(), f->ports.end(),
                         [](const NameServerPort& a, const NameServerPort& b) { return a.portId < b.portId; });
    }
    if (auto cs = given.find("configServer"); cs != given.end()) {
        f->hasConfigServer = true;
        if (auto it = cs->find("platforms"); it != cs->end())
            for (const Json& p : *it) f->platforms.push_back(platform(p));
    }
    if (auto it = given.find("ct"); it != given.end())
        for (const Json& o : *it) f->overrides.push_back(ctOverride(o));
    if (auto it = given.find("rnid"); it != given.end()) {
        for (const Json& e : *it) {
            RnidEntry r;
            if (e.contains("portName")) r.portName = wwn(e, "portName");
            if (e.contains("nodeName")) r.nodeName = wwn(e, "nodeName");
            // The common identification data names the port's node as the name server
            // knows it, unless the entry says otherwise.
            Wwn node{};
            for (const auto& p : f->ports)
                if (r.portName && p.portName == *r.portName) node = p.nodeName;
            r.answer = rnidAnswer(e, node);
            f->rnid.push_back(std::move(r));
        }
    }
    return f;
}

static Latency latency(const Json& obj, const char* key) {
    auto it = obj.find(key);
    if (it == obj.end()) return {};
    if (it->is_number_unsigned()) {
        const auto us = it->get<uint32_t>();
        return {us, us};
    }
    const Latency l{it->at("min").get<uint32_t>(), it->at("max").get<uint32_t>()};
    if (l.minMicros > l.maxMicros) throw WorldError(std::string("latency ") + key + ": min is above max");
    return l;
}

San buildSan(const Json& world) {
    San san;
    const Fabric* common = nullptr;
    if (auto it = world.find("fabric"); it != world.end() && it->is_object()) {
        san.fabrics.push_back(buildFabric(*it));
        common = san.fabrics.back().get();
    }
    auto h = world.find("hba");
    if (h == world.end()) return san;
    san.loadStatus = u32(*h, "loadStatus", HBA_STATUS_OK);
    san.freeStatus = u32(*h, "freeStatus", HBA_STATUS_OK);
    san.version = u32(*h, "version", 2);
    if (auto l = h->find("latency"); l != h->end())
        san.latency = {latency(*l, "scsi"), latency(*l, "ct"), latency(*l, "rnid"), latency(*l, "attributes")};
    if (auto list = h->find("adapters"); list != h->end()) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            const Json& a = list->at(i);
            Adapter r;
            r.name = text(a, "name", "sansim-adapter-" + std::to_string(i));
            r.nameStatus = u32(a, "nameStatus", HBA_STATUS_OK);
            r.openFails = flag(a, "openFails", false);
            r.attributes = adapterAttributes(a.contains("attributes") ? a.at("attributes") : Json::object());
            r.attributesStatus = u32(a, "attributesStatus", HBA_STATUS_OK);
            const Json discovered = a.contains("discoveredPorts") ? a.at("discoveredPorts") : Json::array();
            r.port = port(a.contains("port") ? a.at("port") : Json::object(), static_cast<uint32_t>(discovered.size()));
            for (const Json& d : discovered) r.discovered.push_back(port(d, 0));
            r.fabric = common;
            if (auto f = a.find("fabric"); f != a.end()) {
                if (f->is_null()) {
                    r.fabric = nullptr;
                } else {
                    san.fabrics.push_back(buildFabric(*f));
                    r.fabric = san.fabrics.back().get();
                }
            }
            if (auto ct = a.find("ct"); ct != a.end())
                for (const Json& o : *ct) r.ctOverrides.push_back(ctOverride(o));
            san.adapters.push_back(std::move(r));
        }
    }
    san.adapterCount = u32(*h, "adapterCount", static_cast<uint32_t>(san.adapters.size()));
    return san;
}

}  // namespace sansim
