// The record-template interpreter. A template is parsed once into a flat list
// of operations (texts and data fields, groups expanded) and kept in a cache;
// writing a record walks that list.
//
// Numbers are written as gfortran writes them by default (no ROUND=): the
// exact binary value of the float is rounded to the field's digits to the
// nearest, an exact tie going to the even last digit (0.125 -> 0.12,
// 0.375 -> 0.38, 2.5 -> 2.). The fast paths below do this in 128-bit integer
// arithmetic; values outside their range go through the exact decimal
// expansion that snprintf gives for a double (every float is exact in a double
// and glibc prints exact digits), rounded here digit by digit.
#include "filelayer/record.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <unordered_map>

namespace korvanti {

namespace {

using u128 = unsigned __int128;

// ---------------------------------------------------------------- templates

struct Op {
    enum Kind : std::uint8_t { Text, Int, Fixed, Exp, Alpha };
    Kind kind = Text;
    int w = 0;  // width; for A, -1 means "as long as the value"
    int d = 0;
    std::string text;  // Text: the characters, '\n' for each slash
};

struct Template {
    std::vector<Op> ops;
    std::size_t reversion = 0;  // where the template starts again
    bool reversion_has_data = false;
};

constexpr std::size_t max_ops = 100000;
constexpr int max_width = 10000;

[[noreturn]] void template_fault(std::string_view format, std::string_view problem) {
    throw std::logic_error("record template \"" + std::string(format) +
                           "\": " + std::string(problem));
}

class Parser {
public:
    explicit Parser(std::string_view format) : s_(format) {}

    Template parse() {
        skip_blanks();
        if (!take('(')) fail("must begin with '('");
        std::vector<Op> ops;
        std::size_t reversion = 0;
        parse_list(ops, true, reversion);
        if (!take(')')) fail("missing ')'");
        skip_blanks();
        if (i_ != s_.size()) fail("text after the closing ')'");
        return finish(std::move(ops), reversion);
    }

private:
    [[noreturn]] void fail(std::string_view problem) const {
        template_fault(s_, std::string(problem) + " (at column " + std::to_string(i_ + 1) + ")");
    }

    void skip_blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    char peek() {
        skip_blanks();
        if (i_ >= s_.size()) return '\0';
        char c = s_[i_];
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    bool take(char c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    static bool is_digit(char c) { return c >= '0' && c <= '9'; }

    // An unsigned number, or -1 when none is there.
    int number() {
        if (!is_digit(peek())) return -1;
        long v = 0;
        while (i_ < s_.size() && is_digit(s_[i_])) {
            v = v * 10 + (s_[i_] - '0');
            if (v > max_width) fail("number too large");
            ++i_;
        }
        return static_cast<int>(v);
    }

    // Items up to the ')' that closes the list (not consumed).
    void parse_list(std::vector<Op>& ops, bool top, std::size_t& reversion) {
        if (peek() == ')') {
            if (!top) fail("empty group");
            return;
        }
        bool after_comma = false;
        char previous = '\0';  // kind of the previous item: '/', '\'' or 'd'
        for (;;) {
            char c = peek();
            if (c == ')') {
                if (after_comma) fail("',' before ')'");
                return;
            }
            if (c == ',') fail("empty item");
            if (c == '\0') fail("missing ')'");
            if (!after_comma && previous != '\0') {
                // Fortran lets the comma go only next to a slash; literals are
                // accepted too.
                bool slash_or_literal_next =
                    c == '/' || c == '\'' || c == '"' || (is_digit(c) && next_non_digit() == '/');
                if (previous == 'd' && !slash_or_literal_next) fail("',' expected");
            }
            previous = parse_item(ops, top, reversion);
            if (ops.size() > max_ops) fail("template expands to too many items");
            after_comma = take(',');
        }
    }

    char next_non_digit() {
        std::size_t j = i_;
        while (j < s_.size() && is_digit(s_[j])) ++j;
        while (j < s_.size() && (s_[j] == ' ' || s_[j] == '\t')) ++j;
        return j < s_.size() ? s_[j] : '\0';
    }

    void add_text(std::vector<Op>& ops, std::string text) {
        Op op;
        op.kind = Op::Text;
        op.text = std::move(text);
        ops.push_back(std::move(op));
    }

    // Returns '/' for slashes, '\'' for literals, 'd' for everything else.
    char parse_item(std::vector<Op>& ops, bool top, std::size_t& reversion) {
        std::size_t start = ops.size();
        std::size_t item_column = i_;
        int count = number();
        if (count == 0) fail("a count must be at least 1");
        char c = peek();
        if (c == '(') {
            ++i_;
            if (top) reversion = start;
            std::size_t inner_reversion = 0;
            parse_list(ops, false, inner_reversion);
            if (!take(')')) fail("missing ')'");
            std::size_t end = ops.size();
            int repeat = count < 0 ? 1 : count;
            if ((end - start) * static_cast<std::size_t>(repeat) > max_ops)
                fail("template expands to too many items");
            ops.reserve(start + (end - start) * static_cast<std::size_t>(repeat));
            for (int k = 1; k < repeat; ++k)
                for (std::size_t j = start; j < end; ++j) ops.push_back(ops[j]);
            return 'd';
        }
        if (c == '\'' || c == '"') {
            if (count >= 0) fail("a repeated literal needs parentheses, as n('c')");
            add_text(ops, literal(c));
            return '\'';
        }
        if (c == '/') {
            ++i_;
            add_text(ops, std::string(count < 0 ? 1 : count, '\n'));
            return '/';
        }
        ++i_;
        Op op;
        switch (c) {
            case 'X':
                if (count < 0) fail("X needs a count, as 1X");
                add_text(ops, std::string(count, ' '));
                return 'd';
            case 'I':
                op.kind = Op::Int;
                op.w = number();
                if (op.w < 0) fail("I needs a width");
                if (peek() == '.') fail("Iw.m is not supported");
                break;
            case 'F':
            case 'E':
                op.kind = c == 'F' ? Op::Fixed : Op::Exp;
                op.w = number();
                if (op.w < 0) fail(std::string(1, c) + " needs a width");
                if (!take('.')) fail(std::string(1, c) + " needs '.d'");
                op.d = number();
                if (op.d < 0) fail(std::string(1, c) + " needs the number of decimals");
                if (c == 'E' && (op.w == 0 || op.d == 0)) fail("Ew.d needs w > 0 and d > 0");
                if (peek() == 'E' && c == 'E') fail("Ew.dEe is not supported");
                break;
            case 'A':
                op.kind = Op::Alpha;
                op.w = number();
                if (op.w == 0) fail("A needs a width of at least 1");
                break;
            default:
                i_ = item_column;
                skip_blanks();
                fail(std::string("unknown descriptor '") + s_[i_] + "'");
        }
        int repeat = count < 0 ? 1 : count;
        for (int k = 0; k < repeat; ++k) ops.push_back(op);
        return 'd';
    }

    std::string literal(char quote) {
        ++i_;  // the opening quote (peek skipped blanks already)
        std::string text;
        for (;;) {
            if (i_ >= s_.size()) fail("unterminated literal");
            char ch = s_[i_++];
            if (ch == quote) {
                if (i_ < s_.size() && s_[i_] == quote) {
                    text += quote;
                    ++i_;
                    continue;
                }
                return text;
            }
            text += ch;
        }
    }

    // Joins neighbouring texts (never across the reversion point).
    static Template finish(std::vector<Op> ops, std::size_t reversion) {
        Template t;
        for (std::size_t j = 0; j < ops.size(); ++j) {
            if (j == reversion) t.reversion = t.ops.size();
            bool joinable = ops[j].kind == Op::Text && !t.ops.empty() &&
                            t.ops.back().kind == Op::Text && j != reversion;
            if (joinable)
                t.ops.back().text += ops[j].text;
            else
                t.ops.push_back(std::move(ops[j]));
        }
        if (reversion >= ops.size()) t.reversion = t.ops.size();
        for (std::size_t j = t.reversion; j < t.ops.size(); ++j)
            if (t.ops[j].kind != Op::Text) t.reversion_has_data = true;
        return t;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Files interleave a few templates, so the last few used are looked at
// first, most recent first, before the cache of all of them.
struct TemplateCache {
    struct Recent {
        std::string format;
        const Template* parsed = nullptr;
    };
    static constexpr std::size_t recent_count = 8;
    Recent recent[recent_count];
    std::unordered_map<std::string, std::unique_ptr<Template>, TextHash, std::equal_to<>> all;

    const Template& find(std::string_view format) {
        for (std::size_t j = 0; j < recent_count && recent[j].parsed != nullptr; ++j) {
            if (recent[j].format != format) continue;
            if (j != 0) std::rotate(recent, recent + j, recent + j + 1);
            return *recent[0].parsed;
        }
        auto it = all.find(format);
        if (it == all.end()) {
            auto t = std::make_unique<Template>(Parser(format).parse());
            it = all.emplace(std::string(format), std::move(t)).first;
        }
        std::rotate(recent, recent + recent_count - 1, recent + recent_count);
        recent[0].format.assign(format);
        recent[0].parsed = it->second.get();
        return *recent[0].parsed;
    }
};

const Template& parsed_template(std::string_view format) {
    thread_local TemplateCache cache;
    TemplateCache& c = cache;
    if (c.recent[0].parsed != nullptr && c.recent[0].format == format) return *c.recent[0].parsed;
    return c.find(format);
}

// ------------------------------------------------------------------ numbers

// Copies n bytes; up to 32 of them with a few fixed-size moves, which may
// overlap, instead of a call.
[[gnu::always_inline]] inline void copy_bytes(char* to, const char* from, std::size_t n) {
    if (n >= 8) {
        if (n <= 16) {
            std::memcpy(to, from, 8);
            std::memcpy(to + n - 8, from + n - 8, 8);
        } else if (n <= 32) {
            std::memcpy(to, from, 16);
            std::memcpy(to + n - 16, from + n - 16, 16);
        } else {
            std::memcpy(to, from, n);
        }
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

constexpr char blanks[33] = "                                ";
constexpr char blanks64[65] = "                                                                ";

// The characters of a record on their way to the output string: fields are
// laid out in a small local buffer that goes to the string in one piece
// (growing the string field by field costs more than the fields).
class RecordBuffer {
public:
    // The buffer is filled before it is read: no need to clear it first.
    // cppcheck-suppress uninitMemberVar
    explicit RecordBuffer(std::string& out) : out_(out) {}
    ~RecordBuffer() { flush(); }
    RecordBuffer(const RecordBuffer&) = delete;
    RecordBuffer& operator=(const RecordBuffer&) = delete;

    // n characters to be written by the caller before the next request.
    [[gnu::always_inline]] char* room(std::size_t n) {
        if (n > capacity - used_) return room_after_flush(n);
        char* p = buf_ + used_;
        used_ += n;
        return p;
    }
    [[gnu::always_inline]] void append(const char* text, std::size_t n) {
        copy_bytes(room(n), text, n);
    }
    [[gnu::always_inline]] void append(std::string_view text) { append(text.data(), text.size()); }
    void fill(char c, std::size_t n) {
        char* p = room(n);
        if (c == ' ' && n < sizeof blanks) {
            copy_bytes(p, blanks, n);
            return;
        }
        for (std::size_t j = 0; j < n; ++j) p[j] = c;
    }
    void put(char c) { *room(1) = c; }
    void flush() {
        out_.append(buf_, used_);
        used_ = 0;
    }

private:
    [[gnu::noinline]] char* room_after_flush(std::size_t n) {
        flush();
        if (n > capacity) {
            std::size_t pos = out_.size();
            out_.resize(pos + n);
            return out_.data() + pos;
        }
        used_ = n;
        return buf_;
    }

    static constexpr std::size_t capacity = 512;
    std::string& out_;
    std::size_t used_ = 0;
    char buf_[capacity];
};

void stars(RecordBuffer& out, int w) { out.fill('*', static_cast<std::size_t>(w)); }

void pad(RecordBuffer& out, int n) {
    if (n > 0) out.fill(' ', static_cast<std::size_t>(n));
}

// The two digits of 0 to 99.
constexpr char pairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimal digits of v, most significant first, into the end of buf; returns
// the start.
char* to_digits(u128 v, char* end) {
    char* p = end;
    if (v == 0) {
        *--p = '0';
        return p;
    }
    while (v > UINT64_MAX) {
        *--p = static_cast<char>('0' + static_cast<int>(v % 10));
        v /= 10;
    }
    std::uint64_t small = static_cast<std::uint64_t>(v);
    while (small >= 100) {
        std::size_t two = static_cast<std::size_t>(small % 100) * 2;
        small /= 100;
        *--p = pairs[two + 1];
        *--p = pairs[two];
    }
    if (small >= 10) {
        std::size_t two = static_cast<std::size_t>(small) * 2;
        *--p = pairs[two + 1];
        *--p = pairs[two];
    } else if (small != 0) {
        *--p = static_cast<char>('0' + small);
    }
    return p;
}

int bit_length(u128 v) {
    auto hi = static_cast<std::uint64_t>(v >> 64);
    if (hi != 0) return 128 - std::countl_zero(hi);
    return 64 - std::countl_zero(static_cast<std::uint64_t>(v));
}

// base^0 .. base^(count - 1), exact in 128 bits.
template <unsigned base, int count>
struct PowerTable {
    u128 p[count];
    constexpr PowerTable() : p() {
        p[0] = 1;
        for (int k = 1; k < count; ++k) p[k] = p[k - 1] * base;
    }
};
constexpr PowerTable<5, 56> pow5;
constexpr PowerTable<10, 39> pow10;

// A finite float as m * 2^e.
struct Binary {
    bool negative;
    std::uint32_t m;
    int e;
};

Binary decompose(float x) {
    auto bits = std::bit_cast<std::uint32_t>(x);
    Binary b{(bits >> 31) != 0, bits & 0x7FFFFFu, 0};
    std::uint32_t ex = (bits >> 23) & 0xFFu;
    if (ex == 0) {
        b.e = -149;
    } else {
        b.m |= 0x800000u;
        b.e = static_cast<int>(ex) - 150;
    }
    return b;
}

// Whether a quotient q with remainder rest (0 <= rest < divisor) goes up one
// when rounded to the nearest, ties to even. `half_cmp` is the sign of
// rest - divisor / 2.
bool round_up(int half_cmp, bool q_odd) { return half_cmp > 0 || (half_cmp == 0 && q_odd); }

int compare(u128 a, u128 b) { return a < b ? -1 : a > b ? 1 : 0; }

// n = m * 2^e * 10^s rounded to the nearest integer, ties to even. False when
// the numbers leave the 128-bit range (the caller then takes the slow path).
// The common case of scaled_round in 64 bits, for 0 <= s <= 16 (then
// m * 5^s < 2^24 * 5^16 < 2^62); false when the result needs more bits.
inline bool scaled_round_64(std::uint32_t m, int e, int s, std::uint64_t& n) {
    int b = e + s;  // m * 2^e * 10^s = m * 5^s * 2^b
    auto a = static_cast<std::uint64_t>(m) * static_cast<std::uint64_t>(pow5.p[s]);
    if (b < 0) {
        int k = -b;
        if (k >= 63) {
            n = 0;  // a < 2^62 <= half of 2^k, below the tie
        } else {
            std::uint64_t q = a >> k;
            std::uint64_t rest = a & ((std::uint64_t{1} << k) - 1);
            std::uint64_t half = std::uint64_t{1} << (k - 1);
            int half_cmp = rest < half ? -1 : rest > half ? 1 : 0;
            if (round_up(half_cmp, (q & 1u) != 0)) ++q;
            n = q;
        }
        return true;
    }
    if (std::bit_width(a) + b <= 63) {
        n = a << b;
        return true;
    }
    return false;
}

bool scaled_round(std::uint32_t m, int e, int s, u128& n) {
    int b = e + s;  // m * 2^e * 10^s = m * 5^s * 2^b
    if (s >= 0 && s <= 16) {
        std::uint64_t small;
        if (scaled_round_64(m, e, s, small)) {
            n = small;
            return true;
        }
    }
    if (s >= 0) {
        if (s > 44) return false;
        u128 a = static_cast<u128>(m) * pow5.p[s];  // < 2^127
        if (b >= 0) {
            if (bit_length(a) + b > 127) return false;
            n = a << b;
        } else {
            int k = -b;
            if (k >= 128) {
                n = 0;  // a < 2^127 <= half of 2^k, below the tie
            } else {
                n = a >> k;
                u128 rest = a & ((static_cast<u128>(1) << k) - 1);
                if (round_up(compare(rest, static_cast<u128>(1) << (k - 1)), (n & 1u) != 0)) ++n;
            }
        }
    } else {
        int t = -s;
        if (t > 55) return false;
        u128 den = pow5.p[t];
        if (b >= 0) {
            if (24 + b > 127) return false;
            // num < 2^127, so 2 * rest cannot overflow; den = 5^t is odd, so
            // 2 * rest never equals it and no tie can arise here.
            u128 num = static_cast<u128>(m) << b;
            n = num / den;
            u128 rest = num - n * den;
            if (round_up(compare(2 * rest, den), (n & 1u) != 0)) ++n;
        } else {
            int k = -b;
            if (bit_length(den) + k > 126) {
                n = 0;  // den >= 2^126 > 2m
            } else {
                den <<= k;
                n = m / den;
                u128 rest = m - n * den;  // <= m < 2^24
                if (round_up(compare(2 * rest, den), (n & 1u) != 0)) ++n;
            }
        }
    }
    return true;
}

// Whether digits kept, followed by the exact dropped digits `rest`, round up
// to the nearest with ties to even (the last kept digit decides a tie; with
// no kept digits that is an implied 0, which is even).
bool round_up_digits(std::string_view kept, std::string_view rest) {
    if (rest.empty() || rest[0] < '5') return false;
    if (rest[0] > '5') return true;
    if (rest.substr(1).find_first_not_of('0') != std::string_view::npos) return true;
    return !kept.empty() && (kept.back() - '0') % 2 != 0;
}

// Adds one to a string of decimal digits; returns false when it carried out
// of the first digit (all nines became zeros).
bool increment(std::string& digits) {
    for (std::size_t j = digits.size(); j-- > 0;) {
        if (digits[j] != '9') {
            ++digits[j];
            return true;
        }
        digits[j] = '0';
    }
    return false;
}

// Slow path of Fw.d: the digits of |x| * 10^d rounded, without leading zeros.
std::string fixed_digits_exact(float ax, int d) {
    constexpr int frac_digits = 160;  // a float's fraction has at most 149 digits
    char buf[256];
    std::snprintf(buf, sizeof buf, "%.*f", frac_digits, static_cast<double>(ax));
    std::string_view text(buf);
    std::size_t point = text.find('.');
    std::string digits(text.substr(0, point));
    std::string_view frac = text.substr(point + 1);
    if (d <= frac_digits) {
        digits.append(frac.substr(0, static_cast<std::size_t>(d)));
        if (round_up_digits(digits, frac.substr(static_cast<std::size_t>(d))) && !increment(digits))
            digits.insert(digits.begin(), '1');
    } else {
        digits.append(frac);
        digits.append(static_cast<std::size_t>(d - frac_digits), '0');
    }
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string("0") : digits.substr(first);
}

// Slow path of Ew.d: d significant digits of |x| (nonzero), rounded, and the
// exponent p with |x| ~ 0.digits * 10^p.
void exp_digits_exact(float ax, int d, std::string& digits, int& p) {
    constexpr int sig_digits = 121;  // a float has at most 112 significant digits
    char buf[256];
    std::snprintf(buf, sizeof buf, "%.*e", sig_digits - 1, static_cast<double>(ax));
    std::string_view text(buf);
    std::size_t e_pos = text.find('e');
    std::string all;
    all += text[0];
    all.append(text.substr(2, e_pos - 2));
    p = std::atoi(buf + e_pos + 1) + 1;
    if (d <= sig_digits) {
        digits.assign(all, 0, static_cast<std::size_t>(d));
        if (round_up_digits(digits, std::string_view(all).substr(static_cast<std::size_t>(d))) &&
            !increment(digits)) {
            digits.assign(static_cast<std::size_t>(d), '0');
            digits[0] = '1';
            ++p;
        }
    } else {
        digits = all;
        digits.append(static_cast<std::size_t>(d - sig_digits), '0');
    }
}

// Infinity and NaN as gfortran writes them.
void put_special(RecordBuffer& out, float x, int w) {
    std::string_view text;
    if (std::isnan(x))
        text = "NaN";
    else if (std::signbit(x))
        text = w >= 9 ? "-Infinity" : "-Inf";
    else
        text = w >= 8 ? "Infinity" : "Inf";
    if (w != 0 && static_cast<int>(text.size()) > w) {
        stars(out, w);
        return;
    }
    pad(out, w - static_cast<int>(text.size()));
    out.append(text);
}

// Appends n characters to out and returns where they start.
char* grow(RecordBuffer& out, int n) { return out.room(static_cast<std::size_t>(n)); }

// Writes text right to left ending at q; returns the new start.
char* put_before(char* q, const char* text, std::size_t n) {
    q -= n;
    std::memcpy(q, text, n);
    return q;
}

// Writes the digits of n right to left ending at q, two at a time; returns
// the new start. n = 0 gives no digits.
inline char* put_digits_before(char* q, std::uint64_t n) {
    while (n >= 100) {
        std::uint64_t rest = n / 100;
        std::size_t two = static_cast<std::size_t>(n - rest * 100) * 2;
        n = rest;
        q -= 2;
        std::memcpy(q, pairs + two, 2);
    }
    if (n >= 10) {
        q -= 2;
        std::memcpy(q, pairs + n * 2, 2);
    } else if (n != 0) {
        *--q = static_cast<char>('0' + n);
    }
    return q;
}

constexpr std::uint64_t pow10_64[20] = {1,
                                        10,
                                        100,
                                        1000,
                                        10000,
                                        100000,
                                        1000000,
                                        10000000,
                                        100000000,
                                        1000000000,
                                        10000000000,
                                        100000000000,
                                        1000000000000,
                                        10000000000000,
                                        100000000000000,
                                        1000000000000000,
                                        10000000000000000,
                                        100000000000000000,
                                        1000000000000000000,
                                        10000000000000000000u};

// The number of decimal digits of n (0 for n = 0), without a branch.
inline int decimal_digits(std::uint64_t n) {
    int guess = ((static_cast<int>(std::bit_width(n)) * 1233) >> 12) + 1;  // the count or one more
    return guess - static_cast<int>(n < pow10_64[guess - 1]);
}

// Fw.d of n = |x| * 10^d rounded (the common case, n below 2^64). The
// field's length is known from the digit count, so it is written right to
// left straight into the record.
void put_fixed_scaled(RecordBuffer& out, bool negative, std::uint64_t n, int w, int d) {
    const int digits = decimal_digits(n);
    int int_len = digits > d ? digits - d : 0;
    if (d == 0 && n == 0) int_len = 1;  // "0." has its zero
    int len = (negative ? 1 : 0) + int_len + 1 + d;
    const bool zero = int_len == 0 && w != 0 && len < w;  // the optional zero, when there is room
    if (zero) ++len;
    if (w == 0) w = len;
    if (len > w) {
        stars(out, w);
        return;
    }
    char* field = out.room(static_cast<std::size_t>(w));
    const int blanks_before = w - len;
    if (blanks_before <= 64)
        copy_bytes(field, blanks64, static_cast<std::size_t>(blanks_before));
    else
        std::memset(field, ' ', static_cast<std::size_t>(blanks_before));
    char* q = field + w;
    int k = 0;
    for (; k + 2 <= d; k += 2) {
        std::uint64_t rest = n / 100;
        std::size_t two = static_cast<std::size_t>(n - rest * 100) * 2;
        n = rest;
        q -= 2;
        std::memcpy(q, pairs + two, 2);
    }
    if (k < d) {
        std::uint64_t rest = n / 10;
        *--q = static_cast<char>('0' + (n - rest * 10));
        n = rest;
    }
    *--q = '.';
    if (n != 0)
        q = put_digits_before(q, n);
    else if (int_len == 1 || zero)
        *--q = '0';
    if (negative) *--q = '-';
}

void put_fixed(RecordBuffer& out, float x, int w, int d) {
    if (!std::isfinite(x)) {
        put_special(out, x, w);
        return;
    }
    Binary b = decompose(x);
    char buf[48];
    char* end = buf + sizeof buf;
    std::string slow;
    const char* digits;
    std::size_t len;
    u128 n;
    std::uint64_t small;
    if (d <= 16 && scaled_round_64(b.m, b.e, d, small))
        return put_fixed_scaled(out, b.negative, small, w, d);
    if (d <= 44 && scaled_round(b.m, b.e, d, n)) {
        digits = to_digits(n, end);
        len = static_cast<std::size_t>(end - digits);
    } else {
        slow = fixed_digits_exact(std::fabs(x), d);
        digits = slow.data();
        len = slow.size();
    }
    // Integer part and fraction; a zero integer part is empty (its "0" is
    // optional) unless there are no decimals, when the "0" is the only digit.
    const std::size_t ud = static_cast<std::size_t>(d);
    std::size_t int_len = len > ud ? len - ud : 0;
    std::size_t frac_digits = len - int_len;  // the rest are zeros after the point
    int need = (b.negative ? 1 : 0) + static_cast<int>(int_len) + 1 + d;
    bool zero = false;
    if (w == 0) {
        w = need;
    } else if (need > w) {
        stars(out, w);
        return;
    } else if (int_len == 0 && need < w) {
        zero = true;
        ++need;
    }
    char* p = grow(out, w);
    char* q = p + w;
    q = put_before(q, digits + int_len, frac_digits);
    q -= ud - frac_digits;
    std::memset(q, '0', ud - frac_digits);
    *--q = '.';
    q = put_before(q, digits, int_len);
    if (zero) *--q = '0';
    if (b.negative) *--q = '-';
    std::memset(p, ' ', static_cast<std::size_t>(q - p));
}

void put_exp(RecordBuffer& out, float x, int w, int d) {
    if (!std::isfinite(x)) {
        put_special(out, x, w);
        return;
    }
    Binary b = decompose(x);
    char buf[48];
    char* end = buf + sizeof buf;
    std::string slow;
    const char* digits = nullptr;
    int p = 0;
    if (b.m == 0) {
        slow.assign(static_cast<std::size_t>(d), '0');
        digits = slow.data();
    } else {
        if (d <= 30) {
            // 2^(k) <= |x| < 2^(k+1); floor(k log10 2) + 1 is p or p - 1.
            int k = std::bit_width(b.m) - 1 + b.e;
            p = ((k * 1233) >> 12) + 1;
            for (int attempt = 0; attempt < 4; ++attempt) {
                u128 n;
                if (!scaled_round(b.m, b.e, d - p, n)) break;
                if (n >= pow10.p[d]) {
                    ++p;
                } else if (n < pow10.p[d - 1]) {
                    --p;
                } else {
                    digits = to_digits(n, end);
                    break;
                }
            }
        }
        if (digits == nullptr) {
            exp_digits_exact(std::fabs(x), d, slow, p);
            digits = slow.data();
        }
    }
    int ap = p < 0 ? -p : p;
    int need = (b.negative ? 1 : 0) + 1 + d + 4;
    if (ap > 999 || need > w) {
        stars(out, w);
        return;
    }
    char* f = grow(out, w);
    char* q = f + w;
    *--q = static_cast<char>('0' + ap % 10);
    *--q = static_cast<char>('0' + ap / 10 % 10);
    if (ap > 99) *--q = static_cast<char>('0' + ap / 100);
    *--q = p < 0 ? '-' : '+';
    if (ap <= 99) *--q = 'E';
    q = put_before(q, digits, static_cast<std::size_t>(d));
    *--q = '.';
    if (need < w) *--q = '0';
    if (b.negative) *--q = '-';
    std::memset(f, ' ', static_cast<std::size_t>(q - f));
}

void put_int(RecordBuffer& out, int v, int w) {
    char buf[16];
    char* end = buf + sizeof buf;
    bool negative = v < 0;
    auto magnitude = static_cast<std::uint64_t>(negative ? -static_cast<std::int64_t>(v) : v);
    char* start = magnitude == 0 ? end - 1 : put_digits_before(end, magnitude);
    if (magnitude == 0) *start = '0';
    int need = static_cast<int>(end - start) + (negative ? 1 : 0);
    if (w == 0) w = need;
    if (need > w) {
        stars(out, w);
        return;
    }
    pad(out, w - need);
    if (negative) out.put('-');
    out.append(start, static_cast<std::size_t>(end - start));
}

void put_text(RecordBuffer& out, const std::string& s, int w) {
    if (w < 0) {
        out.append(s);
    } else if (static_cast<int>(s.size()) >= w) {
        out.append(s.data(), static_cast<std::size_t>(w));
    } else {
        pad(out, w - static_cast<int>(s.size()));
        out.append(s);
    }
}

std::string describe(const Op& op) {
    switch (op.kind) {
        case Op::Int:
            return "I" + std::to_string(op.w);
        case Op::Fixed:
            return "F" + std::to_string(op.w) + "." + std::to_string(op.d);
        case Op::Exp:
            return "E" + std::to_string(op.w) + "." + std::to_string(op.d);
        case Op::Alpha:
            return op.w < 0 ? std::string("A") : "A" + std::to_string(op.w);
        case Op::Text:
            break;
    }
    return "text";
}

std::string describe(const RecordValue& v) {
    if (const int* i = std::get_if<int>(&v)) return "the integer " + std::to_string(*i);
    if (const float* f = std::get_if<float>(&v)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "the real %.9g", static_cast<double>(*f));
        return buf;
    }
    return "the text \"" + std::get<std::string>(v) + "\"";
}

[[noreturn]] void mismatch(std::string_view format, const Op& op, const RecordValue& v,
                           std::size_t index) {
    const char* wanted = op.kind == Op::Int     ? "an integer"
                         : op.kind == Op::Alpha ? "a text"
                                                : "a real";
    template_fault(format, describe(op) + " needs " + wanted + ", but value " +
                               std::to_string(index + 1) + " is " + describe(v));
}

void put_value(RecordBuffer& out, std::string_view format, const Op& op, const RecordValue& v,
               std::size_t index) {
    switch (op.kind) {
        case Op::Int:
            if (const int* i = std::get_if<int>(&v)) return put_int(out, *i, op.w);
            break;
        case Op::Fixed:
            if (const float* f = std::get_if<float>(&v)) return put_fixed(out, *f, op.w, op.d);
            break;
        case Op::Exp:
            if (const float* f = std::get_if<float>(&v)) return put_exp(out, *f, op.w, op.d);
            break;
        case Op::Alpha:
            if (const std::string* s = std::get_if<std::string>(&v)) return put_text(out, *s, op.w);
            break;
        case Op::Text:
            break;
    }
    mismatch(format, op, v, index);
}

void format_into(std::string& text, std::string_view format, std::span<const RecordValue> values) {
    const Template& t = parsed_template(format);
    RecordBuffer out(text);
    const std::size_t count = values.size();
    std::size_t next = 0;
    std::size_t pos = 0;
    for (;;) {
        if (pos == t.ops.size()) {
            out.put('\n');
            if (next == count) return;
            if (!t.reversion_has_data)
                template_fault(format, std::to_string(count) +
                                           " values, but the template takes only " +
                                           std::to_string(next));
            pos = t.reversion;
            continue;
        }
        const Op& op = t.ops[pos++];
        if (op.kind == Op::Text) {
            out.append(op.text);
        } else if (next == count) {
            out.put('\n');
            return;
        } else {
            put_value(out, format, op, values[next], next);
            ++next;
        }
    }
}

}  // namespace

std::string format_record(std::string_view format, std::span<const RecordValue> values) {
    std::string out;
    format_into(out, format, values);
    return out;
}

std::string format_record(std::string_view format, std::initializer_list<RecordValue> values) {
    return format_record(format, std::span<const RecordValue>(values.begin(), values.size()));
}

namespace {

// What out.write(text, n) does, without building its sentry for the usual
// stream: in a good state, tied to no other stream and not unit-buffered.
void put_to_stream(std::ostream& out, const char* text, std::size_t n) {
    const auto count = static_cast<std::streamsize>(n);
    if (out.good() && out.tie() == nullptr && (out.flags() & std::ios_base::unitbuf) == 0) {
        if (out.rdbuf()->sputn(text, count) != count) out.setstate(std::ios_base::badbit);
        return;
    }
    out.write(text, count);
}

}  // namespace

void write_record(std::ostream& out, std::string_view format, std::span<const RecordValue> values) {
    thread_local std::string buffer;
    std::string& text = buffer;
    text.clear();
    format_into(text, format, values);
    put_to_stream(out, text.data(), text.size());
}

void write_record(std::ostream& out, std::string_view format,
                  std::initializer_list<RecordValue> values) {
    write_record(out, format, std::span<const RecordValue>(values.begin(), values.size()));
}

void write_line(std::ostream& out, std::string_view text) {
    put_to_stream(out, text.data(), text.size());
    put_to_stream(out, "\n", 1);
}

}  // namespace korvanti
