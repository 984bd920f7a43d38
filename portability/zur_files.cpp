// File operations: argument checks, private path copies and status records, on top of the
// backend's raw calls.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

#include "portability/zur.h"
#include "portability/zur_backend.h"
#include "portability/zur_shared.h"

namespace {

constexpr ZurStatus kNullArgument = ZurStatus::invalidArgument(ZUR_CATEGORY_NULL_ARGUMENT);
constexpr ZurStatus kPathRejected = ZurStatus::invalidArgument(ZUR_CATEGORY_OPERATION_FAILED);

// One read or write call moves at most this much, which every runtime library accepts.
constexpr size_t kMaxTransfer = size_t{1} << 30;

}  // namespace

extern "C" {

ZurStatus zur_open(ZurFile** handle, const char* path, uint32_t flags) {
    if (handle != nullptr) *handle = nullptr;
    if (handle == nullptr || path == nullptr) return kNullArgument;

    zur::PathCopy copy{path};
    if (!copy) return ZurStatus::systemError(ENOMEM, ZUR_CATEGORY_OPEN_OR_FLUSH_FAILED);
    if (!copy.toNative()) return kPathRejected;

    const zur::backend::CallResult opened =
        zur::backend::openDescriptor(copy.get(), zur::runtimeOpenFlags(flags));
    auto* file =
        new (std::nothrow) ZurFile{static_cast<int32_t>(opened.failed() ? -1 : opened.value)};
    if (file == nullptr) {
        if (!opened.failed()) zur::backend::closeDescriptor(static_cast<int>(opened.value));
        return ZurStatus::systemError(ENOMEM, ZUR_CATEGORY_OPEN_OR_FLUSH_FAILED);
    }
    *handle = file;
    if (opened.failed()) return ZurStatus::systemError(opened.error, ZUR_CATEGORY_OPEN_OR_FLUSH_FAILED);
    return ZurStatus::success();
}

ZurStatus zur_close(ZurFile* handle) {
    if (handle == nullptr) return kNullArgument;
    const zur::backend::CallResult closed = zur::backend::closeDescriptor(handle->descriptor);
    delete handle;
    if (closed.failed()) return ZurStatus::systemError(closed.error, ZUR_CATEGORY_OPERATION_FAILED);
    return ZurStatus::success();
}

ZurStatus zur_remove(const char* path) {
    if (path == nullptr) return kNullArgument;
    zur::PathCopy copy{path};
    if (!copy) return ZurStatus::systemError(ENOMEM, ZUR_CATEGORY_OPERATION_FAILED);
    if (!copy.toNative()) return ZurStatus::invalidArgument(ZUR_CATEGORY_NONE);

    const zur::backend::CallResult removed = zur::backend::removeFile(copy.get());
    if (removed.failed()) return ZurStatus::systemError(removed.error, ZUR_CATEGORY_OPERATION_FAILED);
    return ZurStatus::success();
}

ZurStatus zur_flush(ZurFile* handle) {
    if (handle == nullptr) return kNullArgument;
    const zur::backend::FlushResult flushed = zur::backend::flushDescriptor(handle->descriptor);
    switch (flushed.outcome) {
        case zur::backend::FlushOutcome::flushed:
            return ZurStatus::success();
        case zur::backend::FlushOutcome::noSystemHandle:
            return ZurStatus::systemError(flushed.error, ZUR_CATEGORY_OPERATION_FAILED);
        case zur::backend::FlushOutcome::refused:
            break;
    }
    return ZurStatus::flushFailed();
}

ZurStatus zur_file_length(ZurFile* handle, int64_t* length) {
    if (handle == nullptr || length == nullptr) return kNullArgument;
    const zur::backend::CallResult measured = zur::backend::descriptorLength(handle->descriptor);
    if (measured.failed()) {
        *length = -1;
        return ZurStatus::systemError(measured.error, ZUR_CATEGORY_OPERATION_FAILED);
    }
    *length = measured.value;
    return ZurStatus::success();
}

ZurStatus zur_read(ZurFile* handle, void* buffer, size_t size, size_t* count) {
    if (handle == nullptr || buffer == nullptr || count == nullptr) return kNullArgument;
    *count = 0;
    const size_t asked = std::min(size, kMaxTransfer);
    const zur::backend::CallResult read =
        zur::backend::readDescriptor(handle->descriptor, buffer, asked);
    if (read.failed()) return ZurStatus::systemError(read.error, ZUR_CATEGORY_OPERATION_FAILED);
    // Never report more than was asked for, whatever the runtime returned.
    *count = std::min(static_cast<size_t>(read.value), asked);
    return ZurStatus::success();
}

ZurStatus zur_write(ZurFile* handle, const void* data, size_t length, size_t* count) {
    if (handle == nullptr || data == nullptr || count == nullptr) return kNullArgument;
    *count = 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    // A short write is resumed so that a record is not silently cut; a call that moves
    // nothing ends the loop, and *count tells the caller how far it got.
    while (*count < length) {
        const size_t asked = std::min(length - *count, kMaxTransfer);
        const zur::backend::CallResult written =
            zur::backend::writeDescriptor(handle->descriptor, bytes + *count, asked);
        if (written.failed()) return ZurStatus::systemError(written.error, ZUR_CATEGORY_OPERATION_FAILED);
        if (written.value == 0) break;
        // Text-mode runtimes may count the line ends they add; never step past the data.
        *count += std::min(static_cast<size_t>(written.value), asked);
    }
    return ZurStatus::success();
}

ZurStatus zur_rename(const char* oldPath, const char* newPath) {
    if (oldPath == nullptr || newPath == nullptr) return kNullArgument;
    zur::PathCopy oldCopy{oldPath};
    zur::PathCopy newCopy{newPath};
    if (!oldCopy || !newCopy) return ZurStatus::systemError(ENOMEM, ZUR_CATEGORY_OPERATION_FAILED);
    if (!oldCopy.toNative() || !newCopy.toNative()) return kPathRejected;

    const zur::backend::CallResult renamed = zur::backend::renameFile(oldCopy.get(), newCopy.get());
    if (renamed.failed()) return ZurStatus::systemError(renamed.error, ZUR_CATEGORY_OPERATION_FAILED);
    return ZurStatus::success();
}

ZurStatus zur_mkdir(const char* path) {
    if (path == nullptr) return ZurStatus::invalidArgument(ZUR_CATEGORY_NONE);
    zur::PathCopy copy{path};
    // Directory creation files its system failures under category 1, which the toolkit
    // relies on when it reports them.
    if (!copy) return ZurStatus::systemError(ENOMEM, ZUR_CATEGORY_NULL_ARGUMENT);

    const zur::backend::CallResult made = zur::backend::makeDirectory(copy.get());
    if (made.failed()) return ZurStatus::systemError(made.error, ZUR_CATEGORY_NULL_ARGUMENT);
    return ZurStatus::success();
}

ZurStatus zur_getcwd(char* buffer) {
    if (buffer == nullptr) return kNullArgument;
    const uint32_t error = zur::backend::currentDirectory(buffer, ZUR_CWD_SIZE);
    if (error != 0) {
        buffer[0] = '\0';
        return ZurStatus::systemError(static_cast<int>(error), ZUR_CATEGORY_NONE);
    }
    return ZurStatus::success();
}

}  // extern "C"
