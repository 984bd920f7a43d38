// The record-level pieces of the SAN entity builders: how one adapter, one node or one
// logical-unit record becomes an entity with its id and parameters. The builders add the
// linking between lists; keeping the pieces apart lets a test link them another way and
// compare the documents.
//
// Field widths. Ids and references built from a node's serial number or alternate id are
// the hexadecimal of up to 255 bytes, 510 digits: those fields are held whole, so that a
// long identifier is never cut and every reference to it still matches. A controller id
// keeps its 255-character width (system id, node WWN, adapter name); the node's controller
// reference is built by the same function, so both are cut alike.
//
// Device texts that the document carries unescaped (adapter names, INQUIRY vendor,
// product and revision fields, management addresses) keep every printable ASCII character
// as it is (the writer escapes markup); a byte that an XML document cannot carry (control
// characters, bytes of no declared encoding) becomes "%" and two hexadecimal digits, as
// in the escaped texts.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "document/records.h"
#include "hba/discovered.h"

namespace doc {

// Names of the fabric's platform types. Types above 15 are reserved in the fabric's
// numbering and read "Reserved", like 15 itself.
std::string_view platformTypeName(uint32_t platformType);

// SCSI types 19 to 30 (reserved peripheral types and the well-known logical unit) have no
// name of their own: they read "Unknown", as in the discovery dump (hba::deviceTypeName).
// Only 17 reads "HBA", so only the adapter's own node counts as an adapter node.
std::string_view scsiTypeName(uint32_t deviceType);

// Printable ASCII kept, every other byte as "%XX".
std::string documentText(std::string_view text);
// A fixed-size character field as the document shows it: up to its first NUL.
std::string fixedFieldText(std::span<const char> field);

// The storage model whose product id begins with "4807" carries three leading characters
// in its serial numbers that are not part of the serial (and in the names of its nodes,
// which repeat the serial): trimSerial removes them from values of more than three
// characters.
bool trimsSerial(std::string_view productId);
void trimSerial(std::string& value);

// One parameter per management address of the node whose scheme is http, telnet, snmp or
// xml (exact, case-sensitive), in slot order.
void appendManagementAddresses(ParameterList& params, const hba::DeviceNode& node);

// "<system id>:<node WWN>:<adapter name>", cut to the id width.
std::string controllerId(std::string_view systemId, const hba::DiscoveredAdapter& adapter);
// The node's port WWN followed by its adapter's port WWN: the prefix of its units' ids.
std::string unitPrefix(const hba::DiscoveredAdapter& adapter, const hba::DeviceNode& node);

ControllerRecord makeController(std::string_view systemId, const hba::DiscoveredAdapter& adapter);
// The entity of a node with logical units, its serial number already trimmed.
PeripheralEntityRecord makePeripheralEntity(const hba::DeviceNode& node);
// Logical unit d of the entity at index entity, whose node's unit prefix is given; unit is
// the discovered unit it stands for (null when there is none).
LogicalUnitRecord makeLogicalUnit(std::string_view unitPrefix, int d, uint32_t entity, bool showsPage83,
                                  const hba::LunRecord* unit);

// The parameters a logical unit shows, in order, rendered into strings that are reused
// from one unit to the next.
struct UnitParameters {
    std::array<ParameterNode, 8> nodes;
    std::size_t count = 0;
    std::span<const ParameterNode> list() const { return std::span(nodes).first(count); }
};
void renderUnitParameters(const LogicalUnitRecord& unit, UnitParameters& out);

// Whether the node is an adapter's own node (its SCSI type is the adapter's).
bool isAdapterNode(const hba::DeviceNode& node);
// The FC node of a listed node. controllerRef is the id of the controller it belongs to
// (empty when none); trimName says whether the entity it refers to has a product id that
// trims serial numbers, which then trims the node's name too.
FcNodeRecord makeFcNode(const hba::DeviceNode& node, std::string controllerRef, bool trimName);
FcPortRecord makeFcPort(const hba::DeviceNode& node);
// The connectivity group of a port: "<port id>CG", no members yet.
ConnectivityGroupRecord makeGroup(const FcPortRecord& port);

}  // namespace doc
