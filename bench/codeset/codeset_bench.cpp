// Throughput of our codeset converters against the C library's iconv and ICU on the same
// input: UTF-8 to and from 1252, 932 and GB 18030, and UTF-8 to 1047. Bytes processed are
// the input bytes of each conversion (MB/s in the "bytes_per_second" column).
//
//   codeset_bench [--benchmark_filter=...]
//
// The tables are the ones the build generated into <build>/data/codeset/.
#include "i18n/nlq_codeset.h"

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t kInputBytes = 1 << 20;

NlqCodeset* table(const std::string& name) {
    static std::map<std::string, NlqCodeset*> loaded;
    auto found = loaded.find(name);
    if (found != loaded.end()) return found->second;
    std::string path = std::string(ATTRSCAN_BINARY_DIR "/data/codeset/") + name;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "missing table %s\n", path.c_str());
        std::exit(1);
    }
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    auto* image = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size)));
    size_t n = std::fread(image, 1, static_cast<size_t>(size), f);
    std::fclose(f);
    NlqCodeset* cs = nlq_codeset_from_table(image, n);
    loaded[name] = cs;
    return cs;
}

// Sample texts, repeated to about 1 MiB of UTF-8.
const char* const kLatin =
    "Le caf\xC3\xA9 cr\xC3\xA8me \xC3\xA0 c\xC3\xB4t\xC3\xA9 de la fa\xC3\xA7" "ade, na\xC3\xAFve et "
    "\xC3\xA9l\xC3\xA9gante; M\xC3\xBCller \xC3\xBC" "ber Stra\xC3\x9F" "e, 12,50 \xE2\x82\xAC. ";
const char* const kJapanese =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\x96\x87\xE7\xAB\xA0\xE3\x81\xA7\xE3\x81\x99"
    "\xE3\x80\x82 Disk 3 \xE3\x81\xAF\xE6\xAD\xA3\xE5\xB8\xB8\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82"
    "\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xAC\xE3\x83\xBC\xE3\x82\xB8\xE7\xAE\xA1\xE7\x90\x86 (SAN) ";
const char* const kChinese =
    "\xE5\xAD\x98\xE5\x82\xA8\xE5\x8C\xBA\xE5\x9F\x9F\xE7\xBD\x91\xE7\xBB\x9C\xE7\xAE\xA1\xE7\x90\x86"
    "\xE4\xBB\xA3\xE7\x90\x86\xEF\xBC\x9A\xE7\xA3\x81\xE7\x9B\x98 3 \xE6\xAD\xA3\xE5\xB8\xB8\xE3\x80\x82"
    " \xC2\xB7 \xE2\x82\xAC\xC2\x80 ";
const char* const kEbcdicText = "Storage area network scan: disk 3 ok, 12 LUNs; path=/dev/sda [primary]\n";

std::string repeatTo(const char* sample) {
    std::string s;
    while (s.size() < kInputBytes) s += sample;
    return s;
}

std::string iconvConvert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    std::string out(in.size() * 4 + 16, '\0');
    char* inp = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv(cd, nullptr, nullptr, &outp, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

struct Pair {
    const char* label;
    const char* table;      // our canonical name
    const char* iconvName;
    const char* icuName;
    const char* sample;
    bool fromUtf8;          // else to UTF-8
};

const Pair kPairs[] = {
    {"utf8_to_1252", "1252", "CP1252", "windows-1252", kLatin, true},
    {"1252_to_utf8", "1252", "CP1252", "windows-1252", kLatin, false},
    {"utf8_to_932", "932", "CP932", "windows-31j", kJapanese, true},
    {"932_to_utf8", "932", "CP932", "windows-31j", kJapanese, false},
    {"utf8_to_gb18030", "GB18030", "GB18030", "gb18030", kChinese, true},
    {"gb18030_to_utf8", "GB18030", "GB18030", "gb18030", kChinese, false},
    {"utf8_to_1047", "1047", "IBM1047", "ibm-1047", kEbcdicText, true},
};

// The input of a pair: UTF-8, or the sample converted into the codeset by iconv.
const std::string& inputOf(const Pair& p) {
    static std::map<std::string, std::string> inputs;
    auto found = inputs.find(p.label);
    if (found != inputs.end()) return found->second;
    std::string utf8 = repeatTo(p.sample);
    return inputs[p.label] = p.fromUtf8 ? utf8 : iconvConvert(p.iconvName, "UTF-8", utf8);
}

void BM_nlq(benchmark::State& state, const Pair* p) {
    NlqCodeset* cs = table(p->table);
    const std::string& in = inputOf(*p);
    std::vector<char> out(in.size() * 4 + 16);
    for (auto _ : state) {
        size_t n = p->fromUtf8 ? nlq_from_utf8(cs, in.data(), static_cast<ptrdiff_t>(in.size()), out.data(), out.size())
                               : nlq_to_utf8(cs, in.data(), static_cast<ptrdiff_t>(in.size()), out.data(), out.size());
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_iconv(benchmark::State& state, const Pair* p) {
    const std::string& in = inputOf(*p);
    iconv_t cd = p->fromUtf8 ? iconv_open(p->iconvName, "UTF-8") : iconv_open("UTF-8", p->iconvName);
    std::vector<char> out(in.size() * 4 + 16);
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* inp = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char* outp = out.data();
        size_t outLeft = out.size();
        iconv(cd, &inp, &inLeft, &outp, &outLeft);
        iconv(cd, nullptr, nullptr, &outp, &outLeft);
        benchmark::DoNotOptimize(outp);
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_icu(benchmark::State& state, const Pair* p) {
    const std::string& in = inputOf(*p);
    UErrorCode status = U_ZERO_ERROR;
    UConverter* utf8 = ucnv_open("UTF-8", &status);
    UConverter* other = ucnv_open(p->icuName, &status);
    if (U_FAILURE(status)) {
        state.SkipWithError("ICU has no converter for this codeset");
        return;
    }
    UConverter* source = p->fromUtf8 ? utf8 : other;
    UConverter* target = p->fromUtf8 ? other : utf8;
    std::vector<char> out(in.size() * 4 + 16);
    std::vector<UChar> pivot(1024);
    for (auto _ : state) {
        const char* inp = in.data();
        char* outp = out.data();
        UChar* pivotSource = pivot.data();
        UChar* pivotTarget = pivot.data();
        status = U_ZERO_ERROR;
        ucnv_convertEx(target, source, &outp, out.data() + out.size(), &inp, in.data() + in.size(), pivot.data(),
                       &pivotSource, &pivotTarget, pivot.data() + pivot.size(), true, true, &status);
        benchmark::DoNotOptimize(outp);
    }
    ucnv_close(utf8);
    ucnv_close(other);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

int registerAll() {
    for (const Pair& p : kPairs) {
        benchmark::RegisterBenchmark((std::string(p.label) + "/nlq").c_str(), BM_nlq, &p)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string(p.label) + "/iconv").c_str(), BM_iconv, &p)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string(p.label) + "/icu").c_str(), BM_icu, &p)->Unit(benchmark::kMicrosecond);
    }
    return 0;
}
const int kRegistered = registerAll();

}  // namespace

BENCHMARK_MAIN();
