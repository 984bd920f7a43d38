// The basic and XML record formats byte for byte (events with a fixed time, the zone
// set through TZ), the local UTC offset, message ids, escaping, and the PD logger's
// attributes through a real file. Trace calls through a file are in objects_test.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>
#include <vector>

#include "gxlog/src/GXgFormatter.h"
#include "gxlog/src/GXgLog.h"
#include "gxlog/src/GXgObject.h"
#include "gxlog/src/GXgToolkitPlatform.h"
#include "tests/gxlog-objects/toolkit_fixture.h"

namespace {

using gxlog::GXgEvent;
using gxtest::Toolkit;

constexpr int64_t kMillis = 1078132830045;  // 2004-03-01 09:20:30.045 UTC

void setZone(const char* tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz);
    _tzset();
#else
    setenv("TZ", tz, 1);
    tzset();
#endif
}

struct ZoneGuard {
    ~ZoneGuard() { setZone("UTC0"); }
};

TEST(DateTime, LocalTimeWithTheUtcOffset) {
    ZoneGuard guard;
    struct Case {
        const char* tz;
        int64_t millis;
        const char* text;
    };
    const Case cases[] = {
        {"UTC0", 1055802946123, "2003-06-16 22:35:46.123+00:00"},
        {"EST5EDT", 1055802946123, "2003-06-16 18:35:46.123-04:00"},  // daylight saving time
        {"EST5EDT", 1073736000007, "2004-01-10 07:00:00.007-05:00"},
        {"IST-5:30", kMillis, "2004-03-01 14:50:30.045+05:30"},
        {"NST3:30", kMillis, "2004-03-01 05:50:30.045-03:30"},
    };
    for (const Case& c : cases) {
        setZone(c.tz);
        EXPECT_EQ(gxlog::GXgFormatDateTime(nullptr, c.millis).value_or("(none)"), c.text) << c.tz;
    }
}

// An event as a trace call makes it.
GXgEvent traceEvent(GXgLevel level, const std::string& text) {
    GXgEvent e;
    e.time = kMillis;
    e.level = level;
    e.message.defaultText = text;
    e.attributes.set("gxg_prop_srcfile", "Portsurveyxml");
    e.attributes.set("gxg_prop_srcline", "1361");
    e.attributes.set("gxg_prop_srcfunction", "getSystemInfo");
    return e;
}

std::string format(const char* formatter, GXgEvent& e) {
    GXgObject* f = gxlog::GXgFindObject(formatter);
    if (!f || !f->cls->format) return "(no formatter)";
    std::string out;
    return f->cls->format(f, e, out) ? out : "(nothing)";
}

TEST(BasicFormat, Lines) {
    Toolkit toolkit("bar.className=gxg_basicformatter\nbar.separator=\\ |\\ \n"
                    "plain.className=gxg_basicformatter\n"
                    "dated.className=gxg_basicformatter\ndated.dateTimeFormat=%d/%m/%Y\n",
                    "basic");
    ASSERT_TRUE(toolkit.ok());
    for (const char* name : {"bar", "plain", "dated"}) ASSERT_NE(GXgGetLogger(name, nullptr), nullptr);  // held until shut-down

    GXgEvent trace = traceEvent(3000, "Entering getSystemInfo function");
    EXPECT_EQ(format("plain", trace),
              "2004-03-01 09:20:30.045+00:00 Portsurveyxml getSystemInfo 1361 Entering getSystemInfo function\n");
    EXPECT_EQ(format("bar", trace),
              "2004-03-01 09:20:30.045+00:00 | Portsurveyxml | getSystemInfo | 1361 | Entering getSystemInfo function\n");
    EXPECT_EQ(format("dated", trace), "01/03/2004 Portsurveyxml getSystemInfo 1361 Entering getSystemInfo function\n");

    // Attributes in their fixed order whatever order they were set in; a line that is
    // not a number is left out.
    GXgEvent pd;
    pd.time = kMillis;
    pd.message.defaultText = "text";
    for (const char* name : {"server", "client", "component", "product", "organization", "gxg_prop_srcline"})
        pd.attributes.set(name, name);
    EXPECT_EQ(format("bar", pd),
              "2004-03-01 09:20:30.045+00:00 | organization | product | component | client | server | text\n");

    // The line shows the number the text reads as.
    const std::pair<const char*, const char*> lines[] = {
        {"0", "0"},   {"0042", "42"}, {" 7", "7"},   {"+7", "7"},
        {"-3", "-3"}, {"12ab", "12"}, {"99999999999", "2147483647"}, {"1234567890", "1234567890"},
    };
    for (const auto& [text, shown] : lines) {
        GXgEvent e = traceEvent(3000, "x");
        e.attributes.set("gxg_prop_srcline", text);
        EXPECT_EQ(format("plain", e), std::string("2004-03-01 09:20:30.045+00:00 Portsurveyxml getSystemInfo ") +
                                          shown + " x\n") << text;
    }
}

TEST(XmlFormat, Records) {
    Toolkit toolkit("x.className=gxg_xmlformatter\n"
                    "single.className=gxg_xmlformatter\nsingle.singleServer=true\nsingle.singleProduct=TRUE\n"
                    "single.singleComponent=yes\n",
                    "xml");
    ASSERT_TRUE(toolkit.ok());
    for (const char* name : {"x", "single"}) ASSERT_NE(GXgGetLogger(name, nullptr), nullptr);
    const std::string time = " <Time Millis=\"1078132830045\">2004-03-01 09:20:30.045+00:00</Time>\n";

    // A trace record with its source: the PD logger's test below.
    GXgEvent error;
    error.time = kMillis;
    error.level = 6000;
    error.message.defaultText = "Disk %s has %d errors";
    error.message.params = {gxlog::GXgParm::string("C:"), gxlog::GXgParm::integer(3)};
    EXPECT_EQ(format("x", error),
              "<Message Id=\"None\" Severity=\"ERROR\">\n" + time +
                  " <LogText><![CDATA[Disk C: has 3 errors]]></LogText>\n"
                  " <TranslationInfo Type=\"XPG4\" Catalog=\"\" MsgKey=\"0\" SetId=\"0\">"
                  "<Param><![CDATA[C:]]></Param><Param><![CDATA[3]]></Param></TranslationInfo>\n"
                  "</Message>\n");

    GXgEvent fatal;
    fatal.time = kMillis;
    fatal.level = 7000;
    fatal.message = {"gxgmsg", 1, 60, "GXGBC0060W The object named '%s' is corrupt.", {gxlog::GXgParm::string("o")}};
    fatal.attributes.set("correlationId", "c-1");
    fatal.attributes.set("client", "agent");
    EXPECT_EQ(format("x", fatal),
              "<Message Id=\"GXGBC0060W\" Severity=\"ERROR\">\n" + time +
                  " <LogText><![CDATA[GXGBC0060W The object named 'o' is corrupt.]]></LogText>\n"
                  " <TranslationInfo Type=\"XPG4\" Catalog=\"gxgmsg\" MsgKey=\"60\" SetId=\"1\">"
                  "<Param><![CDATA[o]]></Param></TranslationInfo>\n"
                  " <CorrelationId>c-1</CorrelationId>\n"
                  " <Principal>agent</Principal>\n"
                  "</Message>\n");

    // An event without a level is a trace record without a Level attribute (the PD
    // logger's test below shows the attribute elements of a whole record).
    GXgEvent unset;
    unset.time = kMillis;
    unset.level = GXG_LEVEL_UNSET;
    unset.message.defaultText = "t";
    EXPECT_EQ(format("x", unset).rfind("<Trace>\n" + time + " <LogText>", 0), 0u);

    // An id that is set but empty reads None; one that is set is used as it is.
    GXgEvent warn;
    warn.time = kMillis;
    warn.level = 5000;
    warn.message.defaultText = "GXG0051E text";
    warn.messageId = "";
    EXPECT_NE(format("x", warn).find("<Message Id=\"None\" Severity=\"WARN\">\n"), std::string::npos);
    warn.messageId = "ABC123I";
    EXPECT_NE(format("x", warn).find("<Message Id=\"ABC123I\" Severity=\"WARN\">\n"), std::string::npos);

    // singleServer and singleProduct: before the first record only; "yes" is not true.
    GXgEvent pd = traceEvent(1000, "x");
    pd.attributes.set("server", "host1");
    pd.attributes.set("serverFormat", "IP");
    pd.attributes.set("product", "P");
    pd.attributes.set("component", "C");
    const std::string record = "<Trace Level=\"MAX\">\n" + time +
                               " <Component>C</Component>\n"
                               " <LogText><![CDATA[x]]></LogText>\n"
                               " <Source FileName=\"Portsurveyxml\" Method=\"getSystemInfo\" Line=\"1361\"/>\n"
                               "</Trace>\n";
    EXPECT_EQ(format("single", pd), " <Server Format=\"IP\">host1</Server>\n <ProductId>P</ProductId>\n" + record);
    EXPECT_EQ(format("single", pd), record);
    GXgObject* single = gxlog::GXgFindObject("single");
    single->cls->head(single);  // a handler opened its output again
    EXPECT_EQ(format("single", pd), " <Server Format=\"IP\">host1</Server>\n <ProductId>P</ProductId>\n" + record);
}

// Markup in texts and values cannot break a record, and control bytes, which XML cannot
// carry even in CDATA, are written %XX.
TEST(XmlFormat, TextsAndValuesAreEscaped) {
    Toolkit toolkit("x.className=gxg_xmlformatter\n", "xml-escape");
    ASSERT_NE(GXgGetLogger("x", nullptr), nullptr);
    GXgEvent e;
    e.time = kMillis;
    e.level = 3000;
    e.message.defaultText = "a]]>b<c&d\x01\t\n%s";
    e.message.params.push_back(gxlog::GXgParm::string("\x1F"));
    e.attributes.set("gxg_prop_srcfile", "f\"<>\x02");
    e.attributes.set("k<", "v&]]>\r");
    e.attributes.set("server", "s</Server>\x1B");
    EXPECT_EQ(format("x", e),
              "<Trace Level=\"MIN\">\n"
              " <Time Millis=\"1078132830045\">2004-03-01 09:20:30.045+00:00</Time>\n"
              " <Server Format=\"\">s&lt;/Server&gt;%1B</Server>\n"
              " <LogText><![CDATA[a]]]]><![CDATA[>b<c&d%01%09%0A%1F]]></LogText>\n"
              " <LogAttribs><Key>k&lt;</Key><Value>v&amp;]]&gt;%0D</Value></LogAttribs>\n"
              " <Source FileName=\"f&quot;&lt;&gt;%02\"/>\n"
              "</Trace>\n");
    e.level = 6000;
    e.attributes = {};
    EXPECT_EQ(format("x", e),
              "<Message Id=\"None\" Severity=\"ERROR\">\n"
              " <Time Millis=\"1078132830045\">2004-03-01 09:20:30.045+00:00</Time>\n"
              " <LogText><![CDATA[a]]]]><![CDATA[>b<c&d%01%09%0A%1F]]></LogText>\n"
              " <TranslationInfo Type=\"XPG4\" Catalog=\"\" MsgKey=\"0\" SetId=\"0\">"
              "<Param><![CDATA[%1F]]></Param></TranslationInfo>\n"
              "</Message>\n");
}

TEST(XmlFormat, MessageIdAtTheStartOfATextOrNone) {
    struct Case {
        const char* text;
        const char* id;
    };
    const Case cases[] = {
        {"GXG0051E The log manager could not read", "GXG0051E"},
        {"GXGBC0060W The object named", "GXGBC0060W"},
        {"GXGLG01E No listeners", "None"},
        {"Entering getSystemInfo function", "None"},
        {"GXG0051X text", "None"},
        {"GXG005E", "None"},
        {"gxg0051E lower", "None"},
        {"ABC12345I", "ABC12345I"},
        {"ABC123456789", "None"},
        {"", "None"},
    };
    for (const Case& c : cases) EXPECT_EQ(gxlog::GXgMessageIdOf(c.text), c.id) << c.text;
}

// Through a real file: the PD logger stamps server, product, component, organization,
// process and thread, and finds the message id of messages.
TEST(PdLogger, AttributesReachTheXmlRecords) {
    const std::string dir = gxtest::freshDir("pd");
    Toolkit toolkit("pd.className=gxg_pdlogger\npd.product=P1\npd.component=C1\npd.organization=Org\n"
                    "pd.level=ALL\npd.listenerNames=h\n"
                    "h.className=gxg_filehandler\nh.fileName=" + dir + "/pd.log\nh.formatterName=x\n"
                    "x.className=gxg_xmlformatter\nx.dateTimeFormat=T\nx.singleServer=true\n",
                    "pd");
    GXgObject* pd = GXgGetLogger("pd", nullptr);
    ASSERT_NE(pd, nullptr);
    GXgLogTrace(pd, "src", "m", 7, "hello", GXG_PARM_END);
    GXgLogTrace(pd, "src", "m", 8, "GXGAB1234W warned", 5000, GXG_PARM_END);
    GXgToolkitTerm();
    const std::string host = gxlog::platform::hostName().value_or("");
    const std::string pid = std::to_string(gxlog::platform::processId());
    std::string text = gxtest::readAll(dir + "/pd.log");
    text = std::regex_replace(text, std::regex("Millis=\"[0-9]+\""), "Millis=\"N\"");
    EXPECT_EQ(text,
              " <Server Format=\"IP\">" + host + "</Server>\n"
              "<Trace Level=\"MIN\">\n"
              " <Time Millis=\"N\">T</Time>\n"
              " <ProductId>P1</ProductId>\n"
              " <Component>C1</Component>\n"
              " <LogText><![CDATA[hello]]></LogText>\n"
              " <LogAttribs><Key>organization</Key><Value>Org</Value></LogAttribs>\n"
              " <Source FileName=\"src\" Method=\"m\" Line=\"7\"/>\n"
              " <Thread>0</Thread>\n"
              " <Process>" + pid + "</Process>\n"
              "</Trace>\n"
              "<Message Id=\"GXGAB1234W\" Severity=\"WARN\">\n"
              " <Time Millis=\"N\">T</Time>\n"
              " <ProductId>P1</ProductId>\n"
              " <Component>C1</Component>\n"
              " <LogText><![CDATA[GXGAB1234W warned]]></LogText>\n"
              " <LogAttribs><Key>organization</Key><Value>Org</Value></LogAttribs>\n"
              " <Source FileName=\"src\" Method=\"m\" Line=\"8\"/>\n"
              " <TranslationInfo Type=\"XPG4\" Catalog=\"\" MsgKey=\"0\" SetId=\"0\"></TranslationInfo>\n"
              "</Message>\n");
}

}  // namespace
