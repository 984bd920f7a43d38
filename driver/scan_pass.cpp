#include "driver/scan_pass.h"

#include <cstdio>

#include "common/scan_trace.h"
#include "document/attribute_document.h"
#include "document/pe_document.h"

namespace driver {

namespace {
void printDocument(ScanMode mode, int adapterCount, const std::string& modeText) {
    if (mode == ScanMode::Pe) doc::printPeModeXml(adapterCount);
    else doc::printAttributeXml(adapterCount, modeText);
}
}  // namespace

int runScanPass(ScanMode mode, bool running, const std::string& /*hostName*/) {
    if (running) {
        // Overlap with a running scan: the HBA library is never touched.
        printDocument(mode, 0, "Running");
        std::fflush(stdout);
        GXgToolkitTerm();
        return 100;
    }

    const int adapterCount = 0;
    printDocument(mode, adapterCount, "");
    std::fflush(stdout);
    GXgToolkitTerm();
    return 0;
}

}  // namespace driver
