#include "bench/scale/call_log_replay.h"

#include <array>
#include <cstring>
#include <map>
#include <string_view>
#include <vector>

namespace bench {

namespace {

// The arguments of one log line: "<call> key=value ... -> results".
struct Line {
    std::string_view call;
    std::map<std::string_view, std::string_view> args;

    std::string_view text(std::string_view key) const {
        auto it = args.find(key);
        return it == args.end() ? std::string_view{} : it->second;
    }
    uint64_t number(std::string_view key) const {
        uint64_t v = 0;
        for (char c : text(key))
            if (c >= '0' && c <= '9') v = v * 10 + uint64_t(c - '0');
        return v;
    }
};

Line split(std::string_view s) {
    Line line;
    const auto arrow = s.find(" -> ");
    if (arrow != std::string_view::npos) s = s.substr(0, arrow);
    std::size_t at = s.find(' ');
    line.call = s.substr(0, at);
    while (at != std::string_view::npos) {
        const std::size_t start = at + 1;
        const std::size_t eq = s.find('=', start);
        if (eq == std::string_view::npos) break;
        std::size_t end;
        if (eq + 1 < s.size() && s[eq + 1] == '"') {
            // A quoted text: up to the next quote that is not escaped.
            end = eq + 2;
            while (end < s.size() && s[end] != '"') end += s[end] == '\\' ? 2 : 1;
            end = std::min(end + 1, s.size());
        } else {
            end = s.find(' ', start);
            if (end == std::string_view::npos) end = s.size();
        }
        line.args[s.substr(start, eq - start)] = s.substr(eq + 1, end - eq - 1);
        at = end < s.size() ? end : std::string_view::npos;
    }
    return line;
}

int nibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

std::vector<uint8_t> bytes(std::string_view hex) {
    std::vector<uint8_t> out(hex.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
    return out;
}

HBA_WWN wwn(std::string_view hex) {
    HBA_WWN w{};
    const auto b = bytes(hex);
    std::memcpy(w.wwn, b.data(), std::min(b.size(), sizeof w.wwn));
    return w;
}

// A quoted log text back to its bytes ("\xNN", "\"", "\\").
std::string unquote(std::string_view q) {
    std::string out;
    if (q.size() < 2) return out;
    q = q.substr(1, q.size() - 2);
    for (std::size_t i = 0; i < q.size(); ++i) {
        if (q[i] != '\\' || i + 1 >= q.size()) {
            out += q[i];
        } else if (q[i + 1] == 'x' && i + 3 < q.size()) {
            out += char(nibble(q[i + 2]) << 4 | nibble(q[i + 3]));
            i += 3;
        } else {
            out += q[++i];
        }
    }
    return out;
}

}  // namespace

ReplayCounts replayCallLog(const hba::HbaApi& api, std::istream& log) {
    ReplayCounts counts;
    std::map<uint64_t, HBA_HANDLE> handles;
    auto handle = [&](const Line& l) {
        auto it = handles.find(l.number("handle"));
        return it == handles.end() ? HBA_HANDLE{0} : it->second;
    };
    std::vector<uint8_t> rsp, sense;
    HBA_UINT32 nextLogged = 1;
    for (std::string text; std::getline(log, text);) {
        const Line l = split(text);
        ++counts.calls;
        if (l.call == "HBA_LoadLibrary") {
            api.HBA_LoadLibrary();
        } else if (l.call == "HBA_FreeLibrary") {
            api.HBA_FreeLibrary();
        } else if (l.call == "HBA_GetVersion") {
            api.HBA_GetVersion();
        } else if (l.call == "HBA_GetNumberOfAdapters") {
            api.HBA_GetNumberOfAdapters();
        } else if (l.call == "HBA_GetAdapterName") {
            std::array<char, 256> name{};
            api.HBA_GetAdapterName(HBA_UINT32(l.number("index")), name.data());
        } else if (l.call == "HBA_OpenAdapter") {
            std::string name = unquote(l.text("name"));
            const HBA_HANDLE h = api.HBA_OpenAdapter(name.data());
            if (h != 0) handles[nextLogged++] = h;
        } else if (l.call == "HBA_CloseAdapter") {
            api.HBA_CloseAdapter(handle(l));
        } else if (l.call == "HBA_RefreshInformation") {
            api.HBA_RefreshInformation(handle(l));
        } else if (l.call == "HBA_GetAdapterAttributes") {
            HBA_ADAPTERATTRIBUTES a{};
            api.HBA_GetAdapterAttributes(handle(l), &a);
        } else if (l.call == "HBA_GetAdapterPortAttributes") {
            HBA_PORTATTRIBUTES p{};
            api.HBA_GetAdapterPortAttributes(handle(l), HBA_UINT32(l.number("port")), &p);
        } else if (l.call == "HBA_GetDiscoveredPortAttributes") {
            HBA_PORTATTRIBUTES p{};
            api.HBA_GetDiscoveredPortAttributes(handle(l), HBA_UINT32(l.number("port")),
                                                HBA_UINT32(l.number("index")), &p);
        } else if (l.call == "HBA_SendReportLUNs") {
            rsp.assign(l.number("rsp"), 0);
            sense.assign(l.number("sense"), 0);
            api.HBA_SendReportLUNs(handle(l), wwn(l.text("wwn")), rsp.data(), HBA_UINT32(rsp.size()), sense.data(),
                                   HBA_UINT32(sense.size()));
        } else if (l.call == "HBA_SendScsiInquiry") {
            rsp.assign(l.number("rsp"), 0);
            sense.assign(l.number("sense"), 0);
            HBA_UINT64 lun = 0;
            const auto lunBytes = bytes(l.text("lun"));
            std::memcpy(&lun, lunBytes.data(), std::min(lunBytes.size(), sizeof lun));
            api.HBA_SendScsiInquiry(handle(l), wwn(l.text("wwn")), lun, HBA_UINT8(l.number("evpd")),
                                    HBA_UINT32(nibble(l.text("page")[0]) << 4 | nibble(l.text("page")[1])),
                                    rsp.data(), HBA_UINT32(rsp.size()), sense.data(), HBA_UINT32(sense.size()));
        } else if (l.call == "HBA_SendRNID") {
            rsp = bytes(l.text("buf"));
            rsp.resize(std::max<std::size_t>(rsp.size(), l.number("room")));
            HBA_UINT32 room = HBA_UINT32(l.number("room"));
            api.HBA_SendRNID(handle(l), wwn(l.text("wwn")), HBA_WWNTYPE(l.number("type")), rsp.data(), &room);
        } else if (l.call == "HBA_SendCTPassThru") {
            std::vector<uint8_t> req = bytes(l.text("req"));
            rsp.assign(l.number("rsp"), 0);
            api.HBA_SendCTPassThru(handle(l), req.data(), HBA_UINT32(req.size()), rsp.data(), HBA_UINT32(rsp.size()));
        } else {
            --counts.calls;
            ++counts.skipped;
        }
    }
    return counts;
}

}  // namespace bench
