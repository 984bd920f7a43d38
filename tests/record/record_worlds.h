// The worlds every recording test goes through: the sample world, every test world of
// the repository, and the generated worlds when the build made them.
#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace recordtest {

// How many generated worlds the tests expect when the build generates them.
inline constexpr int kGeneratedWorlds = 200;

// The world files below the source tree's worlds/ and tests/*/worlds/, sorted.
inline std::vector<std::string> repositoryWorlds(const std::string& sourceDir) {
    namespace fs = std::filesystem;
    std::vector<std::string> out;
    auto collect = [&out](const fs::path& dir) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec))
            if (e.path().extension() == ".json") out.push_back(e.path().generic_string());
    };
    collect(fs::path(sourceDir) / "worlds");
    std::error_code ec;
    for (const auto& area : fs::directory_iterator(fs::path(sourceDir) / "tests", ec))
        if (area.is_directory()) collect(area.path() / "worlds");
    std::sort(out.begin(), out.end());
    return out;
}

// A world's name for test names: its area and file name, letters and digits only.
inline std::string worldLabel(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path p(path);
    const fs::path area = p.parent_path().parent_path();
    const bool underTests = area.parent_path().filename() == "tests";
    std::string label = (underTests ? area.filename().string() : std::string("top")) + "_" + p.stem().string();
    for (char& c : label)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return label;
}

}  // namespace recordtest
