// Path rules, conversion, dirname and the directory test, and how file operations apply
// them.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "portability/zur.h"
#include "portability/zur_system.h"
#include "tests/portability/test_support.h"

namespace {

struct PathCase {
    const char* path;
    bool absolute;
    bool acceptable;
    const char* native;  // zur_native_path's result, or null when rejected
};

// The rules of the build under test.
#ifdef _WIN32
const std::vector<PathCase> kPathCases = {
    {"/tmp/x.log", true, false, nullptr},
    {"", true, false, nullptr},
    {"/", true, false, nullptr},
    {"logs/x.log", false, true, "logs\\x.log"},
    {"x.log", false, true, "x.log"},
    {"C:/logs/x.log", false, true, "C:\\logs\\x.log"},
    {"C:\\logs/x.log", true, true, "C:\\logs\\x.log"},
    {"\\\\server\\share\\x.log", true, true, "\\\\server\\share\\x.log"},
    {"\\\\server/share/x.log", true, true, "\\\\server\\share\\x.log"},
    {"\\logs\\x.log", false, true, "\\logs\\x.log"},
    {"/C:\\logs", true, true, "\\C:\\logs"},
};
#else
const std::vector<PathCase> kPathCases = {
    {"/tmp/x.log", true, true, "/tmp/x.log"},
    {"", true, false, nullptr},
    {"/", true, true, "/"},
    {"logs/x.log", false, true, "logs/x.log"},
    {"logs\\x.log", false, true, "logs/x.log"},
    {"x.log", false, true, "x.log"},
    {"\\tmp\\x.log", true, true, "/tmp/x.log"},
    {"C:\\logs\\x.log", false, false, nullptr},
    {"logs/C:\\x.log", false, false, nullptr},
    {"C:/logs/x.log", false, true, "C:/logs/x.log"},
    {"\\\\server\\share\\x.log", true, false, nullptr},
};
#endif

TEST(PathRules, AbsoluteAcceptableAndNative) {
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(zur_is_absolute(c.path), c.absolute);
        EXPECT_EQ(zur_path_acceptable(c.path), c.acceptable);
        std::string text = c.path;
        char* converted = zur_native_path(text.data());
        if (c.native == nullptr) {
            EXPECT_EQ(converted, nullptr);
            EXPECT_EQ(text, c.path) << "a rejected path is left alone";
        } else {
            EXPECT_EQ(converted, text.data()) << "converted in place";
            EXPECT_EQ(text, c.native);
        }
    }
}

// A path written POSIX-style, with and without SystemDrive in the environment.
struct SystemDriveCase {
    const char* path;
    bool systemDriveSet;
    bool usable;
    const char* result;  // the path afterwards
};

#ifdef _WIN32
const std::vector<SystemDriveCase> kSystemDriveCases = {
    {"/conf/x.properties", true, true, "\\conf\\x.properties"},
    {"/conf/x.properties", false, false, "/conf/x.properties"},
    {"conf/x.properties", false, true, "conf\\x.properties"},
    {"C:/conf", false, true, "C:\\conf"},
};
#else
const std::vector<SystemDriveCase> kSystemDriveCases = {
    {"/conf/x.properties", true, true, "/conf/x.properties"},
    {"/conf/x.properties", false, true, "/conf/x.properties"},
    {"conf\\x.properties", false, true, "conf\\x.properties"},
};
#endif

TEST(PathRules, SystemDrivePaths) {
    const char* saved = std::getenv("SystemDrive");
    const std::string before = saved ? saved : "";
    for (const SystemDriveCase& c : kSystemDriveCases) {
        SCOPED_TRACE(std::string(c.path) + (c.systemDriveSet ? " with SystemDrive" : " without"));
        // An empty value removes the variable where only its presence counts.
        ASSERT_TRUE(zur::setEnvironment("SystemDrive", c.systemDriveSet ? "C:" : ""));
        std::string text = c.path;
        EXPECT_EQ(zur_system_drive_path(text.data()), c.usable);
        EXPECT_EQ(text, c.result);
    }
    zur::setEnvironment("SystemDrive", before.c_str());
    EXPECT_FALSE(zur_system_drive_path(nullptr));
}

TEST(PathRules, NullPath) {
    EXPECT_FALSE(zur_is_absolute(nullptr));
    EXPECT_FALSE(zur_path_acceptable(nullptr));
    EXPECT_EQ(zur_native_path(nullptr), nullptr);
    EXPECT_FALSE(zur_is_directory(nullptr));
}

TEST(Dirname, CutsAtTheLastSeparator) {
    struct Case {
        const char* source;
        size_t size;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"a/b\\c", 64, "a/b"},
        {"a\\b/c", 64, "a\\b"},
        {"file.txt", 64, "file.txt"},
        {"logs/", 64, "logs"},
        {"/x", 64, ""},
        {"", 64, ""},
        {nullptr, 64, ""},
        {"abc/def/ghi", 6, "abc"},  // the copy "abc/d" is cut
        {"abc/def", 3, "ab"},       // no separator left in the copy
        {"abc", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source == nullptr ? "(null)" : c.source);
        std::string destination(c.size + 4, '#');
        EXPECT_EQ(zur_dirname(destination.data(), c.source, c.size), destination.data());
        EXPECT_STREQ(destination.c_str(), c.expected);
        EXPECT_EQ(destination.substr(c.size), std::string(4, '#')) << "wrote past size";
    }
}

TEST(Dirname, NoDestinationOrNoRoom) {
    EXPECT_EQ(zur_dirname(nullptr, "a/b", 8), nullptr);
    char destination[4] = "###";
    EXPECT_EQ(zur_dirname(destination, "a/b", 0), destination);
    EXPECT_STREQ(destination, "###");
}

class PathsThroughFilesTest : public ScratchDirectoryTest {
protected:
    ZurStatus openAndClose(const char* path, uint32_t flags = ZUR_OPEN_WRITE | ZUR_OPEN_CREATE) {
        ZurFile* handle = nullptr;
        const ZurStatus result = zur_open(&handle, path, flags);
        if (handle != nullptr) zur_close(handle);
        return result;
    }
};

TEST_F(PathsThroughFilesTest, OperationsWorkOnAPrivateCopy) {
    std::filesystem::create_directory("logs");
    char path[] = "logs/x.log";
    char changed[] = "logs\\y.log";
    EXPECT_EQ(openAndClose(path), kOk);
    EXPECT_EQ(openAndClose(changed), kOk);
    EXPECT_EQ(zur_rename(path, "logs/z.log"), kOk);
    EXPECT_EQ(zur_remove(changed), kOk);
    EXPECT_STREQ(path, "logs/x.log");
    EXPECT_STREQ(changed, "logs\\y.log");
}

TEST_F(PathsThroughFilesTest, PathsOfThisBuild) {
    std::filesystem::create_directory("logs");
    const std::filesystem::path inLogs = std::filesystem::path("logs") / "x.log";
#ifdef _WIN32
    EXPECT_EQ(openAndClose("/tmp/x.log"), status(21, 0, 2));

    EXPECT_EQ(openAndClose("logs/x.log"), kOk);  // opened as logs\x.log
    EXPECT_TRUE(std::filesystem::exists(inLogs));

    std::string drivePath = absolute("drive.log");  // C:\...\drive.log
    std::replace(drivePath.begin(), drivePath.end(), '\\', '/');
    ASSERT_EQ(drivePath.find(":/"), 1u) << drivePath;
    EXPECT_EQ(openAndClose(drivePath.c_str()), kOk);  // as C:\...\drive.log
    EXPECT_TRUE(std::filesystem::exists("drive.log"));

    const std::string sharePath = "\\\\?\\" + absolute("share.log");  // starts with two backslashes
    EXPECT_EQ(openAndClose(sharePath.c_str()), kOk);
    EXPECT_TRUE(std::filesystem::exists("share.log"));
#else
    const std::string absolutePath = absolute("absolute.log");
    ASSERT_EQ(absolutePath.front(), '/');
    EXPECT_EQ(openAndClose(absolutePath.c_str()), kOk);
    EXPECT_TRUE(std::filesystem::exists("absolute.log"));

    EXPECT_EQ(openAndClose("logs\\x.log"), kOk);  // opened as logs/x.log
    EXPECT_TRUE(std::filesystem::exists(inLogs));

    EXPECT_EQ(openAndClose("C:\\logs\\x.log"), status(21, 0, 2));
    EXPECT_EQ(openAndClose("\\\\server\\share\\x.log"), status(21, 0, 2));
#endif
    EXPECT_EQ(openAndClose(""), status(21, 0, 2));
    EXPECT_EQ(openAndClose("logs/x.log", ZUR_OPEN_READ), kOk);
}

TEST_F(PathsThroughFilesTest, IsDirectory) {
    std::filesystem::create_directories(std::filesystem::path("sub") / "inner");
    writeFile("file.txt", "x");
    struct Case {
        std::string path;
        bool expected;
    };
    const std::vector<Case> cases = {
        {absolute(""), true},  // ends with a separator
        {"sub", true},
        {"sub\\inner", true},
        {"sub/", true},
        {"sub\\inner\\", true},
        {"file.txt", false},
        {"missing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(zur_is_directory(c.path.c_str()), c.expected);
    }
}

// A rejected path is still tried, as it is.
TEST_F(PathsThroughFilesTest, IsDirectoryTriesRejectedPathsUnconverted) {
#ifdef _WIN32
    EXPECT_TRUE(zur_is_directory("/"));  // the root of the current drive
#else
    std::filesystem::create_directory("d:\\x");  // one name, backslash included
    EXPECT_TRUE(zur_is_directory("d:\\x"));
#endif
}

}  // namespace
