// Catalog bytes from the fuzzer: read the header and set chain, then look up messages in
// every set (which loads it) in the three codeset cases.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "i18n/nlq_catalog_records.h"
#include "i18n/nlq_codeset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static NlqCodeset* converting = nlq_codeset_copy(nlq_codeset_utf8());  // not the built-in
    std::unique_ptr<NlqCatalog> catalog = nlq::readCatalog(nlq::memorySource(data, size), 0);
    if (!catalog)
        return 0;
    const char* fallback = "default";
    for (NlqCatalogSet& set : catalog->sets) {
        for (std::int32_t message : {-1, 0, 1, 2, 3, 0x7FFFFFFF})
            nlq_catgets(catalog.get(), set.number, message, fallback, nullptr);
        if (set.state != NlqSetState::Loaded)
            continue;
        for (std::int32_t i = 0; i < set.messageCount; ++i) {
            const std::int32_t number = set.messages[i].number;
            nlq_catgets(catalog.get(), set.number, number, fallback, nlq_codeset_utf8());
            nlq_catgets(catalog.get(), set.number, number, fallback, converting);
            // The number after it, which is missing unless the next message has it; the
            // largest number has none.
            if (number < INT32_MAX) nlq_catgets(catalog.get(), set.number, number + 1, fallback, nullptr);
        }
    }
    nlq_catgets(catalog.get(), -1, 1, fallback, nullptr);
    return 0;
}
