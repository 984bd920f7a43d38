// The model's completion and the attribute writer on one hand-built model, byte for
// byte: placeholder nodes and ports, de-duplication after the controllers have named
// their nodes, a unit of a dropped duplicate entity, unknown capacities, a physical
// volume's single unit reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

#include "document/attribute_writer.h"
#include "document/model_completion.h"
#include "hba/discovered.h"

namespace {

using namespace doc;

std::string golden(const std::string& name) {
    std::ifstream in(std::string(ATTRSCAN_SOURCE_DIR) + "/tests/document/golden/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ParameterList one(const std::string& name, const std::string& value) {
    ParameterList p;
    p.append(name, value);
    return p;
}

// The discovered units of the model's logical units: the first of unknown capacity.
AttributeModel edgeModel(const std::array<hba::LunRecord, 2>& units) {
    AttributeModel m;
    m.system.id = "SYS";
    m.system.parameters.append("GUID", "SYS");
    OperatingSystemRecord os;
    os.id = "SYS:Windows 2003";
    os.owner = "SYS";
    m.operatingSystem = os;
    const DiskAddress shared{2, 0, 0, 1};
    m.logicalVolumes.push_back({"LV-D", os.id, "D:", shared, one("Drive", "D:")});
    m.logicalVolumes.push_back({"LV-E", os.id, "E:", shared, one("Drive", "E:")});
    m.hostFileSystems.push_back({"HFS-D", os.id, "D:", one("Mount", "D:")});
    m.physicalVolumes.push_back({"PV-1", os.id, shared, one("Disk", "1")});
    m.controllers.push_back({"CTL-A", "SYS", one("Model", "A"), {}});
    m.controllers.push_back({"CTL-B", "SYS", one("Model", "B"), {}});
    // LU-2 belongs to the second entity of id PE-1, which the first replaces.
    m.logicalUnits.push_back({"LU-1", &units[0], 0, shared, false});
    m.logicalUnits.push_back({"LU-2", &units[1], 1, shared, true});
    m.peripheralEntities.push_back({"PE-1", one("Vendor", "first")});
    m.peripheralEntities.push_back({"PE-1", one("Vendor", "second")});
    // Two nodes of one id: CTL-B names both before de-duplication keeps the first.
    m.fcNodes.push_back({"N-1", "CTL-B", "PE-1", one("WWN", "N-1 first")});
    m.fcNodes.push_back({"N-1", "CTL-B", "PE-1", one("WWN", "N-1 second")});
    m.fcPorts.push_back({"P-1", "N-1", one("WWN", "P-1")});
    m.connectivityGroups.push_back({"G-1", "P-1", {"P-1", "P-9"}});
    m.connectivityGroups.push_back({"G-2", "P-1", {"P-2"}});
    return m;
}

TEST(WriterEdges, HandBuiltModel) {
    std::array<hba::LunRecord, 2> units;
    for (auto& u : units) {
        std::copy_n("ACME    ", 8, u.vendorId.begin());
        std::copy_n("DISK            ", 16, u.productId.begin());
        std::copy_n("0001", 4, u.productRevision.begin());
        u.inquiryData = {0, 0, 5, 2, 0};
        u.inquiryIdent.fill(' ');
        std::copy_n("ACMEDISK", 8, u.inquiryIdent.begin());
    }
    units[0].capacity = -1;
    units[1].capacity = 4096;
    units[1].page83Data = {0, 0x83, 0, 0};
    AttributeModel m = edgeModel(units);
    completeAttributeModel(m);
    const std::string text = renderAttributeXml(m, {"10.1.1.1", "scanner", "SYS"});
    if (std::getenv("UPDATE_GOLDEN")) {
        std::ofstream(std::string(ATTRSCAN_SOURCE_DIR) + "/tests/document/golden/edge-model.xml",
                      std::ios::binary) << text;
    }
    EXPECT_EQ(text, golden("edge-model.xml"));
}

}  // namespace
