// Format texts of any bytes (as a catalog file could hold them), bound to a message's
// typed parameters: parsing, binding and rendering must fail cleanly, never misread an
// argument or read past a text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgPrintf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses the parameter types, two bits each.
    const uint8_t kinds = data[0];
    const std::string format(reinterpret_cast<const char*>(data + 1), size - 1);

    gxlog::GXgParmList params;
    for (int i = 0; i < 12; ++i) {
        switch ((kinds >> (2 * (i % 4))) & 3) {
            case 0: params.push_back(gxlog::GXgParm::integer(-1234567 * (i + 1))); break;
            case 1: params.push_back(gxlog::GXgParm::dbl(1.0 / (i + 0.3) * (i % 2 ? 1e200 : -1e-200))); break;
            case 2: params.push_back(gxlog::GXgParm::string(std::string(static_cast<std::size_t>(i), 'x'))); break;
            default: params.push_back(gxlog::GXgParm::character(static_cast<char>('a' + i))); break;
        }
    }
    gxlog::GXgFormat parsed(format);
    // Straight into a line, as the basic formatter renders trace messages.
    if (parsed.ok() && parsed.bind(params)) {
        std::string line = "T ";
        parsed.render(line, nullptr);
    }
    gxlog::GXgFormatParms(format, params);

    gxlog::GXgI18Msg message;
    message.defaultText = format;
    message.params = params;
    gxlog::messageText(message);
    return 0;
}
