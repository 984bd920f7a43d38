// Helpers shared by the locale and catalog tests: environment variables set for one test
// and restored afterwards, a scratch folder (optionally the current folder), files
// written from bytes (codeset table images come from tests/support/codeset_image.h).
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

#include "tests/support/codeset_image.h"
#include "tests/support/test_helpers.h"

namespace nlq_test {

inline void setVariable(const std::string& name, const std::optional<std::string>& value)
{
    testsupport::setEnv(name.c_str(), value.value_or(""));  // empty: removed
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

using testsupport::hostPath;
using testsupport::latin1Table;
using testsupport::sbcsTable;

}  // namespace nlq_test
