// The record-template interpreter. A template is parsed once into a flat list
// of operations (texts and data fields, groups expanded) and kept in a map;
// writing a record walks that list.
//
// Numbers are written as gfortran writes them by default (no ROUND=): the
// exact binary value of the float is rounded to the field's digits to the
// nearest, an exact tie going to the even last digit (0.125 -> 0.12,
// 0.375 -> 0.38, 2.5 -> 2.). std::to_chars with a precision does exactly that
// for a double, and every float is exact in a double; the Fortran layout of
// the field (sign, optional zero, exponent form, asterisks) is built here.
#include "filelayer/record.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <unordered_map>

namespace korvanti {

namespace {

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

// Every template met so far, parsed. Map nodes do not move, so a reference
// to a parsed template stays good while others are added.
const Template& parsed_template(std::string_view format) {
    static std::mutex guard;
    static std::unordered_map<std::string, Template, TextHash, std::equal_to<>> parsed;
    std::lock_guard<std::mutex> lock(guard);
    auto it = parsed.find(format);
    if (it == parsed.end()) it = parsed.emplace(std::string(format), Parser(format).parse()).first;
    return it->second;
}

// ------------------------------------------------------------------ numbers

// The text of a record while it is built: in a buffer on the stack, which
// holds most records whole, moving to a string on the heap only for a longer
// one. (A string grown field by field made the writer about 15 % slower.)
class Text {
public:
    Text() = default;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Room for n characters, which the caller writes at once.
    char* room(std::size_t n) {
        if (long_.empty() && used_ + n <= sizeof short_) {
            char* p = short_ + used_;
            used_ += n;
            return p;
        }
        if (long_.empty()) long_.assign(short_, used_);
        const std::size_t at = long_.size();
        long_.resize(at + n);
        return long_.data() + at;
    }
    void append(std::string_view text) {
        if (!text.empty()) std::memcpy(room(text.size()), text.data(), text.size());
    }
    void append(const char* text, std::size_t n) { append(std::string_view(text, n)); }
    void append(std::size_t n, char c) { std::memset(room(n), c, n); }
    void operator+=(char c) { *room(1) = c; }
    std::string_view view() const {
        return long_.empty() ? std::string_view(short_, used_) : std::string_view(long_);
    }

private:
    char short_[256]{};
    std::size_t used_ = 0;
    std::string long_;
};

void stars(Text& out, int w) { out.append(static_cast<std::size_t>(w), '*'); }

void pad(Text& out, int n) {
    if (n > 0) out.append(static_cast<std::size_t>(n), ' ');
}

// Infinity and NaN as gfortran writes them.
void put_special(Text& out, float x, int w) {
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

// The text of |x| from std::to_chars with `precision` digits after the point,
// written at begin() with two characters of room before it for a sign and a
// zero. The buffer is on the stack, or on the heap for the rare long field.
class Digits {
    static constexpr int max_exact_decimals = 12;
    static constexpr double power_of_ten[max_exact_decimals + 1] = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

public:
    Digits(float x, std::chars_format form, int precision) {
        // Room for a float's 39 integer digits, point, exponent and decimals.
        const std::size_t room = 2 + 48 + static_cast<std::size_t>(precision);
        char* buffer = short_;
        if (room > sizeof short_) {
            long_.resize(room);
            buffer = long_.data();
        }
        begin_ = buffer + 2;
        const double magnitude = std::fabs(static_cast<double>(x));
        if (form == std::chars_format::fixed && precision <= max_exact_decimals &&
            magnitude * power_of_ten[precision] < 1e18)
            end_ = few_decimals(magnitude, precision);
        else
            end_ = std::to_chars(begin_, buffer + room, magnitude, form, precision).ptr;
    }
    char* begin() const { return begin_; }
    char* end() const { return end_; }

private:
    // Fixed notation with up to 12 decimals, the fields of every file, without
    // the general (and several times slower) to_chars: a float's 24-bit
    // significand times 10^d = 2^d * 5^d, 5^12 < 2^28, has at most 52 bits, so
    // magnitude * 10^d is exact in a double and nearbyint rounds it to the
    // nearest integer with ties to even, as the decimal rounding does; its
    // digits get the point before the last d of them. Kept because the whole
    // run took 1.5 times as long with the general to_chars alone.
    char* few_decimals(double magnitude, int d) {
        const auto scaled = static_cast<std::uint64_t>(std::nearbyint(magnitude * power_of_ten[d]));
        // The digits with zeros in front, so that one stands before the point
        // (0.05 at d = 2 scales to 5, written "0.05").
        char digits[32];
        std::memset(digits, '0', sizeof digits);
        char* last = std::to_chars(digits + d + 1, digits + sizeof digits, scaled).ptr;
        const auto length = static_cast<int>(last - (digits + d + 1));
        const char* first = length > d ? digits + d + 1 : last - (d + 1);
        const auto whole = static_cast<std::size_t>(last - first - d);
        std::memcpy(begin_, first, whole);
        char* p = begin_ + whole;
        if (d > 0) {
            *p++ = '.';
            std::memcpy(p, first + whole, static_cast<std::size_t>(d));
            p += d;
        }
        return p;
    }

    char short_[96];
    std::string long_;
    char* begin_;
    char* end_;
};

// The field [blanks][-]text, text from start to end, or w asterisks when it
// is wider than w; w = 0 asks for no blanks.
void put_field(Text& out, bool negative, const char* start, const char* end, int w) {
    const auto digits = static_cast<std::size_t>(end - start);
    const int length = (negative ? 1 : 0) + static_cast<int>(digits);
    if (w == 0) w = length;
    if (length > w) {
        stars(out, w);
        return;
    }
    char* field = out.room(static_cast<std::size_t>(w));
    char* text = field + (w - length);
    std::memset(field, ' ', static_cast<std::size_t>(text - field));
    if (negative) *text++ = '-';
    std::memcpy(text, start, digits);
}

void put_fixed(Text& out, float x, int w, int d) {
    if (!std::isfinite(x)) {
        put_special(out, x, w);
        return;
    }
    // "12.345", "0.125", or "3" when there are no decimals.
    Digits digits(x, std::chars_format::fixed, d);
    char* start = digits.begin();
    const bool negative = std::signbit(x);
    // A zero integer part is optional, unless it is the only digit ("0."),
    // and written when the field has room for it.
    if (d > 0 && digits.end() - start == d + 2 && *start == '0') {
        const int length = (negative ? 1 : 0) + 1 + d;
        if (w == 0 || length >= w) ++start;
    }
    char* end = digits.end();
    if (d == 0) *end++ = '.';
    put_field(out, negative, start, end, w);
}

// Ew.d reads 0.d1d2...dd E+pp: the d significant digits after the point, and
// the exponent one above that of scientific notation (0 for zero). A float's
// exponent lies between -45 and +38, so two exponent digits always do.
void put_exp(Text& out, float x, int w, int d) {
    if (!std::isfinite(x)) {
        put_special(out, x, w);
        return;
    }
    // "1.2346e+02", or "1e+02" for one digit; made into ".12346E+03".
    Digits digits(x, std::chars_format::scientific, d - 1);
    char* start = digits.begin();
    char* e = start + (d > 1 ? d + 1 : 1);
    if (d > 1)
        std::swap(start[0], start[1]);
    else
        *--start = '.';
    int exponent = 0;
    for (const char* c = e + 2; c != digits.end(); ++c) exponent = exponent * 10 + (*c - '0');
    if (e[1] == '-') exponent = -exponent;
    const int p = x == 0.0f ? 0 : exponent + 1;
    const int ap = p < 0 ? -p : p;
    e[0] = 'E';
    e[1] = p < 0 ? '-' : '+';
    e[2] = static_cast<char>('0' + ap / 10);
    e[3] = static_cast<char>('0' + ap % 10);
    const bool negative = std::signbit(x);
    if ((negative ? 1 : 0) + 1 + d + 4 < w) *--start = '0';
    put_field(out, negative, start, e + 4, w);
}

void put_int(Text& out, int v, int w) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    const int length = static_cast<int>(result.ptr - buffer);
    if (w == 0) w = length;
    if (length > w) {
        stars(out, w);
        return;
    }
    pad(out, w - length);
    out.append(buffer, static_cast<std::size_t>(length));
}

void put_text(Text& out, const std::string& s, int w) {
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

void put_value(Text& out, std::string_view format, const Op& op, const RecordValue& v,
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

void format_into(Text& out, std::string_view format, std::span<const RecordValue> values) {
    const Template& t = parsed_template(format);
    const std::size_t count = values.size();
    std::size_t next = 0;
    std::size_t pos = 0;
    for (;;) {
        if (pos == t.ops.size()) {
            out += '\n';
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
            out += '\n';
            return;
        } else {
            put_value(out, format, op, values[next], next);
            ++next;
        }
    }
}

}  // namespace

std::string format_record(std::string_view format, std::span<const RecordValue> values) {
    Text record;
    format_into(record, format, values);
    return std::string(record.view());
}

std::string format_record(std::string_view format, std::initializer_list<RecordValue> values) {
    return format_record(format, std::span<const RecordValue>(values.begin(), values.size()));
}

std::string format_fixed(float x, int w, int d) {
    Text field;
    put_fixed(field, x, w, d);
    return std::string(field.view());
}

void write_record(std::ostream& out, std::string_view format, std::span<const RecordValue> values) {
    Text record;
    format_into(record, format, values);
    out.write(record.view().data(), static_cast<std::streamsize>(record.view().size()));
}

void append_record(std::string& text, std::string_view format,
                   std::span<const RecordValue> values) {
    Text record;
    format_into(record, format, values);
    text.append(record.view());
}

void write_record(std::ostream& out, std::string_view format,
                  std::initializer_list<RecordValue> values) {
    write_record(out, format, std::span<const RecordValue>(values.begin(), values.size()));
}

void write_line(std::ostream& out, std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.put('\n');
}

}  // namespace korvanti
