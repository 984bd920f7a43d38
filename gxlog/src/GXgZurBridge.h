// The toolkit's contact with the portability layer: status records, their error texts,
// and reading a file. The properties reader and the diagnostics use only these calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace gxlog::zur {

// The three fields every portability-layer file operation reports.
struct Status {
    int32_t code = 0;      // 0 success, 21 invalid argument, -4 system error, 9 flush failed
    int32_t error = 0;     // errno for code -4 (Windows error + 200 above 200)
    int32_t category = 0;  // 0 none, 1 null argument, 2 operation failed, 3 open/flush failed
    bool ok() const { return code == 0; }
};

// The layer's error text for a status, at most 127 bytes, in the process codeset.
std::string errorText(const Status& status);

// A file opened read-only in text mode; closed when the object goes away.
class InputFile {
public:
    // Null (with the status filled) when the file cannot be opened.
    static std::unique_ptr<InputFile> open(const std::string& path, Status& status);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Reads up to `size` bytes; `count` 0 with an ok status is the end of the file.
    Status read(char* buffer, std::size_t size, std::size_t& count);
    // The file's length in bytes.
    Status length(int64_t& length);

private:
    InputFile() = default;
    void* handle_ = nullptr;
};

}  // namespace gxlog::zur
