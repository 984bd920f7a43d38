// Several real processes write one shared log file through the shared-file handler with
// a small maximum size, so that it rolls over many times while they write. Afterwards
// every record is present exactly once and whole, across the active and numbered files.
//
// The test binary is its own child: it starts copies of itself that run only the
// ChildWriter test, told what to do by the environment variable GXG_MP_CHILD.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "gxlog/src/GXgLog.h"
#include "tests/gxlog-objects/toolkit_fixture.h"

namespace {

constexpr int kProcesses = 8;
// 40,000 records of 62 bytes: about forty rollovers. Under wine the run takes about
// twenty seconds.
constexpr int kRecords = 5000;
constexpr int kMaxFileSize = 65536;
constexpr int kMaxFiles = 200;
const char* kPayload = "abcdefghijklmnopqrstuvwxyz0123456789";

std::string ownPath() {
#ifdef _WIN32
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
#else
    return "/proc/self/exe";
#endif
}

// Starts one child and returns its handle or process id.
intptr_t startChild(const std::string& task) {
    const std::string exe = ownPath();
#ifdef _WIN32
    _putenv_s("GXG_MP_CHILD", task.c_str());
    return _spawnl(_P_NOWAIT, exe.c_str(), "child", "--gtest_filter=MultiProcess.ChildWriter", nullptr);
#else
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "GXG_MP_CHILD=", 13) != 0) env.emplace_back(*e);
    }
    env.push_back("GXG_MP_CHILD=" + task);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = "child", arg1 = "--gtest_filter=MultiProcess.ChildWriter";
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    return pid;
#endif
}

// The child's exit code, -1 when it did not end normally.
int waitChild(intptr_t child) {
#ifdef _WIN32
    int status = -1;
    if (_cwait(&status, child, 0) == -1) return -1;
    return status;
#else
    int status = 0;
    if (waitpid(static_cast<pid_t>(child), &status, 0) < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
#endif
}

// Reads the active file "<base>.log" and its numbered copies and checks that each of
// `writers` x `records` records ("T cWW rNNNNN <payload>") is there exactly once and whole.
void expectEveryRecordOnceAndWhole(const std::string& base, int writers, int records, bool rolledOver) {
    const std::regex whole(std::string("T c([0-9]{2}) r([0-9]{5}) ") + kPayload);
    std::map<std::pair<int, int>, int> seen;
    int files = 0;
    int broken = 0;
    for (int k = 0; k < kMaxFiles; ++k) {
        const std::string path = base + (k ? std::to_string(k) : "") + ".log";
        if (!gxtest::fs::exists(path)) continue;
        ++files;
        std::istringstream text(gxtest::readAll(path));
        for (std::string line; std::getline(text, line);) {
            std::smatch m;
            if (!std::regex_match(line, m, whole)) {
                if (++broken < 5) ADD_FAILURE() << "broken record in " << path << ": " << line;
                continue;
            }
            ++seen[{std::stoi(m[1]), std::stoi(m[2])}];
        }
    }
    EXPECT_EQ(broken, 0);
    if (rolledOver) {
        EXPECT_GT(files, 5) << "the file should have rolled over many times";
        EXPECT_LT(files, kMaxFiles) << "records may have been dropped with the oldest file";
    }
    int missing = 0, doubled = 0;
    for (int i = 0; i < writers; ++i) {
        for (int n = 0; n < records; ++n) {
            auto it = seen.find({i, n});
            if (it == seen.end()) ++missing;
            else if (it->second != 1) ++doubled;
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(doubled, 0);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(writers * records));
}

void writeRecords(GXgObject* logger, int writer, int records) {
    for (int n = 0; n < records; ++n) {
        if (GXgIsLoggable(logger, GXG_LEVEL_DEBUG_MIN))
            GXgLogTrace(logger, nullptr, nullptr, 0, "c%02d r%05d %s", GXG_PARM_INT, writer, GXG_PARM_INT, n,
                        GXG_PARM_STRING, kPayload, GXG_PARM_END);
    }
}

TEST(MultiProcess, ChildWriter) {
    const char* task = std::getenv("GXG_MP_CHILD");
    if (!task) GTEST_SKIP() << "runs only as a child of MultiProcess.RecordsArriveOnceAndWhole";
    std::istringstream in(task);
    int index = 0, records = 0;
    std::string props;
    in >> index >> records >> props;
    ASSERT_TRUE(GXgToolkitInit(props.c_str()));
    GXgObject* logger = GXgGetLogger("app", nullptr);
    ASSERT_NE(logger, nullptr);
    writeRecords(logger, index, records);
    GXgToolkitTerm();
}

TEST(MultiProcess, RecordsArriveOnceAndWhole) {
    if (std::getenv("GXG_MP_CHILD")) GTEST_SKIP() << "child";
    const std::string dir = gxtest::freshDir("multiproc");
    const std::string props = dir + "/nativelog.properties";
    gxtest::writeAll(props,
                     "app.className=gxg_basiclogger\napp.listenerNames=h\n"
                     "h.className=gxg_multiproc_filehandler\nh.fileName=" + dir + "/shared.log\n"
                     "h.maxFileSize=" + std::to_string(kMaxFileSize) + "\nh.maxFiles=" + std::to_string(kMaxFiles) +
                     "\nh.MPFileSemKey=31997\nh.formatterName=f\n"
                     "f.className=gxg_basicformatter\nf.dateTimeFormat=T\n");
    std::vector<intptr_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const intptr_t child = startChild(std::to_string(i) + " " + std::to_string(kRecords) + " " + props);
        ASSERT_NE(child, -1) << "child " << i;
        children.push_back(child);
    }
    for (intptr_t child : children) EXPECT_EQ(waitChild(child), 0);

    expectEveryRecordOnceAndWhole(dir + "/shared", kProcesses, kRecords, true);
}

// Threads of one process share the toolkit: its lock lets one record through at a time,
// so records neither interleave nor get lost, and a thread waiting for the lock sleeps
// until it is released.
TEST(MultiThread, RecordsArriveOnceAndWhole) {
    if (std::getenv("GXG_MP_CHILD")) GTEST_SKIP() << "child";
    constexpr int kThreads = 4;
    const std::string dir = gxtest::freshDir("multithread");
    const std::string props = dir + "/nativelog.properties";
    gxtest::writeAll(props,
                     "app.className=gxg_basiclogger\napp.listenerNames=h\n"
                     "h.className=gxg_filehandler\nh.fileName=" + dir + "/threads.log\n"
                     "h.maxFiles=1\nh.formatterName=f\n"
                     "f.className=gxg_basicformatter\nf.dateTimeFormat=T\n");
    ASSERT_TRUE(GXgToolkitInit(props.c_str()));
    GXgObject* logger = GXgGetLogger("app", nullptr);
    ASSERT_NE(logger, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back(writeRecords, logger, i, kRecords);
    for (auto& t : threads) t.join();
    GXgToolkitTerm();
    expectEveryRecordOnceAndWhole(dir + "/threads", kThreads, kRecords, false);
}

}  // namespace
