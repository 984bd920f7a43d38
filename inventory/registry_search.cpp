#include "inventory/registry_search.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "common/text.h"

namespace inv {

namespace {

void toUpper(std::string& text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// The non-exact mode works on upper-cased texts, candidate and pattern alike.
bool matches(std::string& candidate, std::string& pattern, bool exact) {
    if (exact) return equalsIgnoringCase(candidate, pattern);
    toUpper(candidate);
    toUpper(pattern);
    return candidate.find(pattern) != std::string::npos;
}

// Value data compared as text: the bytes up to the first terminator.
std::string dataText(const std::vector<uint8_t>& data) {
    const auto end = std::find(data.begin(), data.end(), uint8_t{0});
    return std::string(data.begin(), end);
}

void appendKey(std::vector<std::string>& keys, std::string path) {
    if (keys.size() < kMaxRegistryKeys) keys.push_back(std::move(path));
}

int search(const std::string& path, std::optional<std::string>& keyNamePattern,
           std::optional<std::string>& valueNamePattern, std::optional<std::string>& valueDataPattern,
           std::vector<std::string>& keys, bool exact, int depth) {
    auto key = platform::RegistryKey::openLocalMachine(path);
    if (!key) return 0;
    const auto info = key->queryInfo();
    if (!info) return 0;

    if (valueNamePattern || valueDataPattern) {
        for (uint32_t i = 0; i < info->valueCount; ++i) {
            platform::RegistryValue value;
            const auto status = key->valueAt(i, kRegistryNameBuffer, kRegistryDataBuffer, value);
            if (status == platform::RegistryEnum::NoMoreItems) break;
            if (status != platform::RegistryEnum::Ok) continue;  // does not fit the buffers
            std::string data = dataText(value.data);
            const bool nameOk = !valueNamePattern || matches(value.name, *valueNamePattern, exact);
            const bool dataOk = !valueDataPattern || matches(data, *valueDataPattern, exact);
            if (nameOk && dataOk) {
                appendKey(keys, path);
                break;
            }
        }
    }

    for (uint32_t i = 0; i < info->subkeyCount; ++i) {
        std::string name;
        if (key->subkeyName(i, kRegistryNameBuffer, name) != platform::RegistryEnum::Ok) return 0;
        if (keyNamePattern && matches(name, *keyNamePattern, exact)) appendKey(keys, path + "\\" + name);
        // The key is closed while the subtree is walked, so that a deep walk holds one
        // open key at a time.
        key.reset();
        if (depth < kMaxRegistryDepth)
            search(path + "\\" + name, keyNamePattern, valueNamePattern, valueDataPattern, keys, exact, depth + 1);
        key = platform::RegistryKey::openLocalMachine(path);
        if (!key) return 0;
    }
    return 1;
}

}  // namespace

int findRegistryKeys(const std::string& path, std::optional<std::string> keyNamePattern,
                     std::optional<std::string> valueNamePattern, std::optional<std::string> valueDataPattern,
                     std::vector<std::string>& keys, bool exact) {
    return search(path, keyNamePattern, valueNamePattern, valueDataPattern, keys, exact, 0);
}

int readRegistryValueText(const platform::RegistryKey& key, const std::string& valueName, std::string& output,
                          std::size_t bufferSize, bool binaryAsHex) {
    const auto value = key.queryValue(valueName);
    if (!value || bufferSize == 0) return 0;
    registryValueText(*value, output, bufferSize, binaryAsHex);
    return 1;
}

void registryValueText(const platform::RegistryValue& value, std::string& output, std::size_t bufferSize,
                       bool binaryAsHex) {
    if (bufferSize == 0) return;
    const std::size_t room = bufferSize - 1;
    const std::vector<uint8_t>& data = value.data;

    std::string text;
    switch (value.type) {
        case platform::kRegString:
        case platform::kRegExpandString:
            text = dataText(data);
            break;
        case platform::kRegBinary:
            for (uint8_t b : data) {
                if (binaryAsHex) {
                    char hex[3];
                    std::snprintf(hex, sizeof hex, "%02x", b);
                    text += hex;
                } else {
                    text.push_back(static_cast<char>(b));
                }
            }
            // The buffer is a terminated text: a zero byte ends it.
            text.resize(std::strlen(text.c_str()));
            break;
        case platform::kRegDword:
        case platform::kRegDwordBigEndian: {
            // The four bytes as they lie in memory, little end first, whatever the type
            // says about their order; missing bytes read as zero.
            uint8_t bytes[4] = {};
            std::copy_n(data.begin(), std::min<std::size_t>(data.size(), 4), bytes);
            const int32_t n = static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                                                   uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
            text = std::to_string(n);
            break;
        }
        case platform::kRegMultiString: {
            std::size_t at = 0;
            while (at < data.size() && data[at] != 0) {
                const auto end = std::find(data.begin() + static_cast<std::ptrdiff_t>(at), data.end(), uint8_t{0});
                text.append(data.begin() + static_cast<std::ptrdiff_t>(at), end);
                at = static_cast<std::size_t>(end - data.begin()) + 1;
            }
            break;
        }
        default:
            text = output;
            break;
    }
    text.resize(scan::characterBoundary(text, room));
    std::string collapsed;
    collapseSpaces(text, collapsed);
    output = std::move(collapsed);
}

int collapseSpaces(std::string_view text, std::string& output) {
    output.clear();
    if (text.empty()) return 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const auto end = std::min(text.find(' ', start), text.size());
        if (!output.empty()) output.push_back(' ');
        output.append(text.substr(start, end - start));
        at = end;
    }
    return 1;
}

}  // namespace inv
