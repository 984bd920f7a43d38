#include "document/attribute_writer.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/entity_parts.h"
#include "document/writer_parts.h"

namespace doc {

std::string renderAttributeXml(const AttributeModel& m, const ScanParameters& params) {
    return renderText(renderAttributeXml, m, params);
}

void renderAttributeXml(const AttributeModel& m, const ScanParameters& params, scan::DocumentOutput& document) {
    XmlOut out(document);
    const std::string& systemId = m.system.id;
    printDocumentStart(out, params, systemId, "");

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
    // Every logical unit is the system's: the units are built for the one system the
    // document describes.
    for (const auto& lu : m.logicalUnits)
        out.line("      <LogicalUnitIdXml>LogicalUnitXml:", lu.id, "</LogicalUnitIdXml>");
    out.line("   </SystemXml>");

    printControllers(out, m.controllers);

    {
        UnitParameters parameters;
        static const std::string kNoEntity;
        for (const auto& lu : m.logicalUnits) {
            out.line("   <LogicalUnitXml>");
            out.line("      <UniqueIdXml>LogicalUnitXml:", lu.id, "</UniqueIdXml>");
            renderUnitParameters(lu, parameters);
            for (const auto& p : parameters.list()) out.parameterA(p);
            const std::string& entity =
                lu.entity < m.peripheralEntities.size() ? m.peripheralEntities[lu.entity].id : kNoEntity;
            out.line("      <PeripheralEntityIdXml>PlatformXml:", entity, "</PeripheralEntityIdXml>");
            out.line("   </LogicalUnitXml>");
        }
    }

    printPeripheralEntities(out, m);

    {
        const Index<FcPortRecord> portsByNode(m.fcPorts, [](const auto& r) -> const std::string& {
            return r.nodeRef;
        });
        for (const auto& n : m.fcNodes) {
            out.line("   <FcNodeXml>");
            out.line("      <UniqueIdXml>FcNodeXml:", n.id, "</UniqueIdXml>");
            out.parametersA(n.parameters);
            for (const auto* p : portsByNode.find(n.id))
                out.line("      <FcPortIdXml>FcPortXml:", p->id, "</FcPortIdXml>");
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
}

}  // namespace doc
