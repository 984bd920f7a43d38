#include "tools/attrdiff/san_view.h"

#include <algorithm>
#include <unordered_map>

#include "tools/attrdiff/lun_identity.h"

namespace scandoc {

namespace {

std::string withoutPrefix(const std::string& id)
{
    const std::size_t colon = id.find(':');
    return colon == std::string::npos ? id : id.substr(colon + 1);
}

void addSorted(std::vector<std::string>& set, const std::string& value)
{
    const auto at = std::lower_bound(set.begin(), set.end(), value);
    if (at == set.end() || *at != value) set.insert(at, value);
}

void addOnce(std::vector<std::string>& list, const std::string& value)
{
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

// The ids an entity refers to through one reference element.
std::vector<std::string> referenced(const Entity& e, const char* element)
{
    std::vector<std::string> out;
    for (const Reference& r : e.references)
        if (r.element == element) out.push_back(r.target);
    return out;
}

}  // namespace

std::string displayName(const Entity& e)
{
    const char* name = e.element == "HostFileSystemXml"     ? "Mount Point"
                       : e.element == "PeripheralEntityXml" ? "Serial Number"
                       : e.element == "FcPortXml" || e.element == "FcNodeXml" ? "WWN"
                       : e.element == "SystemXml"           ? "Hostname"
                                                            : "Name";
    const std::string* value = e.parameter(name);
    if (value && !value->empty()) return *value;
    return withoutPrefix(e.id);
}

const Entity* SanView::find(const std::string& element, const std::string& id) const
{
    const auto it = byId.find(EntityKey{element, id});
    return it == byId.end() ? nullptr : it->second;
}

std::vector<const Entity*> SanView::volumesOf(const Entity& disk) const
{
    std::vector<const Entity*> out;
    for (const std::string& id : referenced(disk, "LogicalVolumeIdXml"))
        if (const Entity* v = find("LogicalVolumeXml", id)) out.push_back(v);
    return out;
}

SanView buildSanView(const Document& doc)
{
    SanView view;
    view.byId.reserve(doc.entities.size());
    for (const Entity& e : doc.entities) view.byId.emplace(keyOf(e), &e);

    std::unordered_map<std::string, std::string> controllerOfPort;  // adapter port -> controller id
    std::unordered_map<std::string, std::size_t> targetIndex, storageIndex, unitIndex;
    std::unordered_map<std::string_view, std::size_t> unitOfEntity;  // LogicalUnitXml id -> unit

    auto portsOfNode = [&](const std::string& nodeId) {
        const Entity* node = view.find("FcNodeXml", nodeId);
        return node ? referenced(*node, "FcPortIdXml") : std::vector<std::string>{};
    };
    auto targetPort = [&](const std::string& id) -> TargetPortView& {
        const auto [it, fresh] = targetIndex.emplace(id, view.targetPorts.size());
        if (fresh) view.targetPorts.push_back({id, view.find("FcPortXml", id), {}, {}});
        return view.targetPorts[it->second];
    };
    auto storage = [&](const std::string& id) -> StorageView& {
        const auto [it, fresh] = storageIndex.emplace(id, view.storage.size());
        if (fresh) {
            StorageView s;
            s.id = id;
            s.entity = view.find("PeripheralEntityXml", id);
            s.name = s.entity ? displayName(*s.entity) : withoutPrefix(id);
            view.storage.push_back(std::move(s));
        }
        return view.storage[it->second];
    };

    for (const Entity& e : doc.entities) {
        if (e.element == "SystemXml" && !view.system) {
            view.system = &e;
        } else if (e.element == "ControllerXml") {
            AdapterView a{&e, {}, displayName(e)};
            for (const std::string& node : referenced(e, "FcNodeIdXml"))
                for (const std::string& port : portsOfNode(node)) {
                    if (a.port.empty()) a.port = port;
                    controllerOfPort.emplace(port, e.id);
                }
            view.adapters.push_back(std::move(a));
        } else if (e.element == "PeripheralEntityXml") {
            StorageView& s = storage(e.id);
            for (const std::string& node : referenced(e, "FcNodeIdXml"))
                for (const std::string& port : portsOfNode(node)) {
                    addOnce(s.targetPorts, port);
                    targetPort(port).storage = e.id;
                }
        }
    }

    // Units come grouped by path, so the ports of the previous unit's path are usually
    // this one's too.
    std::string_view lastPath;
    std::string target, adapter;
    std::size_t targetAt = 0;
    for (const Entity& e : doc.entities) {
        if (e.element != "LogicalUnitXml") continue;
        UnitIdentity identity = unitIdentity(e);
        const auto [it, fresh] = unitIndex.emplace(std::move(identity.key), view.units.size());
        if (fresh) view.units.push_back({it->first, std::move(identity.label), {}, {}, {}, {}, {}, {}});
        UnitView& u = view.units[it->second];
        unitOfEntity.emplace(e.id, it->second);
        u.paths.push_back(&e);
        for (const Reference& r : e.references)
            if (r.element == "PeripheralEntityIdXml" && u.storage.empty()) u.storage = r.target;
        const std::string_view bare = std::string_view(e.id).substr(e.id.find(':') + 1);
        const auto path = decodeUnitPath(bare);
        if (!path) continue;
        if (bare.substr(0, 32) != lastPath) {
            lastPath = bare.substr(0, 32);
            target = "FcPortXml:" + path->targetPort;
            adapter = "FcPortXml:" + path->adapterPort;
            targetAt = &targetPort(target) - view.targetPorts.data();
            TargetPortView& t = view.targetPorts[targetAt];
            if (const auto c = controllerOfPort.find(adapter); c != controllerOfPort.end())
                addOnce(t.adapters, c->second);
        }
        addSorted(u.adapterPorts, adapter);
        addSorted(u.targetPorts, target);
        TargetPortView& t = view.targetPorts[targetAt];
        if (t.storage.empty()) t.storage = u.storage;
    }
    for (std::size_t i = 0; i < view.units.size(); ++i)
        if (!view.units[i].storage.empty()) storage(view.units[i].storage).units.push_back(i);

    // An adapter port's connectivity group lists the target ports that showed it units.
    for (const AdapterView& a : view.adapters) {
        if (a.port.empty()) continue;
        if (const Entity* port = view.find("FcPortXml", a.port))
            for (const std::string& member : referenced(*port, "ConnectivityGroupXml"))
                addOnce(targetPort(member).adapters, a.controller->id);
    }
    for (TargetPortView& t : view.targetPorts)
        if (!t.storage.empty()) addOnce(storage(t.storage).targetPorts, t.id);

    for (const Entity& e : doc.entities) {
        if (e.element != "PhysicalVolumeXml") continue;
        bool onUnit = false;
        for (const std::string& lu : referenced(e, "LogicalUnitIdXml")) {
            const auto it = unitOfEntity.find(lu);
            if (it == unitOfEntity.end()) continue;
            UnitView& u = view.units[it->second];
            u.disks.push_back(&e);
            for (const Entity* v : view.volumesOf(e)) u.volumes.push_back(v);
            onUnit = true;
            break;
        }
        if (!onUnit) view.localDisks.push_back(&e);
    }
    return view;
}

}  // namespace scandoc
