#include "driver/scan_pass.h"

#include <cstdio>

#include "common/scan_trace.h"
#include "document/attribute_document.h"
#include "document/pe_document.h"
#include "driver/document_model.h"
#include "driver/exit_status.h"
#include "fabric/fabric_queries.h"
#include "hba/adapter_record.h"
#include "hba/adapter_table.h"
#include "hba/discovered.h"
#include "hba/discovery_dump.h"
#include "hba/rnid.h"
#include "hba/target_probe.h"
#include "record/recording.h"

namespace driver {

namespace {
// Returns 0 when the document was written whole, else the error number of the failure.
int printDocument(ScanMode mode, const doc::ScanParameters& params, std::span<const hba::DiscoveredAdapter> adapters,
                  bool running) {
    if (mode == ScanMode::Pe) return doc::printPeModeXml(gatherPeModel(params, adapters), params);
    return doc::printAttributeXml(gatherAttributeModel(params, adapters, running), params);
}

// One enabled adapter's pass, filling the record that was started for it. The order of the
// steps is the order of the requests the adapter sees.
void discoverAdapter(const hba::HbaApi& api, const hba::AdapterTable& table, const hba::AdapterEntry& entry,
                     hba::DiscoveredAdapter& record, const std::string& hostName) {
    hba::fillAdapterRecord(record, entry, hostName);

    // Name-server probe: when the name server answers, RNID walks its entries at the end;
    // otherwise RNID goes to each target right after its probe.
    fabric::NameServerPortObject firstEntry;
    const bool nameServerAnswered =
        fabric::getNextNameServerEntry(api, entry.handle, hba::PortId{0, 0, 0}, firstEntry) == 0;

    for (uint32_t j = 0; j < entry.targets.size(); ++j) {
        if (entry.targets[j].valid == 0) continue;
        const bool kept = hba::probeTarget(api, table, entry, j, record);
        if (kept && !nameServerAnswered && table.rnidSupported)
            hba::sendTargetRnid(api, entry, entry.targets[j], record);
    }

    hba::addNodeToList(record, hba::adapterOwnNode(record));

    int reasonCode = 0;
    for (hba::PlatformRecord& platform : fabric::discoverPlatformList(api, entry.handle, reasonCode))
        hba::addPlatformToList(record, platform);

    if (nameServerAnswered && table.rnidSupported) fabric::walkNameServerWithRnid(api, entry, firstEntry, record);
}
}  // namespace

int discoverSan(const hba::HbaApi& api, const std::string& hostName) {
    hba::AdapterTable& table = hba::adapterTable();
    hba::DiscoveredAdapterTable& discovered = hba::discoveredAdapters();
    discovered.reset();

    scan::trace(scan::kSourceSurvey, "Main", 354, "Initialize the Adapter Table.....");
    hba::SDInitializeInternals(api, table);
    scan::trace(scan::kSourceSurvey, "Main", 365, "Adapter Table initialization is successful");

    hba::SDInitializeTargetDatabase(api, table);

    for (const hba::AdapterEntry& entry : table.entries) {
        if (!entry.enabled()) continue;
        hba::DiscoveredAdapter& record = discovered.startRecord();
        discoverAdapter(api, table, entry, record, hostName);
        discovered.finishRecord();
        api.HBA_CloseAdapter(entry.handle);
    }

    scan::trace(scan::kSourceSurvey, "Main", 1404, "\nPortsurvey succeeds with Return Code = %d....", 0);
    scan::trace(scan::kSourceSurvey, "Main", 1406, "\n\nDiscover result is...\n\n");
    for (int k = 0; k < discovered.count(); ++k) hba::GXLogAdapter(k);

    api.HBA_FreeLibrary();
    return discovered.count();
}

int runScanPass(ScanMode mode, bool running, const doc::ScanParameters& params, const std::string& hostName) {
    if (running) {
        // Overlap with a running scan: the HBA library is never touched.
        const int writeError = printDocument(mode, params, {}, true);
        GXgToolkitTerm();
        return exitAfterDocument(writeError, kExitRunningOverlap);
    }

    const int adapterCount = discoverSan(record::scanHbaApi(), hostName);
    // The writer has flushed standard output and says whether the document arrived.
    const int writeError = printDocument(mode, params, hba::discoveredAdapters().first(adapterCount), false);
    GXgToolkitTerm();
    return exitAfterDocument(writeError, kExitScanned);
}

}  // namespace driver
