#include "fabric/ct_pass_through.h"

#include <algorithm>

namespace fabric {

namespace {
constexpr uint8_t kCtRevision = 0x01;
constexpr std::size_t kCountAt = 16;
constexpr std::size_t kListAt = 20;
}  // namespace

std::vector<uint8_t> ctRequest(GsService service, uint16_t commandCode, std::span<const uint8_t> payload) {
    std::vector<uint8_t> request(kCtPreambleSize + payload.size(), 0);
    request[0] = kCtRevision;
    request[4] = service.type;
    request[5] = service.subtype;
    request[8] = static_cast<uint8_t>(commandCode >> 8);
    request[9] = static_cast<uint8_t>(commandCode);
    std::copy(payload.begin(), payload.end(), request.begin() + kCtPreambleSize);
    return request;
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
        if (answer.bytes.size() < kCtPreambleSize) {
            answer.status = kQueryRejected;
            return answer;
        }
        const uint16_t code = static_cast<uint16_t>(answer.bytes[8] << 8 | answer.bytes[9]);
        if (code != kCtAcceptCode) answer.status = kQueryRejected;
    }
    return answer;
}

int countedListEntries(std::span<const uint8_t> answer, std::size_t entrySize, uint64_t maxBytes,
                       std::vector<std::span<const uint8_t>>& entries) {
    entries.clear();
    if (answer.size() < kListAt || entrySize == 0) return kQueryOk;
    const uint64_t count = bigEndian32(answer, kCountAt);
    if (count * entrySize > maxBytes) return kQueryListTooLong;
    // The count may promise more than the answer buffer could take: the entries beyond
    // its end were never delivered and do not exist.
    const uint64_t held = (answer.size() - kListAt) / entrySize;
    const std::size_t n = static_cast<std::size_t>(std::min(count, held));
    entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i) entries.push_back(answer.subspan(kListAt + i * entrySize, entrySize));
    return kQueryOk;
}

}  // namespace fabric
