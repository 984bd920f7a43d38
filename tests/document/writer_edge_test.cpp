// The attribute writer's own rules on one hand-built model, byte for byte: placeholder
// nodes and ports, de-duplication after the controllers have been printed, the hidden
// working serial number and empty capacities, a physical volume's single unit reference.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "document/attribute_writer.h"

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

AttributeModel edgeModel() {
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
    m.controllers.push_back({"CTL-A", "SYS", one("Model", "A")});
    m.controllers.push_back({"CTL-B", "SYS", one("Model", "B")});
    for (const char* id : {"LU-1", "LU-2"}) {
        LogicalUnitRecord lu;
        lu.id = id;
        lu.peripheralEntityRef = "PE-1";
        lu.systemRef = "SYS";
        lu.address = shared;
        lu.parameters.append("Serial Number", "working value");
        lu.parameters.append("Type", "Disk");
        lu.parameters.append("Capacity", std::string(id) == "LU-1" ? "" : "4096");
        m.logicalUnits.push_back(lu);
    }
    m.peripheralEntities.push_back({"PE-1", "", "", "", 2, true, one("Vendor", "first")});
    m.peripheralEntities.push_back({"PE-1", "", "", "", 2, true, one("Vendor", "second")});
    // Two nodes of one id: CTL-B names both before de-duplication keeps the first.
    m.fcNodes.push_back({"N-1", "CTL-B", "PE-1", one("WWN", "N-1 first")});
    m.fcNodes.push_back({"N-1", "CTL-B", "PE-1", one("WWN", "N-1 second")});
    m.fcPorts.push_back({"P-1", "N-1", one("WWN", "P-1")});
    m.connectivityGroups.push_back({"G-1", "P-1", {"P-1", "P-9"}});
    m.connectivityGroups.push_back({"G-2", "P-1", {"P-2"}});
    return m;
}

TEST(WriterEdges, HandBuiltModel) {
    AttributeModel m = edgeModel();
    const std::string text = renderAttributeXml(m, {"10.1.1.1", "scanner", "SYS"});
    if (std::getenv("UPDATE_GOLDEN")) {
        std::ofstream(std::string(ATTRSCAN_SOURCE_DIR) + "/tests/document/golden/edge-model.xml",
                      std::ios::binary) << text;
    }
    EXPECT_EQ(text, golden("edge-model.xml"));
}

}  // namespace
