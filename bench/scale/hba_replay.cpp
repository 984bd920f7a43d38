// The floor of a scan: replays the scan's HBA calls from its call log against the same
// library, then writes as many bytes as the scan's document had, and nothing else.
//
//   hba_replay CALL_LOG DOCUMENT_BYTES
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "bench/scale/call_log_replay.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: hba_replay CALL_LOG DOCUMENT_BYTES\n", stderr);
        return 2;
    }
    std::ifstream log(argv[1], std::ios::binary);
    if (!log) {
        std::fprintf(stderr, "hba_replay: cannot read %s\n", argv[1]);
        return 1;
    }
    const auto counts = bench::replayCallLog(hba::processHbaLibrary().api(), log);
    if (counts.skipped) std::fprintf(stderr, "hba_replay: %llu lines not replayed\n", (unsigned long long)counts.skipped);

    std::size_t left = std::strtoull(argv[2], nullptr, 10);
    const std::vector<char> block(65536, ' ');
    while (left > 0) {
        const std::size_t n = left < block.size() ? left : block.size();
        if (std::fwrite(block.data(), 1, n, stdout) != n) return 1;
        left -= n;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
