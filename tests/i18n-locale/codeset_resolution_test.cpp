// Codeset names, aliases files, table files and the process-wide codesets, driven through
// the environment (NLQDIR, BINDIR, NLQ_CODESET) and files in a scratch folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "i18n/nlq_codeset.h"
#include "i18n/nlq_locale.h"
#include "tests/i18n-locale/nlq_test_support.h"

namespace {

using nlq_test::EnvGuard;
using nlq_test::ScratchDir;
using nlq_test::writeFile;

// Every test starts from an uninitialised service, with none of the variables set and an
// empty scratch folder as the current folder.
class CodesetResolution : public ::testing::Test {
protected:
    void SetUp() override
    {
        nlq_terminate();
        for (const char* name : {"NLQDIR", "BINDIR", "NLQ_CODESET", "NLSPATH"})
            env.unset(name);
        scratch.enter();
    }
    void TearDown() override { nlq_terminate(); }

    std::string normalize(const char* name)
    {
        char buffer[128];
        nlq_codeset_normalize(name, buffer, sizeof buffer);
        return buffer;
    }

    EnvGuard env;
    ScratchDir scratch;
};

TEST_F(CodesetResolution, NormalizeNames)
{
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"utf-8", "UTF8"},      {"ISO8859-1", "ISO88591"}, {"QVX-943", "943"},
        {"qvxutf-8", "UTF8"},   {"OS", "1252"},            {"os", "1252"},
        {"WIN", "1252"},        {"DOS", "437"},            {"dos", "437"},
        {"ibm-1047", "IBM1047"}, {"EUC_jp", "EUCJP"},      {"", ""},
        {"DOS ", "DOS"},        // not exactly "DOS" once upper-cased: no code page query
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalize(c.name), c.expected) << c.name;

    char small[4];
    EXPECT_EQ(nlq_codeset_normalize("ISO8859-1", small, sizeof small), 0);
    EXPECT_STREQ(small, "ISO");
    EXPECT_EQ(nlq_codeset_normalize("utf-8", small, 0), 1);

    char page[8];
    nlq_codeset_from_os("dos", page, sizeof page);
    EXPECT_STREQ(page, "437");
    nlq_codeset_from_os("anything", page, sizeof page);
    EXPECT_STREQ(page, "1252");
}

TEST_F(CodesetResolution, AliasesFile)
{
    env.set("NLQDIR", scratch.at("data"));
    writeFile(scratch.path() / "data" / "codeset" / "aliases",
              "# ISO88591 COMMENTED\n"
              "utf8 LOWER\n"
              "ISO88591   LATIN1  trailing words\n"
              "LATIN1 WESTERN\n"
              "IBM037\n"
              "ISO885915 " + std::string(200, 'A') + "\n");

    // Applied once by normalisation; an alias of an alias is not followed.
    EXPECT_EQ(normalize("iso8859-1"), "LATIN1");
    // Comments and first words that are not canonical names never match.
    EXPECT_EQ(normalize("utf-8"), "UTF8");
    // A word without a second word, and a second word cut by the 127-character pieces.
    EXPECT_EQ(normalize("ibm-037"), "IBM037");
    EXPECT_EQ(normalize("ISO8859-15"), "ISO885915");

    char name[16] = "NOTLISTED";
    EXPECT_EQ(nlq_codeset_alias(name, sizeof name), 0);
    EXPECT_STREQ(name, "NOTLISTED");
}

TEST_F(CodesetResolution, AliasesFileOrder)
{
    const struct {
        bool inCodesetFolder, inDataFolder, inCurrentFolder;
        const char* expected;
        int result;
    } cases[] = {
        {true, true, true, "FROMCODESET", 0},
        {false, true, true, "FROMDATA", 0},
        {false, false, true, "FROMCURRENT", 0},
        {false, false, false, "X", 1},
    };
    env.set("NLQDIR", scratch.at("data"));
    for (const auto& c : cases) {
        std::filesystem::remove_all(scratch.path() / "data");
        std::filesystem::remove(scratch.path() / "aliases");
        if (c.inCodesetFolder)
            writeFile(scratch.path() / "data" / "codeset" / "aliases", "X FROMCODESET\n");
        if (c.inDataFolder)
            writeFile(scratch.path() / "data" / "aliases", "X FROMDATA\n");
        if (c.inCurrentFolder)
            writeFile(scratch.path() / "aliases", "X FROMCURRENT");  // no final line end
        char name[32] = "X";
        EXPECT_EQ(nlq_codeset_alias(name, sizeof name), c.result);
        EXPECT_STREQ(name, c.expected);
    }
}

TEST_F(CodesetResolution, TableFolders)
{
    const struct {
        const char* folder;  // relative to the scratch folder
        const char* tableName;
    } order[] = {
        {"data/codeset", "IN-CODESET"},
        {"data", "IN-DATA"},
        {"generic/codeset", "IN-BINDIR"},
        {".", "IN-CURRENT"},
    };
    env.set("NLQDIR", scratch.at("data"));
    env.set("BINDIR", scratch.at("bin"));
    std::filesystem::create_directories(scratch.path() / "bin");
    for (const auto& place : order)
        writeFile(scratch.path() / place.folder / "TESTCS", nlq_test::latin1Table(place.tableName));

    // The first folder that has the table wins; remove it and the next one does.
    for (const auto& place : order) {
        NlqCodeset* codeset = nlq_codeset_open("test-cs");
        ASSERT_NE(codeset, nullptr) << place.folder;
        EXPECT_STREQ(nlq_codeset_name(codeset), place.tableName);
        EXPECT_EQ(codeset->kind, NLQ_KIND_SBCS);
        nlq_codeset_close(codeset);
        std::filesystem::remove(scratch.path() / place.folder / "TESTCS");
    }
    EXPECT_EQ(nlq_codeset_open("test-cs"), nullptr);
    EXPECT_EQ(nlq_codeset_find_table("TESTCS").data, nullptr);
}

TEST_F(CodesetResolution, RedirectFiles)
{
    env.set("NLQDIR", scratch.at("data"));
    const auto codesetFolder = scratch.path() / "data" / "codeset";
    // Five reads per folder: four redirects and the table succeed ...
    writeFile(codesetFolder / "R1", "R2\n");
    writeFile(codesetFolder / "R2", "  R3\r\n");
    writeFile(codesetFolder / "R3", "R4");
    writeFile(codesetFolder / "R4", "TABLE\n");
    writeFile(codesetFolder / "TABLE", nlq_test::latin1Table("CHAINED"));
    NlqTableImage image = nlq_codeset_find_table("R1");
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(image.size, nlq_test::latin1Table("CHAINED").size());
    std::free(image.data);

    // ... five redirects do not; the next folder is tried.
    writeFile(codesetFolder / "R0", "R1\n");
    EXPECT_EQ(nlq_codeset_find_table("R0").data, nullptr);
    writeFile(scratch.path() / "data" / "R0", nlq_test::latin1Table("NEXT-FOLDER"));
    NlqCodeset* codeset = nlq_codeset_load("R0");
    ASSERT_NE(codeset, nullptr);
    EXPECT_STREQ(codeset->name, "NEXT-FOLDER");
    nlq_codeset_close(codeset);

    // A redirect stays in its folder, and a short file with the magic is still a redirect.
    writeFile(codesetFolder / "ESCAPE", "../codeset/TABLE\n");
    EXPECT_EQ(nlq_codeset_find_table("ESCAPE").data, nullptr);
    std::vector<unsigned char> shortImage = nlq_test::latin1Table("SHORT");
    shortImage.resize(1759);
    writeFile(codesetFolder / "SHORTCS", shortImage);
    EXPECT_EQ(nlq_codeset_find_table("SHORTCS").data, nullptr);
}

TEST_F(CodesetResolution, OpenAndClose)
{
    EXPECT_EQ(nlq_codeset_open("utf-8"), nlq_codeset_utf8());
    EXPECT_EQ(nlq_codeset_open("UNKNOWN"), nullptr);
    EXPECT_EQ(nlq_codeset_open(nullptr), nullptr);

    // A name with a folder separator is a path, used as it stands.
    writeFile(scratch.path() / "tables" / "mine.tbl", nlq_test::latin1Table("BY-PATH"));
    NlqCodeset* byPath = nlq_codeset_open("tables/mine.tbl");
    ASSERT_NE(byPath, nullptr);
    EXPECT_STREQ(byPath->name, "BY-PATH");

    // Closing leaves the built-in codesets alone and always answers 0.
    EXPECT_EQ(nlq_codeset_close(byPath), 0);
    EXPECT_EQ(nlq_codeset_close(nullptr), 0);
    EXPECT_EQ(nlq_codeset_close(nlq_codeset_utf8()), 0);
    EXPECT_EQ(nlq_codeset_close(nlq_codeset_passthrough()), 0);
    EXPECT_STREQ(nlq_codeset_name(nlq_codeset_utf8()), "UTF8");
}

// With the shipped data (DEFAULT naming 1252, NLQ_CODESET=dos giving 437) the same rules
// are checked through the catalog texts in shipped_catalog_test.cpp.
TEST_F(CodesetResolution, ProcessAndOsCodesets)
{
    const auto folder = scratch.path() / "data" / "codeset";
    const struct {
        const char* nlqCodeset;  // null: unset
        std::vector<std::pair<const char*, const char*>> files;  // name -> table name, or "->X" redirect
        const char* process;
        const char* os;
    } cases[] = {
        {nullptr, {}, "OS", "OS"},
        {"", {{"1252", "T1252"}}, "T1252", "T1252"},
        {nullptr, {{"DEFAULT", "->LATIN"}, {"LATIN", "TLATIN"}}, "TLATIN", "OS"},
        {nullptr, {{"OSDEFAULT", "->LATIN"}, {"LATIN", "TLATIN"}}, "OS", "TLATIN"},
        {"latin", {{"LATIN", "TLATIN"}, {"1252", "T1252"}}, "TLATIN", "T1252"},
        {"missing", {{"DEFAULT", "->LATIN"}, {"LATIN", "TLATIN"}}, "TLATIN", "OS"},
    };
    env.set("NLQDIR", scratch.at("data"));
    for (const auto& c : cases) {
        nlq_terminate();
        std::filesystem::remove_all(folder);
        if (c.nlqCodeset)
            env.set("NLQ_CODESET", c.nlqCodeset);
        else
            env.unset("NLQ_CODESET");
        for (const auto& [file, content] : c.files) {
            const std::string text = content;
            if (text.rfind("->", 0) == 0)
                writeFile(folder / file, text.substr(2) + "\n");
            else
                writeFile(folder / file, nlq_test::latin1Table(text));
        }
        EXPECT_STREQ(nlq_codeset_name(nullptr), c.process) << (c.nlqCodeset ? c.nlqCodeset : "(unset)");
        EXPECT_STREQ(nlq_get_os_codeset()->name, c.os) << (c.nlqCodeset ? c.nlqCodeset : "(unset)");
    }

    // Closing the process codeset makes it the pass-through again; terminating and using
    // the service again resolves anew.
    nlq_terminate();
    env.set("NLQ_CODESET", "latin");
    writeFile(folder / "LATIN", nlq_test::latin1Table("TLATIN"));
    NlqCodeset* process = nlq_get_current_codeset();
    EXPECT_STREQ(process->name, "TLATIN");
    nlq_codeset_close(process);
    EXPECT_EQ(nlq_get_current_codeset(), nlq_codeset_passthrough());
    char out[8];
    EXPECT_EQ(nlq_from_utf8(nullptr, "\xC3\xA4", -1, out, sizeof out), 3u);  // bytes unchanged
    EXPECT_STREQ(out, "\xC3\xA4");

    NlqCodeset* mine = nlq_codeset_open("latin");
    nlq_set_current_codeset(mine);
    EXPECT_EQ(nlq_get_current_codeset(), mine);
    nlq_set_current_codeset(nullptr);
    EXPECT_EQ(nlq_get_current_codeset(), nlq_codeset_passthrough());
    nlq_codeset_close(mine);
}

TEST_F(CodesetResolution, EnvironmentHelpers)
{
    EXPECT_STREQ(nlq_get_nlspath(), "");
    EXPECT_EQ(nlq_set_nlspath("a/%N.cat"), 0);
    EXPECT_STREQ(nlq_get_nlspath(), "a/%N.cat");
    EXPECT_EQ(nlq_prepend_nlspath("b/%L/%N.cat"), 0);
    EXPECT_STREQ(nlq_get_nlspath(), "b/%L/%N.cat;a/%N.cat");
    EXPECT_STREQ(std::getenv("NLSPATH"), "b/%L/%N.cat;a/%N.cat");
    env.unset("NLSPATH");
    nlq_prepend_nlspath("c");
    EXPECT_STREQ(nlq_get_nlspath(), "c;");

    EXPECT_STREQ(nlq_get_nlqdir(), "");
    nlq_set_nlqdir("/opt/nlq");
    EXPECT_STREQ(nlq_get_nlqdir(), "/opt/nlq");
    nlq_terminate();  // the environment keeps its own copies
    EXPECT_STREQ(std::getenv("NLQDIR"), "/opt/nlq");
}

}  // namespace
