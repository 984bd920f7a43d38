// The body of one run in attribute or PE mode: discovery in its fixed order, the
// discovery dump, and the document.
#pragma once

#include <string>

#include "document/attribute_model.h"
#include "driver/command_line.h"
#include "hba/hba_library.h"
#include "hba/san_discovery.h"

namespace driver {

// Runs the pass and returns the process exit code (100 for a running overlap, else 0).
// Discovery runs as wide as ATTRSCAN_CONCURRENCY says (scanConcurrency).
int runScanPass(ScanMode mode, bool running, const doc::ScanParameters& params, const std::string& hostName);

// How many adapters are discovered at once, and how many targets of one adapter are
// probed at once: ATTRSCAN_CONCURRENCY, a decimal number from 1 to kMaxConcurrency
// (larger numbers count as kMaxConcurrency). Unset or anything else gives 1, the
// sequential scan.
inline constexpr unsigned kMaxConcurrency = 32;
unsigned scanConcurrency(const char* setting);

// The discovery part of the pass, through api: the adapter table, the target database,
// then adapter by adapter the probing, the adapter's own node and the fabric's platforms
// (with RNID where enabled), closing each adapter; then the discovery dump and the
// release of the library. Returns the adapter table and the discovered adapters.
//
// With a concurrency above 1, enabled adapters are discovered on their own threads (at
// most that many at once) and within an adapter that many targets are probed at once.
// The result and the trace are those of the sequential pass; only the order in which the
// library sees the requests differs.
hba::SanDiscovery discoverSan(const hba::HbaApi& api, const std::string& hostName, unsigned concurrency = 1);

}  // namespace driver
