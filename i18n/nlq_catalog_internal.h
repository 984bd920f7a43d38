// Internal steps of the catalog service: the search through the template, the loading
// of a file, the open-catalog table, and a reader over bytes in memory. Used by the
// catalog code itself, its tests and its fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "i18n/nlq_catalog.h"

namespace nlq {

// Where a catalog's bytes come from: an open file (kept open for the catalog's life,
// since sets are read lazily) or bytes in memory.
class CatalogSource {
public:
    virtual ~CatalogSource() = default;
    // Size in bytes, fixed when the source was opened.
    virtual std::uint64_t size() const = 0;
    // Reads exactly `length` bytes at `offset`; false when any of them lies past the size
    // or the read fails.
    virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t length) = 0;
};

std::unique_ptr<CatalogSource> openFileSource(const std::string& path);
std::unique_ptr<CatalogSource> memorySource(const unsigned char* data, std::size_t size);

// Reads the header and set chain from `source`; null when they do not hold together.
std::unique_ptr<NlqCatalog> readCatalog(std::unique_ptr<CatalogSource> source, int flags);

// True when set `set` of the catalog has been loaded.
bool catalogSetLoaded(const NlqCatalog* catalog, std::int32_t set);

// ---- Open-catalog table ---------------------------------------------------------------

// True when `path` (exact comparison) is in the table.
bool catalogTableHas(const std::string& path);
// The entry for `path`, marked in use with a new sequence number; null when absent.
NlqCatalog* catalogTableReuse(const std::string& path);
// Inserts a newly read catalog; on failure the catalog is freed and null returned.
NlqCatalog* catalogTableInsert(const std::string& path, std::unique_ptr<NlqCatalog> catalog);
// Clears the in-use flag of the entry holding `catalog`; 0, or -1 when none in use.
int catalogTableRelease(NlqCatalog* catalog);

// Diagnostics: number of slots, and the paths held (empty slots omitted), in slot order.
std::size_t catalogTableCapacity();
std::vector<std::string> catalogTablePaths();
// Frees every entry and the slots (the process never needs it; tests start clean).
void catalogTableClear();

}  // namespace nlq

// Finds the file for catalog `name` through `pathTemplate` and the locale variants of
// `locale`; empty when nothing is accepted.
std::string nlq_catsearch(const char* name, int flags, const char* pathTemplate,
                          const char* locale);
// Reuses the table entry for `path` or reads the file and inserts it; null on failure.
NlqCatalog* nlq_catload(const std::string& path, int flags);
