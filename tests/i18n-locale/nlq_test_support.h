// Helpers shared by the locale and catalog tests: environment variables set for one test
// and restored afterwards, a scratch folder (optionally the current folder), files
// written from bytes, and small codeset table images built in memory.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/nlq_codeset_table.h"

namespace nlq_test {

inline void setVariable(const std::string& name, const std::optional<std::string>& value)
{
#ifdef _WIN32
    _putenv_s(name.c_str(), value ? value->c_str() : "");  // "" removes the variable
#else
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
#endif
}

// Sets variables for the life of the guard; every variable it touched is restored.
class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard()
    {
        for (const auto& [name, value] : saved_)
            setVariable(name, value);
    }
    void set(const std::string& name, const std::string& value) { remember(name); setVariable(name, value); }
    void unset(const std::string& name) { remember(name); setVariable(name, std::nullopt); }

private:
    void remember(const std::string& name)
    {
        if (saved_.count(name))
            return;
        const char* value = std::getenv(name.c_str());
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir()
    {
        static int counter = 0;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("nlq-test-" + std::to_string(std::rand()) + "-" + std::to_string(++counter));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir()
    {
        if (!previous_.empty())
            std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // Makes the folder the current folder until the end of its life.
    void enter()
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    const std::filesystem::path& path() const { return path_; }
    // The path of `relative` inside the folder, as text, in the form the program uses.
    std::string at(std::string_view relative) const { return (path_ / relative).make_preferred().string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

inline void writeFile(const std::filesystem::path& path, const void* data, std::size_t size)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline void writeFile(const std::filesystem::path& path, std::string_view text)
{
    writeFile(path, text.data(), text.size());
}

inline void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    writeFile(path, bytes.data(), bytes.size());
}

// A path of the build tree as the program under test sees it: unchanged on POSIX; on the
// Windows build (run under wine) an absolute POSIX path lies on drive Z:.
inline std::string hostPath(std::string path)
{
#ifdef _WIN32
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
#endif
    return path;
}

// A single-byte codeset table image: bytes below 0x80 are ASCII; `upper` gives the code
// point of each byte from 0x80 (0xFFFF: none). The from-Unicode rows are made to match;
// code points without a byte become the substitution byte '?'.
inline std::vector<unsigned char> sbcsTable(std::string_view name,
                                            const std::map<unsigned char, std::uint16_t>& upper)
{
    namespace t = nlq_table;
    constexpr std::size_t kRowArea = t::kMinImageSize;
    constexpr std::size_t kRows = 2;  // row 0: code points 0..255; row 64: everything else
    std::vector<unsigned char> image(kRowArea + kRows * 256, 0);
    auto put16 = [&image](std::size_t at, std::uint16_t v) {
        image[at] = static_cast<unsigned char>(v);
        image[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    image[0] = static_cast<unsigned char>(kRowArea);
    image[1] = static_cast<unsigned char>(kRowArea >> 8);
    image[t::kMagicOffset] = 'u';
    image[t::kMagicOffset + 1] = 'c';
    image[t::kMagicOffset + 2] = 'v';
    for (std::size_t i = 0; i < name.size() && i < 31; ++i)
        image[t::kNameOffset + i] = static_cast<unsigned char>(name[i]);
    put16(t::kKindOffset, 1);
    put16(t::kSubstCodePointOffset, '?');
    image[t::kSubstByteOffset] = '?';
    // From Unicode: high byte 0 -> row 0 at the row area; others -> row 64 (4 x 64 = 256).
    for (std::size_t high = 0; high < 256; ++high)
        put16(t::kFromRowsOffset + 2 * high, high == 0 ? 0 : 64);
    for (std::size_t b = 0; b < 256; ++b) {
        image[kRowArea + b] = b < 0x80 ? static_cast<unsigned char>(b) : '?';
        image[kRowArea + 256 + b] = '?';
    }
    for (std::size_t b = 0; b < 256; ++b)
        put16(t::kToTableOffset + 2 * b, b < 0x80 ? static_cast<std::uint16_t>(b) : 0xFFFF);
    for (const auto& [byte, codePoint] : upper) {
        put16(t::kToTableOffset + 2 * byte, codePoint);
        if (codePoint < 0x100)
            image[kRowArea + codePoint] = byte;
    }
    return image;
}

// Latin-1: every byte is the code point of the same value.
inline std::vector<unsigned char> latin1Table(std::string_view name)
{
    std::map<unsigned char, std::uint16_t> upper;
    for (unsigned b = 0x80; b < 0x100; ++b)
        upper[static_cast<unsigned char>(b)] = static_cast<std::uint16_t>(b);
    return sbcsTable(name, upper);
}

}  // namespace nlq_test
