// attrmap's page loaded in headless Chromium: the rendered DOM (--dump-dom) must hold an
// element for every adapter, target port, storage system and logical unit of the scanned
// document, with the multipath marks the SAN has, and the browser's own logs must show
// no network request from the page and no script message.
#include <gtest/gtest.h>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"

namespace {

const std::string kScanner = ATTRSCAN_BINARY_DIR "/driver/attrscan";
const std::string kMap = ATTRSCAN_BINARY_DIR "/tools/attrmap/attrmap";
const std::string kBigWorld = ATTRSCAN_BINARY_DIR "/bench/scan-tools/big_san_world";
const std::string kSample = ATTRSCAN_SOURCE_DIR "/worlds/sample.json";

// Temporary files carry the process id: other checkouts may run these tests at the same time.
std::string tmp(const std::string& name)
{
    return ::testing::TempDir() + "attrmap-" + std::to_string(::getpid()) + "-" + name;
}

std::string scan(const std::string& name, const std::string& worldPath,
                 const std::vector<std::string>& args = {"10.0.0.5:9570", "scanner01", "GUID-TEXT"})
{
    const auto r = testsupport::runProgram(kScanner, args,
                                           {{"SANSIM_WORLD", worldPath}, {"LD_LIBRARY_PATH", ATTRSCAN_BINARY_DIR "/sim"}});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    testsupport::writeFile(tmp(name + ".xml"), r.out);
    return tmp(name + ".xml");
}

std::string text(xmlNodePtr n)
{
    xmlChar* t = xmlNodeGetContent(n);
    std::string s = t ? reinterpret_cast<const char*>(t) : "";
    xmlFree(t);
    return s;
}

std::string attribute(xmlNodePtr n, const char* name)
{
    xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
    std::string s = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return s;
}

std::string name(xmlNodePtr n) { return reinterpret_cast<const char*>(n->name); }

// What the scanned document holds, read with libxml2's tree on its own.
struct Expected {
    std::set<std::string> adapters, targetPorts, storage, units;
};

Expected readDocument(const std::string& path)
{
    Expected e;
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr);
    if (!doc) return e;
    std::map<std::string, std::vector<std::string>> portsOfNode;
    std::vector<std::string> storageNodes;
    for (xmlNodePtr entity = xmlDocGetRootElement(doc)->children; entity; entity = entity->next) {
        if (entity->type != XML_ELEMENT_NODE) continue;
        std::string id;
        std::vector<std::pair<std::string, std::string>> refs;
        for (xmlNodePtr c = entity->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE) {
                if (name(c) == "UniqueIdXml") id = text(c);
                else refs.emplace_back(name(c), text(c));
            }
        const std::string kind = name(entity);
        if (kind == "ControllerXml") e.adapters.insert(id);
        if (kind == "LogicalUnitXml") e.units.insert(id);
        if (kind == "PeripheralEntityXml") {
            e.storage.insert(id);
            for (const auto& [element, target] : refs)
                if (element == "FcNodeIdXml") storageNodes.push_back(target);
        }
        if (kind == "FcNodeXml")
            for (const auto& [element, target] : refs)
                if (element == "FcPortIdXml") portsOfNode[id].push_back(target);
    }
    for (const std::string& node : storageNodes)
        for (const std::string& port : portsOfNode[node]) e.targetPorts.insert(port);
    xmlFreeDoc(doc);
    return e;
}

// Elements of a page by data-kind and data-id, with their data-multipath and class.
struct PageElement {
    std::string multipath, cls;
};
struct Page {
    std::map<std::string, std::map<std::string, PageElement>> byKind;
    std::map<std::string, int> unitsByMultipath;  // "yes"/"no" -> elements of data-kind unit
    std::string ready;
};

Page readPage(const std::string& html)
{
    Page page;
    htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), "page.html", "utf-8",
                                    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    EXPECT_NE(doc, nullptr);
    if (!doc) return page;
    std::function<void(xmlNodePtr)> walk = [&](xmlNodePtr n) {
        for (; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE) continue;
            if (name(n) == "body") page.ready = attribute(n, "data-ready");
            const std::string kind = attribute(n, "data-kind");
            if (!kind.empty()) {
                page.byKind[kind][attribute(n, "data-id")] = {attribute(n, "data-multipath"), attribute(n, "class")};
                if (kind == "unit") ++page.unitsByMultipath[attribute(n, "data-multipath")];
            }
            walk(n->children);
        }
    };
    walk(xmlDocGetRootElement(doc));
    xmlFreeDoc(doc);
    return page;
}

struct BrowserRun {
    std::string dom, consoleLines;
    std::vector<std::string> pageRequests;  // URLs the page asked the network for
};

// Loads the page in headless Chromium with a fresh profile, logging to standard error and
// the network log to a file.
BrowserRun browse(const std::string& name, const std::string& page)
{
    BrowserRun run;
    const std::string profile = tmp(name + "-profile");
    const std::string netlog = tmp(name + "-netlog.json");
    std::system(("rm -rf '" + profile + "'").c_str());
    const auto r = testsupport::runProgram(
        "/usr/bin/chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--user-data-dir=" + profile, "--enable-logging=stderr", "--v=0", "--log-net-log=" + netlog,
         "--dump-dom", "file://" + page});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    run.dom = r.out;
    std::size_t at = 0;
    while ((at = r.err.find(":CONSOLE", at)) != std::string::npos) {
        const std::size_t end = r.err.find('\n', at);
        run.consoleLines += r.err.substr(at, end - at) + "\n";
        at = end;
    }
    // Requests the page made carry the file origin in their isolation key; the browser's
    // own housekeeping requests do not.
    const nlohmann::json log = nlohmann::json::parse(testsupport::readFile(netlog), nullptr, false);
    std::system(("rm -rf '" + profile + "' '" + netlog + "'").c_str());
    EXPECT_FALSE(log.is_discarded()) << "network log " << netlog;
    if (log.is_discarded()) return run;
    const int startJob = log["constants"]["logEventTypes"].value("URL_REQUEST_START_JOB", -1);
    for (const auto& event : log["events"]) {
        if (event.value("type", -2) != startJob || !event.contains("params")) continue;
        const auto& p = event["params"];
        if (p.value("network_isolation_key", "").rfind("file://", 0) == 0) run.pageRequests.push_back(p.value("url", ""));
    }
    return run;
}

bool haveBrowser()
{
    if (testsupport::readFile("/usr/bin/chromium").empty()) {
        // The setup script installs Chromium; in CI its absence is a failure, not a skip.
        if (std::getenv("CI")) ADD_FAILURE() << "/usr/bin/chromium is missing";
        return false;
    }
    return true;
}

struct World {
    const char* name;
    std::function<std::string()> world;         // writes the world, returns its path
    std::function<bool(const std::string&)> multipath;  // by LogicalUnitXml id
    int multipathUnits, singlePathUnits;
};

class BrowserPage : public ::testing::TestWithParam<World> {};

TEST_P(BrowserPage, HasEveryEntityAndItsMarks)
{
    if (!haveBrowser()) GTEST_SKIP() << "no Chromium";
    const World& w = GetParam();
    const std::string doc = scan(w.name, w.world());
    const std::string html = tmp(std::string(w.name) + ".html");
    const auto made = testsupport::runProgram(kMap, {doc, "-o", html});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.err, "");

    const BrowserRun run = browse(w.name, html);
    EXPECT_EQ(run.consoleLines, "");
    EXPECT_EQ(run.pageRequests, std::vector<std::string>{});
    const Page page = readPage(run.dom);
    EXPECT_EQ(page.ready, "yes") << "the page's script did not run to its end";

    const Expected expected = readDocument(doc);
    ASSERT_FALSE(expected.units.empty());
    auto ids = [&](const char* kind) {
        std::set<std::string> out;
        const auto it = page.byKind.find(kind);
        if (it != page.byKind.end())
            for (const auto& [id, element] : it->second) out.insert(id);
        return out;
    };
    EXPECT_EQ(ids("adapter"), expected.adapters);
    EXPECT_EQ(ids("target-port"), expected.targetPorts);
    EXPECT_EQ(ids("storage"), expected.storage);
    EXPECT_EQ(ids("unit-path"), expected.units);
    int wrong = 0;
    for (const auto& [id, element] : page.byKind.at("unit-path"))
        if (element.multipath != (w.multipath(id) ? "yes" : "no") && ++wrong <= 5) ADD_FAILURE() << "mark of " << id;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(page.unitsByMultipath, (std::map<std::string, int>{{"no", w.singlePathUnits}, {"yes", w.multipathUnits}}));
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, BrowserPage,
    ::testing::Values(
        // The array's three units through both adapters; the tape drive, the changer and the
        // old enclosure's disk through the first only.
        World{"sample", [] { return kSample; },
              [](const std::string& id) { return id.find(":20040") != std::string::npos || id.find(":20050") != std::string::npos; },
              3, 3},
        // Two of every three systems seen through both adapters, 250 units each.
        World{"big",
              [] {
                  const std::string path = tmp("big.json");
                  testsupport::writeFile(path, testsupport::runProgram(kBigWorld, {"10000"}).out);
                  return path;
              },
              [](const std::string& id) {
                  // LogicalUnitXml:50000000SSSS01AA...: system SSSS in hexadecimal.
                  const int system = std::stoi(id.substr(std::string("LogicalUnitXml:50000000").size(), 4), nullptr, 16);
                  return system % 3 != 2;
              },
              4000, 2000}),
    [](const auto& info) { return std::string(info.param.name); });

// The check above sees requests: a page that loads an image from the network is caught.
TEST(BrowserCheck, SeesAPageRequest)
{
    if (!haveBrowser()) GTEST_SKIP() << "no Chromium";
    const std::string page = tmp("fetching.html");
    testsupport::writeFile(page, "<!DOCTYPE html><html><body><img src=\"http://example.invalid/x.png\"></body></html>\n");
    EXPECT_EQ(browse("fetching", page).pageRequests, std::vector<std::string>{"http://example.invalid/x.png"});
}

// Two documents: the newer one is drawn, what changed is marked the way attrdiff reports it.
TEST(ComparedPage, MarksThePathLost)
{
    const std::string before = scan("before", kSample);
    nlohmann::json world = nlohmann::json::parse(testsupport::readFile(kSample));
    world["hba"]["adapters"][1]["discoveredPorts"][0]["status"] = 1;
    testsupport::writeFile(tmp("after.json"), world.dump());
    const std::string after = scan("after", tmp("after.json"));
    const auto r = testsupport::runProgram(kMap, {before, after, "-o", tmp("compared.html")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Page page = readPage(testsupport::readFile(tmp("compared.html")));

    const auto& paths = page.byKind.at("unit-path");
    for (const char* lost : {"LogicalUnitXml:200500A0B811AA22210000E08B102031LUN0",
                             "LogicalUnitXml:200500A0B811AA22210000E08B102031LUN2"}) {
        ASSERT_TRUE(paths.count(lost)) << lost;
        EXPECT_EQ(paths.at(lost).cls, "path removed") << lost;
        EXPECT_EQ(paths.at(lost).multipath, "no") << lost;  // the unit now has one path
    }
    EXPECT_EQ(paths.at("LogicalUnitXml:200400A0B811AA22210000E08B102030LUN0").cls, "path");
    EXPECT_EQ(page.byKind.at("target-port").at("FcPortXml:200500A0B811AA22").cls, "box target-port removed");
    EXPECT_EQ(page.byKind.at("target-port").at("FcPortXml:200400A0B811AA22").cls, "box target-port");
    EXPECT_EQ(page.byKind.at("storage").at("PlatformXml:200000A0B811AA22").cls, "box storage changed");
    EXPECT_EQ(page.unitsByMultipath, (std::map<std::string, int>{{"no", 6}}));
}

// Input attrmap cannot draw, and a page it cannot write: exit status 2 and one line.
TEST(BadInput, IsReported)
{
    const std::string full = scan("full", kSample);
    const std::string pe = scan("pe", kSample, {"10.0.0.5:9570", "scanner01", "GUID-TEXT", "PE"});
    const std::string fs = scan("fs", kSample, {"10.0.0.5:9570", "scanner01", "GUID-TEXT", "FS"});
    const std::string truncated = tmp("truncated.xml");
    testsupport::writeFile(truncated, testsupport::readFile(full).substr(0, 30000));
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{fs, "-o", tmp("x.html")}, "attrmap: " + fs + ":53: a file-system summary document describes no SAN\n"},
        {{full, pe, "-o", tmp("x.html")},
         "attrmap: " + pe + ":59: a PE-mode document, but " + full + " is an attribute document\n"},
        {{truncated, "-o", tmp("x.html")},
         "attrmap: " + truncated + ":752: Premature end of data in tag LogicalUnitIdXml line 752\n"},
        {{full, "-o", "/nonexistent/x.html"}, "attrmap: /nonexistent/x.html: cannot be written: No such file or directory\n"},
        {{}, "usage: attrmap DOCUMENT [NEW] [-o FILE.html]\n"},
    };
    for (const Case& c : cases) {
        const auto r = testsupport::runProgram(kMap, c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

}  // namespace
