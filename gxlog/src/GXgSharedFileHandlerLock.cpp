#include "gxlog/src/GXgSharedFileHandlerLock.h"

#include <cerrno>
#include <chrono>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <thread>
#endif

namespace gxlog {

std::string CrossProcessMutex::nameForKey(int key) {
    char name[64];
    std::snprintf(name, sizeof name, "GXG_SEM_KEY_%d", key);
    return name;
}

#ifdef _WIN32

namespace {

zur::Status lastError() {
    return {-4, static_cast<int32_t>(GetLastError()) + 200, 2};
}

class Win32Mutex final : public CrossProcessMutex {
public:
    explicit Win32Mutex(HANDLE handle) : handle_(handle) {}
    ~Win32Mutex() override { CloseHandle(handle_); }

    WaitResult wait(int timeoutMillis, zur::Status& status) override {
        status = {};
        switch (WaitForSingleObject(handle_, static_cast<DWORD>(timeoutMillis))) {
            case WAIT_OBJECT_0: return WaitResult::Acquired;
            case WAIT_ABANDONED: return WaitResult::Abandoned;
            case WAIT_TIMEOUT: status = {-4, WAIT_TIMEOUT + 200, 2}; return WaitResult::TimedOut;
            default: status = lastError(); return WaitResult::Failed;
        }
    }

    zur::Status release() override {
        if (!ReleaseMutex(handle_)) return lastError();
        return {};
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<CrossProcessMutex> CrossProcessMutex::create(int key, zur::Status& status) {
    status = {};
    HANDLE handle = CreateMutexA(nullptr, FALSE, nameForKey(key).c_str());
    if (!handle) {
        status = lastError();
        return nullptr;
    }
    return std::make_unique<Win32Mutex>(handle);
}

#else

namespace {

// Threads of this process take the key's local mutex before the file lock, because a
// file lock does not exclude the threads of the process holding it.
std::timed_mutex& localMutex(int key) {
    static std::mutex guard;
    static std::map<int, std::timed_mutex> mutexes;
    std::lock_guard lock(guard);
    return mutexes[key];
}

class FileLockMutex final : public CrossProcessMutex {
public:
    FileLockMutex(int fd, std::timed_mutex& local) : fd_(fd), local_(local) {}
    ~FileLockMutex() override { ::close(fd_); }

    WaitResult wait(int timeoutMillis, zur::Status& status) override {
        status = {};
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMillis);
        if (!local_.try_lock_until(deadline)) {
            status = {-4, ETIMEDOUT, 2};
            return WaitResult::TimedOut;
        }
        // flock has no time limit of its own: poll, with short sleeps that grow while
        // the lock stays busy.
        auto pause = std::chrono::microseconds(20);
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return WaitResult::Acquired;
            if (errno != EWOULDBLOCK && errno != EINTR) {
                status = {-4, errno, 2};
                local_.unlock();
                return WaitResult::Failed;
            }
            if (Clock::now() >= deadline) {
                status = {-4, ETIMEDOUT, 2};
                local_.unlock();
                return WaitResult::TimedOut;
            }
            std::this_thread::sleep_for(pause);
            if (pause < std::chrono::milliseconds(2)) pause *= 2;
        }
    }

    zur::Status release() override {
        zur::Status status;
        if (::flock(fd_, LOCK_UN) != 0) status = {-4, errno, 2};
        local_.unlock();
        return status;
    }

private:
    int fd_;
    std::timed_mutex& local_;
};

}  // namespace

std::unique_ptr<CrossProcessMutex> CrossProcessMutex::create(int key, zur::Status& status) {
    status = {};
    const std::string path = "/tmp/" + nameForKey(key);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        status = {-4, errno, 3};
        return nullptr;
    }
    // Whatever the creator's umask, every user of the key must be able to open it.
    (void)::fchmod(fd, 0666);
    return std::make_unique<FileLockMutex>(fd, localMutex(key));
}

#endif

}  // namespace gxlog
