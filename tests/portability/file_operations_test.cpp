// Every outcome of every file operation (null argument, rejected path, system failure,
// success), driven through real files in a scratch directory.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "portability/zur.h"
#include "tests/portability/test_support.h"

namespace {

struct Outcome {
    const char* what;
    std::function<ZurStatus()> run;  // performs the operation and checks its side effects
    ZurStatus expected;
};

void expectOutcomes(const std::vector<Outcome>& outcomes) {
    for (const Outcome& outcome : outcomes) {
        SCOPED_TRACE(outcome.what);
        EXPECT_EQ(outcome.run(), outcome.expected);
    }
}

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

TEST_F(FileOperationsTest, Open) {
    ZurFile* handle = nullptr;
    expectOutcomes({
        {"null handle", [] { return zur_open(nullptr, "existing.log", ZUR_OPEN_READ); },
         status(21, 0, 1)},
        {"null path",
         [&] {
             handle = &notOpen;
             const ZurStatus result = zur_open(&handle, nullptr, ZUR_OPEN_READ);
             EXPECT_EQ(handle, nullptr);
             return result;
         },
         status(21, 0, 1)},
        {"rejected path",
         [&] {
             handle = &notOpen;
             const ZurStatus result =
                 zur_open(&handle, kRejectedPath, ZUR_OPEN_CREATE | ZUR_OPEN_WRITE);
             EXPECT_EQ(handle, nullptr);
             return result;
         },
         status(21, 0, 2)},
        {"missing file",
         [&] {
             const ZurStatus result = zur_open(&handle, "missing.log", ZUR_OPEN_READ);
             EXPECT_NE(handle, nullptr);
             if (handle != nullptr) {
                 EXPECT_EQ(handle->descriptor, -1);
                 zur_close(handle);
             }
             return result;
         },
         status(-4, ENOENT, 3)},
        {"new file",
         [&] {
             const ZurStatus result =
                 zur_open(&handle, "new.log", ZUR_OPEN_CREATE | ZUR_OPEN_WRITE);
             EXPECT_NE(handle, nullptr);
             if (handle != nullptr) {
                 EXPECT_GE(handle->descriptor, 0);
                 EXPECT_EQ(zur_close(handle), kOk);
             }
             EXPECT_TRUE(std::filesystem::exists("new.log"));
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Close) {
    expectOutcomes({
        {"null handle", [] { return zur_close(nullptr); }, status(21, 0, 1)},
        {"handle of a failed open is freed all the same",
         [] {
             ZurFile* handle = nullptr;
             zur_open(&handle, "missing.log", ZUR_OPEN_READ);
             return zur_close(handle);
         },
         status(-4, EBADF, 2)},
        {"open file", [&] { return zur_close(open("existing.log", ZUR_OPEN_READ)); }, kOk},
    });
}

TEST_F(FileOperationsTest, Remove) {
    expectOutcomes({
        {"null path", [] { return zur_remove(nullptr); }, status(21, 0, 1)},
        {"rejected path", [] { return zur_remove(kRejectedPath); }, status(21, 0, 0)},
        {"missing file", [] { return zur_remove("missing.log"); }, status(-4, ENOENT, 2)},
        {"existing file",
         [] {
             const ZurStatus result = zur_remove("existing.log");
             EXPECT_FALSE(std::filesystem::exists("existing.log"));
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Flush) {
    expectOutcomes({
        {"null handle", [] { return zur_flush(nullptr); }, status(21, 0, 1)},
        {"no system handle", [] { return zur_flush(&notOpen); }, status(-4, EBADF, 2)},
        {"flush refused",
         [&] {
             ZurFile* handle = open(kUnflushablePath, kUnflushableFlags);
             const ZurStatus result = zur_flush(handle);
             zur_close(handle);
             return result;
         },
         status(9, 0, 3)},
        {"written file",
         [&] {
             ZurFile* handle = open("flushed.log", ZUR_OPEN_CREATE | ZUR_OPEN_WRITE);
             size_t count = 0;
             zur_write(handle, "data", 4, &count);
             const ZurStatus result = zur_flush(handle);
             zur_close(handle);
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, FileLength) {
    int64_t length = 0;
    expectOutcomes({
        {"null handle", [&] { return zur_file_length(nullptr, &length); }, status(21, 0, 1)},
        {"null length", [] { return zur_file_length(&notOpen, nullptr); }, status(21, 0, 1)},
        {"not open",
         [&] {
             length = 7;
             const ZurStatus result = zur_file_length(&notOpen, &length);
             EXPECT_EQ(length, -1);
             return result;
         },
         status(-4, EBADF, 2)},
        {"open file",
         [&] {
             ZurFile* handle = open("existing.log", ZUR_OPEN_READ);
             const ZurStatus result = zur_file_length(handle, &length);
             EXPECT_EQ(length, 5);
             zur_close(handle);
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Read) {
    char buffer[16] = {};
    size_t count = 99;
    expectOutcomes({
        {"null handle", [&] { return zur_read(nullptr, buffer, sizeof buffer, &count); },
         status(21, 0, 1)},
        {"null buffer", [&] { return zur_read(&notOpen, nullptr, sizeof buffer, &count); },
         status(21, 0, 1)},
        {"null count", [&] { return zur_read(&notOpen, buffer, sizeof buffer, nullptr); },
         status(21, 0, 1)},
        {"file open for writing only",
         [&] {
             ZurFile* handle = open("existing.log", ZUR_OPEN_WRITE);
             const ZurStatus result = zur_read(handle, buffer, sizeof buffer, &count);
             EXPECT_EQ(count, 0u);
             zur_close(handle);
             return result;
         },
         status(-4, EBADF, 2)},
        {"whole file, then its end",
         [&] {
             ZurFile* handle = open("existing.log", ZUR_OPEN_READ | ZUR_OPEN_BINARY);
             const ZurStatus result = zur_read(handle, buffer, sizeof buffer, &count);
             EXPECT_EQ(std::string(buffer, count), "hello");
             EXPECT_EQ(zur_read(handle, buffer, sizeof buffer, &count), kOk);
             EXPECT_EQ(count, 0u);
             zur_close(handle);
             return result;
         },
         kOk},
        {"at most size bytes",
         [&] {
             std::memset(buffer, '#', sizeof buffer);
             ZurFile* handle = open("existing.log", ZUR_OPEN_READ | ZUR_OPEN_BINARY);
             const ZurStatus result = zur_read(handle, buffer, 3, &count);
             EXPECT_EQ(std::string(buffer, 4), "hel#");
             EXPECT_EQ(count, 3u);
             zur_close(handle);
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Write) {
    size_t count = 99;
    expectOutcomes({
        {"null handle", [&] { return zur_write(nullptr, "x", 1, &count); }, status(21, 0, 1)},
        {"null data", [&] { return zur_write(&notOpen, nullptr, 1, &count); }, status(21, 0, 1)},
        {"null count", [] { return zur_write(&notOpen, "x", 1, nullptr); }, status(21, 0, 1)},
        {"file open for reading only",
         [&] {
             ZurFile* handle = open("existing.log", ZUR_OPEN_READ);
             const ZurStatus result = zur_write(handle, "x", 1, &count);
             EXPECT_EQ(count, 0u);
             zur_close(handle);
             EXPECT_EQ(readFile("existing.log"), "hello");
             return result;
         },
         status(-4, EBADF, 2)},
        {"new file",
         [&] {
             ZurFile* handle =
                 open("written.log", ZUR_OPEN_CREATE | ZUR_OPEN_WRITE | ZUR_OPEN_BINARY);
             const ZurStatus result = zur_write(handle, "line\n", 5, &count);
             EXPECT_EQ(count, 5u);
             zur_close(handle);
             EXPECT_EQ(readFile("written.log"), "line\n");
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Rename) {
    expectOutcomes({
        {"null old path", [] { return zur_rename(nullptr, "b.log"); }, status(21, 0, 1)},
        {"null new path", [] { return zur_rename("existing.log", nullptr); }, status(21, 0, 1)},
        {"rejected old path", [] { return zur_rename(kRejectedPath, "b.log"); }, status(21, 0, 2)},
        {"rejected new path", [] { return zur_rename("existing.log", kRejectedPath); },
         status(21, 0, 2)},
        {"missing file", [] { return zur_rename("missing.log", "b.log"); }, status(-4, ENOENT, 2)},
        {"existing file",
         [&] {
             const ZurStatus result = zur_rename("existing.log", "renamed.log");
             EXPECT_FALSE(std::filesystem::exists("existing.log"));
             EXPECT_EQ(readFile("renamed.log"), "hello");
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Mkdir) {
    expectOutcomes({
        {"null path", [] { return zur_mkdir(nullptr); }, status(21, 0, 0)},
        {"existing directory",
         [] {
             std::filesystem::create_directory("already");
             return zur_mkdir("already");
         },
         status(-4, EEXIST, 1)},
        {"missing parent", [] { return zur_mkdir("no/such/parent"); }, status(-4, ENOENT, 1)},
        {"new directory",
         [] {
             const ZurStatus result = zur_mkdir("logs");
             EXPECT_TRUE(std::filesystem::is_directory("logs"));
             return result;
         },
         kOk},
        {"child written with '/'",
         [] {
             const ZurStatus result = zur_mkdir("logs/slash");
             EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path("logs") / "slash"));
             return result;
         },
         kOk},
        {"child written with '\\'",
         [] {
             const ZurStatus result = zur_mkdir("logs\\backslash");
             EXPECT_TRUE(
                 std::filesystem::is_directory(std::filesystem::path("logs") / "backslash"));
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, Getcwd) {
    char buffer[ZUR_CWD_SIZE];
    expectOutcomes({
        {"null buffer", [] { return zur_getcwd(nullptr); }, status(21, 0, 1)},
        {"scratch directory",
         [&] {
             const ZurStatus result = zur_getcwd(buffer);
             EXPECT_EQ(std::filesystem::path(buffer), std::filesystem::current_path());
             return result;
         },
         kOk},
    });
}

TEST_F(FileOperationsTest, GetcwdOfRemovedDirectoryFails) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows cannot remove a process's current directory, and the query has "
                    "no other failure a test can provoke";
#else
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(scratch_ / "gone");
    char buffer[ZUR_CWD_SIZE];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(zur_getcwd(buffer), status(-4, ENOENT, 0));
    EXPECT_STREQ(buffer, "");
#endif
}

}  // namespace
