// The portability layer: the small, uniform interface the logging toolkit uses to reach the
// operating system and the runtime library.
//
// - File operations return a ZurStatus by value and never print anything. Each one that
//   takes a path works on a private copy converted by zur_native_path (zur_mkdir: see
//   there), so the caller's text is never changed. Should memory for that copy or for a handle run out,
//   the operation reports its system-failure status with ENOMEM.
// - Error numbers follow one convention across the layer: up to ZUR_SYSTEM_ERROR_BASE they
//   are runtime-library errno values; above it they are system error codes increased by
//   ZUR_SYSTEM_ERROR_BASE; numbers with ZUR_ERROR_NO_TEXT set have no text.
// - Null-tolerant forms of the standard string and memory functions.
//
// Callable from C; nothing here throws.
#pragma once

#include <stddef.h>
#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

// ---------------------------------------------------------------------------------------------
// Status record

enum {
    ZUR_CODE_OK = 0,
    ZUR_CODE_INVALID_ARGUMENT = 21,  // a null pointer or a rejected path
    ZUR_CODE_SYSTEM_ERROR = -4,      // the runtime library or the system failed; see error
    ZUR_CODE_FLUSH_FAILED = 9,       // the system refused to flush the file to disk
};

enum {
    ZUR_CATEGORY_NONE = 0,              // no failure, or nothing more to say
    ZUR_CATEGORY_NULL_ARGUMENT = 1,     // a required argument was null
    ZUR_CATEGORY_OPERATION_FAILED = 2,  // the operation failed, or a path was rejected
    ZUR_CATEGORY_OPEN_OR_FLUSH_FAILED = 3,
};

enum {
    ZUR_SYSTEM_ERROR_BASE = 200,     // system error codes are reported increased by this
    ZUR_ERROR_NO_TEXT = 0x20000000,  // error numbers with this bit carry no text
    ZUR_CWD_SIZE = 1024,             // size of the buffer zur_getcwd fills
};

// The one status record of the layer and of everything built on it. C++ callers make
// records only through the named constructors, so that every (code, error, category)
// triple in the program says what it is.
typedef struct ZurStatus {
    int32_t code;       // one of the ZUR_CODE_* values
    uint32_t error;     // error number at the failure (see the convention above), else 0
    uint32_t category;  // one of the ZUR_CATEGORY_* values

#ifdef __cplusplus
    // Success: 0, 0, 0.
    static constexpr ZurStatus success() { return {ZUR_CODE_OK, 0, ZUR_CATEGORY_NONE}; }
    // A failure the layer tells by its arguments alone (null, rejected path): 21, 0, category.
    static constexpr ZurStatus invalidArgument(uint32_t category) {
        return {ZUR_CODE_INVALID_ARGUMENT, 0, category};
    }
    // The runtime library failed with errno `error` (or the system with an error number
    // already in the layer's convention): -4, error, category.
    static constexpr ZurStatus systemError(int error, uint32_t category) {
        return {ZUR_CODE_SYSTEM_ERROR, static_cast<uint32_t>(error), category};
    }
    // The system failed with its own error code (GetLastError): reported increased by
    // ZUR_SYSTEM_ERROR_BASE.
    static constexpr ZurStatus systemCode(uint32_t code, uint32_t category) {
        return {ZUR_CODE_SYSTEM_ERROR, code + ZUR_SYSTEM_ERROR_BASE, category};
    }
    // The system refused to flush a file to disk: 9, 0, 3.
    static constexpr ZurStatus flushFailed() {
        return {ZUR_CODE_FLUSH_FAILED, 0, ZUR_CATEGORY_OPEN_OR_FLUSH_FAILED};
    }
    constexpr bool ok() const { return code == ZUR_CODE_OK; }
#endif
} ZurStatus;

// ---------------------------------------------------------------------------------------------
// Files

// Open flags; other bits are ignored. Read-only is the default. On POSIX, TEXT and BINARY
// have no effect (there is no line-end translation to switch).
enum {
    ZUR_OPEN_READ = 0x0001,
    ZUR_OPEN_WRITE = 0x0002,
    ZUR_OPEN_RDWR = 0x0004,
    ZUR_OPEN_APPEND = 0x0008,
    ZUR_OPEN_CREATE = 0x0100,
    ZUR_OPEN_TRUNCATE = 0x0200,
    ZUR_OPEN_EXCLUSIVE = 0x0400,
    ZUR_OPEN_TEXT = 0x4000,
    ZUR_OPEN_BINARY = 0x8000,
};

// An open file: the runtime library's descriptor, -1 when opening failed. Handles are made
// only by zur_open and released only by zur_close.
typedef struct ZurFile {
    int32_t descriptor;
} ZurFile;

// Opens path with the ZUR_OPEN_* flags; new files get read and write permission for the
// owner only. *handle is set to null first whenever handle is not null.
//   success:            0, 0, 0 and *handle holds the new descriptor.
//   handle or path null: 21, 0, 1.
//   path rejected:      21, 0, 2 and no handle.
//   open failed:        -4, errno, 3 and *handle is a handle holding -1, which the caller
//                       still owns and releases with zur_close.
ZurStatus zur_open(ZurFile** handle, const char* path, uint32_t flags);

// Closes the descriptor and frees the handle, which is freed even when closing fails.
//   null: 21, 0, 1.   close failed: -4, errno, 2.   success: 0, 0, 0.
ZurStatus zur_close(ZurFile* handle);

// Deletes a file.
//   null: 21, 0, 1.   rejected: 21, 0, 0.   failed: -4, errno, 2.   success: 0, 0, 0.
ZurStatus zur_remove(const char* path);

// Flushes the system's buffers of the file to disk.
//   null: 21, 0, 1.   no system handle for the descriptor: -4, errno, 2.
//   the system refused the flush: 9, 0, 3.   success: 0, 0, 0.
ZurStatus zur_flush(ZurFile* handle);

// Length of the open file in bytes.
//   null handle or length: 21, 0, 1.   failed: -4, errno, 2 and *length = -1.
ZurStatus zur_file_length(ZurFile* handle, int64_t* length);

// Reads up to size bytes; *count is the number read (0 at the end of the file).
//   any pointer null: 21, 0, 1.   failed: -4, errno, 2 and *count = 0.
ZurStatus zur_read(ZurFile* handle, void* buffer, size_t size, size_t* count);

// Writes all length bytes, resuming after short writes; *count is the number written,
// which on failure tells how many bytes reached the file before it.
//   any pointer null: 21, 0, 1.   failed: -4, errno, 2.
ZurStatus zur_write(ZurFile* handle, const void* data, size_t length, size_t* count);

// Renames a file.
//   either path null: 21, 0, 1.   either path rejected: 21, 0, 2.   failed: -4, errno, 2.
ZurStatus zur_rename(const char* oldPath, const char* newPath);

// Creates one directory. The path is never rejected: Windows uses it as given (it takes '/'
// as a separator here too); POSIX converts it when it is acceptable.
//   null: 21, 0, 0.   failed: -4, errno, 1.   success: 0, 0, 0.
ZurStatus zur_mkdir(const char* path);

// Writes the current directory, terminated, into buffer (ZUR_CWD_SIZE bytes). On failure
// the buffer holds the empty text.
//   null buffer: 21, 0, 1.   failed: -4, error, 0 where error is the system error code plus
//   ZUR_SYSTEM_ERROR_BASE on Windows and errno on POSIX.   success: 0, 0, 0.
ZurStatus zur_getcwd(char* buffer);

// The layer's lock operations: this program is single-threaded, so they report success
// (0, 0, 0) and do nothing.
ZurStatus zur_ok(void* mutex);

// ---------------------------------------------------------------------------------------------
// Error texts

// Writes the text for a status into buffer, cut to size - 1 bytes and terminated. Nothing
// is written for a null buffer or a size of 0 or less.
// - A negative code other than -4: the layer's own text for error (the table is empty in
//   this program, so the empty text), read under the error-text lock.
// - Otherwise, error up to ZUR_SYSTEM_ERROR_BASE: the runtime library's text for the errno.
// - Error with ZUR_ERROR_NO_TEXT set: the empty text.
// - Any other error: the system's message for (error - ZUR_SYSTEM_ERROR_BASE) without its
//   trailing line end; on POSIX, which has no such message table, "system error N".
void zur_error_string(char* buffer, int32_t size, int32_t code, uint32_t error);

// ---------------------------------------------------------------------------------------------
// Paths

// True when path names an existing directory. Null is false; an acceptable path is
// converted first, a rejected one is tried as it is.
bool zur_is_directory(const char* path);

// Windows: true when path starts with '/' or with two backslashes, contains ":\" anywhere,
// or is empty. POSIX: true when path starts with '/' or '\', or is empty. Null is false.
bool zur_is_absolute(const char* path);

// Whether file operations accept path. Windows rejects a path that is absolute by a
// leading '/' alone (POSIX style, or empty). POSIX rejects the empty path and the forms only
// Windows can reach: a share starting with two backslashes, or anything containing ":\".
// Relative paths are accepted on both. Null is false.
bool zur_path_acceptable(const char* path);

// Converts path in place to the native separators (Windows '/' to '\', POSIX '\' to '/')
// and returns it; returns null and leaves path alone when it is not acceptable.
char* zur_native_path(char* path);

// The separator file operations use: '\' on Windows, '/' on POSIX.
extern const char zur_path_separator;

// Makes a path written POSIX-style usable, in place. Windows: a path starting with '/'
// names a folder on the system drive, so it is refused (false) when the environment names
// no SystemDrive, and otherwise every '/' becomes '\'. POSIX: the path is left as it is.
// Null is false.
bool zur_system_drive_path(char* path);

// Copies source (null is the empty text) into destination, at most size - 1 bytes and
// terminated, then cuts the copy at its last '/' or '\'; a path without a separator stays
// whole. Returns destination; with a null destination or a size of 0 nothing is written.
char* zur_dirname(char* destination, const char* source, size_t size);

// ---------------------------------------------------------------------------------------------
// Time and identity

// Milliseconds since 1970-01-01 00:00 UTC.
int64_t zur_time_millis(void);
// The process identifier.
int64_t zur_getpid(void);
// Always 0: this program is single-threaded.
int64_t zur_thread_id(void);

// ---------------------------------------------------------------------------------------------
// Null-tolerant memory and string functions. Blocks come from the C heap, so zur_free,
// free and zur_realloc all apply to them.

void* zur_malloc(size_t size);                // size 0 gives null
void* zur_realloc(void* block, size_t size);  // size 0 gives null and leaves block alone
void* zur_free(void* block);                  // null is ignored; returns block
char* zur_strdup(const char* text);           // null gives null
size_t zur_strlen(const char* text);          // null gives 0

// Comparisons: a null gives 1, else b null gives -1. zur_strcmp compares bytes as unsigned
// values and gives -1, 0 or 1; zur_strncmp gives strncmp's result. The case-insensitive
// forms fold ASCII letters only (the same on every runtime) and give -1, 0 or 1.
int zur_strcmp(const char* a, const char* b);
int zur_strncmp(const char* a, const char* b, size_t n);
int zur_stricmp(const char* a, const char* b);
int zur_strnicmp(const char* a, const char* b, size_t n);

// strncpy: a null destination gives null; a null source makes the destination empty (when
// n is at least 1).
char* zur_strncpy(char* destination, const char* source, size_t n);
// Appends at most min(n, length of source) bytes and terminates: a null destination gives
// null; a null source leaves it.
char* zur_strncat(char* destination, const char* source, size_t n);

char* zur_strchr(const char* text, int c);                 // null gives null
char* zur_strrchr(const char* text, int c);                // null gives null
char* zur_strstr(const char* text, const char* pattern);   // either null gives null
ptrdiff_t zur_strcspn(const char* text, const char* set);  // text null -1, set null strlen
ptrdiff_t zur_strspn(const char* text, const char* set);   // text null -1, set null 0

#ifdef __cplusplus
}  // extern "C"
#endif
