// A shared library opened at run time by the system's own search (LoadLibrary on
// Windows, dlopen elsewhere) and the addresses of its exports.
#pragma once

#include <memory>
#include <string>

namespace zur {

class SharedLibrary {
public:
    // Null when the library cannot be opened; `error` then says why, as the system words
    // it ("libX.so.2: cannot open shared object file: ...", "x.dll: cannot be loaded
    // (error 126)").
    static std::unique_ptr<SharedLibrary> open(const char* fileName, std::string& error);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The address of an export, null when the library has none of that name.
    void* symbol(const char* name) const;

    // The running program's export of that name as a library it loaded sees it, or null.
    // POSIX looks through the program's dynamic symbols; on Windows the program exports
    // nothing to its libraries, so there is never one.
    static void* programSymbol(const char* name);

private:
    explicit SharedLibrary(void* module) : module_(module) {}
    void* module_;
};

}  // namespace zur
