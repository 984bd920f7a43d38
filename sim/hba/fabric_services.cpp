#include "sim/hba/fabric_services.h"

#include <algorithm>

namespace sansim {

namespace {

constexpr std::size_t kPreamble = 16;
constexpr uint16_t kAccept = 0x8002;
constexpr uint16_t kReject = 0x8001;
constexpr std::size_t kNameBlock = 256;     // length-prefixed name or address
constexpr std::size_t kPortObject = 620;    // name-server port object (GA_NXT)
constexpr std::size_t kSymbolicAnswer = 256;  // length byte and up to 255 characters

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

Bytes makePreamble(const Request& r, uint16_t code) {
    Bytes b(kPreamble, 0);
    std::copy_n(r.preamble.begin(), 8, b.begin());  // revision, IN_ID, type, subtype, options
    b[0] = 0x01;
    b[7] = 0;
    putBe16(b, 8, code);
    return b;
}

Wwn wwnAt(std::span<const uint8_t> p, std::size_t at) {
    Wwn w{};
    std::copy_n(p.begin() + static_cast<std::ptrdiff_t>(at), 8, w.begin());
    return w;
}

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

Bytes symbolicName(const std::string& name) {
    Bytes b(kSymbolicAnswer, 0);
    const std::size_t n = std::min<std::size_t>(name.size(), 255);
    b[0] = static_cast<uint8_t>(n);
    std::copy_n(name.begin(), n, b.begin() + 1);
    return b;
}

// GA_NXT: the port object of the next registered address above the one given, wrapping
// round to the lowest: the entries form a ring in address order.
Result nextPortObject(const Fabric& f, std::span<const uint8_t> payload) {
    if (f.ports.empty()) return reject(kRejectUnableToPerform, kExplainPortIdNotRegistered);
    const uint32_t after = getBe24(payload, 1);
    const NameServerPort* next = &f.ports.front();
    for (const auto& p : f.ports)
        if (p.portId > after) {
            next = &p;
            break;
        }
    const NameServerPort& p = *next;
    Bytes o(kPortObject, 0);
    o[0] = p.portType;
    putBe24(o, 1, p.portId);
    std::copy(p.portName.begin(), p.portName.end(), o.begin() + 4);
    const std::string spn = p.symbolicPortName.value_or("");
    o[12] = static_cast<uint8_t>(std::min<std::size_t>(spn.size(), 255));
    putText(o, 13, o[12], spn, 0);
    std::copy(p.nodeName.begin(), p.nodeName.end(), o.begin() + 268);
    const std::string snn = p.symbolicNodeName.value_or("");
    o[276] = static_cast<uint8_t>(std::min<std::size_t>(snn.size(), 255));
    putText(o, 277, o[276], snn, 0);
    std::copy(p.initialProcessAssociator.begin(), p.initialProcessAssociator.end(), o.begin() + 532);
    std::copy(p.nodeIpAddress.begin(), p.nodeIpAddress.end(), o.begin() + 540);
    putBe32(o, 556, p.classOfService);
    std::copy(p.fc4Types.begin(), p.fc4Types.end(), o.begin() + 560);
    std::copy(p.portIpAddress.begin(), p.portIpAddress.end(), o.begin() + 592);
    std::copy(p.fabricPortName.begin(), p.fabricPortName.end(), o.begin() + 608);
    putBe24(o, 617, p.hardAddress);
    return {false, 0, 0, std::move(o)};
}

// GID_PN: the address of a port name.
Result portIdOfPortName(const Fabric& f, std::span<const uint8_t> payload) {
    const NameServerPort* p = portByName(f, wwnAt(payload, 0));
    if (!p) return reject(kRejectUnableToPerform, kExplainPortNameNotRegistered);
    Bytes b(4, 0);
    putBe24(b, 1, p->portId);
    return {false, 0, 0, std::move(b)};
}

// The ports of a node name: 16-byte entries (control byte, bit 0x80 on the last; port
// address; 4 reserved; port name) in address order.
Result portsOfNode(const Fabric& f, std::span<const uint8_t> payload) {
    const Wwn node = wwnAt(payload, 0);
    Bytes b;
    for (const auto& p : f.ports) {
        if (p.nodeName != node) continue;
        const std::size_t at = b.size();
        b.resize(at + 16, 0);
        putBe24(b, at + 1, p.portId);
        std::copy(p.portName.begin(), p.portName.end(), b.begin() + static_cast<std::ptrdiff_t>(at + 8));
    }
    if (b.empty()) return reject(kRejectUnableToPerform, kExplainNodeNameNotRegistered);
    b[b.size() - 16] |= 0x80;
    return {false, 0, 0, std::move(b)};
}

// GSNN_NN: the symbolic node name of a node name.
Result symbolicNodeName(const Fabric& f, std::span<const uint8_t> payload) {
    const NameServerPort* p = portByNode(f, wwnAt(payload, 0));
    if (!p) return reject(kRejectUnableToPerform, kExplainNodeNameNotRegistered);
    if (!p->symbolicNodeName) return reject(kRejectUnableToPerform, kExplainSymbolicNodeNameNotRegistered);
    return {false, 0, 0, symbolicName(*p->symbolicNodeName)};
}

// GSPN_ID: the symbolic port name of a port address.
Result symbolicPortName(const Fabric& f, std::span<const uint8_t> payload) {
    const NameServerPort* p = portById(f, getBe24(payload, 1));
    if (!p) return reject(kRejectUnableToPerform, kExplainPortIdNotRegistered);
    if (!p->symbolicPortName) return reject(kRejectUnableToPerform, kExplainSymbolicPortNameNotRegistered);
    return {false, 0, 0, symbolicName(*p->symbolicPortName)};
}

// --- Configuration server -------------------------------------------------------------

Bytes nameBlock(const std::string& name) {
    Bytes b(kNameBlock, 0);
    const std::size_t n = std::min<std::size_t>(name.size(), 255);
    b[0] = static_cast<uint8_t>(n);
    std::copy_n(name.begin(), n, b.begin() + 1);
    return b;
}

// The platform whose name the request's 256-byte name block gives.
const Platform* platformNamed(const Fabric& f, std::span<const uint8_t> payload) {
    const std::size_t n = payload[0];
    for (const auto& p : f.platforms)
        if (p.name.size() == n && std::equal(p.name.begin(), p.name.end(), payload.begin() + 1)) return &p;
    return nullptr;
}

Bytes countedList(std::size_t count) {
    Bytes b(4, 0);
    putBe32(b, 0, static_cast<uint32_t>(count));
    return b;
}

Result platformNames(const Fabric& f, std::span<const uint8_t>) {
    Bytes b = countedList(f.platforms.size());
    for (const auto& p : f.platforms) {
        const Bytes n = nameBlock(p.name);
        b.insert(b.end(), n.begin(), n.end());
    }
    return {false, 0, 0, std::move(b)};
}

Result platformType(const Fabric& f, std::span<const uint8_t> payload) {
    const Platform* p = platformNamed(f, payload);
    if (!p) return reject(kRejectUnableToPerform, kExplainNone);
    Bytes b(4, 0);
    putBe32(b, 0, p->type);
    return {false, 0, 0, std::move(b)};
}

Result platformManagementAddresses(const Fabric& f, std::span<const uint8_t> payload) {
    const Platform* p = platformNamed(f, payload);
    if (!p) return reject(kRejectUnableToPerform, kExplainNone);
    Bytes b = countedList(p->managementAddresses.size());
    for (const auto& a : p->managementAddresses) {
        const Bytes n = nameBlock(a);
        b.insert(b.end(), n.begin(), n.end());
    }
    return {false, 0, 0, std::move(b)};
}

Result platformNodeNames(const Fabric& f, std::span<const uint8_t> payload) {
    const Platform* p = platformNamed(f, payload);
    if (!p) return reject(kRejectUnableToPerform, kExplainNone);
    Bytes b = countedList(p->nodeNames.size());
    for (const auto& n : p->nodeNames) b.insert(b.end(), n.begin(), n.end());
    return {false, 0, 0, std::move(b)};
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
    {"PLATFORM_NODE_NAMES", Server::ConfigServer, 0x0191, kNameBlock, platformNodeNames},
    {"PLATFORM_TYPE", Server::ConfigServer, 0x0192, kNameBlock, platformType},
    {"PLATFORM_MGMT_ADDRESSES", Server::ConfigServer, 0x0193, kNameBlock, platformManagementAddresses},
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
    if (o.code != ((request[8] << 8) | request[9])) return false;
    const auto payload = request.subspan(kPreamble);
    return payload.size() >= o.argument.size() && std::equal(o.argument.begin(), o.argument.end(), payload.begin());
}

Bytes finish(const Request& r, const Result& res) {
    Bytes b = makePreamble(r, res.rejected ? kReject : kAccept);
    if (res.rejected) {
        b[13] = res.reason;
        b[14] = res.explanation;
        return b;
    }
    b.insert(b.end(), res.payload.begin(), res.payload.end());
    return b;
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
    const uint16_t code = static_cast<uint16_t>((request[8] << 8) | request[9]);
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
