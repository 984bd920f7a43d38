// The fabric's generic services as the scan pass uses them: the name server's entries
// (for the RNID name-server walk) and the platforms registered with the fabric
// configuration server.
//
// NOT YET IMPLEMENTED: the bodies in fabric_queries.cpp are placeholders that send no
// request and report "no answer" / "no platforms"; the FC-GS requests replace them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hba/discovered.h"
#include "hba/hba_library.h"

namespace fabric {

// One name-server entry: the port object of a next-entry (GA_NXT) answer, kept whole.
struct NameServerPortObject {
    static constexpr std::size_t kSize = 620;
    std::array<uint8_t, kSize> bytes{};
};

// Asks the name server for the entry after FC address `after` (000000 gives the first).
// Returns 0 and fills entry when the server answered, another status otherwise.
int getNextNameServerEntry(const hba::HbaApi& api, HBA_HANDLE handle, const hba::PortId& after,
                           NameServerPortObject& entry);

// Reason codes of discoverPlatformList.
inline constexpr int kPlatformsFound = 0;
inline constexpr int kPlatformListFailed = 3;  // the platform name list request failed or was rejected
inline constexpr int kNoPlatforms = 14;

// The platforms the fabric configuration server reports through this adapter, in the
// server's order; reasonCode tells why the list is empty.
std::vector<hba::PlatformRecord> discoverPlatformList(const hba::HbaApi& api, HBA_HANDLE handle,
                                                      int& reasonCode);

}  // namespace fabric
