// Message source syntax (UTF-8 text, one directive or message per line):
//
//   $ any text          a comment: '$' followed by a blank, a tab or the line end
//   $set N [comment]    the following messages belong to set N (1 to 2147483647);
//                       messages before the first $set belong to set 1
//   N text              message N (1 to 2147483647) of the current set: the number, one
//                       blank or tab, then the text up to the line end, blanks kept
//   N                   message N with an empty text
//   (empty line)        ignored
//
// Escapes in a text: \n newline, \t tab, \r carriage return, \\ backslash, \ooo one to
// three octal digits, \xHH exactly two hexadecimal digits (neither may give the byte 0).
// A '\' as the last character of a line joins the next line to the text. Any other
// escape is an error. The text after escapes must be valid UTF-8.
//
// A set may be continued by a later $set with the same number; a message number appears
// once per set. Sets and messages are written in ascending order whatever the source
// order. A line ending in CR LF is read as if it ended in LF.
#include "tools/mkcatalog/catalog_compiler.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <optional>

#include "i18n/nlq_catalog_format.h"

namespace mkcatalog {

const char* const kSyntaxHelp =
    "Message source syntax (UTF-8, one directive or message per line):\n"
    "  $ comment          '$' then a blank, a tab or the line end\n"
    "  $set N             following messages belong to set N (messages before any $set: set 1)\n"
    "  N text             message N: number, one blank or tab, text to the line end\n"
    "  N                  message N with an empty text\n"
    "Escapes: \\n \\t \\r \\\\ \\ooo (octal) \\xHH; a '\\' at the line end continues the text\n"
    "on the next line. Numbers run from 1 to 2147483647.\n";

namespace {

namespace fmt = nlq::catalog_format;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::int32_t> parseNumber(std::string_view digits)
{
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value <= 0)
        return std::nullopt;
    return value;
}

// Well-formed UTF-8 (shortest forms, no surrogates, at most U+10FFFF).
bool validUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t value = 0;
        if (b < 0x80) { ++i; continue; }
        if ((b & 0xE0) == 0xC0) { length = 2; value = b & 0x1F; }
        else if ((b & 0xF0) == 0xE0) { length = 3; value = b & 0x0F; }
        else if ((b & 0xF8) == 0xF0) { length = 4; value = b & 0x07; }
        else return false;
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (c & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(std::string_view source) : source_(source) {}

    Compiled run()
    {
        std::int32_t currentSet = 1;
        while (nextLine()) {
            const std::string_view line = line_;
            if (line.empty())
                continue;
            if (line[0] == '$') {
                directive(line, currentSet);
                continue;
            }
            message(line, currentSet);
        }
        Compiled result;
        for (auto& [number, messages] : sets_) {
            Set set;
            set.number = number;
            for (auto& [id, text] : messages)
                set.messages.push_back({id, std::move(text)});
            result.sets.push_back(std::move(set));
        }
        if (result.sets.empty())
            errors_.push_back({lineNumber_, "the source holds no message and no $set"});
        result.errors = std::move(errors_);
        return result;
    }

private:
    bool nextLine()
    {
        if (position_ >= source_.size())
            return false;
        const std::size_t end = source_.find('\n', position_);
        const std::size_t stop = end == std::string_view::npos ? source_.size() : end;
        line_ = source_.substr(position_, stop - position_);
        if (!line_.empty() && line_.back() == '\r')
            line_.remove_suffix(1);
        position_ = stop + 1;
        ++lineNumber_;
        return true;
    }

    void error(std::string text) { errors_.push_back({lineNumber_, std::move(text)}); }

    void directive(std::string_view line, std::int32_t& currentSet)
    {
        if (line.size() == 1 || isBlank(line[1]))
            return;  // comment
        if (line.substr(0, 4) == "$set" && (line.size() == 4 || isBlank(line[4]))) {
            std::string_view rest = line.substr(4);
            while (!rest.empty() && isBlank(rest.front()))
                rest.remove_prefix(1);
            std::size_t digits = 0;
            while (digits < rest.size() && isDigit(rest[digits]))
                ++digits;
            const std::optional<std::int32_t> number = parseNumber(rest.substr(0, digits));
            if (!number || (digits < rest.size() && !isBlank(rest[digits]))) {
                error("$set needs a set number from 1 to 2147483647");
                return;
            }
            currentSet = *number;
            sets_[currentSet];  // an empty set is kept
            return;
        }
        error("unknown directive '" + std::string(line.substr(0, line.find_first_of(" \t"))) + "'");
    }

    void message(std::string_view line, std::int32_t currentSet)
    {
        std::size_t digits = 0;
        while (digits < line.size() && isDigit(line[digits]))
            ++digits;
        const std::optional<std::int32_t> number = parseNumber(line.substr(0, digits));
        if (digits == 0 || (digits < line.size() && !isBlank(line[digits]))) {
            error("a message line starts with its number");
            return;
        }
        if (!number) {
            error("message numbers run from 1 to 2147483647");
            return;
        }
        const int firstLine = lineNumber_;
        std::string_view raw = digits < line.size() ? line.substr(digits + 1) : std::string_view();
        std::string text;
        bool ok = true;
        for (;;) {
            const bool continued = endsWithContinuation(raw);
            if (continued)
                raw.remove_suffix(1);
            ok = unescape(raw, text) && ok;
            if (!continued)
                break;
            if (!nextLine()) {
                error("the last line ends with a continuation '\\'");
                ok = false;
                break;
            }
            raw = line_;
        }
        if (!ok)
            return;
        if (!validUtf8(text)) {
            errors_.push_back({firstLine, "the text is not valid UTF-8"});
            return;
        }
        auto& messages = sets_[currentSet];
        if (!messages.emplace(*number, std::move(text)).second)
            errors_.push_back({firstLine, "message " + std::to_string(*number) + " appears twice in set " +
                                              std::to_string(currentSet)});
    }

    // A line ends in a continuation when it ends in an odd number of backslashes.
    static bool endsWithContinuation(std::string_view raw)
    {
        std::size_t count = 0;
        while (count < raw.size() && raw[raw.size() - 1 - count] == '\\')
            ++count;
        return count % 2 == 1;
    }

    bool unescape(std::string_view raw, std::string& out)
    {
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\') {
                out.push_back(raw[i]);
                continue;
            }
            if (++i >= raw.size()) {
                error("a '\\' ends the text");
                return false;
            }
            const char c = raw[i];
            switch (c) {
            case 'n': out.push_back('\n'); continue;
            case 't': out.push_back('\t'); continue;
            case 'r': out.push_back('\r'); continue;
            case '\\': out.push_back('\\'); continue;
            default: break;
            }
            int value = -1;
            if (c >= '0' && c <= '7') {
                value = 0;
                std::size_t k = 0;
                while (k < 3 && i + k < raw.size() && raw[i + k] >= '0' && raw[i + k] <= '7')
                    value = value * 8 + (raw[i + k++] - '0');
                i += k - 1;
            } else if (c == 'x' && i + 2 < raw.size() && hexValue(raw[i + 1]) >= 0 &&
                       hexValue(raw[i + 2]) >= 0) {
                value = hexValue(raw[i + 1]) * 16 + hexValue(raw[i + 2]);
                i += 2;
            } else {
                error(std::string("unknown escape '\\") + c + "'");
                return false;
            }
            if (value <= 0 || value > 0xFF) {
                error("an escape gives the byte 0 or a value above 0xFF");
                return false;
            }
            out.push_back(static_cast<char>(value));
        }
        return true;
    }

    std::string_view source_;
    std::size_t position_ = 0;
    std::string_view line_;
    int lineNumber_ = 0;
    std::map<std::int32_t, std::map<std::int32_t, std::string>> sets_;
    std::vector<Diagnostic> errors_;
};

}  // namespace

Compiled parseSource(std::string_view source)
{
    return Parser(source).run();
}

std::vector<unsigned char> writeCatalog(const std::vector<Set>& sets)
{
    std::vector<unsigned char> out(fmt::kHeaderSize + sets.size() * fmt::kSetRecordSize);
    auto put = [&out](std::size_t at, std::size_t value) {
        fmt::writeInt(out.data() + at, static_cast<std::int32_t>(value));
    };
    std::copy(std::begin(fmt::kMagic), std::end(fmt::kMagic), out.begin());
    put(fmt::kHeaderMajor, fmt::kMajorVersion);
    put(fmt::kHeaderMinor, fmt::kMinorVersion);
    put(fmt::kHeaderFlags, 0);
    put(fmt::kHeaderSetCount, sets.size());
    put(fmt::kHeaderFirstSet, fmt::kHeaderSize);

    for (std::size_t s = 0; s < sets.size(); ++s) {
        const Set& set = sets[s];
        const std::size_t record = fmt::kHeaderSize + s * fmt::kSetRecordSize;
        const std::size_t indexOffset = out.size();
        const std::size_t textOffset = indexOffset + set.messages.size() * fmt::kIndexEntrySize;
        std::string texts;
        out.resize(textOffset);
        for (std::size_t m = 0; m < set.messages.size(); ++m) {
            const std::size_t entry = indexOffset + m * fmt::kIndexEntrySize;
            put(entry + fmt::kEntryNumber, static_cast<std::size_t>(set.messages[m].number));
            put(entry + fmt::kEntryTextOffset, texts.size());
            put(entry + fmt::kEntryThirdWord, 0);
            texts += set.messages[m].text;
            texts.push_back('\0');
        }
        out.insert(out.end(), texts.begin(), texts.end());
        const bool last = s + 1 == sets.size();
        put(record + fmt::kSetNumber, static_cast<std::size_t>(set.number));
        put(record + fmt::kSetNext, last ? 0 : record + fmt::kSetRecordSize);
        put(record + fmt::kSetIndex, indexOffset);
        put(record + fmt::kSetText, textOffset);
        put(record + fmt::kSetTextLength, texts.size());
        put(record + fmt::kSetMessageCount, set.messages.size());
        put(record + fmt::kSetInvalid, 0);
    }
    return out;
}

}  // namespace mkcatalog
