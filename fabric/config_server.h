// The fabric configuration server's platforms: every host or storage system registered
// with the fabric, with its type, management addresses and node names, and (through the
// name server) the ports of each node with their FC addresses.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hba/discovered.h"
#include "hba/hba_library.h"
#include "wire/ct.h"

namespace fabric {

// A platform is named in requests by a 256-byte block: the name's length byte, its
// characters, zeros.
using PlatformNameBlock = wire::NameBlock;
PlatformNameBlock platformNameBlock(const hba::ShortBytes& name);

// Room the scan gives each counted list, in bytes.
inline constexpr uint64_t kMaxPlatformNameBytes = 256000;  // 1000 names
inline constexpr uint64_t kMaxMgmtAddressBytes = 2560;     // 10 addresses
inline constexpr uint64_t kMaxNodeNameBytes = 400;         // 50 node names

// The platform names. Returns 0, the library's status, 2 for a rejected request, or 7 for
// more than 1000 names (names then empty). Only the names the answer holds are returned
// (at most 32), whatever count the server gave.
int getPlatformNameList(const hba::HbaApi& api, HBA_HANDLE handle, std::vector<hba::ShortBytes>& names);

// The platform's type. Returns the library's status; type is set only on 0.
int getPlatformType(const hba::HbaApi& api, HBA_HANDLE handle, const PlatformNameBlock& name, uint32_t& type);

// The platform's management addresses (at most 10). Returns 0, the library's status, or 7
// for more than 10 (addresses then empty).
int getPlatformMgmtAddressList(const hba::HbaApi& api, HBA_HANDLE handle, const PlatformNameBlock& name,
                               hba::MgmtAddressList& addresses);

// The platform's node names (at most 50). Returns 0, the library's status, or 7 for more
// than 50 (nodeNames then empty).
int getPlatformNodeNameList(const hba::HbaApi& api, HBA_HANDLE handle, const PlatformNameBlock& name,
                            std::vector<hba::Wwn>& nodeNames);

// Reason codes of discoverPlatformList.
inline constexpr int kPlatformsFound = 0;
inline constexpr int kPlatformListFailed = 3;  // the platform name list request failed or was rejected
inline constexpr int kNoPlatforms = 14;

// The platforms the fabric configuration server reports through this adapter, in the
// server's order; reasonCode tells why the list is empty. Traces its start and its end.
std::vector<hba::PlatformRecord> discoverPlatformList(const hba::HbaApi& api, HBA_HANDLE handle, int& reasonCode,
                                                      unsigned concurrency = 1);

// The nodes of one platform: each node name with its ports and their FC addresses. A
// platform whose node-name list cannot be read has no nodes.
void discoverPlatformNodes(const hba::HbaApi& api, HBA_HANDLE handle, hba::PlatformRecord& platform);

}  // namespace fabric
