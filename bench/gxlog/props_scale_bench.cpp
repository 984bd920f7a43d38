// How reading a properties file grows with its size: generates two files, of N and 10 N
// objects (10,000 and 100,000 by default), reads each into a fresh configuration
// registry a few times and prints the best time of each and their ratio. A reader that
// is near-linear shows a ratio close to 10; a quadratic one close to 100. Each read runs
// in a child process of its own, so that it starts from a fresh heap as the program's
// one read at start-up does (a reused, already-faulted heap would favour the small file),
// and is timed in processor time, so that other work on a shared machine counts less.
//
//   build/posix/bench/gxlog/gxlog_props_scale_bench [objects] [folder]
//   build/posix/bench/gxlog/gxlog_props_scale_bench --generate objects folder
//   build/posix/bench/gxlog/gxlog_props_scale_bench --read file
//
// The last two forms time reading as a whole process does it, from outside: one writes
// a file of that many objects and prints its path, the other reads one file once into a
// fresh registry (exit status 1 when the read fails), for a timer of whole processes to
// compare the two sizes.
//
// Each object has three lines. Half the objects hang from the root (top-level names),
// half from one shared parent, and one in ten is named before its own parent object, so
// that the registry also moves descendants under an ancestor read after them. Numbers in
// names have a fixed width, so that the larger file holds ten times the objects in ten
// times the bytes (with plain numbers it held 10.3 times the bytes, which a reader that
// is linear in bytes shows as its ratio).
//
// The floor: passes over each file's bytes (4 KiB reads, a hash of every byte), timed the
// same way and taking about as long as reading the file; its ratio is what linear work
// measures on this machine in this run.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "gxlog/src/GXgConfig.h"
#include "gxlog/src/GXgReadProps.h"

namespace {

std::string generate(const std::string& folder, int objects) {
    const std::string path = folder + "/scale-" + std::to_string(objects) + ".properties";
    std::ofstream out(path, std::ios::binary);
    out << "# generated: " << objects << " objects\nshared.parent.className=gxg_basiclogger\n";
    for (int i = 0; i < objects; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%07d", i);
        const std::string name = (i % 2 ? "shared.parent.logger" : "top") + std::string(number);
        if (i % 10 == 0) out << name << ".child.level=INFO\n";  // a descendant before its ancestor
        out << name << ".className=gxg_basiclogger\n"
            << name << ".level=DEBUG_MIN\n"
            << name << ".listenerNames=handler" << number << " gxlog.defaultConsole\n";
    }
    return path;
}

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Reads the file into a registry; false when the read fails.
bool readProperties(const std::string& path) {
    gxlog::GXgConfigRegistry registry;
    return gxlog::GXgReadProps(path.c_str(), registry);
}

// The floor: the file's bytes, read in the reader's 4 KiB pieces, each byte hashed; a few
// times over, so that it takes about as long as reading the file into a registry and a
// busy machine disturbs both alike.
bool passOverBytes(const std::string& path) {
    constexpr int kPasses = 5;
    std::uint64_t hash = 14695981039346656037u;
    for (int pass = 0; pass < kPasses; ++pass) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) return false;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
            for (std::size_t i = 0; i < n; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211u;
        }
        std::fclose(file);
    }
    return hash != 0;  // keeps the loop from being optimised away
}

// One run of `work` in a child process; its processor time in seconds, negative on failure.
double readOnceInChild(const std::string& path, bool (*work)(const std::string&)) {
    int channel[2];
    if (::pipe(channel) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        const double start = cpuSeconds();
        const bool ok = work(path);
        const double spent = ok ? cpuSeconds() - start : -1;
        const ssize_t written = ::write(channel[1], &spent, sizeof spent);
        ::_exit(written == sizeof spent ? 0 : 1);
    }
    double spent = -1;
    if (child < 0 || ::read(channel[0], &spent, sizeof spent) != sizeof spent) spent = -1;
    if (child > 0) ::waitpid(child, nullptr, 0);
    ::close(channel[0]);
    ::close(channel[1]);
    return spent;
}

// Best of `rounds` runs.
double timeRead(const std::string& path, int rounds, bool (*work)(const std::string&) = readProperties) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const double spent = readOnceInChild(path, work);
        if (spent < 0) {
            std::fprintf(stderr, "could not read %s\n", path.c_str());
            std::exit(1);
        }
        best = std::min(best, spent);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--generate" && std::atoi(argv[2]) > 0) {
        std::printf("%s\n", generate(argv[3], std::atoi(argv[2])).c_str());
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--read") return readProperties(argv[2]) ? 0 : 1;
    const int small = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string folder = argc > 2 ? argv[2] : ".";
    if (small <= 0) {
        std::fprintf(stderr, "usage: %s [objects] [folder]\n", argv[0]);
        return 2;
    }
    const std::string smallFile = generate(folder, small);
    const std::string largeFile = generate(folder, small * 10);
    const double smallTime = timeRead(smallFile, 5);
    const double largeTime = timeRead(largeFile, 5);
    const double smallFloor = timeRead(smallFile, 5, passOverBytes);
    const double largeFloor = timeRead(largeFile, 5, passOverBytes);
    std::printf("%d objects: %.4f s\n%d objects: %.4f s\nratio: %.2f (near-linear reading: about 10, goal below 10)\n",
                small, smallTime, small * 10, largeTime, largeTime / smallTime);
    std::printf("floor, passes over the bytes: %.4f s and %.4f s, ratio %.2f\nreading ratio / floor ratio: %.3f\n",
                smallFloor, largeFloor, largeFloor / smallFloor, (largeTime / smallTime) / (largeFloor / smallFloor));
    std::remove(smallFile.c_str());
    std::remove(largeFile.c_str());
    return 0;
}
