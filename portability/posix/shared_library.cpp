// Shared libraries on POSIX: dlopen with every symbol bound at once and kept local, so a
// library's exports never stand in for the program's own.
#include <dlfcn.h>

#include "portability/zur_shared_library.h"

namespace zur {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const char* fileName, std::string& error) {
    void* module = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = ::dlerror();
        error = why ? why : std::string(fileName) + ": cannot be loaded";
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(module));
}

SharedLibrary::~SharedLibrary() { ::dlclose(module_); }

void* SharedLibrary::symbol(const char* name) const { return ::dlsym(module_, name); }

void* SharedLibrary::programSymbol(const char* name) { return ::dlsym(RTLD_DEFAULT, name); }

}  // namespace zur
