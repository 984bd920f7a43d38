#include "document/writer_parts.h"

#include <cstdio>

namespace doc {

extern const char* const kAttributeDtd;
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

std::string renderText(DocumentWriter writer, const AttributeModel& model, const ScanParameters& params) {
    scan::DocumentOutput text;
    writer(model, params, text);
    return text.text();
}

int printToStandardOutput(DocumentWriter writer, const AttributeModel& model, const ScanParameters& params) {
    scan::DocumentOutput out(stdout);
    writer(model, params, out);
    return out.finish();
}

void printDocumentStart(XmlOut& out, const ScanParameters& params, const std::string& systemId,
                        std::string_view option) {
    out.line("<?xml version=\"1.0\"?>");
    out.lines(kAttributeDtd);
    out.line("<AttributeXml>");
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
    out.line("         <ValueXml>", option, "</ValueXml>");
    out.line("      </ParameterXml>");
    out.line("   </HeaderXml>");
}

void printControllers(XmlOut& out, const std::vector<ControllerRecord>& controllers) {
    for (const auto& c : controllers) {
        out.line("   <ControllerXml>");
        out.line("      <UniqueIdXml>ControllerXml:", c.id, "</UniqueIdXml>");
        out.parametersA(c.parameters);
        for (const auto& node : c.nodeRefs) out.line("      <FcNodeIdXml>FcNodeXml:", node, "</FcNodeIdXml>");
        out.line("   </ControllerXml>");
    }
}

void printPeripheralEntities(XmlOut& out, const AttributeModel& m) {
    const Index<FcNodeRecord> nodesByEntity(m.fcNodes, [](const auto& r) -> const std::string& {
        return r.peripheralEntityRef;
    });
    // The units of each entity in list order, as one array cut at offsets[e].
    const std::size_t entityCount = m.peripheralEntities.size();
    std::vector<uint32_t> offsets(entityCount + 1, 0);
    for (const auto& lu : m.logicalUnits)
        if (lu.entity < entityCount) ++offsets[lu.entity + 1];
    for (std::size_t e = 0; e < entityCount; ++e) offsets[e + 1] += offsets[e];
    std::vector<const LogicalUnitRecord*> units(offsets.back());
    {
        std::vector<uint32_t> next(offsets.begin(), offsets.end() - 1);
        for (const auto& lu : m.logicalUnits)
            if (lu.entity < entityCount) units[next[lu.entity]++] = &lu;
    }
    for (std::size_t e = 0; e < entityCount; ++e) {
        const PeripheralEntityRecord& pe = m.peripheralEntities[e];
        out.line("   <PeripheralEntityXml>");
        out.line("      <UniqueIdXml>PlatformXml:", pe.id, "</UniqueIdXml>");
        out.parametersA(pe.parameters);
        for (const auto* n : nodesByEntity.find(pe.id))
            out.line("      <FcNodeIdXml>FcNodeXml:", n->id, "</FcNodeIdXml>");
        for (uint32_t i = offsets[e]; i < offsets[e + 1]; ++i)
            out.line("      <LogicalUnitIdXml>LogicalUnitXml:", units[i]->id, "</LogicalUnitIdXml>");
        out.line("   </PeripheralEntityXml>");
    }
}

}  // namespace doc
