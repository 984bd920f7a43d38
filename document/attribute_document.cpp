#include "document/attribute_document.h"

#include <cstdio>

#include "document/attribute_writer.h"
#include "inventory/host_identity.h"

namespace doc {

ScanParameters& scanParameters() {
    static ScanParameters params;
    return params;
}

AttributeModel gatherAttributeModel(int /*adapterCount*/, const std::string& modeText) {
    const ScanParameters& params = scanParameters();
    const bool running = modeText == "Running";
    (void)running;

    AttributeModel m;
    m.system = inv::getSystemInfo(params.systemGuid);
    if (!params.systemGuid.empty()) m.system.id = params.systemGuid;
    m.operatingSystem = inv::getNtSystemInfo(m.system);
    return m;
}

void printAttributeXml(int adapterCount, const std::string& modeText) {
    AttributeModel m = gatherAttributeModel(adapterCount, modeText);
    const std::string text = renderAttributeXml(m, scanParameters());
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace doc
