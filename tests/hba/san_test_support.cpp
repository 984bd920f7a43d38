#include "tests/hba/san_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace santest {

namespace {
std::string testFileStem() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string stem = info ? std::string(info->test_suite_name()) + "." + info->name() : "world";
    for (char& c : stem)
        if (c == '/') c = '_';
    return stem;
}

std::filesystem::path scratchFolder() {
    const std::filesystem::path dir = std::filesystem::path(ATTRSCAN_BINARY_DIR) / "tests" / "hba" / "worlds";
    std::filesystem::create_directories(dir);
    return dir;
}
}  // namespace

const hba::HbaLibrary& simulatedLibrary() {
#ifdef _WIN32
    static const hba::HbaLibrary library(ATTRSCAN_BINARY_DIR "/driver/hbaapi.dll");
#else
    static const hba::HbaLibrary library(ATTRSCAN_BINARY_DIR "/sim/libHBAAPI.so.2");
#endif
    return library;
}

World::World(const Json& world, bool callLog) {
    const auto stem = scratchFolder() / testFileStem();
    // Each world gets a file of its own: the simulated library re-reads a world only when
    // its path, size or write time changed, and two worlds of one test may agree on all
    // three when written within one tick of a coarse file clock.
    static int worldsWritten = 0;
    path_ = stem.string() + "-" + std::to_string(++worldsWritten) + ".json";
    logPath_ = stem.string() + ".calls";
    std::ofstream(path_, std::ios::binary) << world.dump();
    std::remove(logPath_.c_str());
    setEnv("SANSIM_WORLD", path_);
    setEnv("SANSIM_CALL_LOG", callLog ? logPath_ : "");
}

std::vector<std::string> World::calls() const {
    std::vector<std::string> lines;
    std::ifstream in(logPath_, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> World::calls(const std::string& call) const {
    std::vector<std::string> out;
    for (const std::string& line : calls())
        if (line.compare(0, call.size(), call) == 0 && (line.size() == call.size() || line[call.size()] == ' '))
            out.push_back(line);
    return out;
}

Json worldWithHba(const Json& hba) {
    return Json{{"host", {{"hostName", "TESTHOST"}}}, {"hba", hba}};
}

Json adapter(const std::string& name, const std::string& nodeWwn, const std::string& driverVersion,
             const Json& discoveredPorts, const std::string& osDeviceName) {
    return Json{{"name", name},
                {"attributes",
                 {{"nodeWwn", nodeWwn},
                  {"driverVersion", driverVersion},
                  {"serialNumber", "SN-" + name},
                  {"manufacturer", "Test Manufacturer"},
                  {"model", "TM-1"}}},
                {"port", {{"nodeWwn", nodeWwn}, {"portWwn", "21" + nodeWwn.substr(2)}, {"portFcId", "0A0B0C"},
                          {"osDeviceName", osDeviceName}}},
                {"discoveredPorts", discoveredPorts}};
}

Json targetPort(const std::string& nodeWwn, const std::string& portWwn, const std::string& fcId,
                const Json& target) {
    return Json{{"nodeWwn", nodeWwn}, {"portWwn", portWwn}, {"portFcId", fcId}, {"target", target}};
}

Json diskUnit(int lun, const std::string& product, const std::string& serial) {
    return Json{{"lun", lun},
                {"inquiry", {{"deviceType", 0}, {"vendor", "VENDOR"}, {"product", product}, {"revision", "0001"}}},
                {"page80", {{"serial", serial}}},
                {"page83", {{"designators", Json::array({{{"designatorType", 3}, {"hex", "600A0B8000112233"}}})}}}};
}

std::string wwnText(uint8_t first, uint32_t number) {
    char text[17];
    std::snprintf(text, sizeof text, "%02X000000%08X", first, number);
    return text;
}

}  // namespace santest
