// In-memory records of an open catalog. Private to the catalog code.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "i18n/nlq_catalog_internal.h"

// One message of a loaded set. The texts live in the set's block.
struct NlqCatalogMessage {
    std::int32_t number;
    const char* text;         // the stored UTF-8 text, in the raw area
    char* processText;        // the text in the process codeset (area A), made at load
    char* requestText;        // slot for the most recent explicit codeset (area B)
    std::int32_t textOffset;  // within the set's text block
    std::int32_t thirdWord;   // kept with the message, never consulted
};

enum class NlqSetState : std::uint8_t { NotLoaded, Loaded };

struct NlqCatalogSet {
    std::int32_t number = 0;
    std::int32_t nextOffset = 0;
    std::int32_t indexOffset = 0;
    std::int32_t textOffset = 0;
    // One allocation per loaded set: the message records, the raw text block, area A and
    // area B (each area 2 x text length bytes).
    std::unique_ptr<unsigned char[]> block;
    NlqCatalogMessage* messages = nullptr;  // inside block
    std::int32_t textLength = 0;
    std::int32_t messageCount = 0;
    NlqSetState state = NlqSetState::NotLoaded;
};

struct NlqCatalog {
    int flags = 0;                                 // as passed to the open; kept only
    std::unique_ptr<nlq::CatalogSource> source;    // kept open: sets are read lazily
    std::int32_t setCount = 0;
    std::vector<NlqCatalogSet> sets;               // ascending set numbers
};
