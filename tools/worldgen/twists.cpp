#include "tools/worldgen/twists.h"

#include <array>

namespace worldgen {

namespace {

constexpr std::array<std::string_view, kTwistCount> kNames = {
    "load-fails", "adapter-count-beyond", "name-fails", "open-fails", "attributes-fail", "port-fails",
    "discovered-port-fails", "discovered-count-more", "old-qlogic-driver", "other-vendor-adapter", "no-target",
    "report-luns-fails", "report-luns-sense", "report-luns-long-list", "report-luns-empty", "report-luns-many",
    "report-luns-raw-short", "flat-lun", "eight-byte-lun",
    "inquiry-fails", "inquiry-sense", "no-device", "unsupported-peripheral", "inquiry-short", "inquiry-raw-odd",
    "controller-unit", "odd-texts",
    "page80-fails", "page80-missing", "page80-blank", "page80-raw-long", "page83-fails", "page83-missing",
    "page83-text", "page83-eui64", "page83-raw-truncated",
    "no-name-server", "no-config-server", "ct-status-fails", "ct-reject", "ct-raw-short", "platform-unknown",
    "rnid-fails", "rnid-raw", "rnid-ipv6", "adapter-fabric-null", "adapter-ct-override", "symbolic-names-absent",
    "many-platform-entries",
    "volume-fails", "geometry-fails", "physical-open-fails", "device-open-fails",
};

}  // namespace

std::string_view twistName(Twist t) { return kNames[static_cast<std::size_t>(t)]; }

std::optional<Twist> twistByName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return static_cast<Twist>(i);
    return std::nullopt;
}

}  // namespace worldgen
