// Every CT and RNID request takes its answer from the fuzzer's input: a status byte, a
// 16-bit length and that many answer bytes (cut to the caller's buffer). An exhausted
// input fails every request, which ends the walk.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "fabric/fabric_queries.h"
#include "hba/discovered.h"
#include "hba/rnid.h"

namespace {

std::span<const uint8_t> input;

// One answer from the input into buffer; returns the status to report.
HBA_STATUS nextAnswer(void* buffer, std::size_t room, HBA_UINT32* size) {
    if (input.size() < 3) return HBA_STATUS_ERROR;
    const HBA_STATUS status = input[0] < 0xF0 ? HBA_STATUS_OK : input[0] & 0x0F;
    std::size_t length = std::size_t{input[1]} << 8 | input[2];
    input = input.subspan(3);
    length = std::min(length, input.size());
    std::memcpy(buffer, input.data(), std::min(length, room));
    if (size) *size = static_cast<HBA_UINT32>(std::min<std::size_t>(length, 0xFFFF));
    input = input.subspan(length);
    return status;
}

HBA_STATUS sendCt(HBA_HANDLE, void*, HBA_UINT32, void* rsp, HBA_UINT32 rspSize) {
    return nextAnswer(rsp, rspSize, nullptr);
}

HBA_STATUS sendRnid(HBA_HANDLE, HBA_WWN, HBA_WWNTYPE, void* rsp, HBA_UINT32* rspSize) {
    const std::size_t room = *rspSize;
    return nextAnswer(rsp, room, rspSize);
}

hba::HbaApi fuzzApi() {
    hba::HbaApi api{};
    api.HBA_SendCTPassThru = sendCt;
    api.HBA_SendRNID = sendRnid;
    return api;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const hba::HbaApi api = fuzzApi();
    input = std::span(data, size);

    hba::DiscoveredAdapter record;
    int reason = 0;
    for (hba::PlatformRecord& platform : fabric::discoverPlatformList(api, 1, reason))
        hba::addPlatformToList(record, platform);

    fabric::NameServerPortObject first;
    if (fabric::getNextNameServerEntry(api, 1, hba::PortId{0, 0, 0}, first) == 0) {
        hba::AdapterEntry adapter;
        adapter.handle = 1;
        for (const hba::NodeIdentification& id : fabric::walkNameServerWithRnid(api, adapter, first))
            hba::addRNIDToList(record, id);
    }
    return 0;
}
