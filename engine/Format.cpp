// Result formatting. The field is 14 wide with 7 decimals. Fixed form is
// used from 0.1 up to the largest value whose fixed text still fits the
// field (999999.9999999); there it shows at least 7 significant digits.
// Beyond that, and for magnitudes below 0.1 where fixed form would show
// leading zeros instead of digits, the exponent form with one digit before
// the point is used ("1.4000000E+20", "-2.5000000E-03"). A negative value
// with a three-digit exponent needs 15 characters; the field then grows
// rather than lose a digit. Zero of either sign shows as 0.0000000.
//
// std::to_chars is used throughout because it ignores the locale.
#include "Format.h"
#include "Elementary.h"
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

constexpr std::size_t kWidth = 14;
constexpr int kDecimals = 7;

std::string rightAligned(std::string_view text) {
    std::string out;
    if (text.size() < kWidth) out.assign(kWidth - text.size(), ' ');
    out.append(text);
    return out;
}

}  // namespace

std::string formatResultNumber(double x) {
    if (std::isnan(x)) return rightAligned("NaN");
    if (std::isinf(x)) return rightAligned(x > 0 ? "Infinity" : "-Infinity");
    if (x == 0) x = 0.0;  // no "-0.0000000"

    char buf[64];
    if (x == 0 || std::fabs(x) >= 0.1) {
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, kDecimals);
        if (ec == std::errc() && static_cast<std::size_t>(end - buf) <= kWidth) {
            return rightAligned(std::string_view(buf, static_cast<std::size_t>(end - buf)));
        }
    }
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, kDecimals);
    std::string text(buf, ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    return rightAligned(text);
}

std::string formatResultValue(double x) { return std::string(textkit::trimLeft(formatResultNumber(x))); }

std::string formatShownValue(bool isReal, double realValue, std::complex<double> value) {
    return isReal ? formatResultValue(realValue) : formatComplexResult(value);
}

ResultLines formatResultLines(std::optional<double> real, std::complex<double> value) {
    ResultLines lines;
    lines.realLabel = real ? "Real Result =" : "NO REAL RESULT";
    if (real) lines.realValue = formatResultValue(*real);
    lines.complexLabel = "Complex Result =";
    lines.complexValue = formatComplexResult(value);
    return lines;
}

std::string formatComplexResult(std::complex<double> z) {
    return "(" + formatResultValue(z.real()) + ", " + formatResultValue(z.imag()) + ")";
}

std::string formatJsonNumber(double x) {
    if (std::isnan(x)) return "\"nan\"";
    if (std::isinf(x)) return x > 0 ? "\"inf\"" : "\"-inf\"";
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 17);
    return std::string(buf, ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0);
}

std::string formatRoundTrip(double x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);  // the shortest exact form
    return std::string(buf, ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0);
}

std::string formatPairText(std::complex<double> z) {
    return "(" + formatRoundTrip(z.real()) + "," + formatRoundTrip(z.imag()) + ")";
}

std::string formatAlgebraicText(std::complex<double> z) {
    const std::string im = formatRoundTrip(z.imag());
    const bool sign = !im.empty() && im.front() == '-';
    return formatRoundTrip(z.real()) + (sign ? "" : "+") + im + "i";
}

namespace {

// "r<θ" with each of the magnitude and the angle in degrees (never -0)
// written by NUMBER.
template <class Number>
std::string polarText(std::complex<double> z, Number number) {
    const double degrees = elementary::atan2(z.imag(), z.real()) * (180.0 / 3.14159265358979323846);
    return number(elementary::hypot(z.real(), z.imag())) + "<" + number(degrees == 0 ? 0.0 : degrees);
}

}  // namespace

std::string formatPolarText(std::complex<double> z) { return polarText(z, formatRoundTrip); }

// ---- Display choices ---------------------------------------------------------

namespace {

constexpr std::pair<DisplayFormat::Notation, std::string_view> kNotationNames[] = {
    {DisplayFormat::Notation::kDescribed, "described"}, {DisplayFormat::Notation::kFixed, "fixed"},
    {DisplayFormat::Notation::kScientific, "sci"},      {DisplayFormat::Notation::kEngineering, "eng"},
    {DisplayFormat::Notation::kShortest, "shortest"},
};

// X rounded to DIGITS significant digits: its digits (no point) and the
// decimal exponent of the first, as scientific notation has them.
struct Significant {
    std::string digits;
    int exponent = 0;
    bool negative = false;
};
Significant significant(double x, int digits) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, digits - 1);
    const std::string_view text(buf, ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0);
    Significant s;
    const std::size_t e = text.find('e');
    for (const char c : text.substr(0, e)) {
        if (c == '-') s.negative = true;
        if (c >= '0' && c <= '9') s.digits += c;
    }
    if (e != std::string_view::npos) std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), end, s.exponent);
    return s;
}

// "E-6", "E3", "E0": the exponent as the engine reads it.
std::string exponentText(int e) { return "E" + std::to_string(e); }

// DIGITS with the point after INTEGER of them (zeros added as needed).
std::string placePoint(const std::string& digits, int integer) {
    std::string out = digits;
    if (static_cast<int>(out.size()) < integer) out.append(static_cast<std::size_t>(integer) - out.size(), '0');
    if (integer < static_cast<int>(out.size())) out.insert(static_cast<std::size_t>(integer), ".");
    return out;
}

std::string scientificText(double x, int digits, bool engineering);

// Fixed notation up to this many characters; a value that would need more
// (1E300, 1E-300) is shown in scientific notation, as a field of the main
// window and a line of the engine could not hold it.
constexpr std::size_t kLongestFixed = 24;

std::string fixedText(double x, int digits) {
    // Rounded to its significant digits first, then written out in full:
    // digits beyond them would claim a precision the choice does not show.
    const Significant s = significant(x, digits);
    const std::size_t length = static_cast<std::size_t>(std::max(s.exponent + 1, 0)) +
                               static_cast<std::size_t>(std::max(-s.exponent, 0)) + s.digits.size() + 2;
    if (length > kLongestFixed) return scientificText(x, digits, false);
    std::string out;
    if (s.exponent < 0) {
        out = "0." + std::string(static_cast<std::size_t>(-s.exponent - 1), '0') + s.digits;
    } else {
        out = placePoint(s.digits, s.exponent + 1);
    }
    return (s.negative ? "-" : "") + out;
}

std::string scientificText(double x, int digits, bool engineering) {
    const Significant s = significant(x, digits);
    int exponent = s.exponent;
    int integer = 1;
    if (engineering) {
        // The exponent a multiple of 3, so 1 to 3 digits stand before the point.
        const int shift = ((exponent % 3) + 3) % 3;
        exponent -= shift;
        integer += shift;
    }
    if (x == 0) exponent = 0;
    return (s.negative ? "-" : "") + placePoint(s.digits, integer) + exponentText(exponent);
}

}  // namespace

std::optional<DisplayFormat::Notation> notationNamed(std::string_view name) {
    for (const auto& [notation, spelt] : kNotationNames) {
        if (spelt == name) return notation;
    }
    return std::nullopt;
}

std::string_view notationName(DisplayFormat::Notation notation) {
    for (const auto& [n, spelt] : kNotationNames) {
        if (n == notation) return spelt;
    }
    return {};
}

std::string formatNumber(double x, const DisplayFormat& format) {
    using Notation = DisplayFormat::Notation;
    if (format.notation == Notation::kDescribed) return formatResultValue(x);
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
    if (x == 0) x = 0.0;  // no "-0"
    const int digits = std::clamp(format.digits, kMinDigits, kMaxDigits);
    switch (format.notation) {
    case Notation::kFixed: return fixedText(x, digits);
    case Notation::kScientific: return scientificText(x, digits, false);
    case Notation::kEngineering: return scientificText(x, digits, true);
    case Notation::kShortest: return formatRoundTrip(x);
    case Notation::kDescribed: break;
    }
    return formatResultValue(x);
}

std::string formatComplex(std::complex<double> z, const DisplayFormat& format) {
    if (format.notation == DisplayFormat::Notation::kDescribed && !format.polar) return formatComplexResult(z);
    if (!format.polar) return "(" + formatNumber(z.real(), format) + ", " + formatNumber(z.imag(), format) + ")";
    return polarText(z, [&](double x) { return formatNumber(x, format); });
}

std::string formatShownValue(bool isReal, double realValue, std::complex<double> value, const DisplayFormat& format) {
    return isReal ? formatNumber(realValue, format) : formatComplex(value, format);
}

ResultLines formatResultLines(std::optional<double> real, std::complex<double> value, const DisplayFormat& format) {
    if (format == DisplayFormat{}) return formatResultLines(real, value);
    ResultLines lines = formatResultLines(real, value);
    if (real) lines.realValue = formatNumber(*real, format);
    lines.complexValue = formatComplex(value, format);
    return lines;
}
