#include "fuzz/scanner/scan_harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "document/attribute_document.h"
#include "document/attribute_writer.h"
#include "document/pe_document.h"
#include "driver/document_model.h"
#include "driver/scan_pass.h"
#include "hba/discovered.h"
#include "inventory/fs_summary.h"
#include "sim/hba/hba_calls.h"
#include "sim/world.h"
#include "tests/support/document_check.h"

namespace fuzzscan {

hba::HbaApi simulatedApi() {
    namespace s = sansim::api;
    return hba::HbaApi{s::HBA_GetVersion, s::HBA_LoadLibrary, s::HBA_FreeLibrary, s::HBA_GetNumberOfAdapters,
                       s::HBA_GetAdapterName, s::HBA_OpenAdapter, s::HBA_CloseAdapter, s::HBA_RefreshInformation,
                       s::HBA_GetAdapterAttributes, s::HBA_GetAdapterPortAttributes,
                       s::HBA_GetDiscoveredPortAttributes, s::HBA_SendReportLUNs, s::HBA_SendScsiInquiry,
                       s::HBA_SendRNID, s::HBA_SendCTPassThru};
}

void useWorld(const std::string& json) {
    static const std::string path = "/tmp/attrscan-fuzz-world-" + std::to_string(getpid()) + ".json";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << json;
    setenv("SANSIM_WORLD", path.c_str(), 1);
    sim::resetWorld();
}

std::string scanDocument(const hba::HbaApi* api, driver::ScanMode mode, const std::string& guidText,
                         const doc::ScanParameters& params) {
    if (mode == driver::ScanMode::FileSystemSummary)
        return inv::renderFileSystemSummaryXml(params, guidText);
    const hba::SanDiscovery san = api ? driver::discoverSan(*api, "fuzz-host") : hba::SanDiscovery{};
    const auto adapters = std::span<const hba::DiscoveredAdapter>(san.adapters);
    if (mode == driver::ScanMode::Pe) return doc::renderPeModeXml(driver::gatherPeModel(params, adapters), params);
    return doc::renderAttributeXml(driver::gatherAttributeModel(params, adapters, false), params);
}

void checkDocument(const std::string& document) {
    const std::string problem = testsupport::documentProblem(document);
    if (problem.empty()) return;
    std::fprintf(stderr, "broken document: %s\n%s\n", problem.c_str(), document.c_str());
    __builtin_trap();
}

}  // namespace fuzzscan
