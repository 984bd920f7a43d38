// Message text and wide conversions with the real internationalisation services: a
// catalog file found through NLSPATH, and wide characters written into real codesets.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gxlog/src/GXgI18nBridge.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgPrintf.h"
#include "i18n/nlq.h"
#include "tests/i18n-catalog/catalog_test_support.h"
#include "tests/support/test_helpers.h"

namespace gxlog {
namespace {

namespace fs = std::filesystem;

class Services : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(ATTRSCAN_BINARY_DIR) / "tests" / "gxlog" / "catalogs";
        fs::create_directories(dir_);
        const auto catalog = nlq_test::compileCatalog("$set 1\n5 Objekt %2$s vor %1$s (\xC3\xA9)\n7 kaputt %s %s\n");
        std::ofstream(dir_ / "gxtest.cat", std::ios::binary)
            .write(reinterpret_cast<const char*>(catalog.data()), static_cast<std::streamsize>(catalog.size()));
        const std::string nlspath = (dir_ / "%N.cat").string();
        testsupport::setEnv("NLSPATH", nlspath);
        i18n::start();
        setToolkitMsgChannel([](GXgLevel, GXgI18Msg m) { reported.push_back(std::move(m)); });
        reported.clear();
    }
    void TearDown() override {
        setToolkitMsgChannel(nullptr);
        i18n::stop();
    }

    static inline std::vector<GXgI18Msg> reported;
    fs::path dir_;
};

TEST_F(Services, CatalogTextIsFormattedWithTheMessageParameters) {
    GXgI18Msg m;
    m.catalog = "gxtest";
    m.set = 1;
    m.key = 5;
    m.defaultText = "Object %1$s before %2$s";
    m.params = {GXgParm::string("a"), GXgParm::string("b")};
    EXPECT_EQ(messageText(m), "Objekt b vor a (\xC3\xA9)");
    // A key the catalog lacks: the default text.
    m.key = 6;
    EXPECT_EQ(messageText(m), "Object a before b");
    // A catalog text that cannot be formatted with the parameters: the default text.
    m.key = 7;
    m.params = {GXgParm::string("only one")};
    m.defaultText = "default %s";
    EXPECT_EQ(messageText(m), "default %s");
    EXPECT_TRUE(reported.empty());
}

TEST_F(Services, MissingCatalogIsReportedUnlessItIsTheToolkitsOwnOrCffdc) {
    GXgI18Msg m;
    m.catalog = "gxgmsg";
    m.set = 1;
    m.key = 20;
    m.defaultText = "GXGBC0020E Out of memory.";
    EXPECT_EQ(messageText(m), "GXGBC0020E Out of memory.");
    m.catalog = "cffdc";
    messageText(m);
    EXPECT_TRUE(reported.empty());
    m.catalog = "absent";
    EXPECT_EQ(messageText(m), "GXGBC0020E Out of memory.");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(messageText(reported[0]), "GXGBC02E The message catalog file absent could not be opened.");
}

TEST_F(Services, WideConversionsAreWrittenInTheGivenCodeset) {
    NlqCodeset* utf8 = nlq_codeset_utf8();
    CxStringBuff out;
    GXgPrintf(out, utf8, "[%ls|%lc]", L"h\u00e9\u20ac", static_cast<std::wint_t>(0x00e9));
    EXPECT_EQ(std::string(out.view()), "[h\xC3\xA9\xE2\x82\xAC|\xC3\xA9]");

    // The pass-through codeset holds code points below 256 only: U+20AC fails the
    // formatting, so the output stops before that conversion.
    NlqCodeset* bytes = nlq_codeset_passthrough();
    CxStringBuff out2;
    GXgPrintf(out2, bytes, "[%ls]", L"h\u00e9");
    EXPECT_EQ(std::string(out2.view()), "[h\xE9]");
    CxStringBuff out3;
    GXgPrintf(out3, bytes, "<%ls>", L"x\u20ac");
    EXPECT_EQ(std::string(out3.view()), "<");

    // The precision counts bytes, and never splits a character.
    CxStringBuff out4;
    GXgPrintf(out4, utf8, "[%.2ls]", L"h\u00e9");
    EXPECT_EQ(std::string(out4.view()), "[h]");
}

}  // namespace
}  // namespace gxlog
