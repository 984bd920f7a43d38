// The named mutex of the Windows build: a system mutex, see zur_named_mutex.h.
#include <windows.h>

#include "portability/zur_named_mutex.h"

namespace zur {

namespace {

ZurStatus lastError() { return ZurStatus::systemCode(::GetLastError(), ZUR_CATEGORY_OPERATION_FAILED); }

class SystemMutex final : public NamedMutex {
public:
    explicit SystemMutex(HANDLE handle) : handle_(handle) {}
    ~SystemMutex() override { ::CloseHandle(handle_); }

    WaitResult wait(int timeoutMillis, ZurStatus& status) override {
        status = ZurStatus::success();
        const DWORD limit = timeoutMillis < 0 ? INFINITE : static_cast<DWORD>(timeoutMillis);
        switch (::WaitForSingleObject(handle_, limit)) {
            case WAIT_OBJECT_0: return WaitResult::Acquired;
            case WAIT_ABANDONED: return WaitResult::Abandoned;
            case WAIT_TIMEOUT:
                status = ZurStatus::systemCode(WAIT_TIMEOUT, ZUR_CATEGORY_OPERATION_FAILED);
                return WaitResult::TimedOut;
            default: status = lastError(); return WaitResult::Failed;
        }
    }

    ZurStatus release() override {
        if (!::ReleaseMutex(handle_)) return lastError();
        return ZurStatus::success();
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<NamedMutex> NamedMutex::create(const std::string& name, ZurStatus& status) {
    status = ZurStatus::success();
    HANDLE handle = ::CreateMutexA(nullptr, FALSE, name.c_str());
    if (!handle) {
        status = lastError();
        return nullptr;
    }
    return std::make_unique<SystemMutex>(handle);
}

}  // namespace zur
