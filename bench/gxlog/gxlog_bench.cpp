// The printf engine against the C library on a typical trace line and a message with
// positional parameters, and the properties reader on a realistic file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "gxlog/src/GXgPrintf.h"
#include "gxlog/src/GXgReadProps.h"

namespace gxlog {
namespace {

constexpr const char* kTrace = "Adapter %d, HBAOffset is %d, OSDeviceName is %s";

void BM_EnginePrintfTrace(benchmark::State& state) {
    for (auto _ : state) {
        CxStringBuff out;
        GXgPrintf(out, nullptr, kTrace, 3, 17, "\\\\.\\Scsi2:");
        benchmark::DoNotOptimize(out.c_str());
    }
}
BENCHMARK(BM_EnginePrintfTrace);

void BM_LibcSnprintfTrace(benchmark::State& state) {
    for (auto _ : state) {
        char buf[256];
        std::snprintf(buf, sizeof buf, kTrace, 3, 17, "\\\\.\\Scsi2:");
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(BM_LibcSnprintfTrace);

void BM_EngineFloats(benchmark::State& state) {
    for (auto _ : state) {
        CxStringBuff out;
        GXgPrintf(out, nullptr, "%.2f MB of %.2f MB, %e", 131072.0 / 1048576.0, 12345.678, 6.02e23);
        benchmark::DoNotOptimize(out.c_str());
    }
}
BENCHMARK(BM_EngineFloats);

void BM_LibcFloats(benchmark::State& state) {
    for (auto _ : state) {
        char buf[256];
        std::snprintf(buf, sizeof buf, "%.2f MB of %.2f MB, %e", 131072.0 / 1048576.0, 12345.678, 6.02e23);
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(BM_LibcFloats);

void BM_MessageParameters(benchmark::State& state) {
    const GXgParmList params = {GXgParm::string("native.trace.attributeScanner"),
                                GXgParm::string("gxg_basiclogger"), GXgParm::string("gxg_pdlogger")};
    for (auto _ : state) {
        auto text = GXgFormatParms("GXGBC0061W Object '%1$s' exists but is of class '%2$s' instead of '%3$s' .", params);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_MessageParameters);

void BM_ReadProperties(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "# object " + std::to_string(i) + "\n";
        text += "native.trace.object" + std::to_string(i) + ".level = DEBUG_MAX\n";
        text += "native.trace.object" + std::to_string(i) + ".listenerNames = h1 h2 \\\n    h3\n";
    }
    for (auto _ : state) {
        GXgConfigRegistry registry;
        benchmark::DoNotOptimize(GXgReadPropsText(text, registry));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadProperties);

}  // namespace
}  // namespace gxlog
