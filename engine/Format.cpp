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

#include <charconv>
#include <cmath>

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

std::string formatPolarText(std::complex<double> z) {
    const double degrees = elementary::atan2(z.imag(), z.real()) * (180.0 / 3.14159265358979323846);
    return formatRoundTrip(elementary::hypot(z.real(), z.imag())) + "<" + formatRoundTrip(degrees == 0 ? 0.0 : degrees);
}
