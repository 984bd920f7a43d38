#include "tests/sim-hba/sim_fixture.h"

#include <cstdio>

namespace simtest {

Bytes bytes(std::string_view hex) {
    Bytes out;
    int hi = -1;
    for (char c : hex) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) continue;
        if (hi < 0) {
            hi = d;
        } else {
            out.push_back(static_cast<uint8_t>(hi * 16 + d));
            hi = -1;
        }
    }
    return out;
}

std::string padded(std::string_view text, std::size_t width) {
    std::string s(text);
    s.resize(width, ' ');
    return hex(s.data(), s.size());
}

const hba::HbaApi& api() {
#ifdef SANSIM_DROPIN_PATH_KNOWN
    static const hba::HbaLibrary library(SANSIM_DROPIN);
#else
    static const hba::HbaLibrary library;  // hbaapi.dll beside the test program
#endif
    return library.api();
}

void SimHba::TearDown() {
    api().HBA_FreeLibrary();
    setEnv("SANSIM_CALL_LOG", "");
    setEnv("SANSIM_WORLD", "");
}

void SimHba::useWorld(std::string_view json) {
    world_.emplace(santest::Json::parse(json));
    api().HBA_LoadLibrary();
    std::remove(world_->callLogPath().c_str());  // the log starts after the loading
}

HBA_HANDLE SimHba::open(HBA_UINT32 index) {
    char name[256] = {};
    EXPECT_EQ(api().HBA_GetAdapterName(index, name), HBA_STATUS_OK);
    return api().HBA_OpenAdapter(name);
}

Bytes ctRequest(uint8_t type, uint8_t subtype, uint16_t code, const Bytes& payload) {
    Bytes r(16 + payload.size(), 0);
    r[0] = 0x01;
    r[4] = type;
    r[5] = subtype;
    r[8] = static_cast<uint8_t>(code >> 8);
    r[9] = static_cast<uint8_t>(code);
    for (std::size_t i = 0; i < payload.size(); ++i) r[16 + i] = payload[i];
    return r;
}

Bytes nameBlock(std::string_view name) {
    Bytes b(256, 0);
    b[0] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), b.begin() + 1);
    return b;
}

}  // namespace simtest
