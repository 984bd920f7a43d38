// Finding catalogs: the NLSPATH template, its segments and % sequences, the locale
// variants and the flags that switch them off, and where the locale comes from.
#include <filesystem>

#include "tests/i18n-catalog/catalog_test_support.h"

namespace {

using nlq_test::CatalogTest;

constexpr const char* kSource = "1 hello\n";

class CatalogSearch : public CatalogTest {
protected:
    std::string search(const char* pathTemplate, const char* locale, int flags = 0)
    {
        return nlq_catsearch("msgs", flags, pathTemplate, locale);
    }
};

TEST_F(CatalogSearch, LocaleVariants)
{
    const struct {
        std::vector<const char*> present;  // files under the scratch folder
        const char* locale;
        int flags;
        const char* found;  // "" when nothing is accepted
    } cases[] = {
        {{"en_US/msgs.cat", "en/msgs.cat", "C/msgs.cat"}, "en_US.UTF-8", 0, "en_US/msgs.cat"},
        {{"en/msgs.cat", "C/msgs.cat"}, "en_US", 0, "en/msgs.cat"},
        {{"C/msgs.cat"}, "en_US", 0, "C/msgs.cat"},
        {{"en/msgs.cat", "C/msgs.cat"}, "en_US", NLQ_CAT_NO_LANGUAGE, "C/msgs.cat"},
        {{"en/msgs.cat"}, "en_US", NLQ_CAT_NO_LANGUAGE, ""},
        {{"pt_BR/msgs.cat", "C/msgs.cat"}, "pt", 0, "pt_BR/msgs.cat"},    // the mapped variant
        {{"pt_BR/msgs.cat", "C/msgs.cat"}, "pt", NLQ_CAT_NO_MAPPED, "C/msgs.cat"},
        {{"fr_FR/msgs.cat"}, "fr_CA", 0, "fr_FR/msgs.cat"},
        {{"C/msgs.cat"}, "de_DE", NLQ_CAT_NO_C, ""},
        {{"de/msgs.cat"}, "DE-de", NLQ_CAT_NO_C, "de/msgs.cat"},
        {{"ja_JP/msgs.cat"}, "japanese", 0, "ja_JP/msgs.cat"},
    };
    for (const auto& c : cases) {
        for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
            std::filesystem::remove_all(entry.path());
        for (const char* file : c.present)
            writeCatalog(file, kSource);
        EXPECT_EQ(search("%L/%N.cat", c.locale, c.flags), c.found) << c.locale << " flags " << c.flags;
    }
}

TEST_F(CatalogSearch, TemplateSequencesAndSegments)
{
    writeCatalog("english/x/ISO8859-1/msgs", kSource);
    writeCatalog("de/DE/msgs", kSource);
    writeCatalog("second/msgs.cat", kSource);
    writeCatalog("msgs%x.cat", kSource);
    writeCatalog("%msgs", kSource);
    writeCatalog("msgs.cat", kSource);
    const struct {
        const char* pathTemplate;
        const char* locale;
        const char* found;
    } cases[] = {
        {"%l/x%t/%c/%N", "english.ISO8859-1", "english/x/ISO8859-1/msgs"},  // no territory
        {"%l/%t/%N", "de_DE.UTF-8", "de/DE/msgs"},
        {"none/%N.cat:second/%N.cat", "C", "second/msgs.cat"},
        {"none/%N.cat;second/%N.cat", "C", "second/msgs.cat"},
        {"none/%N.cat::second/%N.cat", "C", "second/msgs.cat"},          // empty segment
        {"%N%x.cat", "C", "msgs%x.cat"},                                  // unknown sequence kept
        {"%%N", "C", "%msgs"},
        {"none/%N.cat:%N.cat", "C", "msgs.cat"},
        {"", "C", ""},
        {"%N.cat%", "C", ""},                                             // '%' at the end kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(search(c.pathTemplate, c.locale), c.found) << c.pathTemplate;

    // A candidate longer than the 1024-byte path buffer is skipped, not cut.
    const std::string longTemplate = std::string(1100, 'a') + "/%N.cat:%N.cat";
    EXPECT_EQ(search(longTemplate.c_str(), "C"), "msgs.cat");
}

TEST_F(CatalogSearch, DriveLetterColonStaysInItsSegment)
{
#ifdef _WIN32
    // An absolute Windows path: "C:\...\msgs.cat" is one segment.
    writeCatalog("drive/msgs.cat", kSource);
    const std::string pathTemplate = scratch.at("drive") + "\\%N.cat";
    ASSERT_EQ(pathTemplate[1], ':');
    EXPECT_EQ(search(pathTemplate.c_str(), "C"), scratch.at("drive") + "\\msgs.cat");
#else
    // The same rule on a relative folder whose second character is ':'.
    writeCatalog("x:y/msgs.cat", kSource);
    EXPECT_EQ(search("x:y/%N.cat", "C"), "x:y/msgs.cat");
    EXPECT_EQ(search("n:x:y/%N.cat", "C"), "");  // "n:x" then "y/%N.cat"
#endif
}

TEST_F(CatalogSearch, NamesAndPaths)
{
    writeCatalog("sub/given.cat", kSource);
    EXPECT_EQ(nlq_catsearch("sub/given.cat", 0, "%N", "C"), "sub/given.cat");
    EXPECT_EQ(nlq_catsearch("sub\\missing.cat", 0, "%N", "C"), "");
    EXPECT_EQ(nlq_catsearch("", 0, "%N", "C"), "");
    EXPECT_EQ(nlq_catsearch(nullptr, 0, "%N", "C"), "");

    // A candidate already in the open-catalog table is accepted without a file: here the
    // relative path no longer names a file once the current folder has changed.
    writeCatalog("C/msgs.cat", kSource);
    env.set("NLSPATH", "%L/%N.cat");
    NlqCatalog* catalog = nlq_catopen("msgs", 0, "C");
    ASSERT_NE(catalog, nullptr);
    nlq_catclose(catalog);
    std::filesystem::create_directories(scratch.path() / "elsewhere");
    std::filesystem::current_path(scratch.path() / "elsewhere");
    EXPECT_EQ(search("%L/%N.cat", "C"), "C/msgs.cat");
    EXPECT_EQ(nlq_catopen("msgs", 0, "C"), catalog);
    EXPECT_EQ(nlq_catopen("C/msgs.cat", 0, nullptr), nullptr);  // a path must exist
}

TEST_F(CatalogSearch, LocaleSources)
{
    for (const char* folder : {"de", "fr", "it", "en", "C"})
        writeCatalog(std::string(folder) + "/msgs.cat", std::string("1 ") + folder + "\n");
    env.set("NLSPATH", "%L/%N.cat");
    const struct {
        const char* lang;
        const char* lcAll;
        const char* lcMessages;
        const char* explicitLocale;
        int flags;
        const char* text;
    } cases[] = {  // LANG alone, set or unset: shipped_catalog_test's German cases
        {"de_DE", "fr_FR", "it_IT", nullptr, 0, "de"},            // LC_* only with the flag
        {"de_DE", "fr_FR", "it_IT", nullptr, NLQ_CAT_LC_VARS, "fr"},
        {"de_DE", nullptr, "it_IT", nullptr, NLQ_CAT_LC_VARS, "it"},
        {"de_DE", "", "it_IT", nullptr, NLQ_CAT_LC_VARS, "it"},   // empty counts as unset
        {"de_DE", nullptr, nullptr, nullptr, NLQ_CAT_LC_VARS, "de"},
        {"de_DE", "fr_FR", nullptr, "it", NLQ_CAT_LC_VARS, "it"}, // an explicit locale wins
        {"", nullptr, nullptr, nullptr, 0, "en"},
        {"xx_YY", nullptr, nullptr, nullptr, 0, "C"},
    };
    for (const auto& c : cases) {
        nlq::catalogTableClear();
        auto apply = [this](const char* name, const char* value) {
            if (value) env.set(name, value); else env.unset(name);
        };
        apply("LANG", c.lang);
        apply("LC_ALL", c.lcAll);
        apply("LC_MESSAGES", c.lcMessages);
        NlqCatalog* catalog = nlq_catopen("msgs", c.flags, c.explicitLocale);
        ASSERT_NE(catalog, nullptr);
        EXPECT_STREQ(nlq_catgets(catalog, 1, 1, "default", nullptr), c.text)
            << (c.lang ? c.lang : "-") << " " << (c.lcAll ? c.lcAll : "-") << " flags " << c.flags;
        nlq_catclose(catalog);
    }
}

TEST_F(CatalogSearch, DefaultTemplateIsTheCurrentFolder)
{
    EXPECT_EQ(nlq_catopen("gxgmsg", 0, nullptr), nullptr);
    writeCatalog("gxgmsg.cat", "1 here\n");
    NlqCatalog* catalog = nlq_catopen("gxgmsg", 0, "de_DE");
    ASSERT_NE(catalog, nullptr);
    EXPECT_STREQ(nlq_catgets(catalog, 1, 1, "default", nullptr), "here");
    env.set("NLSPATH", "");  // empty counts as unset
    EXPECT_EQ(nlq_catopen("gxgmsg", 0, nullptr), catalog);
}

}  // namespace
