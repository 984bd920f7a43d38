#include "document/pe_document.h"

#include "document/writer_parts.h"

namespace doc {

std::string renderPeModeXml(const AttributeModel& m, const ScanParameters& params) {
    return renderText(renderPeModeXml, m, params);
}

void renderPeModeXml(const AttributeModel& m, const ScanParameters& params, scan::DocumentOutput& document) {
    XmlOut out(document);
    const std::string& systemId = m.system.id;
    printDocumentStart(out, params, systemId, "PE");

    out.line("   <SystemXml>");
    out.line("      <UniqueIdXml>PlatformXml:", systemId, "</UniqueIdXml>");
    out.parametersA(m.system.parameters);
    for (const auto& c : m.controllers)
        if (c.owner == systemId) out.line("      <ControllerIdXml>ControllerXml:", c.id, "</ControllerIdXml>");
    out.line("   </SystemXml>");

    printControllers(out, m.controllers);
    printPeripheralEntities(out, m);

    for (const auto& n : m.fcNodes) {
        out.line("   <FcNodeXml>");
        out.line("      <UniqueIdXml>FcNodeXml:", n.id, "</UniqueIdXml>");
        out.parametersA(n.parameters);
        out.line("   </FcNodeXml>");
    }
    out.line("</AttributeXml>");
}

int printPeModeXml(const AttributeModel& m, const ScanParameters& params) {
    return printToStandardOutput(renderPeModeXml, m, params);
}

}  // namespace doc
