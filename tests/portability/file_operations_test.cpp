// Every outcome of every file operation (null argument, rejected path, system failure,
// success), driven through real files in a scratch directory. What the open flags do to
// a file, and reading or writing against them, is in open_flags_test.cpp.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "portability/zur.h"
#include "tests/portability/test_support.h"

namespace {

namespace fs = std::filesystem;

// A path the build refuses: a POSIX-style absolute path on Windows, a drive path on POSIX.
#ifdef _WIN32
constexpr const char* kRejectedPath = "/tmp/x.log";
#else
constexpr const char* kRejectedPath = "C:\\logs\\x.log";
#endif

// The read-only descriptor of a file that exists; the system refuses to flush it on
// Windows. On POSIX a device that cannot be synchronised is refused instead.
#ifdef _WIN32
constexpr const char* kUnflushablePath = "existing.log";
constexpr uint32_t kUnflushableFlags = ZUR_OPEN_READ;
#else
constexpr const char* kUnflushablePath = "/dev/null";
constexpr uint32_t kUnflushableFlags = ZUR_OPEN_RDWR;
#endif

// A handle that stands for no open file.
ZurFile notOpen{-1};

struct Outcome {
    const char* what;
    ZurStatus result;  // the operation's status, evaluated in the table's order
    ZurStatus expected;
};

void expectOutcomes(const std::vector<Outcome>& outcomes) {
    for (const Outcome& outcome : outcomes) EXPECT_EQ(outcome.result, outcome.expected) << outcome.what;
}

class FileOperationsTest : public ScratchDirectoryTest {
protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        writeFile("existing.log", "hello");
    }

    ZurFile* open(const char* path, uint32_t flags) {
        ZurFile* handle = nullptr;
        EXPECT_EQ(zur_open(&handle, path, flags), kOk) << path;
        return handle;
    }
};

// Null arguments and rejected paths are refused before the system is asked.
TEST_F(FileOperationsTest, ArgumentsAreCheckedFirst) {
    ZurFile* nulled = &notOpen;
    ZurFile* rejected = &notOpen;
    char buffer[16];
    size_t count = 0;
    int64_t length = 0;
    expectOutcomes({
        {"open: null handle", zur_open(nullptr, "existing.log", ZUR_OPEN_READ), status(21, 0, 1)},
        {"open: null path", zur_open(&nulled, nullptr, ZUR_OPEN_READ), status(21, 0, 1)},
        {"open: rejected path", zur_open(&rejected, kRejectedPath, ZUR_OPEN_CREATE | ZUR_OPEN_WRITE), status(21, 0, 2)},
        {"close: null handle", zur_close(nullptr), status(21, 0, 1)},
        {"remove: null path", zur_remove(nullptr), status(21, 0, 1)},
        {"remove: rejected path", zur_remove(kRejectedPath), status(21, 0, 0)},
        {"flush: null handle", zur_flush(nullptr), status(21, 0, 1)},
        {"length: null handle", zur_file_length(nullptr, &length), status(21, 0, 1)},
        {"length: null length", zur_file_length(&notOpen, nullptr), status(21, 0, 1)},
        {"read: null handle", zur_read(nullptr, buffer, sizeof buffer, &count), status(21, 0, 1)},
        {"read: null buffer", zur_read(&notOpen, nullptr, sizeof buffer, &count), status(21, 0, 1)},
        {"read: null count", zur_read(&notOpen, buffer, sizeof buffer, nullptr), status(21, 0, 1)},
        {"write: null handle", zur_write(nullptr, "x", 1, &count), status(21, 0, 1)},
        {"write: null data", zur_write(&notOpen, nullptr, 1, &count), status(21, 0, 1)},
        {"write: null count", zur_write(&notOpen, "x", 1, nullptr), status(21, 0, 1)},
        {"rename: null old path", zur_rename(nullptr, "b.log"), status(21, 0, 1)},
        {"rename: null new path", zur_rename("existing.log", nullptr), status(21, 0, 1)},
        {"rename: rejected old path", zur_rename(kRejectedPath, "b.log"), status(21, 0, 2)},
        {"rename: rejected new path", zur_rename("existing.log", kRejectedPath), status(21, 0, 2)},
        {"mkdir: null path", zur_mkdir(nullptr), status(21, 0, 0)},
        {"getcwd: null buffer", zur_getcwd(nullptr), status(21, 0, 1)},
    });
    EXPECT_EQ(nulled, nullptr);
    EXPECT_EQ(rejected, nullptr);
    EXPECT_TRUE(fs::exists("existing.log"));
}

TEST_F(FileOperationsTest, SystemFailures) {
    // A failed open still hands out a handle, without a descriptor; closing it frees it
    // and reports the descriptor.
    ZurFile* failed = nullptr;
    EXPECT_EQ(zur_open(&failed, "missing.log", ZUR_OPEN_READ), status(-4, ENOENT, 3));
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->descriptor, -1);
    EXPECT_EQ(zur_close(failed), status(-4, EBADF, 2));

    ZurFile* unflushable = open(kUnflushablePath, kUnflushableFlags);
    ZurFile* writeOnly = open("existing.log", ZUR_OPEN_WRITE);
    ZurFile* readOnly = open("existing.log", ZUR_OPEN_READ);
    fs::create_directory("already");
    char buffer[16];
    size_t readCount = 99, writeCount = 99;
    int64_t length = 7;
    expectOutcomes({
        {"remove: missing file", zur_remove("missing.log"), status(-4, ENOENT, 2)},
        {"flush: no system handle", zur_flush(&notOpen), status(-4, EBADF, 2)},
        {"flush: refused", zur_flush(unflushable), status(9, 0, 3)},
        {"length: not open", zur_file_length(&notOpen, &length), status(-4, EBADF, 2)},
        {"read: open for writing only", zur_read(writeOnly, buffer, sizeof buffer, &readCount), status(-4, EBADF, 2)},
        {"write: open for reading only", zur_write(readOnly, "x", 1, &writeCount), status(-4, EBADF, 2)},
        {"rename: missing file", zur_rename("missing.log", "b.log"), status(-4, ENOENT, 2)},
        {"mkdir: existing directory", zur_mkdir("already"), status(-4, EEXIST, 1)},
        {"mkdir: missing parent", zur_mkdir("no/such/parent"), status(-4, ENOENT, 1)},
    });
    EXPECT_EQ(length, -1);
    EXPECT_EQ(readCount, 0u);
    EXPECT_EQ(writeCount, 0u);
    for (ZurFile* handle : {unflushable, writeOnly, readOnly}) zur_close(handle);
    EXPECT_EQ(readFile("existing.log"), "hello");
}

TEST_F(FileOperationsTest, Successes) {
    ZurFile* reader = open("existing.log", ZUR_OPEN_READ | ZUR_OPEN_BINARY);
    int64_t length = 0;
    EXPECT_EQ(zur_file_length(reader, &length), kOk);
    EXPECT_EQ(length, 5);
    // At most `size` bytes, then the rest, then the end with nothing read.
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    size_t count = 0;
    EXPECT_EQ(zur_read(reader, buffer, 3, &count), kOk);
    EXPECT_EQ(std::string(buffer, 4), "hel#");
    EXPECT_EQ(zur_read(reader, buffer, sizeof buffer, &count), kOk);
    EXPECT_EQ(std::string(buffer, count), "lo");
    EXPECT_EQ(zur_read(reader, buffer, sizeof buffer, &count), kOk);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(zur_close(reader), kOk);

    ZurFile* writer = open("flushed.log", ZUR_OPEN_CREATE | ZUR_OPEN_WRITE);
    EXPECT_EQ(zur_write(writer, "data", 4, &count), kOk);
    EXPECT_EQ(zur_flush(writer), kOk);
    zur_close(writer);

    EXPECT_EQ(zur_rename("existing.log", "renamed.log"), kOk);
    EXPECT_FALSE(fs::exists("existing.log"));
    EXPECT_EQ(readFile("renamed.log"), "hello");
    EXPECT_EQ(zur_remove("renamed.log"), kOk);
    EXPECT_FALSE(fs::exists("renamed.log"));

    // Directories, children written with either separator.
    EXPECT_EQ(zur_mkdir("logs"), kOk);
    EXPECT_EQ(zur_mkdir("logs/slash"), kOk);
    EXPECT_EQ(zur_mkdir("logs\\backslash"), kOk);
    for (const fs::path& dir : {fs::path("logs"), fs::path("logs") / "slash", fs::path("logs") / "backslash"})
        EXPECT_TRUE(fs::is_directory(dir)) << dir;

    char cwd[ZUR_CWD_SIZE];
    EXPECT_EQ(zur_getcwd(cwd), kOk);
    EXPECT_EQ(fs::path(cwd), fs::current_path());
}

TEST_F(FileOperationsTest, GetcwdOfRemovedDirectoryFails) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows cannot remove a process's current directory, and the query has "
                    "no other failure a test can provoke";
#else
    fs::create_directory("gone");
    fs::current_path("gone");
    fs::remove(scratch_ / "gone");
    char buffer[ZUR_CWD_SIZE];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(zur_getcwd(buffer), status(-4, ENOENT, 0));
    EXPECT_STREQ(buffer, "");
#endif
}

}  // namespace