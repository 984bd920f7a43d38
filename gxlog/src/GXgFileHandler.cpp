// The rolling file handler: writes formatted events to a local file and, once the file
// has reached its maximum size, renames name -> name1 -> name2 ... before the next
// record and starts a new file. Also what both file handler classes share: the file
// name, its numbered forms, the file properties and the output codeset.
#include "gxlog/src/GXgFileHandler.h"

#include <algorithm>
#include <cstdlib>

#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"

namespace gxlog {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

void clearName(FileData& data) {
    data.activePath.clear();
    data.directory.clear();
    data.baseName.clear();
    data.extension.reset();
    data.index = 0;
}

void fileClose(GXgObject* handler);

// Opens the file when it is not open, rolling the numbered files over first when the
// current file has reached the maximum size.
void fileOpen(GXgObject* handler) {
    auto* data = handler->data<FileData>();
    if (!data || data->activePath.empty()) return;
    const bool rolloverDue = data->maxFiles >= 2 && data->currentSize >= data->maxFileSize;
    if (data->file && !rolloverDue) return;
    fileClose(handler);
    GXgEnsureDirectory(*data);
    if (rolloverDue) {
        GXgShiftNumberedFiles(*data, 0);
        data->currentSize = 0;
    }
    ZurStatus status;
    uint32_t flags = platform::kOpenReadWrite | platform::kOpenCreate;
    flags |= data->appending ? platform::kOpenAppend : platform::kOpenTruncate;
    data->file = platform::File::open(data->activePath, flags, status);
    if (!data->file) {
        GXgReportFileFailure(*data, status);
        return;
    }
    if (auto head = GXgHandlerHead(handler)) {
        status = data->file->write(GXgToOutputCodeset(*data, *head));
        if (!status.ok()) {
            GXgReportFileFailure(*data, status);
            data->file.reset();
            return;
        }
    }
    int64_t length = 0;
    status = data->file->length(length);
    if (!status.ok()) {
        GXgReportFileFailure(*data, status);
        length = 0;
    }
    data->currentSize = length;
    data->opened = true;
}

void fileClose(GXgObject* handler) {
    auto* data = handler->data<FileData>();
    if (!data || !data->file) return;
    if (data->opened) {
        if (auto tail = GXgHandlerTail(handler)) {
            const ZurStatus status = data->file->write(GXgToOutputCodeset(*data, *tail));
            if (!status.ok()) GXgReportFileFailure(*data, status);
        }
    }
    const ZurStatus status = data->file->close();
    if (!status.ok()) GXgReportFileFailure(*data, status);
    data->file.reset();
    data->opened = false;
}

void filePublish(GXgObject* handler, GXgEvent& event) {
    auto* data = handler->data<FileData>();
    if (!handler->logging || !data) return;
    fileOpen(handler);
    std::string& text = data->record;
    text.clear();
    // Without a file (no valid name, or it could not be opened) the record is lost; the
    // cause was reported when the name was set or the file was opened.
    if (data->file && GXgHandlerFormatInto(handler, event, text)) {
        // The size grows by what was written: this handler is the file's only writer
        // (shared files have their own handler), so the length need not be asked for
        // after every record; it is read whenever the file is opened.
        const std::string converted = data->codeset ? GXgToOutputCodeset(*data, text) : std::string();
        const std::string_view bytes = data->codeset ? std::string_view(converted) : std::string_view(text);
        const ZurStatus status = data->file->write(bytes);
        if (status.ok()) {
            data->currentSize += static_cast<int64_t>(bytes.size());
            GXgFileWritten(*data);
        } else {
            GXgReportFileFailure(*data, status);
        }
    }
    GXgDistribute(handler, event);
}

std::unique_ptr<GXgInstanceData> createFileData(GXgObject*) {
    auto data = std::make_unique<FileData>();
    const std::string defaultName = "default.log";
    GXgSetFileName(*data, &defaultName);
    return data;
}

void configureFile(GXgObject* handler, const std::string& property) {
    if (GXgConfigureFileProperty(handler, property, fileClose)) return;
    GXgConfigureFormatterName(handler, property);
}

}  // namespace

std::string GXgNumberedFileName(const FileData& data, int32_t k) {
    std::string name = data.directory;
    name += platform::kPathSeparator;
    name += data.baseName;
    const int64_t number = static_cast<int64_t>(data.index) + k;
    if (number != 0) name += std::to_string(number);
    if (data.extension) {
        name += '.';
        name += *data.extension;
    }
    return name;
}

void GXgSetFileName(FileData& data, const std::string* value) {
    clearName(data);
    if (!value || value->empty()) {
        toolkitMsg(GXG_LEVEL_ERROR, kMsgValueRequired, {GXgParm::string("fileName")});
        return;
    }
    if (value->size() > static_cast<std::size_t>(kMaxFileNameLength)) {
        toolkitMsg(GXG_LEVEL_ERROR, kMsgValueTooLong,
                   {GXgParm::string("fileName"), GXgParm::integer(kMaxFileNameLength)});
        return;
    }
    // A path written POSIX-style must also be usable here (a leading "/" may need the
    // system drive); the handler converts separators itself below.
    std::string usable = *value;
    if (!platform::pathAcceptable(*value) || !platform::systemDrivePath(usable)) {
        toolkitMsg(GXG_LEVEL_ERROR, kMsgBadFilePath,
                   {GXgParm::string("fileName"), GXgParm::string(*value)});
        return;
    }
    std::string text = *value;
    for (char& c : text) {
        if (isSeparator(c)) c = platform::kPathSeparator;
    }
    // The extension is taken from the last component only, so that a dot in a folder
    // name (/tmp/tmp.x1/trace) is not mistaken for one.
    const std::size_t lastSeparator = text.find_last_of(platform::kPathSeparator);
    const std::size_t dot = text.find_last_of('.');
    if (dot != std::string::npos && (lastSeparator == std::string::npos || dot > lastSeparator)) {
        data.extension = text.substr(dot + 1);
        text.resize(dot);
    }
    std::size_t digits = text.size();
    while (digits > 0 && text[digits - 1] >= '0' && text[digits - 1] <= '9' &&
           (lastSeparator == std::string::npos || digits - 1 > lastSeparator))
        --digits;
    if (digits < text.size()) {
        // At most nine digits count, so the number fits.
        if (text.size() - digits > 9) digits = text.size() - 9;
        data.index = static_cast<int32_t>(std::strtol(text.c_str() + digits, nullptr, 10));
        text.resize(digits);
    }
    if (lastSeparator == std::string::npos) {
        data.directory = platform::currentDirectory();
        data.baseName = text;
    } else {
        data.directory = text.substr(0, lastSeparator);
        data.baseName = text.substr(lastSeparator + 1);
    }
    data.activePath = GXgNumberedFileName(data, 0);
}

bool GXgConfigureFileProperty(GXgObject* handler, const std::string& property,
                              void (*close)(GXgObject*)) {
    auto* data = handler->data<FileData>();
    const bool known = property == "maxFileSize" || property == "maxFiles" ||
                       property == "fileName" || property == "appending" ||
                       property == "fileEncoding" || property == "MPFileSemKey";
    if (!known || !data) return known;
    close(handler);
    GXgFileWritten(*data);  // a changed file starts with a clean record of failures
    const std::string* value = GXgObjectProperty(handler, property);
    if (property == "maxFileSize") {
        data->maxFileSize = GXgPropertyInt(value).value_or(1024);
    } else if (property == "maxFiles") {
        data->maxFiles = std::min(GXgPropertyInt(value).value_or(3), kMaxFilesLimit);
    } else if (property == "appending") {
        data->appending = GXgPropertyBool(value).value_or(true);
    } else if (property == "MPFileSemKey") {
        const int32_t key = GXgPropertyInt(value).value_or(0);
        if (key != data->mutexKey) data->mutex.reset();
        data->mutexKey = key;
    } else if (property == "fileEncoding") {
        data->codeset = value ? OutputCodeset::open(*value) : nullptr;
        if (!data->codeset)
            toolkitMsg(GXG_LEVEL_WARN, kMsgCodesetNotLoaded, {GXgParm::string(value ? *value : "")});
    } else {
        GXgSetFileName(*data, value);
    }
    return true;
}

void GXgShiftNumberedFiles(const FileData& data, int32_t first) {
    const int32_t lastSlot = data.maxFiles - 1;
    int32_t top = first;  // one past the run of existing files
    while (top <= lastSlot) {
        ZurStatus status;
        if (!platform::File::open(GXgNumberedFileName(data, top), platform::kOpenRead, status)) break;
        ++top;
    }
    if (top > lastSlot) {
        (void)platform::removeFile(GXgNumberedFileName(data, lastSlot));
        top = lastSlot;
    }
    for (int32_t k = top - 1; k >= first; --k)
        (void)platform::renameFile(GXgNumberedFileName(data, k), GXgNumberedFileName(data, k + 1));
}

void GXgEnsureDirectory(FileData& data) {
    // An empty directory is the root of an absolute POSIX path.
    if (data.directory.empty() || platform::isDirectory(data.directory)) return;
    if (platform::makeDirectory(data.directory).ok()) return;
    const std::size_t cut = data.directory.find_last_of(platform::kPathSeparator);
    if (cut != std::string::npos && cut > 0) (void)platform::makeDirectory(data.directory.substr(0, cut));
    const ZurStatus status = platform::makeDirectory(data.directory);
    if (!status.ok() && !platform::isDirectory(data.directory)) GXgReportFileFailure(data, status);
}

void GXgReportFileFailure(FileData& data, const ZurStatus& status) {
    std::string text = zurFailureText(status);
    auto& seen = data.reportedFailures;
    if (std::find(seen.begin(), seen.end(), text) != seen.end()) return;
    seen.push_back(text);
    toolkitMsg(GXG_LEVEL_ERROR, kMsgZurError, {GXgParm::string(std::move(text))});
}

void GXgFileWritten(FileData& data) { data.reportedFailures.clear(); }

std::string GXgToOutputCodeset(const FileData& data, std::string_view utf8) {
    if (!data.codeset) return std::string(utf8);
    std::string converted;
    if (data.codeset->fromUtf8(utf8, utf8.size() * 2, converted)) return converted;
    return std::string(utf8);
}

std::unique_ptr<GXgObjClass> makeFileHandlerClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_HANDLER;
    cls->name = kClassFileHandler;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescFileHandler,
                                 msgTableText(kMsgDescFileHandler), {}};
    cls->log = filePublish;
    cls->open = fileOpen;
    cls->close = fileClose;
    cls->createInstance = createFileData;
    cls->configure = configureFile;
    return cls;
}

}  // namespace gxlog
