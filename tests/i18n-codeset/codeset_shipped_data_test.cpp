// The codeset data the build generates, opened by name the way the program opens it:
// the aliases file maps the usual names to the canonical table names, and the DEFAULT
// and OSDEFAULT redirect files name a table.
#include "tests/i18n-codeset/codeset_test_support.h"

#include "i18n/nlq_locale.h"
#include "tests/support/ci_skip.h"

#include <optional>

using namespace codeset_test;

namespace {

void setNlqdir(const std::optional<std::string>& value) { testsupport::setEnv("NLQDIR", value.value_or("")); }

TEST(CodesetShippedData, UsualNamesOpenTheirTables) {
    if (readFile(dataDir() + "aliases").empty()) SKIP_OR_FAIL_IN_CI << "codeset data not generated in " << dataDir();
    const char* previous = std::getenv("NLQDIR");
    std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
    std::string dir = dataDir();
    setNlqdir(dir.substr(0, dir.size() - std::string("codeset/").size()));
    const struct {
        const char* name;
        const char* canonical;
        uint16_t kind;
    } cases[] = {
        {"CP1252", "1252", NLQ_KIND_SBCS},        {"windows-1252", "1252", NLQ_KIND_SBCS},
        {"IBM437", "437", NLQ_KIND_SBCS},         {"cp850", "850", NLQ_KIND_SBCS},
        {"ISO8859-1", "ISO88591", NLQ_KIND_SBCS}, {"latin1", "ISO88591", NLQ_KIND_SBCS},
        {"ISO-8859-15", "ISO885915", NLQ_KIND_SBCS}, {"SJIS", "932", NLQ_KIND_DBCS},
        {"Shift_JIS", "932", NLQ_KIND_DBCS},      {"EUC-JP", "EUCJP", NLQ_KIND_MBCS},
        {"GB18030", "GB18030", NLQ_KIND_GB18030}, {"IBM-1047", "1047", NLQ_KIND_EBCDIC_SBCS},
        {"IBM-037", "037", NLQ_KIND_EBCDIC_SBCS}, {"IBM-939", "939", NLQ_KIND_EBCDIC_STATEFUL},
        {"DEFAULT", "1252", NLQ_KIND_SBCS},       {"OSDEFAULT", "1252", NLQ_KIND_SBCS},
    };
    for (const auto& c : cases) {
        NlqCodeset* cs = nlq_codeset_open(c.name);
        ASSERT_NE(cs, nullptr) << c.name;
        EXPECT_STREQ(cs->name, c.canonical) << c.name;
        EXPECT_EQ(cs->kind, c.kind) << c.name;
        nlq_codeset_close(cs);
    }
    EXPECT_EQ(nlq_codeset_open("utf-8"), nlq_codeset_utf8());
    setNlqdir(saved);
}

}  // namespace
