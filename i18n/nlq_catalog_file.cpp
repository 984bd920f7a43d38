// Reading a catalog: the header and set chain at open, the texts of a set on its first
// lookup, and the lookups themselves.
//
// A catalog file is untrusted data. At open the header, every set record of the chain and
// the ranges of every valid set's message index and text block are checked against the
// file size; a chain that loops, a set count that the file cannot hold or set numbers out
// of order refuse the whole catalog. At load the message numbers, text offsets and text
// terminators of the set are checked; a set that fails stays unloaded.
#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

#include "i18n/nlq_catalog_format.h"
#include "i18n/nlq_catalog_records.h"
#include "i18n/nlq_codeset.h"
#include "i18n/nlq_locale.h"

namespace fmt = nlq::catalog_format;

namespace {

bool rangeInside(std::uint64_t fileSize, std::int32_t offset, std::uint64_t length)
{
    return offset >= 0 && static_cast<std::uint64_t>(offset) <= fileSize &&
           length <= fileSize - static_cast<std::uint64_t>(offset);
}

// The set's index and text block must lie inside the file, with sane counts.
bool setHoldsTogether(const NlqCatalogSet& set, std::uint64_t fileSize)
{
    if (set.messageCount < 0 || set.textLength < 0)
        return false;
    const std::uint64_t indexBytes =
        static_cast<std::uint64_t>(set.messageCount) * fmt::kIndexEntrySize;
    return rangeInside(fileSize, set.indexOffset, indexBytes) &&
           rangeInside(fileSize, set.textOffset, static_cast<std::uint64_t>(set.textLength));
}

NlqCatalogSet* findSet(NlqCatalog& catalog, std::int32_t number)
{
    auto& sets = catalog.sets;
    auto it = std::lower_bound(sets.begin(), sets.end(), number,
                               [](const NlqCatalogSet& s, std::int32_t n) { return s.number < n; });
    return it != sets.end() && it->number == number ? &*it : nullptr;
}

NlqCatalogMessage* findMessage(NlqCatalogSet& set, std::int32_t number)
{
    NlqCatalogMessage* first = set.messages;
    NlqCatalogMessage* last = set.messages + set.messageCount;
    // Message numbers usually run 1, 2, 3, ... so the first probe is index number - 1.
    if (number <= set.messageCount && first[number - 1].number == number)
        return &first[number - 1];
    auto it = std::lower_bound(first, last, number,
                               [](const NlqCatalogMessage& m, std::int32_t n) { return m.number < n; });
    return it != last && it->number == number ? it : nullptr;
}

// Reads and checks the texts of one set; false leaves it unloaded (retried next time).
bool loadSet(NlqCatalog& catalog, NlqCatalogSet& set)
{
    const auto count = static_cast<std::size_t>(set.messageCount);
    const auto textLength = static_cast<std::size_t>(set.textLength);
    const std::size_t recordBytes = count * sizeof(NlqCatalogMessage);
    const std::size_t areaBytes = 2 * textLength;
    const std::size_t blockBytes = recordBytes + textLength + 2 * areaBytes;

    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[blockBytes ? blockBytes : 1]);
    std::unique_ptr<unsigned char[]> index(
        new (std::nothrow) unsigned char[count ? count * fmt::kIndexEntrySize : 1]);
    if (!block || !index)
        return false;
    auto* raw = reinterpret_cast<char*>(block.get() + recordBytes);
    char* areaA = raw + textLength;
    char* areaB = areaA + areaBytes;
    if (!catalog.source->readAt(static_cast<std::uint64_t>(set.textOffset), raw, textLength) ||
        !catalog.source->readAt(static_cast<std::uint64_t>(set.indexOffset), index.get(),
                                count * fmt::kIndexEntrySize))
        return false;

    auto* messages = reinterpret_cast<NlqCatalogMessage*>(block.get());
    NlqCodeset* processCodeset = nlq_get_current_codeset();
    std::size_t used = 0;  // bytes of area A (and B) handed out so far
    std::int32_t previous = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = index.get() + i * fmt::kIndexEntrySize;
        const std::int32_t number = fmt::readInt(entry + fmt::kEntryNumber);
        const std::int32_t offset = fmt::readInt(entry + fmt::kEntryTextOffset);
        if (number <= previous || offset < 0 || static_cast<std::size_t>(offset) >= textLength)
            return false;
        previous = number;
        const char* text = raw + offset;
        const void* end = std::memchr(text, '\0', textLength - static_cast<std::size_t>(offset));
        if (!end)
            return false;
        // Each message gets a slot of twice its length plus one in both areas. Texts that
        // overlap would need more than the areas hold: such a set does not hold together.
        const std::size_t slot = 2 * static_cast<std::size_t>(static_cast<const char*>(end) - text) + 1;
        if (slot > areaBytes - used)
            return false;
        new (&messages[i]) NlqCatalogMessage{number, text, areaA + used, areaB + used, offset,
                                             fmt::readInt(entry + fmt::kEntryThirdWord)};
        nlq_from_utf8(processCodeset, text, -1, areaA + used, slot);
        areaB[used] = '\0';
        used += slot;
    }
    set.block = std::move(block);
    set.messages = messages;
    set.state = NlqSetState::Loaded;
    return true;
}

}  // namespace

namespace nlq {

std::unique_ptr<NlqCatalog> readCatalog(std::unique_ptr<CatalogSource> source, int flags)
{
    if (!source)
        return nullptr;
    unsigned char header[fmt::kHeaderSize];
    if (!source->readAt(0, header, sizeof header) ||
        std::memcmp(header + fmt::kHeaderMagic, fmt::kMagic, sizeof fmt::kMagic) != 0 ||
        fmt::readInt(header + fmt::kHeaderMajor) != fmt::kMajorVersion)
        return nullptr;
    const std::int32_t setCount = fmt::readInt(header + fmt::kHeaderSetCount);
    const std::uint64_t fileSize = source->size();
    // Every valid set needs a record of its own in the file.
    if (setCount <= 0 || static_cast<std::uint64_t>(setCount) > fileSize / fmt::kSetRecordSize)
        return nullptr;

    auto catalog = std::make_unique<NlqCatalog>();
    catalog->flags = flags;
    catalog->setCount = setCount;
    catalog->sets.reserve(static_cast<std::size_t>(setCount));

    std::unordered_set<std::int32_t> visited;  // a chain that comes back to a record loops
    std::int32_t offset = fmt::readInt(header + fmt::kHeaderFirstSet);
    while (catalog->sets.size() < static_cast<std::size_t>(setCount)) {
        unsigned char record[fmt::kSetRecordSize];
        if (offset < 0 || !visited.insert(offset).second ||
            !source->readAt(static_cast<std::uint64_t>(offset), record, sizeof record))
            return nullptr;
        const std::int32_t next = fmt::readInt(record + fmt::kSetNext);
        if (fmt::readInt(record + fmt::kSetInvalid) != 0) {
            offset = next;
            continue;
        }
        NlqCatalogSet set;
        set.number = fmt::readInt(record + fmt::kSetNumber);
        set.nextOffset = next;
        set.indexOffset = fmt::readInt(record + fmt::kSetIndex);
        set.textOffset = fmt::readInt(record + fmt::kSetText);
        set.textLength = fmt::readInt(record + fmt::kSetTextLength);
        set.messageCount = fmt::readInt(record + fmt::kSetMessageCount);
        const bool ascending = catalog->sets.empty() ? set.number >= 0
                                                     : set.number > catalog->sets.back().number;
        if (!ascending || !setHoldsTogether(set, fileSize))
            return nullptr;
        catalog->sets.push_back(std::move(set));
        offset = next;
    }
    catalog->source = std::move(source);
    return catalog;
}

bool catalogSetLoaded(const NlqCatalog* catalog, std::int32_t set)
{
    if (!catalog)
        return false;
    for (const NlqCatalogSet& s : catalog->sets)
        if (s.number == set)
            return s.state == NlqSetState::Loaded;
    return false;
}

}  // namespace nlq

const char* nlq_catgets(NlqCatalog* catalog, std::int32_t set, std::int32_t message,
                        const char* defaultText, NlqCodeset* codeset)
{
    if (!catalog || set < 0)
        return defaultText;
    NlqCatalogSet* found = findSet(*catalog, set);
    if (!found)
        return defaultText;
    if (found->state != NlqSetState::Loaded && !loadSet(*catalog, *found))
        return defaultText;
    if (message <= 0)
        return defaultText;
    NlqCatalogMessage* entry = findMessage(*found, message);
    if (!entry)
        return defaultText;
    if (!codeset)
        return entry->processText;
    if (codeset == nlq_codeset_utf8())
        return entry->text;
    nlq_from_utf8(codeset, entry->text, -1, entry->requestText, 2 * std::strlen(entry->text) + 1);
    return entry->requestText;
}
