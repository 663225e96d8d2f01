// Wflextra, portable half: squeezing blanks out of text and reading numbers.
#include "Wflextra.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "WflStrings.h"
#include "Text.h"
#include "Narrow.h"

std::string XSQUEEZE(std::string_view text) {
    const std::string_view value = textkit::trimRight(text);
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (static_cast<unsigned char>(c) > ' ') out.push_back(c);  // control characters count as blanks
    }
    out.resize(value.size(), ' ');
    return out;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the normalised number text: on the stack for any text a user
// types, on the heap only for absurdly long digit strings.
class NumberText {
public:
    void push(char c) {
        if (heap_.empty() && size_ < sizeof local_) {
            local_[size_++] = c;
            return;
        }
        if (heap_.empty()) heap_.assign(local_, size_);
        heap_.push_back(c);
    }
    void append(std::string_view s) {
        for (char c : s) push(c);
    }
    const char* begin() const { return heap_.empty() ? local_ : heap_.data(); }
    const char* end() const { return heap_.empty() ? local_ + size_ : heap_.data() + heap_.size(); }

private:
    char local_[256];
    std::size_t size_ = 0;
    std::string heap_;
};

// Reads the characters of the text as the grammar sees them: upper-cased,
// with blanks and control characters skipped and "E" read as "D".
class Reader {
public:
    explicit Reader(std::string_view t) : t_(t) { skip(); }
    bool done() const { return i_ >= t_.size(); }
    char peek() const { return done() ? '\0' : letter(t_[i_]); }
    void next() {
        ++i_;
        skip();
    }

private:
    static char letter(char c) {
        const char u = upperChar(c);
        return u == 'E' ? 'D' : u;
    }
    void skip() {
        while (i_ < t_.size() && static_cast<unsigned char>(t_[i_]) <= ' ') ++i_;
    }
    std::string_view t_;
    std::size_t i_ = 0;
};

// The common number, written plainly: an optional sign, digits with at most
// one point, an optional exponent of up to three digits, no blanks. When its
// digits make an integer below 2^53 and the power of ten it is scaled by is
// at most 10^22, both are exact doubles, and one multiplication or division
// rounds the quotient correctly, which is what std::from_chars gives.
// Returns false, leaving the text to the full reader, for anything else.
bool readPlainNumber(std::string_view t, double& value) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t kExact = std::uint64_t{1} << 53;
    const std::size_t size = t.size();
    std::size_t i = 0;
    bool negative = false;
    if (i < size && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::uint64_t mantissa = 0;
    bool anyDigit = false;
    int scale = 0;  // digits after the point
    for (bool point = false; i < size; ++i) {
        const char c = t[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(c)) break;
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        if (mantissa >= kExact) return false;
        anyDigit = true;
        scale += point ? 1 : 0;
    }
    if (!anyDigit) return false;
    int exponent = 0;
    if (i < size && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        ++i;
        bool expNegative = false;
        if (i < size && (t[i] == '+' || t[i] == '-')) expNegative = t[i++] == '-';
        const std::size_t digitsStart = i;
        while (i < size && isDigit(t[i]) && i - digitsStart < 3) exponent = exponent * 10 + (t[i++] - '0');
        if (i == digitsStart) return false;
        if (expNegative) exponent = -exponent;
    }
    if (i != size) return false;
    const int power = exponent - scale;
    double x = 0;
    if (mantissa == 0) {
        x = 0;
    } else if (power >= 0 && power <= 22) {
        x = static_cast<double>(mantissa) * kPowers[power];
    } else if (power < 0 && power >= -22) {
        x = static_cast<double>(mantissa) / kPowers[-power];
    } else {
        return false;
    }
    value = negative ? -x : x;
    return true;
}

}  // namespace

// number = [sign] mantissa [exponent]; mantissa = digits with at most one
// point and at least one digit; exponent = "D" [sign] digits.
bool XNUMBER_R8(std::string_view text, double& value) {
    value = 0;
    if (readPlainNumber(text, value)) return true;
    Reader in(text);
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.next();
    }

    // The mantissa goes into the text for std::from_chars (which rounds
    // correctly) without its leading zeros; "decimalShift" remembers where
    // the first significant digit stood, to tell overflow from underflow.
    NumberText norm;
    std::size_t intDigits = 0, fracDigits = 0;
    long leadingFracZeros = -1;  // zeros after the point before a significant digit
    bool significant = false;
    long sigIntDigits = 0;
    while (isDigit(in.peek())) {
        const char c = in.peek();
        if (c != '0' || significant) {
            significant = true;
            norm.push(c);
            ++sigIntDigits;
        }
        ++intDigits;
        in.next();
    }
    if (!significant) norm.push('0');
    if (in.peek() == '.') {
        in.next();
        norm.push('.');
        long zeros = 0;
        while (isDigit(in.peek())) {
            const char c = in.peek();
            if (c != '0' && leadingFracZeros < 0) leadingFracZeros = zeros;
            if (c == '0') ++zeros;
            norm.push(c);
            ++fracDigits;
            in.next();
        }
    }
    if (intDigits == 0 && fracDigits == 0) return false;

    long exponent = 0;
    if (in.peek() == 'D') {
        in.next();
        bool expNegative = false;
        if (in.peek() == '+' || in.peek() == '-') {
            expNegative = in.peek() == '-';
            in.next();
        }
        if (!isDigit(in.peek())) return false;
        // Beyond six digits the value overflows or underflows either way.
        while (isDigit(in.peek())) {
            if (exponent < 999999) exponent = exponent * 10 + (in.peek() - '0');
            in.next();
        }
        if (expNegative) exponent = -exponent;
        char buf[16];
        const auto r = std::to_chars(buf, buf + sizeof buf, exponent);
        norm.push('e');
        norm.append(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
    }
    if (!in.done()) return false;

    double x = 0;
    const auto [ptr, ec] = std::from_chars(norm.begin(), norm.end(), x);
    if (ec == std::errc::result_out_of_range) {
        // The decimal magnitude: position of the first significant digit
        // plus the exponent.
        const long magnitude = significant ? sigIntDigits : (leadingFracZeros < 0 ? 0 : -leadingFracZeros);
        if (leadingFracZeros < 0 && !significant) {
            x = 0;  // all zeros: cannot overflow
        } else if (magnitude + exponent > 0) {
            return false;  // beyond the largest float64
        } else {
            x = 0;  // below the smallest: zero
        }
    } else if (ec != std::errc() || ptr != norm.end()) {
        return false;
    }
    value = negative ? -x : x;
    return true;
}

bool XNUMBER_R4(std::string_view text, float& value) {
    double t = 0;
    return XNUMBER_R8(text, t) && narrow::toFloat(t, value);
}

bool XNUMBER_I4(std::string_view text, std::int32_t& value) {
    double t = 0;
    if (XNUMBER_R8(text, t)) return narrow::toInt32(t, narrow::Rounding::kHalfAwayFromZero, value);
    value = 0;
    return false;
}
