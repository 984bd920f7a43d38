#include "fabric/name_server.h"

#include <algorithm>

#include "fabric/ct_pass_through.h"

namespace fabric {

namespace {

// Command codes and answer sizes (preamble included).
constexpr uint16_t kGetNextEntry = 0x0100;        // GA_NXT
constexpr uint16_t kGetSymbolicPortName = 0x0118;  // GSPN_ID
constexpr uint16_t kGetPortIdOfPortName = 0x0121;  // GID_PN
constexpr uint16_t kGetPortsOfNodeName = 0x0132;
constexpr uint16_t kGetSymbolicNodeName = 0x0139;  // GSNN_NN

constexpr std::size_t kNextEntryAnswer = kCtPreambleSize + NameServerPortObject::kSize;  // 636
constexpr std::size_t kPortListAnswer = 4112;     // 256 entries of 16 bytes
constexpr std::size_t kPortIdAnswer = 20;
constexpr std::size_t kSymbolicNameAnswer = 272;  // length byte and up to 255 characters

constexpr std::size_t kPortEntrySize = 16;
constexpr uint8_t kLastPortEntry = 0x80;  // control byte of the last entry
constexpr std::size_t kPortNameInEntry = 8;

// Payload "0, then the FC address".
std::array<uint8_t, 4> addressPayload(const hba::PortId& id) { return {0, id[0], id[1], id[2]}; }

hba::Wwn wwnAt(std::span<const uint8_t> bytes, std::size_t at) {
    hba::Wwn w;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), w.size(), w.begin());
    return w;
}

// A symbolic name answer: the length at byte 16, the name from byte 17. The answer
// buffer holds every length a byte can give.
int symbolicName(const CtAnswer& answer, hba::ShortBytes& name) {
    name.clear();
    if (answer.status != kQueryOk) return kQueryFailed;
    const std::size_t length =
        std::min<std::size_t>(answer.bytes[kCtPreambleSize], answer.bytes.size() - kCtPreambleSize - 1);
    name.assign(std::span(answer.bytes).subspan(kCtPreambleSize + 1, length));
    return kQueryOk;
}

}  // namespace

int getNextNameServerEntry(const hba::HbaApi& api, HBA_HANDLE handle, const hba::PortId& after,
                           NameServerPortObject& entry) {
    const auto payload = addressPayload(after);
    const CtAnswer answer =
        sendCtRequest(api, handle, ctRequest(kNameServer, kGetNextEntry, payload), kNextEntryAnswer, true);
    if (answer.status != kQueryOk) return answer.status;
    std::copy_n(answer.bytes.begin() + kCtPreambleSize, entry.bytes.size(), entry.bytes.begin());
    return kQueryOk;
}

int getPortListOfNodeName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& nodeName,
                          std::vector<hba::Wwn>& portNames) {
    portNames.clear();
    const CtAnswer answer = sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetPortsOfNodeName, nodeName),
                                          kPortListAnswer, true);
    if (answer.status != kQueryOk) return answer.status;
    // Entries up to the one marked last; an answer without the mark ends with the buffer.
    for (std::size_t at = kCtPreambleSize; at + kPortEntrySize <= answer.bytes.size(); at += kPortEntrySize) {
        portNames.push_back(wwnAt(answer.bytes, at + kPortNameInEntry));
        if (answer.bytes[at] & kLastPortEntry) break;
    }
    return kQueryOk;
}

int getPortIdOfPortName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& portName,
                        hba::PortId& portId) {
    const CtAnswer answer = sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetPortIdOfPortName, portName),
                                          kPortIdAnswer, false);
    if (answer.status != kQueryOk) return answer.status;
    portId = {answer.bytes[17], answer.bytes[18], answer.bytes[19]};
    return kQueryOk;
}

int getSymbolicNodeName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& nodeName,
                        hba::ShortBytes& name) {
    return symbolicName(sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetSymbolicNodeName, nodeName),
                                      kSymbolicNameAnswer, false),
                        name);
}

int getSymbolicPortName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::PortId& portId,
                        hba::ShortBytes& name) {
    const auto payload = addressPayload(portId);
    return symbolicName(sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetSymbolicPortName, payload),
                                      kSymbolicNameAnswer, false),
                        name);
}

}  // namespace fabric
