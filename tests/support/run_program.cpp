#include "tests/support/run_program.h"
#include "tests/support/test_helpers.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace testsupport {

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, StandardOutput output) {
    ProgramResult result;
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq) merged[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
    }
    for (const auto& [k, v] : env) {
        if (v.empty()) merged.erase(k);
        else merged[k] = v;
    }
    std::vector<std::string> envStrings;
    for (const auto& [k, v] : merged) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);

    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : argStrings) argv.push_back(s.data());
    argv.push_back(nullptr);

    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return result;
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output == StandardOutput::Captured) posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    else if (output == StandardOutput::DevFull) posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    else posix_spawn_file_actions_addclose(&actions, 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (rc == 0) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        std::string* sinks[2] = {&result.out, &result.err};
        int open = 2;
        char buf[65536];
        while (open > 0) {
            if (poll(fds, 2, -1) < 0) break;
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                const ssize_t n = read(fds[i].fd, buf, sizeof buf);
                if (n > 0) {
                    sinks[i]->append(buf, static_cast<std::size_t>(n));
                } else {
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    }
    close(outPipe[0]);
    close(errPipe[0]);
    return result;
}

std::string readFile(const std::string& path) { return fileText(path); }

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

ProgramResult runScanWithTrace(const std::string& home, std::string& trace) {
    namespace fs = std::filesystem;
    fs::remove_all(home);
    fs::create_directories(fs::path(home) / "conf");
    const fs::path traceFile = fs::path(home) / "trace.log";
    writeFile((fs::path(home) / "conf" / "nativelog.properties").string(),
              "native.trace.attributeScanner.className = gxg_basiclogger\n"
              "native.trace.attributeScanner.level = DEBUG_MIN\n"
              "native.trace.attributeScanner.listenerNames = test.file\n"
              "test.file.className = gxg_filehandler\n"
              "test.file.fileName = " + traceFile.generic_string() + "\n"
              "test.file.maxFiles = 1\n"  // one file, never rolled over
              "test.file.formatterName = test.format\n"
              "test.format.className = gxg_basicformatter\n"
              "test.format.separator = |\n"
              "test.format.dateTimeFormat = T\n");
    ProgramResult run = runProgram(ATTRSCAN_BINARY_DIR "/driver/attrscan", {"10.1.1.1", "scanner", "GUID"},
                                   {{"VRKA_SM_HOME", home}, {"LD_LIBRARY_PATH", ATTRSCAN_BINARY_DIR "/sim"}});
    trace = readFile(traceFile.string());
    return run;
}

std::string traceRecord(const std::string& source, const std::string& method, int line, const std::string& text) {
    return "T|" + source + "|" + method + "|" + std::to_string(line) + "|" + text + "\n";
}

std::string missingInOrder(const std::string& trace, const std::vector<std::string>& records, std::size_t* end) {
    std::size_t at = 0;
    for (const std::string& r : records) {
        const std::size_t found = trace.find(r, at);
        if (found == std::string::npos) return "missing after offset " + std::to_string(at) + ":\n" + r;
        at = found + r.size();
    }
    if (end) *end = at;
    return "";
}

std::string compareWithGolden(const std::string& goldenPath, const std::string& text) {
    if (std::getenv("UPDATE_GOLDEN")) {
        writeFile(goldenPath, text);
        return "";
    }
    const std::string golden = readFile(goldenPath);
    if (golden == text) return "";
    std::istringstream a(golden), b(text);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool ha = static_cast<bool>(std::getline(a, la));
        const bool hb = static_cast<bool>(std::getline(b, lb));
        if (!ha && !hb) return goldenPath + ": differs in line endings or the final newline";
        if (!ha || !hb || la != lb)
            return goldenPath + ":" + std::to_string(line) + ": expected [" + (ha ? la : "<end>") +
                   "] got [" + (hb ? lb : "<end>") + "]";
    }
}

}  // namespace testsupport
