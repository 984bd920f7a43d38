#include "sim/pattern.h"

#include <functional>

namespace sim {

namespace {

using Node = Pattern::Node;
using Sequence = Pattern::Sequence;

std::invalid_argument unsupported(std::string_view p, std::size_t at) {
    return std::invalid_argument("pattern " + std::string(p) + ": unsupported at offset " + std::to_string(at));
}

std::bitset<256> range(unsigned char lo, unsigned char hi) {
    std::bitset<256> s;
    for (unsigned c = lo; c <= hi; ++c) s.set(c);
    return s;
}

// The set of a class escape (\d, \s, \w and their negations); false when c names none.
bool classEscape(char c, std::bitset<256>& set) {
    switch (c) {
        case 'd': set = range('0', '9'); return true;
        case 's':
            set.reset();
            for (char b : {' ', '\t', '\n', '\v', '\f', '\r'}) set.set(static_cast<unsigned char>(b));
            return true;
        case 'w': set = range('0', '9') | range('A', 'Z') | range('a', 'z'); set.set('_'); return true;
        case 'D': case 'S': case 'W':
            classEscape(static_cast<char>(c + ('a' - 'A')), set);
            set.flip();
            return true;
        default: return false;
    }
}

class Parser {
public:
    explicit Parser(std::string_view p) : p_(p) {}

    std::vector<Sequence> alternatives() {
        std::vector<Sequence> alts(1);
        while (at_ < p_.size() && p_[at_] != ')') {
            if (p_[at_] == '|') {
                ++at_;
                alts.emplace_back();
                continue;
            }
            Node n = atom();
            quantifier(n);
            alts.back().push_back(std::move(n));
        }
        return alts;
    }
    bool done() const { return at_ == p_.size(); }
    std::size_t at() const { return at_; }

private:
    Node atom() {
        Node n;
        const char c = p_[at_++];
        switch (c) {
            case '^': n.kind = Node::Start; return n;
            case '$': n.kind = Node::End; return n;
            case '.': n.set.set(); n.set.reset('\n'); n.set.reset('\r'); return n;
            case '(': {
                if (p_.substr(at_, 2) == "?:") at_ += 2;
                else if (at_ < p_.size() && p_[at_] == '?') throw unsupported(p_, at_);
                n.kind = Node::Group;
                n.alternatives = alternatives();
                if (at_ >= p_.size()) throw unsupported(p_, at_);
                ++at_;  // ')'
                return n;
            }
            case '[': n.set = bracket(); return n;
            case '\\': n.set = escaped(); return n;
            case '*': case '+': case '?': case '{': case ')': throw unsupported(p_, at_ - 1);
            default: n.set.set(static_cast<unsigned char>(c)); return n;
        }
    }

    std::bitset<256> escaped() {
        if (at_ >= p_.size()) throw unsupported(p_, at_);
        const char c = p_[at_++];
        std::bitset<256> s;
        if (classEscape(c, s)) return s;
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            switch (c) {
                case 'n': s.set('\n'); return s;
                case 't': s.set('\t'); return s;
                case 'r': s.set('\r'); return s;
                default: throw unsupported(p_, at_ - 1);  // \b, backreferences, \u...
            }
        }
        s.set(static_cast<unsigned char>(c));
        return s;
    }

    std::bitset<256> bracket() {
        std::bitset<256> s;
        bool negate = false;
        if (at_ < p_.size() && p_[at_] == '^') {
            negate = true;
            ++at_;
        }
        bool first = true;
        while (at_ < p_.size() && (p_[at_] != ']' || first)) {
            first = false;
            std::bitset<256> one;
            unsigned char lo;
            if (p_[at_] == '\\') {
                ++at_;
                if (at_ < p_.size() && classEscape(p_[at_], one)) {
                    ++at_;
                    s |= one;
                    continue;
                }
                --at_;
                one = escaped();
                lo = static_cast<unsigned char>(one._Find_first());
            } else {
                lo = static_cast<unsigned char>(p_[at_++]);
            }
            if (at_ + 1 < p_.size() && p_[at_] == '-' && p_[at_ + 1] != ']') {
                ++at_;
                unsigned char hi;
                if (p_[at_] == '\\') {
                    const auto e = escaped();
                    if (e.count() != 1) throw unsupported(p_, at_);
                    hi = static_cast<unsigned char>(e._Find_first());
                } else {
                    hi = static_cast<unsigned char>(p_[at_++]);
                }
                if (hi < lo) throw unsupported(p_, at_);
                s |= range(lo, hi);
            } else {
                s.set(lo);
            }
        }
        if (at_ >= p_.size()) throw unsupported(p_, at_);
        ++at_;  // ']'
        return negate ? ~s : s;
    }

    unsigned number() {
        unsigned v = 0;
        const std::size_t start = at_;
        while (at_ < p_.size() && p_[at_] >= '0' && p_[at_] <= '9') v = v * 10 + unsigned(p_[at_++] - '0');
        if (at_ == start || v > 100000) throw unsupported(p_, start);
        return v;
    }

    void quantifier(Node& n) {
        if (at_ >= p_.size()) return;
        const char c = p_[at_];
        if (c == '*') n.min = 0, n.max = Pattern::kMany;
        else if (c == '+') n.min = 1, n.max = Pattern::kMany;
        else if (c == '?') n.min = 0, n.max = 1;
        else if (c == '{') {
            ++at_;
            n.min = n.max = number();
            if (at_ < p_.size() && p_[at_] == ',') {
                ++at_;
                n.max = at_ < p_.size() && p_[at_] == '}' ? Pattern::kMany : number();
            }
            if (at_ >= p_.size() || p_[at_] != '}' || n.max < n.min) throw unsupported(p_, at_);
        } else {
            return;
        }
        if (n.kind == Node::Start || n.kind == Node::End) throw unsupported(p_, at_);
        ++at_;
        if (at_ < p_.size() && (p_[at_] == '?' || p_[at_] == '+')) throw unsupported(p_, at_);  // lazy, possessive
    }

    std::string_view p_;
    std::size_t at_ = 0;
};

// Backtracking over continuations: each step calls next with the position it reached.
using Next = std::function<bool(std::size_t)>;

class Matcher {
public:
    explicit Matcher(std::string_view text) : t_(text) {}

    bool alternatives(const std::vector<Sequence>& alts, std::size_t pos, const Next& next) const {
        for (const Sequence& s : alts)
            if (sequence(s, 0, pos, next)) return true;
        return false;
    }

private:
    bool sequence(const Sequence& s, std::size_t i, std::size_t pos, const Next& next) const {
        if (i == s.size()) return next(pos);
        return repeat(s[i], 0, pos, [&](std::size_t p) { return sequence(s, i + 1, p, next); });
    }

    // Greedy: as many repetitions as allowed, then fewer.
    bool repeat(const Node& n, unsigned done, std::size_t pos, const Next& next) const {
        if (n.kind == Node::Bytes && n.max == Pattern::kMany) {
            // A run of one set: count it once and back off byte by byte.
            std::size_t end = pos;
            while (end < t_.size() && n.set[static_cast<unsigned char>(t_[end])]) ++end;
            for (std::size_t p = end + 1; p-- > pos;)
                if (p - pos >= n.min && next(p)) return true;
            return false;
        }
        if (done < n.max) {
            const bool more = once(n, pos, [&](std::size_t p) {
                // An empty repetition beyond the minimum would loop for ever.
                return (p == pos && done >= n.min) ? false : repeat(n, done + 1, p, next);
            });
            if (more) return true;
        }
        return done >= n.min && next(pos);
    }

    bool once(const Node& n, std::size_t pos, const Next& next) const {
        switch (n.kind) {
            case Node::Bytes:
                return pos < t_.size() && n.set[static_cast<unsigned char>(t_[pos])] && next(pos + 1);
            case Node::Start: return pos == 0 && next(pos);
            case Node::End: return pos == t_.size() && next(pos);
            case Node::Group: return alternatives(n.alternatives, pos, next);
        }
        return false;
    }

    std::string_view t_;
};

}  // namespace

Pattern::Pattern(std::string_view pattern) {
    Parser parser(pattern);
    alternatives_ = parser.alternatives();
    if (!parser.done()) throw unsupported(pattern, parser.at());
}

bool Pattern::search(std::string_view text) const {
    const Matcher m(text);
    const Next accept = [](std::size_t) { return true; };
    bool anchored = true;
    for (const Sequence& s : alternatives_) anchored = anchored && !s.empty() && s[0].kind == Node::Start;
    for (std::size_t start = 0; start <= (anchored ? 0 : text.size()); ++start)
        if (m.alternatives(alternatives_, start, accept)) return true;
    return false;
}

}  // namespace sim
