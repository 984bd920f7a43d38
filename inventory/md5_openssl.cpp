// MD5 through OpenSSL's libcrypto.
#include <openssl/evp.h>

#include <memory>

#include "base/text.h"
#include "inventory/disk_text.h"

namespace inv {

std::optional<std::string> md5HexDigest(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1 || length != 16)
        return std::nullopt;
    return scan::hexTextLower(std::span<const uint8_t>(digest, length));
}

}  // namespace inv
