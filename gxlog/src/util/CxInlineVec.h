// A vector of trivially copyable records that keeps its first N elements inline and
// moves to the heap only when it outgrows them. The printf engine keeps its segments,
// conversions and argument table in these, so formatting a typical trace line
// allocates nothing per argument.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace gxlog {

template <class T, std::size_t N>
class CxInlineVec {
    static_assert(std::is_trivially_copyable_v<T> && std::is_default_constructible_v<T>);

public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& back() { return data()[size_ - 1]; }

    void push_back(const T& value) {
        resize(size_ + 1);
        data()[size_ - 1] = value;
    }

    // New elements are value-initialised.
    void resize(std::size_t n) {
        if (n > N && heap_.empty()) {
            heap_.assign(inline_.begin(), inline_.begin() + size_);
        }
        if (!heap_.empty() || n > N) {
            heap_.resize(n);
        } else {
            for (std::size_t i = size_; i < n; ++i) inline_[i] = T{};
        }
        size_ = n;
    }

    void clear() {
        heap_.clear();
        size_ = 0;
    }

private:
    T* data() { return heap_.empty() ? inline_.data() : heap_.data(); }
    const T* data() const { return heap_.empty() ? inline_.data() : heap_.data(); }

    std::array<T, N> inline_{};
    std::vector<T> heap_;
    std::size_t size_ = 0;
};

}  // namespace gxlog
