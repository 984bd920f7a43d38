// Every CT and RNID request takes its answer from the fuzzer's input (see
// fuzz/common/answer_input.h); an exhausted input fails every request, which ends the walk.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "fabric/fabric_queries.h"
#include "fuzz/common/answer_input.h"
#include "hba/discovered.h"
#include "hba/rnid.h"

namespace {

fuzzing::AnswerInput answers;

HBA_STATUS sendCt(HBA_HANDLE, void*, HBA_UINT32, void* rsp, HBA_UINT32 rspSize) {
    return answers.next(rsp, rspSize, nullptr, fuzzing::AnswerInput::SizeReport::Answered);
}

HBA_STATUS sendRnid(HBA_HANDLE, HBA_WWN, HBA_WWNTYPE, void* rsp, HBA_UINT32* rspSize) {
    const std::size_t room = *rspSize;
    // The whole answer's length comes back, so a library that reports more than it
    // placed in the buffer is tried as well.
    return answers.next(rsp, room, rspSize, fuzzing::AnswerInput::SizeReport::Answered);
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
    answers.reset(std::span(data, size));

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
