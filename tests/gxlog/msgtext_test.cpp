// Message text, the toolkit's message table, console messages and the report of
// portability-layer failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"

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

TEST(MsgTable, HoldsKeysZeroTo131WithNumberedPlaceholders) {
    EXPECT_STREQ(msgTableText(0), "gxgmsg");
    EXPECT_STREQ(msgTableText(1), "GXGLG01E No listeners are registered with the logger %s.");
    EXPECT_STREQ(msgTableText(10), "GXGBC0010E The following ZUR error occurred: %s");
    EXPECT_STREQ(msgTableText(33),
                 "GXGBC0033E ANULLvalue for parameter %1$s was passed to the function %2$s. The function call "
                 "will be ignored.");
    EXPECT_STREQ(msgTableText(61), "GXGBC0061W Object '%1$s' exists but is of class '%2$s' instead of '%3$s' .");
    EXPECT_STREQ(msgTableText(72), "GXGMP0072W Could not read the active log file %1s during log file rollover.");
    EXPECT_STREQ(msgTableText(131), "Formats all message data as an XML record.");
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
    EXPECT_STREQ(msgTableText(4), "unused000");
    EXPECT_STREQ(msgTableText(11), "unused006");
    EXPECT_STREQ(msgTableText(129), "unused099");
}

TEST_F(MsgText, RendersTextsAndCatalogMessages) {
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

    // The toolkit's own catalog is normally not installed: table text, nothing reported.
    GXgI18Msg own;
    own.catalog = "gxgmsg";
    own.set = 1;
    own.key = 61;
    own.defaultText = msgTableText(61);
    own.params = {GXgParm::string("x"), GXgParm::string("gxg_basiclogger"), GXgParm::string("gxg_pdlogger")};
    EXPECT_EQ(messageText(own),
              "GXGBC0061W Object 'x' exists but is of class 'gxg_basiclogger' instead of 'gxg_pdlogger' .");
    own.catalog = "cffdc";
    messageText(own);
    EXPECT_TRUE(g_reported.empty());

    // Any other catalog that cannot be opened is reported once per rendering.
    own.catalog = "nosuchcatalog";
    own.defaultText = "fallback %s";
    own.params = {GXgParm::string("p")};
    EXPECT_EQ(messageText(own), "fallback p");
    ASSERT_EQ(g_reported.size(), 1u);
    EXPECT_EQ(g_reported[0].level, GXG_LEVEL_WARN);
    EXPECT_EQ(g_reported[0].message.key, kMsgCatalogNotOpened);
    EXPECT_EQ(messageText(g_reported[0].message),
              "GXGBC02E The message catalog file nosuchcatalog could not be opened.");
}

TEST_F(MsgText, RendersOneParameter) {
    EXPECT_EQ(renderParm(GXgParm::integer(-12)), "-12");
    EXPECT_EQ(renderParm(GXgParm::longInt(99)), "99");
    EXPECT_EQ(renderParm(GXgParm::real(1.5f)), "1.500000");
    EXPECT_EQ(renderParm(GXgParm::dbl(0.125)), "0.125000");
    EXPECT_EQ(renderParm(GXgParm::string("text")), "text");
    EXPECT_EQ(renderParm(GXgParm::character('q')), "q");
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
    toolkitMsg(GXG_LEVEL_ERROR, kMsgOutOfMemory);  // must simply do nothing
    SUCCEED();
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
