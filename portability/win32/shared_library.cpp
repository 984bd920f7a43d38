// Shared libraries on Windows: LoadLibrary's search (the program's folder, the system
// folders, PATH).
#include <windows.h>

#include "portability/zur_shared_library.h"

namespace zur {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const char* fileName, std::string& error) {
    HMODULE module = ::LoadLibraryA(fileName);
    if (!module) {
        error = std::string(fileName) + ": cannot be loaded (error " + std::to_string(::GetLastError()) + ")";
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(reinterpret_cast<void*>(module)));
}

SharedLibrary::~SharedLibrary() { ::FreeLibrary(reinterpret_cast<HMODULE>(module_)); }

void* SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module_), name));
}

void* SharedLibrary::programSymbol(const char*) { return nullptr; }

}  // namespace zur
