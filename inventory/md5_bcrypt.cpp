// MD5 through the Windows cryptography API (BCrypt).
#include <windows.h>
#include <bcrypt.h>

#include "base/text.h"
#include "inventory/disk_text.h"

namespace inv {

namespace {

struct Algorithm {
    BCRYPT_ALG_HANDLE handle = nullptr;
    ~Algorithm() {
        if (handle) BCryptCloseAlgorithmProvider(handle, 0);
    }
};

struct Hash {
    BCRYPT_HASH_HANDLE handle = nullptr;
    ~Hash() {
        if (handle) BCryptDestroyHash(handle);
    }
};

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

std::optional<std::string> md5HexDigest(std::string_view text) {
    if (text.empty()) return std::nullopt;
    Algorithm algorithm;
    if (!succeeded(BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
        return std::nullopt;
    Hash hash;
    if (!succeeded(BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0))) return std::nullopt;
    // The API takes a non-const pointer but does not write through it.
    auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
    if (!succeeded(BCryptHashData(hash.handle, bytes, static_cast<ULONG>(text.size()), 0))) return std::nullopt;
    uint8_t digest[16];
    if (!succeeded(BCryptFinishHash(hash.handle, digest, sizeof digest, 0))) return std::nullopt;
    return scan::hexTextLower(digest);
}

}  // namespace inv
