// Reading the registry's hardware map: a depth-first search for keys by subkey name or
// by one of their values, and values read back as text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host_storage.h"

namespace inv {

// The search keeps at most this many key paths.
inline constexpr std::size_t kMaxRegistryKeys = 1000;
// Keys nested deeper than this below the starting key are not walked (the registry
// itself allows no deeper nesting).
inline constexpr int kMaxRegistryDepth = 512;
// Buffers of the enumeration: names of subkeys and values, value data.
inline constexpr std::size_t kRegistryNameBuffer = 128;
inline constexpr std::size_t kRegistryDataBuffer = 1024;

// Walks HKEY_LOCAL_MACHINE\path depth-first, in pre-order, and appends to keys the path
// of every key that has a value matching the value patterns (name, data, or both when
// both are given), and the path of every subkey whose name matches keyNamePattern.
// Matching is equality ignoring letter case when exact is set; otherwise the pattern
// must occur in the candidate, both in upper case (and a subkey's path then carries its
// name in upper case). Returns 1 when the key was walked to the end, 0 when it could not
// be opened or queried or a subkey enumeration failed. At most kMaxRegistryKeys paths
// are kept; later finds are dropped.
int findRegistryKeys(const std::string& path, std::optional<std::string> keyNamePattern,
                     std::optional<std::string> valueNamePattern, std::optional<std::string> valueDataPattern,
                     std::vector<std::string>& keys, bool exact);

// Reads a value as text into output, which stands for a buffer of bufferSize bytes (at
// most bufferSize - 1 characters). Strings are copied; binary data becomes "%02x" per
// byte when binaryAsHex is set, else the bytes themselves; 32-bit numbers of either byte
// order become the signed decimal of the four bytes as they are stored, little end
// first; multi-strings are joined with nothing between them; other types leave output
// as it was. The result then goes through collapseSpaces. Returns 1 when the value was
// read, 0 otherwise, and then output is untouched.
int readRegistryValueText(const platform::RegistryKey& key, const std::string& valueName, std::string& output,
                          std::size_t bufferSize, bool binaryAsHex);

// The conversion of readRegistryValueText, on a value already read.
void registryValueText(const platform::RegistryValue& value, std::string& output, std::size_t bufferSize,
                       bool binaryAsHex);

// Splits text at blanks and joins the non-empty pieces with one blank: no leading or
// trailing blanks, no runs. Returns 0 (and an empty output) for an empty text, else 1.
int collapseSpaces(std::string_view text, std::string& output);

}  // namespace inv
