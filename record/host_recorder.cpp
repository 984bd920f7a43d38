#include "record/host_recorder.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/text.h"
#include "platform/host_storage.h"

namespace record {

using Json = nlohmann::ordered_json;
using base::equalsIgnoringCase;
using platform::RegistryEnum;
using platform::RegistryValue;

namespace {

// Buffer size assumed for stand-in names when the scan never said which it uses.
constexpr std::size_t kDefaultNameBuffer = 256;

// A name that no enumeration buffer of nameBuffer bytes can take.
std::string standInName(std::size_t nameBuffer, std::size_t index) {
    return std::string(nameBuffer, '~') + std::to_string(index);
}

enum class Slot { Unread, Read, TooLarge };

struct ValueSlot {
    Slot state = Slot::Unread;
    RegistryValue value;
};

struct RegNode {
    std::string name;
    bool opened = false, openFails = false, queryFails = false, enumFails = false;
    std::optional<platform::RegistryKeyInfo> info;
    std::vector<std::unique_ptr<RegNode>> keys;   // by enumeration index; null: not read
    std::vector<std::unique_ptr<RegNode>> extra;  // opened by path, never enumerated
    std::vector<ValueSlot> values;                // by enumeration index
    std::vector<RegistryValue> queried;           // read by name, never enumerated
    std::size_t nameBuffer = kDefaultNameBuffer;

    RegNode* child(std::string_view n) {
        for (auto& k : keys)
            if (k && equalsIgnoringCase(k->name, n)) return k.get();
        for (auto& k : extra)
            if (equalsIgnoringCase(k->name, n)) return k.get();
        return nullptr;
    }
};

struct Drive {
    std::optional<uint32_t> type;
    std::optional<std::optional<platform::VolumeInformation>> volume;
    std::optional<std::optional<platform::FreeSpace>> freeSpace;
    std::optional<bool> opened;
    std::optional<platform::ScsiAddress> address;
};

struct PhysicalDrive {
    bool opened = false;
    std::optional<std::optional<platform::DriveGeometry>> geometry;
    std::optional<platform::ScsiAddress> address;
};

// "\\.\X:" gives the letter X; "\\.\PHYSICALDRIVEn" gives n; anything else neither.
struct DevicePath {
    char letter = 0;
    std::optional<unsigned> physical;
};

DevicePath parseDevicePath(std::string_view path) {
    constexpr std::string_view kPrefix = "\\\\.\\", kPhysical = "PHYSICALDRIVE";
    DevicePath d;
    if (!path.starts_with(kPrefix)) return d;
    path.remove_prefix(kPrefix.size());
    if (path.size() == 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        d.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    } else if (path.size() > kPhysical.size() && equalsIgnoringCase(path.substr(0, kPhysical.size()), kPhysical)) {
        const std::string_view digits = path.substr(kPhysical.size());
        unsigned n = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec == std::errc() && end == digits.data() + digits.size()) d.physical = n;
    }
    return d;
}

// The drive letter of a root path "X:\".
char rootLetter(const std::string& root) {
    if (root.size() != 3 || root[1] != ':' || !std::isalpha(static_cast<unsigned char>(root[0]))) return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
}

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// A text stored with one terminator and no other zero byte, as the world's typed form
// stores it; empty when the bytes are anything else.
std::optional<std::string> storedText(const std::vector<uint8_t>& data) {
    if (data.empty() || data.back() != 0) return std::nullopt;
    std::string t(data.begin(), data.end() - 1);
    if (t.find('\0') != std::string::npos || !validUtf8(t)) return std::nullopt;
    return t;
}

// Texts each with its terminator, then one more zero, none of them empty.
std::optional<std::vector<std::string>> storedTexts(const std::vector<uint8_t>& data) {
    if (data.empty() || data.back() != 0) return std::nullopt;
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start + 1 < data.size()) {
        const auto end = std::find(data.begin() + static_cast<std::ptrdiff_t>(start), data.end() - 1, uint8_t{0});
        if (end == data.end() - 1 || end == data.begin() + static_cast<std::ptrdiff_t>(start)) return std::nullopt;
        std::string t(data.begin() + static_cast<std::ptrdiff_t>(start), end);
        if (!validUtf8(t)) return std::nullopt;
        out.push_back(std::move(t));
        start = static_cast<std::size_t>(end - data.begin()) + 1;
    }
    return out;
}

// A value in the world's form: typed data where it gives back exactly these bytes,
// otherwise the stored bytes in hexadecimal.
Json valueJson(const RegistryValue& v) {
    Json j{{"name", v.name}};
    const std::string hex = scan::hexText(v.data);
    switch (v.type) {
        case platform::kRegString:
        case platform::kRegExpandString:
            j["type"] = v.type == platform::kRegString ? "string" : "expandString";
            if (auto t = storedText(v.data)) j["data"] = *t;
            else j["hex"] = hex;
            break;
        case platform::kRegDword:
        case platform::kRegDwordBigEndian: {
            const bool big = v.type == platform::kRegDwordBigEndian;
            j["type"] = big ? "dwordBigEndian" : "dword";
            if (v.data.size() == 4) {
                uint32_t n = 0;
                for (int i = 0; i < 4; ++i) n |= uint32_t{v.data[static_cast<std::size_t>(big ? 3 - i : i)]} << (8 * i);
                j["data"] = n;
            } else {
                j["hex"] = hex;
            }
            break;
        }
        case platform::kRegMultiString:
            j["type"] = "multiString";
            if (auto t = storedTexts(v.data)) j["data"] = *t;
            else j["hex"] = hex;
            break;
        case platform::kRegBinary:
            j["type"] = "binary";
            j["hex"] = hex;
            break;
        default:
            j["type"] = "other";
            if (v.type != platform::kRegNone) j["typeCode"] = v.type;
            j["hex"] = hex;
    }
    return j;
}

Json addressJson(const platform::ScsiAddress& a) {
    return Json{{"port", a.portNumber}, {"path", a.pathId}, {"target", a.targetId}, {"lun", a.lun}};
}

Json keyJson(RegNode& n, bool root);

Json keysJson(RegNode& n) {
    // Keys opened by path take places the enumeration never reached, else go last.
    std::size_t count = std::max<std::size_t>(n.info ? n.info->subkeyCount : 0, n.keys.size());
    n.keys.resize(count);
    for (auto& e : n.extra) {
        auto free = std::find_if(n.keys.begin(), n.keys.end(), [](const auto& k) { return !k; });
        if (free != n.keys.end()) *free = std::move(e);
        else n.keys.push_back(std::move(e));
    }
    n.extra.clear();
    Json keys = Json::array();
    for (std::size_t i = 0; i < n.keys.size(); ++i)
        keys.push_back(n.keys[i] ? keyJson(*n.keys[i], false) : Json{{"name", standInName(n.nameBuffer, i)}});
    return keys;
}

Json valuesJson(RegNode& n) {
    std::size_t count = std::max<std::size_t>(n.info ? n.info->valueCount : 0, n.values.size());
    n.values.resize(count);
    for (const RegistryValue& q : n.queried) {
        auto free = std::find_if(n.values.begin(), n.values.end(), [](const ValueSlot& s) { return s.state == Slot::Unread; });
        if (free == n.values.end()) free = n.values.insert(n.values.end(), ValueSlot{});
        *free = ValueSlot{Slot::Read, q};
    }
    n.queried.clear();
    Json values = Json::array();
    for (std::size_t i = 0; i < n.values.size(); ++i) {
        if (n.values[i].state == Slot::Read) values.push_back(valueJson(n.values[i].value));
        else values.push_back(Json{{"name", standInName(n.nameBuffer, i)}, {"type", "other"}});
    }
    return values;
}

Json keyJson(RegNode& n, bool root) {
    Json j = Json::object();
    if (!root) j["name"] = n.name;
    if (n.openFails) j["openFails"] = true;
    if (n.queryFails) j["queryFails"] = true;
    if (n.enumFails) j["enumFails"] = true;
    if (Json keys = keysJson(n); !keys.empty()) j["keys"] = std::move(keys);
    if (Json values = valuesJson(n); !values.empty()) j["values"] = std::move(values);
    return j;
}

}  // namespace

struct HostRecording {
    std::optional<std::optional<std::string>> hostName;
    std::optional<std::optional<platform::HostEntry>> lookup;
    std::optional<platform::OsVersion> version;
    std::optional<uint16_t> processor;
    std::optional<uint32_t> driveMask;
    std::optional<std::optional<std::string>> subst;
    std::map<char, Drive> drives;
    std::map<unsigned, PhysicalDrive> physical;
    bool registryAsked = false;
    RegNode registry;
    std::vector<std::string> failedOpens;

    RegNode* keyAt(const std::string& path, bool create) {
        RegNode* node = &registry;
        for (const std::string_view name : platform::registryKeyNames(path)) {
            RegNode* next = node->child(name);
            if (!next) {
                if (!create) return nullptr;
                auto made = std::make_unique<RegNode>();
                made->name = std::string(name);
                next = made.get();
                node->extra.push_back(std::move(made));
            }
            node = next;
        }
        return node;
    }
};

HostRecorder::HostRecorder() : r_(std::make_unique<HostRecording>()) {}
HostRecorder::~HostRecorder() = default;

void HostRecorder::localHostName(const std::optional<std::string>& a) {
    if (!r_->hostName) r_->hostName = a;
}
void HostRecorder::lookupHost(const std::string&, const std::optional<platform::HostEntry>& a) {
    if (!r_->lookup) r_->lookup = a;
}
void HostRecorder::osVersion(const platform::OsVersion& a) {
    if (!r_->version) r_->version = a;
}
void HostRecorder::processorArchitecture(uint16_t a) {
    if (!r_->processor) r_->processor = a;
}
void HostRecorder::logicalDriveMask(uint32_t a) {
    if (!r_->driveMask) r_->driveMask = a;
}
void HostRecorder::substCommandOutput(const std::optional<std::string>& a) {
    if (!r_->subst) r_->subst = a;
}
void HostRecorder::driveType(const std::string& root, uint32_t a) {
    if (char l = rootLetter(root); l && !r_->drives[l].type) r_->drives[l].type = a;
}
void HostRecorder::volumeInformation(const std::string& root, const std::optional<platform::VolumeInformation>& a) {
    if (char l = rootLetter(root); l && !r_->drives[l].volume) r_->drives[l].volume = a;
}
void HostRecorder::diskFreeSpace(const std::string& root, const std::optional<platform::FreeSpace>& a) {
    if (char l = rootLetter(root); l && !r_->drives[l].freeSpace) r_->drives[l].freeSpace = a;
}
void HostRecorder::deviceOpened(const std::string& path, bool opened) {
    const DevicePath d = parseDevicePath(path);
    if (d.letter && !r_->drives[d.letter].opened) r_->drives[d.letter].opened = opened;
    if (d.physical && !r_->physical.contains(*d.physical)) r_->physical[*d.physical].opened = opened;
}
void HostRecorder::scsiAddress(const std::string& path, const std::optional<platform::ScsiAddress>& a) {
    const DevicePath d = parseDevicePath(path);
    if (d.letter && a) r_->drives[d.letter].address = a;
    if (d.physical && a) r_->physical[*d.physical].address = a;
}
void HostRecorder::driveGeometry(const std::string& path, const std::optional<platform::DriveGeometry>& a) {
    const DevicePath d = parseDevicePath(path);
    if (d.physical && !r_->physical[*d.physical].geometry) r_->physical[*d.physical].geometry = a;
}

void HostRecorder::registryOpened(const std::string& path, bool opened) {
    r_->registryAsked = true;
    if (opened) r_->keyAt(path, true)->opened = true;
    else r_->failedOpens.push_back(path);
}
void HostRecorder::registryInfo(const std::string& path, const std::optional<platform::RegistryKeyInfo>& a) {
    RegNode* n = r_->keyAt(path, true);
    if (!a) n->queryFails = true;
    else if (!n->info) n->info = a;
}
void HostRecorder::registrySubkey(const std::string& path, uint32_t index, std::size_t nameBuffer, RegistryEnum status,
                                  const std::string& name) {
    RegNode* n = r_->keyAt(path, true);
    n->nameBuffer = nameBuffer;
    if (status == RegistryEnum::Failed) n->enumFails = true;
    if (status != RegistryEnum::Ok && status != RegistryEnum::DoesNotFit) return;
    if (n->keys.size() <= index) n->keys.resize(index + 1);
    if (status != RegistryEnum::Ok || n->keys[index]) return;
    // A key opened by path before it was enumerated moves to its place.
    auto it = std::find_if(n->extra.begin(), n->extra.end(), [&](const auto& k) { return equalsIgnoringCase(k->name, name); });
    if (it != n->extra.end()) {
        n->keys[index] = std::move(*it);
        n->extra.erase(it);
    } else if (!n->child(name)) {
        n->keys[index] = std::make_unique<RegNode>();
        n->keys[index]->name = name;
    }
}
void HostRecorder::registryValueAt(const std::string& path, uint32_t index, std::size_t nameBuffer, std::size_t,
                                   RegistryEnum status, const RegistryValue& value) {
    RegNode* n = r_->keyAt(path, true);
    n->nameBuffer = nameBuffer;
    if (status != RegistryEnum::Ok && status != RegistryEnum::DoesNotFit) return;
    if (n->values.size() <= index) n->values.resize(index + 1);
    if (n->values[index].state != Slot::Unread) return;
    n->values[index] = status == RegistryEnum::Ok ? ValueSlot{Slot::Read, value} : ValueSlot{Slot::TooLarge, {}};
}
void HostRecorder::registryQueryValue(const std::string& path, const std::string& name,
                                      const std::optional<RegistryValue>& a) {
    if (!a) return;
    RegNode* n = r_->keyAt(path, true);
    for (const ValueSlot& s : n->values)
        if (s.state == Slot::Read && equalsIgnoringCase(s.value.name, name)) return;
    for (const RegistryValue& q : n->queried)
        if (equalsIgnoringCase(q.name, name)) return;
    n->queried.push_back(*a);
}

nlohmann::ordered_json HostRecorder::hostSection() const {
    HostRecording& r = *r_;
    Json h = Json::object();
    if (r.hostName) h["hostName"] = *r.hostName ? Json(**r.hostName) : Json(nullptr);
    if (r.lookup) {
        if (*r.lookup) h["lookup"] = Json{{"officialName", (*r.lookup)->officialName}, {"addresses", (*r.lookup)->addresses}};
        else h["lookup"] = Json{{"fails", true}};
    }
    if (r.version)
        h["version"] = Json{{"platformId", r.version->platformId}, {"major", r.version->majorVersion},
                            {"minor", r.version->minorVersion}};
    if (r.processor) h["processorArchitecture"] = *r.processor;

    if (r.driveMask) {
        Json drives = Json::array();
        for (char l = 'A'; l <= 'Z'; ++l) {
            if (!(*r.driveMask & (1u << (l - 'A')))) continue;
            const Drive& d = r.drives[l];
            Json j{{"letter", std::string(1, l)}, {"type", d.type.value_or(0)}};
            if (d.volume) {
                if (*d.volume) j["volume"] = Json{{"label", (*d.volume)->label}, {"fileSystem", (*d.volume)->fileSystem}};
                else j["volume"] = Json{{"fails", true}};
            }
            if (d.freeSpace) {
                if (const auto& f = *d.freeSpace)
                    j["freeSpace"] = Json{{"totalBytes", f->totalBytes}, {"totalFreeBytes", f->totalFreeBytes},
                                          {"freeBytesAvailable", f->freeBytesAvailable}};
                else
                    j["freeSpace"] = Json{{"fails", true}};
            }
            if (d.opened) {
                Json dev = Json::object();
                if (!*d.opened) dev["openFails"] = true;
                if (d.address) dev["scsiAddress"] = addressJson(*d.address);
                j["device"] = std::move(dev);
            }
            drives.push_back(std::move(j));
        }
        h["drives"] = std::move(drives);
    }
    if (r.subst) {
        if (!*r.subst) {
            h["subst"] = nullptr;
        } else {
            // The world gives lines and ends each with "\n"; a last line without one gets it.
            Json lines = Json::array();
            std::string_view rest = **r.subst;
            while (!rest.empty()) {
                const auto cut = rest.find('\n');
                lines.push_back(std::string(rest.substr(0, cut)));
                rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
            }
            h["subst"] = std::move(lines);
        }
    }
    if (!r.physical.empty()) {
        // Numbers past the last one that opened do not exist.
        unsigned end = 0;
        for (const auto& [n, p] : r.physical)
            if (p.opened) end = n + 1;
        Json list = Json::array();
        for (unsigned n = 0; n < end; ++n) {
            auto it = r.physical.find(n);
            Json j = Json::object();
            if (it == r.physical.end() || !it->second.opened) {
                j["openFails"] = true;
            } else {
                const PhysicalDrive& p = it->second;
                if (p.geometry) {
                    if (const auto& g = *p.geometry)
                        j["geometry"] = Json{{"cylinders", g->cylinders}, {"mediaType", g->mediaType},
                                             {"tracksPerCylinder", g->tracksPerCylinder},
                                             {"sectorsPerTrack", g->sectorsPerTrack}, {"bytesPerSector", g->bytesPerSector}};
                    else
                        j["geometry"] = Json{{"fails", true}};
                }
                if (p.address) j["scsiAddress"] = addressJson(*p.address);
            }
            list.push_back(std::move(j));
        }
        h["physicalDrives"] = std::move(list);
    }
    if (r.registryAsked) {
        // A key that never opened is kept only where it stands in the tree anyway.
        for (const std::string& path : r.failedOpens)
            if (RegNode* n = r.keyAt(path, false); n && !n->opened && n != &r.registry) n->openFails = true;
        h["registry"] = keyJson(r.registry, true);
    }
    return h;
}

}  // namespace record
