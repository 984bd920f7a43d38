// The toolkit's only contact with the internationalisation services: the toolkit's two
// codesets (internal UTF-8 and the console codeset), wide-character output for the
// printf engine, conversions for console text and runtime-library text, and message
// catalogs. Everything else in the toolkit goes through these few calls, so the
// services can change underneath without touching the formatting code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct NlqCodeset;  // an open codeset converter of the internationalisation services
struct NlqCatalog;  // an open message catalog

namespace gxlog::i18n {

// Starts the services and opens the internal codeset "UTF8" and the console codeset
// "DOS". A second call while started does nothing. stop() closes both and ends the
// services.
void start();
void stop();
bool started();

// Null when the services are not started or the codeset could not be opened; a null
// codeset is then treated as described at each call.
NlqCodeset* internalCodeset();
NlqCodeset* consoleCodeset();

// Appends the text of the UTF-16 units to `out` in codeset `cs` (null: the process
// codeset), one character at a time (a surrogate pair is one character). When
// `maxBytes` is given, stops before the first character whose bytes would go past it.
// False when a character cannot be represented; `out` then holds what came before it.
bool appendWide(NlqCodeset* cs, std::u16string_view units, std::optional<std::size_t> maxBytes,
                std::string& out);

// UTF-8 text in the console codeset, at most `capacity - 1` bytes (the console buffer is
// 4096 bytes). Without a console codeset the process codeset is used.
std::string utf8ToConsole(std::string_view utf8, std::size_t capacity = 4096);

// Text in the process codeset (runtime-library texts) as UTF-8, at most maxBytes bytes.
std::string processToUtf8(std::string_view text, std::size_t maxBytes);

// An open message catalog, closed when the object goes away.
class Catalog {
public:
    // Opens the catalog by name through the catalog search path (no flags, default
    // locale). Check isOpen().
    explicit Catalog(const std::string& name);
    ~Catalog();
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    // The message text in UTF-8, or the default text when the catalog is not open or
    // lacks the message. The result is copied, so it outlives the catalog.
    std::string text(int32_t set, int32_t key, std::string_view defaultText) const;

private:
    NlqCatalog* handle_ = nullptr;
};

}  // namespace gxlog::i18n
