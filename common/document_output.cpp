#include "common/document_output.h"

#include <cerrno>
#include <cstring>

namespace scan {

void DocumentOutput::fail() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void DocumentOutput::spill() {
    // After a failure the rest is dropped: a document with a hole is no document.
    if (error_ == 0 && !buffer_.empty()) {
        errno = 0;
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size()) fail();
    }
    buffer_.clear();
}

int DocumentOutput::finish() {
    if (!stream_) return 0;
    spill();
    errno = 0;
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) fail();
    return error_;
}

std::string documentLostMessage(int error) {
    return std::string("ERROR: could not write the document to standard output: ") + std::strerror(error) + "\n";
}

}  // namespace scan
