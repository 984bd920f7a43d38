// Formatters: the date and time of an event, the basic one-line format, the XML record
// format, and the message id found at the start of a message text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgObject.h"

namespace gxlog {

// The local date and time of `millis`: with the formatter's `dateTimeFormat` through
// strftime, otherwise "YYYY-MM-DD hh:mm:ss.mmm+hh:mm" with the local UTC offset. None
// when the time cannot be broken down.
std::optional<std::string> GXgFormatDateTime(const GXgObject* formatter, int64_t millis);
// The same, appended to `out`; false (nothing appended) when it cannot be made.
bool GXgAppendDateTime(const GXgObject* formatter, int64_t millis, std::string& out);

// The formatter's rendering of a message (its message-text operation), or none when its
// class has none.
std::optional<std::string> GXgFormatterMessageText(GXgObject* formatter, const GXgI18Msg& message);
// The same, appended to `out` (nothing when the class has no message-text operation).
void GXgAppendMessageText(GXgObject* formatter, const GXgI18Msg& message, std::string& out);

// The id at the start of a message text, such as GXGBC0060W in "GXGBC0060W The object
// ...": three upper-case letters, up to two more letters or digits, digits, and a
// severity letter (I W E A D F). "None" when the text starts with no such id.
std::string GXgMessageIdOf(std::string_view text);

// The default message-text operation: the message rendered (catalog text or default
// text with the parameters).
std::optional<std::string> GXgDefaultMessageText(GXgObject* formatter, const GXgI18Msg& message);

}  // namespace gxlog

namespace gxlog {
// `separator`, `dateTimeFormat` and the common properties (both formatter classes).
void GXgConfigureFormatterSlots(GXgObject* formatter, const std::string& property);
}  // namespace gxlog
