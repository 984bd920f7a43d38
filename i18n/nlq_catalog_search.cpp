// Finding and opening a catalog by name: the locale to use, the NLSPATH template cut into
// segments, each segment expanded for up to four locale variants, and the first
// candidate that exists (or is already open) read or reused.
#include <sys/stat.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "i18n/nlq_catalog_records.h"
#include "i18n/nlq_locale.h"
#include "i18n/nlq_locale_text.h"

namespace {

constexpr std::size_t kLocaleBuffer = 32;  // locale names are cut to 31 characters
constexpr std::size_t kPathBuffer = 1024;  // an expanded candidate longer than this is skipped

bool fileExists(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

// Parts of a locale name such as "de_DE.ISO8859-1".
std::string_view languagePart(std::string_view locale)
{
    std::size_t end = locale.find('_');
    if (end == std::string_view::npos)
        end = locale.find('.');
    return locale.substr(0, end);
}

std::string_view territoryPart(std::string_view locale)
{
    const std::size_t underscore = locale.find('_');
    if (underscore == std::string_view::npos)
        return {};
    const std::size_t dot = locale.find('.', underscore + 1);
    return locale.substr(underscore + 1, dot == std::string_view::npos ? dot : dot - underscore - 1);
}

std::string_view codesetPart(std::string_view locale)
{
    const std::size_t dot = locale.find('.');
    return dot == std::string_view::npos ? std::string_view() : locale.substr(dot + 1);
}

// One segment expanded for locale `locale`; none when the result does not fit the path
// buffer. A '%' before any other character (or at the end) stays as it is.
std::optional<std::string> expand(std::string_view segment, std::string_view name,
                                  std::string_view locale)
{
    std::string path;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        const char c = segment[i];
        const char next = i + 1 < segment.size() ? segment[i + 1] : '\0';
        std::optional<std::string_view> replacement;
        if (c == '%') {
            switch (next) {
            case 'N': replacement = name; break;
            case 'L': replacement = locale; break;
            case 'l': replacement = languagePart(locale); break;
            case 't': replacement = territoryPart(locale); break;
            case 'c': replacement = codesetPart(locale); break;
            default: break;
            }
        }
        if (replacement) {
            path.append(*replacement);
            ++i;
        } else {
            path.push_back(c);
        }
        if (path.size() >= kPathBuffer)
            return std::nullopt;
    }
    return path;
}

// The template cut into segments, with a ':' appended to close the last one. ';' always
// ends a segment; ':' ends one unless it is the segment's second character, so that
// "C:\msg\%L\%N.cat" keeps its drive letter.
std::vector<std::string> segments(std::string_view pathTemplate)
{
    const std::string text = std::string(pathTemplate) + ':';
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';' || (c == ':' && i - start != 1)) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    // A one-character last segment keeps the appended ':' as its second character; the
    // end of the template still closes it.
    if (start < text.size())
        parts.push_back(text.substr(start, text.size() - 1 - start));
    return parts;
}

}  // namespace

std::string nlq_catsearch(const char* name, int flags, const char* pathTemplate, const char* locale)
{
    if (!name || !*name)
        return {};
    const std::string catalogName(name);
    if (catalogName.find_first_of("/\\") != std::string::npos)
        return fileExists(catalogName) ? catalogName : std::string();

    const char* localeName = locale ? locale : "";
    std::array<char, kLocaleBuffer> normalized{};
    std::array<char, kLocaleBuffer> mapped{};
    nlq_locale_normalize(localeName, normalized.data(), normalized.size());
    nlq_locale_map(localeName, mapped.data(), mapped.size());

    std::vector<std::string_view> variants;
    const std::string_view l1(normalized.data());
    variants.push_back(l1);
    if (l1.size() > 2 && !(flags & NLQ_CAT_NO_LANGUAGE))
        variants.push_back(l1.substr(0, 2));
    if (std::string_view(mapped.data()) != l1 && !(flags & NLQ_CAT_NO_MAPPED))
        variants.push_back(mapped.data());
    if (!(flags & NLQ_CAT_NO_C))
        variants.push_back("C");

    for (const std::string& segment : segments(pathTemplate ? pathTemplate : "")) {
        for (std::string_view variant : variants) {
            const std::optional<std::string> candidate = expand(segment, catalogName, variant);
            if (candidate && (nlq::catalogTableHas(*candidate) || fileExists(*candidate)))
                return *candidate;
        }
    }
    return {};
}

NlqCatalog* nlq_catload(const std::string& path, int flags)
{
    if (NlqCatalog* reused = nlq::catalogTableReuse(path))
        return reused;
    auto catalog = nlq::readCatalog(nlq::openFileSource(path), flags);
    if (!catalog)
        return nullptr;
    return nlq::catalogTableInsert(path, std::move(catalog));
}

NlqCatalog* nlq_catopen(const char* name, int flags, const char* locale)
{
    std::array<char, kLocaleBuffer> localeBuffer{};
    std::string_view chosen = locale ? std::string_view(locale) : std::string_view();
    if (!locale && (flags & NLQ_CAT_LC_VARS)) {
        chosen = nlq::environmentValue("LC_ALL");
        if (chosen.empty())
            chosen = nlq::environmentValue("LC_MESSAGES");
    }
    if (!locale && chosen.empty()) {
        nlq_locale_default(localeBuffer.data(), localeBuffer.size());
        chosen = localeBuffer.data();
    }
    const std::string localeName(chosen);

    const std::string_view nlspath = nlq_get_nlspath();
    const std::string pathTemplate = nlspath.empty() ? std::string("%N.cat") : std::string(nlspath);
    const std::string path = nlq_catsearch(name, flags, pathTemplate.c_str(), localeName.c_str());
    if (path.empty())
        return nullptr;
    return nlq_catload(path, flags);
}
