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

// A unit's entity as the model's (not yet de-duplicated) list holds it.
std::string entityId(const AttributeModel& m, const LogicalUnitRecord& lu) {
    return lu.entity < m.peripheralEntities.size() ? m.peripheralEntities[lu.entity].id : "";
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
    for (const auto& lu : m.logicalUnits) out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu.id, "</LogicalUnitIdXml>");
    out.line("   </SystemXml>");
    controllers(out, m.controllers, nodes);
    for (const auto& lu : m.logicalUnits) {
        out.line("   <LogicalUnitXml>");
        out.line("      <UniqueIdXml>LogicalUnitXml:", lu.id, "</UniqueIdXml>");
        UnitParameters parameters;
        renderUnitParameters(lu, parameters);
        for (const auto& p : parameters.list()) out.parameterA(p);
        out.line("      <PeripheralEntityIdXml>PlatformXml:", entityId(m, lu), "</PeripheralEntityIdXml>");
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
            if (entityId(m, lu) == pe.id)
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
        uint32_t e = 0;
        for (const auto& own : adapters) {
            for (const auto& ownNode : own.nodeList) {
                if (ownNode.lunList.empty()) continue;
                const std::string prefix = unitPrefix(own, ownNode);
                const std::string serial = scan::hexText(ownNode.serialNumber.bytes());
                const hba::DeviceNode* source = nullptr;
                for (const auto& a : adapters)
                    for (const auto& node : a.nodeList)
                        if (!source && !node.lunList.empty() && unitPrefix(a, node) == prefix &&
                            scan::hexText(node.serialNumber.bytes()) == serial)
                            source = &node;
                for (std::size_t d = 0; d < ownNode.lunList.size(); ++d)
                    m.logicalUnits.push_back(makeLogicalUnit(prefix, static_cast<int>(d), e, ownNode.page83Valid == 1,
                                                             d < source->lunList.size() ? &source->lunList[d] : nullptr));
                ++e;
            }
        }
    }

    for (const auto& a : adapters) {
        for (const auto& node : a.nodeList) {
            if (node.origin == 0) continue;
            std::string controllerRef;
            if (isAdapterNode(node) && adapterAtPort(adapters, node.portId)) controllerRef = controllerId(sid, a);
            const std::string entityRef = isAdapterNode(node) ? "" : scan::hexText(node.alternateId.bytes());
            // The entity of that id was made from the first node with units of that
            // alternate id; its product id decides.
            const hba::DeviceNode* entityNode = nullptr;
            for (const auto& b : adapters)
                for (const auto& other : b.nodeList)
                    if (!entityNode && !other.lunList.empty() && scan::hexText(other.alternateId.bytes()) == entityRef)
                        entityNode = &other;
            const bool trims = entityNode && trimsSerial(fixedFieldText(entityNode->productId));
            m.fcNodes.push_back(makeFcNode(node, controllerRef, trims));
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

std::vector<LogicalUnitRecord> unitsBySerial(std::span<const hba::DiscoveredAdapter> adapters) {
    std::vector<LogicalUnitRecord> units;
    std::map<const hba::DeviceNode*, std::size_t> next;
    uint32_t e = 0;
    for (const auto& own : adapters)
        for (const auto& ownNode : own.nodeList) {
            if (ownNode.lunList.empty()) continue;
            const std::string serial = scan::hexText(ownNode.serialNumber.bytes());
            for (std::size_t d = 0; d < ownNode.lunList.size(); ++d) {
                const hba::LunRecord* chosen = nullptr;
                for (const auto& a : adapters)
                    for (const auto& node : a.nodeList) {
                        if (node.lunList.empty() || scan::hexText(node.serialNumber.bytes()) != serial) continue;
                        std::size_t& i = next[&node];
                        chosen = &node.lunList[i];
                        if (i + 1 < node.lunList.size()) ++i;
                    }
                units.push_back(makeLogicalUnit(unitPrefix(own, ownNode), static_cast<int>(d), e,
                                                ownNode.page83Valid == 1, chosen));
            }
            ++e;
        }
    return units;
}

}  // namespace reference
