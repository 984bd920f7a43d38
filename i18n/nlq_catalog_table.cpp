// The process-wide table of open catalogs. A catalog stays in the table after it is
// closed, so that opening the same path again costs nothing; when the table is full the
// least recently used closed catalog makes room, and only when every entry is in use
// does the table grow (10 slots, then doubling).
#include <limits>

#include "i18n/nlq_catalog_records.h"

namespace nlq {
namespace {

struct CatalogEntry {
    std::string path;
    std::unique_ptr<NlqCatalog> catalog;
    unsigned sequence = 0;  // taken from the counter at insertion and at every reuse
    bool inUse = false;
};

struct CatalogTable {
    std::vector<std::unique_ptr<CatalogEntry>> slots;  // size() is the capacity
    unsigned counter = 0;
};

CatalogTable& table()
{
    static CatalogTable instance;
    return instance;
}

CatalogEntry* findPath(const std::string& path)
{
    for (auto& slot : table().slots)
        if (slot && slot->path == path)
            return slot.get();
    return nullptr;
}

// A free slot: an empty one, else the closed entry with the lowest sequence number
// (evicted), else a new one from growing the table; null when the table cannot grow.
std::unique_ptr<CatalogEntry>* freeSlot()
{
    auto& slots = table().slots;
    for (auto& slot : slots)
        if (!slot)
            return &slot;

    std::unique_ptr<CatalogEntry>* oldest = nullptr;
    for (auto& slot : slots)
        if (!slot->inUse && (!oldest || slot->sequence < (*oldest)->sequence))
            oldest = &slot;
    if (oldest) {
        oldest->reset();
        return oldest;
    }

    const std::size_t capacity = slots.size();
    if (capacity > std::numeric_limits<std::size_t>::max() / 2 / sizeof(slots[0]))
        return nullptr;
    const std::size_t grown = capacity == 0 ? 10 : capacity * 2;
    try {
        slots.resize(grown);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return &slots[capacity];
}

}  // namespace

bool catalogTableHas(const std::string& path)
{
    return findPath(path) != nullptr;
}

NlqCatalog* catalogTableReuse(const std::string& path)
{
    CatalogEntry* entry = findPath(path);
    if (!entry)
        return nullptr;
    entry->sequence = ++table().counter;
    entry->inUse = true;
    return entry->catalog.get();
}

NlqCatalog* catalogTableInsert(const std::string& path, std::unique_ptr<NlqCatalog> catalog)
{
    if (!catalog)
        return nullptr;
    try {
        auto entry = std::make_unique<CatalogEntry>();
        entry->path = path;
        std::unique_ptr<CatalogEntry>* slot = freeSlot();
        if (!slot)
            return nullptr;
        entry->catalog = std::move(catalog);
        entry->sequence = ++table().counter;
        entry->inUse = true;
        *slot = std::move(entry);
        return (*slot)->catalog.get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int catalogTableRelease(NlqCatalog* catalog)
{
    if (!catalog)
        return -1;
    for (auto& slot : table().slots) {
        if (slot && slot->inUse && slot->catalog.get() == catalog) {
            slot->inUse = false;
            return 0;
        }
    }
    return -1;
}

std::size_t catalogTableCapacity()
{
    return table().slots.size();
}

std::vector<std::string> catalogTablePaths()
{
    std::vector<std::string> paths;
    for (const auto& slot : table().slots)
        if (slot)
            paths.push_back(slot->path);
    return paths;
}

void catalogTableClear()
{
    table().slots.clear();
    table().slots.shrink_to_fit();
}

}  // namespace nlq

int nlq_catclose(NlqCatalog* catalog)
{
    return nlq::catalogTableRelease(catalog);
}
