// Keeps texts for as long as the store lives, packed into large chunks: many short names
// then cost no allocation each and lie next to each other in memory, which keeps a large
// configuration within fewer cache lines and pages. A kept text never moves.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace gxlog {

class CxTextStore {
public:
    std::string_view keep(std::string_view text) {
        if (text.empty()) return {};
        char* at;
        if (text.size() > kChunk / 4) {
            // A long text gets a chunk of its own and leaves the current one as it is.
            chunks_.push_back(std::unique_ptr<char[]>(new char[text.size()]));
            at = chunks_.back().get();
        } else {
            if (text.size() > left_) {
                chunks_.push_back(std::unique_ptr<char[]>(new char[kChunk]));
                next_ = chunks_.back().get();
                left_ = kChunk;
            }
            at = next_;
            next_ += text.size();
            left_ -= text.size();
        }
        std::memcpy(at, text.data(), text.size());
        return {at, text.size()};
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
};

}  // namespace gxlog
