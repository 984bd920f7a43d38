#include "record/hba_recorder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"

namespace record {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<uint8_t>;
using Wwn = wire::Wwn;

namespace {

// One answer to a SCSI command: status, the answer bytes and the sense bytes the call
// changed.
struct Answer {
    HBA_STATUS status = HBA_STATUS_OK;
    Bytes data;
    Bytes sense;
    bool operator==(const Answer&) const = default;
};

struct Unit {
    Wwn lun{};  // the 8 bytes of fcLUN as they stood in memory
    std::optional<Answer> inquiry, page80, page83;
};

struct Target {
    std::optional<Answer> reportLuns;  // the first REPORT LUNS
    std::optional<Answer> retry;       // the second, when it differed from the first
    std::vector<Unit> units;
};

struct Port {
    HBA_STATUS status = HBA_STATUS_OK;
    HBA_PORTATTRIBUTES attributes{};
};

struct Rnid {
    Wwn wwn{};
    HBA_WWNTYPE type = PORT_WWN;
    HBA_STATUS status = HBA_STATUS_OK;
    std::optional<Bytes> data;  // absent: nothing written, size left as it was
};

struct Ct {
    Bytes request;
    HBA_STATUS status = HBA_STATUS_OK;
    std::optional<Bytes> answer;  // absent: nothing written
};

struct Adapter {
    std::optional<std::string> name;
    HBA_STATUS nameStatus = HBA_STATUS_OK;
    bool openFails = false;
    bool taken = false;  // opened (or its open failed) and not closed since
    std::optional<HBA_STATUS> attributesStatus;
    HBA_ADAPTERATTRIBUTES attributes{};
    std::optional<Port> port;
    std::map<uint32_t, Port> discovered;
    std::vector<std::pair<Wwn, Target>> targets;  // by port WWN, in the order first asked
    std::vector<Rnid> rnid;
    std::vector<Ct> ct;
};

}  // namespace

struct HbaRecording {
    std::optional<HBA_STATUS> loadStatus, freeStatus;
    std::optional<HBA_UINT32> version, adapterCount;
    std::vector<Adapter> adapters;
    std::map<HBA_HANDLE, std::size_t> open;  // handle -> adapter index

    Adapter& adapterAt(std::size_t index) {
        if (adapters.size() <= index) adapters.resize(index + 1);
        return adapters[index];
    }
    Adapter* adapterOf(HBA_HANDLE handle) {
        auto it = open.find(handle);
        return it == open.end() ? nullptr : &adapters[it->second];
    }
};

namespace {

const hba::HbaApi* g_library = nullptr;
HbaRecording* g_recording = nullptr;
// The scan may call from several threads: the library is called outside the lock (calls
// wait side by side), the recording is changed under it.
std::mutex g_lock;

// The buffer's content before a call, to tell afterwards which bytes the call wrote.
class Snapshot {
public:
    Snapshot(const void* buffer, std::size_t size)
        : buffer_(static_cast<const uint8_t*>(buffer)), before_(copy(buffer_, buffer_ ? size : 0)) {}

    // The buffer's bytes up to the last one that changed; empty when none did.
    Bytes changed() const {
        std::size_t end = before_.size();
        while (end > 0 && buffer_[end - 1] == before_[end - 1]) --end;
        return copy(buffer_, end);
    }
    Bytes all() const { return copy(buffer_, before_.size()); }

private:
    static Bytes copy(const uint8_t* from, std::size_t n) {
        Bytes out(n);
        if (n > 0) std::memcpy(out.data(), from, n);
        return out;
    }
    const uint8_t* buffer_;
    Bytes before_;
};

Target& targetOf(Adapter& a, const HBA_WWN& portWwn) {
    const Wwn w = wwnOf(portWwn);
    for (auto& [wwn, target] : a.targets)
        if (wwn == w) return target;
    return a.targets.emplace_back(w, Target{}).second;
}

Unit& unitOf(Target& t, HBA_UINT64 fcLun) {
    Wwn lun;
    std::memcpy(lun.data(), &fcLun, lun.size());
    for (Unit& u : t.units)
        if (u.lun == lun) return u;
    Unit& u = t.units.emplace_back();
    u.lun = lun;
    return u;
}

// --- The recording calls -------------------------------------------------------------

HBA_UINT32 recGetVersion() {
    const HBA_UINT32 v = g_library->HBA_GetVersion();
    const std::lock_guard<std::mutex> held(g_lock);
    if (!g_recording->version) g_recording->version = v;
    return v;
}

HBA_STATUS recLoadLibrary() {
    const HBA_STATUS st = g_library->HBA_LoadLibrary();
    const std::lock_guard<std::mutex> held(g_lock);
    if (!g_recording->loadStatus) g_recording->loadStatus = st;
    return st;
}

HBA_STATUS recFreeLibrary() {
    const HBA_STATUS st = g_library->HBA_FreeLibrary();
    const std::lock_guard<std::mutex> held(g_lock);
    g_recording->freeStatus = st;
    g_recording->open.clear();
    return st;
}

HBA_UINT32 recGetNumberOfAdapters() {
    const HBA_UINT32 n = g_library->HBA_GetNumberOfAdapters();
    const std::lock_guard<std::mutex> held(g_lock);
    if (!g_recording->adapterCount) g_recording->adapterCount = n;
    return n;
}

HBA_STATUS recGetAdapterName(HBA_UINT32 index, char* name) {
    const HBA_STATUS st = g_library->HBA_GetAdapterName(index, name);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter& a = g_recording->adapterAt(index);
    if (st == HBA_STATUS_OK && name) a.name = std::string(name, ::strnlen(name, 256));
    else a.nameStatus = st;
    return st;
}

HBA_HANDLE recOpenAdapter(char* name) {
    const HBA_HANDLE h = g_library->HBA_OpenAdapter(name);
    const std::lock_guard<std::mutex> held(g_lock);
    const std::string n = name ? name : "";
    // Adapters of one name are taken in list order, so that two adapters that share a
    // name keep their own answers.
    auto& list = g_recording->adapters;
    auto it = std::find_if(list.begin(), list.end(), [&](const Adapter& a) { return a.name == n && !a.taken; });
    if (it == list.end()) {
        list.emplace_back().name = n;
        it = list.end() - 1;
    }
    it->taken = true;
    if (h == HBA_HANDLE_INVALID) it->openFails = true;
    else g_recording->open[h] = static_cast<std::size_t>(it - list.begin());
    return h;
}

void recCloseAdapter(HBA_HANDLE handle) {
    g_library->HBA_CloseAdapter(handle);
    const std::lock_guard<std::mutex> held(g_lock);
    if (Adapter* a = g_recording->adapterOf(handle)) a->taken = false;
    g_recording->open.erase(handle);
}

void recRefreshInformation(HBA_HANDLE handle) { g_library->HBA_RefreshInformation(handle); }

HBA_STATUS recGetAdapterAttributes(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* attributes) {
    const HBA_STATUS st = g_library->HBA_GetAdapterAttributes(handle, attributes);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter* a = g_recording->adapterOf(handle);
    if (a && !a->attributesStatus) {
        a->attributesStatus = st;
        if (st == HBA_STATUS_OK && attributes) a->attributes = *attributes;
    }
    return st;
}

HBA_STATUS recGetAdapterPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_PORTATTRIBUTES* attributes) {
    const HBA_STATUS st = g_library->HBA_GetAdapterPortAttributes(handle, portIndex, attributes);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter* a = g_recording->adapterOf(handle);
    if (a && portIndex == 0 && !a->port) {
        a->port = Port{st, {}};
        if (st == HBA_STATUS_OK && attributes) a->port->attributes = *attributes;
    }
    return st;
}

HBA_STATUS recGetDiscoveredPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_UINT32 index,
                                          HBA_PORTATTRIBUTES* attributes) {
    const HBA_STATUS st = g_library->HBA_GetDiscoveredPortAttributes(handle, portIndex, index, attributes);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter* a = g_recording->adapterOf(handle);
    if (a && portIndex == 0 && !a->discovered.contains(index)) {
        Port p{st, {}};
        if (st == HBA_STATUS_OK && attributes) p.attributes = *attributes;
        a->discovered.emplace(index, p);
    }
    return st;
}

HBA_STATUS recSendReportLUNs(HBA_HANDLE handle, HBA_WWN portWwn, void* rsp, HBA_UINT32 rspSize, void* sense,
                             HBA_UINT32 senseSize) {
    const Snapshot answer(rsp, rspSize), senseBytes(sense, senseSize);
    const HBA_STATUS st = g_library->HBA_SendReportLUNs(handle, portWwn, rsp, rspSize, sense, senseSize);
    const std::lock_guard<std::mutex> held(g_lock);
    if (Adapter* a = g_recording->adapterOf(handle)) {
        Target& t = targetOf(*a, portWwn);
        const Answer got{st, answer.changed(), senseBytes.changed()};
        if (!t.reportLuns) t.reportLuns = got;
        else if (!t.retry && got != *t.reportLuns) t.retry = got;
    }
    return st;
}

HBA_STATUS recSendScsiInquiry(HBA_HANDLE handle, HBA_WWN portWwn, HBA_UINT64 fcLun, HBA_UINT8 evpd, HBA_UINT32 page,
                              void* rsp, HBA_UINT32 rspSize, void* sense, HBA_UINT32 senseSize) {
    const Snapshot answer(rsp, rspSize), senseBytes(sense, senseSize);
    const HBA_STATUS st =
        g_library->HBA_SendScsiInquiry(handle, portWwn, fcLun, evpd, page, rsp, rspSize, sense, senseSize);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter* a = g_recording->adapterOf(handle);
    // Only the pages a world can answer are kept: standard INQUIRY, 0x80 and 0x83.
    const bool standard = !evpd && page == 0;
    if (a && (standard || (evpd && (page == 0x80 || page == 0x83)))) {
        Unit& u = unitOf(targetOf(*a, portWwn), fcLun);
        std::optional<Answer>& slot = standard ? u.inquiry : page == 0x80 ? u.page80 : u.page83;
        if (!slot) slot = Answer{st, answer.changed(), senseBytes.changed()};
    }
    return st;
}

HBA_STATUS recSendRNID(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE type, void* rsp, HBA_UINT32* rspSize) {
    const HBA_UINT32 room = rspSize ? *rspSize : 0;
    const Snapshot answer(rsp, room);
    const HBA_STATUS st = g_library->HBA_SendRNID(handle, wwn, type, rsp, rspSize);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter* a = g_recording->adapterOf(handle);
    if (!a || !rsp || !rspSize) return st;
    const Wwn w = wwnOf(wwn);
    for (const Rnid& r : a->rnid)
        if (r.wwn == w && r.type == type) return st;
    Rnid r{w, type, st, std::nullopt};
    const bool untouched = answer.changed().empty() && *rspSize == room;
    // A replayed answer sets the size to its own length, so it is kept that long.
    if (!untouched || st == HBA_STATUS_OK) {
        Bytes bytes = answer.all();
        bytes.resize(std::min<std::size_t>(*rspSize, room));
        r.data = std::move(bytes);
    }
    a->rnid.push_back(std::move(r));
    return st;
}

HBA_STATUS recSendCTPassThru(HBA_HANDLE handle, void* req, HBA_UINT32 reqSize, void* rsp, HBA_UINT32 rspSize) {
    const Snapshot answer(rsp, rspSize);
    const Bytes request = req ? Bytes(static_cast<const uint8_t*>(req), static_cast<const uint8_t*>(req) + reqSize)
                              : Bytes();
    const HBA_STATUS st = g_library->HBA_SendCTPassThru(handle, req, reqSize, rsp, rspSize);
    const std::lock_guard<std::mutex> held(g_lock);
    Adapter* a = g_recording->adapterOf(handle);
    constexpr std::size_t kPreamble = 16;
    if (!a || request.size() < kPreamble || !rsp) return st;
    for (const Ct& c : a->ct)
        if (c.request == request) return st;  // a repeated request is answered as the first time
    Ct c{request, st, std::nullopt};
    if (Bytes changed = answer.changed(); !changed.empty()) c.answer = std::move(changed);
    a->ct.push_back(std::move(c));
    return st;
}

// --- The world section ---------------------------------------------------------------

std::string hex(std::span<const uint8_t> bytes) { return scan::hexText(bytes); }

template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, ::strnlen(field, N));
}

std::string fcIdText(uint32_t id) {
    const uint8_t b[3] = {static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)};
    return hex(b);
}

Json answerJson(const Answer& a) {
    Json j = Json::object();
    if (a.status != HBA_STATUS_OK) j["status"] = a.status;
    j["raw"] = hex(a.data);  // always raw, even empty: without it the answer would be built
    if (!a.sense.empty()) j["sense"] = hex(a.sense);
    return j;
}

Json attributesJson(const HBA_ADAPTERATTRIBUTES& a) {
    return Json{{"manufacturer", fieldText(a.Manufacturer)},
                {"serialNumber", fieldText(a.SerialNumber)},
                {"model", fieldText(a.Model)},
                {"modelDescription", fieldText(a.ModelDescription)},
                {"nodeWwn", hex(a.NodeWWN.wwn)},
                {"nodeSymbolicName", fieldText(a.NodeSymbolicName)},
                {"hardwareVersion", fieldText(a.HardwareVersion)},
                {"driverVersion", fieldText(a.DriverVersion)},
                {"optionRomVersion", fieldText(a.OptionROMVersion)},
                {"firmwareVersion", fieldText(a.FirmwareVersion)},
                {"vendorSpecificId", a.VendorSpecificID},
                {"numberOfPorts", a.NumberOfPorts},
                {"driverName", fieldText(a.DriverName)}};
}

Json portJson(const Port& p) {
    if (p.status != HBA_STATUS_OK) return Json{{"status", p.status}};
    const HBA_PORTATTRIBUTES& a = p.attributes;
    return Json{{"nodeWwn", hex(a.NodeWWN.wwn)},
                {"portWwn", hex(a.PortWWN.wwn)},
                {"portFcId", fcIdText(a.PortFcId)},
                {"portType", a.PortType},
                {"portState", a.PortState},
                {"supportedClassOfService", a.PortSupportedClassofService},
                {"supportedFc4Types", hex(a.PortSupportedFc4Types.bits)},
                {"activeFc4Types", hex(a.PortActiveFc4Types.bits)},
                {"symbolicName", fieldText(a.PortSymbolicName)},
                {"osDeviceName", fieldText(a.OSDeviceName)},
                {"supportedSpeed", a.PortSupportedSpeed},
                {"speed", a.PortSpeed},
                {"maxFrameSize", a.PortMaxFrameSize},
                {"fabricName", hex(a.FabricName.wwn)},
                {"numberOfDiscoveredPorts", a.NumberofDiscoveredPorts}};
}

Json targetJson(const Target& t) {
    Json j = Json::object();
    if (t.reportLuns) j["reportLuns"] = answerJson(*t.reportLuns);
    if (t.retry) j["reportLunsRetry"] = answerJson(*t.retry);
    Json units = Json::array();
    for (const Unit& u : t.units) {
        Json unit{{"lun", hex(u.lun)}};
        if (u.inquiry) unit["inquiry"] = answerJson(*u.inquiry);
        if (u.page80) unit["page80"] = answerJson(*u.page80);
        if (u.page83) unit["page83"] = answerJson(*u.page83);
        units.push_back(std::move(unit));
    }
    if (!units.empty()) j["units"] = std::move(units);
    return j;
}

Json fabricJson(const Adapter& a) {
    Json f = Json::object();
    Json rnid = Json::array();
    for (const Rnid& r : a.rnid) {
        Json e{{r.type == NODE_WWN ? "nodeName" : "portName", hex(r.wwn)}};
        if (r.status != HBA_STATUS_OK || !r.data) e["status"] = r.status;
        if (r.data) e["raw"] = hex(*r.data);
        rnid.push_back(std::move(e));
    }
    // A recorded request matches every later request that starts with it, so among
    // requests of one command the longer are tried first.
    std::vector<const Ct*> order;
    for (const Ct& c : a.ct) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Ct* x, const Ct* y) { return x->request.size() > y->request.size(); });
    Json ct = Json::array();
    for (const Ct* c : order) {
        const Bytes& q = c->request;
        Json e{{"code", q[8] << 8 | q[9]}, {"gsType", q[4]}, {"gsSubtype", q[5]},
               {"argument", hex(std::span(q).subspan(16))}, {"status", c->status}};
        if (c->answer) e["raw"] = hex(*c->answer);
        ct.push_back(std::move(e));
    }
    if (!rnid.empty()) f["rnid"] = std::move(rnid);
    if (!ct.empty()) f["ct"] = std::move(ct);
    return f;
}

Json adapterJson(const Adapter& a) {
    Json j = Json::object();
    if (a.name) j["name"] = *a.name;
    if (a.nameStatus != HBA_STATUS_OK) j["nameStatus"] = a.nameStatus;
    if (a.openFails) j["openFails"] = true;
    if (a.attributesStatus && *a.attributesStatus != HBA_STATUS_OK) j["attributesStatus"] = *a.attributesStatus;
    if (a.attributesStatus == HBA_STATUS_OK) j["attributes"] = attributesJson(a.attributes);
    if (a.port) j["port"] = portJson(*a.port);

    // Discovered ports by index; SCSI answers go to the port of their WWN, or to a port
    // past the listed ones when no discovered port had that WWN.
    std::vector<Json> ports;
    std::vector<Wwn> wwns;
    const uint32_t listed = a.discovered.empty() ? 0 : a.discovered.rbegin()->first + 1;
    for (uint32_t i = 0; i < listed; ++i) {
        auto it = a.discovered.find(i);
        const Port p = it == a.discovered.end() ? Port{} : it->second;
        ports.push_back(it == a.discovered.end() ? Json::object() : portJson(p));
        wwns.push_back(p.status == HBA_STATUS_OK ? wwnOf(p.attributes.PortWWN) : Wwn{});
    }
    for (const auto& [wwn, target] : a.targets) {
        auto at = std::find(wwns.begin(), wwns.end(), wwn);
        if (at == wwns.end()) {
            ports.push_back(Json{{"portWwn", hex(wwn)}});
            wwns.push_back(wwn);
            at = wwns.end() - 1;
        }
        ports[static_cast<std::size_t>(at - wwns.begin())]["target"] = targetJson(target);
    }
    if (!ports.empty()) j["discoveredPorts"] = ports;
    j["fabric"] = fabricJson(a);
    return j;
}

}  // namespace

HbaRecorder::HbaRecorder(const hba::HbaApi& library) : recording_(std::make_unique<HbaRecording>()) {
    g_library = &library;
    g_recording = recording_.get();
    table_ = {recGetVersion,         recLoadLibrary,         recFreeLibrary,
              recGetNumberOfAdapters, recGetAdapterName,     recOpenAdapter,
              recCloseAdapter,        recRefreshInformation,  recGetAdapterAttributes,
              recGetAdapterPortAttributes, recGetDiscoveredPortAttributes, recSendReportLUNs,
              recSendScsiInquiry,     recSendRNID,           recSendCTPassThru};
}

HbaRecorder::~HbaRecorder() {
    if (g_recording == recording_.get()) g_recording = nullptr;
}

nlohmann::ordered_json HbaRecorder::hbaSection() const {
    const HbaRecording& r = *recording_;
    if (!r.loadStatus) return nullptr;
    Json h = Json::object();
    if (*r.loadStatus != HBA_STATUS_OK) h["loadStatus"] = *r.loadStatus;
    if (r.freeStatus && *r.freeStatus != HBA_STATUS_OK) h["freeStatus"] = *r.freeStatus;
    if (r.version) h["version"] = *r.version;
    h["adapterCount"] = r.adapterCount.value_or(0);
    Json adapters = Json::array();
    for (const Adapter& a : r.adapters) adapters.push_back(adapterJson(a));
    h["adapters"] = std::move(adapters);
    return h;
}

}  // namespace record
