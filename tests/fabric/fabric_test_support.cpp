#include "tests/fabric/fabric_test_support.h"

#include <cstdio>

namespace fabtest {

const hba::HbaApi& api() { return santest::simulatedLibrary().api(); }

Json sanWorld(const Json& adapters, const Json& fabric) {
    Json world = santest::worldWithHba({{"adapters", adapters}});
    world["fabric"] = fabric;
    return world;
}

Json adapter(const std::string& name, const std::string& nodeWwn, const Json& targets, bool rnid) {
    // Byte-wise: "9.1" is at least "8.1.4.5" (RNID on), "8.00.09" is not.
    Json a = santest::adapter(name, nodeWwn, rnid ? "9.1" : "8.00.09", targets);
    return a;
}

Json diskTarget(const std::string& nodeWwn, const std::string& portWwn, const std::string& fcId,
                const std::string& serial) {
    return santest::targetPort(nodeWwn, portWwn, fcId,
                               {{"units", Json::array({santest::diskUnit(0, "DISK", serial)})}});
}

Json nsPort(const std::string& portId, const std::string& portName, const std::string& nodeName) {
    return Json{{"portId", portId}, {"portName", portName}, {"nodeName", nodeName}};
}

OpenAdapter::OpenAdapter(const std::string& name) {
    api().HBA_LoadLibrary();
    std::string buffer = name;
    handle_ = api().HBA_OpenAdapter(buffer.data());
}

OpenAdapter::~OpenAdapter() {
    api().HBA_CloseAdapter(handle_);
    api().HBA_FreeLibrary();
}

std::vector<std::string> ctCalls(const santest::World& world) {
    std::vector<std::string> out;
    for (const std::string& line : world.calls("HBA_SendCTPassThru")) {
        const auto at = line.find("req=");
        out.push_back(at == std::string::npos ? line : line.substr(at + 4));
    }
    return out;
}

std::string preamble(int gsType, int gsSubtype, int code) {
    char text[33];
    std::snprintf(text, sizeof text, "01000000%02X%02X0000%04X000000000000", gsType, gsSubtype, code);
    return text;
}

std::string nextEntryAnswer(const std::string& portId, const std::string& portName, const std::string& nodeName) {
    std::string hex = "01000000FC0200008002000000000000";  // accepted
    hex += "01" + portId + portName;                         // port type, address, port name
    hex.append(2 * (268 - 12), '0');                          // symbolic port name
    hex += nodeName;
    hex.append(2 * (620 - 276), '0');
    return hex;
}

}  // namespace fabtest
