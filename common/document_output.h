// The way out for a document. Text is gathered in a buffer; bound to a stream, the buffer
// is handed on in chunks as the document is rendered, so a document of any size costs one
// chunk of memory, and the first failed write is kept so that a lost document is never
// reported as a finished one.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace scan {

class DocumentOutput {
public:
    // Keeps the whole text (for callers that want the document as a string).
    DocumentOutput() = default;
    // Writes through to stream in chunks of about chunkSize bytes.
    explicit DocumentOutput(std::FILE* stream, std::size_t chunkSize = 64 * 1024)
        : stream_(stream), chunkSize_(chunkSize) {}
    DocumentOutput(const DocumentOutput&) = delete;
    DocumentOutput& operator=(const DocumentOutput&) = delete;

    // The text not yet handed on; renderers append to it directly.
    std::string& buffer() { return buffer_; }
    // Ends a line; a full chunk goes to the stream here, so chunks hold whole lines.
    void endLine() {
        buffer_ += '\n';
        if (stream_ && buffer_.size() >= chunkSize_) spill();
    }

    // Hands on the rest and flushes the stream. Returns 0 when every byte was accepted,
    // else the error number of the first failure (EIO when the library gave none).
    int finish();

    // The whole text, when not bound to a stream.
    const std::string& text() const { return buffer_; }

private:
    void spill();
    void fail();

    std::FILE* stream_ = nullptr;
    std::size_t chunkSize_ = 0;
    std::string buffer_;
    int error_ = 0;
};

// The one line that reports a lost document on standard error, for an error number.
std::string documentLostMessage(int error);

}  // namespace scan
