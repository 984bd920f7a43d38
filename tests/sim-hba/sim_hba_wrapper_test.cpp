// The full stack on Linux: the system's SNIA wrapper library loads the vendor form of the
// simulated library through a private hba.conf (bind-mounted over /etc/hba.conf in a
// private mount namespace) and must give the program the same answers as the drop-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_helpers.h"
#include "tests/support/ci_skip.h"

#include <dlfcn.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* kSystemWrapper = "/usr/lib/libHBAAPI.so.2";

std::string readFile(const fs::path& p) { return testsupport::fileText(p.string()); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

int run(const std::string& command) { return std::system(command.c_str()); }

class WrapperStack : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("sansim-wrapper-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

// The vendor form fills the version-1 slots it serves and leaves every other slot empty
// (an empty slot is "not supported" to the wrapper), whatever the table held before.
TEST(VendorForm, RegistersItsCallsInTheFunctionTable) {
    void* module = dlopen(SANSIM_VENDOR, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    using Register = unsigned (*)(void**);
    void* symbol = dlsym(module, "HBA_RegisterLibraryV2");
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(dlsym(module, "HBA_LoadLibrary"), nullptr) << "the vendor form exports only its registration";
    Register registerV2;
    std::memcpy(&registerV2, &symbol, sizeof registerV2);
    void* table[54];
    std::memset(table, 0xA5, sizeof table);
    EXPECT_EQ(registerV2(table), 0u);
    // Version-1 order: GetVersion, LoadLibrary, FreeLibrary, GetNumberOfAdapters,
    // GetAdapterName, OpenAdapter, CloseAdapter, GetAdapterAttributes,
    // GetAdapterPortAttributes, (GetPortStatistics), GetDiscoveredPortAttributes,
    // (GetPortAttributesByWWN), SendCTPassThru, RefreshInformation, (six others),
    // SendRNID, ScsiInquiry, ReportLUNs, (ReadCapacity); then the 30 version-2 slots.
    const std::vector<int> filled = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13, 20, 21, 22};
    for (int i = 0; i < 54; ++i) {
        const bool wanted = std::find(filled.begin(), filled.end(), i) != filled.end();
        EXPECT_EQ(table[i] != nullptr, wanted) << "slot " << i;
    }
    dlclose(module);
}

TEST_F(WrapperStack, WrapperWithVendorLibraryAnswersAsTheDropIn) {
    if (!fs::exists(kSystemWrapper) || !fs::exists("/etc/hba.conf"))
        SKIP_OR_FAIL_IN_CI << "the system's SNIA wrapper library (package libhbaapi2) is not installed";
    if (run("unshare -m true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "this kernel refuses a private mount namespace (unshare -m), so no private hba.conf";

    const fs::path world = fs::path(ATTRSCAN_SOURCE_DIR) / "tests/sim-hba/worlds/two-adapters.json";
    const fs::path conf = dir_ / "hba.conf";
    std::ofstream(conf) << "# private configuration of the wrapper test\norg.sansim.vendor " << SANSIM_VENDOR << "\n";

    const std::string common = "SANSIM_WORLD=" + quoted(world) + " ";
    ASSERT_EQ(run("env LD_LIBRARY_PATH=" + quoted(SANSIM_DROPIN_DIR) + " " + common +
                  "SANSIM_CALL_LOG=" + quoted(dir_ / "dropin.log") + " " + quoted(SANSIM_PROBE) + " > " +
                  quoted(dir_ / "dropin.out")),
              0);
    const int rc = run("unshare -m sh -c \"mount --bind " + quoted(conf) + " /etc/hba.conf && exec env -u LD_LIBRARY_PATH " +
                       common + "SANSIM_CALL_LOG=" + quoted(dir_ / "wrapper.log") + " " + quoted(SANSIM_PROBE) + " " +
                       kSystemWrapper + "\" > " + quoted(dir_ / "wrapper.out") + " 2>" + quoted(dir_ / "wrapper.err"));
    if (rc != 0 && readFile(dir_ / "wrapper.out").empty())
        GTEST_SKIP() << "could not bind-mount a private hba.conf: " << readFile(dir_ / "wrapper.err");
    ASSERT_EQ(rc, 0) << readFile(dir_ / "wrapper.err");

    // The program sees the same answers, byte for byte.
    const std::string dropin = readFile(dir_ / "dropin.out");
    EXPECT_EQ(dropin, readFile(fs::path(ATTRSCAN_SOURCE_DIR) / "tests/sim-hba/worlds/two-adapters.walk.txt"));
    EXPECT_EQ(readFile(dir_ / "wrapper.out"), dropin);

    // The library sees the same calls, except that the wrapper asks for the version and
    // for every adapter's name once, when it enumerates the adapters, and answers later
    // name requests itself.
    auto withoutWrapperOwnCalls = [](const std::vector<std::string>& log) {
        std::vector<std::string> out;
        for (const auto& l : log)
            if (l.rfind("HBA_GetVersion ", 0) != 0 && l.rfind("HBA_GetAdapterName ", 0) != 0) out.push_back(l);
        return out;
    };
    const auto dropinLog = lines(readFile(dir_ / "dropin.log"));
    const auto wrapperLog = lines(readFile(dir_ / "wrapper.log"));
    ASSERT_GT(dropinLog.size(), 20u);
    EXPECT_EQ(withoutWrapperOwnCalls(wrapperLog), withoutWrapperOwnCalls(dropinLog));
    std::vector<std::string> names;
    for (const auto& l : wrapperLog)
        if (l.rfind("HBA_GetAdapterName ", 0) == 0) names.push_back(l);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "HBA_GetAdapterName index=0 -> status=0 name=\"QLogic-QLA2340-0\"",
                         "HBA_GetAdapterName index=1 -> status=0 name=\"QLogic-QLA2340-1\"",
                         "HBA_GetAdapterName index=2 -> status=0 name=\"Emulex-LP9002-0\"",
                     }));
}

}  // namespace
