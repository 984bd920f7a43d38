// The basic formatter (one line per event) and the date and time shared by the
// formatters.
#include "gxlog/src/GXgFormatter.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <ctime>

#include "gxlog/src/GXgI18nBridge.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgPrintf.h"
#include "gxlog/src/GXgToolkitPlatform.h"

namespace gxlog {

namespace {

// The default date text of the last second formatted: records come many to a second,
// and breaking the time down is the costly part. Keyed by the zone's bias too, so that
// a change of zone is seen.
struct SecondCache {
    int64_t seconds = INT64_MIN;
    long bias = 0;
    std::string text;  // "YYYY-MM-DD hh:mm:ss.mmm+hh:mm", the milliseconds those of the last record
    std::size_t millisAt = 0;  // where the three digits of the milliseconds are
};

bool defaultDateTime(int64_t seconds, int ms, std::string& out) {
    static SecondCache cache;
    const long bias = platform::zoneBias();
    if (cache.seconds != seconds || cache.bias != bias) {
        std::tm local{};
        if (!platform::localTime(seconds, local)) return false;
        char text[128];
        const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        int hours = 0;
        int minutes = 0;
        platform::utcOffset(local, hours, minutes);
        char zone[32];
        std::snprintf(zone, sizeof zone, "%+.2d:%.2d", hours, minutes);
        cache.seconds = seconds;
        cache.bias = bias;
        cache.text.assign(text, n);
        cache.text += ".000";
        cache.millisAt = cache.text.size() - 3;
        cache.text += zone;
    }
    cache.text[cache.millisAt] = static_cast<char>('0' + ms / 100);
    cache.text[cache.millisAt + 1] = static_cast<char>('0' + ms / 10 % 10);
    cache.text[cache.millisAt + 2] = static_cast<char>('0' + ms % 10);
    out += cache.text;
    return true;
}

}  // namespace

bool GXgAppendDateTime(const GXgObject* formatter, int64_t millis, std::string& out) {
    // Floor division, so that times before 1970 keep a millisecond part of 0..999.
    int64_t seconds = millis / 1000;
    int64_t ms = millis % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    if (formatter && formatter->dateTimeFormat) {
        std::tm local{};
        if (!platform::localTime(seconds, local)) return false;
        char text[128];
        const std::size_t n = std::strftime(text, sizeof text, formatter->dateTimeFormat->c_str(), &local);
        out += i18n::processToUtf8(std::string_view(text, n), 127);
        return true;
    }
    return defaultDateTime(seconds, static_cast<int>(ms), out);
}

std::optional<std::string> GXgFormatDateTime(const GXgObject* formatter, int64_t millis) {
    std::string text;
    if (!GXgAppendDateTime(formatter, millis, text)) return std::nullopt;
    return text;
}

std::optional<std::string> GXgDefaultMessageText(GXgObject*, const GXgI18Msg& message) {
    return messageText(message);
}

namespace {

// Parsed message texts of catalog-less messages, by text. Trace calls use a few fixed
// formats over and over; parsing each once saves most of the work of rendering them.
// Bounded: the cache starts again when it is full.
class FormatCache {
public:
    GXgFormat& get(std::string_view text) {
        // A run of records from one trace statement asks for the same text again.
        if (last_ && last_->first == text) return *last_->second;
        auto it = formats_.find(text);
        if (it == formats_.end()) {
            if (formats_.size() >= kMaxFormats) {
                formats_.clear();
                last_ = nullptr;
            }
            it = formats_.emplace(text, nullptr).first;
            it->second = std::make_unique<GXgFormat>(it->first);  // views the stable key
        }
        last_ = &*it;
        return *it->second;
    }

private:
    static constexpr std::size_t kMaxFormats = 256;
    // Looked up by the text's view, without making a string of it.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, std::unique_ptr<GXgFormat>, TextHash, std::equal_to<>> formats_;
    // The entry found last; map entries keep their place until the map is cleared.
    const std::pair<const std::string, std::unique_ptr<GXgFormat>>* last_ = nullptr;
};

// Renders a catalog-less message as messageText does (the default text formatted with
// the parameters, the default text itself when that fails), straight into `out`.
void appendPlainMessage(const GXgI18Msg& message, std::string& out) {
    static FormatCache cache;
    GXgFormat& format = cache.get(message.defaultTextView());
    const std::size_t start = out.size();
    if (format.ok() && format.bind(message.params) && format.render(out, nullptr)) return;
    out.resize(start);  // what a failed rendering wrote is not kept
    out += message.defaultTextView();
}

}  // namespace

void GXgAppendMessageText(GXgObject* formatter, const GXgI18Msg& message, std::string& out) {
    if (!formatter || !formatter->cls || !formatter->cls->messageText) return;
    if (formatter->cls->messageText == GXgDefaultMessageText && !message.catalog) {
        appendPlainMessage(message, out);
        return;
    }
    if (auto text = formatter->cls->messageText(formatter, message)) out += *text;
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

// Decimal digits that an integer reading gives back unchanged: no sign, no blank, no
// leading zero, and few enough to fit.
bool isPlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 || (text[0] == '0' && text.size() > 1)) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool basicFormat(GXgObject* formatter, GXgEvent& event, std::string& line) {
    if (!formatter->cls->messageText) return false;
    const std::string_view separator = formatter->separator ? std::string_view(*formatter->separator) : " ";
    // The usual separator is one character, added without copying a text.
    auto addSeparator = [&line, separator] {
        if (separator.size() == 1) line.push_back(separator[0]);
        else line += separator;
    };
    GXgAppendDateTime(formatter, event.time, line);
    addSeparator();
    // The attributes a line shows, in the order it shows them.
    static constexpr GXgStdAttr kShown[] = {GXgStdAttr::SrcFile,      GXgStdAttr::SrcFunction, GXgStdAttr::SrcLine,
                                            GXgStdAttr::Organization, GXgStdAttr::Product,     GXgStdAttr::Component,
                                            GXgStdAttr::Client,       GXgStdAttr::Server};
    for (const GXgStdAttr name : kShown) {
        const auto value = event.attributes.find(name);
        if (!value) continue;
        if (name == GXgStdAttr::SrcLine) {
            // The line shows the number read as an integer. The logging calls set it as
            // plain decimal digits, which read back as themselves.
            if (isPlainNumber(*value)) {
                line += *value;
                addSeparator();
            } else if (auto lineNo = GXgPropertyInt(value)) {
                char digits[16];
                const auto end = std::to_chars(digits, digits + sizeof digits, *lineNo).ptr;
                line.append(digits, end);
                addSeparator();
            }
            continue;
        }
        line += *value;
        addSeparator();
    }
    GXgAppendMessageText(formatter, event.message, line);
    line += '\n';
    return true;
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
