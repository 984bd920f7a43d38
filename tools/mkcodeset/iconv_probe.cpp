#include "tools/mkcodeset/iconv_probe.h"

#include <cerrno>
#include <iconv.h>

namespace mkcodeset {

namespace {
iconv_t handle(void* p) { return static_cast<iconv_t>(p); }
const iconv_t kFailed = reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1));
}  // namespace

IconvProbe::IconvProbe(const std::string& codeset) {
    iconv_t to = iconv_open("UTF-32LE", codeset.c_str());
    iconv_t from = iconv_open(codeset.c_str(), "UTF-32LE");
    if (to != kFailed) toUnicode_ = to;
    if (from != kFailed) fromUnicode_ = from;
}

IconvProbe::~IconvProbe() {
    if (toUnicode_) iconv_close(handle(toUnicode_));
    if (fromUnicode_) iconv_close(handle(fromUnicode_));
}

Probe IconvProbe::decode(const std::vector<uint8_t>& bytes, std::vector<uint32_t>* out) {
    iconv(handle(toUnicode_), nullptr, nullptr, nullptr, nullptr);
    std::vector<char> in(bytes.begin(), bytes.end());
    char buffer[64];
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(handle(toUnicode_), &inp, &inLeft, &outp, &outLeft);
    int error = rc == static_cast<size_t>(-1) ? errno : 0;
    out->clear();
    for (char* p = buffer; p + 4 <= outp; p += 4) {
        auto* u = reinterpret_cast<unsigned char*>(p);
        out->push_back(u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<uint32_t>(u[3]) << 24));
    }
    if (error == EINVAL) return Probe::Incomplete;
    if (error != 0 || inLeft != 0) return Probe::Invalid;
    return Probe::Ok;
}

bool IconvProbe::encode(uint32_t cp, std::vector<uint8_t>* out) {
    iconv(handle(fromUnicode_), nullptr, nullptr, nullptr, nullptr);
    unsigned char in[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                           static_cast<unsigned char>(cp >> 16), static_cast<unsigned char>(cp >> 24)};
    char buffer[32];
    char* inp = reinterpret_cast<char*>(in);
    size_t inLeft = 4;
    char* outp = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(handle(fromUnicode_), &inp, &inLeft, &outp, &outLeft);
    if (rc == static_cast<size_t>(-1) || inLeft != 0) return false;
    if (iconv(handle(fromUnicode_), nullptr, nullptr, &outp, &outLeft) == static_cast<size_t>(-1)) return false;
    out->assign(buffer, outp);
    return true;
}

}  // namespace mkcodeset
