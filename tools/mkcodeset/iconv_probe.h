// Asks the C library's iconv how one character converts, in either direction, so that
// the table compiler can record exactly what it does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkcodeset {

enum class Probe { Ok, Invalid, Incomplete };

class IconvProbe {
public:
    // Opens both directions between `codeset` and UTF-32LE; ok() is false when iconv does
    // not know the codeset.
    explicit IconvProbe(const std::string& codeset);
    ~IconvProbe();
    IconvProbe(const IconvProbe&) = delete;
    IconvProbe& operator=(const IconvProbe&) = delete;

    bool ok() const { return toUnicode_ != nullptr && fromUnicode_ != nullptr; }

    // Converts a byte sequence, starting in the initial shift state. Ok only when every
    // byte was consumed; the code points produced go to *out.
    Probe decode(const std::vector<uint8_t>& bytes, std::vector<uint32_t>* out);
    // Converts one code point, with the closing shift sequence; false when unmappable.
    bool encode(uint32_t cp, std::vector<uint8_t>* out);

private:
    void* toUnicode_ = nullptr;
    void* fromUnicode_ = nullptr;
};

}  // namespace mkcodeset
