// The indexed entity builders against plain nested scans, on generated SANs whose WWNs,
// serials, alternate ids, port ids and adapter names collide often: both must give the
// same attribute and PE-mode documents, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "document/attribute_writer.h"
#include "document/entity_builders.h"
#include "document/model_completion.h"
#include "document/pe_document.h"
#include "tests/document/reference_writer.h"
#include "tests/support/ci_skip.h"

namespace {

using namespace doc;

class SanGenerator {
public:
    // With unique serials, no two nodes carry the same serial number.
    explicit SanGenerator(unsigned seed, bool uniqueSerials = false) : rng_(seed), uniqueSerials_(uniqueSerials) {}

    std::vector<hba::DiscoveredAdapter> make() {
        std::vector<hba::DiscoveredAdapter> adapters(static_cast<std::size_t>(count(4)));
        for (auto& a : adapters) {
            a.adapterName = pick({"QLogic-0", "QLogic-1", "Emulex<&>", std::string("ctl\x01", 4), ""});
            a.nodeWwn = wwn(0x20);
            a.portWwn = wwn(0x21);
            a.portId = portId();
            a.hardwareVersion = pick({"", "FC5010409-10", "v<1>"});
            a.driverVersion = pick({"", "9.1.2.19", std::string("d\xff", 2)});
            a.manufacturer = pick({"", "QLogic Corporation"});
            a.serialNumber = pick({"", "FCP0412A77431"});
            a.hbaApiVersion = static_cast<uint32_t>(count(2));
            a.vendorSpecificId = coin() ? 0 : 0x80000001u;
            for (int i = count(7); i > 0; --i) a.nodeList.append(node(a));
        }
        return adapters;
    }

private:
    bool coin() { return std::uniform_int_distribution<int>(0, 1)(rng_) == 1; }
    int count(int max) { return std::uniform_int_distribution<int>(0, max)(rng_); }
    uint8_t byte() { return static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng_)); }
    std::string pick(std::initializer_list<std::string> options) {
        auto it = options.begin();
        std::advance(it, std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(rng_));
        return *it;
    }
    // Few distinct values, so that duplicates are frequent.
    hba::Wwn wwn(uint8_t first) { return {first, 0, 0, 0xE0, 0x8B, 0, 0, static_cast<uint8_t>(count(3))}; }
    hba::PortId portId() { return {1, static_cast<uint8_t>(count(2)), 0}; }
    hba::ShortBytes identifier() {
        switch (count(4)) {
            case 0: return {};
            case 1: return hba::ShortBytes(std::string_view("SERIAL0"));
            case 2: return hba::ShortBytes(std::string_view("SERIAL1"));
            case 3: return hba::ShortBytes(std::string(200, 'L'));  // a long identifier
            default: return hba::ShortBytes(std::string("\x00\x80\xE5\x01", 4));
        }
    }
    template <std::size_t N>
    void text(std::array<char, N>& field, const std::string& value) {
        field.fill(' ');
        std::copy_n(value.begin(), std::min(value.size(), N), field.begin());
    }
    hba::DeviceNode node(const hba::DiscoveredAdapter& adapter) {
        hba::DeviceNode n;
        n.origin = static_cast<uint32_t>(count(3));
        n.nodeWwn = wwn(0x50);
        n.portWwn = wwn(0x50);
        n.portId = portId();
        switch (count(3)) {
            case 0:  // an adapter's own node, sometimes at another adapter's address
                n.deviceType = hba::kDeviceTypeHba;
                n.nodeWwn = adapter.nodeWwn;
                n.portWwn = adapter.portWwn;
                if (coin()) n.portId = adapter.portId;
                break;
            default: n.deviceType = static_cast<uint8_t>(count(30)); break;
        }
        n.serialNumber = uniqueSerials_ ? hba::ShortBytes("SERIAL-" + std::to_string(++serials_)) : identifier();
        n.alternateId = coin() ? n.serialNumber : identifier();
        n.vendorMark = static_cast<uint32_t>(count(1));
        n.page83Valid = static_cast<uint8_t>(count(1));
        text(n.vendorId, pick({"SANARRAY", "IBM"}));
        text(n.productId, pick({"4807-ARRAY", "FA-4000", "48"}));
        text(n.productRevision, "0420");
        n.platformType = static_cast<uint32_t>(coin() ? 0 : count(20));
        n.rnidType = static_cast<uint32_t>(coin() ? 0 : count(18));
        if (coin()) n.nodeName = coin() ? n.serialNumber : hba::ShortBytes(std::string_view("AB"));
        if (coin()) {
            auto list = std::make_shared<hba::MgmtAddressList>();
            for (const char* t : {"http://10.1.2.3:80", "ftp://x", "snmp://y", "telnet://z", "xml://w", "HTTP://v"})
                if (coin()) list->emplace_back(std::string_view(t));
            n.mgmtAddressCount = static_cast<uint32_t>(count(static_cast<int>(list->size())));
            n.mgmtAddress = list;
        }
        for (int i = count(3); i > 0; --i) n.lunList.push_back(lun(adapter));
        return n;
    }
    hba::LunRecord lun(const hba::DiscoveredAdapter&) {
        hba::LunRecord l;
        l.deviceType = static_cast<uint8_t>(count(16));
        text(l.vendorId, "SANARRAY");
        text(l.productId, pick({"FA-4000", std::string("x\0y", 3)}));
        text(l.productRevision, "0420");
        l.capacity = coin() ? -1 : count(1000);
        for (int i = count(40); i > 0; --i) l.inquiryData.push_back(byte());
        for (int i = count(40); i > 0; --i) l.page83Data.push_back(byte());
        for (auto& b : l.PortBusTargLun) b = static_cast<uint8_t>(count(3));
        for (auto& b : l.inquiryIdent) b = byte();
        return l;
    }
    std::mt19937 rng_;
    bool uniqueSerials_;
    int serials_ = 0;
};

AttributeModel base(const std::string& systemId) {
    AttributeModel m;
    m.system.id = systemId;
    m.system.parameters.append("GUID", systemId);
    return m;
}

TEST(SanProperty, IndexedBuildersPrintWhatNestedScansPrint) {
    const ScanParameters params{"10.1.1.1:9570", "scanner", "G"};
    // Every document is also kept for the well-formedness check below (POSIX build only:
    // the Windows build under wine has no xmllint).
    const std::filesystem::path folder = std::filesystem::path(ATTRSCAN_BINARY_DIR) / "tests/document/san-property";
#ifndef _WIN32
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
#endif
    std::string files;
    const auto keep = [&](const std::string& name, const std::string& text) {
#ifndef _WIN32
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        files += " " + path.string();
#else
        (void)name;
        (void)text;
#endif
    };
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const auto adapters = SanGenerator(seed).make();
        const std::span<const hba::DiscoveredAdapter> view(adapters);
        const std::string sid = seed % 3 == 0 ? "" : "G";

        AttributeModel built = base(sid);
        built.controllers = reStructAdapterInfo(built.system, view);
        built.peripheralEntities = reStructDeviceToPE(view);
        built.logicalUnits = assembleLUN(built.peripheralEntities, view);
        built.fcNodes = reStructDeviceToFCN(built.system, view, built.peripheralEntities);
        built.fcPorts = reStructDeviceToFCP(view);
        built.connectivityGroups = assembleCG(built.controllers, built.fcNodes, built.fcPorts, view);
        completeAttributeModel(built);
        AttributeModel nested = base(sid);
        reference::buildSanEntities(nested, view);
        const std::string text = renderAttributeXml(built, params);
        ASSERT_EQ(text, reference::renderAttributeXml(nested, params)) << "attribute document, seed " << seed;
        keep("attribute-" + std::to_string(seed) + ".xml", text);

        AttributeModel builtPe = base(sid);
        builtPe.controllers = reStructAdapterInfo(builtPe.system, view);
        builtPe.peripheralEntities = reStructDeviceToPE(view);
        builtPe.fcNodes = reStructDeviceToFCN(builtPe.system, view, builtPe.peripheralEntities);
        completePeModel(builtPe);
        AttributeModel nestedPe = base(sid);
        reference::buildSanEntities(nestedPe, view, true);
        const std::string peText = renderPeModeXml(builtPe, params);
        ASSERT_EQ(peText, reference::renderPeModeXml(nestedPe, params)) << "PE document, seed " << seed;
        keep("pe-" + std::to_string(seed) + ".xml", peText);
    }
#ifdef _WIN32
    GTEST_SKIP() << "the documents are checked with xmllint on the POSIX build";
#else
    if (!std::filesystem::exists("/usr/bin/xmllint")) SKIP_OR_FAIL_IN_CI << "xmllint is not installed";
    // Device texts full of markup and control bytes still give well-formed documents.
    EXPECT_EQ(std::system(("/usr/bin/xmllint --noout" + files).c_str()), 0);
#endif
}

// Where every serial is unique, matching units to nodes by serial text with the node's
// list consumed one unit per match gives the same units as taking the entity's own node.
TEST(SanProperty, UniqueSerialsMatchAsBySerial) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        const auto adapters = SanGenerator(seed, true).make();
        const std::span<const hba::DiscoveredAdapter> view(adapters);
        AttributeModel built = base("G");
        built.peripheralEntities = reStructDeviceToPE(view);
        built.logicalUnits = assembleLUN(built.peripheralEntities, view);
        AttributeModel bySerial = base("G");
        bySerial.peripheralEntities = built.peripheralEntities;
        bySerial.logicalUnits = reference::unitsBySerial(view);
        completeAttributeModel(built);
        completeAttributeModel(bySerial);
        const ScanParameters params{"", "", "G"};
        ASSERT_EQ(renderAttributeXml(built, params), renderAttributeXml(bySerial, params)) << "seed " << seed;
    }
}

}  // namespace
