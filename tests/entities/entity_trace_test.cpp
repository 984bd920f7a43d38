// The builders' entry and exit lines. The toolkit's two trace calls are replaced here by
// a recorder (this program links no other toolkit call), so the test sees every line the
// builders send: source, method, line number and text.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

#include "common/scan_trace.h"
#include "document/entity_builders.h"

namespace {
std::vector<std::string> gLines;
}

extern "C" {
bool GXgIsLoggable(GXgObject* logger, GXgLevel level) { return logger != nullptr && level >= GXG_LEVEL_DEBUG_MIN; }
void GXgLogTrace(GXgObject*, const char* source, const char* method, int line, const char* format, ...) {
    gLines.push_back(std::string(source) + " " + method + " " + std::to_string(line) + " " + format);
}
}

namespace {

using namespace doc;

TEST(EntityTrace, EntryAndExitLines) {
    scan::setTraceLogger(reinterpret_cast<GXgObject*>(&gLines));
    hba::DiscoveredAdapter a;
    a.adapterName = "A";
    hba::DeviceNode own;
    own.origin = hba::kOriginScsi;
    own.deviceType = hba::kDeviceTypeHba;
    a.nodeList.append(own);
    const std::vector<hba::DiscoveredAdapter> one{a};
    SystemRecord system;
    system.id = "S";

    // Lists with records: every builder writes both lines.
    const auto controllers = reStructAdapterInfo(system, one);
    auto entities = reStructDeviceToPE(one);  // the adapter's node has no units: no entity
    const auto units = assembleLUN(entities, system, one);
    const auto nodes = reStructDeviceToFCN(system, one, entities);
    const auto ports = reStructDeviceToFCP(one);
    const auto groups = assembleCG(controllers, nodes, ports, one);
    EXPECT_EQ(gLines, (std::vector<std::string>{
                          "Portsurveyxml reStructAdapterInfo 2069 Entering reStructAdapterInfo function",
                          "Portsurveyxml reStructAdapterInfo 2243 Exiting reStructAdapterInfo function",
                          "Portsurveyxml reStructDeviceToPE 2275 Entering reStructDeviceToPE function",
                          "Portsurveyxml assembleLUN 2559 Entering assembleLUN function",
                          "Portsurveyxml reStructDeviceToFCN 2789 Entering reStructDeviceToFCN function",
                          "Portsurveyxml reStructDeviceToFCN 2990 Exiting reStructDeviceToFCN function",
                          "Portsurveyxml reStructDeviceToFCP 3043 Entering reStructDeviceToFCP function",
                          "Portsurveyxml reStructDeviceToFCP 3105 Exiting reStructDeviceToFCP function",
                          "Portsurveyxml assembleCG 3171 Entering assembleCG function",
                          "Portsurveyxml assembleCG 3293 Exiting assembleCG function"}));

    // With units: the entity and unit builders write their exit lines too.
    gLines.clear();
    hba::DeviceNode target;
    target.origin = hba::kOriginScsi;
    target.lunList.emplace_back();
    a.nodeList.append(target);
    const std::vector<hba::DiscoveredAdapter> withUnits{a};
    entities = reStructDeviceToPE(withUnits);
    (void)assembleLUN(entities, system, withUnits);
    EXPECT_EQ(gLines, (std::vector<std::string>{
                          "Portsurveyxml reStructDeviceToPE 2275 Entering reStructDeviceToPE function",
                          "Portsurveyxml reStructDeviceToPE 2495 Exiting reStructDeviceToPE function",
                          "Portsurveyxml assembleLUN 2559 Entering assembleLUN function",
                          "Portsurveyxml assembleLUN 2749 Exiting assembleLUN function"}));

    // No logger: nothing is traced, the lists are the same.
    gLines.clear();
    scan::setTraceLogger(nullptr);
    EXPECT_EQ(reStructDeviceToPE(withUnits).size(), 1u);
    EXPECT_TRUE(gLines.empty());
}

}  // namespace
