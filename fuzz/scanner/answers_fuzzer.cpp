// Every device and fabric answer from the fuzzer: REPORT LUNS, standard INQUIRY, the
// INQUIRY pages, RNID and every CT request of the name server and configuration server
// take their status and bytes from the input, on a small world of one adapter and two
// target ports. The first input byte picks the attribute or the PE-mode document.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "fuzz/scanner/scan_harness.h"

namespace {

std::span<const uint8_t> input;

// One answer: a status byte (below 0xF0: success, else its low nibble is the status), a
// 16-bit length and that many bytes, cut to the buffer. An exhausted input fails the call.
HBA_STATUS nextAnswer(void* buffer, std::size_t room, HBA_UINT32* size) {
    if (input.size() < 3) return HBA_STATUS_ERROR;
    const HBA_STATUS status = input[0] < 0xF0 ? HBA_STATUS_OK : input[0] & 0x0F;
    std::size_t length = std::size_t{input[1]} << 8 | input[2];
    input = input.subspan(3);
    length = std::min(length, input.size());
    if (buffer && length > 0) std::memcpy(buffer, input.data(), std::min(length, room));
    if (size) *size = static_cast<HBA_UINT32>(std::min(length, room));
    input = input.subspan(length);
    return status;
}

HBA_STATUS reportLuns(HBA_HANDLE, HBA_WWN, void* rsp, HBA_UINT32 rspSize, void*, HBA_UINT32) {
    return nextAnswer(rsp, rspSize, nullptr);
}
HBA_STATUS inquiry(HBA_HANDLE, HBA_WWN, HBA_UINT64, HBA_UINT8, HBA_UINT32, void* rsp, HBA_UINT32 rspSize, void*,
                   HBA_UINT32) {
    return nextAnswer(rsp, rspSize, nullptr);
}
HBA_STATUS rnid(HBA_HANDLE, HBA_WWN, HBA_WWNTYPE, void* rsp, HBA_UINT32* rspSize) {
    const std::size_t room = *rspSize;
    return nextAnswer(rsp, room, rspSize);
}
HBA_STATUS ct(HBA_HANDLE, void*, HBA_UINT32, void* rsp, HBA_UINT32 rspSize) {
    return nextAnswer(rsp, rspSize, nullptr);
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
    input = std::span(data + 1, size - 1);
    const auto mode = data[0] & 1 ? driver::ScanMode::Pe : driver::ScanMode::Attribute;
    fuzzscan::checkDocument(fuzzscan::scanDocument(&api, mode));
    return 0;
}
