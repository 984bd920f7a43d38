#include "document/attribute_writer.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/xml_out.h"

namespace doc {

const char* const kAttributeDtd =
    "<!DOCTYPE AttributeXml [<!-- Attribute.dtd -->\n"
    "<!ELEMENT AttributeXml (HeaderXml, (NtOperatingSystemXml? | SolarisOperatingSystemXml? | "
    "AixOperatingSystemXml? | LinuxOperatingSystemXml?),\n"
    "                        LogicalVolumeXml*, HostFileSystemXml*, PhysicalVolumeXml*, VolumeGroupXml*, "
    "SystemXml,\n"
    "                        ControllerXml*, LogicalUnitXml*, PeripheralEntityXml*, FcNodeXml*, FcPortXml*)>\n"
    "<!ELEMENT HeaderXml (ParameterXml*)>\n"
    "<!ELEMENT NtOperatingSystemXml (UniqueIdXml, ParameterXml*, LogicalVolumeIdXml+, HostFileSystemIdXml+, "
    "PhysicalVolumeIdXml*)>\n"
    "<!ELEMENT SolarisOperatingSystemXml (UniqueIdXml, ParameterXml*, LogicalVolumeIdXml*, VolumeGroupIdXml*, "
    "HostFileSystemIdXml+, PhysicalVolumeIdXml*)>\n"
    "<!ELEMENT AixOperatingSystemXml (UniqueIdXml, ParameterXml*, LogicalVolumeIdXml*, VolumeGroupIdXml*, "
    "HostFileSystemIdXml+, PhysicalVolumeIdXml*)>\n"
    "<!ELEMENT LinuxOperatingSystemXml (UniqueIdXml, ParameterXml*, LogicalVolumeIdXml*, VolumeGroupIdXml*, "
    "HostFileSystemIdXml+, PhysicalVolumeIdXml*)>\n"
    "<!ELEMENT LogicalVolumeXml (UniqueIdXml, ParameterXml*, VolumeGroupIdXml?)>\n"
    "<!ELEMENT HostFileSystemXml (UniqueIdXml, ParameterXml*, LogicalVolumeIdXml?)>\n"
    "<!ELEMENT PhysicalVolumeXml (UniqueIdXml, ParameterXml*, LogicalUnitIdXml*, LogicalVolumeIdXml*)>\n"
    "<!ELEMENT VolumeGroupXml (UniqueIdXml, ParameterXml*, PhysicalVolumeIdXml*)>\n"
    "<!ELEMENT SystemXml (UniqueIdXml, ParameterXml*, (NtOperatingSystemIdXml? | SolarisOperatingSystemIdXml? | "
    "AixOperatingSystemIdXml? | LinuxOperatingSystemIdXml?), ControllerIdXml*, LogicalUnitIdXml*)>\n"
    "<!ELEMENT ControllerXml (UniqueIdXml, ParameterXml*, FcNodeIdXml)>\n"
    "<!ELEMENT PeripheralEntityXml (UniqueIdXml, ParameterXml*, FcNodeIdXml+, LogicalUnitIdXml*)>\n"
    "<!ELEMENT FcNodeXml (UniqueIdXml, ParameterXml*, FcPortIdXml*)>\n"
    "<!ELEMENT FcPortXml (UniqueIdXml, ParameterXml*, ConnectivityGroupXml)>\n"
    "<!ELEMENT LogicalUnitXml (UniqueIdXml, ParameterXml*, PeripheralEntityIdXml)>\n"
    "<!ELEMENT ConnectivityGroupXml (ParameterXml*, FcPortIdXml*)>\n"
    "<!ELEMENT UniqueIdXml (#PCDATA)>\n"
    "<!ELEMENT ParameterXml (NameXml, ValueXml)>\n"
    "<!ELEMENT NameXml (#PCDATA)>\n"
    "<!ELEMENT ValueXml (#PCDATA)>\n"
    "<!ELEMENT LogicalVolumeIdXml (#PCDATA)>\n"
    "<!ELEMENT HostFileSystemIdXml (#PCDATA)>\n"
    "<!ELEMENT PhysicalVolumeIdXml (#PCDATA)>\n"
    "<!ELEMENT VolumeGroupIdXml (#PCDATA)>\n"
    "<!ELEMENT LogicalUnitIdXml (#PCDATA)>\n"
    "<!ELEMENT NtOperatingSystemIdXml (#PCDATA)>\n"
    "<!ELEMENT SolarisOperatingSystemIdXml (#PCDATA)>\n"
    "<!ELEMENT AixOperatingSystemIdXml (#PCDATA)>\n"
    "<!ELEMENT LinuxOperatingSystemIdXml (#PCDATA)>\n"
    "<!ELEMENT ControllerIdXml (#PCDATA)>\n"
    "<!ELEMENT PeripheralEntityIdXml (#PCDATA)>\n"
    "<!ELEMENT FcNodeIdXml (#PCDATA)>\n"
    "<!ELEMENT FcPortIdXml (#PCDATA)>]> <!-- End Attribute.dtd -->\n";

namespace {

// Records of one list grouped by a key text, each group in list order. Every reference
// element of the document is "all records of a list whose field equals this id" (or the
// first of them); grouping once makes each lookup constant time instead of a list scan.
template <class Record>
class Index {
public:
    template <class List, class Key>
    Index(const List& list, Key key) {
        for (const Record& r : list) groups_[std::string_view(key(r))].push_back(&r);
    }
    const std::vector<const Record*>& find(std::string_view key) const {
        auto it = groups_.find(key);
        return it == groups_.end() ? empty_ : it->second;
    }
    const Record* first(std::string_view key) const {
        const auto& g = find(key);
        return g.empty() ? nullptr : g.front();
    }
    // A record put at the front of its list is also the first of its group.
    void addFront(std::string_view key, const Record* r) {
        auto& g = groups_[key];
        g.insert(g.begin(), r);
    }

private:
    std::unordered_map<std::string_view, std::vector<const Record*>> groups_;
    std::vector<const Record*> empty_;
};

// Removes every record whose id equals the id of an earlier record of the list.
template <class List>
void removeDuplicateIds(List& list) {
    std::unordered_set<std::string> seen;
    std::erase_if(list, [&](const auto& r) { return !seen.insert(r.id).second; });
}

void printHeader(XmlOut& out, const ScanParameters& params, const std::string& systemId) {
    out.line("   <HeaderXml>");
    out.line("      <ParameterXml>");
    out.line("         <NameXml>Agent Address</NameXml>");
    out.line("         <ValueXml>", params.agentAddress, "</ValueXml>");
    out.line("      </ParameterXml>");
    out.line("      <ParameterXml>");
    out.line("         <NameXml>Scanner Name</NameXml>");
    out.line("         <ValueXml>", params.scannerName, "</ValueXml>");
    out.line("      </ParameterXml>");
    out.line("      <ParameterXml>");
    out.line("         <NameXml>Scan ID</NameXml>");
    // The agent's port travels in the scan id: everything from the address's first colon.
    const auto colon = params.agentAddress.find(':');
    if (colon != std::string::npos)
        out.line("         <ValueXml>InbandAttribute:", systemId,
                 std::string_view(params.agentAddress).substr(colon), "</ValueXml>");
    else
        out.line("         <ValueXml>InbandAttribute:", systemId, "</ValueXml>");
    out.line("      </ParameterXml>");
    out.line("      <ParameterXml>");
    out.line("         <NameXml>Version</NameXml>");
    out.line("         <ValueXml>1.3.0.52</ValueXml>");
    out.line("      </ParameterXml>");
    out.line("      <ParameterXml>");
    out.line("         <NameXml>Option</NameXml>");
    out.line("         <ValueXml></ValueXml>");
    out.line("      </ParameterXml>");
    out.line("   </HeaderXml>");
}

}  // namespace

std::string renderAttributeXml(AttributeModel& m, const ScanParameters& params) {
    std::string text;
    XmlOut out(text);
    const std::string& systemId = m.system.id;

    out.line("<?xml version=\"1.0\"?>");
    text += kAttributeDtd;
    out.line("<AttributeXml>");
    printHeader(out, params, systemId);

    if (m.operatingSystem) {
        const OperatingSystemRecord& os = *m.operatingSystem;
        out.line("   <NtOperatingSystemXml>");
        out.line("      <UniqueIdXml>NtOSXml:", os.id, "</UniqueIdXml>");
        out.parametersA(os.parameters);
        for (const auto& lv : m.logicalVolumes)
            if (lv.owner == os.id) out.line("      <LogicalVolumeIdXml>LVXml:", lv.id, "</LogicalVolumeIdXml>");
        for (const auto& hfs : m.hostFileSystems)
            if (hfs.owner == os.id)
                out.line("      <HostFileSystemIdXml>HFSXml:", hfs.id, "</HostFileSystemIdXml>");
        for (const auto& pv : m.physicalVolumes)
            if (pv.owner == os.id)
                out.line("      <PhysicalVolumeIdXml>PVXml:", pv.id, "</PhysicalVolumeIdXml>");
        out.line("   </NtOperatingSystemXml>");
    }

    for (const auto& lv : m.logicalVolumes) {
        out.line("   <LogicalVolumeXml>");
        out.line("      <UniqueIdXml>LVXml:", lv.id, "</UniqueIdXml>");
        out.parametersB(lv.parameters);
        out.line("   </LogicalVolumeXml>");
    }

    const Index<LogicalVolumeRecord> lvByDrive(m.logicalVolumes, [](const auto& r) -> const std::string& {
        return r.driveLetter;
    });
    for (const auto& hfs : m.hostFileSystems) {
        out.line("   <HostFileSystemXml>");
        out.line("      <UniqueIdXml>HFSXml:", hfs.id, "</UniqueIdXml>");
        out.parametersA(hfs.parameters);
        for (const auto* lv : lvByDrive.find(hfs.driveLetter))
            out.line("      <LogicalVolumeIdXml>LVXml:", lv->id, "</LogicalVolumeIdXml>");
        out.line("   </HostFileSystemXml>");
    }

    {
        std::unordered_map<uint32_t, const LogicalUnitRecord*> firstUnitByAddress;
        for (const auto& lu : m.logicalUnits) firstUnitByAddress.try_emplace(lu.address.key(), &lu);
        std::unordered_map<uint32_t, std::vector<const LogicalVolumeRecord*>> volumesByAddress;
        for (const auto& lv : m.logicalVolumes) volumesByAddress[lv.address.key()].push_back(&lv);

        for (const auto& pv : m.physicalVolumes) {
            out.line("   <PhysicalVolumeXml>");
            out.line("      <UniqueIdXml>PVXml:", pv.id, "</UniqueIdXml>");
            out.parametersB(pv.parameters);
            if (auto it = firstUnitByAddress.find(pv.address.key()); it != firstUnitByAddress.end())
                out.line("      <LogicalUnitIdXml>LogicalUnitXml:", it->second->id, "</LogicalUnitIdXml>");
            if (auto it = volumesByAddress.find(pv.address.key()); it != volumesByAddress.end())
                for (const auto* lv : it->second)
                    out.line("      <LogicalVolumeIdXml>LVXml:", lv->id, "</LogicalVolumeIdXml>");
            out.line("   </PhysicalVolumeXml>");
        }
    }

    out.line("   <SystemXml>");
    out.line("      <UniqueIdXml>PlatformXml:", systemId, "</UniqueIdXml>");
    out.parametersA(m.system.parameters);
    if (m.operatingSystem && m.operatingSystem->owner == systemId)
        out.line("      <NtOperatingSystemIdXml>NtOSXml:", m.operatingSystem->id, "</NtOperatingSystemIdXml>");
    for (const auto& c : m.controllers)
        if (c.owner == systemId) out.line("      <ControllerIdXml>ControllerXml:", c.id, "</ControllerIdXml>");
    for (const auto& lu : m.logicalUnits)
        if (lu.systemRef == systemId)
            out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu.id, "</LogicalUnitIdXml>");
    out.line("   </SystemXml>");

    {
        Index<FcNodeRecord> nodesByController(m.fcNodes, [](const auto& r) -> const std::string& {
            return r.controllerRef;
        });
        for (const auto& c : m.controllers) {
            out.line("   <ControllerXml>");
            out.line("      <UniqueIdXml>ControllerXml:", c.id, "</UniqueIdXml>");
            out.parametersA(c.parameters);
            const auto& nodes = nodesByController.find(c.id);
            if (nodes.empty()) {
                // A controller always names a node: one without parameters stands in.
                m.fcNodes.push_front(FcNodeRecord{c.id, c.id, "", {}});
                nodesByController.addFront(m.fcNodes.front().controllerRef, &m.fcNodes.front());
                out.line("      <FcNodeIdXml>FcNodeXml:", c.id, "</FcNodeIdXml>");
            } else {
                for (const auto* n : nodes) out.line("      <FcNodeIdXml>FcNodeXml:", n->id, "</FcNodeIdXml>");
            }
            out.line("   </ControllerXml>");
        }
    }

    for (const auto& lu : m.logicalUnits) {
        out.line("   <LogicalUnitXml>");
        out.line("      <UniqueIdXml>LogicalUnitXml:", lu.id, "</UniqueIdXml>");
        const auto& nodes = lu.parameters.nodes();
        // The first parameter is the working serial number; an empty capacity is unknown.
        for (std::size_t i = 1; i < nodes.size(); ++i)
            if (!(nodes[i].name == "Capacity" && nodes[i].value.empty())) out.parameterA(nodes[i]);
        out.line("      <PeripheralEntityIdXml>PlatformXml:", lu.peripheralEntityRef, "</PeripheralEntityIdXml>");
        out.line("   </LogicalUnitXml>");
    }

    removeDuplicateIds(m.peripheralEntities);
    removeDuplicateIds(m.fcNodes);
    removeDuplicateIds(m.fcPorts);

    {
        const Index<FcNodeRecord> nodesByEntity(m.fcNodes, [](const auto& r) -> const std::string& {
            return r.peripheralEntityRef;
        });
        const Index<LogicalUnitRecord> unitsByEntity(m.logicalUnits, [](const auto& r) -> const std::string& {
            return r.peripheralEntityRef;
        });
        for (const auto& pe : m.peripheralEntities) {
            out.line("   <PeripheralEntityXml>");
            out.line("      <UniqueIdXml>PlatformXml:", pe.id, "</UniqueIdXml>");
            out.parametersA(pe.parameters);
            for (const auto* n : nodesByEntity.find(pe.id))
                out.line("      <FcNodeIdXml>FcNodeXml:", n->id, "</FcNodeIdXml>");
            for (const auto* lu : unitsByEntity.find(pe.id))
                out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu->id, "</LogicalUnitIdXml>");
            out.line("   </PeripheralEntityXml>");
        }
    }

    {
        Index<FcPortRecord> portsByNode(m.fcPorts, [](const auto& r) -> const std::string& { return r.nodeRef; });
        for (const auto& n : m.fcNodes) {
            out.line("   <FcNodeXml>");
            out.line("      <UniqueIdXml>FcNodeXml:", n.id, "</UniqueIdXml>");
            out.parametersA(n.parameters);
            const auto& ports = portsByNode.find(n.id);
            if (ports.empty()) {
                // A node always names a port: one without parameters stands in.
                m.fcPorts.push_front(FcPortRecord{n.id, n.id, {}});
                portsByNode.addFront(m.fcPorts.front().nodeRef, &m.fcPorts.front());
                out.line("      <FcPortIdXml>FcPortXml:", n.id, "</FcPortIdXml>");
            } else {
                for (const auto* p : ports) out.line("      <FcPortIdXml>FcPortXml:", p->id, "</FcPortIdXml>");
            }
            out.line("   </FcNodeXml>");
        }
    }

    {
        const Index<ConnectivityGroupRecord> groupsByPort(m.connectivityGroups,
                                                          [](const auto& r) -> const std::string& {
                                                              return r.portRef;
                                                          });
        for (const auto& p : m.fcPorts) {
            out.line("   <FcPortXml>");
            out.line("      <UniqueIdXml>FcPortXml:", p.id, "</UniqueIdXml>");
            out.parametersA(p.parameters);
            if (const auto* g = groupsByPort.first(p.id)) {
                out.line("      <ConnectivityGroupXml>");
                for (const auto& member : g->members)
                    out.line("         <FcPortIdXml>FcPortXml:", member, "</FcPortIdXml>");
                out.line("      </ConnectivityGroupXml>");
            }
            out.line("   </FcPortXml>");
        }
    }

    out.line("</AttributeXml>");
    return text;
}

}  // namespace doc
