#include "tools/attrdiff/document_diff.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

#include "tools/attrdiff/lun_identity.h"
#include "tools/attrdiff/san_view.h"

namespace scandoc {

namespace {

struct Noun {
    const char* element;
    const char* noun;
};
constexpr Noun kNouns[] = {
    {"SystemXml", "system"},
    {"NtOperatingSystemXml", "operating system"},
    {"LogicalVolumeXml", "logical volume"},
    {"HostFileSystemXml", "file system"},
    {"PhysicalVolumeXml", "physical volume"},
    {"ControllerXml", "adapter"},
    {"LogicalUnitXml", "logical unit"},
    {"PeripheralEntityXml", "storage system"},
    {"FcNodeXml", "FC node"},
    {"FcPortXml", "FC port"},
    {"SystemResources", "system resources"},
    {"OperatingSystem", "operating system"},
    {"FileSystem", "file system"},
};

// Versions an administrator tracks, by element and parameter.
struct VersionParameter {
    const char* element;
    const char* parameter;
};
constexpr VersionParameter kVersions[] = {
    {"ControllerXml", "Driver Version"},
    {"ControllerXml", "Firmware Version"},
    {"PeripheralEntityXml", "Revision"},
};

// Sizes in megabytes (or bytes, for a logical unit's capacity) that grow and shrink on
// their own; a move within the threshold is no difference.
constexpr const char* kSpaceParameters[] = {
    "Capacity", "Size", "Free Space", "Total Space", "size", "freeSpace", "totalSpace",
};

bool isSpaceParameter(const std::string& name)
{
    for (const char* s : kSpaceParameters)
        if (name == s) return true;
    return false;
}

bool isVersionParameter(const std::string& element, const std::string& name)
{
    for (const VersionParameter& v : kVersions)
        if (element == v.element && name == v.parameter) return true;
    return false;
}

std::optional<double> number(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The signed change in percent of before; from zero, 100.
double percentChange(double before, double after)
{
    if (before == 0) return after == 0 ? 0 : (after > 0 ? 100 : -100);
    return (after - before) / std::fabs(before) * 100;
}

bool sameWithin(const std::string& name, const std::string& before, const std::string& after, double threshold)
{
    if (before == after) return true;
    if (!isSpaceParameter(name)) return false;
    const auto a = number(before), b = number(after);
    return a && b && std::fabs(percentChange(*a, *b)) <= threshold * 100;
}

std::vector<ParameterChange> compareParameters(const Entity& before, const Entity& after, double threshold)
{
    // Mostly both sides list the same names in the same order: compare them pairwise.
    const auto& x = before.parameters;
    const auto& y = after.parameters;
    if (x.size() == y.size() &&
        std::equal(x.begin(), x.end(), y.begin(), [](const Parameter& a, const Parameter& b) { return a.name == b.name; })) {
        std::vector<ParameterChange> changes;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!sameWithin(x[i].name, x[i].value, y[i].value, threshold))
                changes.push_back({x[i].name, x[i].value, y[i].value});
        return changes;
    }
    // The n-th parameter of a name matches the n-th of that name on the other side.
    std::unordered_map<std::string, std::vector<const std::string*>> later;
    for (const Parameter& p : after.parameters) later[p.name].push_back(&p.value);
    std::unordered_map<std::string, std::size_t> used;
    std::vector<ParameterChange> changes;
    for (const Parameter& p : before.parameters) {
        const std::size_t n = used[p.name]++;
        const auto it = later.find(p.name);
        if (it == later.end() || n >= it->second.size()) {
            changes.push_back({p.name, p.value, std::nullopt});
            continue;
        }
        const std::string& value = *it->second[n];
        if (!sameWithin(p.name, p.value, value, threshold)) changes.push_back({p.name, p.value, value});
    }
    std::unordered_map<std::string, std::size_t> seen;
    for (const Parameter& p : after.parameters) {
        const std::size_t n = seen[p.name]++;
        const auto u = used.find(p.name);
        if (u == used.end() || n >= u->second) changes.push_back({p.name, std::nullopt, p.value});
    }
    return changes;
}

// References of a that b lacks, counting repeats.
std::vector<Reference> missingFrom(const std::vector<Reference>& a, const std::vector<Reference>& b)
{
    if (a == b) return {};
    std::unordered_map<EntityKey, int, EntityKeyHash> count;
    count.reserve(b.size());
    for (const Reference& r : b) ++count[EntityKey{r.element, r.target}];
    std::vector<Reference> out;
    for (const Reference& r : a) {
        const auto it = count.find(EntityKey{r.element, r.target});
        if (it != count.end() && it->second > 0) --it->second;
        else out.push_back(r);
    }
    return out;
}

std::string subjectOf(const Entity& e)
{
    if (e.element == "LogicalUnitXml") return "logical unit " + unitIdentity(e).label;
    return elementNoun(e.element) + " " + displayName(e);
}

void unitFindings(const Document& before, const Document& after, std::vector<Finding>& findings)
{
    const SanView a = buildSanView(before), b = buildSanView(after);
    std::unordered_map<std::string, const UnitView*> laterUnits;
    for (const UnitView& u : b.units) laterUnits.emplace(u.key, &u);
    std::unordered_set<std::string> earlier;
    auto finding = [](const UnitView& u, int portsBefore, int portsAfter) {
        Finding f{FindingKind::UnitPaths, "LogicalUnitXml", u.label, "logical unit " + u.label, {}, {}, {}, 0, 0, 0};
        f.portsBefore = portsBefore;
        f.portsAfter = portsAfter;
        return f;
    };
    for (const UnitView& u : a.units) {
        earlier.insert(u.key);
        const auto it = laterUnits.find(u.key);
        const int now = it == laterUnits.end() ? 0 : static_cast<int>(it->second->adapterPorts.size());
        if (now != static_cast<int>(u.adapterPorts.size()))
            findings.push_back(finding(u, static_cast<int>(u.adapterPorts.size()), now));
    }
    for (const UnitView& u : b.units)
        if (!earlier.count(u.key)) findings.push_back(finding(u, 0, static_cast<int>(u.adapterPorts.size())));

    // A target port is gone when no adapter reaches it any more, even if the fabric
    // still lists it.
    std::unordered_set<std::string> laterPorts, laterStorage, laterAdapters;
    for (const TargetPortView& t : b.targetPorts)
        if (!t.adapters.empty()) laterPorts.insert(t.id);
    for (const AdapterView& x : b.adapters) laterAdapters.insert(x.controller->id);
    for (const AdapterView& x : a.adapters)
        if (!laterAdapters.count(x.controller->id))
            findings.push_back({FindingKind::AdapterGone, "ControllerXml", x.controller->id, "adapter " + x.name,
                                {}, {}, {}, 0, 0, 0});
    for (const StorageView& s : b.storage)
        if (s.entity) laterStorage.insert(s.id);
    for (const TargetPortView& t : a.targetPorts)
        if (!t.adapters.empty() && !laterPorts.count(t.id))
            findings.push_back({FindingKind::TargetPortGone, "FcPortXml", t.id,
                                "target port " + t.id.substr(t.id.find(':') + 1), {}, {}, {}, 0, 0, 0});
    for (const StorageView& s : a.storage)
        if (s.entity && !laterStorage.count(s.id))
            findings.push_back({FindingKind::StorageGone, "PeripheralEntityXml", s.id, "storage system " + s.name,
                                {}, {}, {}, 0, 0, 0});
}

}  // namespace

std::string elementNoun(const std::string& element)
{
    for (const Noun& n : kNouns)
        if (element == n.element) return n.noun;
    return element;
}

DocumentDiff diffDocuments(const Document& before, const Document& after, const DiffOptions& options)
{
    DocumentDiff diff;
    diff.kind = after.kind;

    std::unordered_map<EntityKey, const Entity*, EntityKeyHash> earlier, later;
    earlier.reserve(before.entities.size());
    later.reserve(after.entities.size());
    std::vector<std::string> elements;
    auto noteElement = [&](const std::string& element) {
        if (std::find(elements.begin(), elements.end(), element) == elements.end()) elements.push_back(element);
    };
    for (const Entity& e : before.entities) {
        earlier.emplace(keyOf(e), &e);
        noteElement(e.element);
    }
    for (const Entity& e : after.entities) {
        later.emplace(keyOf(e), &e);
        noteElement(e.element);
    }

    std::unordered_map<std::string, ElementDiff> byElement;
    for (const Entity& e : before.entities)
        if (!later.count(keyOf(e))) byElement[e.element].removed.push_back(&e);
    for (const Entity& e : after.entities) {
        const auto it = earlier.find(keyOf(e));
        if (it == earlier.end()) {
            byElement[e.element].added.push_back(&e);
            continue;
        }
        EntityChange change{it->second, &e, compareParameters(*it->second, e, options.spaceThreshold),
                            missingFrom(e.references, it->second->references),
                            missingFrom(it->second->references, e.references)};
        if (change.parameters.empty() && change.referencesAdded.empty() && change.referencesRemoved.empty()) continue;
        for (const ParameterChange& p : change.parameters) {
            if (!p.before || !p.after) continue;
            if (isVersionParameter(e.element, p.name)) {
                Finding f{FindingKind::Version, e.element, e.id, subjectOf(e), p.name, *p.before, *p.after, 0, 0, 0};
                diff.findings.push_back(std::move(f));
            } else if (isSpaceParameter(p.name)) {
                const auto a = number(*p.before), b = number(*p.after);
                if (!a || !b) continue;
                Finding f{FindingKind::Space, e.element, e.id, subjectOf(e), p.name, *p.before, *p.after, 0, 0, 0};
                f.percent = percentChange(*a, *b);
                diff.findings.push_back(std::move(f));
            }
        }
        byElement[e.element].changed.push_back(std::move(change));
    }
    for (const std::string& element : elements) {
        auto it = byElement.find(element);
        if (it == byElement.end()) continue;
        it->second.element = element;
        diff.elements.push_back(std::move(it->second));
    }

    if (after.kind != DocumentKind::FileSystemSummary) unitFindings(before, after, diff.findings);
    std::stable_sort(diff.findings.begin(), diff.findings.end(),
                     [](const Finding& x, const Finding& y) { return x.kind < y.kind; });
    return diff;
}

}  // namespace scandoc
