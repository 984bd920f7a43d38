// The toolkit's catalogs as the build generates them (<build>/data/msg/<locale>/gxgmsg.cat),
// found through NLSPATH: every text of the C catalog as its source holds it (the toolkit's
// compiled-in table is checked against the same source), and the German catalog's texts
// with their parameters in another order.
#include <fstream>
#include <iterator>

#include "i18n/nlq_codeset.h"
#include "tests/i18n-catalog/catalog_test_support.h"
#include "tests/support/ci_skip.h"

namespace {

using nlq_test::CatalogTest;

class ShippedCatalog : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        env.set("NLSPATH", nlq_test::hostPath(ATTRSCAN_BINARY_DIR "/data/msg/%L/%N.cat"));
    }
};

TEST_F(ShippedCatalog, CatalogMatchesItsSource)
{
    std::ifstream in(nlq_test::hostPath(ATTRSCAN_SOURCE_DIR "/data/catalogs/C/gxgmsg.msg"), std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const mkcatalog::Compiled compiled = mkcatalog::parseSource(source);
    ASSERT_TRUE(compiled.ok());
    ASSERT_EQ(compiled.sets.size(), 1u);
    ASSERT_EQ(compiled.sets[0].messages.size(), 131u);  // keys 1 to 131

    NlqCatalog* catalog = nlq_catopen("gxgmsg", 0, "C");
    ASSERT_NE(catalog, nullptr);
    for (const mkcatalog::Message& m : compiled.sets[0].messages)
        EXPECT_EQ(nlq_catgets(catalog, 1, m.number, "", nlq_codeset_utf8()), m.text) << m.number;

    const char* fallback = "gxgmsg";
    EXPECT_EQ(nlq_catgets(catalog, 1, 0, fallback, nullptr), fallback);
    EXPECT_EQ(nlq_catgets(catalog, 1, 132, fallback, nullptr), fallback);
    nlq_catclose(catalog);
}

TEST_F(ShippedCatalog, GermanThroughTheEnvironment)
{
    const struct {
        const char* lang;  // null: unset (user language 0x409 -> "en" -> the C catalog)
        std::int32_t key;
        const char* text;
    } cases[] = {
        {"de_DE.UTF-8", 32, "GXGFH0032E Der Wert '%2$s' ist f\xC3\xBCr die Eigenschaft '%1$s' kein g\xC3\xBCltiger Dateipfad dieser Plattform."},
        {"de_AT", 62, "GXGBC0062W Das Objekt '%2$s' kann erst erstellt werden, wenn die Klasse '%1$s' definiert ist."},
        {"de", 3, "GXGBC03E Im Nachrichtenkatalog %3$s wurde die Nachricht mit dem Schl\xC3\xBCssel %2$d in der Gruppe %1$d nicht gefunden."},
        {"fr_FR", 62, "GXGBC0062W Class '%1$s' must be defined before object '%2$s' can be created."},
        {nullptr, 2, "GXGBC02E The message catalog file %s could not be opened."},
    };
    for (const auto& c : cases) {
        nlq::catalogTableClear();
        if (c.lang)
            env.set("LANG", c.lang);
        else
            env.unset("LANG");
        NlqCatalog* catalog = nlq_catopen("gxgmsg", 0, nullptr);
        ASSERT_NE(catalog, nullptr) << (c.lang ? c.lang : "(unset)");
        EXPECT_STREQ(nlq_catgets(catalog, 1, c.key, "", nlq_codeset_utf8()), c.text);
        nlq_catclose(catalog);
    }
}

// With the shipped codeset tables (NLQDIR=<build>/data), the process codeset follows
// NLQ_CODESET, or the system's ANSI code page when it is unset, and catalog texts asked for
// in the default codeset arrive converted to it.
TEST_F(ShippedCatalog, TextsInTheProcessCodeset)
{
    const std::string data = nlq_test::hostPath(ATTRSCAN_BINARY_DIR "/data");
    if (!std::ifstream(data + "/codeset/1252"))
        SKIP_OR_FAIL_IN_CI << "the build has not generated the codeset tables";
    env.set("NLQDIR", data);
    env.set("LANG", "de_DE");
    const struct {
        const char* nlqCodeset;  // null: unset
        const char* processName;
        const char* text;
    } cases[] = {
        {nullptr, "1252", "GXGBC0020E Nicht gen\xFCgend Speicher."},
        {"DOS", "437", "GXGBC0020E Nicht gen\x81gend Speicher."},
        {"ISO8859-15", "ISO885915", "GXGBC0020E Nicht gen\xFCgend Speicher."},
        {"utf-8", "UTF8", "GXGBC0020E Nicht gen\xC3\xBCgend Speicher."},
    };
    for (const auto& c : cases) {
        nlq::catalogTableClear();
        nlq_terminate();
        if (c.nlqCodeset)
            env.set("NLQ_CODESET", c.nlqCodeset);
        else
            env.unset("NLQ_CODESET");
        EXPECT_STREQ(nlq_codeset_name(nullptr), c.processName);
        EXPECT_STREQ(nlq_codeset_name(nlq_get_os_codeset()), "1252");
        NlqCatalog* catalog = nlq_catopen("gxgmsg", 0, nullptr);
        ASSERT_NE(catalog, nullptr);
        EXPECT_STREQ(nlq_catgets(catalog, 1, 20, "", nullptr), c.text) << c.processName;
        nlq_catclose(catalog);
    }
}

}  // namespace
