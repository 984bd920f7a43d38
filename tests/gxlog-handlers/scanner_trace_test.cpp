// The scanner end to end with the shipped conf/nativelog.properties: its trace reaches
// the configured rolling file in the basic format; without a readable properties file it
// says so on standard error and prints the same document.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "tests/support/run_program.h"
#include "tests/support/test_helpers.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kWorld = ATTRSCAN_SOURCE_DIR "/tests/driver/worlds/w2003.json";
const std::string kGuid = "5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001";

TEST(ScannerTrace, ShippedPropertiesWriteTheTraceFile) {
    const fs::path home = fs::absolute(fs::path("scanner-trace") / "home");
    fs::remove_all(home.parent_path());
    fs::create_directories(home / "conf");
    fs::copy_file(ATTRSCAN_SOURCE_DIR "/conf/nativelog.properties", home / "conf" / "nativelog.properties");
    const fs::path run = home.parent_path() / "run";
    fs::create_directories(run);
    testsupport::InDirectory in(run);  // the shipped file names a trace file in the working directory

    const auto traced = testsupport::runProgram(kProgram, {"10.1.1.1:9570", "scanner01", kGuid, "Running"},
                                                {{"SANSIM_WORLD", kWorld}, {"VRKA_SM_HOME", home.string()}});
    EXPECT_EQ(traced.exitCode, 100);
    EXPECT_EQ(traced.err, "");
    EXPECT_NE(traced.out.find("</AttributeXml>"), std::string::npos);

    const std::string trace = testsupport::readFile((run / "attrscan-trace.log").string());
    const std::string stamp = "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}[+-][0-9]{2}:[0-9]{2}";
    const std::regex start("^" + stamp +
                           " Portsurvey Main 224 Running flag is set, overlap for Attribute scanner\n\n" + stamp +
                           " Portsurvey Main 325 Entering Attribute Scanner\n");
    EXPECT_TRUE(std::regex_search(trace, start, std::regex_constants::match_continuous))
        << trace.substr(0, 400);
    EXPECT_NE(trace.find(" Portsurveyxml getSystemInfo 1361 Entering getSystemInfo function\n"), std::string::npos);

    // Without a properties file: the two lines on standard error, the same document.
    const fs::path nowhere = home.parent_path() / "nowhere";
    const auto untraced = testsupport::runProgram(kProgram, {"10.1.1.1:9570", "scanner01", kGuid, "Running"},
                                                  {{"SANSIM_WORLD", kWorld}, {"VRKA_SM_HOME", nowhere.string()}});
    EXPECT_EQ(untraced.exitCode, 100);
    EXPECT_EQ(untraced.err, "GXG0051E The log manager could not read the properties file " + nowhere.string() +
                                "//conf/nativelog.properties.\nERROR: could not initialize logger 'traceLog'\n");
    EXPECT_EQ(untraced.out, traced.out);

    // No VRKA_SM_HOME: the current directory is the home.
    fs::create_directories(run / "conf");
    fs::copy_file(home / "conf" / "nativelog.properties", run / "conf" / "nativelog.properties");
    fs::remove(run / "attrscan-trace.log");
    const auto local = testsupport::runProgram(kProgram, {"10.1.1.1:9570", "scanner01", kGuid},
                                               {{"SANSIM_WORLD", kWorld}, {"VRKA_SM_HOME", ""}});
    EXPECT_EQ(local.err, "");
    EXPECT_NE(testsupport::readFile((run / "attrscan-trace.log").string()).find(" Portsurvey Main 325 Entering Attribute Scanner\n"),
              std::string::npos);
}

}  // namespace
