// Toolkit objects through the application calls and real properties files: levels, the
// item-list protocol, get-or-create with its warnings, inheritance of the configuration,
// listener chains and filters, start-up and shut-down.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgLevel.h"
#include "gxlog/src/GXgLog.h"
#include "gxlog/src/GXgObject.h"
#include "tests/gxlog-objects/toolkit_fixture.h"

namespace {

using gxtest::Capture;
using gxtest::Toolkit;
using gxtest::readAll;

TEST(Levels, KeywordsMatchOverTheirOwnLengthIgnoringCase) {
    struct Case {
        const char* text;
        GXgLevel level;
    };
    const Case cases[] = {
        {"OFF", 9999},       {"offset", 9999},     {"FATAL", 7000},      {"Error", 6000},
        {"Warning", 5000},   {"WARN", 5000},       {"Info", 4000},       {"INFORMATION", 4000},
        {"DEBUG_MIN", 3000}, {"debug_mid", 2000},  {"DEBUG_MAXIMUM", 1000}, {"all", 0},
        {"debug", -9999},    {"3000", -9999},      {"verbose", -9999},   {"", -9999},
        {" INFO", -9999},
    };
    for (const Case& c : cases) EXPECT_EQ(gxlog::GXgLevelFromKeyword(c.text), c.level) << c.text;
    EXPECT_EQ(gxlog::GXgLevelFromKeyword(nullptr), GXG_LEVEL_UNSET);
}

TEST(Levels, IsLoggableComparesWithTheLoggersLevel) {
    struct Case {
        const char* levelLine;  // null: the logger has no level property
        GXgLevel event;
        bool loggable;
    };
    const Case cases[] = {
        {nullptr, 3000, true},      {nullptr, 2000, false},  {"DEBUG_MIN", 3000, true},
        {"DEBUG_MIN", 2000, false}, {"OFF", 9999, true},     {"OFF", 7000, false},
        {"OFF", -9999, true},       {"verbose", 0, true},    {"Info", 3000, false},
        {"INFORMATION", 4000, true}, {"ALL", 0, true},
    };
    for (const Case& c : cases) {
        std::string props = "app.className=gxg_basiclogger\n";
        if (c.levelLine) props += std::string("app.level=") + c.levelLine + "\n";
        Toolkit toolkit(props, "levels");
        ASSERT_TRUE(toolkit.ok());
        GXgObject* logger = GXgGetLogger("app", nullptr);
        ASSERT_NE(logger, nullptr);
        EXPECT_EQ(GXgIsLoggable(logger, c.event), c.loggable)
            << (c.levelLine ? c.levelLine : "(none)") << " " << c.event;
    }
    EXPECT_FALSE(GXgIsLoggable(nullptr, GXG_LEVEL_UNSET));
}

// ---- Item lists ----------------------------------------------------------------------------

// Calls GXgReadItems with the variable arguments that follow `unused`.
gxlog::GXgEvent items(int unused, ...) {
    gxlog::GXgEvent event;
    event.level = GXG_LEVEL_DEBUG_MIN;
    va_list list;
    va_start(list, unused);
    gxlog::GXgReadItems(event, list);
    va_end(list);
    return event;
}

#define I2 GXG_PARM_INT, 1, GXG_PARM_INT, 2
#define I10 I2, I2, I2, I2, I2
#define I60 I10, I10, I10, I10, I10, I10

TEST(ItemLists, MarkersValuesNamesAndBounds) {
    Toolkit toolkit("", "items");
    ASSERT_TRUE(toolkit.ok());
    struct Result {
        std::size_t params;
        GXgLevel level;
        const char* warning;  // expected toolkit message on standard error, or null
    };
    // Reads the items that make() passes, checks the count, level and what reached standard
    // error, and returns the event.
    auto run = [](auto make, const Result& expected, const char* what) {
        Capture out(stderr);
        gxlog::GXgEvent event = make();
        const std::string text = out.finish();
        EXPECT_EQ(event.message.params.size(), expected.params) << what;
        EXPECT_EQ(event.level, expected.level) << what;
        if (expected.warning) EXPECT_NE(text.find(expected.warning), std::string::npos) << what << "\n" << text;
        else EXPECT_EQ(text, "") << what;
        return event;
    };
    const auto named = run([] { return items(0, GXG_PARM_INT, 7, GXG_PARM_NAMED, "t", GXG_PARM_STRING, "w", GXG_PARM_END); },
                           {1, 3000, nullptr}, "named");
    ASSERT_EQ(named.message.params.size(), 1u);
    EXPECT_EQ(named.message.params[0].type, GXG_PARM_INT);
    EXPECT_EQ(named.message.params[0].value.i, 7);
    ASSERT_TRUE(named.attributes.find("t"));
    EXPECT_EQ(*named.attributes.find("t"), "w");

    const auto typed = run(
        [] {
            return items(0, GXG_PARM_NAMED, "b", GXG_PARM_BOOLEAN, 1, GXG_PARM_NAMED, "c", GXG_PARM_CHAR, 'x',
                         GXG_PARM_NAMED, "d", GXG_PARM_DOUBLE, 2.5, GXG_PARM_NAMED, "f", GXG_PARM_FLOAT, 0.5,
                         GXG_PARM_NAMED, "l", GXG_PARM_LONG, -4L, GXG_PARM_NAMED, "b", GXG_PARM_BOOLEAN, 2, GXG_PARM_END);
        },
        {0, 3000, nullptr}, "attribute texts");
    std::vector<std::pair<std::string, std::string>> attrs;
    for (const auto& a : typed.attributes) attrs.emplace_back(a.name(), a.value());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"b", "false"}, {"c", "x"}, {"d", "2.500000"}, {"f", "0.500000"}, {"l", "-4"}};
    EXPECT_EQ(attrs, expected);

    run([] { return items(0, GXG_PARM_INT, 1, 5000, GXG_PARM_END); }, {1, 5000, nullptr}, "level marker");
    run([] { return items(0, GXG_PARM_INT, 1, 42, GXG_PARM_INT, 2, GXG_PARM_END); },
        {1, 3000, "GXGBC0071W The logging method's parameter list is missing type markers.\n"}, "marker 42");
    run([] { return items(0, I60, I2, GXG_PARM_END); }, {62, 3000, nullptr}, "62 items and the 0");
    run([] { return items(0, I60, I2, GXG_PARM_INT, 3, GXG_PARM_END); },
        {63, 3000, "GXGBC0070W The logging method parameter list did not end with a NULL.\n"}, "63 items");
    run([] { return items(0, I60, I10, GXG_PARM_END); }, {63, 3000, "GXGBC0070W"}, "70 items: only 63 are read");
}

// ---- Get-or-create, inheritance and listener chains ----------------------------------

// A file handler writing basic lines whose date is the constant "T".
std::string handlerLines(const std::string& name, const std::string& dir) {
    return name + ".className=gxg_filehandler\n" + name + ".fileName=" + dir + "/" + name + ".log\n" + name +
           ".formatterName=fixedDate\n";
}
const std::string kFixedDate = "fixedDate.className=gxg_basicformatter\nfixedDate.dateTimeFormat=T\n";

TEST(Objects, GetOrCreateWarnings) {
    struct Case {
        const char* name;
        std::string properties;
        std::vector<std::pair<const char*, const char*>> calls;  // name, class; the last is checked
        bool found;
        const char* errText;  // a toolkit message expected on standard error, or ""
    };
    const std::vector<Case> cases = {
        {"inherited class", "native.className=gxg_basiclogger\n", {{"native.trace.attributeScanner", nullptr}}, true, ""},
        {"no class anywhere", "other.className=gxg_basiclogger\n", {{"native.trace.attributeScanner", nullptr}}, false,
         " GXGBC0063W A class must be specified before object 'native.trace.attributeScanner' can be created.\n"},
        {"unknown class", "x.className=gxg_nosuch\n", {{"x", nullptr}}, false,
         " GXGBC0062W Class 'gxg_nosuch' must be defined before object 'x' can be created.\n"},
        {"unknown class asked for", "", {{"x", "gxg_nosuch"}}, false,
         " GXGBC0062W Class 'gxg_nosuch' must be defined before object 'x' can be created.\n"},
        {"other class", "", {{"x", "gxg_basiclogger"}, {"x", "gxg_pdlogger"}}, false,
         " GXGBC0061W Object 'x' exists but is of class 'gxg_basiclogger' instead of 'gxg_pdlogger' .\n"},
        {"other class, then none", "", {{"x", "gxg_basiclogger"}, {"x", "gxg_pdlogger"}, {"x", nullptr}}, true,
         " GXGBC0061W Object 'x' exists but is of class 'gxg_basiclogger' instead of 'gxg_pdlogger' .\n"},
        {"same class again", "", {{"x", "gxg_basiclogger"}, {"x", "gxg_basiclogger"}}, true, ""},
    };
    for (const Case& c : cases) {
        Toolkit toolkit(c.properties, "create");
        ASSERT_TRUE(toolkit.ok());
        Capture out(stderr);
        GXgObject* last = nullptr;
        for (const auto& [name, cls] : c.calls) last = GXgGetLogger(name, cls);
        const std::string text = out.finish();
        EXPECT_EQ(last != nullptr, c.found) << c.name;
        if (*c.errText) {
            EXPECT_NE(text.find(c.errText), std::string::npos) << c.name << "\n" << text;
        } else if (c.found) {
            EXPECT_EQ(text, "") << c.name;
        }
    }
}

TEST(Objects, StartUpMakesTheErrorLoggerAndItsDefaultConsole) {
    ASSERT_TRUE(GXgToolkitInit(nullptr));
    EXPECT_TRUE(GXgToolkitInit(nullptr));  // already started
    EXPECT_EQ(gxlog::GXgObjectCount(), 3u);
    for (const char* name : {"gxlog.errorLogger", "gxlog.defaultConsole", "gxlog.defaultFormatter"})
        EXPECT_NE(gxlog::GXgFindObject(name), nullptr) << name;
    // That the error logger writes through the console is ListenerChains' "no listeners".
    GXgToolkitTerm();
    EXPECT_EQ(gxlog::GXgObjectCount(), 0u);
    // Before start-up (and after shut-down) nothing can be had, and nothing is said.
    Capture out(stderr);
    EXPECT_EQ(GXgGetLogger("x", "gxg_basiclogger"), nullptr);
    EXPECT_EQ(out.finish(), "");
}

TEST(Objects, UnreadablePropertiesFileFailsStartUp) {
    const std::string dir = gxtest::freshDir("unreadable");
    const std::string missing = dir + "/missing.properties";
    Capture err(stderr);
    EXPECT_FALSE(GXgToolkitInit(missing.c_str()));
    EXPECT_EQ(err.finish(), "GXG0051E The log manager could not read the properties file " + missing + ".\n");
    EXPECT_EQ(gxlog::GXgObjectCount(), 0u);

    const std::string bad = dir + "/bad.properties";
    gxtest::writeAll(bad, "a.b.c=x\\=y\n");
    Capture err2(stderr);
    EXPECT_FALSE(GXgToolkitInit(bad.c_str()));
    EXPECT_EQ(err2.finish(),
              "GXG0052E The value of property 'a.b.c' in the properties file could not be parsed, because it "
              "contains a backslash character that is not part of a valid escape sequence.\n"
              "GXG0051E The log manager could not read the properties file " + bad + ".\n");
    // Started again afterwards as if nothing had happened.
    EXPECT_TRUE(GXgToolkitInit(nullptr));
    GXgToolkitTerm();
}

// Each case configures a logger `app` and handlers h1, h2 writing files, logs one trace
// line (optionally with a level marker) and checks what each file received and what
// reached standard error.
TEST(Objects, ListenerChains) {
    struct Case {
        const char* name;
        std::string properties;
        const char* logger;
        GXgLevel marker;  // 0: none
        const char* h1;   // expected content of h1.log ("" also when missing)
        const char* h2;
        const char* errText;  // expected part of standard error, "" for nothing at all
    };
    const char* line = "T src m 7 hello 1\n";
    const std::string base = "app.className=gxg_basiclogger\n";
    const std::vector<Case> cases = {
        {"duplicate names; blanks, tabs and line ends separate names",
         base + "app.listenerNames=h2\t\\\n h1  h2\n", "app", 0, line, line, ""},
        {"child replaces the inherited list", base + "app.listenerNames=h1\napp.child.listenerNames=h2\n",
         "app.child", 0, "", line, ""},
        {"handler chain", base + "app.listenerNames=h1\nh1.listenerNames=h2\n", "app", 0, line, line, ""},
        {"loggers among listeners are skipped", base + "app.listenerNames=other h1\nother.className=gxg_basiclogger\n"
         "other.listenerNames=h2\n", "app", 0, line, "", ""},
        {"names without objects are skipped", base + "app.listenerNames=nothing h1\n", "app", 0, line, "",
         "GXGBC0063W A class must be specified before object 'nothing' can be created.\n"},
        {"filter at ERROR drops WARN", base + "app.listenerNames=f\nf.className=gxg_levelfilter\nf.level=ERROR\n"
         "f.listenerNames=h1\n", "app", 5000, "", "", ""},
        {"filter at ERROR passes FATAL", base + "app.listenerNames=f\nf.className=gxg_levelfilter\nf.level=ERROR\n"
         "f.listenerNames=h1\n", "app", 7000, line, "", ""},
        {"filter switched off", base + "app.listenerNames=f\nf.className=gxg_levelfilter\nf.logging=OFF\n"
         "f.listenerNames=h1\n", "app", 0, "", "", ""},
        {"logger switched off", base + "app.listenerNames=h1\napp.logging=false\n", "app", 0, "", "", ""},
        {"handler switched off", base + "app.listenerNames=h1 h2\nh1.logging=Off\n", "app", 0, "", line, ""},
        {"no listeners", base, "app", 0, "", "", " GXGLG01E No listeners are registered with the logger app.\n"},
        {"error logger switched off", base + "gxlog.errorLogger.logging=off\n", "app", 0, "", "", ""},
        {"toolkit messages also to a configured listener", base + "gxlog.errorLogger.listenerNames=h2\n", "app", 0,
         "", "T GXGLG01E No listeners are registered with the logger app.\n",
         " GXGLG01E No listeners are registered with the logger app.\n"},
    };
    for (const Case& c : cases) {
        const std::string dir = gxtest::freshDir("chains");
        Toolkit toolkit(c.properties + handlerLines("h1", dir) + handlerLines("h2", dir) + kFixedDate, "chains");
        ASSERT_TRUE(toolkit.ok()) << c.name;
        Capture out(stderr);
        GXgObject* logger = GXgGetLogger(c.logger, nullptr);
        ASSERT_NE(logger, nullptr) << c.name;
        if (c.marker) GXgLogTrace(logger, "src", "m", 7, "hello %d", GXG_PARM_INT, 1, c.marker, GXG_PARM_END);
        else GXgLogTrace(logger, "src", "m", 7, "hello %d", GXG_PARM_INT, 1, GXG_PARM_END);
        GXgToolkitTerm();
        const std::string text = out.finish();
        EXPECT_EQ(readAll(dir + "/h1.log"), c.h1) << c.name;
        EXPECT_EQ(readAll(dir + "/h2.log"), c.h2) << c.name;
        if (*c.errText) EXPECT_NE(text.find(c.errText), std::string::npos) << c.name << "\n" << text;
        else EXPECT_EQ(text, "") << c.name;
    }
}

TEST(Objects, LoopingListenerChainsEndWithoutHarm) {
    const std::string dir = gxtest::freshDir("loop");
    Toolkit toolkit("app.className=gxg_basiclogger\napp.listenerNames=h1\nh1.listenerNames=h2 h1\n"
                    "h2.listenerNames=h1\n" + handlerLines("h1", dir) + handlerLines("h2", dir) + kFixedDate,
                    "loop");
    GXgObject* logger = GXgGetLogger("app", nullptr);
    ASSERT_NE(logger, nullptr);
    GXgLogTrace(logger, "src", "m", 7, "hello", GXG_PARM_END);
    GXgToolkitTerm();
    EXPECT_NE(readAll(dir + "/h1.log"), "");
    EXPECT_NE(readAll(dir + "/h2.log"), "");
}

// Source attributes need a source file. Attributes named by the caller's own texts are
// shown like the toolkit's, in the line's order and not in the order given; a record never
// shows the attributes of the one before, and a source file given to the call replaces a
// line number given as an item.
TEST(Objects, SourceAndNamedAttributesInTheBasicLine) {
    const std::string dir = gxtest::freshDir("source");
    Toolkit toolkit("app.className=gxg_basiclogger\napp.listenerNames=h1\n" + handlerLines("h1", dir) + kFixedDate,
                    "source");
    GXgObject* logger = GXgGetLogger("app", nullptr);
    GXgLogTrace(logger, nullptr, "method", 12, "no file", GXG_PARM_END);
    GXgLogTrace(logger, "file", nullptr, 13, "no method", GXG_PARM_END);
    GXgLogTrace(logger, nullptr, nullptr, 14, "nothing", GXG_PARM_END);
    gxlog::logTrace(logger, "file", "method", 15, "typed %d %s %c %d", 42, "text", 'c', true);
    const std::string server = "server", product = "product", organization = "organization";
    const std::string srcline = "gxg_prop_srcline", other = "other";
    GXgLogTrace(logger, "file", "m", 1, "first", GXG_PARM_NAMED, server.c_str(), GXG_PARM_STRING, "S",
                GXG_PARM_NAMED, other.c_str(), GXG_PARM_STRING, "O", GXG_PARM_NAMED, product.c_str(),
                GXG_PARM_STRING, "P", GXG_PARM_NAMED, organization.c_str(), GXG_PARM_STRING, "G", GXG_PARM_END);
    GXgLogTrace(logger, nullptr, nullptr, 2, "second", GXG_PARM_NAMED, product.c_str(), GXG_PARM_STRING, "Q",
                GXG_PARM_END);
    GXgLogTrace(logger, nullptr, "m", 3, "third", GXG_PARM_NAMED, srcline.c_str(), GXG_PARM_STRING, " 0042",
                GXG_PARM_END);
    GXgLogTrace(logger, "file", nullptr, 4, "fourth %d", GXG_PARM_INT, 4, GXG_PARM_NAMED, srcline.c_str(),
                GXG_PARM_STRING, "x", GXG_PARM_END);
    GXgToolkitTerm();
    EXPECT_EQ(readAll(dir + "/h1.log"),
              "T method no file\n"
              "T file 13 no method\n"
              "T nothing\n"
              "T file method 15 typed 42 text c 1\n"
              "T file m 1 G P S first\n"
              "T Q second\n"
              "T m 42 third\n"
              "T file 4 fourth 4\n");
}

}  // namespace
