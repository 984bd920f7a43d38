#include "sim/hba/fabric_services.h"

#include <algorithm>

#include "wire/ct.h"

namespace sansim {

namespace {

constexpr std::size_t kPreamble = wire::kCtPreambleSize;

enum class Server { NameServer, ConfigServer };

struct Request {
    std::span<const uint8_t> preamble;
    std::span<const uint8_t> payload;
};

struct Result {
    bool rejected = false;
    uint8_t reason = 0, explanation = 0;
    Bytes payload;
};

Result reject(uint8_t reason, uint8_t explanation) { return {true, reason, explanation, {}}; }

// The answer's preamble keeps the request's IN_ID, type, subtype and options.
wire::CtPreamble answerPreamble(const Request& r, uint16_t code) {
    const wire::CtPreamble asked = wire::decodeCtPreamble(r.preamble);
    wire::CtPreamble p;
    p.inId = asked.inId;
    p.gsType = asked.gsType;
    p.gsSubtype = asked.gsSubtype;
    p.options = asked.options;
    p.code = code;
    return p;
}

Bytes bytesOf(std::span<const uint8_t> b) { return Bytes(b.begin(), b.end()); }
Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }
Bytes nameBlock(std::string_view name) { return bytesOf(wire::encodeNameBlock(name)); }

using wire::wwnAt;

// --- Name server --------------------------------------------------------------------

const NameServerPort* portById(const Fabric& f, uint32_t id) {
    for (const auto& p : f.ports)
        if (p.portId == id) return &p;
    return nullptr;
}
const NameServerPort* portByName(const Fabric& f, const Wwn& name) {
    for (const auto& p : f.ports)
        if (p.portName == name) return &p;
    return nullptr;
}
const NameServerPort* portByNode(const Fabric& f, const Wwn& node) {
    for (const auto& p : f.ports)
        if (p.nodeName == node) return &p;
    return nullptr;
}

// GA_NXT: the port object of the next registered address above the one given, wrapping
// round to the lowest: the entries form a ring in address order.
Result nextPortObject(const Fabric& f, std::span<const uint8_t> payload) {
    if (f.ports.empty()) return reject(kRejectUnableToPerform, kExplainPortIdNotRegistered);
    const uint32_t after = wire::fcAddressOf(wire::decodePortIdPayload(payload));
    const NameServerPort* next = &f.ports.front();
    for (const auto& p : f.ports)
        if (p.portId > after) {
            next = &p;
            break;
        }
    const NameServerPort& p = *next;
    wire::NameServerPortObject o;
    o.portType = p.portType;
    o.portId = wire::portIdFromFcAddress(p.portId);
    o.portName = p.portName;
    o.symbolicPortName = bytesOf(p.symbolicPortName.value_or(""));
    o.nodeName = p.nodeName;
    o.symbolicNodeName = bytesOf(p.symbolicNodeName.value_or(""));
    o.initialProcessAssociator = wire::bytesAt<8>(p.initialProcessAssociator, 0);
    o.nodeIpAddress = wire::bytesAt<16>(p.nodeIpAddress, 0);
    o.classOfService = p.classOfService;
    o.fc4Types = wire::bytesAt<32>(p.fc4Types, 0);
    o.portIpAddress = wire::bytesAt<16>(p.portIpAddress, 0);
    o.fabricPortName = p.fabricPortName;
    o.hardAddress = p.hardAddress;
    return {false, 0, 0, wire::encodePortObject(o)};
}

// GID_PN: the address of a port name.
Result portIdOfPortName(const Fabric& f, std::span<const uint8_t> payload) {
    const NameServerPort* p = portByName(f, wwnAt(payload, 0));
    if (!p) return reject(kRejectUnableToPerform, kExplainPortNameNotRegistered);
    return {false, 0, 0, bytesOf(wire::encodePortIdPayload(wire::portIdFromFcAddress(p->portId)))};
}

// The ports of a node name: 16-byte entries (control byte, bit 0x80 on the last; port
// address; 4 reserved; port name) in address order.
Result portsOfNode(const Fabric& f, std::span<const uint8_t> payload) {
    const Wwn node = wwnAt(payload, 0);
    std::vector<wire::PortEntry> entries;
    for (const auto& p : f.ports)
        if (p.nodeName == node) entries.push_back({wire::portIdFromFcAddress(p.portId), p.portName});
    if (entries.empty()) return reject(kRejectUnableToPerform, kExplainNodeNameNotRegistered);
    return {false, 0, 0, wire::encodePortEntries(entries)};
}

// GSNN_NN: the symbolic node name of a node name.
Result symbolicNodeName(const Fabric& f, std::span<const uint8_t> payload) {
    const NameServerPort* p = portByNode(f, wwnAt(payload, 0));
    if (!p) return reject(kRejectUnableToPerform, kExplainNodeNameNotRegistered);
    if (!p->symbolicNodeName) return reject(kRejectUnableToPerform, kExplainSymbolicNodeNameNotRegistered);
    return {false, 0, 0, nameBlock(*p->symbolicNodeName)};
}

// GSPN_ID: the symbolic port name of a port address.
Result symbolicPortName(const Fabric& f, std::span<const uint8_t> payload) {
    const NameServerPort* p = portById(f, wire::fcAddressOf(wire::decodePortIdPayload(payload)));
    if (!p) return reject(kRejectUnableToPerform, kExplainPortIdNotRegistered);
    if (!p->symbolicPortName) return reject(kRejectUnableToPerform, kExplainSymbolicPortNameNotRegistered);
    return {false, 0, 0, nameBlock(*p->symbolicPortName)};
}

// --- Configuration server -------------------------------------------------------------

// The platform whose name the request's 256-byte name block gives.
const Platform* platformNamed(const Fabric& f, std::span<const uint8_t> payload) {
    const auto name = wire::nameOfBlock(payload);
    for (const auto& p : f.platforms)
        if (std::equal(p.name.begin(), p.name.end(), name.begin(), name.end())) return &p;
    return nullptr;
}

// A counted list of name blocks.
Bytes nameBlockList(const std::vector<std::string>& names) {
    std::vector<wire::NameBlock> blocks;
    for (const auto& n : names) blocks.push_back(wire::encodeNameBlock(n));
    std::vector<std::span<const uint8_t>> entries(blocks.begin(), blocks.end());
    return wire::encodeCountedList(static_cast<uint32_t>(names.size()), entries);
}

Result platformNames(const Fabric& f, std::span<const uint8_t>) {
    std::vector<std::string> names;
    for (const auto& p : f.platforms) names.push_back(p.name);
    return {false, 0, 0, nameBlockList(names)};
}

Result platformType(const Fabric& f, std::span<const uint8_t> payload) {
    const Platform* p = platformNamed(f, payload);
    if (!p) return reject(kRejectUnableToPerform, kExplainNone);
    return {false, 0, 0, bytesOf(wire::encodePlatformType(p->type))};
}

Result platformManagementAddresses(const Fabric& f, std::span<const uint8_t> payload) {
    const Platform* p = platformNamed(f, payload);
    if (!p) return reject(kRejectUnableToPerform, kExplainNone);
    return {false, 0, 0, nameBlockList(p->managementAddresses)};
}

Result platformNodeNames(const Fabric& f, std::span<const uint8_t> payload) {
    const Platform* p = platformNamed(f, payload);
    if (!p) return reject(kRejectUnableToPerform, kExplainNone);
    std::vector<std::span<const uint8_t>> entries(p->nodeNames.begin(), p->nodeNames.end());
    return {false, 0, 0, wire::encodeCountedList(static_cast<uint32_t>(entries.size()), entries)};
}

// --- The command table ----------------------------------------------------------------

using Handler = Result (*)(const Fabric&, std::span<const uint8_t> payload);

struct Command {
    const char* name;
    Server server;
    uint16_t code;
    std::size_t payloadSize;  // the least payload the command needs
    Handler handler;
};

// One line per command; the name server answers at 0xFC/0x02 and, unzoned, at 0xFA/0x02.
constexpr Command kCommands[] = {
    {"GA_NXT", Server::NameServer, 0x0100, 4, nextPortObject},
    {"GSPN_ID", Server::NameServer, 0x0118, 4, symbolicPortName},
    {"GID_PN", Server::NameServer, 0x0121, 8, portIdOfPortName},
    {"PORTS_OF_NODE", Server::NameServer, 0x0132, 8, portsOfNode},
    {"GSNN_NN", Server::NameServer, 0x0139, 8, symbolicNodeName},
    {"PLATFORM_NODE_NAMES", Server::ConfigServer, 0x0191, wire::kNameBlockSize, platformNodeNames},
    {"PLATFORM_TYPE", Server::ConfigServer, 0x0192, wire::kNameBlockSize, platformType},
    {"PLATFORM_MGMT_ADDRESSES", Server::ConfigServer, 0x0193, wire::kNameBlockSize, platformManagementAddresses},
    {"PLATFORM_NAMES", Server::ConfigServer, 0x01A2, 0, platformNames},
};

std::optional<Server> serverAt(uint8_t type, uint8_t subtype) {
    if ((type == 0xFC || type == 0xFA) && subtype == 0x02) return Server::NameServer;
    if (type == 0xFA && subtype == 0x01) return Server::ConfigServer;
    return std::nullopt;
}

bool matches(const CtOverride& o, std::span<const uint8_t> request) {
    if (o.gsType && *o.gsType != request[4]) return false;
    if (o.gsSubtype && *o.gsSubtype != request[5]) return false;
    if (o.code != wire::decodeCtPreamble(request).code) return false;
    const auto payload = request.subspan(kPreamble);
    return payload.size() >= o.argument.size() && std::equal(o.argument.begin(), o.argument.end(), payload.begin());
}

Bytes finish(const Request& r, const Result& res) {
    wire::CtPreamble p = answerPreamble(r, res.rejected ? wire::kCtReject : wire::kCtAccept);
    if (res.rejected) {
        p.reason = res.reason;
        p.explanation = res.explanation;
        return wire::encodeCtIu(p, {});
    }
    return wire::encodeCtIu(p, res.payload);
}

// The answer of the first override that matches the request, if any.
std::optional<CtReply> overridden(std::span<const CtOverride> overrides, std::span<const uint8_t> request) {
    for (const CtOverride& o : overrides) {
        if (!matches(o, request)) continue;
        switch (o.kind) {
            case CtOverride::Kind::Status: return CtReply{o.status, std::nullopt};
            case CtOverride::Kind::Raw: return CtReply{o.status, o.raw};
            case CtOverride::Kind::Reject: {
                const Request r{request.first(kPreamble), request.subspan(kPreamble)};
                return CtReply{HBA_STATUS_OK, finish(r, reject(o.reason, o.explanation)), true};
            }
        }
    }
    return std::nullopt;
}

}  // namespace

CtReply answerCtRequest(const Fabric* fabric, std::span<const CtOverride> adapterOverrides,
                        std::span<const uint8_t> request) {
    if (request.size() < kPreamble) return {HBA_STATUS_ERROR_ARG, std::nullopt};
    if (auto r = overridden(adapterOverrides, request)) return *r;
    if (!fabric) return {HBA_STATUS_ERROR, std::nullopt};
    if (auto r = overridden(fabric->overrides, request)) return *r;
    const auto server = serverAt(request[4], request[5]);
    if (!server) return {HBA_STATUS_ERROR, std::nullopt};
    if (*server == Server::NameServer && !fabric->hasNameServer) return {HBA_STATUS_ERROR, std::nullopt};
    if (*server == Server::ConfigServer && !fabric->hasConfigServer) return {HBA_STATUS_ERROR, std::nullopt};

    const Request r{request.first(kPreamble), request.subspan(kPreamble)};
    const uint16_t code = wire::decodeCtPreamble(request).code;
    for (const Command& c : kCommands) {
        if (c.server != *server || c.code != code) continue;
        if (r.payload.size() < c.payloadSize) return {HBA_STATUS_OK, finish(r, reject(kRejectInvalidSize, kExplainNone)), true};
        return {HBA_STATUS_OK, finish(r, c.handler(*fabric, r.payload)), true};
    }
    return {HBA_STATUS_OK, finish(r, reject(kRejectNotSupported, kExplainNone)), true};
}

void fitCtAnswer(Bytes& answer, std::size_t room) {
    if (answer.size() <= room) return;
    if (answer.size() >= kPreamble) {
        const std::size_t words = (answer.size() - room + 3) / 4;
        putBe16(answer, 10, static_cast<uint32_t>(std::min<std::size_t>(words, 0xFFFF)));
    }
    answer.resize(room);
}

std::optional<CtCommandName> ctCommandByName(std::string_view name) {
    for (const Command& c : kCommands) {
        if (name != c.name) continue;
        if (c.server == Server::ConfigServer) return CtCommandName{c.code, 0xFA, 0x01};
        return CtCommandName{c.code, std::nullopt, 0x02};  // both name-server addresses
    }
    return std::nullopt;
}

}  // namespace sansim
