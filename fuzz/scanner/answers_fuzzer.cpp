// Every device and fabric answer from the fuzzer: REPORT LUNS, standard INQUIRY, the
// INQUIRY pages, RNID and every CT request of the name server and configuration server
// take their status and bytes from the input, on a small world of one adapter and two
// target ports. The first input byte picks the attribute or the PE-mode document.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "fuzz/common/answer_input.h"
#include "fuzz/scanner/scan_harness.h"

namespace {

fuzzing::AnswerInput answers;
constexpr auto kCut = fuzzing::AnswerInput::SizeReport::CutToBuffer;

HBA_STATUS reportLuns(HBA_HANDLE, HBA_WWN, void* rsp, HBA_UINT32 rspSize, void*, HBA_UINT32) {
    return answers.next(rsp, rspSize, nullptr, kCut);
}
HBA_STATUS inquiry(HBA_HANDLE, HBA_WWN, HBA_UINT64, HBA_UINT8, HBA_UINT32, void* rsp, HBA_UINT32 rspSize, void*,
                   HBA_UINT32) {
    return answers.next(rsp, rspSize, nullptr, kCut);
}
HBA_STATUS rnid(HBA_HANDLE, HBA_WWN, HBA_WWNTYPE, void* rsp, HBA_UINT32* rspSize) {
    const std::size_t room = *rspSize;
    return answers.next(rsp, room, rspSize, kCut);
}
HBA_STATUS ct(HBA_HANDLE, void*, HBA_UINT32, void* rsp, HBA_UINT32 rspSize) {
    return answers.next(rsp, rspSize, nullptr, kCut);
}

const char* const kWorld = R"({"host": {"hostName": "h", "lookup": {"officialName": "h.example", "addresses": ["10.0.0.1"]}},
 "hba": {"adapters": [{"name": "A0", "attributes": {"nodeWwn": "2000000000000001", "serialNumber": "SN1"},
   "port": {"portWwn": "2100000000000001", "portFcId": "010100"},
   "discoveredPorts": [
     {"nodeWwn": "5000000000000010", "portWwn": "5000000000000011", "portFcId": "010200", "target": {"units": []}},
     {"nodeWwn": "5000000000000020", "portWwn": "5000000000000021", "portFcId": "010300", "target": {"units": []}}]}]}})";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzscan::useWorld(kWorld);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const hba::HbaApi api = [] {
        hba::HbaApi a = fuzzscan::simulatedApi();
        a.HBA_SendReportLUNs = reportLuns;
        a.HBA_SendScsiInquiry = inquiry;
        a.HBA_SendRNID = rnid;
        a.HBA_SendCTPassThru = ct;
        // The world never changes here: the library keeps what it read first instead of
        // reading and checking the file again for every input.
        a.HBA_LoadLibrary = []() -> HBA_STATUS { return HBA_STATUS_OK; };
        return a;
    }();
    if (size == 0) return 0;
    answers.reset(std::span(data + 1, size - 1));
    const auto mode = data[0] & 1 ? driver::ScanMode::Pe : driver::ScanMode::Attribute;
    fuzzscan::checkDocument(fuzzscan::scanDocument(&api, mode));
    return 0;
}
