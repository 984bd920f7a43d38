// Twists: the odd answers and faults a generated world can carry, one per probing branch
// of the scanner (a failing call, a short or inconsistent answer, a missing server). A
// varied world draws some at random; a forced twist is applied at least once.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/worldgen/rng.h"

namespace worldgen {

enum class Twist : uint8_t {
    // library and adapters
    LoadFails, AdapterCountBeyond, NameFails, OpenFails, AttributesFail, PortFails,
    DiscoveredPortFails, DiscoveredCountMore, OldQLogicDriver, OtherVendorAdapter, NoTarget,
    // REPORT LUNS
    ReportLunsFails, ReportLunsSense, ReportLunsLongList, ReportLunsEmpty, ReportLunsMany,
    ReportLunsRawShort, FlatLun, EightByteLun,
    // INQUIRY
    InquiryFails, InquirySense, NoDevice, UnsupportedPeripheral, InquiryShort, InquiryRawOdd,
    ControllerUnit, OddTexts,
    // pages 0x80 and 0x83
    Page80Fails, Page80Missing, Page80Blank, Page80RawLong, Page83Fails, Page83Missing,
    Page83Text, Page83Eui64, Page83RawTruncated,
    // fabric
    NoNameServer, NoConfigServer, CtStatusFails, CtReject, CtRawShort, PlatformUnknown,
    RnidFails, RnidRaw, RnidIpv6, AdapterFabricNull, AdapterCtOverride, SymbolicNamesAbsent,
    ManyPlatformEntries,
    // host
    VolumeFails, GeometryFails, PhysicalOpenFails, DeviceOpenFails,
    Count
};

inline constexpr std::size_t kTwistCount = static_cast<std::size_t>(Twist::Count);
using TwistSet = std::bitset<kTwistCount>;

std::string_view twistName(Twist t);
std::optional<Twist> twistByName(std::string_view name);

// Decides, site by site, whether a twist applies: a forced twist on its first site and
// then on one site in four; a twist drawn at random the same way.
class Twister {
public:
    Twister(TwistSet active, Rng& rng) : active_(active), rng_(rng) {}

    bool hit(Twist t) {
        const auto i = static_cast<std::size_t>(t);
        if (!active_[i]) return false;
        if (!applied_[i] || rng_.oneIn(4)) {
            applied_[i] = true;
            return true;
        }
        return false;
    }
    // The twists applied at least once.
    TwistSet applied() const { return applied_; }

private:
    TwistSet active_;
    TwistSet applied_;
    Rng& rng_;
};

}  // namespace worldgen
