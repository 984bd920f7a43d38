// The named mutex of the POSIX build: a file lock, see zur_named_mutex.h.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "portability/zur_named_mutex.h"

namespace zur {

namespace {

// Threads of this process take the name's local mutex before the file lock, because a
// file lock does not exclude the threads of the process holding it.
std::timed_mutex& localMutex(const std::string& name) {
    static std::mutex guard;
    static std::map<std::string, std::timed_mutex> mutexes;
    std::lock_guard lock(guard);
    return mutexes[name];
}

class FileLockMutex final : public NamedMutex {
public:
    FileLockMutex(int fd, std::timed_mutex& local) : fd_(fd), local_(local) {}
    ~FileLockMutex() override { ::close(fd_); }

    WaitResult wait(int timeoutMillis, ZurStatus& status) override {
        status = ZurStatus::success();
        using Clock = std::chrono::steady_clock;
        const bool limited = timeoutMillis >= 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMillis : 0);
        if (!limited) {
            local_.lock();
        } else if (!local_.try_lock_until(deadline)) {
            status = ZurStatus::systemError(ETIMEDOUT, ZUR_CATEGORY_OPERATION_FAILED);
            return WaitResult::TimedOut;
        }
        // flock has no time limit of its own: poll, with short sleeps that grow while
        // the lock stays busy.
        auto pause = std::chrono::microseconds(20);
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return WaitResult::Acquired;
            if (errno != EWOULDBLOCK && errno != EINTR) {
                status = ZurStatus::systemError(errno, ZUR_CATEGORY_OPERATION_FAILED);
                local_.unlock();
                return WaitResult::Failed;
            }
            if (limited && Clock::now() >= deadline) {
                status = ZurStatus::systemError(ETIMEDOUT, ZUR_CATEGORY_OPERATION_FAILED);
                local_.unlock();
                return WaitResult::TimedOut;
            }
            std::this_thread::sleep_for(pause);
            if (pause < std::chrono::milliseconds(2)) pause *= 2;
        }
    }

    ZurStatus release() override {
        ZurStatus status = ZurStatus::success();
        if (::flock(fd_, LOCK_UN) != 0) status = ZurStatus::systemError(errno, ZUR_CATEGORY_OPERATION_FAILED);
        local_.unlock();
        return status;
    }

private:
    int fd_;
    std::timed_mutex& local_;
};

}  // namespace

std::unique_ptr<NamedMutex> NamedMutex::create(const std::string& name, ZurStatus& status) {
    status = ZurStatus::success();
    const std::string path = "/tmp/" + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        status = ZurStatus::systemError(errno, ZUR_CATEGORY_OPEN_OR_FLUSH_FAILED);
        return nullptr;
    }
    // Whatever the creator's umask, every user of the name must be able to open it.
    (void)::fchmod(fd, 0666);
    return std::make_unique<FileLockMutex>(fd, localMutex(name));
}

}  // namespace zur
