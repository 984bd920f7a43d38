// Codeset names: the canonical form (upper case, letters and digits only), the Windows
// code page behind "DOS", "WIN" and "OS", and the aliases file that renames canonical
// names.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "i18n/nlq_locale.h"
#include "portability/zur_system.h"
#include "i18n/nlq_locale_text.h"

namespace {

constexpr std::size_t kWorkBuffer = 128;  // codeset names are cut to 127 characters
constexpr std::size_t kAliasPiece = 128;  // the aliases file is read in pieces of 127

std::string upperCase(std::string text)
{
    for (char& c : text)
        c = nlq::toUpper(c);
    return text;
}

// The first aliases file that exists: NLQDIR/codeset/aliases, NLQDIR/aliases, ./aliases.
std::FILE* openAliases()
{
    const std::string_view dir = nlq::environmentValue("NLQDIR");
    const std::string sep(1, zur_path_separator);
    if (!dir.empty() && dir.size() <= 237) {
        const std::string path = std::string(dir) + sep + "codeset" + sep + "aliases";
        if (std::FILE* file = std::fopen(path.c_str(), "r"))
            return file;
    }
    if (!dir.empty() && dir.size() <= 245) {
        const std::string path = std::string(dir) + sep + "aliases";
        if (std::FILE* file = std::fopen(path.c_str(), "r"))
            return file;
    }
    return std::fopen("aliases", "r");
}

// The next white-space-delimited word at or after `*cursor`; empty at the end.
std::string_view nextWord(const char*& cursor)
{
    while (*cursor && nlq::isSpace(*cursor))
        ++cursor;
    const char* start = cursor;
    while (*cursor && !nlq::isSpace(*cursor))
        ++cursor;
    return {start, static_cast<std::size_t>(cursor - start)};
}

}  // namespace

int nlq_codeset_from_os(const char* name, char* buffer, std::size_t length)
{
    if (length == 0 || !buffer)
        return 0;
    const bool oem = name && upperCase(name) == "DOS";
    std::string page = zur::localeCodePage(oem);
    if (std::strtol(page.c_str(), nullptr, 10) == 0)
        page.clear();
    nlq::copyCut(page, buffer, length);
    return 0;
}

int nlq_codeset_alias(char* name, std::size_t length)
{
    std::FILE* file = openAliases();
    if (!file)
        return 1;
    char piece[kAliasPiece];
    while (std::fgets(piece, sizeof piece, file)) {
        if (piece[0] == '#')
            continue;
        const char* cursor = piece;
        const std::string_view canonical = nextWord(cursor);
        if (canonical.empty() || !name || canonical != name)
            continue;
        const std::string_view replacement = nextWord(cursor);
        // The word must be closed by white space or the line end; a word that runs into
        // the end of a cut-off piece may be incomplete. The end of the file ends a line.
        const bool closed = *cursor != '\0' || std::feof(file);
        if (!replacement.empty() && closed && length > 0) {
            nlq::copyCut(replacement, name, length);
            break;
        }
    }
    std::fclose(file);
    return 0;
}

int nlq_codeset_normalize(const char* name, char* buffer, std::size_t length)
{
    if (length == 0 || !buffer)
        return 1;
    std::string work = upperCase(std::string(name ? name : "").substr(0, kWorkBuffer - 1));
    if (work == "DOS" || work == "WIN" || work == "OS") {
        char page[kWorkBuffer];
        nlq_codeset_from_os(work.c_str(), page, sizeof page);
        work = upperCase(page);
    }
    if (work.compare(0, 3, "QVX") == 0)
        work.erase(0, 3);
    std::string canonical;
    for (char c : work)
        if (nlq::isLetterOrDigit(c))
            canonical.push_back(c);

    char aliased[kWorkBuffer];
    nlq::copyCut(canonical, aliased, sizeof aliased);
    nlq_codeset_alias(aliased, sizeof aliased);
    nlq::copyCut(aliased, buffer, length);
    return 0;
}
