// Shared helpers of the fabric and RNID tests: worlds with a fabric section, the simulated
// library with one adapter opened, and the CT and RNID requests of the call log.
#pragma once

#include <string>
#include <vector>

#include "hba/hba_library.h"
#include "tests/hba/san_test_support.h"

namespace fabtest {

using santest::Json;

const hba::HbaApi& api();

// A world with one adapter per entry of adapters and the given top-level fabric.
Json sanWorld(const Json& adapters, const Json& fabric);

// A QLogic adapter whose driver switches RNID on (or off), with the given targets.
Json adapter(const std::string& name, const std::string& nodeWwn, const Json& targets, bool rnid = true);

// A discovered port with one disk unit whose page 0x80 serial is given.
Json diskTarget(const std::string& nodeWwn, const std::string& portWwn, const std::string& fcId,
                const std::string& serial);

// A name-server port entry.
Json nsPort(const std::string& portId, const std::string& portName, const std::string& nodeName);

// The library loaded and the world's adapter `name` opened, for calling the fabric
// queries directly. The adapter is closed and the library freed at the end.
class OpenAdapter {
public:
    explicit OpenAdapter(const std::string& name);
    ~OpenAdapter();
    HBA_HANDLE handle() const { return handle_; }

private:
    HBA_HANDLE handle_ = 0;
};

// The request bytes (hexadecimal) of every CT pass-through call, with the answer size:
// "<req> rsp=<size> -> status=<status>".
std::vector<std::string> ctCalls(const santest::World& world);

// The CT_IU preamble of a request in hexadecimal.
std::string preamble(int gsType, int gsSubtype, int code);

// A whole GA_NXT answer (preamble with accept, 620-byte port object) in hexadecimal.
std::string nextEntryAnswer(const std::string& portId, const std::string& portName, const std::string& nodeName);

}  // namespace fabtest
