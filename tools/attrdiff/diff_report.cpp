#include "tools/attrdiff/diff_report.h"

#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace scandoc {

namespace {

// Values in double quotes; quotes, backslashes and control characters escaped so that
// one change stays on one line.
std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string ports(int n) { return std::to_string(n) + (n == 1 ? " adapter port" : " adapter ports"); }

std::string percentText(double p)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%+.1f%%", p);
    return buf;
}

std::string findingLine(const Finding& f)
{
    switch (f.kind) {
    case FindingKind::UnitPaths:
        if (f.portsBefore == 0) return f.subject + ": new, reached through " + ports(f.portsAfter);
        if (f.portsAfter == 0) return f.subject + ": gone, was reached through " + ports(f.portsBefore);
        return f.subject + ": reached through " + ports(f.portsAfter) + ", was " + std::to_string(f.portsBefore);
    case FindingKind::AdapterGone:
    case FindingKind::TargetPortGone:
    case FindingKind::StorageGone: return f.subject + ": gone";
    case FindingKind::Version: return f.subject + ": " + f.parameter + " " + f.before + " -> " + f.after;
    case FindingKind::Space:
        return f.subject + ": " + f.parameter + " " + f.before + " -> " + f.after + " (" + percentText(f.percent) + ")";
    }
    return f.subject;
}

const char* findingName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::UnitPaths: return "unit-paths";
    case FindingKind::AdapterGone: return "adapter-gone";
    case FindingKind::TargetPortGone: return "target-port-gone";
    case FindingKind::StorageGone: return "storage-gone";
    case FindingKind::Version: return "version";
    case FindingKind::Space: return "space";
    }
    return "?";
}

std::string counts(const ElementDiff& e)
{
    std::string out;
    auto add = [&](std::size_t n, const char* what) {
        if (n == 0) return;
        if (!out.empty()) out += ", ";
        out += std::to_string(n) + " " + what;
    };
    add(e.added.size(), "added");
    add(e.removed.size(), "removed");
    add(e.changed.size(), "changed");
    return out;
}

}  // namespace

std::string textReport(const DocumentDiff& diff)
{
    std::string out;
    if (!diff.findings.empty()) {
        out += "Changes to act on:\n";
        for (const Finding& f : diff.findings) out += "  " + findingLine(f) + "\n";
        out += "\n";
    }
    for (const ElementDiff& e : diff.elements) {
        out += elementNoun(e.element) + " (" + e.element + "): " + counts(e) + "\n";
        for (const Entity* a : e.added) out += "  + " + a->id + "\n";
        for (const Entity* r : e.removed) out += "  - " + r->id + "\n";
        for (const EntityChange& c : e.changed) {
            out += "  ~ " + c.after->id + "\n";
            for (const ParameterChange& p : c.parameters)
                out += "      " + p.name + ": " + (p.before ? quoted(*p.before) : "(none)") + " -> " +
                       (p.after ? quoted(*p.after) : "(none)") + "\n";
            for (const Reference& r : c.referencesAdded) out += "      + " + r.element + " " + r.target + "\n";
            for (const Reference& r : c.referencesRemoved) out += "      - " + r.element + " " + r.target + "\n";
        }
    }
    return out;
}

std::string jsonReport(const DocumentDiff& diff)
{
    using Json = nlohmann::ordered_json;
    Json root;
    root["kind"] = kindName(diff.kind);
    Json findings = Json::array();
    for (const Finding& f : diff.findings) {
        Json j;
        j["change"] = findingName(f.kind);
        j["element"] = f.element;
        j["id"] = f.id;
        j["subject"] = f.subject;
        if (f.kind == FindingKind::UnitPaths) {
            j["adapterPortsBefore"] = f.portsBefore;
            j["adapterPortsAfter"] = f.portsAfter;
        }
        if (f.kind == FindingKind::Version || f.kind == FindingKind::Space) {
            j["parameter"] = f.parameter;
            j["before"] = f.before;
            j["after"] = f.after;
        }
        if (f.kind == FindingKind::Space) j["percent"] = std::round(f.percent * 10) / 10;
        findings.push_back(std::move(j));
    }
    root["findings"] = std::move(findings);
    Json elements = Json::array();
    auto references = [](const std::vector<Reference>& list) {
        Json a = Json::array();
        for (const Reference& r : list) a.push_back({{"element", r.element}, {"target", r.target}});
        return a;
    };
    for (const ElementDiff& e : diff.elements) {
        Json j;
        j["element"] = e.element;
        j["added"] = Json::array();
        for (const Entity* a : e.added) j["added"].push_back(a->id);
        j["removed"] = Json::array();
        for (const Entity* r : e.removed) j["removed"].push_back(r->id);
        j["changed"] = Json::array();
        for (const EntityChange& c : e.changed) {
            Json change;
            change["id"] = c.after->id;
            change["parameters"] = Json::array();
            for (const ParameterChange& p : c.parameters)
                change["parameters"].push_back({{"name", p.name},
                                                {"before", p.before ? Json(*p.before) : Json()},
                                                {"after", p.after ? Json(*p.after) : Json()}});
            change["referencesAdded"] = references(c.referencesAdded);
            change["referencesRemoved"] = references(c.referencesRemoved);
            j["changed"].push_back(std::move(change));
        }
        elements.push_back(std::move(j));
    }
    root["elements"] = std::move(elements);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace scandoc
