#include "document/pe_document.h"

#include <cstdio>

#include "document/attribute_document.h"
#include "document/entity_builders.h"
#include "document/writer_parts.h"
#include "inventory/host_identity.h"

namespace doc {

AttributeModel gatherPeModel(int adapterCount) {
    const ScanParameters& params = scanParameters();
    AttributeModel m;
    m.system = inv::getSystemInfo(params.systemGuid);
    if (!params.systemGuid.empty()) m.system.id = params.systemGuid;
    m.controllers = reStructAdapterInfo(m.system, adapterCount);
    m.peripheralEntities = reStructDeviceToPE(adapterCount);
    m.fcNodes = reStructDeviceToFCN(m.system, adapterCount, m.peripheralEntities);
    return m;
}

std::string renderPeModeXml(AttributeModel& m, const ScanParameters& params) {
    scan::DocumentOutput text;
    renderPeModeXml(m, params, text);
    return text.text();
}

void renderPeModeXml(AttributeModel& m, const ScanParameters& params, scan::DocumentOutput& document) {
    XmlOut out(document);
    const std::string& systemId = m.system.id;

    printProlog(out);
    printHeader(out, params, systemId, "PE");

    out.line("   <SystemXml>");
    out.line("      <UniqueIdXml>PlatformXml:", systemId, "</UniqueIdXml>");
    out.parametersA(m.system.parameters);
    for (const auto& c : m.controllers)
        if (c.owner == systemId) out.line("      <ControllerIdXml>ControllerXml:", c.id, "</ControllerIdXml>");
    out.line("   </SystemXml>");

    printControllers(out, m.controllers, m.fcNodes);

    removeDuplicateIds(m.peripheralEntities);
    removeDuplicateIds(m.fcNodes);
    printPeripheralEntities(out, m.peripheralEntities, m.fcNodes, nullptr);

    for (const auto& n : m.fcNodes) {
        out.line("   <FcNodeXml>");
        out.line("      <UniqueIdXml>FcNodeXml:", n.id, "</UniqueIdXml>");
        out.parametersA(n.parameters);
        out.line("   </FcNodeXml>");
    }
    out.line("</AttributeXml>");
}

int printPeModeXml(int adapterCount) {
    AttributeModel m = gatherPeModel(adapterCount);
    scan::DocumentOutput out(stdout);
    renderPeModeXml(m, scanParameters(), out);
    return out.finish();
}

}  // namespace doc
