// The decoders that tell which logical-unit entities are one unit: the scanner's percent
// escaping undone, the logical unit's designator in a device identification page, and the
// path in a unit's id.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/attrdiff/lun_identity.h"
#include "tools/attrdiff/scan_document.h"

namespace {

using namespace std::string_literals;

TEST(PercentUnescape, Rules)
{
    struct Row {
        const char* name;
        std::string in, out;
    };
    const std::vector<Row> rows = {
        {"plain text stays", "SANARRAY FA-4000", "SANARRAY FA-4000"},
        {"escape is the byte", "%00%83%3C%aa", "\x00\x83<\xAA"s},
        {"lower-case digits count too", "%3c", "<"},
        {"percent without two digits stays", "50% %4 %G1", "50% %4 %G1"},
        {"percent at the very end", "%", "%"},
        {"one digit at the end", "%4", "%4"},
    };
    for (const Row& r : rows) EXPECT_EQ(scandoc::percentUnescape(r.in), r.out) << r.name;
}

// A page 0x83 with the given designators (each: code set, flags byte, identifier bytes).
std::string page(const std::vector<std::string>& designators, int lengthAdjust = 0)
{
    std::string body;
    for (const std::string& d : designators) body += d;
    const std::size_t length = body.size() + lengthAdjust;
    return "\x00\x83"s + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + body;
}

std::string designator(char codeSet, char flags, const std::string& id)
{
    return std::string{codeSet, flags, 0, static_cast<char>(id.size())} + id;
}

TEST(LogicalUnitDesignator, Rules)
{
    const std::string naa = "\x60\x0A\x0B\x80\x00\x11\xAA\x22"s;
    const std::string eui = "\x00\x11\x22\x33\x44\x55\x66\x77"s;
    struct Row {
        const char* name;
        std::string page, designator;
    };
    const std::vector<Row> rows = {
        {"NAA of the unit", page({designator(1, 0x03, naa)}), "naa.600A0B800011AA22"},
        {"target-port NAA is skipped", page({designator(1, 0x13, naa)}), ""},
        {"port designator first, unit NAA next",
         page({designator(1, 0x13, "\x20\x04\x00\xA0\xB8\x11\xAA\x20"s), designator(1, 0x03, naa)}),
         "naa.600A0B800011AA22"},
        {"NAA preferred over an earlier EUI-64", page({designator(1, 0x02, eui), designator(1, 0x03, naa)}),
         "naa.600A0B800011AA22"},
        {"EUI-64 over T10", page({designator(2, 0x01, "VEND    ID1 "), designator(1, 0x02, eui)}),
         "eui.0011223344556677"},
        {"T10 text loses trailing blanks", page({designator(2, 0x01, "VEND    ID1  \0"s)}), "t10.VEND    ID1"},
        {"SCSI name string", page({designator(3, 0x08, "iqn.2001-04.com.example:disk1\0\0\0"s)}),
         "name.iqn.2001-04.com.example:disk1"},
        {"binary T10 as hexadecimal", page({designator(1, 0x01, "\x01\x02"s)}), "t10.0102"},
        {"PIV and protocol bits do not matter", page({designator(0x61, static_cast<char>(0x83), naa)}),
         "naa.600A0B800011AA22"},
        {"empty designator skipped", page({designator(1, 0x03, "")}), ""},
        {"designator running past the page", page({designator(1, 0x03, naa)}, -1), ""},
        {"page length beyond the bytes", page({designator(1, 0x03, naa)}, 40), "naa.600A0B800011AA22"},
        {"not page 0x83", "\x00\x80\x00\x04" + designator(1, 0x03, "\x01\x02\x03\x04"s).substr(0, 4), ""},
        {"too short", "\x00\x83\x00"s, ""},
        {"no designators", "\x00\x83\x00\x00"s, ""},
    };
    for (const Row& r : rows) EXPECT_EQ(scandoc::logicalUnitDesignator(r.page), r.designator) << r.name;
}

TEST(DecodeUnitPath, Rules)
{
    struct Row {
        const char* name;
        const char* id;
        bool ok;
        const char* target;
        const char* adapter;
        int index;
    };
    const std::vector<Row> rows = {
        {"path and index", "200400A0B811AA22210000E08B102030LUN2", true, "200400A0B811AA22", "210000E08B102030", 2},
        {"many digits", "200400A0B811AA22210000E08B102030LUN16383", true, "200400A0B811AA22", "210000E08B102030",
         16383},
        {"no index", "200400A0B811AA22210000E08B102030LUN", false, "", "", 0},
        {"lower-case hexadecimal is not the scanner's", "200400a0b811aa22210000E08B102030LUN0", false, "", "", 0},
        {"short WWN", "200400A0B811AA2210000E08B102030LUN0", false, "", "", 0},
        {"sign in index", "200400A0B811AA22210000E08B102030LUN-1", false, "", "", 0},
        {"huge index", "200400A0B811AA22210000E08B102030LUN99999999999", false, "", "", 0},
    };
    for (const Row& r : rows) {
        const auto path = scandoc::decodeUnitPath(r.id);
        ASSERT_EQ(path.has_value(), r.ok) << r.name;
        if (!path) continue;
        EXPECT_EQ(path->targetPort, r.target) << r.name;
        EXPECT_EQ(path->adapterPort, r.adapter) << r.name;
        EXPECT_EQ(path->index, r.index) << r.name;
    }
}

// Without a designator, units match by storage system, standard INQUIRY and index, so one
// unit behind two ports of a system is one unit and two units of a system stay two.
TEST(UnitIdentity, WithoutDesignator)
{
    auto unit = [](const char* id, const char* inquiry) {
        scandoc::Entity e;
        e.element = "LogicalUnitXml";
        e.id = std::string("LogicalUnitXml:") + id;
        e.parameters = {{"Type", "Tape"}, {"rawSTDdata", inquiry}, {"raw83data", "%00%80%00%00"}};
        e.references = {{"PeripheralEntityIdXml", "PlatformXml:100000E002223344"}};
        return e;
    };
    const auto a = scandoc::unitIdentity(unit("100000E002223345210000E08B102030LUN0", "%01IBM"));
    const auto b = scandoc::unitIdentity(unit("100000E002223346210000E08B102031LUN0", "%01IBM"));
    const auto c = scandoc::unitIdentity(unit("100000E002223345210000E08B102030LUN1", "%01IBM"));
    const auto d = scandoc::unitIdentity(unit("100000E002223345210000E08B102030LUN0", "%08ADIC"));
    EXPECT_EQ(a.key, b.key);
    EXPECT_NE(a.key, c.key);
    EXPECT_NE(a.key, d.key);
    EXPECT_EQ(a.label, "100000E002223344 LUN0");
}

}  // namespace
