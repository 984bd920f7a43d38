// The adapter table: every Fibre Channel adapter the HBA library reports, opened, with its
// adapter attributes, and (filled by the target database) its port 0 and the ports that
// port has discovered. Also the two scan-wide switches that QLogic driver versions decide.
//
// Limits: the table holds 32 adapters and each adapter 512 targets. When the library
// reports more, the first 32 adapters (indexes 0 to 31) and the first 512 discovered ports
// (indexes 0 to 511) are used and the rest are left alone (never named, opened or read);
// the trace says so. The counts the library reported are kept and traced as reported.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hba/discovered.h"
#include "hba/hba_library.h"

namespace hba {

// One port that an adapter's port 0 has discovered, indexed by its discovered-port index.
struct TargetEntry {
    uint8_t valid = 0;              // 1 when the attributes below were read
    HBA_PORTATTRIBUTES attributes{};  // node WWN, port WWN and FC address are used
};

inline constexpr uint8_t kAdapterUnusable = 0;  // no name, not opened, or attributes failed
inline constexpr uint8_t kAdapterEnabled = 2;

struct AdapterEntry : AdapterAttributes {
    uint8_t state = kAdapterUnusable;
    HBA_HANDLE handle = HBA_HANDLE_INVALID;  // 0 when the open failed
    // Port 0, filled by the target database.
    Wwn portWwn{};
    uint32_t portFcId = 0;
    uint32_t portType = 0;
    uint32_t HBAOffset = 0;            // SCSI port number from the port's OS device name
    std::vector<TargetEntry> targets;  // at most kMaxTargets

    bool enabled() const { return state == kAdapterEnabled; }
};

struct AdapterTable {
    static constexpr uint32_t kMaxAdapters = 32;
    static constexpr uint32_t kMaxTargets = 512;

    uint32_t adapterCount = 0;  // as HBA_GetNumberOfAdapters reported it
    uint32_t enabledCount = 0;  // adapters whose attributes were read
    std::vector<AdapterEntry> entries;  // indexes 0 to min(adapterCount, kMaxAdapters) - 1

    // Scan-wide switches (not per adapter): RNID requests are sent; LUN ids are the 8-byte
    // REPORT LUNS entries (false: the older QLogic one-byte form).
    bool rnidSupported = false;
    bool scsiLunIds = true;
};

// Loads the HBA library's API, enumerates, opens and reads every adapter into table
// (cleared first) and decides the switches. Always returns 0; failures cost only the
// adapter concerned and are traced.
int SDInitializeInternals(const HbaApi& api, AdapterTable& table);

// The QLogic rules, byte-wise comparisons of the driver version as the standard string
// comparison makes them (not numeric): an adapter counts as QLogic when its name begins
// with exactly "QLogic".
bool isQLogicAdapterName(std::string_view adapterName);
bool rnidSupportedByDriver(std::string_view driverVersion);  // version >= "8.1.4.5"
bool scsiLunIdsByDriver(std::string_view driverVersion);     // first 7 characters > "8.00.08"

// A text field of an HBA API structure: up to its first NUL or its end, whichever comes
// first, cut to capacity - 1 characters.
std::string apiText(const char* field, std::size_t fieldSize, std::size_t capacity);

}  // namespace hba
