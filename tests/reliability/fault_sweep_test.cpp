// The fault sweep: the sample world is scanned once with the call log on; then every HBA
// call of that log that the world can fail is failed in turn with each kind of status,
// and each scan's attribute document must be well-formed with every reference resolved.
// The scanner tells statuses apart only as success, 1 (error), 2 (not supported) and any
// other; the sweep uses 1, 2, 9 (check condition), 30 (the highest the API defines) and
// 0xFFFFFFFF (none defines it; traces print it as -1). The trace is on, so the failure
// paths' trace lines are formatted too. The scans run in this process against the
// simulated library (it reads the world again at each HBA_LoadLibrary), which keeps the
// hundreds of runs quick under the sanitizers.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/scan_trace.h"
#include "document/attribute_document.h"
#include "document/attribute_writer.h"
#include "driver/document_model.h"
#include "driver/scan_pass.h"
#include "hba/discovered.h"
#include "hba/hba_library.h"
#include "sim/world.h"
#include "tests/support/document_check.h"
#include "tests/support/run_program.h"
#include "tests/support/test_helpers.h"

namespace {

using Json = nlohmann::json;

const hba::HbaApi& simulatedApi() {
    static const hba::HbaLibrary library(ATTRSCAN_BINARY_DIR "/sim/libHBAAPI.so.2");
    return library.api();
}

// The host side reads the world once (it is the sample's in every scan); the simulated
// library reads it again at each HBA_LoadLibrary, so each scan meets its fault.
std::string scan(const std::string& worldPath) {
    testsupport::setEnv("SANSIM_WORLD", worldPath);
    const hba::SanDiscovery san = driver::discoverSan(simulatedApi(), "sweep-host");
    const doc::ScanParameters params;
    return doc::renderAttributeXml(driver::gatherAttributeModel(params, san.adapters, false), params);
}

// "key=value" of a call-log line (the first one with that key).
std::string field(const std::string& line, const std::string& key) {
    const auto at = line.find(" " + key + "=");
    if (at == std::string::npos) return "";
    const auto start = at + key.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

std::string normalWwn(std::string text) {
    std::erase(text, ':');
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// The 8 LUN bytes a unit's "lun" stands for, as the call log prints them.
std::string lunBytes(const Json& lun) {
    if (lun.is_string()) return normalWwn(lun.get<std::string>());
    const unsigned n = lun.get<unsigned>() & 0x3FFF;
    char text[24];
    if (n < 256) std::snprintf(text, sizeof text, "00%02X000000000000", n);
    else std::snprintf(text, sizeof text, "%02X%02X000000000000", 0x40 | (n >> 8), n & 0xFF);
    return text;
}

// One way to fail one logged call: a name for the report and the edit of the world that
// makes the simulated library answer that call with a status.
struct Fault {
    std::string name;
    std::function<void(Json& world, uint32_t status)> inject;
};

// The faults for the calls of a log, one per distinct call the world can fail.
std::vector<Fault> faultsOf(const Json& world, const std::vector<std::string>& log) {
    std::vector<Fault> faults;
    std::map<std::string, bool> seen;
    std::map<std::string, std::size_t> adapterOfHandle;
    const Json& adapters = world["hba"]["adapters"];
    auto add = [&](const std::string& name, std::function<void(Json&, uint32_t)> inject) {
        if (seen.emplace(name, true).second) faults.push_back({name, std::move(inject)});
    };
    auto portIndex = [&](std::size_t a, const std::string& wwn) -> long {
        const Json& ports = adapters[a]["discoveredPorts"];
        for (std::size_t p = 0; p < ports.size(); ++p)
            if (normalWwn(ports[p].value("portWwn", "")) == wwn) return static_cast<long>(p);
        return -1;
    };
    for (const std::string& line : log) {
        const std::string call = line.substr(0, line.find(' '));
        const std::string handle = field(line, "handle");
        const std::size_t a = adapterOfHandle.count(handle) ? adapterOfHandle[handle] : 0;
        const std::string at = "/hba/adapters/" + std::to_string(a);
        if (call == "HBA_LoadLibrary") {
            add(call, [](Json& w, uint32_t s) { w["hba"]["loadStatus"] = s; });
        } else if (call == "HBA_FreeLibrary") {
            add(call, [](Json& w, uint32_t s) { w["hba"]["freeStatus"] = s; });
        } else if (call == "HBA_GetAdapterName") {
            const std::string index = field(line, "index");
            add(call + " " + index,
                [index](Json& w, uint32_t s) { w["hba"]["adapters"][std::stoul(index)]["nameStatus"] = s; });
        } else if (call == "HBA_OpenAdapter") {
            const std::string name = field(line, "name");
            for (std::size_t i = 0; i < adapters.size(); ++i)
                if ("\"" + adapters[i].value("name", "") + "\"" == name) {
                    adapterOfHandle[field(line, "handle")] = i;
                    // An open has no status: it fails by giving no handle.
                    add(call + " " + name, [i](Json& w, uint32_t) { w["hba"]["adapters"][i]["openFails"] = true; });
                }
        } else if (call == "HBA_GetAdapterAttributes") {
            add(call + " " + at, [at](Json& w, uint32_t s) { w[Json::json_pointer(at)]["attributesStatus"] = s; });
        } else if (call == "HBA_GetAdapterPortAttributes") {
            add(call + " " + at, [at](Json& w, uint32_t s) { w[Json::json_pointer(at)]["port"]["status"] = s; });
        } else if (call == "HBA_GetDiscoveredPortAttributes") {
            const std::string p = at + "/discoveredPorts/" + field(line, "index");
            add(call + " " + p, [p](Json& w, uint32_t s) { w[Json::json_pointer(p)]["status"] = s; });
        } else if (call == "HBA_SendReportLUNs") {
            const long p = portIndex(a, field(line, "wwn"));
            if (p < 0) continue;
            const std::string t = at + "/discoveredPorts/" + std::to_string(p) + "/target";
            add(call + " " + t, [t](Json& w, uint32_t s) { w[Json::json_pointer(t)]["reportLuns"]["status"] = s; });
        } else if (call == "HBA_SendScsiInquiry") {
            const long p = portIndex(a, field(line, "wwn"));
            if (p < 0) continue;
            const std::string page = field(line, "evpd") == "0" ? "inquiry" : "page" + field(line, "page");
            const Json& units = adapters[a]["discoveredPorts"][p]["target"]["units"];
            for (std::size_t u = 0; u < units.size(); ++u) {
                if (lunBytes(units[u]["lun"]) != field(line, "lun")) continue;
                const std::string path = at + "/discoveredPorts/" + std::to_string(p) + "/target/units/" +
                                         std::to_string(u) + "/" + page;
                add(call + " " + path, [path](Json& w, uint32_t s) { w[Json::json_pointer(path)]["status"] = s; });
            }
        } else if (call == "HBA_SendRNID") {
            const std::string wwn = field(line, "wwn");
            // The first entry for a port wins, so the failing one goes in front.
            add(call + " " + wwn, [wwn](Json& w, uint32_t s) {
                w["fabric"]["rnid"].insert(w["fabric"]["rnid"].begin(), Json{{"portName", wwn}, {"status", s}});
            });
        } else if (call == "HBA_SendCTPassThru") {
            // The request: 16-byte preamble (GS type at 4, subtype at 5, command at 8-9),
            // then the payload, which the override matches by its start.
            const std::string req = field(line, "req");
            if (req.size() < 32) continue;
            const uint32_t type = std::stoul(req.substr(8, 2), nullptr, 16);
            const uint32_t subtype = std::stoul(req.substr(10, 2), nullptr, 16);
            const uint32_t code = std::stoul(req.substr(16, 4), nullptr, 16);
            const std::string payload = req.substr(32);
            add(call + " " + at + " " + req, [at, type, subtype, code, payload](Json& w, uint32_t s) {
                Json& ct = w[Json::json_pointer(at)]["ct"];
                if (!ct.is_array()) ct = Json::array();
                ct.insert(ct.begin(), Json{{"code", code}, {"gsType", type}, {"gsSubtype", subtype},
                                           {"argument", payload}, {"status", s}});
            });
        }
    }
    return faults;
}

TEST(FaultSweep, EveryFailedCallLeavesAWellFormedDocument) {
    const Json sample = Json::parse(testsupport::fileText(ATTRSCAN_SOURCE_DIR "/worlds/sample.json"));
    const std::string dir = ::testing::TempDir();
    // Named after the process: two builds' tests (and other checkouts') may run at once.
    const std::string worldPath = dir + "fault-sweep-" + std::to_string(::getpid()) + ".json";
    const std::string logPath = dir + "fault-sweep-calls-" + std::to_string(::getpid()) + ".log";

    // The trace of every scan goes to one file (the sample properties' rolling file).
    testsupport::InDirectory inScratch(dir);
    ASSERT_TRUE(GXgToolkitInit(ATTRSCAN_SOURCE_DIR "/conf/nativelog.properties"));
    scan::setTraceLogger(GXgGetLogger("native.trace.attributeScanner", nullptr));
    std::remove(logPath.c_str());
    testsupport::setEnv("SANSIM_CALL_LOG", logPath);
    testsupport::writeFile(worldPath, sample.dump());
    ASSERT_EQ(testsupport::documentProblem(scan(worldPath)), "");
    testsupport::setEnv("SANSIM_CALL_LOG", "");
    std::vector<std::string> log;
    {
        std::istringstream in(testsupport::fileText(logPath));
        for (std::string line; std::getline(in, line);) log.push_back(line);
    }
    const std::vector<Fault> faults = faultsOf(sample, log);
    ASSERT_GT(faults.size(), 50u);

    const std::vector<uint32_t> statuses = {1, 2, 9, 30, 0xFFFFFFFFu};

    int runs = 0;
    for (const Fault& fault : faults) {
        for (uint32_t status : statuses) {
            Json world = sample;
            fault.inject(world, status);
            const std::string text = world.dump();
            // A world the library would refuse is a scan without adapters: no fault at all.
            if (status == statuses.front()) {
                const auto checked = sim::parseWorld(worldPath, text);
                ASSERT_TRUE(checked.world) << fault.name << ": " << checked.error;
            }
            testsupport::writeFile(worldPath, text);
            const std::string document = scan(worldPath);
            ASSERT_EQ(testsupport::documentProblem(document), "") << fault.name << " status " << status;
            ++runs;
        }
    }
    scan::setTraceLogger(nullptr);
    GXgToolkitTerm();
    std::printf("fault sweep: %zu logged calls, %zu failable calls, %zu statuses, %d scans\n", log.size(),
                faults.size(), statuses.size(), runs);
}

}  // namespace
