#include "fabric/ct_pass_through.h"

#include "wire/ct.h"

namespace fabric {

std::vector<uint8_t> ctRequest(GsService service, uint16_t commandCode, std::span<const uint8_t> payload) {
    wire::CtPreamble preamble;
    preamble.gsType = service.type;
    preamble.gsSubtype = service.subtype;
    preamble.code = commandCode;
    return wire::encodeCtIu(preamble, payload);
}

CtAnswer sendCtRequest(const hba::HbaApi& api, HBA_HANDLE handle, std::vector<uint8_t> request,
                       std::size_t answerSize, bool acceptRequired) {
    CtAnswer answer;
    answer.bytes.assign(answerSize, 0);
    const HBA_STATUS status =
        api.HBA_SendCTPassThru(handle, request.data(), static_cast<HBA_UINT32>(request.size()),
                               answer.bytes.data(), static_cast<HBA_UINT32>(answer.bytes.size()));
    answer.status = static_cast<int>(status);
    if (status == HBA_STATUS_OK && acceptRequired) {
        const bool whole = answer.bytes.size() >= wire::kCtPreambleSize;
        if (!whole || wire::decodeCtPreamble(answer.bytes).code != wire::kCtAccept) answer.status = kQueryRejected;
    }
    return answer;
}

int countedListEntries(std::span<const uint8_t> answer, std::size_t entrySize, uint64_t maxBytes,
                       std::vector<std::span<const uint8_t>>& entries) {
    entries.clear();
    const auto payload = wire::ctPayload(answer);
    if (payload.size() < wire::kCountedListHeaderSize || entrySize == 0) return kQueryOk;
    wire::CountedList list = wire::decodeCountedList(payload, entrySize);
    if (uint64_t{list.count} * entrySize > maxBytes) return kQueryListTooLong;
    entries = std::move(list.entries);
    return kQueryOk;
}

}  // namespace fabric
