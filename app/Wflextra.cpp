// Wflextra, portable half: squeezing blanks out of text and reading numbers.
#include "Wflextra.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "WflStrings.h"

std::string XSQUEEZE(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (u > ' ') out.push_back(text[i]);  // control characters count as blanks
    }
    out.resize(n, ' ');
    return out;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The pieces of a number as the grammar reads them, pointing into the text.
struct NumberParts {
    bool negative = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    bool expNegative = false;
    std::string_view expDigits;
};

// number = [sign] mantissa [exponent]; mantissa = digits with at most one
// point and at least one digit; exponent = "D" [sign] digits. The text is
// already upper-cased and squeezed, with "E" turned into "D".
bool splitNumber(std::string_view t, NumberParts& parts) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) parts.negative = t[i++] == '-';
    std::size_t start = i;
    while (i < t.size() && isDigit(t[i])) ++i;
    parts.intDigits = t.substr(start, i - start);
    if (i < t.size() && t[i] == '.') {
        start = ++i;
        while (i < t.size() && isDigit(t[i])) ++i;
        parts.fracDigits = t.substr(start, i - start);
    }
    if (parts.intDigits.empty() && parts.fracDigits.empty()) return false;
    if (i < t.size() && t[i] == 'D') {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) parts.expNegative = t[i++] == '-';
        start = i;
        while (i < t.size() && isDigit(t[i])) ++i;
        parts.expDigits = t.substr(start, i - start);
        if (parts.expDigits.empty()) return false;
    }
    return i == t.size();
}

std::string_view withoutLeadingZeros(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
}

}  // namespace

bool XNUMBER_R8(std::string_view text, double& value) {
    value = 0;
    std::string t = XSQUEEZE(XTOUPPER(text));
    while (!t.empty() && t.back() == ' ') t.pop_back();
    for (char& c : t) {
        if (c == 'E') c = 'D';
    }
    NumberParts parts;
    if (!splitNumber(t, parts)) return false;

    // Rebuild the number in the form std::from_chars reads, which rounds
    // correctly. An exponent of more than six digits is clamped: the value
    // then overflows or underflows either way.
    std::string norm;
    norm.reserve(t.size() + 8);
    norm.append(parts.intDigits.empty() ? std::string_view("0") : parts.intDigits);
    if (!parts.fracDigits.empty()) {
        norm.push_back('.');
        norm.append(parts.fracDigits);
    }
    long exponent = 0;
    if (!parts.expDigits.empty()) {
        std::string_view e = withoutLeadingZeros(parts.expDigits);
        if (e.size() > 6) e = "999999";
        for (char c : e) exponent = exponent * 10 + (c - '0');
        if (parts.expNegative) exponent = -exponent;
        norm.push_back('e');
        norm.append(std::to_string(exponent));
    }

    double x = 0;
    const auto [ptr, ec] = std::from_chars(norm.data(), norm.data() + norm.size(), x);
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal magnitude:
        // the position of the first significant digit plus the exponent.
        const std::string_view sigInt = withoutLeadingZeros(parts.intDigits);
        long magnitudeDigits = static_cast<long>(sigInt.size());
        if (sigInt.empty()) {
            const std::size_t firstSig = parts.fracDigits.find_first_not_of('0');
            magnitudeDigits = firstSig == std::string_view::npos ? 0 : -static_cast<long>(firstSig);
        }
        if (magnitudeDigits + exponent > 0) return false;  // beyond the largest float64
        x = 0;                                            // below the smallest: zero
    } else if (ec != std::errc() || ptr != norm.data() + norm.size()) {
        return false;
    }
    value = parts.negative ? -x : x;
    return true;
}

bool XNUMBER_R4(std::string_view text, float& value) {
    double t = 0;
    bool ok = XNUMBER_R8(text, t);
    if (ok && std::fabs(t) > static_cast<double>(std::numeric_limits<float>::max())) {
        value = 0;
        return false;
    }
    value = static_cast<float>(t);
    return ok;
}

bool XNUMBER_I4(std::string_view text, std::int32_t& value) {
    double t = 0;
    bool ok = XNUMBER_R8(text, t);
    if (!ok || std::fabs(t) > 2147483647.0) {
        value = 0;
        return false;
    }
    value = static_cast<std::int32_t>(std::round(t));  // halves away from zero
    return true;
}
