// Message text, the toolkit's message table, console messages and the report of
// portability-layer failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "tests/support/test_helpers.h"
#include "tools/mkcatalog/catalog_compiler.h"

namespace gxlog {
namespace {

struct Reported {
    GXgLevel level;
    GXgI18Msg message;
};
std::vector<Reported> g_reported;

class MsgText : public ::testing::Test {
protected:
    void SetUp() override {
        g_reported.clear();
        setToolkitMsgChannel([](GXgLevel level, GXgI18Msg m) { g_reported.push_back({level, std::move(m)}); });
    }
    void TearDown() override { setToolkitMsgChannel(nullptr); }
};

// The compiled-in table holds the texts of the C catalog's source, key for key.
TEST(MsgTable, HoldsTheCCatalogSourceKeysZeroTo131) {
    std::ifstream in(testsupport::hostPath(ATTRSCAN_SOURCE_DIR "/data/catalogs/C/gxgmsg.msg"), std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const mkcatalog::Compiled compiled = mkcatalog::parseSource(source);
    ASSERT_TRUE(compiled.ok());
    ASSERT_EQ(compiled.sets.size(), 1u);
    ASSERT_EQ(compiled.sets[0].messages.size(), 131u);
    for (const mkcatalog::Message& m : compiled.sets[0].messages) {
        ASSERT_NE(msgTableText(m.number), nullptr) << m.number;
        EXPECT_EQ(std::string(msgTableText(m.number)), m.text) << "key " << m.number;
    }
    EXPECT_STREQ(msgTableText(0), "gxgmsg");
    EXPECT_EQ(msgTableText(132), nullptr);
    EXPECT_EQ(msgTableText(-1), nullptr);
    // Every key from 4 to 129 without a message holds "unused" and the next number.
    int next = 0;
    for (int key = 4; key <= 129; ++key) {
        const std::string text = msgTableText(key);
        if (text.rfind("unused", 0) != 0) continue;
        char expected[16];
        std::snprintf(expected, sizeof expected, "unused%03d", next++);
        EXPECT_EQ(text, expected) << "key " << key;
    }
    EXPECT_EQ(next, 100);
}

TEST_F(MsgText, RendersTextsOrKeepsTheDefault) {
    GXgI18Msg text;
    text.defaultText = "%2$s-%1$s";
    text.params = {GXgParm::string("a"), GXgParm::string("b")};
    EXPECT_EQ(messageText(text), "b-a");

    // Formatting fails: the default text unchanged.
    text.defaultText = "%s %s";
    text.params = {GXgParm::string("a")};
    EXPECT_EQ(messageText(text), "%s %s");
    text.defaultText = "rate %.0f";
    EXPECT_EQ(messageText(text), "rate %.0f");
}

TEST_F(MsgText, RendersOneParameter) {
    EXPECT_EQ(renderParm(GXgParm::boolean(true)), "\x01");
    EXPECT_EQ(renderParm(GXgParm::integer(42), "%04x"), "002a");
    EXPECT_EQ(renderParm(GXgParm::integer(42), "%s"), "%s");
}

TEST_F(MsgText, ReportsPortabilityFailuresAsZurErrors) {
    reportZurFailure({-4, ENOENT, 3});
    ASSERT_EQ(g_reported.size(), 1u);
    EXPECT_EQ(g_reported[0].level, GXG_LEVEL_ERROR);
    EXPECT_EQ(g_reported[0].message.catalog.value_or(""), "gxgmsg");
    EXPECT_EQ(g_reported[0].message.set, 1);
    EXPECT_EQ(g_reported[0].message.key, kMsgZurError);
    EXPECT_EQ(messageText(g_reported[0].message),
              std::string("GXGBC0010E The following ZUR error occurred: ") + std::strerror(ENOENT));
    // Codes without a text still report, with an empty text.
    reportZurFailure({-1, 0, 2});
    ASSERT_EQ(g_reported.size(), 2u);
    EXPECT_EQ(messageText(g_reported[1].message), "GXGBC0010E The following ZUR error occurred: ");
}

TEST_F(MsgText, NothingIsReportedWithoutAChannel) {
    setToolkitMsgChannel(nullptr);
    toolkitMsg(GXG_LEVEL_ERROR, kMsgOutOfMemory);
    // A channel set afterwards hears only what is reported from then on: nothing was kept.
    setToolkitMsgChannel([](GXgLevel level, GXgI18Msg m) { g_reported.push_back({level, std::move(m)}); });
    toolkitMsg(GXG_LEVEL_WARN, kMsgOutOfMemory);
    ASSERT_EQ(g_reported.size(), 1u);
    EXPECT_EQ(g_reported[0].level, GXG_LEVEL_WARN);
}

TEST_F(MsgText, ConsoleMessagesGoToStandardErrorWithALineEnd) {
    ::testing::internal::CaptureStderr();
    consoleMessage(kMsgPropertiesUnreadable, {GXgParm::string("conf/nativelog.properties")});
    consoleMessage(kMsgToolkitInitFailed);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "GXG0051E The log manager could not read the properties file conf/nativelog.properties.\n"
              "GXGTK0050W Failed to initialize the GXLog toolkit.\n");
}

TEST_F(MsgText, ConsoleOutputIsCutToTheConsoleBuffer) {
    ::testing::internal::CaptureStdout();
    consoleWrite(stdout, std::string(5000, 'x'));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), std::string(4095, 'x'));
}

}  // namespace
}  // namespace gxlog
