// The named mutex between threads (the same holds between processes: see the shared-file
// handler's multi-process test) and a shared library that cannot be opened.
#include <atomic>
#include <string>
#include <thread>

#include "portability/zur_named_mutex.h"
#include "portability/zur_shared_library.h"
#include "tests/portability/test_support.h"

namespace {

using WaitResult = zur::NamedMutex::WaitResult;

TEST(NamedMutex, ExcludesAnotherHolderUntilReleased) {
    const std::string name = "ZUR_TEST_MUTEX_" + std::to_string(zur_getpid());
    ZurStatus status = ZurStatus::success();
    auto first = zur::NamedMutex::create(name, status);
    ASSERT_TRUE(first) << status.code << " " << status.error;
    auto second = zur::NamedMutex::create(name, status);
    ASSERT_TRUE(second);

    ASSERT_EQ(first->wait(1000, status), WaitResult::Acquired);
    // The other holder works on a thread of its own: a system mutex lets its owning
    // thread take it again.
    std::thread([&] {
        ZurStatus timedOut = ZurStatus::success();
        EXPECT_EQ(second->wait(50, timedOut), WaitResult::TimedOut);
        EXPECT_EQ(timedOut.code, ZUR_CODE_SYSTEM_ERROR);
        EXPECT_EQ(timedOut.category, uint32_t{ZUR_CATEGORY_OPERATION_FAILED});
    }).join();
    EXPECT_EQ(first->release(), kOk);

    std::thread([&] {
        ZurStatus waited = ZurStatus::success();
        EXPECT_EQ(second->wait(-1, waited), WaitResult::Acquired);
        EXPECT_EQ(waited, kOk);
        EXPECT_EQ(second->release(), kOk);
    }).join();
}

TEST(SharedLibrary, MissingLibrarySaysWhichAndWhy) {
    std::string error;
    EXPECT_EQ(zur::SharedLibrary::open("zur-no-such-library.so.9", error), nullptr);
    EXPECT_EQ(error.rfind("zur-no-such-library.so.9", 0), 0u) << error;
    EXPECT_GT(error.size(), std::string("zur-no-such-library.so.9: ").size()) << error;
}

}  // namespace
