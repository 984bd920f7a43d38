// Broken toolkit configurations through the real program: for each properties file, the
// scanner prints on standard output exactly the document a sound configuration gives (a
// well-formed one, checked by libxml2's xmllint), exits 0, and prints on standard error
// exactly the expected lines (each toolkit line without its date and time): each
// problem once, never once per trace record, never "Success" as a cause.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kXmllint = "/usr/bin/xmllint";

// The scanner's trace logger, sending its records to the handler `t` configured by
// each case.
const std::string kTraceToT =
    "native.trace.attributeScanner.className=gxg_basiclogger\n"
    "native.trace.attributeScanner.listenerNames=t\n";

std::string caseHome(const std::string& name, const std::string& properties) {
    const fs::path home = fs::path(ATTRSCAN_BINARY_DIR) / "reliability-toolkit" / name;
    fs::remove_all(home);
    fs::create_directories(home / "conf");
    testsupport::writeFile((home / "conf" / "nativelog.properties").string(), properties);
    return home.string();
}

testsupport::ProgramResult scan(const std::string& home) {
    return testsupport::runProgram(kProgram, {"10.0.0.5:9570", "scanner01", "GUID-TEXT"},
                                   {{"SANSIM_WORLD", ATTRSCAN_SOURCE_DIR "/worlds/sample.json"},
                                    {"LD_LIBRARY_PATH", ATTRSCAN_BINARY_DIR "/sim"},
                                    {"VRKA_SM_HOME", home}});
}

// xmllint's verdict on a document; empty when it is well-formed.
std::string wellFormedProblem(const std::string& home, const std::string& document) {
    const std::string path = home + "/document.xml";
    testsupport::writeFile(path, document);
    const testsupport::ProgramResult lint = testsupport::runProgram(kXmllint, {"--noout", path});
    if (lint.exitCode == 0) return {};
    return "xmllint exit " + std::to_string(lint.exitCode) + ": " + lint.err;
}

std::string withoutDates(const std::string& text) {
    static const std::regex date("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}[+-][0-9]{2}:[0-9]{2} ",
                                 std::regex::multiline);
    return std::regex_replace(text, date, "");
}

TEST(ToolkitConfiguration, BrokenConfigurationsLeaveTheDocumentAlone) {
    if (!fs::exists(kXmllint)) {
        if (std::getenv("CI")) FAIL() << kXmllint << " is missing (libxml2-utils, installed by scripts/setup.sh)";
        GTEST_SKIP() << "xmllint not installed";
    }
    // The document of a sound configuration, tracing to a file.
    const std::string soundHome = caseHome("sound", "");
    testsupport::writeFile(soundHome + "/conf/nativelog.properties",
                           kTraceToT + "t.className=gxg_filehandler\nt.fileName=" + soundHome + "/trace.log\n");
    const testsupport::ProgramResult sound = scan(soundHome);
    ASSERT_EQ(sound.exitCode, 0) << sound.err;
    ASSERT_EQ(sound.err, "");
    ASSERT_EQ(wellFormedProblem(soundHome, sound.out), "");
    ASSERT_NE(testsupport::readFile(soundHome + "/trace.log"), "");

    const std::string noLogger = "ERROR: could not initialize logger 'traceLog'\n";
    const std::string zur = "GXGBC0010E The following ZUR error occurred: ";
    const std::string base = ATTRSCAN_BINARY_DIR "/reliability-toolkit/";
    struct Case {
        const char* name;
        std::string properties;
        std::string err;  // standard error, toolkit lines without their date and time
    };
    const std::vector<Case> cases = {
        {"empty", "", "GXGBC0063W A class must be specified before object 'native.trace.attributeScanner' can be "
                      "created.\n" + noLogger},
        {"comments only", "# nothing\n! here either\n\n",
         "GXGBC0063W A class must be specified before object 'native.trace.attributeScanner' can be created.\n" +
             noLogger},
        {"unknown class", "native.trace.attributeScanner.className=gxg_nosuch\n",
         "GXGBC0062W Class 'gxg_nosuch' must be defined before object 'native.trace.attributeScanner' can be "
         "created.\n" + noLogger},
        {"codeset that cannot be loaded",
         kTraceToT + "t.className=gxg_filehandler\nt.fileName=" + base + "codeset/trace.log\nt.fileEncoding=NOSUCH\n",
         "GXGFH0036W Could not load codeset NOSUCH. Logged text will be stored in UTF-8 encoding instead.\n"},
        {"empty file name", kTraceToT + "t.className=gxg_filehandler\nt.fileName=\n",
         "GXGBC0030E A value must be specified for the property 'fileName' .\n"},
        {"file name too long", kTraceToT + "t.className=gxg_filehandler\nt.fileName=" + std::string(1025, 'x') + "\n",
         "GXGBC0031E Property 'fileName' must be 1024 characters or less.\n"},
        {"full device", kTraceToT + "t.className=gxg_filehandler\nt.fileName=/dev/full\n",
         zur + std::strerror(ENOSPC) + "\n"},
        {"folder that cannot be created",
         kTraceToT + "t.className=gxg_filehandler\nt.fileName=" + base + "sound/trace.log/sub/trace.log\n",
         zur + std::strerror(ENOTDIR) + "\n"},
        {"name that is a folder", kTraceToT + "t.className=gxg_filehandler\nt.fileName=" + base + "sound/conf\n",
         zur + std::strerror(EISDIR) + "\n"},
        {"shared file that is a folder",
         kTraceToT + "t.className=gxg_multiproc_filehandler\nt.fileName=" + base + "sound/conf\n",
         zur + std::strerror(EISDIR) + "\n"},
        {"no listeners", "native.trace.attributeScanner.className=gxg_basiclogger\n",
         "GXGLG01E No listeners are registered with the logger native.trace.attributeScanner.\n"},
        {"unreadable file", "native.trace.attributeScanner.className=x\\=y\n",
         "GXG0052E The value of property 'native.trace.attributeScanner.className' in the properties file could "
         "not be parsed, because it contains a backslash character that is not part of a valid escape "
         "sequence.\nGXG0051E The log manager could not read the properties file HOME//conf/nativelog.properties.\n" +
             noLogger},
    };
    for (const Case& c : cases) {
        const std::string home = caseHome(c.name, c.properties);
        const testsupport::ProgramResult result = scan(home);
        EXPECT_EQ(result.exitCode, 0) << c.name;
        EXPECT_EQ(result.out, sound.out) << c.name;
        EXPECT_EQ(wellFormedProblem(home, result.out), "") << c.name;
        std::string err = c.err;
        for (std::size_t at; (at = err.find("HOME")) != std::string::npos;) err.replace(at, 4, home);
        EXPECT_EQ(withoutDates(result.err), err) << c.name;
    }
}

// A console handler configured for the trace writes its records to standard error: the
// document stays alone on standard output.
TEST(ToolkitConfiguration, ConsoleTraceGoesToStandardError) {
    const std::string home = caseHome("console", kTraceToT + "t.className=gxg_consolehandler\n");
    const testsupport::ProgramResult result = scan(home);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("<?xml version=\"1.0\"?>\n", 0), 0u);
    EXPECT_NE(withoutDates(result.err).find("\nPortsurveyxml getSystemInfo "), std::string::npos) << result.err;
    const std::string sound = caseHome("console-sound", "");
    EXPECT_EQ(result.out, scan(sound).out);
}

}  // namespace
