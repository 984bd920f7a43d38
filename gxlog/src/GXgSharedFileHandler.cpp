// The shared-file handler: several processes append to one log file. Each record is
// written while the cross-process lock for the handler's key is held, after the size
// has been read again under that lock (another process may have rolled the file over
// meanwhile). Rollover copies the active file to the first numbered file and empties the
// active file in place, so that the other processes' append-mode handles stay valid.
#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgFileHandler.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"

namespace gxlog {

namespace {

constexpr int kLockWaitMillis = 10000;
constexpr std::size_t kCopyBlock = 8192;

void sharedOpen(GXgObject* handler) {
    auto* data = handler->data<FileData>();
    if (!data || data->activePath.empty() || data->opened) return;
    ZurStatus status = ZurStatus::success();
    if (!data->mutex) {
        data->mutex = createCrossProcessMutex(data->mutexKey, status);
        if (!data->mutex) {
            GXgReportFileFailure(*data, status);
            return;
        }
    }
    GXgEnsureDirectory(*data);
    // Always appending, never truncating: other processes are writing the same file.
    data->file = platform::File::open(
        data->activePath, platform::kOpenWrite | platform::kOpenAppend | platform::kOpenCreate, status);
    if (!data->file) {
        GXgReportFileFailure(*data, status);
        return;
    }
    data->opened = true;
}

void sharedClose(GXgObject* handler) {
    auto* data = handler->data<FileData>();
    if (!data || !data->opened) return;
    if (data->file) {
        const ZurStatus status = data->file->close();
        if (!status.ok()) GXgReportFileFailure(*data, status);
        data->file.reset();
    }
    data->opened = false;
}

// Copies the active file into the first numbered file. False when the copy is not whole.
bool copyActiveToBackup(const std::string& active, const std::string& backup) {
    ZurStatus status = ZurStatus::success();
    auto source = platform::File::open(active, platform::kOpenRead, status);
    if (!source) {
        toolkitMsg(GXG_LEVEL_WARN, kMsgRolloverRead, {GXgParm::string(active)});
        return false;
    }
    auto target = platform::File::open(backup, platform::kOpenReadWrite | platform::kOpenCreate, status);
    if (!target) {
        toolkitMsg(GXG_LEVEL_WARN, kMsgRolloverWrite, {GXgParm::string(backup)});
        return false;
    }
    bool readFailed = false;
    bool writeFailed = false;
    char block[kCopyBlock];
    for (;;) {
        std::size_t count = 0;
        if (!source->read(block, sizeof block, count).ok()) {
            readFailed = true;
            break;
        }
        if (count == 0) break;
        if (!target->write(std::string_view(block, count)).ok()) {
            writeFailed = true;
            break;
        }
    }
    if (!target->flush().ok()) writeFailed = true;
    if (!target->close().ok()) writeFailed = true;
    (void)source->close();
    if (readFailed) toolkitMsg(GXG_LEVEL_WARN, kMsgRolloverRead, {GXgParm::string(active)});
    if (writeFailed) toolkitMsg(GXG_LEVEL_WARN, kMsgRolloverWrite, {GXgParm::string(backup)});
    return !readFailed && !writeFailed;
}

// Runs with the cross-process lock held. The active file is emptied only when its
// content reached the backup whole: after a failed copy it stays as it is (and keeps
// growing), so no record is lost.
void sharedRollover(FileData& data) {
    GXgShiftNumberedFiles(data, 1);
    const std::string active = GXgNumberedFileName(data, 0);
    if (!copyActiveToBackup(active, GXgNumberedFileName(data, 1))) return;
    ZurStatus status = ZurStatus::success();
    auto emptied = platform::File::open(active, platform::kOpenWrite | platform::kOpenTruncate, status);
    if (!emptied) {
        reportZurFailure(status);
        return;
    }
    status = emptied->close();
    if (!status.ok()) reportZurFailure(status);
}

void sharedPublish(GXgObject* handler, GXgEvent& event) {
    auto* data = handler->data<FileData>();
    if (!handler->logging || !data) return;
    sharedOpen(handler);
    if (!data->opened) return;
    std::optional<std::string> text = GXgHandlerFormat(handler, event);
    if (text) *text = GXgToOutputCodeset(*data, *text);

    ZurStatus status = ZurStatus::success();
    const auto waited = data->mutex->wait(kLockWaitMillis, status);
    // An abandoned lock is held all the same (its previous holder ended): the record is
    // written and the lock released, or no other process could ever take it again.
    if (waited == CrossProcessMutex::WaitResult::Acquired || waited == CrossProcessMutex::WaitResult::Abandoned) {
        status = data->file->length(data->currentSize);
        if (!status.ok()) GXgReportFileFailure(*data, status);
        else if (data->maxFiles >= 2 && data->currentSize >= data->maxFileSize) sharedRollover(*data);
        if (text) {
            status = data->file->write(*text);
            if (status.ok()) GXgFileWritten(*data);
            else GXgReportFileFailure(*data, status);
        }
        status = data->mutex->release();
        if (!status.ok()) GXgReportFileFailure(*data, status);
    } else {
        GXgReportFileFailure(*data, status);
    }
    GXgDistribute(handler, event);
}

std::unique_ptr<GXgInstanceData> createSharedData(GXgObject*) {
    auto data = std::make_unique<FileData>();
    const std::string defaultName = "default.log";
    GXgSetFileName(*data, &defaultName);
    return data;
}

void configureShared(GXgObject* handler, const std::string& property) {
    if (GXgConfigureFileProperty(handler, property, sharedClose)) return;
    GXgConfigureFormatterName(handler, property);
}

}  // namespace

std::unique_ptr<GXgObjClass> makeSharedFileHandlerClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_HANDLER;
    cls->name = kClassSharedFileHandler;
    cls->log = sharedPublish;
    cls->open = sharedOpen;
    cls->close = sharedClose;
    cls->createInstance = createSharedData;
    cls->configure = configureShared;
    return cls;
}

}  // namespace gxlog
