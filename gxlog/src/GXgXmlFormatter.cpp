// The XML formatter: one <Message> element per event of level INFO to FATAL, one <Trace>
// element for the others, optionally preceded (once per opening of the output) by the
// elements that the single* properties move out of the records.
//
// Values and texts are escaped: markup characters in element content and attribute
// values become entity references, and a "]]>" inside a CDATA section is split across
// two sections, so that no message text can break or inject into a record. Control
// bytes (below 0x20), which XML 1.0 cannot carry at all, not even in CDATA, are written
// as '%' and two hexadecimal digits, as the scanner prints raw device texts.
#include <cstdio>

#include "common/text.h"

#include "gxlog/src/GXgFormatter.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"

namespace gxlog {

namespace {

struct XmlData final : GXgInstanceData {
    bool firstRecord = true;
    bool singleComponent = false;
    bool singleProduct = false;
    bool singleProductId = false;
    bool singleServer = false;
};

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

void appendControl(std::string& out, char c) { out += scan::percentEscape(std::string_view(&c, 1)); }

// Text as it is, but for control bytes.
void appendPrintable(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!isControl(text[at])) continue;
        out.append(text.substr(plain, at - plain));
        appendControl(out, text[at]);
        plain = at + 1;
    }
    out.append(text.substr(plain));
}

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (isControl(c)) appendControl(out, c);
                else out += c;
                break;
        }
    }
}

// CDATA content: "]]>" ends a section, so it is written as "]]" closing one section and
// ">" opening the next.
void appendCdata(std::string& out, std::string_view text) {
    std::size_t at;
    while ((at = text.find("]]>")) != std::string_view::npos) {
        appendPrintable(out, text.substr(0, at + 2));
        out += "]]><![CDATA[";
        text.remove_prefix(at + 2);
    }
    appendPrintable(out, text);
}

const char* severityText(GXgLevel level) {
    switch (level) {
        case 1000: return "MAX";
        case 2000: return "MID";
        case 3000: return "MIN";
        case 4000: return "INFO";
        case 5000: return "WARN";
        case 6000:
        case 7000: return "ERROR";
        default: return "OTHER";
    }
}

bool isMessageLevel(GXgLevel level) {
    return level == 4000 || level == 5000 || level == 6000 || level == 7000;
}

// Attributes that have elements of their own, so LogAttribs leaves them out.
bool hasOwnElement(std::string_view name) {
    static constexpr const char* kOwn[] = {
        kAttrThreadId, kAttrProcessId,      kAttrCorrelationId, kAttrClient,
        kAttrSrcFile,  kAttrSrcLine,        kAttrSrcFunction,   kAttrServer,
        kAttrServerFormat, kAttrProduct,    kAttrComponent,     kAttrProductInstance,
    };
    for (const char* own : kOwn) {
        if (name == own) return true;
    }
    return false;
}

// The server, product, component and product-instance elements whose flag equals
// `selected` (the prelude takes the set flags, each record the others).
void appendSingleElements(std::string& out, const XmlData& data, const GXgAttributes& attrs, bool selected) {
    if (data.singleServer == selected) {
        if (const auto server = attrs.find(kAttrServer)) {
            out += " <Server Format=\"";
            if (const auto f = attrs.find(kAttrServerFormat)) appendEscaped(out, *f);
            out += "\">";
            appendEscaped(out, *server);
            out += "</Server>\n";
        }
    }
    auto element = [&](bool flag, const char* attr, const char* tag) {
        if (flag != selected) return;
        if (const auto v = attrs.find(attr)) {
            out += " <";
            out += tag;
            out += '>';
            appendEscaped(out, *v);
            out += "</";
            out += tag;
            out += ">\n";
        }
    };
    element(data.singleProduct, kAttrProduct, "ProductId");
    element(data.singleComponent, kAttrComponent, "Component");
    element(data.singleProductId, kAttrProductInstance, "ProductInstance");
}

bool xmlFormat(GXgObject* formatter, GXgEvent& event, std::string& out) {
    auto* data = formatter->data<XmlData>();
    if (!data) return false;
    const auto& attrs = event.attributes;
    if (data->firstRecord) {
        appendSingleElements(out, *data, attrs, true);
        data->firstRecord = false;
    }
    std::string text;
    GXgAppendMessageText(formatter, event.message, text);
    const bool message = isMessageLevel(event.level);
    if (message) {
        std::string id;
        if (event.messageId) id = event.messageId->empty() ? "None" : *event.messageId;
        else id = GXgMessageIdOf(text);
        out += "<Message Id=\"";
        appendEscaped(out, id);
        out += "\" Severity=\"";
        out += severityText(event.level);
        out += "\">\n";
    } else if (event.level == GXG_LEVEL_UNSET) {
        out += "<Trace>\n";
    } else {
        out += "<Trace Level=\"";
        out += severityText(event.level);
        out += "\">\n";
    }

    out += " <Time Millis=\"";
    out += std::to_string(event.time);
    out += "\">";
    if (!GXgAppendDateTime(formatter, event.time, out)) toolkitMsg(GXG_LEVEL_ERROR, kMsgOutOfMemory);
    out += "</Time>\n";

    appendSingleElements(out, *data, attrs, false);

    out += " <LogText><![CDATA[";
    appendCdata(out, text);
    out += "]]></LogText>\n";

    bool anyOther = false;
    for (const auto& attribute : attrs) {
        const std::string_view name = attribute.name();
        const std::string_view value = attribute.value();
        if (hasOwnElement(name)) continue;
        if (!anyOther) out += " <LogAttribs>";
        anyOther = true;
        out += "<Key>";
        appendEscaped(out, name);
        out += "</Key><Value>";
        appendEscaped(out, value);
        out += "</Value>";
    }
    if (anyOther) out += "</LogAttribs>\n";

    bool wroteSource = false;
    if (const auto file = attrs.find(kAttrSrcFile)) {
        out += " <Source FileName=\"";
        appendEscaped(out, *file);
        if (const auto method = attrs.find(kAttrSrcFunction)) {
            out += "\" Method=\"";
            appendEscaped(out, *method);
        }
        if (auto line = GXgPropertyInt(attrs.find(kAttrSrcLine))) {
            out += "\" Line=\"";
            out += std::to_string(*line);
        }
        out += "\"/>\n";
        wroteSource = true;
    }

    if (message) {
        const auto& m = event.message;
        out += " <TranslationInfo Type=\"XPG4\" Catalog=\"";
        if (m.catalog) appendEscaped(out, *m.catalog);
        out += "\" MsgKey=\"";
        out += std::to_string(m.key);
        out += "\" SetId=\"";
        out += std::to_string(m.set);
        out += "\">";
        for (const GXgParm& p : m.params) {
            out += "<Param><![CDATA[";
            appendCdata(out, renderParm(p));
            out += "]]></Param>";
        }
        out += "</TranslationInfo>\n";
    } else {
        if (!wroteSource) out += " <Source FileName=\"None\" Method=\"None\"/>\n";
        if (auto thread = GXgPropertyInt(attrs.find(kAttrThreadId))) {
            out += " <Thread>" + std::to_string(*thread) + "</Thread>\n";
        }
        if (auto process = GXgPropertyInt(attrs.find(kAttrProcessId))) {
            out += " <Process>" + std::to_string(*process) + "</Process>\n";
        }
    }
    if (const auto correlation = attrs.find(kAttrCorrelationId)) {
        out += " <CorrelationId>";
        appendEscaped(out, *correlation);
        out += "</CorrelationId>\n";
    }
    if (const auto client = attrs.find(kAttrClient)) {
        out += " <Principal>";
        appendEscaped(out, *client);
        out += "</Principal>\n";
    }
    out += message ? "</Message>\n" : "</Trace>\n";
    return true;
}

std::optional<std::string> xmlHead(GXgObject* formatter) {
    if (auto* data = formatter->data<XmlData>()) data->firstRecord = true;
    return std::nullopt;
}

std::unique_ptr<GXgInstanceData> createXmlData(GXgObject*) { return std::make_unique<XmlData>(); }

void configureXml(GXgObject* formatter, const std::string& property) {
    auto* data = formatter->data<XmlData>();
    bool* flag = nullptr;
    if (data) {
        if (property == "singleComponent") flag = &data->singleComponent;
        else if (property == "singleProduct") flag = &data->singleProduct;
        else if (property == "singleProductId") flag = &data->singleProductId;
        else if (property == "singleServer") flag = &data->singleServer;
    }
    if (flag) {
        *flag = GXgPropertyBool(GXgObjectProperty(formatter, property)).value_or(false);
        return;
    }
    GXgConfigureFormatterSlots(formatter, property);
}

}  // namespace

std::unique_ptr<GXgObjClass> makeXmlFormatterClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_FORMATTER;
    cls->name = kClassXmlFormatter;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescXmlFormatter,
                                 msgTableText(kMsgDescXmlFormatter), {}};
    cls->format = xmlFormat;
    cls->head = xmlHead;
    cls->messageText = GXgDefaultMessageText;
    cls->createInstance = createXmlData;
    cls->configure = configureXml;
    return cls;
}

}  // namespace gxlog
