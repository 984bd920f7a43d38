// The host inventory's text helpers and entity producers, fed directly: blank
// collapsing, quote escaping, the MD5 digest, sizes and capacities, and the volume
// producers' ids, owners and logical-unit keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/disk_survey.h"
#include "inventory/disk_text.h"
#include "inventory/drive_survey.h"
#include "inventory/registry_search.h"
#include "inventory/volume_entities.h"

namespace {

TEST(CollapseSpaces, JoinsWordsWithSingleBlanks) {
    struct Row {
        std::string in, out;
        int result;
    };
    const std::vector<Row> rows = {
        {"", "", 0},
        {"   ", "", 1},
        {"ACME", "ACME", 1},
        {"  ACME   FAST  0104  ", "ACME FAST 0104", 1},
        {"a\tb  c", "a\tb c", 1},  // only blanks separate words
    };
    for (const auto& r : rows) {
        std::string out = "previous";
        EXPECT_EQ(inv::collapseSpaces(r.in, out), r.result) << r.in;
        EXPECT_EQ(out, r.out) << r.in;
    }
}

TEST(EscapeQuotes, EscapesQuotesAndBackslashesWithinCapacity) {
    struct Row {
        std::string in;
        std::size_t capacity;
        std::string out;
    };
    const std::vector<Row> rows = {
        {"plain", std::string::npos, "plain"},
        {"a\"b\\c", std::string::npos, "a\\\"b\\\\c"},
        {"abcdef", 4, "abc"},
        // An escape that does not fit whole is dropped, never split.
        {"ab\"cd", 4, "ab"},
        {"ab\"cd", 5, "ab\\\""},
        {"x", 0, ""},
    };
    for (const auto& r : rows) EXPECT_EQ(inv::escapeQuotes(r.in, r.capacity), r.out) << r.in;
}

TEST(Md5HexDigest, MatchesTheReferenceVectors) {
    EXPECT_FALSE(inv::md5HexDigest("").has_value());
    EXPECT_EQ(inv::md5HexDigest("a").value_or(""), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(inv::md5HexDigest("abc").value_or(""), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(inv::md5HexDigest("message digest").value_or(""), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(inv::md5HexDigest("12345678901234567890123456789012345678901234567890123456789012345678901234567890")
                  .value_or(""),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(DiskTexts, CapacityAndHashText) {
    EXPECT_EQ(inv::diskCapacityText(16383, 16, 63, 512), "8063.51");
    // A million megabytes and more: wider than ten characters, nothing cut.
    EXPECT_EQ(inv::diskCapacityText(200000, 255, 63, 512), "1568847.66");
    EXPECT_EQ(inv::diskCapacityText(0xFFFFFFFFLL, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu).size(), 36u);
    // The cylinder count contributes its low 32 bits, as unsigned to the capacity and as
    // signed to the hash text; the other numbers are signed there too.
    EXPECT_EQ(inv::diskCapacityText(0x100000000LL + 2048, 1, 1, 512), "1.00");
    EXPECT_EQ(inv::diskHashText("ID", 3000000000LL, 255, 63, 512, 2), "ID-1294967296255635122");
    EXPECT_EQ(inv::diskHashText("", 16383, 16, 63, 0x80000000u, 0), "163831663-21474836480");
}

// (Every drive type's text and an ordinary size are in the drives documents.)
TEST(DriveTexts, Megabytes) {
    EXPECT_EQ(inv::megabytesText("21474836480"), "20480.00");
    EXPECT_EQ(inv::megabytesText("0"), "0.00");
    // Ties at the second decimal round to even on both builds.
    EXPECT_EQ(inv::megabytesText("131072"), "0.12");
    EXPECT_EQ(inv::megabytesText("393216"), "0.38");
    EXPECT_EQ(inv::megabytesText("18446744073709551615"), "17592186044416.00");
}

doc::OperatingSystemRecord windowsXp() {
    doc::OperatingSystemRecord os;
    os.name = "Windows XP";
    os.parameters.append("Operating System Type", "Windows XP");
    return os;
}

// Ids and owners of ordinary drives are in the drives documents; here, the ones too long
// for their field, and the owner without an operating-system type.
TEST(VolumeProducers, LongIdsAreCut) {
    doc::SystemRecord system;
    system.id = std::string(300, 'x');
    inv::DriveList drives(1);
    drives[0] = {"c", "HardDrive", "21474836480", "0", "Sys", "NTFS", {0, 0, 0, 1}};
    const auto cut = inv::getLogicalVolumeInfo(doc::OperatingSystemRecord{}, system, drives);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].id, std::string(255, 'x'));
    EXPECT_EQ(cut[0].owner, std::string(255, 'x'));
}

TEST(PhysicalVolumes, NamedAfterTheFirstLogicalUnitAtTheirAddress) {
    doc::SystemRecord system;
    system.id = "S";
    inv::DiskList disks(2);
    disks[0] = {"Disk0", "0123456789abcdef0123456789abcdef", "HardDrive", "P\\\"", "V", "8063.51", {0, 0, 0, 0}};
    disks[1] = {"Disk1", "fedcba9876543210fedcba9876543210", "HardDrive", "Q", "W", "1.00", {2, 0, 0, 1}};
    std::vector<doc::LogicalUnitRecord> units(3);
    units[0].id = "OTHER";
    units[0].address = {2, 0, 1, 1};
    units[1].id = "50060E80000000015006000000000001LUN1";
    units[1].address = {2, 0, 0, 1};
    units[2].id = "SECOND";
    units[2].address = {2, 0, 0, 1};

    const auto pvs = inv::getPhysicalVolumeInfo(windowsXp(), system, units, disks);
    ASSERT_EQ(pvs.size(), 2u);
    EXPECT_EQ(pvs[0].id, "S:0123456789abcdef0123456789abcdef");
    EXPECT_EQ(pvs[0].owner, "S:Windows XP");
    EXPECT_EQ(pvs[1].id, "S:50060E80000000015006000000000001LUN1");
    EXPECT_EQ(pvs[1].address, (doc::DiskAddress{2, 0, 0, 1}));
}

}  // namespace
