#include "tests/document/reference_writer.h"

#include <list>
#include <map>

#include "base/text.h"
#include "document/attribute_writer.h"
#include "document/entity_parts.h"
#include "document/xml_out.h"

namespace reference {

using namespace doc;

namespace {

void header(XmlOut& out, const ScanParameters& p, const std::string& sid,
            const std::string& option) {
    out.line("<?xml version=\"1.0\"?>");
    out.lines(kAttributeDtd);
    out.line("<AttributeXml>");
    out.line("   <HeaderXml>");
    out.parameterA({"Agent Address", p.agentAddress});
    out.parameterA({"Scanner Name", p.scannerName});
    const auto colon = p.agentAddress.find(':');
    out.parameterA({"Scan ID", "InbandAttribute:" + sid +
                                   (colon == std::string::npos ? "" : p.agentAddress.substr(colon))});
    out.parameterA({"Version", "1.3.0.52"});
    out.parameterA({"Option", option});
    out.line("   </HeaderXml>");
}

template <class T>
std::list<T> asList(const auto& c) {
    return std::list<T>(c.begin(), c.end());
}

template <class T>
void dedupe(std::list<T>& l) {
    for (auto it = l.begin(); it != l.end();) {
        bool earlier = false;
        for (auto e = l.begin(); e != it; ++e)
            if (e->id == it->id) earlier = true;
        it = earlier ? l.erase(it) : std::next(it);
    }
}

void controllers(XmlOut& out, const std::vector<ControllerRecord>& cs, std::list<FcNodeRecord>& nodes) {
    for (const auto& c : cs) {
        out.line("   <ControllerXml>");
        out.line("      <UniqueIdXml>ControllerXml:", c.id, "</UniqueIdXml>");
        out.parametersA(c.parameters);
        bool any = false;
        for (const auto& n : nodes)
            if (n.controllerRef == c.id) {
                out.line("      <FcNodeIdXml>FcNodeXml:", n.id, "</FcNodeIdXml>");
                any = true;
            }
        if (!any) {
            nodes.push_front(FcNodeRecord{c.id, c.id, "", {}});
            out.line("      <FcNodeIdXml>FcNodeXml:", c.id, "</FcNodeIdXml>");
        }
        out.line("   </ControllerXml>");
    }
}

}  // namespace

std::string renderAttributeXml(AttributeModel m, const ScanParameters& params) {
    scan::DocumentOutput text;
    XmlOut out(text);
    const std::string sid = m.system.id;
    header(out, params, sid, "");
    auto nodes = asList<FcNodeRecord>(m.fcNodes);
    auto ports = asList<FcPortRecord>(m.fcPorts);
    auto entities = asList<PeripheralEntityRecord>(m.peripheralEntities);

    if (m.operatingSystem) {
        const auto& os = *m.operatingSystem;
        out.line("   <NtOperatingSystemXml>");
        out.line("      <UniqueIdXml>NtOSXml:", os.id, "</UniqueIdXml>");
        out.parametersA(os.parameters);
        for (const auto& lv : m.logicalVolumes)
            if (lv.owner == os.id) out.line("      <LogicalVolumeIdXml>LVXml:", lv.id, "</LogicalVolumeIdXml>");
        for (const auto& h : m.hostFileSystems)
            if (h.owner == os.id) out.line("      <HostFileSystemIdXml>HFSXml:", h.id, "</HostFileSystemIdXml>");
        for (const auto& pv : m.physicalVolumes)
            if (pv.owner == os.id) out.line("      <PhysicalVolumeIdXml>PVXml:", pv.id, "</PhysicalVolumeIdXml>");
        out.line("   </NtOperatingSystemXml>");
    }
    for (const auto& lv : m.logicalVolumes) {
        out.line("   <LogicalVolumeXml>");
        out.line("      <UniqueIdXml>LVXml:", lv.id, "</UniqueIdXml>");
        out.parametersB(lv.parameters);
        out.line("   </LogicalVolumeXml>");
    }
    for (const auto& h : m.hostFileSystems) {
        out.line("   <HostFileSystemXml>");
        out.line("      <UniqueIdXml>HFSXml:", h.id, "</UniqueIdXml>");
        out.parametersA(h.parameters);
        for (const auto& lv : m.logicalVolumes)
            if (lv.driveLetter == h.driveLetter) out.line("      <LogicalVolumeIdXml>LVXml:", lv.id, "</LogicalVolumeIdXml>");
        out.line("   </HostFileSystemXml>");
    }
    for (const auto& pv : m.physicalVolumes) {
        out.line("   <PhysicalVolumeXml>");
        out.line("      <UniqueIdXml>PVXml:", pv.id, "</UniqueIdXml>");
        out.parametersB(pv.parameters);
        for (const auto& lu : m.logicalUnits)
            if (lu.address == pv.address) {
                out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu.id, "</LogicalUnitIdXml>");
                break;
            }
        for (const auto& lv : m.logicalVolumes)
            if (lv.address == pv.address) out.line("      <LogicalVolumeIdXml>LVXml:", lv.id, "</LogicalVolumeIdXml>");
        out.line("   </PhysicalVolumeXml>");
    }
    out.line("   <SystemXml>");
    out.line("      <UniqueIdXml>PlatformXml:", sid, "</UniqueIdXml>");
    out.parametersA(m.system.parameters);
    if (m.operatingSystem && m.operatingSystem->owner == sid)
        out.line("      <NtOperatingSystemIdXml>NtOSXml:", m.operatingSystem->id, "</NtOperatingSystemIdXml>");
    for (const auto& c : m.controllers)
        if (c.owner == sid) out.line("      <ControllerIdXml>ControllerXml:", c.id, "</ControllerIdXml>");
    for (const auto& lu : m.logicalUnits)
        if (lu.systemRef == sid) out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu.id, "</LogicalUnitIdXml>");
    out.line("   </SystemXml>");
    controllers(out, m.controllers, nodes);
    for (const auto& lu : m.logicalUnits) {
        out.line("   <LogicalUnitXml>");
        out.line("      <UniqueIdXml>LogicalUnitXml:", lu.id, "</UniqueIdXml>");
        bool first = true;
        for (const auto& p : lu.parameters.nodes()) {
            if (!first && !(p.name == "Capacity" && p.value.empty())) out.parameterA(p);
            first = false;
        }
        out.line("      <PeripheralEntityIdXml>PlatformXml:", lu.peripheralEntityRef, "</PeripheralEntityIdXml>");
        out.line("   </LogicalUnitXml>");
    }
    dedupe(entities);
    dedupe(nodes);
    dedupe(ports);
    for (const auto& pe : entities) {
        out.line("   <PeripheralEntityXml>");
        out.line("      <UniqueIdXml>PlatformXml:", pe.id, "</UniqueIdXml>");
        out.parametersA(pe.parameters);
        for (const auto& n : nodes)
            if (n.peripheralEntityRef == pe.id) out.line("      <FcNodeIdXml>FcNodeXml:", n.id, "</FcNodeIdXml>");
        for (const auto& lu : m.logicalUnits)
            if (lu.peripheralEntityRef == pe.id)
                out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu.id, "</LogicalUnitIdXml>");
        out.line("   </PeripheralEntityXml>");
    }
    for (const auto& n : nodes) {
        out.line("   <FcNodeXml>");
        out.line("      <UniqueIdXml>FcNodeXml:", n.id, "</UniqueIdXml>");
        out.parametersA(n.parameters);
        bool any = false;
        for (const auto& p : ports)
            if (p.nodeRef == n.id) {
                out.line("      <FcPortIdXml>FcPortXml:", p.id, "</FcPortIdXml>");
                any = true;
            }
        if (!any) {
            ports.push_front(FcPortRecord{n.id, n.id, {}});
            out.line("      <FcPortIdXml>FcPortXml:", n.id, "</FcPortIdXml>");
        }
        out.line("   </FcNodeXml>");
    }
    for (const auto& p : ports) {
        out.line("   <FcPortXml>");
        out.line("      <UniqueIdXml>FcPortXml:", p.id, "</UniqueIdXml>");
        out.parametersA(p.parameters);
        for (const auto& g : m.connectivityGroups)
            if (g.portRef == p.id) {
                out.line("      <ConnectivityGroupXml>");
                for (const auto& member : g.members) out.line("         <FcPortIdXml>FcPortXml:", member, "</FcPortIdXml>");
                out.line("      </ConnectivityGroupXml>");
                break;
            }
        out.line("   </FcPortXml>");
    }
    out.line("</AttributeXml>");
    return text.text();
}

std::string renderPeModeXml(AttributeModel m, const ScanParameters& params) {
    scan::DocumentOutput text;
    XmlOut out(text);
    const std::string sid = m.system.id;
    header(out, params, sid, "PE");
    auto nodes = asList<FcNodeRecord>(m.fcNodes);
    auto entities = asList<PeripheralEntityRecord>(m.peripheralEntities);
    out.line("   <SystemXml>");
    out.line("      <UniqueIdXml>PlatformXml:", sid, "</UniqueIdXml>");
    out.parametersA(m.system.parameters);
    for (const auto& c : m.controllers)
        if (c.owner == sid) out.line("      <ControllerIdXml>ControllerXml:", c.id, "</ControllerIdXml>");
    out.line("   </SystemXml>");
    controllers(out, m.controllers, nodes);
    dedupe(entities);
    dedupe(nodes);
    for (const auto& pe : entities) {
        out.line("   <PeripheralEntityXml>");
        out.line("      <UniqueIdXml>PlatformXml:", pe.id, "</UniqueIdXml>");
        out.parametersA(pe.parameters);
        for (const auto& n : nodes)
            if (n.peripheralEntityRef == pe.id) out.line("      <FcNodeIdXml>FcNodeXml:", n.id, "</FcNodeIdXml>");
        out.line("   </PeripheralEntityXml>");
    }
    for (const auto& n : nodes) {
        out.line("   <FcNodeXml>");
        out.line("      <UniqueIdXml>FcNodeXml:", n.id, "</UniqueIdXml>");
        out.parametersA(n.parameters);
        out.line("   </FcNodeXml>");
    }
    out.line("</AttributeXml>");
    return text.text();
}

}  // namespace reference

// ---- SAN entities -------------------------------------------------------------------

namespace reference {

using namespace doc;

namespace {

const hba::DiscoveredAdapter* adapterAtPort(std::span<const hba::DiscoveredAdapter> adapters, const hba::PortId& id) {
    for (const auto& a : adapters)
        if (a.portId == id) return &a;
    return nullptr;
}

}  // namespace

void buildSanEntities(AttributeModel& m, std::span<const hba::DiscoveredAdapter> adapters, bool peOnly) {
    const std::string sid = m.system.id;
    for (const auto& a : adapters) m.controllers.push_back(makeController(sid, a));
    for (const auto& a : adapters)
        for (const auto& node : a.nodeList)
            if (!node.lunList.empty()) m.peripheralEntities.push_back(makePeripheralEntity(node));

    if (!peOnly) {
        for (const auto& pe : m.peripheralEntities) {
            for (int d = 0; d < pe.unitCount; ++d) {
                LogicalUnitRecord lu = makeLogicalUnit(pe, d, sid);
                bool found = false;
                for (const auto& a : adapters) {
                    for (const auto& node : a.nodeList) {
                        if (node.lunList.empty()) continue;
                        if (unitPrefix(a, node) == pe.unitPrefix &&
                            scan::hexText(node.serialNumber.bytes()) == pe.serialText) {
                            if (static_cast<std::size_t>(d) < node.lunList.size())
                                fillLogicalUnit(lu, node.lunList[static_cast<std::size_t>(d)], sid, a);
                            found = true;
                            break;
                        }
                    }
                    if (found) break;
                }
                m.logicalUnits.push_back(lu);
            }
        }
    }

    for (const auto& a : adapters) {
        for (const auto& node : a.nodeList) {
            if (node.origin == 0) continue;
            std::string controllerRef;
            if (isAdapterNode(node) && adapterAtPort(adapters, node.portId)) controllerRef = controllerId(sid, a);
            const std::string entityRef = isAdapterNode(node) ? "" : scan::hexText(node.alternateId.bytes());
            const std::string* productId = nullptr;
            for (const auto& pe : m.peripheralEntities)
                if (pe.id == entityRef) {
                    for (const auto& p : pe.parameters.nodes())
                        if (p.name == "Product ID") {
                            productId = &p.value;
                            break;
                        }
                    break;
                }
            m.fcNodes.push_back(makeFcNode(node, controllerRef, productId));
        }
    }
    if (peOnly) return;

    for (const auto& a : adapters)
        for (const auto& node : a.nodeList) m.fcPorts.push_back(makeFcPort(node));

    if (adapters.empty()) return;
    for (const auto& port : m.fcPorts) {
        ConnectivityGroupRecord g = makeGroup(port);
        const FcNodeRecord* node = nullptr;
        for (const auto& n : m.fcNodes)
            if (n.id == port.nodeRef) {
                node = &n;
                break;
            }
        const ControllerRecord* controller = nullptr;
        if (node && !node->controllerRef.empty())
            for (const auto& c : m.controllers)
                if (c.id == node->controllerRef) {
                    controller = &c;
                    break;
                }
        const std::string* name = nullptr;
        if (controller)
            for (const auto& p : controller->parameters.nodes())
                if (p.name == "Name") {
                    name = &p.value;
                    break;
                }
        if (name) {
            for (const auto& a : adapters) {
                if (documentText(a.adapterName) != *name) continue;
                for (const auto& n : a.nodeList)
                    if (!n.lunList.empty()) g.members.push_back(scan::hexText(n.portWwn));
                break;
            }
            for (std::size_t i = 0; i < g.members.size();) {
                bool earlier = false;
                for (std::size_t e = 0; e < i; ++e)
                    if (g.members[e] == g.members[i]) earlier = true;
                if (earlier) g.members.erase(g.members.begin() + static_cast<std::ptrdiff_t>(i));
                else ++i;
            }
        }
        m.connectivityGroups.push_back(g);
    }
}

std::vector<LogicalUnitRecord> unitsBySerial(const std::deque<PeripheralEntityRecord>& entities,
                                             const std::string& systemId,
                                             std::span<const hba::DiscoveredAdapter> adapters) {
    std::vector<LogicalUnitRecord> units;
    for (const auto& pe : entities)
        for (int d = 0; d < pe.unitCount; ++d) units.push_back(makeLogicalUnit(pe, d, systemId));
    std::map<const hba::DeviceNode*, std::size_t> next;
    for (auto& lu : units) {
        const std::string serial = lu.parameters.nodes().front().value;
        for (const auto& a : adapters)
            for (const auto& node : a.nodeList) {
                if (node.lunList.empty() || scan::hexText(node.serialNumber.bytes()) != serial) continue;
                std::size_t& i = next[&node];
                fillLogicalUnit(lu, node.lunList[i], systemId, a);
                if (i + 1 < node.lunList.size()) ++i;
            }
    }
    return units;
}

}  // namespace reference
