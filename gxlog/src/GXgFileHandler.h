// What the two file handler classes share: their instance data, the file name and its
// numbered forms, the file properties, the output codeset and the directory creation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gxlog/src/GXgObject.h"
#include "gxlog/src/GXgSharedFileHandlerLock.h"
#include "gxlog/src/GXgToolkitPlatform.h"

namespace gxlog {

// Converts UTF-8 text to a log file's codeset.
class OutputCodeset {
public:
    virtual ~OutputCodeset() = default;
    // None when the codeset cannot be loaded.
    static std::unique_ptr<OutputCodeset> open(const std::string& name);
    // False when the text cannot be converted into at most `capacity` bytes.
    virtual bool fromUtf8(std::string_view utf8, std::size_t capacity, std::string& out) const = 0;
};

struct FileData final : GXgInstanceData {
    std::unique_ptr<platform::File> file;
    bool opened = false;
    int64_t currentSize = 0;
    int32_t maxFileSize = 1048576;
    int32_t maxFiles = 3;
    std::string activePath;  // empty: no valid file name
    std::string directory, baseName;
    std::optional<std::string> extension;
    int32_t index = 0;
    std::unique_ptr<OutputCodeset> codeset;
    bool appending = true;
    int32_t mutexKey = 31821;
    std::unique_ptr<CrossProcessMutex> mutex;  // the shared-file handler's, made on first open
    std::string record;  // the record being written, kept to reuse its memory
    // Failure texts reported since the handler last wrote a record: a file that cannot
    // be written fails the same way for every record, and one report of each cause says
    // all there is to say.
    std::vector<std::string> reportedFailures;
};

inline constexpr int kMaxFileNameLength = 1024;
// The most numbered files a handler keeps; a larger `maxFiles` counts as this many.
inline constexpr int32_t kMaxFilesLimit = 1000;

// The file name for rotation slot k: directory, separator, base name, the number
// (index + k) unless it is 0, then "." and the extension. Slot 0 is the active file.
std::string GXgNumberedFileName(const FileData& data, int32_t k);

// Splits a `fileName` value into directory, base name, index and extension and rebuilds
// the active path; reports an unusable value (GXGBC0030E, GXGBC0031E, GXGFH0032E) and
// leaves the handler without a file then.
void GXgSetFileName(FileData& data, const std::string* value);

// The six file properties; false for any other property. `close` runs first.
bool GXgConfigureFileProperty(GXgObject* handler, const std::string& property,
                              void (*close)(GXgObject*));

// Moves the numbered files from slot `first` upward one slot up, the last slot
// (maxFiles - 1) being deleted first when it is reached. Only the unbroken run of files
// that exist from `first` is moved, so a rollover costs what is there, not maxFiles
// renames (a stray file beyond a gap stays where it is). System failures are ignored.
void GXgShiftNumberedFiles(const FileData& data, int32_t first);

// Creates the directory of the active file when missing (and its parent, one level).
void GXgEnsureDirectory(FileData& data);

// Reports a failure of the handler's file as GXGBC0010E, unless the same cause was
// reported since the handler last wrote a record.
void GXgReportFileFailure(FileData& data, const ZurStatus& status);
// A record was written: later failures are new causes again.
void GXgFileWritten(FileData& data);

// The text in the output codeset; UTF-8 unchanged without a codeset or when it does not
// convert.
std::string GXgToOutputCodeset(const FileData& data, std::string_view utf8);

}  // namespace gxlog
