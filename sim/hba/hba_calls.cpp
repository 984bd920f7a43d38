#include "sim/hba/hba_calls.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "portability/zur_system.h"

#include "sim/hba/call_log.h"
#include "sim/hba/fabric_services.h"
#include "sim/hba/san_world.h"
#include "sim/hba/scsi_answers.h"
#include "sim/world.h"

namespace sansim {

namespace {

constexpr std::size_t kLoggedBytesMax = 4096;

struct State {
    std::optional<San> san;
    std::map<HBA_HANDLE, std::size_t> open;  // handle -> adapter index
    HBA_HANDLE nextHandle = 1;
    std::vector<bool> taken;                       // by adapter index: opened (or failed to) and not closed
    std::map<const Target*, int> reportLunsAsked;  // REPORT LUNS requests per target so far

    // Forgets every open adapter and every request, as a fresh load does.
    void restart() {
        open.clear();
        nextHandle = 1;
        taken.clear();
        reportLunsAsked.clear();
    }
};

std::mutex& lock() {
    static std::mutex m;
    return m;
}

State& state() {
    static State s;
    return s;
}

San readSan() {
    const Json* w = sim::world();
    if (!w) return San{};
    try {
        return buildSan(*w);
    } catch (const std::exception& e) {
        const char* path = std::getenv("SANSIM_WORLD");
        std::fprintf(stderr, "world file %s: SAN: %s\n", path ? path : "", e.what());
        return San{};
    }
}

const San& san() {
    State& s = state();
    if (!s.san) s.san = readSan();
    return *s.san;
}

const Adapter* adapterOf(HBA_HANDLE handle) {
    const State& s = state();
    auto it = s.open.find(handle);
    if (it == s.open.end()) return nullptr;
    return &san().adapters.at(it->second);
}

std::span<const uint8_t> wwnBytes(const HBA_WWN& w) { return std::span(w.wwn, 8); }

std::span<const uint8_t> bytesAt(const void* p, std::size_t n) {
    if (!p) return {};
    return std::span(static_cast<const uint8_t*>(p), std::min(n, kLoggedBytesMax));
}

const Port* targetPort(const Adapter& a, const HBA_WWN& wwn) {
    const Wwn w = wwnOf(wwn);
    for (const Port& p : a.discovered)
        if (std::memcmp(p.attributes.PortWWN.wwn, w.data(), 8) == 0) return &p;
    return nullptr;
}

// Copies the start of bytes into a caller's buffer of size bytes. An empty answer copies
// nothing: its data pointer may be null, which memcpy must never be given.
void copyCut(void* buffer, std::size_t size, const Bytes& bytes) {
    const std::size_t n = std::min(bytes.size(), size);
    if (buffer && n > 0) std::memcpy(buffer, bytes.data(), n);
}

// Writes an answer into the caller's buffers, cut to their sizes; returns its status.
HBA_STATUS deliver(const Answer& a, void* rsp, HBA_UINT32 rspSize, void* sense, HBA_UINT32 senseSize) {
    if (a.data) copyCut(rsp, rspSize, *a.data);
    if (a.sense) copyCut(sense, senseSize, *a.sense);
    return a.status;
}

const Unit* findUnit(const Target& t, HBA_UINT64 fcLun) {
    Wwn bytes{};
    std::memcpy(bytes.data(), &fcLun, 8);
    for (const Unit& u : t.units)
        if (u.lunId == bytes) return &u;
    for (const Unit& u : t.units)
        if (u.lunNumber && *u.lunNumber == fcLun) return &u;
    return t.anyUnit ? &*t.anyUnit : nullptr;
}

// Runs body under the library lock; an exception becomes HBA_STATUS_ERROR.
template <typename R, typename Body>
R guarded(R onFailure, Body body) {
    try {
        std::lock_guard<std::mutex> g(lock());
        return body();
    } catch (...) {
        return onFailure;
    }
}

// A time drawn evenly from the latency's range. The draws come from one counter shared by
// all threads, so a run on one thread always sees the same sequence.
uint32_t drawnMicros(const Latency& l) {
    if (l.maxMicros <= l.minMicros) return l.minMicros;
    static std::atomic<uint64_t> draws{0};
    uint64_t z = (draws.fetch_add(1, std::memory_order_relaxed) + 1) * 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return l.minMicros + static_cast<uint32_t>(z % (uint64_t{l.maxMicros} - l.minMicros + 1));
}

// Waits as long as the world says a call of this kind takes on a real SAN. The wait is
// outside the library lock, so calls made from several threads wait side by side.
void serveLatency(Latency Latencies::*kind) {
    Latency l;
    try {
        std::lock_guard<std::mutex> g(lock());
        l = san().latency.*kind;
    } catch (...) {
        return;
    }
    const uint32_t us = drawnMicros(l);
    if (us == 0) return;
    // A device answers in as little as 200 µs: the sleep must not run late by much.
    zur::sleepMicros(us);
}

}  // namespace

namespace api {

HBA_UINT32 HBA_GetVersion() {
    return guarded(HBA_UINT32{0}, [] {
        const HBA_UINT32 v = san().version;
        CallLine("HBA_GetVersion").results().number("version", v).write();
        return v;
    });
}

HBA_STATUS HBA_LoadLibrary() {
    return guarded(HBA_STATUS_ERROR, [] {
        State& s = state();
        sim::refreshWorld();
        s.san = readSan();
        s.restart();
        const HBA_STATUS st = s.san->loadStatus;
        CallLine("HBA_LoadLibrary").results().number("status", st).write();
        return st;
    });
}

HBA_STATUS HBA_FreeLibrary() {
    return guarded(HBA_STATUS_ERROR, [] {
        State& s = state();
        const HBA_STATUS st = san().freeStatus;
        s.san.reset();
        s.restart();
        CallLine("HBA_FreeLibrary").results().number("status", st).write();
        return st;
    });
}

HBA_UINT32 HBA_GetNumberOfAdapters() {
    return guarded(HBA_UINT32{0}, [] {
        const HBA_UINT32 n = san().adapterCount;
        CallLine("HBA_GetNumberOfAdapters").results().number("count", n).write();
        return n;
    });
}

HBA_STATUS HBA_GetAdapterName(HBA_UINT32 index, char* name) {
    return guarded(HBA_STATUS_ERROR, [&] {
        const San& s = san();
        HBA_STATUS st = HBA_STATUS_OK;
        CallLine line("HBA_GetAdapterName");
        line.number("index", index);
        if (!name) {
            st = HBA_STATUS_ERROR_ARG;
        } else if (index >= s.adapterCount || index >= s.adapters.size()) {
            st = HBA_STATUS_ERROR_ILLEGAL_INDEX;
        } else if (s.adapters[index].nameStatus != HBA_STATUS_OK) {
            st = s.adapters[index].nameStatus;
        } else {
            const std::string& n = s.adapters[index].name;
            const std::size_t len = std::min<std::size_t>(n.size(), 255);
            std::memcpy(name, n.data(), len);
            name[len] = '\0';
        }
        line.results().number("status", st);
        if (st == HBA_STATUS_OK) line.text("name", name);
        line.write();
        return st;
    });
}

HBA_HANDLE HBA_OpenAdapter(char* name) {
    return guarded(HBA_HANDLE{HBA_HANDLE_INVALID}, [&] {
        State& st = state();
        const San& s = san();
        HBA_HANDLE h = HBA_HANDLE_INVALID;
        if (name) {
            // Adapters that share a name are opened in list order: the first one not
            // open now (nor failed to open since), else the first of that name.
            st.taken.resize(s.adapters.size());
            std::optional<std::size_t> found;
            for (std::size_t i = 0; i < s.adapters.size() && !found; ++i)
                if (s.adapters[i].name == name && !st.taken[i]) found = i;
            for (std::size_t i = 0; i < s.adapters.size() && !found; ++i)
                if (s.adapters[i].name == name) found = i;
            if (found) {
                st.taken[*found] = true;
                if (!s.adapters[*found].openFails) {
                    h = st.nextHandle;
                    st.nextHandle = st.nextHandle >= 0xFFFF ? 1 : st.nextHandle + 1;
                    st.open[h] = *found;
                }
            }
        }
        CallLine("HBA_OpenAdapter").text("name", name ? name : "").results().number("handle", h).write();
        return h;
    });
}

void HBA_CloseAdapter(HBA_HANDLE handle) {
    guarded(HBA_STATUS_OK, [&] {
        State& s = state();
        if (auto it = s.open.find(handle); it != s.open.end()) {
            if (it->second < s.taken.size()) s.taken[it->second] = false;
            s.open.erase(it);
        }
        CallLine("HBA_CloseAdapter").number("handle", handle).write();
        return HBA_STATUS_OK;
    });
}

void HBA_RefreshInformation(HBA_HANDLE handle) {
    guarded(HBA_STATUS_OK, [&] {
        CallLine("HBA_RefreshInformation").number("handle", handle).write();
        return HBA_STATUS_OK;
    });
}

HBA_STATUS HBA_GetAdapterAttributes(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* attributes) {
    serveLatency(&Latencies::attributes);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) st = HBA_STATUS_ERROR_INVALID_HANDLE;
        else if (!attributes) st = HBA_STATUS_ERROR_ARG;
        else if (a->attributesStatus != HBA_STATUS_OK) st = a->attributesStatus;
        else *attributes = a->attributes;
        CallLine("HBA_GetAdapterAttributes").number("handle", handle).results().number("status", st).write();
        return st;
    });
}

HBA_STATUS HBA_GetAdapterPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_PORTATTRIBUTES* attributes) {
    serveLatency(&Latencies::attributes);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) st = HBA_STATUS_ERROR_INVALID_HANDLE;
        else if (!attributes) st = HBA_STATUS_ERROR_ARG;
        else if (portIndex != 0) st = HBA_STATUS_ERROR_ILLEGAL_INDEX;
        else if (a->port.status != HBA_STATUS_OK) st = a->port.status;
        else *attributes = a->port.attributes;
        CallLine("HBA_GetAdapterPortAttributes")
            .number("handle", handle)
            .number("port", portIndex)
            .results()
            .number("status", st)
            .write();
        return st;
    });
}

HBA_STATUS HBA_GetDiscoveredPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_UINT32 discoveredIndex,
                                       HBA_PORTATTRIBUTES* attributes) {
    serveLatency(&Latencies::attributes);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) st = HBA_STATUS_ERROR_INVALID_HANDLE;
        else if (!attributes) st = HBA_STATUS_ERROR_ARG;
        else if (portIndex != 0 || discoveredIndex >= a->discovered.size()) st = HBA_STATUS_ERROR_ILLEGAL_INDEX;
        else if (a->discovered[discoveredIndex].status != HBA_STATUS_OK) st = a->discovered[discoveredIndex].status;
        else *attributes = a->discovered[discoveredIndex].attributes;
        CallLine("HBA_GetDiscoveredPortAttributes")
            .number("handle", handle)
            .number("port", portIndex)
            .number("index", discoveredIndex)
            .results()
            .number("status", st)
            .write();
        return st;
    });
}

HBA_STATUS HBA_SendReportLUNs(HBA_HANDLE handle, HBA_WWN portWwn, void* rsp, HBA_UINT32 rspSize, void* sense,
                          HBA_UINT32 senseSize) {
    serveLatency(&Latencies::scsi);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        const Port* p = a ? targetPort(*a, portWwn) : nullptr;
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) st = HBA_STATUS_ERROR_INVALID_HANDLE;
        else if (!p) st = HBA_STATUS_ERROR_ILLEGAL_WWN;
        else if (!p->target) st = HBA_STATUS_ERROR_NOT_A_TARGET;
        else {
            const Target& t = *p->target;
            const bool again = state().reportLunsAsked[&t]++ > 0;
            st = deliver(again && t.reportLunsRetry ? *t.reportLunsRetry : t.reportLuns, rsp, rspSize, sense, senseSize);
        }
        CallLine("HBA_SendReportLUNs")
            .number("handle", handle)
            .hex("wwn", wwnBytes(portWwn))
            .number("rsp", rspSize)
            .number("sense", senseSize)
            .results()
            .number("status", st)
            .write();
        return st;
    });
}

HBA_STATUS HBA_SendScsiInquiry(HBA_HANDLE handle, HBA_WWN portWwn, HBA_UINT64 fcLun, HBA_UINT8 evpd, HBA_UINT32 pageCode,
                           void* rsp, HBA_UINT32 rspSize, void* sense, HBA_UINT32 senseSize) {
    serveLatency(&Latencies::scsi);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        const Port* p = a ? targetPort(*a, portWwn) : nullptr;
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) {
            st = HBA_STATUS_ERROR_INVALID_HANDLE;
        } else if (!p) {
            st = HBA_STATUS_ERROR_ILLEGAL_WWN;
        } else if (!p->target) {
            st = HBA_STATUS_ERROR_NOT_A_TARGET;
        } else {
            const Unit* u = findUnit(*p->target, fcLun);
            Answer absent;
            const Answer* answer = &absent;
            if (!evpd) {
                absent = pageCode == 0 ? absentUnitInquiry() : missingPage();
                if (u && pageCode == 0) answer = &u->inquiry;
            } else if (!u) {
                absent = absentUnitPage();
            } else if (pageCode == 0x80) {
                answer = &u->page80;
            } else if (pageCode == 0x83) {
                answer = &u->page83;
            } else {
                absent = missingPage();
            }
            st = deliver(*answer, rsp, rspSize, sense, senseSize);
        }
        uint8_t lun[8];
        std::memcpy(lun, &fcLun, 8);
        CallLine("HBA_SendScsiInquiry")
            .number("handle", handle)
            .hex("wwn", wwnBytes(portWwn))
            .hex("lun", lun)
            .number("evpd", evpd)
            .page("page", pageCode)
            .number("rsp", rspSize)
            .number("sense", senseSize)
            .results()
            .number("status", st)
            .write();
        return st;
    });
}

HBA_STATUS HBA_SendRNID(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE wwnType, void* rsp, HBA_UINT32* rspSize) {
    serveLatency(&Latencies::rnid);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        const HBA_UINT32 room = rspSize ? *rspSize : 0;
        CallLine line("HBA_SendRNID");
        line.number("handle", handle)
            .hex("wwn", wwnBytes(wwn))
            .number("type", static_cast<uint32_t>(wwnType))
            .number("room", room)
            .hex("buf", bytesAt(rsp, room));
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) {
            st = HBA_STATUS_ERROR_INVALID_HANDLE;
        } else if (!rsp || !rspSize) {
            st = HBA_STATUS_ERROR_ARG;
        } else if (!a->fabric) {
            st = HBA_STATUS_ERROR;
        } else {
            const Wwn w = wwnOf(wwn);
            const RnidEntry* entry = nullptr;
            for (const RnidEntry& e : a->fabric->rnid) {
                const std::optional<Wwn>& key = wwnType == NODE_WWN ? e.nodeName : e.portName;
                if (key && *key == w) {
                    entry = &e;
                    break;
                }
            }
            if (!entry) {
                st = HBA_STATUS_ERROR_ELS_REJECT;
            } else {
                st = deliver(entry->answer, rsp, room, nullptr, 0);
                if (entry->answer.data) *rspSize = static_cast<HBA_UINT32>(std::min<std::size_t>(entry->answer.data->size(), room));
            }
        }
        line.results().number("status", st).number("size", rspSize ? *rspSize : 0).write();
        return st;
    });
}

HBA_STATUS HBA_SendCTPassThru(HBA_HANDLE handle, void* req, HBA_UINT32 reqSize, void* rsp, HBA_UINT32 rspSize) {
    serveLatency(&Latencies::ct);
    return guarded(HBA_STATUS_ERROR, [&] {
        const Adapter* a = adapterOf(handle);
        HBA_STATUS st = HBA_STATUS_OK;
        if (!a) {
            st = HBA_STATUS_ERROR_INVALID_HANDLE;
        } else if (!req || !rsp) {
            st = HBA_STATUS_ERROR_ARG;
        } else {
            CtReply reply =
                answerCtRequest(a->fabric, a->ctOverrides, std::span(static_cast<const uint8_t*>(req), reqSize));
            st = reply.status;
            if (reply.answer) {
                if (reply.built) fitCtAnswer(*reply.answer, rspSize);
                copyCut(rsp, rspSize, *reply.answer);
            }
        }
        CallLine("HBA_SendCTPassThru")
            .number("handle", handle)
            .hex("req", bytesAt(req, reqSize))
            .number("rsp", rspSize)
            .results()
            .number("status", st)
            .write();
        return st;
    });
}

}  // namespace api

}  // namespace sansim
