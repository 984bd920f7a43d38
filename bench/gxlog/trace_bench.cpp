// Trace records per second: the toolkit's GXgLogTrace through the basic formatter and
// the rolling file handler, and spdlog's basic file sink flushed after every message
// writing the same lines, in one run on the same file system.
//
//   gxlog_trace_bench [records] [folder] [gxlog|spdlog]   (the third: run one side only)
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "gxlog/src/GXgLog.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// Processor time of this process (user and system), which a busy machine disturbs less
// than the time on the clock.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

struct Rate {
    double wall = 0;  // records per second on the clock
    double cpu = 0;   // records per processor second
};
Rate best(Rate a, Rate b) { return {std::max(a.wall, b.wall), std::max(a.cpu, b.cpu)}; }

std::size_t fileSize(const fs::path& p) { return fs::exists(p) ? fs::file_size(p) : 0; }

Rate runToolkit(const fs::path& dir, int records) {
    const fs::path props = dir / "bench.properties";
    const fs::path log = dir / "gxlog.log";
    fs::remove(log);
    std::ofstream(props) << "native.trace.attributeScanner.className=gxg_basiclogger\n"
                            "native.trace.attributeScanner.listenerNames=file\n"
                            "file.className=gxg_filehandler\n"
                            "file.fileName=" << log.string() << "\n"
                            "file.maxFiles=1\n";
    if (!GXgToolkitInit(props.string().c_str())) std::exit(1);
    GXgObject* logger = GXgGetLogger("native.trace.attributeScanner", nullptr);
    if (!logger) std::exit(1);
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    for (int i = 0; i < records; ++i) {
        if (GXgIsLoggable(logger, GXG_LEVEL_DEBUG_MIN))
            GXgLogTrace(logger, "Portsurvey", "Main", 416, "Adapter %d, HBAOffset is %d, OSDeviceName is %s",
                        GXG_PARM_INT, i, GXG_PARM_INT, 2, GXG_PARM_STRING, "\\\\.\\Scsi2:", GXG_PARM_END);
    }
    const double elapsed = seconds(start);
    const double cpu = cpuSeconds() - cpuStart;
    GXgToolkitTerm();
    std::printf("  gxlog  file: %zu bytes\n", fileSize(log));
    return {records / elapsed, records / cpu};
}

Rate runSpdlog(const fs::path& dir, int records) {
    const fs::path log = dir / "spdlog.log";
    fs::remove(log);
    auto logger = spdlog::basic_logger_mt("bench", log.string(), true);
    logger->set_pattern("%Y-%m-%d %H:%M:%S.%e%z %v");
    logger->flush_on(spdlog::level::trace);
    logger->set_level(spdlog::level::trace);
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    for (int i = 0; i < records; ++i)
        logger->debug("Portsurvey Main 416 Adapter {}, HBAOffset is {}, OSDeviceName is {}", i, 2, "\\\\.\\Scsi2:");
    const double elapsed = seconds(start);
    const double cpu = cpuSeconds() - cpuStart;
    spdlog::drop_all();
    std::printf("  spdlog file: %zu bytes\n", fileSize(log));
    return {records / elapsed, records / cpu};
}

}  // namespace

int main(int argc, char** argv) {
    const int records = argc > 1 ? std::atoi(argv[1]) : 200000;
    const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "gxlog-bench";
    fs::create_directories(dir);
    std::printf("%d trace records, each written to the file at once, in %s\n", records, dir.string().c_str());
    // Alternate, so that neither side profits from a warmer machine.
    const std::string only = argc > 3 ? argv[3] : "";
    Rate gx{1, 1}, sp{1, 1};
    for (int round = 0; round < 3; ++round) {
        if (only != "spdlog") gx = best(gx, runToolkit(dir, records));
        if (only != "gxlog") sp = best(sp, runSpdlog(dir, records));
    }
    std::printf("%-52s %12s %16s\n", "best of 3 rounds", "records/s", "records/cpu-s");
    std::printf("%-52s %12.0f %16.0f\n", "gxlog  GXgLogTrace + basic formatter + file handler", gx.wall, gx.cpu);
    std::printf("%-52s %12.0f %16.0f\n", "spdlog basic_file_sink, flush after every message", sp.wall, sp.cpu);
    std::printf("ratio gxlog/spdlog: %.2f on the clock, %.2f per processor second\n", gx.wall / sp.wall,
                gx.cpu / sp.cpu);
    return 0;
}
