// Texts for status records.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "portability/zur.h"
#include "tests/portability/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string errorString(int32_t code, uint32_t error, int32_t size = 256) {
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
    zur_error_string(buffer.data(), size, code, error);
    EXPECT_EQ(buffer[static_cast<size_t>(size)], '#') << "wrote past the given size";
    return buffer.data();
}

#ifdef _WIN32
// "Access is denied." on Windows, "Access denied." under wine.
constexpr const char* kSystemErrorFivePrefix = "Access";
#else
constexpr const char* kSystemErrorFivePrefix = "system error 5";
#endif

TEST(ErrorString, TextFollowsCodeAndErrorNumber) {
    struct Case {
        const char* what;
        int32_t code;
        uint32_t error;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"errno of a system failure", -4, ENOENT, std::strerror(ENOENT)},
        {"errno of another code", 21, EBADF, std::strerror(EBADF)},
        {"the largest errno", -4, 200, std::strerror(200)},
        {"layer's own text: the table is empty", -1, 0, ""},
        {"layer's own text, any number", -7, 205, ""},
        {"layer's own text, huge number", -1, 0xFFFFFFFFu, ""},
        {"number without text", -4, 0x20000005u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorString(c.code, c.error), c.expected);
    }
}

TEST(ErrorString, SystemErrorAboveTwoHundred) {
    const std::string text = errorString(-4, 205);
    EXPECT_EQ(text.rfind(kSystemErrorFivePrefix, 0), 0u) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << "line end left in: " << text;
}

TEST(ErrorString, IsCutToFitAndTerminated) {
    const std::string full = std::strerror(ENOENT);
    ASSERT_GT(full.size(), 4u);
    EXPECT_EQ(errorString(-4, ENOENT, 5), full.substr(0, 4));
    EXPECT_EQ(errorString(-4, ENOENT, 1), "");
    EXPECT_EQ(errorString(-4, 205, 4), std::string(kSystemErrorFivePrefix).substr(0, 3));
}

TEST(ErrorString, NoBufferOrNoRoomWritesNothing) {
    char buffer[8];
    for (const int32_t size : {0, -1, -100}) {
        std::memset(buffer, '#', sizeof buffer);
        zur_error_string(buffer, size, -4, ENOENT);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#')) << size;
    }
    zur_error_string(nullptr, 8, -4, ENOENT);  // must not crash
}

TEST(ErrorString, RepeatedOwnTextCallsDoNotDeadlock) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(errorString(-2, 0), "");
}

#ifdef _WIN32
// The layer's own texts are read under the system-wide named mutex: while another owner
// holds it, a reader waits.
TEST(ErrorString, OwnTextWaitsForTheNamedMutex) {
    HANDLE mutex = ::CreateMutexA(nullptr, TRUE, "ZUR_ERROR_STRING_MUTEX");
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    std::atomic<bool> done{false};
    std::thread reader([&] {
        errorString(-1, 0);
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(done) << "the text was read while the mutex was held elsewhere";
    ::ReleaseMutex(mutex);
    reader.join();
    EXPECT_TRUE(done);
    ::CloseHandle(mutex);
}
#endif

}  // namespace
