// Walks a SAN through the HBA library and prints every answer, so that two ways of
// reaching the simulated library (the drop-in, or the system's wrapper with the vendor
// form) can be compared line for line. Handles are not printed: the wrapper numbers its
// own.
//
// Usage: hba_probe [library file]   (default: the platform's HBA library name)
#include <cstdio>

#include "hba/hba_library.h"
#include "tests/sim-hba/san_walk.h"

int main(int argc, char** argv) {
    hba::HbaLibrary library(argc > 1 ? argv[1] : hba::kHbaLibraryFileName);
    if (!library.loaded()) {
        std::printf("not loaded: %s\n", library.loadError().c_str());
        return 2;
    }
    const std::string walk = simtest::walkSan(library.api());
    std::fwrite(walk.data(), 1, walk.size(), stdout);
    return 0;
}
