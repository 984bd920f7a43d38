#include "driver/scan_pass.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/ordered_work.h"
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
                     hba::DiscoveredAdapter& record, const std::string& hostName, unsigned concurrency) {
    hba::fillAdapterRecord(record, entry, hostName);

    // Name-server probe: when the name server answers, RNID walks its entries at the end;
    // otherwise RNID goes to each target right after its probe.
    fabric::NameServerPortObject firstEntry;
    const bool nameServerAnswered =
        fabric::getNextNameServerEntry(api, entry.handle, hba::PortId{0, 0, 0}, firstEntry) == 0;

    // Units of work: each target's probe (with its RNID), then the fabric's platforms, then
    // the name-server walk. None of them reads the adapter's list, so they may run side by
    // side (the two fabric units, the longest chains of requests, start first); what each
    // found joins the list in this order, as the sequential pass adds it.
    const bool rnidPerTarget = !nameServerAnswered && table.rnidSupported;
    std::vector<uint32_t> targets;
    for (uint32_t j = 0; j < entry.targets.size(); ++j)
        if (entry.targets[j].valid != 0) targets.push_back(j);
    std::vector<hba::TargetFindings> found(targets.size());
    std::vector<hba::PlatformRecord> platforms;
    std::vector<hba::NodeIdentification> walked;
    const std::size_t platformUnit = targets.size(), walkUnit = targets.size() + 1;
    scan::runInOrder(
        targets.size() + 2, concurrency,
        [&](std::size_t t) {
            if (t == platformUnit) {
                int reasonCode = 0;
                platforms = fabric::discoverPlatformList(api, entry.handle, reasonCode, concurrency);
                return;
            }
            if (t == walkUnit) {
                if (nameServerAnswered && table.rnidSupported)
                    walked = fabric::walkNameServerWithRnid(api, entry, firstEntry, concurrency);
                return;
            }
            found[t] = hba::probeTarget(api, table, entry, targets[t]);
            if (found[t].kept && rnidPerTarget) found[t].rnid = hba::requestTargetRnid(api, entry, entry.targets[targets[t]]);
        },
        [&](std::size_t t) {
            if (t < platformUnit) {
                hba::mergeTargetFindings(record, std::move(found[t]));
            } else if (t == platformUnit) {
                hba::addNodeToList(record, hba::adapterOwnNode(record));
                for (hba::PlatformRecord& platform : platforms) hba::addPlatformToList(record, platform);
            } else {
                for (const hba::NodeIdentification& id : walked) hba::addRNIDToList(record, id);
            }
        },
        platformUnit);
}
}  // namespace

unsigned scanConcurrency(const char* setting) {
    if (!setting || !*setting) return 1;
    unsigned long value = 0;
    for (const char* c = setting; *c; ++c) {
        if (*c < '0' || *c > '9') return 1;
        value = std::min<unsigned long>(value * 10 + static_cast<unsigned long>(*c - '0'), kMaxConcurrency);
    }
    return value == 0 ? 1 : static_cast<unsigned>(value);
}

hba::SanDiscovery discoverSan(const hba::HbaApi& api, const std::string& hostName, unsigned concurrency) {
    hba::SanDiscovery san;
    hba::AdapterTable& table = san.table;

    scan::trace(scan::kSourceSurvey, "Main", 354, "Initialize the Adapter Table.....");
    hba::SDInitializeInternals(api, table);
    scan::trace(scan::kSourceSurvey, "Main", 365, "Adapter Table initialization is successful");

    hba::SDInitializeTargetDatabase(api, table);

    // One record per enabled adapter, in table order; each adapter's pass fills its own.
    std::vector<const hba::AdapterEntry*> enabled;
    for (const hba::AdapterEntry& entry : table.entries)
        if (entry.enabled()) enabled.push_back(&entry);
    san.adapters.resize(enabled.size());
    scan::runInOrder(
        enabled.size(), concurrency,
        [&](std::size_t k) {
            discoverAdapter(api, table, *enabled[k], san.adapters[k], hostName, concurrency);
            api.HBA_CloseAdapter(enabled[k]->handle);
        },
        [](std::size_t) {});

    scan::trace(scan::kSourceSurvey, "Main", 1404, "\nPortsurvey succeeds with Return Code = %d....", 0);
    scan::trace(scan::kSourceSurvey, "Main", 1406, "\n\nDiscover result is...\n\n");
    for (std::size_t k = 0; k < san.adapters.size(); ++k) hba::GXLogAdapter(san.adapters[k], static_cast<int>(k));

    api.HBA_FreeLibrary();
    return san;
}

int runScanPass(ScanMode mode, bool running, const doc::ScanParameters& params, const std::string& hostName) {
    if (running) {
        // Overlap with a running scan: the HBA library is never touched.
        const int writeError = printDocument(mode, params, {}, true);
        GXgToolkitTerm();
        return exitAfterDocument(writeError, kExitRunningOverlap);
    }

    const hba::SanDiscovery san =
        discoverSan(record::scanHbaApi(), hostName, scanConcurrency(std::getenv("ATTRSCAN_CONCURRENCY")));
    // The writer has flushed standard output and says whether the document arrived.
    const int writeError = printDocument(mode, params, san.adapters, false);
    GXgToolkitTerm();
    return exitAfterDocument(writeError, kExitScanned);
}

}  // namespace driver
