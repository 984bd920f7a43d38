// Everything a scan learns about the SAN: one DiscoveredAdapter per probed adapter, each
// with its DeviceNode list (targets, the adapter's own port, nodes learnt through RNID and
// from the fabric's management server), each node with its LunRecord list. The probing
// steps fill the lists through five operations; the discovery dump and the entity
// builders of the attribute document only read them.
//
// Ownership: the discovery result owns the records; nodes and logical units are only
// ever appended, so a node stays where it is while its record lives. Management
// address blocks are shared between the platform or RNID record they came from and the
// nodes that refer to them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "wire/values.h"

namespace hba {

// WWNs and FC addresses are the wire library's value types.
using wire::PortId;
using wire::Wwn;
using wire::portIdFromFcAddress;

// A length-prefixed string: one length byte (0 to 255) and that many bytes. It may hold
// binary data (serial numbers from devices, raw WWNs) and is not terminated; a longer
// input keeps its first 255 bytes.
class ShortBytes {
public:
    static constexpr std::size_t kCapacity = 255;

    ShortBytes() = default;
    explicit ShortBytes(std::span<const uint8_t> bytes) { assign(bytes); }
    explicit ShortBytes(std::string_view text) { assign(text); }

    void assign(std::span<const uint8_t> bytes);
    void assign(std::string_view text);
    void clear() { bytes_.clear(); }

    std::span<const uint8_t> bytes() const { return bytes_; }
    std::string_view text() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }
    std::size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }

    friend bool operator==(const ShortBytes&, const ShortBytes&) = default;

private:
    std::vector<uint8_t> bytes_;
};

// Management addresses of a node, a platform or an RNID answer: each one a 256-byte block
// holding a length-prefixed text such as "http://10.1.2.3:80". Shared, never changed once
// made.
using MgmtAddressList = std::vector<ShortBytes>;
using SharedMgmtAddresses = std::shared_ptr<const MgmtAddressList>;

// Values of DeviceNode::origin.
inline constexpr uint32_t kOriginPlatform = 1;  // made from management-server platform data
inline constexpr uint32_t kOriginRnid = 2;      // made from an RNID answer
inline constexpr uint32_t kOriginScsi = 3;      // made by the SCSI scan (addNodeToList)

// Values of DeviceNode::portType (indexes into the port-type names).
inline constexpr uint32_t kPortTypeUndefined = 0;  // nodes made from RNID or platform data
inline constexpr uint32_t kPortTypeAdapter = 1;    // the adapter's own port ("N_Port")
inline constexpr uint32_t kPortTypeTarget = 2;     // every SCSI target ("NL_Port")

// Values of DeviceNode::deviceType beyond the SCSI peripheral types.
inline constexpr uint8_t kDeviceTypeDisk = 0;
inline constexpr uint8_t kDeviceTypeProcessor = 3;        // also: a target with several units
inline constexpr uint8_t kDeviceTypeArrayController = 12;  // storage array controller
inline constexpr uint8_t kDeviceTypeOther = 16;            // cap of a unit's type
inline constexpr uint8_t kDeviceTypeHba = 17;              // the adapter itself
inline constexpr uint8_t kDeviceTypeUnknown = 18;          // not known (yet)

// RNID node type that turns a matching listed node into an external controller.
inline constexpr uint32_t kRnidTypeStorageSubsystem = 11;
inline constexpr uint32_t kRnidTypeHba = 7;
inline constexpr uint32_t kRnidTypeMax = 18;

// Port entry of a platform node: a port of the node as the fabric reports it.
inline constexpr uint32_t kPortEntryMatched = 3;  // a listed DeviceNode took the platform's data
struct PlatformPortEntry {
    uint32_t matched = 0;  // 0, or kPortEntryMatched
    Wwn portWwn{};
    PortId portId{};
};

// One platform node, or one RNID answer.
struct NodeIdentification {
    static constexpr std::size_t kMaxPorts = 256;

    Wwn nodeWwn{};
    ShortBytes nodeName;            // RNID only: display name of the node
    uint32_t rnidType = 0;          // RNID only: node type 0 to 18
    Wwn portWwn{};                  // RNID only: the port that answered
    PortId portId{};                // RNID only (name-server walk): its FC address
    uint32_t mgmtAddressCount = 0;  // RNID only: 0 or 1
    SharedMgmtAddresses mgmtAddress;               // holds at least mgmtAddressCount entries
    std::vector<PlatformPortEntry> ports;          // platform nodes only: at most 256
};

// One platform that the fabric configuration server reports.
struct PlatformRecord {
    static constexpr std::size_t kMaxMgmtAddresses = 10;
    static constexpr std::size_t kMaxNodes = 50;

    uint32_t platformType = 0;
    ShortBytes name;                 // platform name (may be empty)
    uint32_t mgmtAddressCount = 0;   // at most 10
    SharedMgmtAddresses mgmtAddress;  // holds at least mgmtAddressCount entries
    std::vector<NodeIdentification> nodes;  // at most 50, in the server's order
};

// One logical unit behind a target.
struct LunRecord {
    static constexpr std::size_t kMaxInquiryData = 256;
    static constexpr std::size_t kMaxPage83Data = 256;

    uint8_t deviceType = 0;  // INQUIRY byte 0 when at most 16, else 16; 0 when INQUIRY gave sense data
    std::array<char, 8> vendorId{};         // standard INQUIRY bytes 8 to 15, not terminated
    std::array<char, 16> productId{};       // bytes 16 to 31
    std::array<char, 4> productRevision{};  // bytes 32 to 35
    int32_t capacity = -1;                  // not known
    // The standard INQUIRY data as far as its additional length (byte 4) + 5 says, cut to
    // the bytes the device returned; empty when the unit is kept without identification.
    std::vector<uint8_t> inquiryData;
    // INQUIRY page 0x83 as far as its page length (byte 3) + 4 says, cut to the bytes the
    // device returned; empty when that page was not read.
    std::vector<uint8_t> page83Data;
    // Port (the adapter's SCSI port number), bus (0), target (index in the adapter's
    // discovered-port list), LUN byte.
    std::array<uint8_t, 4> PortBusTargLun{};
    std::array<uint8_t, 38> inquiryIdent{};  // standard INQUIRY bytes 8 to 45
    std::array<uint8_t, 8> lunSerial{};      // standard INQUIRY bytes 36 to 43
};

// One node of an adapter's list, identified within the list by (nodeWwn, portWwn).
struct DeviceNode {
    static constexpr std::size_t kProtocolCapacity = 32;

    uint32_t portType = kPortTypeUndefined;  // see kPortType*
    // Peripheral byte of the unit that identifies the node (0 to 30, normally 0 to 16);
    // 3 for targets with several units, 17 for the adapter itself, 18 while not known.
    uint8_t deviceType = 0;
    uint8_t page83Valid = 0;  // 1 when the last INQUIRY page 0x83 sent to the target succeeded
    PortId portId{};
    Wwn portWwn{};
    Wwn nodeWwn{};
    uint32_t vendorMark = 0;  // 1 when the unit serial number carries the mark 0080E5
    ShortBytes serialNumber;  // identifier of the device (falls back to the raw node WWN)
    ShortBytes alternateId;   // second identifier (the raw node WWN unless type 3 or 12)
    std::string protocol;     // "FCP" for SCSI targets and the adapter's port, else empty
    std::array<char, 8> vendorId{};         // standard INQUIRY, not terminated
    std::array<char, 16> productId{};
    std::array<char, 4> productRevision{};
    uint32_t origin = 0;        // see kOrigin*
    uint32_t platformType = 0;  // platform type of the matching platform, else 0
    uint32_t rnidType = 0;      // node type 0 to 18 from RNID, else 0
    ShortBytes nodeName;        // display name of the node
    uint32_t mgmtAddressCount = 0;
    SharedMgmtAddresses mgmtAddress;  // holds at least mgmtAddressCount entries
    std::vector<LunRecord> lunList;   // in insertion order
};

// An adapter's nodes in insertion order, with an index from (nodeWwn, portWwn) to the
// first node of that key, so that look-ups do not scan the list. Nodes never move once
// appended (references stay valid) and their WWNs must not be changed afterwards.
class NodeList {
public:
    using Nodes = std::deque<DeviceNode>;

    Nodes::iterator begin() { return nodes_.begin(); }
    Nodes::iterator end() { return nodes_.end(); }
    Nodes::const_iterator begin() const { return nodes_.begin(); }
    Nodes::const_iterator end() const { return nodes_.end(); }
    std::size_t size() const { return nodes_.size(); }
    bool empty() const { return nodes_.empty(); }
    DeviceNode& operator[](std::size_t i) { return nodes_[i]; }
    const DeviceNode& operator[](std::size_t i) const { return nodes_[i]; }

    // Appends at the tail and returns the listed node.
    DeviceNode& append(DeviceNode node);
    // The first listed node with both WWNs, or null.
    DeviceNode* find(const Wwn& nodeWwn, const Wwn& portWwn);

private:
    struct Key {
        Wwn nodeWwn;
        Wwn portWwn;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const noexcept;
    };

    Nodes nodes_;
    std::unordered_map<Key, std::size_t, KeyHash> firstByKey_;
};

// The adapter attributes the HBA library reports, as the adapter table reads them and
// the discovered record carries them on. Texts hold at most their field's capacity - 1
// characters.
struct AdapterAttributes {
    static constexpr std::size_t kTextCapacity = 256;      // terminator included
    static constexpr std::size_t kShortTextCapacity = 64;  // manufacturer, serial number

    std::string adapterName;  // the name the HBA library gave
    Wwn nodeWwn{};
    std::string hardwareVersion;
    std::string driverVersion;
    std::string optionRomVersion;
    std::string firmwareVersion;
    std::string model;
    std::string modelDescription;
    std::string driverName;
    std::string manufacturer;
    std::string serialNumber;
    uint32_t hbaApiVersion = 0;
    uint32_t vendorSpecificId = 0;
};

// One probed adapter.
struct DiscoveredAdapter : AdapterAttributes {
    std::string hostName;  // the host's official name, the same in every record
    PortId portId{};       // the adapter port's FC address
    uint32_t handle = 0;   // the adapter handle; closed when the adapter's pass ends
    Wwn portWwn{};
    uint32_t HBAOffset = 0;  // the adapter's SCSI port number
    NodeList nodeList;
};

// Statuses of the list operations.
inline constexpr int kListOk = 0;
inline constexpr int kListNoMemory = 7;  // nothing was added

// The listed node of the adapter with node's nodeWwn and portWwn (the first one in list
// order), or node itself when there is none.
DeviceNode& findNodeInList(DiscoveredAdapter& adapter, DeviceNode& node);

// Appends a node made from node: its identity fields and its logical units (handed over,
// not copied); nodeName is a copy of serialNumber, origin is kOriginScsi, platform, RNID
// and management fields are 0. No duplicate check is made.
int addNodeToList(DiscoveredAdapter& adapter, DeviceNode&& node);

// Appends a copy of lun at the end of node's logical units.
int addLunToNode(DeviceNode& node, const LunRecord& lun);

// Merges one RNID answer into the adapter's list: updates the listed node of that key
// (name only when the node's name is its raw node WWN; type 11 makes it an external
// controller), or appends a node of origin kOriginRnid. Returns 0.
int addRNIDToList(DiscoveredAdapter& adapter, const NodeIdentification& id);

// Merges one platform into the adapter's list: every listed node that matches a port of
// the platform takes its type, name and management addresses (and the port entry is
// marked matched); every port entry left unmatched becomes a node of origin
// kOriginPlatform. Returns 0.
int addPlatformToList(DiscoveredAdapter& adapter, PlatformRecord& platform);

// Name tables, indexed by the field value. Values beyond a table read "Unknown" for
// device and port types and "Undefined" for RNID types.
std::string_view deviceTypeName(uint32_t deviceType);
std::string_view portTypeName(uint32_t portType);
std::string_view rnidTypeName(uint32_t rnidType);

}  // namespace hba
