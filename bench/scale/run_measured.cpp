// Runs a command with its standard output sent to /dev/null and prints, on one line,
// its wall seconds and its peak resident memory in KiB (the kernel's accounting of the
// finished child):   run_measured COMMAND [ARG ...]   ->   "<wall s> <peak KiB> <exit>"
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: run_measured COMMAND [ARG ...]\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        const int sink = open("/dev/null", O_WRONLY);
        if (sink >= 0) dup2(sink, 1);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return 1;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.6f %ld %d\n", wall, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return 0;
}
