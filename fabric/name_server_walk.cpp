#include "fabric/name_server_walk.h"

#include <unordered_set>

#include "common/ordered_work.h"

#include "base/text.h"
#include "fabric/name_server.h"
#include "hba/rnid.h"

namespace fabric {

namespace {

// RNID to one name-server entry; a good answer is kept, a failed one skipped silently.
void identifyEntry(const hba::HbaApi& api, HBA_HANDLE handle, const wire::NameServerPortObject& entry,
                   std::vector<hba::NodeIdentification>& found) {
    hba::NodeIdentification id;
    if (!hba::identifyListedPort(api, handle, entry.nodeName, entry.portId, entry.portName, id)) return;
    // The most telling name the fabric has: the node's symbolic name, else the port's,
    // else the node WWN itself.
    getSymbolicNodeName(api, handle, entry.nodeName, id.nodeName);
    if (id.nodeName.empty()) getSymbolicPortName(api, handle, entry.portId, id.nodeName);
    if (id.nodeName.empty()) id.nodeName = hba::ShortBytes(scan::hexText(entry.nodeName));
    found.push_back(std::move(id));
}

}  // namespace

std::vector<hba::NodeIdentification> walkNameServerWithRnid(const hba::HbaApi& api, const hba::AdapterEntry& adapter,
                                                            const wire::NameServerPortObject& firstEntry,
                                                            unsigned concurrency) {
    std::vector<hba::NodeIdentification> found;
    // Side by side: the entries first, then their identification, kept in walk order.
    std::vector<wire::NameServerPortObject> entries;
    const bool sideBySide = concurrency > 1;
    auto visit = [&](const wire::NameServerPortObject& entry) {
        if (sideBySide) entries.push_back(entry);
        else identifyEntry(api, adapter.handle, entry, found);
    };
    auto identifyAll = [&] {
        if (!sideBySide) return std::move(found);
        std::vector<std::vector<hba::NodeIdentification>> each(entries.size());
        scan::runInOrder(
            entries.size(), concurrency, [&](std::size_t i) { identifyEntry(api, adapter.handle, entries[i], each[i]); },
            [&](std::size_t i) {
                for (hba::NodeIdentification& id : each[i]) found.push_back(std::move(id));
            });
        return std::move(found);
    };

    wire::NameServerPortObject current = firstEntry;
    const uint32_t firstAddress = wire::fcAddressOf(current.portId);
    std::unordered_set<uint32_t> visited{firstAddress};
    for (;;) {
        visit(current);
        wire::NameServerPortObject next;
        // A failed request would leave the walk where it is: it ends there instead.
        if (getNextNameServerEntry(api, adapter.handle, current.portId, next) != 0) return identifyAll();
        current = std::move(next);
        const uint32_t address = wire::fcAddressOf(current.portId);
        if (address == firstAddress) return identifyAll();
        // A chain that runs into a loop without coming back to the first address ends at
        // the first address seen twice.
        if (!visited.insert(address).second) return identifyAll();
    }
}

}  // namespace fabric
