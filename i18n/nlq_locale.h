// Locale and codeset resolution: which locale the process speaks, which codesets its own
// strings (the process codeset) and the runtime library (the OS codeset) use, and where
// the codeset data lies on disk.
//
// Environment read here: LANG (default locale), NLQ_CODESET (process codeset, "OS" when
// unset or empty), NLQDIR (data folder with the aliases file and codeset tables), BINDIR
// (program folder; tables are also looked for in its sibling generic/codeset), NLSPATH
// (catalog search template, read and written through the helpers below).
//
// Nothing here prints or logs; failures are reported by results only. Single-threaded
// use is assumed: the process-wide state carries no lock.
#pragma once

#include <cstddef>
#include <cstdint>

struct NlqCodeset;

// ---- Locale names -----------------------------------------------------------------

// Fills `buffer` (capacity `length`) with the default locale: LANG when set and not
// empty, else the locale of the Windows user default language. Cut to length - 1
// characters. A length of 0 writes nothing. Returns 0.
int nlq_locale_default(char* buffer, std::size_t length);

// Locale of a Windows language identifier ("pt_BR", "de", ...); "C" for a primary
// language that the table does not know. The text is static.
const char* nlq_locale_from_langid(unsigned langid);

// Canonical form of a locale name: "fr_FR.ISO8859-1" -> "fr_FR", "EN_us" -> "en_US",
// "de-DE" -> "de_DE"; synonyms such as "japanese" -> "ja_JP"; anything else unchanged.
// Cut to length - 1 characters. Returns 0.
int nlq_locale_normalize(const char* name, char* buffer, std::size_t length);

// Mapped locale used by the catalog search: "fr_CA" -> "fr_FR", "de_DE" -> "de",
// "en_GB" -> "C". Cut to length - 1 characters. Returns 0.
int nlq_locale_map(const char* name, char* buffer, std::size_t length);

// Newly allocated (std::malloc) 32-byte buffer with the canonical form; the caller frees
// it with std::free. Null when out of memory.
char* nlq_locale_normalize_dup(const char* name);

// ---- Codeset names ----------------------------------------------------------------

// Canonical codeset name: upper case, "DOS"/"WIN"/"OS" replaced by the Windows OEM or
// ANSI code page number, a leading "QVX" dropped, letters and digits only, then the
// aliases file applied. Works in place when name == buffer. Returns 0, or 1 when the
// length is 0.
int nlq_codeset_normalize(const char* name, char* buffer, std::size_t length);

// The user default locale's OEM code page (for "DOS") or ANSI code page (otherwise) as
// decimal text; empty when the query fails or answers 0. Returns 0.
int nlq_codeset_from_os(const char* name, char* buffer, std::size_t length);

// Replaces the canonical name in `name` (capacity `length`) by its alias when the first
// aliases file found (NLQDIR/codeset/aliases, NLQDIR/aliases, ./aliases) has one.
// Returns 0 when an aliases file was read, 1 when none was found.
int nlq_codeset_alias(char* name, std::size_t length);

// A codeset table image read whole from disk, following redirect files. `data` is
// allocated with std::malloc and owned by the caller; null when no table was found.
struct NlqTableImage {
    unsigned char* data;
    std::size_t size;
};
NlqTableImage nlq_codeset_find_table(const char* name);

// ---- Codesets ---------------------------------------------------------------------

// Opens a codeset by name. A name without '/' and '\' is normalised first; "UTF8" gives
// the built-in UTF-8 codeset. Null when no table is found.
NlqCodeset* nlq_codeset_open(const char* name);
// Same, with a name that is already canonical (or a path).
NlqCodeset* nlq_codeset_load(const char* canonicalName);
// Frees a codeset opened above. Null and the built-in codesets are left alone; closing
// the process or OS codeset makes it the built-in pass-through. Returns 0.
int nlq_codeset_close(NlqCodeset* codeset);

// ---- Process-wide state -------------------------------------------------------------

// Resolves the process and OS codesets; runs once (again after nlq_terminate). Never
// fails: without tables both stay the built-in pass-through. Returns 0.
int nlq_init();
// Closes the process and OS codesets and forgets the initialisation.
void nlq_terminate();

// The process codeset (never null; initialises first when needed).
NlqCodeset* nlq_get_current_codeset();
// Makes `codeset` the process codeset; null means the built-in pass-through. Returns 0.
int nlq_set_current_codeset(NlqCodeset* codeset);
// The codeset in which the runtime library formats text (never null).
NlqCodeset* nlq_get_os_codeset();
// Name of `codeset`, or of the process codeset when null.
const char* nlq_codeset_name(const NlqCodeset* codeset);

// ---- Environment helpers ------------------------------------------------------------

// NLSPATH=value. Returns 0, -1 when the environment refused it.
int nlq_set_nlspath(const char* value);
// NLSPATH=value;previous (the new value is searched first).
int nlq_prepend_nlspath(const char* value);
// NLSPATH's value, or "" when unset.
const char* nlq_get_nlspath();
// NLQDIR=value.
int nlq_set_nlqdir(const char* value);
// NLQDIR's value, or "" when unset.
const char* nlq_get_nlqdir();
