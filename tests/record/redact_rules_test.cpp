// The pseudonym rules of world redaction, one row per rule: what a pseudonym keeps (length,
// separators and case, character classes, a WWN's NAA type and company id, an address's
// digit counts) and that it changes the rest.
#include <gtest/gtest.h>

#include <cctype>

#include "tools/worldredact/redactor.h"

namespace {

using Json = nlohmann::ordered_json;

// A world holding every kind of value at a known place.
Json world() {
    return Json::parse(R"({
      "host": { "hostName": "SANHOST01",
                "lookup": { "officialName": "sanhost01.example.com", "addresses": ["10.20.130.4"] },
                "drives": [ { "letter": "C", "type": 3, "volume": { "label": "Data", "fileSystem": "NTFS" } } ],
                "registry": { "keys": [ { "name": "DiskPeripheral", "keys": [ { "name": "0", "values": [
                  { "name": "Identifier", "type": "string", "data": "3d5b2a2c-00000000-A" } ] } ] } ] } },
      "hba": { "adapters": [ { "name": "HBA0",
        "attributes": { "serialNumber": "FA4K00012340", "nodeWwn": "10000000C9123456" },
        "port": { "portWwn": "2001000E1E123456", "nodeWwn": "50:05:07:63:00:c1:00:00", "fabricName": "3000000000000001" } } ] }
    })");
}

struct Row {
    const char* rule;
    const char* pointer;  // where the value stands
    const char* kept;     // per character: 'k' kept, '.' free to change
};

class PseudonymRule : public ::testing::TestWithParam<Row> {};

TEST_P(PseudonymRule, KeepsItsShape) {
    const Row& row = GetParam();
    const Json original = world();
    const Json::json_pointer at(row.pointer);
    const std::string before = original.at(at).get<std::string>();
    const std::string after = redact::redactWorld(original, "key-1").world.at(at).get<std::string>();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_NE(after, before);
    ASSERT_EQ(std::string(row.kept).size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto b = static_cast<unsigned char>(before[i]), a = static_cast<unsigned char>(after[i]);
        if (row.kept[i] == 'k') {
            EXPECT_EQ(a, b) << "position " << i << " of " << after;
        }
        if (!std::isalnum(b)) {
            EXPECT_EQ(a, b) << i;
        } else if (std::string(row.rule).ends_with("hex")) {
            // A hexadecimal digit stays one, in the case the original wrote its letters.
            EXPECT_TRUE(std::isxdigit(a)) << i;
            EXPECT_FALSE(std::islower(b) ? std::isupper(a) : std::isupper(b) ? std::islower(a) : 0) << i;
        } else {
            EXPECT_EQ(std::isdigit(a) != 0, std::isdigit(b) != 0) << i;
            EXPECT_EQ(std::isupper(a) != 0, std::isupper(b) != 0) << i;
            EXPECT_EQ(std::islower(a) != 0, std::islower(b) != 0) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PseudonymRule,
    ::testing::Values(
        Row{"naa1_keeps_type_and_company_hex", "/hba/adapters/0/attributes/nodeWwn", "kkkkkkkkkk......"},
        Row{"naa2_keeps_type_and_company_hex", "/hba/adapters/0/port/portWwn", "k...kkkkkk......"},
        Row{"naa5_keeps_type_company_separators_and_case_hex", "/hba/adapters/0/port/nodeWwn",
            "kkkkkkkkkk.k..k..k..k.."},
        Row{"naa3_keeps_the_type_hex", "/hba/adapters/0/port/fabricName", "k..............."},
        Row{"serial_keeps_classes", "/hba/adapters/0/attributes/serialNumber", "............"},
        Row{"disk_signature_stays_hex", "/host/registry/keys/0/keys/0/values/0/data", "........k........k."},
        Row{"host_name_keeps_classes", "/host/hostName", "........."},
        Row{"volume_label_keeps_classes", "/host/drives/0/volume/label", "...."}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST(Pseudonyms, FollowTheValueAndTheKey) {
    const Json original = world();
    const Json a = redact::redactWorld(original, "key-1").world;
    const Json b = redact::redactWorld(original, "key-1").world;
    const Json c = redact::redactWorld(original, "key-2").world;
    EXPECT_EQ(a, b);
    EXPECT_NE(a["hba"], c["hba"]);
    // One host name, one pseudonym, in the case each place has it.
    const std::string host = a["host"]["hostName"].get<std::string>();
    const std::string official = a["host"]["lookup"]["officialName"].get<std::string>();
    std::string lowered = host;
    for (char& ch : lowered) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(official.substr(0, host.size()), lowered);
    EXPECT_EQ(official.find("example"), std::string::npos);
    EXPECT_EQ(official.substr(official.size() - 4), ".com");  // too short to name anyone
    // Each octet keeps its number of digits.
    const std::string ip = a["host"]["lookup"]["addresses"][0].get<std::string>();
    ASSERT_EQ(ip.size(), std::string("10.20.130.4").size());
    EXPECT_EQ(ip[2], '.');
    EXPECT_EQ(ip[5], '.');
    EXPECT_EQ(ip[9], '.');
    EXPECT_NE(ip, "10.20.130.4");
}

}  // namespace
