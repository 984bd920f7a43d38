// Locale names: language identifiers, normalisation, mapping and the default locale.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "i18n/nlq_locale.h"
#include "portability/zur_system.h"
#include "tests/i18n-locale/nlq_test_support.h"

namespace {

std::string normalize(const char* name, std::size_t length = 32)
{
    char buffer[64] = "untouched";
    nlq_locale_normalize(name, buffer, length);
    return buffer;
}

std::string map(const char* name)
{
    char buffer[32];
    nlq_locale_map(name, buffer, sizeof buffer);
    return buffer;
}

TEST(LocaleNames, FromLanguageIdentifier)
{
    const struct {
        unsigned langid;
        const char* locale;
    } cases[] = {
        {0x0416, "pt_BR"},  // Portuguese, sub-language 1
        {0x0816, "pt"},     // Portuguese, sub-language 2
        {0x041A, "hr"},     // 0x1A stands twice in the table; Croatian comes first
        {0x081A, "hr"},     // whatever the sub-language
        {0x0404, "zh_TW"},
        {0x0804, "zh_CN"},
        {0x0C04, "zh"},
        {0x0409, "en"},
        {0x0401, "ar"},
        {0x0436, "af"},
        {0x0000, "C"},
        {0x00FF, "C"},      // primary language not in the table
        {0x0417, "C"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(nlq_locale_from_langid(c.langid), c.locale) << std::hex << c.langid;
}

TEST(LocaleNames, Normalize)
{
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"fr_FR.ISO8859-1", "fr_FR"},
        {"EN_us", "en_US"},
        {"de-DE", "de_DE"},
        {"POSIX", "POSIX"},
        {"american", "C"},
        {"ar_AA", "ar"},
        {"cz", "cs"},
        {"japanese", "ja_JP"},
        {"Jp_JP", "ja_JP"},
        {"de_DE@euro", "de_DE"},
        {"enUS437", "en_US"},      // language, territory and code page run together
        {"de_DEU", "de_DEU"},      // a sixth letter: not a territory
        {"d1", "d1"},
        {"", ""},
        {"C.UTF-8", "C.UTF-8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalize(c.name), c.expected) << c.name;
}

TEST(LocaleNames, NormalizeCutsToTheBuffer)
{
    EXPECT_EQ(normalize("fr_FR.ISO8859-1", 3), "fr");
    EXPECT_EQ(normalize("english", 4), "eng");
    EXPECT_EQ(normalize("english", 0), "untouched");
    char* dup = nlq_locale_normalize_dup("de-AT.UTF-8");
    ASSERT_NE(dup, nullptr);
    EXPECT_STREQ(dup, "de_AT");
    std::free(dup);
}

TEST(LocaleNames, Map)
{
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        // fr_CA, pt and japanese: the catalog search finds their mapped variants.
        {"de_DE", "de"},    {"zh_HK", "zh_CN"}, {"en_GB", "C"},         {"pt_PT", "pt_BR"},
        {"zh_TW", "zh_TW"}, {"ja", "ja_JP"},    {"english", "engli"},   {"ru_RU.KOI8-R", "ru"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(map(c.name), c.expected) << c.name;
}

TEST(LocaleNames, DefaultLocale)
{
    nlq_test::EnvGuard env;
    char buffer[32];

    env.set("LANG", "de_DE.UTF-8");
    nlq_locale_default(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "de_DE.UTF-8");
    nlq_locale_default(buffer, 3);
    EXPECT_STREQ(buffer, "de");

    // Unset and empty both fall back to the user's Windows language: 0x409 under wine,
    // and the same answer from the POSIX build's stand-in.
    env.unset("LANG");
    nlq_locale_default(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "en");
    env.set("LANG", "");
    nlq_locale_default(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, nlq_locale_from_langid(zur::userLanguageId()));
}

// Under wine these are the real Windows calls (GetUserDefaultLangID, GetLocaleInfoA for
// the OEM and ANSI code pages of the user default locale); a fresh wine prefix reports
// United States English. The POSIX build answers the same by design.
TEST(LocalePlatform, UserLanguageAndCodePages)
{
    EXPECT_EQ(zur::userLanguageId(), 0x0409u);
    EXPECT_EQ(zur::localeCodePage(true), "437");
    EXPECT_EQ(zur::localeCodePage(false), "1252");
}

}  // namespace
