// Growable, NUL-terminated text buffer used by the printf engine, the message renderer
// and the properties reader.
//
// Growth policy (kept on purpose, it bounds the number of reallocations for the short
// texts the toolkit makes): the first append allocates 1024 bytes; whenever the length
// plus the bytes being added plus the terminator would exceed the capacity, the capacity
// doubles until they fit. Appends report allocation failure instead of throwing, so
// callers can end a formatting as failed.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace gxlog {

class CxStringBuff {
public:
    static constexpr std::size_t kInitialCapacity = 1024;

    CxStringBuff() = default;
    CxStringBuff(const CxStringBuff&) = delete;
    CxStringBuff& operator=(const CxStringBuff&) = delete;
    CxStringBuff(CxStringBuff&& other) noexcept;
    CxStringBuff& operator=(CxStringBuff&& other) noexcept;
    ~CxStringBuff();

    // Each append returns false, leaving the buffer unchanged, when memory runs out.
    bool append(std::string_view text) {
        // The common case, room to spare, without a call; growth stays out of line.
        if (text.size() < capacity_ - length_) {
            if (!text.empty()) std::memcpy(data_ + length_, text.data(), text.size());
            length_ += text.size();
            data_[length_] = '\0';
            return true;
        }
        return appendGrowing(text);
    }
    bool append(char c) { return append(std::string_view(&c, 1)); }
    bool appendRepeated(char c, std::size_t count);

    // Shortens the text to `length` bytes (no effect when it is not longer).
    void truncate(std::size_t length);
    void clear() { truncate(0); }

    std::size_t length() const { return length_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return length_ == 0; }
    // Always NUL-terminated; "" before the first append.
    const char* c_str() const { return data_ ? data_ : ""; }
    std::string_view view() const { return {c_str(), length_}; }

    // Moves the text out; the buffer is empty afterwards (and holds no memory).
    std::string take();

private:
    bool appendGrowing(std::string_view text);
    bool reserveFor(std::size_t added);

    char* data_ = nullptr;
    std::size_t length_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace gxlog
