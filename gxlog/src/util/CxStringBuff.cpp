#include "gxlog/src/util/CxStringBuff.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace gxlog {

CxStringBuff::CxStringBuff(CxStringBuff&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      length_(std::exchange(other.length_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

CxStringBuff& CxStringBuff::operator=(CxStringBuff&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        length_ = std::exchange(other.length_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

CxStringBuff::~CxStringBuff() { std::free(data_); }

bool CxStringBuff::reserveFor(std::size_t added) {
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max() / 2;
    if (added > kMax - length_ - 1) return false;
    const std::size_t needed = length_ + added + 1;
    if (needed <= capacity_) return true;
    std::size_t capacity = capacity_ == 0 ? kInitialCapacity : capacity_;
    while (capacity < needed) {
        if (capacity > kMax) return false;
        capacity *= 2;
    }
    char* grown = static_cast<char*>(std::realloc(data_, capacity));
    if (!grown) return false;
    data_ = grown;
    capacity_ = capacity;
    return true;
}

bool CxStringBuff::appendGrowing(std::string_view text) {
    if (!reserveFor(text.size())) return false;
    if (!text.empty()) std::memcpy(data_ + length_, text.data(), text.size());
    length_ += text.size();
    data_[length_] = '\0';
    return true;
}

bool CxStringBuff::appendRepeated(char c, std::size_t count) {
    if (!reserveFor(count)) return false;
    std::memset(data_ + length_, static_cast<unsigned char>(c), count);
    length_ += count;
    data_[length_] = '\0';
    return true;
}

void CxStringBuff::truncate(std::size_t length) {
    if (length >= length_) return;
    length_ = length;
    data_[length_] = '\0';
}

std::string CxStringBuff::take() {
    std::string text(view());
    std::free(data_);
    data_ = nullptr;
    length_ = capacity_ = 0;
    return text;
}

}  // namespace gxlog
