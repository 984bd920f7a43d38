#include "gxlog/src/GXgReadProps.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgToolkitPlatform.h"
#include "gxlog/src/GXgZurBridge.h"
#include "gxlog/src/util/CxStringBuff.h"

namespace gxlog {

namespace {

constexpr std::size_t kMaxPathLength = 1024;

enum class State {
    LineStart,        // clears both buffers on every byte
    LeadingBlanks,
    Comment,
    Key,
    KeyEscape,
    BlanksAfterKey,
    AfterSeparator,
    Value,
    ValueEscape,
    Continuation,
    Hex1,
    Hex2,
    Hex3,
    Hex4,
};

bool isBlank(unsigned char c) { return c == '\t' || c == '\v' || c == '\f' || c == ' '; }
bool isEol(unsigned char c) { return c == '\r' || c == '\n'; }

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(CxStringBuff& out, unsigned codePoint, bool& ok) {
    char bytes[3];
    std::size_t n;
    if (codePoint < 0x80) {
        bytes[0] = static_cast<char>(codePoint);
        n = 1;
    } else if (codePoint < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (codePoint >> 6));
        bytes[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        n = 2;
    } else {
        bytes[0] = static_cast<char>(0xE0 | (codePoint >> 12));
        bytes[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        n = 3;
    }
    ok = ok && out.append(std::string_view(bytes, n));
}

std::string_view upToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// The byte-level state machine. Feed bytes, then finish() at the end of the input.
class PropsParser {
public:
    explicit PropsParser(GXgConfigRegistry& registry) : registry_(registry) {}

    // False when the read has failed; no more bytes may be fed then.
    bool feed(unsigned char c) {
        // CR LF and LF CR are one line end: the second byte of such a pair is skipped.
        // A skipped byte does not pair again, so "\r\n\r\n" is two line ends (an empty
        // line after a continuation must still end the value).
        if ((c == '\r' && previous_ == '\n') || (c == '\n' && previous_ == '\r')) {
            previous_ = 0;
            return true;
        }
        previous_ = c;
        return step(c);
    }

    bool finish() {
        if (key_.empty()) return true;
        return store();
    }

private:
    // False when memory runs out, which fails the read.
    bool appendKey(unsigned char c) { return key_.append(static_cast<char>(c)); }
    bool appendValue(unsigned char c) { return value_.append(static_cast<char>(c)); }

    // Splits the key at its last '.' into object and property and stores the value.
    // Names and values are C strings to the registry: each ends at a NUL byte.
    bool store() {
        const std::string_view key = key_.view();
        const std::size_t dot = key.rfind('.');
        if (dot == std::string_view::npos) return false;
        if (!registry_.setProperty(upToNul(key.substr(0, dot)), upToNul(key.substr(dot + 1)),
                                   upToNul(value_.view()), expected_))
            return false;
        key_.clear();
        value_.clear();
        state_ = State::LineStart;
        return true;
    }

    // The key is whole (nothing is added to it until the line is stored): the registry
    // starts looking for its object's node while the value is read.
    void keyComplete(State next) {
        state_ = next;
        const std::string_view key = key_.view();
        const std::size_t dot = key.rfind('.');
        if (dot != std::string_view::npos) expected_ = registry_.expect(upToNul(key.substr(0, dot)));
    }

    bool step(unsigned char c) {
        switch (state_) {
            case State::LineStart:
                key_.clear();
                value_.clear();
                expected_.reset();
                if (isBlank(c)) state_ = State::LeadingBlanks;
                else if (isEol(c)) state_ = State::LineStart;
                else if (c == '!' || c == '#') state_ = State::Comment;
                else { state_ = State::Key; return appendKey(c); }
                return true;
            case State::LeadingBlanks:
                if (isBlank(c)) return true;
                if (isEol(c)) { state_ = State::LineStart; return true; }
                if (c == '!' || c == '#') { state_ = State::Comment; return true; }
                if (c == ':' || c == '=') return false;
                state_ = State::Key;
                return appendKey(c);
            case State::Comment:
                if (isEol(c)) state_ = State::LineStart;
                return true;
            case State::Key:
                if (isBlank(c)) { keyComplete(State::BlanksAfterKey); return true; }
                if (isEol(c)) return false;
                if (c == ':' || c == '=') { keyComplete(State::AfterSeparator); return true; }
                if (c == '\\') { state_ = State::KeyEscape; return true; }
                return appendKey(c);
            case State::KeyEscape:
                if (isBlank(c) || c == ':' || c == '=' || c == '\\') {
                    state_ = State::Key;
                    return appendKey(c);
                }
                return false;
            case State::BlanksAfterKey:
                if (isBlank(c)) return true;
                if (isEol(c)) return false;
                if (c == ':' || c == '=') { state_ = State::AfterSeparator; return true; }
                if (c == '\\') { state_ = State::ValueEscape; return true; }
                state_ = State::Value;
                return appendValue(c);
            case State::AfterSeparator:
                if (isBlank(c)) return true;
                if (isEol(c)) return store();
                if (c == '\\') { state_ = State::ValueEscape; return true; }
                state_ = State::Value;
                return appendValue(c);
            case State::Value:
                if (isEol(c)) return store();
                if (c == '\\') { state_ = State::ValueEscape; return true; }
                return appendValue(c);
            case State::ValueEscape:
                if (isBlank(c) || c == '"' || c == '\'' || c == '\\') {
                    state_ = State::Value;
                    return appendValue(c);
                }
                if (isEol(c)) { state_ = State::Continuation; return true; }
                if (c == 'u' || c == 'U') {
                    codePoint_ = 0;
                    state_ = State::Hex1;
                    return true;
                }
                consoleMessage(kMsgBadEscape, {GXgParm::string(key_.view())});
                return false;
            case State::Continuation:
                if (isBlank(c)) return true;
                if (isEol(c)) return store();
                if (c == '\\') { state_ = State::ValueEscape; return true; }
                state_ = State::Value;
                return appendValue(c);
            case State::Hex1:
            case State::Hex2:
            case State::Hex3:
            case State::Hex4: {
                const int d = hexValue(c);
                if (d < 0) return false;
                const int shift = 4 * (3 - (static_cast<int>(state_) - static_cast<int>(State::Hex1)));
                codePoint_ += static_cast<unsigned>(d) << shift;
                if (state_ != State::Hex4) {
                    state_ = static_cast<State>(static_cast<int>(state_) + 1);
                    return true;
                }
                bool appended = true;
                appendUtf8(value_, codePoint_, appended);
                state_ = State::Value;
                return appended;
            }
        }
        return false;
    }

    GXgConfigRegistry& registry_;
    State state_ = State::LineStart;
    CxStringBuff key_;
    CxStringBuff value_;
    unsigned codePoint_ = 0;
    unsigned char previous_ = 0;
    std::optional<std::uint32_t> expected_;  // what the registry said when the key was whole
};

// The path as the file layer takes it: at most 1024 characters, written POSIX-style or
// not (the portability layer decides what a leading "/" names).
bool preparePath(const char* path, std::string& prepared) {
    prepared.assign(path, strnlen(path, kMaxPathLength));
    return platform::systemDrivePath(prepared);
}

}  // namespace

bool GXgReadPropsText(std::string_view text, GXgConfigRegistry& registry) {
    PropsParser parser(registry);
    for (const char ch : text) {
        if (!parser.feed(static_cast<unsigned char>(ch))) return false;
    }
    return parser.finish();
}

bool GXgReadProps(const char* path, GXgConfigRegistry& registry) {
    if (!path) return false;
    std::string prepared;
    if (!preparePath(path, prepared)) return false;
    ZurStatus status = ZurStatus::success();
    auto file = zur::InputFile::open(prepared, status);
    if (!file) return false;

    PropsParser parser(registry);
    char buffer[4096];
    for (;;) {
        std::size_t count = 0;
        if (!file->read(buffer, sizeof buffer, count).ok()) return false;
        if (count == 0) break;
        for (std::size_t i = 0; i < count; ++i) {
            if (!parser.feed(static_cast<unsigned char>(buffer[i]))) return false;
        }
    }
    return parser.finish();
}

}  // namespace gxlog
