// Shared helpers of the SAN discovery tests: a world written to a private file and named
// by SANSIM_WORLD, the simulated HBA library loaded in-process, and its call log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "hba/hba_library.h"
#include "tests/support/test_helpers.h"

namespace santest {

using Json = nlohmann::json;

// The simulated library, loaded once per test program from the build tree.
const hba::HbaLibrary& simulatedLibrary();

using testsupport::setEnv;

// A world for one test: the file is written under the test's own folder (a new file for
// each world) and named by
// SANSIM_WORLD; the call log is emptied and named by SANSIM_CALL_LOG (or switched off
// when callLog is false, for big worlds). The simulated library reads the world again at
// HBA_LoadLibrary, so each discovery run sees the world of its test.
class World {
public:
    explicit World(const Json& world, bool callLog = true);
    const std::string& path() const { return path_; }
    const std::string& callLogPath() const { return logPath_; }
    // The lines of the call log written so far.
    std::vector<std::string> calls() const;
    // The calls whose name is call, in order.
    std::vector<std::string> calls(const std::string& call) const;

private:
    std::string path_;
    std::string logPath_;
};

// A world with a host and the given "hba" section.
Json worldWithHba(const Json& hba);

// An adapter object: a name, attributes with a node WWN and driver version, port 0 with
// the given OS device name, and the given discovered ports.
Json adapter(const std::string& name, const std::string& nodeWwn, const std::string& driverVersion,
             const Json& discoveredPorts, const std::string& osDeviceName = "\\\\.\\Scsi2:");

// A discovered port that is a SCSI target with the given target object.
Json targetPort(const std::string& nodeWwn, const std::string& portWwn, const std::string& fcId,
                const Json& target);

// A disk unit at lun with vendor, product and a page 0x80 serial.
Json diskUnit(int lun, const std::string& product, const std::string& serial);

// A WWN text of 16 hexadecimal digits from a prefix byte and a 32-bit number.
std::string wwnText(uint8_t first, uint32_t number);

}  // namespace santest
