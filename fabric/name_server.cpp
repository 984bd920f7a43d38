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

constexpr std::size_t kNextEntryAnswer = wire::kCtPreambleSize + wire::kPortObjectSize;  // 636
constexpr std::size_t kPortListAnswer = 4112;     // 256 entries of 16 bytes
constexpr std::size_t kPortIdAnswer = 20;
constexpr std::size_t kSymbolicNameAnswer = 272;  // length byte and up to 255 characters

// A symbolic name answer: a name block after the preamble. The answer buffer holds every
// length a byte can give.
int symbolicName(const CtAnswer& answer, hba::ShortBytes& name) {
    name.clear();
    if (answer.status != kQueryOk) return kQueryFailed;
    name.assign(wire::nameOfBlock(wire::ctPayload(answer.bytes)));
    return kQueryOk;
}

}  // namespace

int getNextNameServerEntry(const hba::HbaApi& api, HBA_HANDLE handle, const hba::PortId& after,
                           NameServerPortObject& entry) {
    const auto payload = wire::encodePortIdPayload(after);
    const CtAnswer answer =
        sendCtRequest(api, handle, ctRequest(kNameServer, kGetNextEntry, payload), kNextEntryAnswer, true);
    if (answer.status != kQueryOk) return answer.status;
    entry = wire::decodePortObject(wire::ctPayload(answer.bytes));
    return kQueryOk;
}

int getPortListOfNodeName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& nodeName,
                          std::vector<hba::Wwn>& portNames) {
    portNames.clear();
    const CtAnswer answer = sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetPortsOfNodeName, nodeName),
                                          kPortListAnswer, true);
    if (answer.status != kQueryOk) return answer.status;
    // Entries up to the one marked last; an answer without the mark ends with the buffer.
    for (const wire::PortEntry& e : wire::decodePortEntries(wire::ctPayload(answer.bytes)))
        portNames.push_back(e.portName);
    return kQueryOk;
}

int getPortIdOfPortName(const hba::HbaApi& api, HBA_HANDLE handle, const hba::Wwn& portName,
                        hba::PortId& portId) {
    const CtAnswer answer = sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetPortIdOfPortName, portName),
                                          kPortIdAnswer, false);
    if (answer.status != kQueryOk) return answer.status;
    portId = wire::decodePortIdPayload(wire::ctPayload(answer.bytes));
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
    const auto payload = wire::encodePortIdPayload(portId);
    return symbolicName(sendCtRequest(api, handle, ctRequest(kUnzonedNameServer, kGetSymbolicPortName, payload),
                                      kSymbolicNameAnswer, false),
                        name);
}

}  // namespace fabric
