// The toolkit's contact with the portability layer: status records (the layer's own
// ZurStatus), their error texts, and reading a file. The properties reader and the
// diagnostics use only these calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "portability/zur.h"

namespace gxlog::zur {

// The layer's error text for a status, at most 127 bytes, in the process codeset.
std::string errorText(const ZurStatus& status);

// A file opened read-only in text mode; closed when the object goes away.
class InputFile {
public:
    // Null (with the status filled) when the file cannot be opened.
    static std::unique_ptr<InputFile> open(const std::string& path, ZurStatus& status);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Reads up to `size` bytes; `count` 0 with an ok status is the end of the file.
    ZurStatus read(char* buffer, std::size_t size, std::size_t& count);
    // The file's length in bytes.
    ZurStatus length(int64_t& length);

private:
    InputFile() = default;
    void* handle_ = nullptr;
};

}  // namespace gxlog::zur
