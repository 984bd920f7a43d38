#include "fabric/config_server.h"

#include <algorithm>
#include <memory>

#include "common/ordered_work.h"
#include "common/scan_trace.h"
#include "fabric/ct_pass_through.h"
#include "fabric/name_server.h"

namespace fabric {

namespace {

constexpr uint16_t kGetPlatformNodeNames = 0x0191;
constexpr uint16_t kGetPlatformType = 0x0192;
constexpr uint16_t kGetPlatformMgmtAddresses = 0x0193;
constexpr uint16_t kGetPlatformNames = 0x01A2;

constexpr std::size_t kCountedListAnswer = 8212;  // preamble, count, 8192 bytes of entries
constexpr std::size_t kPlatformTypeAnswer = 20;
constexpr std::size_t kNodeNameSize = 8;

constexpr const char* kMethod = "discoverPlatformList";

// A length-prefixed text held in a 256-byte block: its length byte can never point past
// the block.
hba::ShortBytes textOfBlock(std::span<const uint8_t> block) { return hba::ShortBytes(wire::nameOfBlock(block)); }

CtAnswer askAboutPlatform(const hba::HbaApi& api, HBA_HANDLE handle, uint16_t code, const PlatformNameBlock& name,
                          std::size_t answerSize) {
    return sendCtRequest(api, handle, ctRequest(kConfigServer, code, name), answerSize, false);
}

}  // namespace

PlatformNameBlock platformNameBlock(const hba::ShortBytes& name) {
    return wire::encodeNameBlock(name.bytes());
}

int getPlatformNameList(const hba::HbaApi& api, HBA_HANDLE handle, std::vector<hba::ShortBytes>& names) {
    names.clear();
    const CtAnswer answer =
        sendCtRequest(api, handle, ctRequest(kConfigServer, kGetPlatformNames, {}), kCountedListAnswer, true);
    if (answer.status != kQueryOk) return answer.status;
    std::vector<std::span<const uint8_t>> entries;
    const int status = countedListEntries(answer.bytes, wire::kNameBlockSize, kMaxPlatformNameBytes, entries);
    for (const auto& block : entries) names.push_back(textOfBlock(block));
    return status;
}

int getPlatformType(const hba::HbaApi& api, HBA_HANDLE handle, const PlatformNameBlock& name, uint32_t& type) {
    const CtAnswer answer = askAboutPlatform(api, handle, kGetPlatformType, name, kPlatformTypeAnswer);
    if (answer.status != kQueryOk) return answer.status;
    type = wire::decodePlatformType(wire::ctPayload(answer.bytes));
    return kQueryOk;
}

int getPlatformMgmtAddressList(const hba::HbaApi& api, HBA_HANDLE handle, const PlatformNameBlock& name,
                               hba::MgmtAddressList& addresses) {
    addresses.clear();
    const CtAnswer answer = askAboutPlatform(api, handle, kGetPlatformMgmtAddresses, name, kCountedListAnswer);
    if (answer.status != kQueryOk) return answer.status;
    std::vector<std::span<const uint8_t>> entries;
    const int status = countedListEntries(answer.bytes, wire::kNameBlockSize, kMaxMgmtAddressBytes, entries);
    for (const auto& block : entries) addresses.push_back(textOfBlock(block));
    return status;
}

int getPlatformNodeNameList(const hba::HbaApi& api, HBA_HANDLE handle, const PlatformNameBlock& name,
                            std::vector<hba::Wwn>& nodeNames) {
    nodeNames.clear();
    const CtAnswer answer = askAboutPlatform(api, handle, kGetPlatformNodeNames, name, kCountedListAnswer);
    if (answer.status != kQueryOk) return answer.status;
    std::vector<std::span<const uint8_t>> entries;
    const int status = countedListEntries(answer.bytes, kNodeNameSize, kMaxNodeNameBytes, entries);
    for (const auto& entry : entries) {
        nodeNames.push_back(wire::wwnAt(entry, 0));
    }
    return status;
}

void discoverPlatformNodes(const hba::HbaApi& api, HBA_HANDLE handle, hba::PlatformRecord& platform) {
    platform.nodes.clear();
    std::vector<hba::Wwn> nodeNames;
    // Any failure (the server's "no such platform" status 0x20000034 among them), and a
    // list longer than the room given, leave the platform without nodes.
    if (getPlatformNodeNameList(api, handle, platformNameBlock(platform.name), nodeNames) != kQueryOk) return;
    platform.nodes.resize(nodeNames.size());
    std::vector<hba::Wwn> portNames;
    for (std::size_t i = 0; i < nodeNames.size(); ++i) {
        hba::NodeIdentification& node = platform.nodes[i];
        node.nodeWwn = nodeNames[i];
        getPortListOfNodeName(api, handle, node.nodeWwn, portNames);
        node.ports.resize(std::min(portNames.size(), hba::NodeIdentification::kMaxPorts));
        for (std::size_t p = 0; p < node.ports.size(); ++p) {
            node.ports[p].portWwn = portNames[p];
            getPortIdOfPortName(api, handle, portNames[p], node.ports[p].portId);
        }
    }
}

std::vector<hba::PlatformRecord> discoverPlatformList(const hba::HbaApi& api, HBA_HANDLE handle, int& reasonCode,
                                                      unsigned concurrency) {
    scan::trace(scan::kSourceSurvey, kMethod, 2143, "discoverPlatformList function started");
    std::vector<hba::PlatformRecord> platforms;
    std::vector<hba::ShortBytes> names;
    const int status = getPlatformNameList(api, handle, names);
    if (status == HBA_STATUS_ERROR || status == kQueryRejected) {
        reasonCode = kPlatformListFailed;
    } else if (status != kQueryOk || names.empty()) {
        reasonCode = kNoPlatforms;
    } else {
        reasonCode = kPlatformsFound;
        platforms.resize(names.size());
        // Each platform's queries stand alone: up to `concurrency` platforms are asked at once.
        scan::runInOrder(
            names.size(), concurrency,
            [&](std::size_t i) {
                hba::PlatformRecord& platform = platforms[i];
                platform.name = std::move(names[i]);
                const PlatformNameBlock block = platformNameBlock(platform.name);
                getPlatformType(api, handle, block, platform.platformType);
                auto addresses = std::make_shared<hba::MgmtAddressList>();
                getPlatformMgmtAddressList(api, handle, block, *addresses);
                platform.mgmtAddressCount = static_cast<uint32_t>(addresses->size());
                platform.mgmtAddress = std::move(addresses);
                discoverPlatformNodes(api, handle, platform);
            },
            [](std::size_t) {});
    }
    scan::trace(scan::kSourceSurvey, kMethod, 2246, "discoverPlatformList function ended with reasonCode = %d",
                reasonCode);
    return platforms;
}

}  // namespace fabric
