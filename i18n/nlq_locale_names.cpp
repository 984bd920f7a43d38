// Locale names: the default locale, the locale of a Windows language identifier, and the
// normalised and mapped forms that the catalog search tries.
#include "i18n/nlq_locale.h"

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "portability/zur_system.h"
#include "i18n/nlq_locale_text.h"

namespace {

struct LanguageRow {
    unsigned primary;
    const char* code;
};

// Searched in this order, first match wins. 0x1A stands twice: Croatian comes first, so
// Serbian is never produced.
constexpr std::array<LanguageRow, 42> kLanguages{{
    {0x01, "ar"}, {0x36, "af"}, {0x1C, "sq"}, {0x2D, "eu"}, {0x02, "bg"}, {0x23, "be"},
    {0x03, "ca"}, {0x04, "zh"}, {0x1A, "hr"}, {0x05, "cs"}, {0x06, "da"}, {0x13, "nl"},
    {0x09, "en"}, {0x25, "et"}, {0x38, "fo"}, {0x29, "fa"}, {0x0B, "fi"}, {0x0C, "fr"},
    {0x07, "de"}, {0x08, "el"}, {0x0D, "he"}, {0x0E, "hu"}, {0x0F, "is"}, {0x21, "id"},
    {0x10, "it"}, {0x11, "ja"}, {0x12, "ko"}, {0x26, "lv"}, {0x27, "lt"}, {0x14, "no"},
    {0x15, "pl"}, {0x16, "pt"}, {0x18, "ro"}, {0x19, "ru"}, {0x1B, "sk"}, {0x24, "sl"},
    {0x1A, "sr"}, {0x0A, "es"}, {0x1D, "sv"}, {0x1E, "th"}, {0x1F, "tr"}, {0x22, "uk"},
}};

struct SubLanguageRow {
    std::string_view language;
    unsigned subLanguage;
    const char* locale;
};

constexpr std::array<SubLanguageRow, 3> kSubLanguages{{
    {"zh", 1, "zh_TW"},
    {"zh", 2, "zh_CN"},
    {"pt", 1, "pt_BR"},
}};

struct NamePair {
    std::string_view from;
    std::string_view to;
};

// Whole names that normalise to a fixed result (exact, case-sensitive match).
constexpr std::array<NamePair, 7> kSynonyms{{
    {"C", "C"}, {"american", "C"}, {"ar_AA", "ar"}, {"Ar_AA", "ar"},
    {"cz", "cs"}, {"japanese", "ja_JP"}, {"Jp_JP", "ja_JP"},
}};

// The locale whose catalogs serve a normalised locale when it has none of its own.
constexpr std::array<NamePair, 8> kMappings{{
    {"C", "C"}, {"en", "C"}, {"fr", "fr_FR"}, {"ja", "ja_JP"},
    {"pt", "pt_BR"}, {"pt_BR", "pt_BR"}, {"zh", "zh_CN"}, {"zh_TW", "zh_TW"},
}};

const NamePair* find(const auto& table, std::string_view name)
{
    for (const NamePair& row : table)
        if (row.from == name)
            return &row;
    return nullptr;
}

// The canonical form as a string (no length limit yet).
std::string normalized(std::string_view name)
{
    if (const NamePair* synonym = find(kSynonyms, name))
        return std::string(synonym->to);

    // Only the first six characters decide; a missing character reads as the end.
    std::string work(name.substr(0, 6));
    auto at = [&work](std::size_t i) { return i < work.size() ? work[i] : '\0'; };
    using nlq::isDigit;
    using nlq::isLetter;
    using nlq::isLetterOrDigit;

    if (at(2) == '-')
        work[2] = '_';
    // Language and territory run together with a code page number ("enUS437").
    if (isLetter(at(0)) && isLetter(at(1)) && isLetter(at(2)) && isLetter(at(3)) && isDigit(at(4)))
        work = work.substr(0, 2) + '_' + work.substr(2, 2);

    if (isLetter(at(0)) && isLetter(at(1))) {
        const char third = at(2);
        if (third != '_' && !isLetterOrDigit(third))
            return {nlq::toLower(at(0)), nlq::toLower(at(1))};
        if (third == '_' && isLetter(at(3)) && isLetter(at(4)) && !isLetterOrDigit(at(5)))
            return {nlq::toLower(at(0)), nlq::toLower(at(1)), '_', nlq::toUpper(at(3)),
                    nlq::toUpper(at(4))};
    }
    return std::string(name);
}

}  // namespace

std::string_view nlq::environmentValue(const char* variable)
{
    const char* value = std::getenv(variable);
    return value ? std::string_view(value) : std::string_view();
}

int nlq_locale_default(char* buffer, std::size_t length)
{
    if (length == 0 || !buffer)
        return 0;
    std::string_view lang = nlq::environmentValue("LANG");
    if (lang.empty())
        lang = nlq_locale_from_langid(zur::userLanguageId());
    nlq::copyCut(lang, buffer, length);
    return 0;
}

const char* nlq_locale_from_langid(unsigned langid)
{
    const unsigned primary = langid & 0x3FF;
    const unsigned subLanguage = langid >> 10;
    for (const LanguageRow& row : kLanguages) {
        if (row.primary != primary)
            continue;
        for (const SubLanguageRow& sub : kSubLanguages)
            if (sub.language == row.code && sub.subLanguage == subLanguage)
                return sub.locale;
        return row.code;
    }
    return "C";
}

int nlq_locale_normalize(const char* name, char* buffer, std::size_t length)
{
    if (length == 0 || !buffer)
        return 0;
    nlq::copyCut(normalized(name ? name : ""), buffer, length);
    return 0;
}

int nlq_locale_map(const char* name, char* buffer, std::size_t length)
{
    if (length == 0 || !buffer)
        return 0;
    // The table holds names of at most five characters.
    std::string key = normalized(name ? name : "").substr(0, 5);
    const NamePair* mapped = find(kMappings, key);
    if (!mapped && key.size() > 2 && key[2] == '_') {
        key.resize(2);
        mapped = find(kMappings, key);
    }
    nlq::copyCut(mapped ? mapped->to : std::string_view(key), buffer, length);
    return 0;
}

char* nlq_locale_normalize_dup(const char* name)
{
    constexpr std::size_t kSize = 32;
    char* buffer = static_cast<char*>(std::malloc(kSize));
    if (buffer)
        nlq_locale_normalize(name, buffer, kSize);
    return buffer;
}
