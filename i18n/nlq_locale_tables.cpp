// Codeset tables on disk: the folders they are looked for in (NLQDIR/codeset, NLQDIR,
// BINDIR/../generic/codeset, the current folder), redirect files that name another
// table, and opening a codeset record by name.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "i18n/nlq_codeset.h"
#include "i18n/nlq_codeset_table.h"
#include "i18n/nlq_locale.h"
#include "portability/zur_system.h"
#include "i18n/nlq_locale_text.h"

namespace {

constexpr std::size_t kMaxPath = 253;       // folder and file name together
constexpr int kMaxFilesPerFolder = 5;       // a redirect chain longer than this fails
constexpr std::size_t kRedirectBuffer = 32; // a redirect names at most 32 bytes
constexpr std::size_t kNameBuffer = 128;

struct FileBytes {
    unsigned char* data = nullptr;  // std::malloc
    std::size_t size = 0;
};

// The whole file, or nothing when it cannot be opened, sized or read.
FileBytes readWhole(const std::string& path)
{
    FileBytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        auto* data = static_cast<unsigned char*>(std::malloc(size > 0 ? static_cast<std::size_t>(size) : 1));
        if (data && std::fread(data, 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size)) {
            bytes.data = data;
            bytes.size = static_cast<std::size_t>(size);
        } else {
            std::free(data);
        }
    }
    std::fclose(file);
    return bytes;
}

bool isTableImage(const FileBytes& bytes)
{
    return bytes.size >= nlq_table::kMinImageSize &&
           std::memcmp(bytes.data + nlq_table::kMagicOffset, nlq_table::kMagic, sizeof nlq_table::kMagic) == 0;
}

// The table file name that a redirect file holds: its text in the process codeset,
// without white space and control characters. Empty when it names nothing usable; a name
// with a folder separator would leave the folder and is refused.
std::string redirectTarget(const FileBytes& bytes)
{
    char converted[kRedirectBuffer];
    const std::size_t n = nlq_from_utf8(nullptr, reinterpret_cast<const char*>(bytes.data),
                                        static_cast<std::ptrdiff_t>(bytes.size), converted, sizeof converted);
    std::string name;
    for (std::size_t i = 0; i < n && i < sizeof converted; ++i) {
        const auto c = static_cast<unsigned char>(converted[i]);
        if (!std::isspace(c) && !std::iscntrl(c))
            name.push_back(static_cast<char>(c));
    }
    if (name.find_first_of("/\\") != std::string::npos)
        return {};
    return name;
}

// Looks for the table `name` in one folder (prefix ending in a separator, or empty).
NlqTableImage readTable(const std::string& folder, std::string name)
{
    for (int attempt = 0; attempt < kMaxFilesPerFolder && !name.empty(); ++attempt) {
        const std::string path = folder + name;
        if (path.size() > kMaxPath)
            break;
        FileBytes bytes = readWhole(path);
        if (!bytes.data)
            break;
        if (isTableImage(bytes))
            return {bytes.data, bytes.size};
        name = redirectTarget(bytes);
        std::free(bytes.data);
    }
    return {nullptr, 0};
}

}  // namespace

NlqTableImage nlq_codeset_find_table(const char* name)
{
    if (!name || !*name)
        return {nullptr, 0};
    const std::string sep(1, zur_path_separator);
    const std::string_view nlqdir = nlq::environmentValue("NLQDIR");
    const std::string_view bindir = nlq::environmentValue("BINDIR");

    std::vector<std::string> folders;
    if (!nlqdir.empty() && nlqdir.size() <= 244)
        folders.push_back(std::string(nlqdir) + sep + "codeset" + sep);
    if (!nlqdir.empty() && nlqdir.size() <= 252)
        folders.push_back(std::string(nlqdir) + sep);
    if (!bindir.empty() && bindir.size() <= 233)
        folders.push_back(std::string(bindir) + sep + ".." + sep + "generic" + sep + "codeset" + sep);
    folders.emplace_back();

    for (const std::string& folder : folders) {
        const NlqTableImage image = readTable(folder, name);
        if (image.data)
            return image;
    }
    return {nullptr, 0};
}

NlqCodeset* nlq_codeset_load(const char* canonicalName)
{
    if (!canonicalName)
        return nullptr;
    if (std::strcmp(canonicalName, "UTF8") == 0)
        return nlq_codeset_utf8();
    const NlqTableImage image = nlq_codeset_find_table(canonicalName);
    if (!image.data)
        return nullptr;
    return nlq_codeset_from_table(image.data, image.size);
}

NlqCodeset* nlq_codeset_open(const char* name)
{
    if (!name)
        return nullptr;
    if (std::strpbrk(name, "/\\"))
        return nlq_codeset_load(name);
    char canonical[kNameBuffer];
    nlq_codeset_normalize(name, canonical, sizeof canonical);
    return nlq_codeset_load(canonical);
}
