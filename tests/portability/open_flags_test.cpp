// The open flags, observed through what they do to real files.
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "portability/zur.h"
#include "tests/portability/test_support.h"

namespace {

#ifdef _WIN32
constexpr const char* kTextLineEnd = "\r\n";  // text mode writes line ends as CR LF
#else
constexpr const char* kTextLineEnd = "\n";  // POSIX has no text mode
#endif

struct FlagCase {
    const char* what;
    std::optional<std::string> before;  // the file's content before, or no file
    uint32_t flags;
    std::string written;  // written after a successful open
    ZurStatus openResult;
    std::optional<std::string> after;  // the file's content after, or no file
};

class OpenFlagsTest : public ScratchDirectoryTest {};

TEST_F(OpenFlagsTest, FlagsActOnTheFile) {
    const std::vector<FlagCase> cases = {
        {"write without create needs the file", std::nullopt, ZUR_OPEN_WRITE, "x",
         status(-4, ENOENT, 3), std::nullopt},
        {"create makes the file", std::nullopt, ZUR_OPEN_WRITE | ZUR_OPEN_CREATE, "new", kOk,
         "new"},
        {"write starts at the beginning", "hello", ZUR_OPEN_WRITE | ZUR_OPEN_BINARY, "HE", kOk,
         "HEllo"},
        {"truncate empties the file", "hello", ZUR_OPEN_WRITE | ZUR_OPEN_TRUNCATE, "", kOk, ""},
        {"append writes at the end", "hello", ZUR_OPEN_WRITE | ZUR_OPEN_APPEND | ZUR_OPEN_BINARY,
         " world", kOk, "hello world"},
        {"read and write", "hello", ZUR_OPEN_RDWR | ZUR_OPEN_BINARY, "J", kOk, "Jello"},
        {"exclusive refuses an existing file", "hello",
         ZUR_OPEN_WRITE | ZUR_OPEN_CREATE | ZUR_OPEN_EXCLUSIVE, "x", status(-4, EEXIST, 3),
         "hello"},
        {"exclusive creates a new file", std::nullopt,
         ZUR_OPEN_WRITE | ZUR_OPEN_CREATE | ZUR_OPEN_EXCLUSIVE, "x", kOk, "x"},
        {"binary keeps line ends", std::nullopt, ZUR_OPEN_WRITE | ZUR_OPEN_CREATE | ZUR_OPEN_BINARY,
         "a\nb", kOk, "a\nb"},
        {"text converts line ends", std::nullopt, ZUR_OPEN_WRITE | ZUR_OPEN_CREATE | ZUR_OPEN_TEXT,
         "a\nb", kOk, std::string("a") + kTextLineEnd + "b"},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove("f.log");
        if (c.before) writeFile("f.log", *c.before);

        ZurFile* handle = nullptr;
        EXPECT_EQ(zur_open(&handle, "f.log", c.flags), c.openResult);
        if (c.openResult == kOk) {
            size_t count = 0;
            EXPECT_EQ(zur_write(handle, c.written.data(), c.written.size(), &count), kOk);
            EXPECT_EQ(count, c.written.size());
        }
        zur_close(handle);

        EXPECT_EQ(std::filesystem::exists("f.log"), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(readFile("f.log"), *c.after);
        }
    }
}

TEST_F(OpenFlagsTest, ReadOnlyIsTheDefaultAndUnknownBitsAreDropped) {
    writeFile("f.log", "hello");
    for (const uint32_t flags : {0u, uint32_t{ZUR_OPEN_READ}, 0x30F0u | ZUR_OPEN_READ}) {
        SCOPED_TRACE(flags);
        ZurFile* handle = nullptr;
        ASSERT_EQ(zur_open(&handle, "f.log", flags), kOk);
        char buffer[8];
        size_t count = 0;
        EXPECT_EQ(zur_read(handle, buffer, sizeof buffer, &count), kOk);
        EXPECT_EQ(std::string(buffer, count), "hello");
        EXPECT_EQ(zur_write(handle, "x", 1, &count), status(-4, EBADF, 2));
        EXPECT_EQ(zur_close(handle), kOk);
    }
    EXPECT_EQ(readFile("f.log"), "hello");
}

TEST_F(OpenFlagsTest, NewFilesAreReadableAndWritableByTheOwnerOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no owner, group and other permission bits";
#else
    ZurFile* handle = nullptr;
    ASSERT_EQ(zur_open(&handle, "private.log", ZUR_OPEN_WRITE | ZUR_OPEN_CREATE), kOk);
    zur_close(handle);
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status("private.log").permissions() & perms::all,
              perms::owner_read | perms::owner_write);
#endif
}

}  // namespace
