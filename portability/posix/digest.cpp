// MD5 through OpenSSL's libcrypto.
#include <openssl/evp.h>

#include "portability/zur_system.h"

namespace zur {

bool md5Digest(std::string_view data, std::array<uint8_t, 16>& digest) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), out, &length, EVP_md5(), nullptr) != 1 || length != digest.size())
        return false;
    std::copy(out, out + length, digest.begin());
    return true;
}

}  // namespace zur
