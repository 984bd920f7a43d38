// The null-tolerant wrappers, time and identity.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "portability/zur.h"
#include "tests/portability/test_support.h"

extern "C" int zurCheckFromC(void);

namespace {

TEST(CCallers, SeeTheSameInterface) { EXPECT_EQ(zurCheckFromC(), 1); }

TEST(Memory, NullAndZeroSizes) {
    EXPECT_EQ(zur_malloc(0), nullptr);
    void* block = zur_malloc(16);
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "keep", 5);

    EXPECT_EQ(zur_realloc(block, 0), nullptr);
    EXPECT_STREQ(static_cast<char*>(block), "keep") << "size 0 must leave the block alone";

    block = zur_realloc(block, 4096);
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(static_cast<char*>(block), "keep");
    EXPECT_EQ(zur_free(block), block);
    EXPECT_EQ(zur_free(nullptr), nullptr);
}

TEST(Strings, DuplicateAndLength) {
    EXPECT_EQ(zur_strdup(nullptr), nullptr);
    char* copy = zur_strdup("text");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "text");
    zur_free(copy);
    EXPECT_EQ(zur_strlen(nullptr), 0u);
    EXPECT_EQ(zur_strlen("four"), 4u);
}

int sign(int value) { return (value > 0) - (value < 0); }

TEST(Strings, Comparisons) {
    using Compare = int (*)(const char*, const char*);
    const Compare strcmpOf = zur_strcmp;
    const Compare stricmpOf = zur_stricmp;
    const Compare strncmp3 = [](const char* a, const char* b) { return zur_strncmp(a, b, 3); };
    const Compare strnicmp3 = [](const char* a, const char* b) { return zur_strnicmp(a, b, 3); };
    struct Case {
        const char* what;
        Compare compare;
        const char* a;
        const char* b;
        int expected;  // sign of the result
    };
    const std::vector<Case> cases = {
        {"strcmp a null", strcmpOf, nullptr, "x", 1},
        {"strcmp both null", strcmpOf, nullptr, nullptr, 1},
        {"strcmp b null", strcmpOf, "x", nullptr, -1},
        {"strcmp equal", strcmpOf, "abc", "abc", 0},
        {"strcmp less", strcmpOf, "abc", "abd", -1},
        {"strcmp 0xE9 after 'z'", strcmpOf, "\xE9", "z", 1},
        {"strncmp a null", strncmp3, nullptr, "x", 1},
        {"strncmp b null", strncmp3, "x", nullptr, -1},
        {"strncmp equal within n", strncmp3, "abcX", "abcY", 0},
        {"strncmp differs within n", strncmp3, "abX", "abY", -1},
        {"stricmp a null", stricmpOf, nullptr, "x", 1},
        {"stricmp b null", stricmpOf, "x", nullptr, -1},
        {"stricmp case folded", stricmpOf, "Native.Trace", "nATIVE.tRACE", 0},
        {"stricmp 0xE9 after 'Z'", stricmpOf, "\xE9", "Z", 1},
        {"strnicmp a null", strnicmp3, nullptr, "x", 1},
        {"strnicmp b null", strnicmp3, "x", nullptr, -1},
        {"strnicmp equal within n", strnicmp3, "ABCx", "abcy", 0},
        {"strnicmp shorter", strnicmp3, "AB", "abc", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(sign(c.compare(c.a, c.b)), c.expected);
    }
    EXPECT_EQ(zur_strcmp("\xE9", "z"), 1) << "strcmp gives exactly -1, 0 or 1";
}

TEST(Strings, CopyAndAppend) {
    char buffer[16];
    EXPECT_EQ(zur_strncpy(nullptr, "x", 4), nullptr);
    std::strcpy(buffer, "old");
    EXPECT_EQ(zur_strncpy(buffer, nullptr, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(zur_strncpy(buffer, "new", sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "new");

    EXPECT_EQ(zur_strncat(nullptr, "x", 4), nullptr);
    EXPECT_EQ(zur_strncat(buffer, nullptr, 4), buffer);
    EXPECT_STREQ(buffer, "new");
    EXPECT_EQ(zur_strncat(buffer, "abcdef", 2), buffer);
    EXPECT_STREQ(buffer, "newab");
    EXPECT_EQ(zur_strncat(buffer, "xy", 10), buffer);
    EXPECT_STREQ(buffer, "newabxy");
}

TEST(Strings, Searches) {
    const char* text = "a.b.c";
    EXPECT_EQ(zur_strchr(nullptr, '.'), nullptr);
    EXPECT_EQ(zur_strchr(text, '.'), text + 1);
    EXPECT_EQ(zur_strrchr(nullptr, '.'), nullptr);
    EXPECT_EQ(zur_strrchr(text, '.'), text + 3);
    EXPECT_EQ(zur_strstr(nullptr, "b"), nullptr);
    EXPECT_EQ(zur_strstr(text, nullptr), nullptr);
    EXPECT_EQ(zur_strstr(text, "b.c"), text + 2);
    EXPECT_EQ(zur_strstr(text, "x"), nullptr);

    EXPECT_EQ(zur_strcspn(nullptr, "."), -1);
    EXPECT_EQ(zur_strcspn(text, nullptr), 5);
    EXPECT_EQ(zur_strcspn(text, "."), 1);
    EXPECT_EQ(zur_strspn(nullptr, "a"), -1);
    EXPECT_EQ(zur_strspn(text, nullptr), 0);
    EXPECT_EQ(zur_strspn(text, "a."), 2);
}

TEST(Identity, TimeProcessAndThread) {
    const auto before = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    const int64_t now = zur_time_millis();
    const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    // Both clocks count from 1970; allow for their different resolutions.
    EXPECT_GE(now, before - 1000);
    EXPECT_LE(now, after + 1000);

    EXPECT_GT(zur_getpid(), 0);
}

}  // namespace
