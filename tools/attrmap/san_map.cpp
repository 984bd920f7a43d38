#include "tools/attrmap/san_map.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "tools/attrdiff/lun_identity.h"

namespace attrmap {

const char* markName(Mark mark)
{
    switch (mark) {
    case Mark::None: return "";
    case Mark::Added: return "added";
    case Mark::Removed: return "removed";
    case Mark::Changed: return "changed";
    }
    return "";
}

namespace {

using scandoc::Entity;
using scandoc::SanView;

std::string bare(const std::string& id)
{
    const std::size_t colon = id.find(':');
    return colon == std::string::npos ? id : id.substr(colon + 1);
}

std::string trimmed(std::string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string param(const Entity* e, const char* name)
{
    const std::string* v = e ? e->parameter(name) : nullptr;
    return v ? trimmed(*v) : std::string();
}

// Raw device data is for machines; the map leaves it out of the details.
bool shown(const std::string& name) { return name != "rawSTDdata" && name != "raw83data"; }

class Builder {
public:
    Builder(const SanView& now, const SanView* old, const scandoc::DocumentDiff* diff) : now_(now), old_(old)
    {
        if (!diff) return;
        for (const scandoc::ElementDiff& e : diff->elements) {
            for (const Entity* a : e.added) marks_[key(a->element, a->id)] = Mark::Added;
            for (const Entity* r : e.removed) marks_[key(r->element, r->id)] = Mark::Removed;
            for (const scandoc::EntityChange& c : e.changed) {
                marks_[key(c.after->element, c.after->id)] = Mark::Changed;
                changes_[key(c.after->element, c.after->id)] = &c;
            }
        }
    }

    SanMap build()
    {
        map_.compared = old_ != nullptr;
        for (const scandoc::AdapterView& a : now_.adapters) adapterNames_[a.port] = a.name;
        if (old_)
            for (const scandoc::AdapterView& a : old_->adapters) adapterNames_.emplace(a.port, a.name);
        host();
        disks();
        adapters();
        targetPorts();
        storage();
        units();
        return std::move(map_);
    }

private:
    static std::string key(const std::string& a, const std::string& b) { return a + '\n' + b; }

    Mark markOf(const Entity& e) const
    {
        const auto it = marks_.find(key(e.element, e.id));
        return it == marks_.end() ? Mark::None : it->second;
    }

    std::vector<Detail> details(const Entity* e) const
    {
        std::vector<Detail> out;
        if (!e) return out;
        const auto c = changes_.find(key(e->element, e->id));
        for (const scandoc::Parameter& p : e->parameters) {
            if (!shown(p.name)) continue;
            std::string value = p.value;
            if (c != changes_.end())
                for (const scandoc::ParameterChange& pc : c->second->parameters)
                    if (pc.name == p.name && pc.before) value += " (was " + *pc.before + ")";
            out.push_back({p.name, value});
        }
        return out;
    }

    std::size_t box(const std::string& kind, const std::string& id, bool* fresh = nullptr)
    {
        const auto [it, inserted] = boxes_.emplace(key(kind, id), map_.boxes.size());
        if (inserted) {
            Box b;
            b.kind = kind;
            b.id = id;
            map_.boxes.push_back(std::move(b));
        }
        if (fresh) *fresh = inserted;
        return it->second;
    }

    const std::size_t* findBox(const std::string& kind, const std::string& id) const
    {
        const auto it = boxes_.find(key(kind, id));
        return it == boxes_.end() ? nullptr : &it->second;
    }

    void edge(std::size_t from, std::size_t to, Mark mark)
    {
        if (!edges_.insert({from, to}).second) return;
        map_.edges.push_back({from, to, mark, {}});
    }

    void host()
    {
        const Entity* system = now_.system ? now_.system : (old_ ? old_->system : nullptr);
        host_ = box("host", system ? system->id : "host");
        Box& b = map_.boxes[host_];
        b.title = system ? scandoc::displayName(*system) : "host";
        b.subtitle = param(system, "IP Address");
        b.details = details(system);
        if (system) b.mark = markOf(*system);
        map_.title = b.title;
    }

    void disk(const Entity& d, const SanView& view, Mark mark)
    {
        bool fresh = false;
        const std::size_t i = box("disk", d.id, &fresh);
        if (!fresh) return;
        Box& b = map_.boxes[i];
        b.title = param(&d, "Name").empty() ? bare(d.id) : param(&d, "Name");
        b.subtitle = volumesText(view.volumesOf(d));
        b.details = details(&d);
        b.mark = mark;
        edge(host_, i, mark);
    }

    static std::string volumesText(const std::vector<const Entity*>& volumes)
    {
        std::string out;
        for (const Entity* v : volumes) {
            if (!out.empty()) out += ", ";
            out += param(v, "Name") + ":";
            const std::string label = param(v, "Label");
            if (!label.empty()) out += " (" + label + ")";
        }
        return out;
    }

    void disks()
    {
        for (const Entity* d : now_.localDisks) disk(*d, now_, markOf(*d));
        if (old_)
            for (const Entity* d : old_->localDisks)
                if (!now_.find(d->element, d->id)) disk(*d, *old_, Mark::Removed);
    }

    void adapter(const scandoc::AdapterView& a, Mark mark)
    {
        bool fresh = false;
        const std::size_t i = box("adapter", a.controller->id, &fresh);
        if (!fresh) return;
        Box& b = map_.boxes[i];
        b.title = a.name;
        b.subtitle = bare(a.port);
        b.details = details(a.controller);
        b.details.push_back({"Port WWN", bare(a.port)});
        b.mark = mark;
        edge(host_, i, mark);
    }

    void adapters()
    {
        for (const scandoc::AdapterView& a : now_.adapters) adapter(a, markOf(*a.controller));
        if (old_)
            for (const scandoc::AdapterView& a : old_->adapters)
                if (!now_.find(a.controller->element, a.controller->id)) adapter(a, Mark::Removed);
    }

    void target(const scandoc::TargetPortView& t, Mark mark)
    {
        bool fresh = false;
        const std::size_t i = box("target-port", t.id, &fresh);
        if (!fresh) return;
        Box& b = map_.boxes[i];
        b.title = bare(t.id);
        const std::string fcid = param(t.port, "FC Port ID");
        b.subtitle = fcid.empty() ? "" : "FC id " + fcid;
        b.details = details(t.port);
        if (b.details.empty()) b.details.push_back({"WWN", bare(t.id)});
        std::string reached;
        for (const std::string& c : t.adapters) {
            const Entity* e = now_.find("ControllerXml", c);
            if (!e && old_) e = old_->find("ControllerXml", c);
            if (!reached.empty()) reached += ", ";
            reached += e ? scandoc::displayName(*e) : bare(c);
        }
        b.details.push_back({"Reached by", reached.empty() ? "no adapter" : reached});
        b.mark = mark;
    }

    void targetPorts()
    {
        std::unordered_map<std::string, const scandoc::TargetPortView*> before;
        if (old_)
            for (const scandoc::TargetPortView& t : old_->targetPorts) before.emplace(t.id, &t);
        for (const scandoc::TargetPortView& t : now_.targetPorts) {
            Mark mark = t.port ? markOf(*t.port) : Mark::None;
            if (old_) {
                const auto it = before.find(t.id);
                const bool reachedBefore = it != before.end() && !it->second->adapters.empty();
                if (reachedBefore && t.adapters.empty()) mark = Mark::Removed;  // no longer reached
                else if (!reachedBefore && !t.adapters.empty()) mark = Mark::Added;
            }
            target(t, mark);
        }
        if (old_)
            for (const scandoc::TargetPortView& t : old_->targetPorts) target(t, Mark::Removed);
        // Adapter to target port, as now; paths only the older document had, as removed.
        for (const scandoc::TargetPortView& t : now_.targetPorts)
            for (const std::string& c : t.adapters)
                if (const std::size_t* a = findBox("adapter", c))
                    edge(*a, *findBox("target-port", t.id), map_.boxes[*findBox("target-port", t.id)].mark);
        if (old_)
            for (const scandoc::TargetPortView& t : old_->targetPorts)
                for (const std::string& c : t.adapters)
                    if (const std::size_t* a = findBox("adapter", c)) edge(*a, *findBox("target-port", t.id), Mark::Removed);
    }

    void storageBox(const scandoc::StorageView& s, Mark mark)
    {
        bool fresh = false;
        const std::size_t i = box("storage", s.id, &fresh);
        if (!fresh) return;
        Box& b = map_.boxes[i];
        b.title = s.name;
        b.subtitle = trimmed(param(s.entity, "Vendor") + " " + param(s.entity, "Product ID"));
        b.details = details(s.entity);
        b.mark = mark;
    }

    void storage()
    {
        for (const scandoc::StorageView& s : now_.storage) storageBox(s, s.entity ? markOf(*s.entity) : Mark::None);
        if (old_)
            for (const scandoc::StorageView& s : old_->storage) storageBox(s, Mark::Removed);
        auto link = [&](const scandoc::StorageView& s, bool older) {
            const std::size_t to = *findBox("storage", s.id);
            for (const std::string& t : s.targetPorts)
                if (const std::size_t* from = findBox("target-port", t))
                    edge(*from, to, older ? Mark::Removed : map_.boxes[to].mark);
        };
        for (const scandoc::StorageView& s : now_.storage) link(s, false);
        if (old_)
            for (const scandoc::StorageView& s : old_->storage) link(s, true);
    }

    UnitPathRow pathRow(const Entity& e, Mark mark)
    {
        UnitPathRow row{e.id, {}, {}, mark};
        if (const auto p = scandoc::decodeUnitPath(bare(e.id))) {
            const auto a = adapterNames_.find("FcPortXml:" + p->adapterPort);
            row.adapter = a == adapterNames_.end() ? p->adapterPort : a->second;
            row.target = p->targetPort;
        }
        return row;
    }

    MapUnit mapUnit(const scandoc::UnitView& u, const scandoc::UnitView* other, bool older)
    {
        MapUnit m;
        m.key = u.key;
        m.label = u.label;
        m.adapterPorts = static_cast<int>(u.adapterPorts.size());
        std::set<std::string> ids;
        for (const Entity* p : u.paths) {
            m.paths.push_back(pathRow(*p, older ? Mark::Removed : markOf(*p)));
            ids.insert(p->id);
        }
        if (other)
            for (const Entity* p : other->paths)
                if (!ids.count(p->id)) m.paths.push_back(pathRow(*p, Mark::Removed));
        std::string on;
        for (const Entity* d : u.disks) {
            if (!on.empty()) on += "; ";
            on += param(d, "Name");
        }
        const std::string volumes = volumesText(u.volumes);
        if (!volumes.empty()) on += (on.empty() ? "" : " ") + volumes;
        m.sitsOn = on;
        m.details = details(u.paths.empty() ? nullptr : u.paths.front());
        if (old_) {
            if (older) m.mark = Mark::Removed;
            else if (!other) m.mark = Mark::Added;
            else if (other->adapterPorts.size() != u.adapterPorts.size() ||
                     std::any_of(m.paths.begin(), m.paths.end(), [](const UnitPathRow& r) { return r.mark != Mark::None; }))
                m.mark = Mark::Changed;
        }
        return m;
    }

    void units()
    {
        std::unordered_map<std::string, const scandoc::UnitView*> before, after;
        if (old_)
            for (const scandoc::UnitView& u : old_->units) before.emplace(u.key, &u);
        for (const scandoc::UnitView& u : now_.units) after.emplace(u.key, &u);

        std::vector<std::string> storageOfUnit;
        std::vector<std::vector<std::string>> targetsOfUnit;
        auto add = [&](const scandoc::UnitView& u, const scandoc::UnitView* other, bool older) {
            map_.units.push_back(mapUnit(u, other, older));
            storageOfUnit.push_back(u.storage);
            targetsOfUnit.push_back(u.targetPorts);
        };
        for (const scandoc::UnitView& u : now_.units) {
            const auto it = before.find(u.key);
            add(u, it == before.end() ? nullptr : it->second, false);
        }
        if (old_)
            for (const scandoc::UnitView& u : old_->units)
                if (!after.count(u.key)) add(u, nullptr, true);

        // Units by storage system, in the order the systems were drawn.
        std::map<std::size_t, std::vector<std::size_t>> byStorage;
        for (std::size_t i = 0; i < map_.units.size(); ++i) {
            const std::size_t* s = storageOfUnit[i].empty() ? nullptr : findBox("storage", storageOfUnit[i]);
            if (s) {
                byStorage[*s].push_back(i);
                continue;
            }
            // A unit whose storage system the document does not describe hangs off its ports.
            const std::size_t b = unitBox(i);
            for (const std::string& t : targetsOfUnit[i])
                if (const std::size_t* from = findBox("target-port", t)) edge(*from, b, map_.units[i].mark);
        }
        for (const auto& [storageBoxIndex, list] : byStorage) {
            if (list.size() <= kFoldAbove) {
                for (std::size_t i : list) edge(storageBoxIndex, unitBox(i), map_.units[i].mark);
                continue;
            }
            Fold f;
            f.storage = map_.boxes[storageBoxIndex].id;
            f.storageName = map_.boxes[storageBoxIndex].title;
            f.units = list;
            std::size_t multi = 0;
            Mark mark = Mark::None;
            for (std::size_t i : list) {
                if (map_.units[i].multipath()) ++multi;
                if (map_.units[i].mark != Mark::None) mark = Mark::Changed;
            }
            const std::size_t b = box("fold", f.storage);
            Box& fb = map_.boxes[b];
            fb.title = std::to_string(list.size()) + " logical units";
            fb.subtitle = std::to_string(multi) + " multipath, " + std::to_string(list.size() - multi) + " single-path";
            fb.fold = map_.folds.size();
            fb.mark = mark;
            fb.details = {{"Storage system", f.storageName}, {"Logical units", std::to_string(list.size())},
                          {"Multipath", std::to_string(multi)}, {"Single-path", std::to_string(list.size() - multi)}};
            map_.folds.push_back(std::move(f));
            edge(storageBoxIndex, b, mark);
        }
    }

    std::size_t unitBox(std::size_t unit)
    {
        const MapUnit& u = map_.units[unit];
        const std::size_t b = box("unit", u.key);
        Box& ub = map_.boxes[b];
        ub.unit = unit;
        ub.title = u.label;
        ub.subtitle = u.sitsOn;
        ub.mark = u.mark;
        return b;
    }

    const SanView& now_;
    const SanView* old_;
    std::unordered_map<std::string, Mark> marks_;
    std::unordered_map<std::string, const scandoc::EntityChange*> changes_;
    std::unordered_map<std::string, std::string> adapterNames_;  // adapter port id -> name
    std::unordered_map<std::string, std::size_t> boxes_;
    std::set<std::pair<std::size_t, std::size_t>> edges_;
    std::size_t host_ = 0;
    SanMap map_;
};

}  // namespace

SanMap buildMap(const scandoc::SanView& view) { return Builder(view, nullptr, nullptr).build(); }

SanMap buildMap(const scandoc::SanView& before, const scandoc::SanView& after, const scandoc::DocumentDiff& diff)
{
    return Builder(after, &before, &diff).build();
}

}  // namespace attrmap

namespace attrmap {

std::vector<std::string> boxLines(const SanMap& map, const Box& box)
{
    std::vector<std::string> lines{box.title};
    if (box.kind == "unit") {
        const MapUnit& u = map.units[box.unit];
        lines.push_back(u.multipath() ? std::to_string(u.adapterPorts) + " adapter ports: multipath"
                        : u.adapterPorts == 1 ? std::string("1 adapter port: single-path")
                                              : std::string("no adapter port"));
    }
    if (!box.subtitle.empty()) lines.push_back(box.subtitle);
    return lines;
}

}  // namespace attrmap
