// MD5 through the Windows cryptography API (BCrypt).
#include <windows.h>
#include <bcrypt.h>

#include "portability/zur_system.h"

namespace zur {

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

bool md5Digest(std::string_view data, std::array<uint8_t, 16>& digest) {
    Algorithm algorithm;
    if (!succeeded(BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_MD5_ALGORITHM, nullptr, 0))) return false;
    Hash hash;
    if (!succeeded(BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0))) return false;
    // The API takes a non-const pointer but does not write through it.
    auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(data.data()));
    if (!succeeded(BCryptHashData(hash.handle, bytes, static_cast<ULONG>(data.size()), 0))) return false;
    return succeeded(BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0));
}

}  // namespace zur
