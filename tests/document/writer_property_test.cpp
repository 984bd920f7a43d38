// The model's completion and the indexed writers against the plain nested-scan rendering
// of the model as built, on many generated models
// whose ids, references and addresses collide often: duplicate ids, shared addresses,
// references to nothing, owners that are not the system.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "document/attribute_writer.h"
#include "document/model_completion.h"
#include "document/pe_document.h"
#include "tests/document/reference_writer.h"

namespace {

using namespace doc;

class ModelGenerator {
public:
    explicit ModelGenerator(unsigned seed) : rng_(seed) {
        units_[0].capacity = -1;
        units_[1].capacity = 1024;
        units_[1].inquiryData = {0, 0, 5, 2, 1, '<'};
        units_[2].capacity = 0;
        units_[2].deviceType = 1;
        units_[2].page83Data = {0, 0x83, 0, 0};
    }

    AttributeModel make() {
        AttributeModel m;
        m.system.id = pick({"SYS", "10.0.0.1", ""});
        m.system.parameters.append("GUID", m.system.id);
        if (coin()) {
            OperatingSystemRecord os;
            os.id = m.system.id + ":Windows 2003";
            os.owner = pick({m.system.id, "OTHER"});
            os.parameters.append("Operating System Type", "Windows 2003");
            m.operatingSystem = os;
        }
        const std::string osId = m.operatingSystem ? m.operatingSystem->id : "none";
        for (int i = count(6); i > 0; --i)
            m.logicalVolumes.push_back({id("LV"), pick({osId, "x"}), pick({"C:", "D:", "E:"}), address(), params()});
        for (int i = count(6); i > 0; --i)
            m.hostFileSystems.push_back({id("HFS"), pick({osId, "x"}), pick({"C:", "D:", "F:"}), params()});
        for (int i = count(6); i > 0; --i)
            m.physicalVolumes.push_back({id("PV"), pick({osId, "x"}), address(), params()});
        for (int i = count(5); i > 0; --i)
            m.controllers.push_back({id("CTL"), pick({m.system.id, "x"}), params(), {}});
        for (int i = count(8); i > 0; --i) {
            PeripheralEntityRecord pe;
            pe.id = id("PE");
            pe.parameters = params();
            m.peripheralEntities.push_back(pe);
        }
        for (int i = m.peripheralEntities.empty() ? 0 : count(10); i > 0; --i) {
            LogicalUnitRecord lu;
            lu.id = id("LU");
            lu.entity = static_cast<uint32_t>(count(static_cast<int>(m.peripheralEntities.size()) - 1));
            lu.address = address();
            lu.showsPage83 = coin();
            lu.unit = coin() ? &units_[static_cast<std::size_t>(count(2))] : nullptr;
            m.logicalUnits.push_back(lu);
        }
        for (int i = count(10); i > 0; --i)
            m.fcNodes.push_back({id("N"), coin() ? id("CTL") : "", coin() ? id("PE") : "", params()});
        for (int i = count(10); i > 0; --i) m.fcPorts.push_back({id("P"), id("N"), params()});
        for (int i = count(6); i > 0; --i) {
            ConnectivityGroupRecord g;
            g.id = id("G");
            g.portRef = id("P");
            for (int k = count(3); k > 0; --k) g.members.push_back(id("P"));
            m.connectivityGroups.push_back(g);
        }
        return m;
    }

private:
    bool coin() { return std::uniform_int_distribution<int>(0, 1)(rng_) == 1; }
    int count(int max) { return std::uniform_int_distribution<int>(0, max)(rng_); }
    std::string pick(std::initializer_list<std::string> options) {
        auto it = options.begin();
        std::advance(it, std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(rng_));
        return *it;
    }
    // Few distinct ids per kind, so that duplicates and matches are frequent.
    std::string id(const std::string& kind) { return kind + std::to_string(count(4)); }
    DiskAddress address() {
        return {static_cast<uint8_t>(count(1)), 0, static_cast<uint8_t>(count(1)), static_cast<uint8_t>(count(2))};
    }
    ParameterList params() {
        ParameterList p;
        for (int i = count(2); i > 0; --i) p.append("Name" + std::to_string(i), id("V"));
        return p;
    }
    std::mt19937 rng_;
    // The discovered units the models' logical units refer to: capacity unknown, known, 0.
    std::array<hba::LunRecord, 3> units_;
};

TEST(WriterProperty, IndexedLinkingPrintsWhatNestedScansPrint) {
    const ScanParameters params{"10.1.1.1:9570", "scanner", "G"};
    for (unsigned seed = 1; seed <= 400; ++seed) {
        ModelGenerator generator(seed);
        const AttributeModel model = generator.make();
        AttributeModel forAttribute = model;
        completeAttributeModel(forAttribute);
        ASSERT_EQ(renderAttributeXml(forAttribute, params), reference::renderAttributeXml(model, params))
            << "attribute document, seed " << seed;
        AttributeModel forPe = model;
        completePeModel(forPe);
        ASSERT_EQ(renderPeModeXml(forPe, params), reference::renderPeModeXml(model, params))
            << "PE document, seed " << seed;
    }
}

}  // namespace
