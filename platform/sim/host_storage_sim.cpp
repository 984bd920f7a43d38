// Drives, devices and registry of the simulated host: the "drives", "subst",
// "physicalDrives" and "registry" members of the world's host section (docs/world-host.md).
// Without a world there is nothing: no drive letters, no devices, an empty registry.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

#include "base/ascii.h"
#include "base/hex.h"

#include "platform/backend.h"
#include "platform/sim/world_host.h"

namespace platform {

using nlohmann::json;

namespace {

// A member of an object, or null.
const json* member(const json* object, std::string_view name) {
    if (!object || !object->is_object()) return nullptr;
    auto it = object->find(name);
    return it == object->end() ? nullptr : &*it;
}

bool flag(const json* object, std::string_view name) {
    const json* f = member(object, name);
    return f && f->is_boolean() && f->get<bool>();
}

const json* drives() {
    const json* d = member(simulatedHost(), "drives");
    return d && d->is_array() ? d : nullptr;
}

// The drive of a letter (either case), or null.
const json* driveOf(char letter) {
    const json* list = drives();
    if (!list) return nullptr;
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const auto& d : *list) {
        const std::string& l = d.at("letter").get_ref<const std::string&>();
        if (!l.empty() && std::toupper(static_cast<unsigned char>(l[0])) == upper) return &d;
    }
    return nullptr;
}

// The drive a root path "X:\" names, or null.
const json* driveOfRoot(const std::string& rootPath) {
    if (rootPath.size() != 3 || rootPath[1] != ':' || rootPath[2] != '\\') return nullptr;
    return driveOf(rootPath[0]);
}

using base::equalsIgnoringCase;

std::optional<ScsiAddress> addressOf(const json* node) {
    const json* a = member(node, "scsiAddress");
    if (!a) return std::nullopt;
    return ScsiAddress{a->at("port").get<uint8_t>(), a->at("path").get<uint8_t>(), a->at("target").get<uint8_t>(),
                       a->at("lun").get<uint8_t>()};
}

}  // namespace

// --- Logical drives -------------------------------------------------------------------

namespace backend {

uint32_t logicalDriveMask() {
    uint32_t mask = 0;
    if (const json* list = drives())
        for (const auto& d : *list) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(d.at("letter").get_ref<const std::string&>()[0])));
            if (c >= 'A' && c <= 'Z') mask |= 1u << (c - 'A');
        }
    return mask;
}

std::optional<std::string> substCommandOutput() {
    const json* s = member(simulatedHost(), "subst");
    if (!s) return std::string();  // the command runs and prints nothing
    if (s->is_null()) return std::nullopt;
    std::string out;
    for (const auto& line : *s) out += line.get<std::string>() + "\n";
    return out;
}

uint32_t driveType(const std::string& rootPath) {
    const json* d = driveOfRoot(rootPath);
    return d ? d->at("type").get<uint32_t>() : kDriveNoRootDir;
}

std::optional<VolumeInformation> volumeInformation(const std::string& rootPath) {
    const json* v = member(driveOfRoot(rootPath), "volume");
    if (!v || flag(v, "fails")) return std::nullopt;
    VolumeInformation info;
    if (const json* l = member(v, "label")) info.label = l->get<std::string>();
    if (const json* f = member(v, "fileSystem")) info.fileSystem = f->get<std::string>();
    // A text longer than its buffer makes the real call fail.
    if (info.label.size() >= kVolumeLabelBuffer || info.fileSystem.size() >= kFileSystemNameBuffer)
        return std::nullopt;
    return info;
}

std::optional<FreeSpace> diskFreeSpace(const std::string& rootPath) {
    const json* f = member(driveOfRoot(rootPath), "freeSpace");
    if (!f || flag(f, "fails")) return std::nullopt;
    FreeSpace space;
    space.totalBytes = f->at("totalBytes").get<uint64_t>();
    space.totalFreeBytes = f->at("totalFreeBytes").get<uint64_t>();
    const json* avail = member(f, "freeBytesAvailable");
    space.freeBytesAvailable = avail ? avail->get<uint64_t>() : space.totalFreeBytes;
    return space;
}

}  // namespace backend

// --- Devices --------------------------------------------------------------------------

struct Device::Impl {
    const json* node = nullptr;  // the drive's "device" member or the physical drive
    bool physical = false;
};

Device::Device(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Device::Device(Device&&) noexcept = default;
Device& Device::operator=(Device&&) noexcept = default;
Device::~Device() = default;

std::optional<Device> Device::openBackend(const std::string& path, DeviceAccess /*access*/) {
    constexpr std::string_view kPrefix = "\\\\.\\";
    constexpr std::string_view kPhysical = "PHYSICALDRIVE";
    std::string_view rest(path);
    if (!rest.starts_with(kPrefix)) return std::nullopt;
    rest.remove_prefix(kPrefix.size());

    auto impl = std::make_unique<Impl>();
    if (rest.size() == 2 && rest[1] == ':') {
        const json* d = driveOf(rest[0]);
        if (!d) return std::nullopt;
        static const json kNoAnswers = json::object();
        const json* dev = member(d, "device");
        if (flag(dev, "openFails")) return std::nullopt;
        impl->node = dev ? dev : &kNoAnswers;
    } else if (rest.size() > kPhysical.size() && equalsIgnoringCase(rest.substr(0, kPhysical.size()), kPhysical)) {
        const std::string_view digits = rest.substr(kPhysical.size());
        unsigned number = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        const json* list = member(simulatedHost(), "physicalDrives");
        if (!list || number >= list->size()) return std::nullopt;
        const json& disk = (*list)[number];
        if (flag(&disk, "openFails")) return std::nullopt;
        impl->node = &disk;
        impl->physical = true;
    } else {
        return std::nullopt;
    }
    return Device(std::move(impl));
}

std::optional<ScsiAddress> Device::backendScsiAddress() const { return addressOf(impl_->node); }

std::optional<DriveGeometry> Device::backendDriveGeometry() const {
    const json* g = member(impl_->node, "geometry");
    if (!impl_->physical || !g || flag(g, "fails")) return std::nullopt;
    DriveGeometry geo;
    geo.cylinders = g->at("cylinders").get<int64_t>();
    if (const json* m = member(g, "mediaType")) geo.mediaType = m->get<uint32_t>();
    geo.tracksPerCylinder = g->at("tracksPerCylinder").get<uint32_t>();
    geo.sectorsPerTrack = g->at("sectorsPerTrack").get<uint32_t>();
    geo.bytesPerSector = g->at("bytesPerSector").get<uint32_t>();
    return geo;
}

// --- Registry -------------------------------------------------------------------------

namespace {

// The key at a backslash-separated path below HKEY_LOCAL_MACHINE (names compared
// ignoring case, as the registry does), or null.
const json* registryKeyAt(const std::string& path) {
    const json* key = member(simulatedHost(), "registry");
    if (!key) return nullptr;
    for (const std::string_view name : registryKeyNames(path)) {
        const json* subkeys = member(key, "keys");
        const json* found = nullptr;
        if (subkeys)
            for (const auto& k : *subkeys)
                if (equalsIgnoringCase(k.at("name").get_ref<const std::string&>(), name)) {
                    found = &k;
                    break;
                }
        if (!found) return nullptr;
        key = found;
    }
    return key;
}

uint8_t hexDigit(char c) { return static_cast<uint8_t>(base::hexDigitValue(c)); }

std::vector<uint8_t> bytesOfHex(const std::string& hex) {
    std::vector<uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(hexDigit(hex[i]) << 4 | hexDigit(hex[i + 1])));
    return out;
}

void appendText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// A world value as the registry stores it.
RegistryValue storedValue(const json& v) {
    RegistryValue out;
    out.name = v.at("name").get<std::string>();
    const std::string& type = v.at("type").get_ref<const std::string&>();
    const json* data = member(&v, "data");
    if (type == "string" || type == "expandString") {
        out.type = type == "string" ? kRegString : kRegExpandString;
        if (data) appendText(out.data, data->get<std::string>());
    } else if (type == "binary") {
        out.type = kRegBinary;
    } else if (type == "dword" || type == "dwordBigEndian") {
        out.type = type == "dword" ? kRegDword : kRegDwordBigEndian;
        const uint32_t n = data ? static_cast<uint32_t>(data->get<int64_t>()) : 0;
        const bool big = out.type == kRegDwordBigEndian;
        for (int i = 0; i < 4; ++i) out.data.push_back(static_cast<uint8_t>(n >> (big ? 24 - 8 * i : 8 * i)));
    } else if (type == "multiString") {
        out.type = kRegMultiString;
        if (data)
            for (const auto& s : *data) appendText(out.data, s.get<std::string>());
        out.data.push_back(0);
    } else {
        out.type = member(&v, "typeCode") ? v.at("typeCode").get<uint32_t>() : kRegNone;
    }
    // Raw bytes stand for whatever the typed data would have given.
    if (const json* hex = member(&v, "hex")) out.data = bytesOfHex(hex->get<std::string>());
    return out;
}

}  // namespace

struct RegistryKey::Impl {
    const json* node = nullptr;
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::openBackend(const std::string& path) {
    const json* node = registryKeyAt(path);
    if (!node || flag(node, "openFails")) return std::nullopt;
    auto impl = std::make_unique<Impl>();
    impl->node = node;
    return RegistryKey(std::move(impl));
}

std::optional<RegistryKeyInfo> RegistryKey::backendQueryInfo() const {
    if (flag(impl_->node, "queryFails")) return std::nullopt;
    RegistryKeyInfo info;
    if (const json* k = member(impl_->node, "keys")) info.subkeyCount = static_cast<uint32_t>(k->size());
    if (const json* v = member(impl_->node, "values")) info.valueCount = static_cast<uint32_t>(v->size());
    return info;
}

RegistryEnum RegistryKey::backendSubkeyName(uint32_t index, std::size_t nameBuffer, std::string& name) const {
    if (flag(impl_->node, "enumFails")) return RegistryEnum::Failed;
    const json* keys = member(impl_->node, "keys");
    if (!keys || index >= keys->size()) return RegistryEnum::NoMoreItems;
    const std::string& n = (*keys)[index].at("name").get_ref<const std::string&>();
    if (n.size() >= nameBuffer) return RegistryEnum::DoesNotFit;
    name = n;
    return RegistryEnum::Ok;
}

RegistryEnum RegistryKey::backendValueAt(uint32_t index, std::size_t nameBuffer, std::size_t dataBuffer,
                                  RegistryValue& value) const {
    const json* values = member(impl_->node, "values");
    if (!values || index >= values->size()) return RegistryEnum::NoMoreItems;
    RegistryValue v = storedValue((*values)[index]);
    if (v.name.size() >= nameBuffer || v.data.size() > dataBuffer) return RegistryEnum::DoesNotFit;
    value = std::move(v);
    return RegistryEnum::Ok;
}

std::optional<RegistryValue> RegistryKey::backendQueryValue(const std::string& name) const {
    const json* values = member(impl_->node, "values");
    if (!values) return std::nullopt;
    for (const auto& v : *values)
        if (equalsIgnoringCase(v.at("name").get_ref<const std::string&>(), name)) return storedValue(v);
    return std::nullopt;
}

}  // namespace platform
