// The basic formatter (one line per event) and the date and time shared by the
// formatters.
#include "gxlog/src/GXgFormatter.h"

#include <cstdio>
#include <ctime>

#include "gxlog/src/GXgI18nBridge.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgToolkitPlatform.h"

namespace gxlog {

std::optional<std::string> GXgFormatDateTime(const GXgObject* formatter, int64_t millis) {
    // Floor division, so that times before 1970 keep a millisecond part of 0..999.
    int64_t seconds = millis / 1000;
    int64_t ms = millis % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    std::tm local{};
    if (!platform::localTime(seconds, local)) return std::nullopt;
    char text[128];
    if (formatter && formatter->dateTimeFormat) {
        const std::size_t n = std::strftime(text, sizeof text, formatter->dateTimeFormat->c_str(), &local);
        text[n] = '\0';
        return i18n::processToUtf8(std::string_view(text, n), 127);
    }
    std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    int hours = 0;
    int minutes = 0;
    platform::utcOffset(local, hours, minutes);
    char zone[64];
    std::snprintf(zone, sizeof zone, ".%.3d%+.2d:%.2d", static_cast<int>(ms), hours, minutes);
    std::string result(text, n);
    result += zone;
    return result;
}

std::optional<std::string> GXgDefaultMessageText(GXgObject*, const GXgI18Msg& message) {
    return messageText(message);
}

std::optional<std::string> GXgFormatterMessageText(GXgObject* formatter, const GXgI18Msg& message) {
    if (!formatter || !formatter->cls || !formatter->cls->messageText) return std::nullopt;
    return formatter->cls->messageText(formatter, message);
}

std::string GXgMessageIdOf(std::string_view text) {
    enum Kind { Neither, Upper, Lower, Digit };
    Kind kinds[10] = {};
    for (std::size_t i = 0; i < 10 && i < text.size(); ++i) {
        const char c = text[i];
        if (c >= 'A' && c <= 'Z') kinds[i] = Upper;
        else if (c >= 'a' && c <= 'z') kinds[i] = Lower;
        else if (c >= '0' && c <= '9') kinds[i] = Digit;
        else break;
    }
    auto digit = [&kinds](int i) { return kinds[i] == Digit; };
    if (text.size() < 8) return "None";
    if (kinds[0] != Upper || kinds[1] != Upper || kinds[2] != Upper) return "None";
    if (digit(3)) {
        if (!digit(4) || !digit(5)) return "None";
    } else if (digit(4) && !digit(5)) {
        return "None";
    }
    if (!digit(6)) return "None";
    if (!digit(4) && !digit(7)) return "None";
    if (!digit(5) && !digit(8)) return "None";
    const int p = !digit(7) ? 7 : (!digit(8) ? 8 : 9);
    if (static_cast<std::size_t>(p) >= text.size()) return "None";
    const char severity = text[p];
    if (std::string_view("IWEADF").find(severity) == std::string_view::npos) return "None";
    return std::string(text.substr(0, p + 1));
}

namespace {

std::optional<std::string> basicFormat(GXgObject* formatter, GXgEvent& event) {
    if (!formatter->cls->messageText) return std::nullopt;
    const std::string separator = formatter->separator ? *formatter->separator : " ";
    std::string line;
    line.reserve(160);
    if (auto date = GXgFormatDateTime(formatter, event.time)) line += *date;
    line += separator;
    const auto& attrs = event.attributes;
    auto add = [&](const char* name) {
        if (const std::string* v = attrs.find(name)) {
            line += *v;
            line += separator;
        }
    };
    add(kAttrSrcFile);
    add(kAttrSrcFunction);
    if (auto lineNo = GXgPropertyInt(attrs.find(kAttrSrcLine))) {
        line += std::to_string(*lineNo);
        line += separator;
    }
    add(kAttrOrganization);
    add(kAttrProduct);
    add(kAttrComponent);
    add(kAttrClient);
    add(kAttrServer);
    if (auto text = formatter->cls->messageText(formatter, event.message)) line += *text;
    line += '\n';
    return line;
}

void configureBasic(GXgObject* formatter, const std::string& property) {
    if (property == "separator") {
        if (const std::string* v = GXgObjectProperty(formatter, property)) formatter->separator = *v;
    } else if (property == "dateTimeFormat") {
        if (const std::string* v = GXgObjectProperty(formatter, property)) formatter->dateTimeFormat = *v;
    } else {
        GXgConfigureCommon(formatter, property);
    }
}

}  // namespace

std::unique_ptr<GXgObjClass> makeBasicFormatterClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_FORMATTER;
    cls->name = kClassBasicFormatter;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescBasicFormatter,
                                 msgTableText(kMsgDescBasicFormatter), {}};
    cls->format = basicFormat;
    cls->messageText = GXgDefaultMessageText;
    cls->configure = configureBasic;
    return cls;
}

// Shared with the XML formatter.
void GXgConfigureFormatterSlots(GXgObject* formatter, const std::string& property) {
    configureBasic(formatter, property);
}

}  // namespace gxlog
