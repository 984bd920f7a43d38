#include "tools/attrmap/html_page.h"

#include <cstdio>

#include "tools/attrmap/graph_layout.h"

namespace attrmap {

namespace {

void escaped(std::string& out, const std::string& s)
{
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
}

std::string esc(const std::string& s)
{
    std::string out;
    escaped(out, s);
    return out;
}

std::string num(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

std::string classes(const std::string& base, Mark mark)
{
    const std::string m = markName(mark);
    return m.empty() ? base : base + " " + m;
}

const char* kindTitle(const std::string& kind)
{
    if (kind == "host") return "Host";
    if (kind == "adapter") return "Adapter";
    if (kind == "target-port") return "Target port";
    if (kind == "storage") return "Storage system";
    if (kind == "unit") return "Logical unit";
    if (kind == "fold") return "Logical units";
    if (kind == "disk") return "Local disk";
    return "";
}

const char kStyle[] = R"(<style>
body{font:14px system-ui,sans-serif;margin:16px;color:#222;background:#fff}
h1{font-size:20px;margin:0 0 4px}
.legend{margin:0 0 12px;color:#444}
.legend span{display:inline-block;padding:1px 6px;margin-right:6px;border:1px solid #888;border-radius:3px}
svg text{font:13px monospace;fill:#222}
.box rect{fill:#fff;stroke:#567;stroke-width:1.2}
.box.host rect{fill:#e8effa}
.box.disk rect{fill:#f4f4f4}
.box.adapter rect{fill:#e6f3e8}
.box.target-port rect{fill:#f5f1e4}
.box.storage rect{fill:#efe8f6}
.box.fold rect{fill:#fafafa;stroke-width:2}
.box.fold{cursor:pointer}
.box.unit.multipath rect,.legend .multipath{stroke:#2a7d2a;border-color:#2a7d2a;stroke-width:2.5}
.box.unit.single-path rect,.legend .single-path{stroke:#c07000;border-color:#c07000;stroke-dasharray:5 3;stroke-width:2;border-style:dashed}
.box:hover rect,.box:focus rect{stroke:#000;stroke-width:3}
.box:focus{outline:none}
.box.added rect,.legend .added,tr.added{fill:#d6f5d6;background:#d6f5d6}
.box.removed rect,.legend .removed,tr.removed{fill:#fbdcdc;background:#fbdcdc}
.box.removed rect{stroke-dasharray:4 3}
.box.changed rect,.legend .changed,tr.changed{fill:#fff0c2;background:#fff0c2}
.edge{fill:none;stroke:#8a9aa8;stroke-width:1.3}
.edge.added{stroke:#2a9a2a}
.edge.removed{stroke:#d03030;stroke-dasharray:5 4}
.edge.changed{stroke:#c09000}
#tip{position:absolute;z-index:2;background:#fffff4;border:1px solid #998;padding:6px 9px;box-shadow:2px 2px 6px #0003;max-width:640px;font-size:12px}
.tip h3{margin:0 0 4px;font-size:13px}
.tip th{text-align:left;padding-right:10px;font-weight:600;vertical-align:top}
.tip td{font-family:monospace;white-space:pre-wrap;word-break:break-all}
.folds details{margin:8px 0}
.folds summary{cursor:pointer;font-weight:600}
.folds table{border-collapse:collapse;font-size:12px;margin-top:6px}
.folds th,.folds td{border:1px solid #ccc;padding:2px 6px;text-align:left}
.folds td{font-family:monospace}
tr.multipath td.ports{color:#2a7d2a}
tr.single-path td.ports{color:#c07000}
.path.removed{text-decoration:line-through;color:#b00}
.path.added{color:#080}
</style>
)";

// Shows a box's details beside it while it is hovered or focused; opens a folded list
// when its count is chosen. The last line marks the page as ready, so a check can see
// that the script ran to its end.
const char kScript[] = R"(<script>
(function () {
  var tip = document.getElementById('tip');
  function boxOf(e) { return e.target.closest ? e.target.closest('[data-tip]') : null; }
  function show(e) {
    var b = boxOf(e);
    if (!b) return;
    var src = document.getElementById(b.getAttribute('data-tip'));
    if (!src) return;
    tip.innerHTML = src.innerHTML;
    var r = b.getBoundingClientRect();
    tip.style.left = (r.right + window.scrollX + 8) + 'px';
    tip.style.top = (r.top + window.scrollY) + 'px';
    tip.hidden = false;
  }
  function hide(e) { if (boxOf(e)) tip.hidden = true; }
  function open(e) {
    var b = e.target.closest ? e.target.closest('[data-fold]') : null;
    if (!b || (e.type === 'keydown' && e.key !== 'Enter' && e.key !== ' ')) return;
    var d = document.getElementById(b.getAttribute('data-fold'));
    if (!d) return;
    d.open = true;
    d.scrollIntoView();
    e.preventDefault();
  }
  document.addEventListener('mouseover', show);
  document.addEventListener('focusin', show);
  document.addEventListener('mouseout', hide);
  document.addEventListener('focusout', hide);
  document.addEventListener('click', open);
  document.addEventListener('keydown', open);
  document.body.setAttribute('data-ready', 'yes');
})();
</script>
)";

void pathRow(std::string& out, const UnitPathRow& p, const MapUnit& u, const char* tag)
{
    out += "<";
    out += tag;
    out += " class=\"" + classes("path", p.mark) + "\" data-kind=\"unit-path\" data-id=\"" + esc(p.id) +
           "\" data-multipath=\"" + (u.multipath() ? "yes" : "no") + "\">";
    escaped(out, p.adapter + " \u2192 " + p.target);
    if (p.mark != Mark::None) out += std::string(" (") + markName(p.mark) + ")";
    out += "</";
    out += tag;
    out += ">";
}

void tip(std::string& out, const SanMap& map, const Box& b, std::size_t i)
{
    out += "<div class=\"tip\" id=\"tip-" + std::to_string(i) + "\"><h3>" + kindTitle(b.kind) + ": " + esc(b.title);
    if (b.mark != Mark::None) out += std::string(" (") + markName(b.mark) + ")";
    out += "</h3><table>";
    for (const Detail& d : b.details) out += "<tr><th>" + esc(d.name) + "</th><td>" + esc(d.value) + "</td></tr>";
    if (b.kind == "unit") {
        const MapUnit& u = map.units[b.unit];
        for (const Detail& d : u.details) out += "<tr><th>" + esc(d.name) + "</th><td>" + esc(d.value) + "</td></tr>";
        if (!u.sitsOn.empty()) out += "<tr><th>On it</th><td>" + esc(u.sitsOn) + "</td></tr>";
        for (const UnitPathRow& p : u.paths) {
            out += "<tr><th>Path</th>";
            pathRow(out, p, u, "td");
            out += "</tr>";
        }
    }
    out += "</table></div>\n";
}

void svgBox(std::string& out, const SanMap& map, const Box& b, std::size_t i)
{
    std::string cls = "box " + b.kind;
    std::string extra;
    if (b.kind == "unit") {
        const MapUnit& u = map.units[b.unit];
        cls += u.multipath() ? " multipath" : " single-path";
        extra = " data-multipath=\"" + std::string(u.multipath() ? "yes" : "no") + "\" data-adapter-ports=\"" +
                std::to_string(u.adapterPorts) + "\"";
    }
    if (b.kind == "fold") extra = " data-fold=\"fold-" + std::to_string(b.fold) + "\" role=\"button\"";
    out += "<g class=\"" + classes(cls, b.mark) + "\" tabindex=\"0\" data-kind=\"" + b.kind + "\" data-id=\"" +
           esc(b.id) + "\" data-tip=\"tip-" + std::to_string(i) + "\"" + extra + " transform=\"translate(" +
           num(b.x - b.width / 2) + "," + num(b.y - b.height / 2) + ")\">";
    out += "<rect width=\"" + num(b.width) + "\" height=\"" + num(b.height) + "\" rx=\"4\"/>";
    const std::vector<std::string> lines = boxLines(map, b);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        out += "<text x=\"" + num(kPadding) + "\" y=\"" + num(kPadding + kLineHeight * (static_cast<double>(k) + 0.8)) +
               "\"" + (k == 0 ? " font-weight=\"bold\"" : "") + ">";
        escaped(out, lines[k]);
        out += "</text>";
    }
    out += "</g>\n";
}

void foldSection(std::string& out, const SanMap& map, const Fold& f, std::size_t index)
{
    std::size_t multi = 0;
    for (std::size_t u : f.units)
        if (map.units[u].multipath()) ++multi;
    out += "<details id=\"fold-" + std::to_string(index) + "\" data-kind=\"fold-list\" data-storage=\"" + esc(f.storage) +
           "\"><summary>" + esc(f.storageName) + ": " + std::to_string(f.units.size()) + " logical units (" +
           std::to_string(multi) + " multipath, " + std::to_string(f.units.size() - multi) +
           " single-path)</summary>\n<table><thead><tr><th>Logical unit</th><th>Adapter ports</th><th>Paths</th>"
           "<th>On it</th><th>Type</th><th>Capacity</th></tr></thead><tbody>\n";
    for (std::size_t i : f.units) {
        const MapUnit& u = map.units[i];
        std::string type, capacity;
        for (const Detail& d : u.details) {
            if (d.name == "Type") type = d.value;
            if (d.name == "Capacity") capacity = d.value;
        }
        out += "<tr class=\"" + classes(u.multipath() ? "multipath" : "single-path", u.mark) +
               "\" data-kind=\"unit\" data-multipath=\"" + (u.multipath() ? "yes" : "no") + "\" data-adapter-ports=\"" +
               std::to_string(u.adapterPorts) + "\"><td>" + esc(u.label) + "</td><td class=\"ports\">" +
               std::to_string(u.adapterPorts) + (u.multipath() ? " multipath" : " single-path") + "</td><td>";
        for (std::size_t k = 0; k < u.paths.size(); ++k) {
            if (k) out += "<br>";
            pathRow(out, u.paths[k], u, "span");
        }
        out += "</td><td>" + esc(u.sitsOn) + "</td><td>" + esc(type) + "</td><td>" + esc(capacity) + "</td></tr>\n";
    }
    out += "</tbody></table></details>\n";
}

}  // namespace

std::string htmlPage(const SanMap& map)
{
    std::string out;
    out.reserve(4096 + map.units.size() * 400);
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
           "script-src 'unsafe-inline'\">\n<title>SAN map of ";
    escaped(out, map.title);
    out += "</title>\n";
    out += kStyle;
    out += "</head>\n<body>\n<h1>SAN map of ";
    escaped(out, map.title);
    out += "</h1>\n<p class=\"legend\">Host, adapters, target ports, storage systems, logical units. "
           "<span class=\"multipath\">multipath</span><span class=\"single-path\">single-path</span>";
    if (map.compared)
        out += "Since the older scan: <span class=\"added\">added</span><span class=\"removed\">removed</span>"
               "<span class=\"changed\">changed</span>";
    out += "Hover over or focus a box for its details.</p>\n";
    const std::string w = num(map.width + 8), h = num(map.height + 8);
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"-4 -4 " + w +
           " " + h + "\" role=\"img\" aria-label=\"SAN map\">\n<g class=\"edges\">\n";
    for (const Edge& e : map.edges)
        if (!e.path.empty()) out += "<path class=\"" + classes("edge", e.mark) + "\" d=\"" + e.path + "\"/>\n";
    out += "</g>\n";
    for (std::size_t i = 0; i < map.boxes.size(); ++i) svgBox(out, map, map.boxes[i], i);
    out += "</svg>\n";
    if (!map.folds.empty()) {
        out += "<section class=\"folds\">\n<h2>Logical units of large storage systems</h2>\n";
        for (std::size_t i = 0; i < map.folds.size(); ++i) foldSection(out, map, map.folds[i], i);
        out += "</section>\n";
    }
    out += "<div id=\"tips\" hidden>\n";
    for (std::size_t i = 0; i < map.boxes.size(); ++i) tip(out, map, map.boxes[i], i);
    out += "</div>\n<div id=\"tip\" class=\"tip\" role=\"tooltip\" hidden></div>\n";
    out += kScript;
    out += "</body>\n</html>\n";
    return out;
}

}  // namespace attrmap
