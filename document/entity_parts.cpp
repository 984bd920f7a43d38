#include "document/entity_parts.h"

#include <algorithm>
#include <array>

#include "base/hex.h"
#include "base/text.h"

namespace doc {

namespace {

constexpr std::array<std::string_view, 16> kPlatformTypeNames = {
    "Undefined", "Unknown",        "Other",         "Undefined",       "Undefined",
    "Gateway",   "Converter",      "HBA",           "Software Proxy Agent",
    "Storage Device", "Host",      "Storage Subsystem", "Module",      "Software Driver",
    "Storage Access Device", "Reserved"};

// The captured INQUIRY data sit in 256-byte fields whose unread bytes are zero; the raw
// texts escape as many bytes as the data's own length byte says, never beyond the field.
// No input escaped here is longer than 256 bytes (768 characters escaped), so every escape
// fits the escape's result whole.
constexpr std::size_t kInquiryFieldSize = 256;

std::string escapeCounted(std::span<const uint8_t> data, std::size_t lengthByte, std::size_t lengthBias) {
    std::array<uint8_t, kInquiryFieldSize> field{};
    std::copy_n(data.begin(), std::min(data.size(), field.size()), field.begin());
    const std::size_t length = std::min<std::size_t>(field[lengthByte] + lengthBias, field.size());
    return scan::percentEscape(std::span(field).first(length));
}

std::string hexOf(const hba::ShortBytes& bytes) { return scan::hexText(bytes.bytes()); }

}  // namespace

std::string_view platformTypeName(uint32_t platformType) {
    return platformType < kPlatformTypeNames.size() ? kPlatformTypeNames[platformType] : "Reserved";
}

std::string_view scsiTypeName(uint32_t deviceType) { return hba::deviceTypeName(deviceType); }

std::string documentText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<uint8_t>(c);
        if (b >= 0x20 && b < 0x7F) {
            out.push_back(c);
        } else {
            base::appendPercentByte(out, b);
        }
    }
    return out;
}

std::string fixedFieldText(std::span<const char> field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return documentText(std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
}

bool trimsSerial(std::string_view productId) { return productId.starts_with("4807"); }

void trimSerial(std::string& value) {
    if (value.size() > 3) value.erase(0, 3);
}

void appendManagementAddresses(ParameterList& params, const hba::DeviceNode& node) {
    if (!node.mgmtAddress) return;
    const std::size_t count = std::min<std::size_t>(node.mgmtAddressCount, node.mgmtAddress->size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text = (*node.mgmtAddress)[i].text();
        const char* name = nullptr;
        if (text.starts_with("http")) name = "Management URL Address";
        else if (text.starts_with("telnet")) name = "Management Telnet Address";
        else if (text.starts_with("snmp")) name = "Management Snmp Address";
        else if (text.starts_with("xml")) name = "Management Xml Address";
        if (name) params.append(name, documentText(text));
    }
}

std::string controllerId(std::string_view systemId, const hba::DiscoveredAdapter& adapter) {
    std::string id(systemId);
    id += ':';
    id += scan::hexText(adapter.nodeWwn);
    id += ':';
    id += documentText(adapter.adapterName);
    return scan::boundedText(id, kIdCapacity);
}

std::string unitPrefix(const hba::DiscoveredAdapter& adapter, const hba::DeviceNode& node) {
    return scan::hexText(node.portWwn) + scan::hexText(adapter.portWwn);
}

ControllerRecord makeController(std::string_view systemId, const hba::DiscoveredAdapter& adapter) {
    ControllerRecord c;
    c.id = controllerId(systemId, adapter);
    c.owner = scan::boundedText(systemId, kIdCapacity);
    ParameterList& p = c.parameters;
    p.append("Name", documentText(adapter.adapterName));
    p.append("Controller Type", "InternalController");
    // Optional texts are present only when not empty; they come from the adapter's driver
    // and are escaped.
    const auto text = [&p](const char* name, const std::string& value) {
        if (!value.empty()) p.append(name, scan::percentEscape(value));
    };
    // Optional numbers are present only when not 0, printed as signed decimals.
    const auto number = [&p](const char* name, uint32_t value) {
        if (value != 0) p.append(name, std::to_string(static_cast<int32_t>(value)));
    };
    text("Hardware Version", adapter.hardwareVersion);
    text("Driver Version", adapter.driverVersion);
    text("Optional ROM Version", adapter.optionRomVersion);
    text("Firmware Version", adapter.firmwareVersion);
    number("Common API Version", adapter.hbaApiVersion);
    text("Manufacturer", adapter.manufacturer);
    text("Serial Number", adapter.serialNumber);
    text("Model", adapter.model);
    text("Model Description", adapter.modelDescription);
    text("Driver Name", adapter.driverName);
    number("Vendor Specific ID", adapter.vendorSpecificId);
    return c;
}

PeripheralEntityRecord makePeripheralEntity(const hba::DeviceNode& node) {
    PeripheralEntityRecord pe;
    pe.id = hexOf(node.alternateId);
    ParameterList& p = pe.parameters;
    p.append("SCSI Type", scsiTypeName(node.deviceType));
    // A serial number carrying the vendor mark is binary: it is shown in hexadecimal.
    std::string serial =
        node.vendorMark == 1 ? hexOf(node.serialNumber) : scan::percentEscape(node.serialNumber.bytes());
    const std::string productId = fixedFieldText(node.productId);
    if (trimsSerial(productId)) trimSerial(serial);
    p.append("Serial Number", serial);
    p.append("Vendor", fixedFieldText(node.vendorId));
    p.append("Product ID", productId);
    p.append("Revision", fixedFieldText(node.productRevision));
    if (node.platformType != 0) p.append("Platform Type", platformTypeName(node.platformType));
    if (node.rnidType != 0) p.append("RNID Type", hba::rnidTypeName(node.rnidType));
    appendManagementAddresses(p, node);
    return pe;
}

LogicalUnitRecord makeLogicalUnit(std::string_view unitPrefix, int d, uint32_t entity, bool showsPage83,
                                  const hba::LunRecord* unit) {
    LogicalUnitRecord lu;
    std::string id(unitPrefix);
    id += "LUN";
    id += std::to_string(d);
    lu.id = scan::boundedText(id, kIdCapacity);
    lu.unit = unit;
    lu.entity = entity;
    lu.showsPage83 = showsPage83;
    if (unit) {
        const auto& a = unit->PortBusTargLun;
        lu.address = {a[0], a[1], a[2], a[3]};
    }
    return lu;
}

void renderUnitParameters(const LogicalUnitRecord& lu, UnitParameters& out) {
    out.count = 0;
    const auto add = [&out](std::string_view name, std::string value) {
        ParameterNode& p = out.nodes[out.count++];
        p.name = name;
        p.value = std::move(value);
    };
    const hba::LunRecord* u = lu.unit;
    add("Type", u ? std::string(scsiTypeName(u->deviceType)) : std::string());
    // A capacity of -1 is not known and not shown.
    if (u && u->capacity != -1) add("Capacity", std::to_string(u->capacity));
    add("Vendor ID", u ? fixedFieldText(u->vendorId) : std::string());
    add("Product ID", u ? fixedFieldText(u->productId) : std::string());
    add("Revision", u ? fixedFieldText(u->productRevision) : std::string());
    add("rawSTDdata", u ? escapeCounted(u->inquiryData, 4, 5) : std::string());
    if (lu.showsPage83) add("raw83data", u ? escapeCounted(u->page83Data, 3, 4) : std::string());
    add("LUN ID", u ? scan::percentEscape(u->inquiryIdent) : std::string());
}

bool isAdapterNode(const hba::DeviceNode& node) { return node.deviceType == hba::kDeviceTypeHba; }

FcNodeRecord makeFcNode(const hba::DeviceNode& node, std::string controllerRef, bool trimName) {
    FcNodeRecord n;
    n.id = scan::hexText(node.nodeWwn);
    n.controllerRef = std::move(controllerRef);
    // An adapter's node belongs to its controller; any other node to the entity built
    // from it, whose id is the hexadecimal of the node's alternate id.
    if (!isAdapterNode(node)) n.peripheralEntityRef = hexOf(node.alternateId);
    ParameterList& p = n.parameters;
    p.append("WWN", n.id);
    if (node.platformType != 0) p.append("Platform Type", platformTypeName(node.platformType));
    if (!node.nodeName.empty()) {
        std::string name = scan::percentEscape(node.nodeName.bytes());
        if (trimName) trimSerial(name);
        p.append("Name", name);
    }
    if (node.rnidType != 0) p.append("RNID Type", hba::rnidTypeName(node.rnidType));
    appendManagementAddresses(p, node);
    return n;
}

FcPortRecord makeFcPort(const hba::DeviceNode& node) {
    FcPortRecord port;
    port.id = scan::hexText(node.portWwn);
    port.nodeRef = scan::hexText(node.nodeWwn);
    port.parameters.append("WWN", port.id);
    port.parameters.append("FC Port ID", scan::hexText(node.portId));
    return port;
}

ConnectivityGroupRecord makeGroup(const FcPortRecord& port) {
    ConnectivityGroupRecord g;
    g.id = scan::boundedText(port.id + "CG", kShortIdCapacity);
    g.portRef = port.id;
    return g;
}

}  // namespace doc
