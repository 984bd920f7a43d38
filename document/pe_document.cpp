#include "document/pe_document.h"

#include <cstdio>

#include "document/writer_parts.h"

namespace doc {

std::string renderPeModeXml(AttributeModel& m, const ScanParameters& params) {
    std::string text;
    XmlOut out(text);
    const std::string& systemId = m.system.id;

    printProlog(out, text);
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
    return text;
}

void printPeModeXml(AttributeModel& m, const ScanParameters& params) {
    const std::string text = renderPeModeXml(m, params);
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace doc
