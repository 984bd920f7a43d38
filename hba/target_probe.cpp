#include "hba/target_probe.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string>

#include "common/scan_trace.h"
#include "base/text.h"
#include "wire/scsi.h"

namespace hba {

namespace {

constexpr const char* kMethod = "Main";
constexpr std::size_t kFailureDumpBytes = 100;  // answer bytes shown when a request failed
constexpr std::size_t kNoIdentitySerial = 64;   // zero bytes for a unit that gave sense data
constexpr uint8_t kHighestPeripheralByte = 30;  // above: no device the scan knows

template <class... Args>
void trace(int line, const char* format, const Args&... args) {
    scan::trace(scan::kSourceSurvey, kMethod, line, format, args...);
}

// The first n bytes of an answer in hexadecimal, never more than the buffer holds.
std::string hexPrefix(std::span<const uint8_t> answer, std::size_t n) {
    return scan::hexText(answer.first(std::min(n, answer.size())));
}

bool allBytesAre(std::span<const uint8_t> bytes, uint8_t value) {
    return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

// The request buffers of one target, cleared before every request.
struct ProbeBuffers {
    std::array<uint8_t, kReportLunsAnswerSize> reportLuns{};
    std::array<uint8_t, kInquiryAnswerSize> inquiry{};
    std::array<uint8_t, kSenseSize> sense{};
};

// One target's probe: the working node, its adapter and the request helpers.
class TargetProbe {
public:
    TargetProbe(const HbaApi& api, const AdapterTable& table, const AdapterEntry& adapter, uint32_t j,
                TargetFindings& found)
        : api_(api), table_(table), adapter_(adapter), j_(j), found_(found), node_(found.node),
          target_(adapter.targets[j].attributes) {}

    bool run();

private:
    struct LunList {
        uint32_t count = 0;
        bool fromEntries = false;  // false: no usable list, LUN 0 is probed
        bool capped = false;       // more than 256 were reported; the index is the LUN byte
        wire::ReportLunsData data; // the answer the units are probed from
    };

    bool reportLuns(LunList& list);
    void probeUnit(const LunList& list, uint32_t k);
    HBA_STATUS inquiry(uint64_t lunId, uint8_t evpd, uint32_t page);
    bool senseGiven() const { return buffers_.sense[0] != 0; }
    void takeIdentity(uint8_t lunByte, uint64_t lunId, const wire::StandardInquiry& inquiry);
    void readPage83(uint8_t lunByte, uint64_t lunId, LunRecord& lun);
    void replaceBlankIdentifiers();

    const HbaApi& api_;
    const AdapterTable& table_;
    const AdapterEntry& adapter_;
    const uint32_t j_;
    TargetFindings& found_;
    DeviceNode& node_;
    const HBA_PORTATTRIBUTES& target_;
    ProbeBuffers buffers_;
};

bool TargetProbe::run() {
    node_.portType = kPortTypeTarget;
    node_.deviceType = kDeviceTypeUnknown;
    node_.portId = portIdFromFcAddress(target_.PortFcId);
    node_.portWwn = wwnOf(target_.PortWWN);
    node_.nodeWwn = wwnOf(target_.NodeWWN);
    node_.protocol = "FCP";

    LunList list;
    if (!reportLuns(list)) return false;
    for (uint32_t k = 0; k < list.count; ++k) probeUnit(list, k);

    if (list.count > 1) node_.deviceType = kDeviceTypeProcessor;
    return true;
}

bool TargetProbe::reportLuns(LunList& list) {
    auto& answer = buffers_.reportLuns;
    answer.fill(0);
    buffers_.sense.fill(0);
    const HBA_STATUS status = api_.HBA_SendReportLUNs(adapter_.handle, target_.PortWWN, answer.data(),
                                                  kReportLunsAnswerSize, buffers_.sense.data(), kSenseSize);
    if (status == HBA_STATUS_OK) {
        list.data = wire::decodeReportLuns(answer);
        const uint32_t length = list.data.listLength;
        if (length < 8) {
            list.count = 1;
            trace(617, "ReportLUNs info  : 0x%s", hexPrefix(answer, std::size_t{length} + 8).c_str());
            return true;
        }
        const uint32_t reported = list.data.reportedCount();
        trace(584, "ReportLUNs succeeded, the number of LUNs = %d", static_cast<int>(reported));
        list.fromEntries = true;
        if (reported <= kMaxLunsProbed) {
            list.count = reported;
            // A list length of up to 2055 still counts 256 entries; the dump stops at the
            // end of the answer.
            trace(617, "ReportLUNs info  : 0x%s", hexPrefix(answer, std::size_t{length} + 8).c_str());
            return true;
        }
        answer.fill(0);
        buffers_.sense.fill(0);
        (void)api_.HBA_SendReportLUNs(adapter_.handle, target_.PortWWN, answer.data(), kReportLunsAnswerSize,
                                  buffers_.sense.data(), kSenseSize);
        list.data = wire::decodeReportLuns(answer);
        trace(596, "ReportLUNs Retry , the number of LUNs = %d", static_cast<int>(reported));
        list.count = kMaxLunsProbed;
        list.capped = true;
        return true;
    }
    if (status == HBA_STATUS_ERROR || status == HBA_STATUS_ERROR_NOT_SUPPORTED) {
        trace(632, "ReportLUNs command failed, RC = %d", static_cast<int>(status));
        trace(636, "ReportLUNs output  : 0x%s", hexPrefix(answer, kFailureDumpBytes).c_str());
        list.count = 1;
        return true;
    }
    trace(647, "ReportLUNs command failed, RC = %d", static_cast<int>(status));
    trace(651, "ReportLUNs output  : 0x%s", hexPrefix(answer, kFailureDumpBytes).c_str());
    trace(654, "ReportLUNs Sense output  : 0x%s", scan::hexText(buffers_.sense).c_str());
    return false;
}

HBA_STATUS TargetProbe::inquiry(uint64_t lunId, uint8_t evpd, uint32_t page) {
    buffers_.inquiry.fill(0);
    buffers_.sense.fill(0);
    return api_.HBA_SendScsiInquiry(adapter_.handle, target_.PortWWN, lunId, evpd, page, buffers_.inquiry.data(),
                                kInquiryAnswerSize, buffers_.sense.data(), kSenseSize);
}

void TargetProbe::probeUnit(const LunList& list, uint32_t k) {
    // Entry k of the list; all 256 entries a probe may use lie inside the answer.
    const wire::LunId entry = list.fromEntries ? list.data.entry(k) : wire::LunId{};

    const uint8_t lunByte = list.capped ? static_cast<uint8_t>(k) : entry[1];
    uint64_t lunId = 0;
    if (isQLogicAdapterName(adapter_.adapterName) && !table_.scsiLunIds) {
        trace(688, "Old Qlogic device driver was found, Using Qlogic defined LunId");
        lunId = lunByte;
    } else {
        // The library takes the entry's eight bytes as they stand in memory.
        std::memcpy(&lunId, entry.data(), sizeof lunId);
        trace(705, "LUNId = : 0x%s", scan::hexText(entry).c_str());
    }

    LunRecord lun;
    lun.PortBusTargLun = {static_cast<uint8_t>(adapter_.HBAOffset), 0, static_cast<uint8_t>(j_), lunByte};

    const HBA_STATUS status = inquiry(lunId, 0, 0);
    const auto& answer = buffers_.inquiry;
    if (status != HBA_STATUS_OK) {
        trace(887, "LUN%d Scsi Standard page Inquiry failed with %d", int{lunByte}, static_cast<int>(status));
        trace(891, "Scsi Inquiry Output : 0x%s", hexPrefix(answer, kFailureDumpBytes).c_str());
        trace(894, "Scsi Inquiry Sense Output : 0x%s", scan::hexText(buffers_.sense).c_str());
        return;
    }

    if (senseGiven()) {
        // Kept without identification: the unit's identity fields stay zero. A node that no
        // unit has identified yet gets zero identifiers, which the blank rule replaces; a
        // node identified by an earlier unit keeps its serial number and alternate id, so
        // that one unit that is not ready does not cost the target its identity.
        if (node_.deviceType == kDeviceTypeUnknown) {
            const std::array<uint8_t, kNoIdentitySerial> zeros{};
            node_.serialNumber.assign(zeros);
            node_.alternateId.assign(zeros);
        }
    } else {
        const wire::StandardInquiry standard = wire::decodeStandardInquiry(answer);
        const uint8_t peripheral = standard.peripheral;
        // Additional length + 5 is the standard data; the trace shows one byte more.
        const std::size_t standardLength = standard.standardLength();
        if (peripheral > kHighestPeripheralByte) {
            trace(738, "LUN%d, Unsupported device standard page inquiry succeeded with %d", int{lunByte}, 0);
            trace(739, "Inquiry Output : 0x%s", hexPrefix(answer, standardLength + 1).c_str());
            return;
        }
        trace(748, "LUN%d, Scsi standard page inquiry succeeded with %d", int{lunByte}, 0);
        trace(749, "Inquiry Output : 0x%s", hexPrefix(answer, standardLength + 1).c_str());

        lun.inquiryIdent = standard.identification();
        lun.lunSerial = standard.lunSerial();
        lun.deviceType = std::min(peripheral, kDeviceTypeOther);
        lun.vendorId = standard.vendorId;
        lun.productId = standard.productId;
        lun.productRevision = standard.productRevision;
        const std::size_t kept = std::min({standardLength, answer.size(), LunRecord::kMaxInquiryData});
        lun.inquiryData.assign(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(kept));

        // A processor or an array controller identifies its target in preference to the
        // units before it; the first unit identifies it otherwise.
        const bool nodeIsController =
            node_.deviceType == kDeviceTypeProcessor || node_.deviceType == kDeviceTypeArrayController;
        const bool unitIsController =
            peripheral == kDeviceTypeProcessor || peripheral == kDeviceTypeArrayController;
        if (node_.deviceType == kDeviceTypeUnknown || (!nodeIsController && unitIsController))
            takeIdentity(lunByte, lunId, standard);

        readPage83(lunByte, lunId, lun);
    }

    replaceBlankIdentifiers();
    lun.capacity = -1;
    found_.units.push_back(std::move(lun));
}

void TargetProbe::takeIdentity(uint8_t lunByte, uint64_t lunId, const wire::StandardInquiry& standard) {
    const auto& answer = buffers_.inquiry;
    node_.vendorId = standard.vendorId;
    node_.productId = standard.productId;
    node_.productRevision = standard.productRevision;
    const uint8_t peripheral = standard.peripheral;
    // Peripheral types 17 (object-based storage) and 18 (automation/drive interface) are
    // real devices, but on a node those values mean "the adapter itself" and "not known
    // yet": such a node is shown as another entity, as its units are.
    const bool reservedOnNode = peripheral == kDeviceTypeHba || peripheral == kDeviceTypeUnknown;
    node_.deviceType = reservedOnNode ? kDeviceTypeOther : peripheral;
    node_.serialNumber.assign(standard.vendorSpecific);
    node_.alternateId.assign(standard.vendorSpecific);

    const HBA_STATUS status = inquiry(lunId, 1, 0x80);
    if (status != HBA_STATUS_OK) {
        trace(827, "LUN%d, Scsi page code = 80 inquiry failed with %d", int{lunByte}, static_cast<int>(status));
        return;
    }
    if (senseGiven()) return;

    // The page length may claim more than the answer holds: only bytes that exist count.
    const std::size_t pageLength = wire::decodeVpdHeader(answer).lengthByte();
    const auto page = std::span(answer);
    std::string escaped = scan::percentEscape(page.first(std::min(pageLength, page.size())));
    std::erase(escaped, '%');
    if (escaped.find("0080E5") != std::string::npos || escaped.find("0080e5") != std::string::npos)
        node_.vendorMark = 1;
    const auto unitSerial = wire::unitSerialOf(answer);
    node_.serialNumber.assign(unitSerial);
    node_.alternateId.assign(unitSerial);
    trace(819, "LUN%d, Scsi page code = 80 inquiry succeeded with %d", int{lunByte}, 0);
    trace(820, "Inquiry Output : 0x%s", hexPrefix(answer, pageLength + 4).c_str());
}

void TargetProbe::readPage83(uint8_t lunByte, uint64_t lunId, LunRecord& lun) {
    const HBA_STATUS status = inquiry(lunId, 1, 0x83);
    if (status != HBA_STATUS_OK) {
        node_.page83Valid = 0;
        trace(865, "LUN%d, Scsi page code = 83 inquiry failed with %d", int{lunByte}, static_cast<int>(status));
        return;
    }
    if (senseGiven()) return;
    const auto& answer = buffers_.inquiry;
    const std::size_t pageLength = std::size_t{wire::decodeVpdHeader(answer).lengthByte()} + wire::kVpdHeaderSize;
    const std::size_t kept = std::min({pageLength, answer.size(), LunRecord::kMaxPage83Data});
    lun.page83Data.assign(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(kept));
    node_.page83Valid = 1;
    trace(852, "LUN%d, Scsi page code = 83 inquiry succeeded with %d", int{lunByte}, 0);
    trace(853, "Inquiry Output : 0x%s", hexPrefix(answer, pageLength).c_str());
}

// A serial number that is missing or made of one filler byte identifies nothing: the node
// WWN stands in for it. Only processors and array controllers keep a second identifier
// of their own.
void TargetProbe::replaceBlankIdentifiers() {
    const auto serial = node_.serialNumber.bytes();
    if (serial.empty() || allBytesAre(serial, 0x00) || allBytesAre(serial, 0x20) || allBytesAre(serial, 0xFF))
        node_.serialNumber.assign(node_.nodeWwn);
    if (node_.deviceType != kDeviceTypeProcessor && node_.deviceType != kDeviceTypeArrayController)
        node_.alternateId.assign(node_.nodeWwn);
}

}  // namespace

uint32_t hbaOffsetFromDeviceName(std::string_view osDeviceName) {
    for (std::size_t pos = 0; pos < osDeviceName.size(); ++pos) {
        uint64_t value = 0;
        for (std::size_t i = pos; i < osDeviceName.size() && osDeviceName[i] >= '0' && osDeviceName[i] <= '9';
             ++i)
            value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(osDeviceName[i] - '0'), UINT32_MAX);
        if (value != 0) return static_cast<uint32_t>(value);
    }
    return 0;
}

void SDInitializeTargetDatabase(const HbaApi& api, AdapterTable& table) {
    trace(372, "Initialize each adapter's target devices.....");
    trace(379, "SDInitializeTargetDatabase() Entering...");
    for (std::size_t i = 0; i < table.entries.size(); ++i) {
        AdapterEntry& entry = table.entries[i];
        if (!entry.enabled()) continue;

        HBA_PORTATTRIBUTES port{};
        const HBA_STATUS portStatus = api.HBA_GetAdapterPortAttributes(entry.handle, 0, &port);
        if (portStatus != HBA_STATUS_OK) {
            trace(390, "HBA_GetAdapterPortAttributes failed: RC = %d", static_cast<int>(portStatus));
            continue;
        }

        const std::string deviceName =
            apiText(port.OSDeviceName, sizeof port.OSDeviceName, AdapterEntry::kTextCapacity);
        entry.HBAOffset = hbaOffsetFromDeviceName(deviceName);
        trace(416, "Adapter %d, HBAOffset is %d, OSDeviceName is %s", static_cast<int>(i),
              static_cast<int>(entry.HBAOffset), deviceName.c_str());

        entry.portWwn = wwnOf(port.PortWWN);
        entry.portFcId = port.PortFcId;
        entry.portType = port.PortType;
        trace(436, "HBA Node WWN from HBA Port Attribute  : 0x%s", scan::hexText(wwnOf(port.NodeWWN)).c_str());
        trace(437, "HBA Port WWN from HBA Port Attribute  : 0x%s", scan::hexText(entry.portWwn).c_str());

        const uint32_t discovered = port.NumberofDiscoveredPorts;
        trace(446, "SDInitializeTargetDatabase() Discovered %d targets for adapter %d",
              static_cast<int>(discovered), static_cast<int>(i));
        const uint32_t usable = std::min(discovered, AdapterTable::kMaxTargets);
        if (usable < discovered)
            trace(447, "Only the first %d targets of adapter %d are used, the target table has no room for more",
                  static_cast<int>(usable), static_cast<int>(i));
        entry.targets.assign(usable, TargetEntry{});
        for (uint32_t j = 0; j < usable; ++j) {
            trace(453, "SDInitializeTargetDatabase() Initializing target %d", static_cast<int>(j));
            TargetEntry& target = entry.targets[j];
            const HBA_STATUS status = api.HBA_GetDiscoveredPortAttributes(entry.handle, 0, j, &target.attributes);
            if (status == HBA_STATUS_OK)
                target.valid = 1;
            else
                trace(459, "HBA_GetDiscoveredPortAttributes failed: target number = %d, rc = %d",
                      static_cast<int>(j), static_cast<int>(status));
        }
    }
    trace(470, "Exiting SDInitializeTargetDatabase()...");
    trace(479, "Adapter's target devices initialization are complete...");
}

TargetFindings probeTarget(const HbaApi& api, const AdapterTable& table, const AdapterEntry& adapter, uint32_t j) {
    TargetFindings found;
    if (j >= adapter.targets.size() || adapter.targets[j].valid == 0) return found;
    TargetProbe probe(api, table, adapter, j, found);
    found.kept = probe.run();
    return found;
}

void mergeTargetFindings(DiscoveredAdapter& record, TargetFindings&& findings) {
    // Nothing is appended to the list while one target is probed, so the node its units
    // belong to is the same for all of them.
    DeviceNode& home = findNodeInList(record, findings.node);
    for (const LunRecord& lun : findings.units) addLunToNode(home, lun);
    if (!findings.units.empty()) addNodeToList(record, std::move(findings.node));
    if (findings.rnid) addRNIDToList(record, *findings.rnid);
}

}  // namespace hba
