// The console, rolling-file and shared-file handlers on real files: rollover by renaming,
// numbered names, appending or truncating, the file-name rules, codeset fall-back, and
// the shared file's rollover by copy and truncate.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "gxlog/src/GXgFileHandler.h"
#include "gxlog/src/GXgLog.h"
#include "gxlog/src/GXgObject.h"
#include "tests/gxlog-objects/toolkit_fixture.h"
#include "tests/support/test_helpers.h"

namespace {

namespace fs = std::filesystem;
using gxtest::Capture;
using gxtest::readAll;
using gxtest::Toolkit;

// One record of exactly 40 bytes: "T s m 1 " (8) + 31 characters + "\n".
std::string record(int n) {
    std::string text = "record " + std::to_string(n);
    text.resize(31, '.');
    return text;
}
std::string line(int n) { return "T s m 1 " + record(n) + "\n"; }
std::string lines(int from, int to) {
    std::string text;
    for (int n = from; n <= to; ++n) text += line(n);
    return text;
}

const std::string kLogger =
    "app.className=gxg_basiclogger\napp.listenerNames=h\nh.formatterName=fmt\n"
    "fmt.className=gxg_basicformatter\nfmt.dateTimeFormat=T\n";

void logRecords(int from, int to) {
    GXgObject* logger = GXgGetLogger("app", nullptr);
    ASSERT_NE(logger, nullptr);
    for (int n = from; n <= to; ++n) {
        const std::string text = record(n);
        GXgLogTrace(logger, "s", "m", 1, "%s", GXG_PARM_STRING, text.c_str(), GXG_PARM_END);
    }
}

TEST(FileHandler, DefaultFileRollsOverByRenaming) {
    const std::string dir = gxtest::freshDir("default-file");
    testsupport::InDirectory in(dir);
    Toolkit toolkit(kLogger + "h.className=gxg_filehandler\nh.maxFileSize=100\nh.maxFiles=3\n", "default-file");
    logRecords(1, 7);
    GXgToolkitTerm();
    // default.log reached 120 bytes with the third record; the fourth rolled it over.
    EXPECT_EQ(readAll("default2.log"), lines(1, 3));
    EXPECT_EQ(readAll("default1.log"), lines(4, 6));
    EXPECT_EQ(readAll("default.log"), lines(7, 7));
}

TEST(FileHandler, SizesCountsAndAppending) {
    struct Case {
        const char* name;
        std::string properties;
        std::string before;  // content of trace.log before the run
        int records;
        std::vector<std::pair<const char*, std::string>> files;
    };
    const std::vector<Case> cases = {
        {"one file never rolls over", "h.maxFileSize=100\nh.maxFiles=1\n", "", 10, {{"trace.log", lines(1, 10)}}},
        {"a size that is no number is 1024", "h.maxFileSize=abc\n", "", 30,
         {{"trace.log", lines(27, 30)}, {"trace1.log", lines(1, 26)}}},
        {"default size and count, appending by default", "", "old\n", 30, {{"trace.log", "old\n" + lines(1, 30)}}},
        {"appending keeps the old content", "h.appending=TRUE\n", "old\n", 2, {{"trace.log", "old\n" + lines(1, 2)}}},
        {"not appending empties the file at opening", "h.appending=false\n", "old\n", 2,
         {{"trace.log", lines(1, 2)}}},
        {"a count that is no number is 3", "h.maxFileSize=40\nh.maxFiles=many\n", "", 5,
         {{"trace.log", lines(5, 5)}, {"trace1.log", lines(4, 4)}, {"trace2.log", lines(3, 3)}, {"trace3.log", ""}}},
        {"the number in the name starts the rotation", "h.fileName=DIR/trace2.log\nh.maxFileSize=40\n", "", 3,
         {{"trace2.log", lines(3, 3)}, {"trace3.log", lines(2, 2)}, {"trace4.log", lines(1, 1)}, {"trace.log", ""}}},
        {"no extension", "h.fileName=DIR/trace\nh.maxFileSize=40\nh.maxFiles=2\n", "", 2,
         {{"trace", lines(2, 2)}, {"trace1", lines(1, 1)}}},
        {"a folder is created with its parent", "h.fileName=DIR/new/sub/trace.log\n", "", 1,
         {{"new/sub/trace.log", lines(1, 1)}}},
        {"UTF-8 output codeset", "h.fileEncoding=UTF8\n", "", 1, {{"trace.log", lines(1, 1)}}},
    };
    for (const Case& c : cases) {
        const std::string dir = gxtest::freshDir("sizes");
        if (!c.before.empty()) gxtest::writeAll(dir + "/trace.log", c.before);
        std::string props = "h.className=gxg_filehandler\nh.fileName=" + dir + "/trace.log\n";
        std::string own = c.properties;
        for (std::size_t at; (at = own.find("DIR")) != std::string::npos;) own.replace(at, 3, dir);
        Toolkit toolkit(kLogger + props + own, "sizes");
        ASSERT_TRUE(toolkit.ok()) << c.name;
        Capture out(stderr);
        logRecords(1, c.records);
        GXgToolkitTerm();
        EXPECT_EQ(out.finish(), "") << c.name;
        for (const auto& [file, content] : c.files) EXPECT_EQ(readAll(dir + "/" + file), content) << c.name << " " << file;
    }
}

TEST(FileHandler, ChangingAPropertyReopensTheFile) {
    const std::string dir = gxtest::freshDir("reopen");
    Toolkit toolkit(kLogger + "h.className=gxg_filehandler\nh.appending=false\nh.fileName=" + dir + "/t.log\n",
                    "reopen");
    logRecords(1, 2);
    // A property set again closes the file; the next record opens (and empties) it again.
    GXgObject* handler = gxlog::GXgFindObject("h");
    ASSERT_NE(handler, nullptr);
    handler->properties.set("appending", "false");
    handler->cls->configure(handler, "appending");
    logRecords(3, 3);
    GXgToolkitTerm();
    EXPECT_EQ(readAll(dir + "/t.log"), lines(3, 3));
}

TEST(FileHandler, FileNameRules) {
    const char sep = gxlog::platform::kPathSeparator;
    const std::string cwd = gxlog::platform::currentDirectory();
    struct Case {
        std::string value;
        std::string directory, base, extension;
        int index;
        std::string active;  // empty: no usable name
        const char* message;
    };
    const std::string s(1, sep);
    const std::vector<Case> cases = {
        {"logs\\trace.log", "logs", "trace", "log", 0, "logs" + s + "trace.log", nullptr},
        {"trace.log", cwd, "trace", "log", 0, cwd + s + "trace.log", nullptr},
        {"a.b/trace", "a.b", "trace", "", 0, "a.b" + s + "trace", nullptr},
        {"a/b.c.d", "a", "b.c", "d", 0, "a" + s + "b.c.d", nullptr},
        {"a/7.log", "a", "", "log", 7, "a" + s + "7.log", nullptr},
        {"", "", "", "", 0, "", "GXGBC0030E A value must be specified for the property 'fileName' .\n"},
        {std::string(1025, 'x'), "", "", "", 0, "", "GXGBC0031E Property 'fileName' must be 1024 characters or less.\n"},
        {std::string(1024, 'x'), cwd, std::string(1024, 'x'), "", 0, cwd + s + std::string(1024, 'x'), nullptr},
#ifndef _WIN32
        {"\\\\server\\share\\x.log", "", "", "", 0, "",
         "GXGFH0032E Property 'fileName' must be a valid file path for this platform, but value "
         "'\\\\server\\share\\x.log' was given.\n"},
        {"/var/log/x.log", "/var/log", "x", "log", 0, "/var/log/x.log", nullptr},
#endif
    };
    Toolkit toolkit("", "names");
    for (const Case& c : cases) {
        gxlog::FileData data;
        Capture out(stderr);
        gxlog::GXgSetFileName(data, &c.value);
        const std::string text = out.finish();
        const std::string what = c.value.substr(0, 40);
        EXPECT_EQ(data.activePath, c.active) << what;
        if (c.active.empty()) {
            ASSERT_NE(c.message, nullptr);
            EXPECT_NE(text.find(c.message), std::string::npos) << what << "\n" << text;
            continue;
        }
        EXPECT_EQ(text, "") << what;
        EXPECT_EQ(data.directory, c.directory) << what;
        EXPECT_EQ(data.baseName, c.base) << what;
        EXPECT_EQ(data.extension.value_or(""), c.extension) << what;
        EXPECT_EQ(data.index, c.index) << what;
    }
}

// What a handler that cannot write says on standard error, for three records: each cause
// once (not once per record), and never "Success" as the cause of a failure.
TEST(FileHandler, ProblemsAreReportedOncePerCause) {
    const std::string dir = gxtest::freshDir("problems");
    gxtest::writeAll(dir + "/plain", "a file, not a folder\n");
    fs::create_directories(dir + "/folder.log");
    const std::string zur = "GXGBC0010E The following ZUR error occurred: ";
    struct Case {
        const char* name;
        std::string properties;
        std::string messages;  // standard error without the date and time of each line
    };
    const std::vector<Case> cases = {
        {"unknown codeset", "h.fileName=" + dir + "/c.log\nh.fileEncoding=NOSUCH-CODESET\n",
         "GXGFH0036W Could not load codeset NOSUCH-CODESET. Logged text will be stored in UTF-8 encoding instead.\n"},
        {"no file name", "h.fileName=\n", "GXGBC0030E A value must be specified for the property 'fileName' .\n"},
#ifndef _WIN32  // the system's texts: the runtime library's here, the system's messages on Windows
        {"folder that cannot be made", "h.fileName=" + dir + "/plain/x/t.log\n", zur + std::strerror(ENOTDIR) + "\n"},
        {"name that is a folder", "h.fileName=" + dir + "/folder.log\n", zur + std::strerror(EISDIR) + "\n"},
        {"full device", "h.fileName=/dev/full\n", zur + std::strerror(ENOSPC) + "\n"},
#endif
    };
    const std::regex date("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:.+-]{18} ", std::regex::multiline);
    for (const Case& c : cases) {
        Toolkit toolkit(kLogger + "h.className=gxg_filehandler\n" + c.properties, "problems");
        ASSERT_TRUE(toolkit.ok()) << c.name;
        Capture err(stderr);
        logRecords(1, 3);
        GXgToolkitTerm();
        EXPECT_EQ(std::regex_replace(err.finish(), date, ""), c.messages) << c.name;
    }
    EXPECT_EQ(readAll(dir + "/c.log"), lines(1, 3));
}

// A configured codeset: the records are converted, and a character the codeset lacks
// becomes the codeset services' substitute.
TEST(FileHandler, RecordsInTheOutputCodeset) {
    if (!fs::exists(ATTRSCAN_BINARY_DIR "/data/codeset/aliases")) GTEST_SKIP() << "codeset data not generated";
    testsupport::setEnv("NLQDIR", testsupport::hostPath(ATTRSCAN_BINARY_DIR "/data"));
    const std::string dir = gxtest::freshDir("codeset");
    {
        Toolkit toolkit(kLogger + "h.className=gxg_filehandler\nh.fileName=" + dir + "/latin.log\nh.fileEncoding=ISO8859-1\n",
                        "codeset");
        ASSERT_TRUE(toolkit.ok());
        GXgObject* logger = GXgGetLogger("app", nullptr);
        GXgLogTrace(logger, "s", "m", 1, "caf\xC3\xA9", GXG_PARM_END);
        GXgLogTrace(logger, "s", "m", 2, "\xE2\x82\xAC", GXG_PARM_END);  // the euro sign is not in Latin-1
    }
    EXPECT_EQ(readAll(dir + "/latin.log"), "T s m 1 caf\xE9\nT s m 2 ?\n");
    testsupport::setEnv("NLQDIR", "");
}

TEST(ConsoleHandler, WritesRecordsToStandardError) {
    Toolkit toolkit(kLogger + "h.className=gxg_consolehandler\n"
                    "app.child.listenerNames=xh\nxh.className=gxg_consolehandler\nxh.formatterName=x\n"
                    "x.className=gxg_xmlformatter\nx.dateTimeFormat=T\nx.singleServer=true\n",
                    "console");
    Capture out(stderr);
    logRecords(1, 2);
    GXgObject* child = GXgGetLogger("app.child", nullptr);
    GXgLogTrace(child, nullptr, nullptr, 0, "x", GXG_PARM_NAMED, "server", GXG_PARM_STRING, "h1", GXG_PARM_END);
    GXgToolkitTerm();
    const std::string text = std::regex_replace(out.finish(), std::regex("Millis=\"[0-9]+\""), "Millis=\"N\"");
    EXPECT_EQ(text, lines(1, 2) +
                        " <Server Format=\"\">h1</Server>\n"
                        "<Trace Level=\"MIN\">\n"
                        " <Time Millis=\"N\">T</Time>\n"
                        " <LogText><![CDATA[x]]></LogText>\n"
                        " <Source FileName=\"None\" Method=\"None\"/>\n"
                        "</Trace>\n");
}

TEST(SharedFileHandler, RollsOverByCopyAndTruncate) {
    const std::string dir = gxtest::freshDir("shared");
    Toolkit toolkit(kLogger + "h.className=gxg_multiproc_filehandler\nh.fileName=" + dir +
                        "/shared.log\nh.maxFileSize=100\nh.maxFiles=3\nh.MPFileSemKey=424242\nh.appending=false\n",
                    "shared");
    gxtest::writeAll(dir + "/shared.log", "old\n");
    logRecords(1, 7);
    GXgToolkitTerm();
    // Never truncated at opening, whatever `appending` says.
    EXPECT_EQ(readAll(dir + "/shared2.log"), "old\n" + lines(1, 3));
    EXPECT_EQ(readAll(dir + "/shared1.log"), lines(4, 6));
    EXPECT_EQ(readAll(dir + "/shared.log"), lines(7, 7));
}

// When the backup cannot be written the active file keeps its records.
TEST(SharedFileHandler, FailedCopyKeepsTheActiveFile) {
    const std::string dir = gxtest::freshDir("shared-copy");
    fs::create_directories(dir + "/shared1.log/blocker");
    Toolkit toolkit(kLogger + "h.className=gxg_multiproc_filehandler\nh.fileName=" + dir +
                        "/shared.log\nh.maxFileSize=100\nh.maxFiles=2\nh.MPFileSemKey=424243\n",
                    "shared-copy");
    Capture out(stderr);
    logRecords(1, 5);
    GXgToolkitTerm();
    const std::string text = out.finish();
    EXPECT_NE(text.find(" GXGMP0073W Could not write to the backup log file "), std::string::npos) << text;
    EXPECT_EQ(readAll(dir + "/shared.log"), lines(1, 5));
}

}  // namespace
