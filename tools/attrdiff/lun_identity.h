// Who a logical unit is, whichever path it was seen through. The document names a logical
// unit by its path (target port WWN, adapter port WWN, "LUN" and its index at that target),
// so one unit seen through two paths appears twice; its device identification page, kept
// percent-escaped in "raw83data", says which appearances are the same unit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scandoc {

struct Entity;

// Undoes the scanner's escaping of raw device data: "%" and two hexadecimal digits is that
// byte; every other character, and a "%" not followed by two hexadecimal digits, stands
// for itself.
std::string percentUnescape(std::string_view text);

// The logical unit's own designator in a device identification page (INQUIRY page 0x83):
// among the designators associated with the logical unit (not a port or target), the first
// NAA one, else EUI-64, else SCSI name string, else T10 vendor id, written "naa.<HEX>",
// "eui.<HEX>", "name.<text>" or "t10.<text>" (text designators with their trailing blanks
// and NULs removed). Empty when the page holds none or is not such a page. Never reads past
// the page length or the bytes given.
std::string logicalUnitDesignator(std::string_view page);

// The path in a logical unit's id (without the "LogicalUnitXml:" prefix): 16 hexadecimal
// digits of the target port WWN, 16 of the adapter port WWN, "LUN", a decimal index.
struct UnitPath {
    std::string targetPort;   // 16 upper-case hexadecimal digits
    std::string adapterPort;  // 16 upper-case hexadecimal digits
    int index = 0;
};
std::optional<UnitPath> decodeUnitPath(std::string_view id);

// What makes two LogicalUnitXml entities the same unit: the designator of their page 0x83
// when they have one; else their storage system, standard INQUIRY data and index, so that
// the same unit behind two ports of one system still matches. label is for people.
struct UnitIdentity {
    std::string key;
    std::string label;
};
UnitIdentity unitIdentity(const Entity& unit);

}  // namespace scandoc
