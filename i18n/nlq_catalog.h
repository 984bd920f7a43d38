// Message catalogs: binary files of translated message texts, found by name through the
// NLSPATH template, read lazily one set at a time and kept open in a process-wide table
// so that the pattern open, look up, close per message touches the disk once per catalog.
//
// Nothing here prints or logs: failures show only in the results. Single-threaded use
// is assumed (the open-catalog table and lazily loaded sets carry no lock).
#pragma once

#include <cstdint>

struct NlqCatalog;  // an open catalog; owned by the open-catalog table
struct NlqCodeset;

// Open flags.
enum : int {
    NLQ_CAT_LC_VARS = 0x1,      // take the locale from LC_ALL, then LC_MESSAGES
    NLQ_CAT_NO_LANGUAGE = 0x2,  // do not try the language-only variant ("en" of "en_US")
    NLQ_CAT_NO_MAPPED = 0x4,    // do not try the mapped locale variant
    NLQ_CAT_NO_C = 0x8,         // do not try the "C" variant
};

// Opens the catalog `name` (a catalog name searched through NLSPATH, or "%N.cat" in the
// current folder when NLSPATH is unset; or a path when it holds '/' or '\'). `locale`
// is an explicit locale name or null for the default. Opening a path that is already
// open returns the same handle. Null when nothing usable was found.
NlqCatalog* nlq_catopen(const char* name, int flags, const char* locale);

// Text of message `message` in set `set`, or `defaultText` itself when the catalog is
// null or lacks the message. `codeset` null gives the text in the process codeset; the
// built-in UTF-8 codeset gives the stored UTF-8 text; any other codeset converts into a
// per-message buffer that the next request for that message in another codeset
// overwrites. The result belongs to the catalog: copy it before the catalog can be
// evicted (any nlq_catopen after nlq_catclose).
const char* nlq_catgets(NlqCatalog* catalog, std::int32_t set, std::int32_t message,
                        const char* defaultText, NlqCodeset* codeset);

// Marks the catalog as no longer in use; it stays cached until evicted. 0 when the
// handle was open, -1 otherwise (null, unknown, already closed).
int nlq_catclose(NlqCatalog* catalog);
