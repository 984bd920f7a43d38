// nlqconv: converts text between codesets with the program's own codeset services, the
// way iconv does with the C library's.
//
//   nlqconv -f FROM -t TO [FILE]
//
// FROM and TO are codeset names as the program resolves them (aliases and table files
// under NLQDIR) or paths of table files. Reads FILE or standard input, writes standard
// output. Exit status 0; 1 when characters had to be replaced or the input ended inside
// a character (the output is written all the same); 2 for usage errors or a codeset
// that cannot be opened.
#include "i18n/nlq_codeset.h"
#include "i18n/nlq_locale.h"
#include "portability/zur_system.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kChunk = 1 << 16;

bool readAll(std::FILE* in, std::string* data) {
    char buffer[kChunk];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) data->append(buffer, n);
    return !std::ferror(in);
}

bool writeAll(const char* data, size_t n) { return std::fwrite(data, 1, n, stdout) == n; }

// Runs a byte-to-byte stepping engine over the whole input, writing each full output
// chunk; the flush closes a stateful codeset's stretch. Returns false on a write error;
// *incomplete when the input ended inside a character.
template <class Step>
bool pumpBytes(NlqCodeset* target, Step step, const std::string& input, bool* incomplete) {
    const char* in = input.data();
    size_t inLeft = input.size();
    std::vector<char> out(kChunk);
    int rc;
    do {
        char* o = out.data();
        size_t outLeft = out.size();
        rc = step(&in, &inLeft, &o, &outLeft);
        if (rc != NLQ_STEP_OUTPUT_FULL) {
            *incomplete = rc == NLQ_STEP_INCOMPLETE;
            nlq_step_from_ucs2(target, nullptr, nullptr, &o, &outLeft);
        }
        if (!writeAll(out.data(), out.size() - outLeft)) return false;
    } while (rc == NLQ_STEP_OUTPUT_FULL);
    return true;
}

// Through UCS-2: the input in chunks of units, each chunk written out in the target.
bool pumpThroughUcs2(NlqCodeset* source, NlqCodeset* target, const std::string& input, bool* incomplete) {
    const char* in = input.data();
    size_t inLeft = input.size();
    std::vector<NlqUcs2> wide(kChunk);
    std::vector<char> out(4 * kChunk);
    size_t carried = 0;  // a high surrogate kept from the previous chunk
    int rcIn;
    do {
        NlqUcs2* w = wide.data() + carried;
        size_t wideLeft = wide.size() - carried;
        rcIn = nlq_step_to_ucs2(source, &in, &inLeft, &w, &wideLeft);
        const NlqUcs2* units = wide.data();
        size_t unitsLeft = wide.size() - wideLeft;
        char* o = out.data();
        size_t outLeft = out.size();
        int rcOut = nlq_step_from_ucs2(target, &units, &unitsLeft, &o, &outLeft);
        bool last = rcIn != NLQ_STEP_OUTPUT_FULL;
        if (last) nlq_step_from_ucs2(target, nullptr, nullptr, &o, &outLeft);
        if (!writeAll(out.data(), out.size() - outLeft)) return false;
        carried = rcOut == NLQ_STEP_INCOMPLETE ? unitsLeft : 0;
        if (carried) wide[0] = *units;
        if (last) *incomplete = rcIn == NLQ_STEP_INCOMPLETE || carried;
    } while (rcIn == NLQ_STEP_OUTPUT_FULL);
    return true;
}

constexpr const char* kUsage = "usage: nlqconv -f FROM -t TO [FILE]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && !std::strcmp(argv[1], "--help")) {
        std::printf("%s\nConverts FILE (or standard input) from codeset FROM to codeset TO on standard\n"
                    "output. Codeset tables and the aliases file are looked for in NLQDIR (and\n"
                    "NLQDIR/codeset), else in the current folder; UTF8 is built in.\n", kUsage);
        return 0;
    }
    const char* from = nullptr;
    const char* to = nullptr;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-f") && i + 1 < argc) from = argv[++i];
        else if (!std::strcmp(argv[i], "-t") && i + 1 < argc) to = argv[++i];
        else if (argv[i][0] == '-' && argv[i][1]) return usage();
        else if (!file) file = argv[i];
        else return usage();
    }
    if (!from || !to) return usage();
    NlqCodeset* source = nlq_codeset_open(from);
    NlqCodeset* target = nlq_codeset_open(to);
    if (!source || !target) {
        std::fprintf(stderr, "nlqconv: cannot open codeset %s\n", !source ? from : to);
        return 2;
    }
    zur::binaryStandardStreams();
    std::FILE* in = file && std::strcmp(file, "-") ? std::fopen(file, "rb") : stdin;
    std::string input;
    if (!in || !readAll(in, &input)) {
        std::fprintf(stderr, "nlqconv: cannot read %s\n", file ? file : "standard input");
        return 2;
    }
    if (in != stdin) std::fclose(in);

    bool incomplete = false;
    bool written;
    if (target == nlq_codeset_utf8()) {
        written = pumpBytes(target, [&](const char** i, size_t* il, char** o, size_t* ol) {
            return nlq_step_to_utf8(source, i, il, o, ol);
        }, input, &incomplete);
    } else if (source == nlq_codeset_utf8()) {
        written = pumpBytes(target, [&](const char** i, size_t* il, char** o, size_t* ol) {
            return nlq_step_from_utf8(target, i, il, o, ol);
        }, input, &incomplete);
    } else {
        written = pumpThroughUcs2(source, target, input, &incomplete);
    }
    if (!written || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "nlqconv: cannot write the output\n");
        return 2;
    }
    unsigned replaced = nlq_substitution_count(source) + (source != target ? nlq_substitution_count(target) : 0);
    int status = 0;
    if (replaced) {
        std::fprintf(stderr, "nlqconv: %u characters could not be converted and were replaced\n", replaced);
        status = 1;
    }
    if (incomplete) {
        std::fprintf(stderr, "nlqconv: the input ends inside a character\n");
        status = 1;
    }
    nlq_codeset_close(source);
    nlq_codeset_close(target);
    return status;
}
