// Writing results as text, shared by the main window and tallyon-calc so
// that both show a value the same way.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>

// A result number right-aligned in a field of 14 characters with 7 digits
// after the decimal point: "    14.0000000", or " 1.4000000E+20" where
// fixed form would not fit or would hide the leading digits. Non-finite
// values read "Infinity", "-Infinity" and "NaN".
std::string formatResultNumber(double x);

// "(re, im)" with both parts as formatResultNumber gives them, without the
// leading blanks of the field.
std::string formatComplexResult(std::complex<double> z);

// The same number without the blanks that align it in its field.
std::string formatResultValue(double x);

// A value as the program shows a parameter's: a pair when it is not real,
// else the real number without its aligning blanks.
std::string formatShownValue(bool isReal, double realValue, std::complex<double> value);

// The two result lines of one evaluation, as the main window shows them and
// tallyon-calc prints them: "Real Result =" and the real number, or "NO REAL
// RESULT" and nothing when the real value failed; "Complex Result =" and the
// pair. `real` is absent when the real value failed.
struct ResultLines {
    std::string realLabel, realValue;
    std::string complexLabel, complexValue;
};
ResultLines formatResultLines(std::optional<double> real, std::complex<double> value);

// ---- Display choices ---------------------------------------------------------
// How the user wants results shown. The described form is the default and
// keeps its field of 14 with 7 decimals; the others show DIGITS significant
// digits (1 to 17), but shortest, which shows the shortest text that reads
// back to the same double. A complex value is "(re, im)", or with POLAR
// "r<θ" with θ in degrees. Every text reads back as an expression.
struct DisplayFormat {
    enum class Notation { kDescribed, kFixed, kScientific, kEngineering, kShortest };
    Notation notation = Notation::kDescribed;
    int digits = 7;
    bool polar = false;
    bool operator==(const DisplayFormat&) const = default;
};
inline constexpr int kMinDigits = 1, kMaxDigits = 17;
// The notation's name as tallyon-calc and the settings spell it:
// "described", "fixed", "sci", "eng", "shortest"; nothing for another name.
std::optional<DisplayFormat::Notation> notationNamed(std::string_view name);
std::string_view notationName(DisplayFormat::Notation notation);

// A number in FORMAT, without aligning blanks ("47.00E-6").
std::string formatNumber(double x, const DisplayFormat& format);
// A complex value in FORMAT: "(re, im)" or "r<θ".
std::string formatComplex(std::complex<double> z, const DisplayFormat& format);
// A value as a parameter's is shown, in FORMAT.
std::string formatShownValue(bool isReal, double realValue, std::complex<double> value, const DisplayFormat& format);
// The result lines in FORMAT; the described format gives formatResultLines.
ResultLines formatResultLines(std::optional<double> real, std::complex<double> value, const DisplayFormat& format);

// ---- Texts for the clipboard ----------------------------------------------
// Every digit a double has: the shortest text that reads back to the same
// 64-bit number in an expression ("0.1", "-2.5e-07", "-0"); infinities as
// "Infinity" and "-Infinity", NaN as "NaN".
std::string formatRoundTrip(double x);
// "(re,im)" with both parts as formatRoundTrip writes them: it evaluates
// back to the same value, bit for bit.
std::string formatPairText(std::complex<double> z);
// "re+imi" or "re-imi", as a value is written in mathematics.
std::string formatAlgebraicText(std::complex<double> z);
// "r<θ": the magnitude at its angle in degrees, in the expression syntax;
// it evaluates back to the same value within rounding.
std::string formatPolarText(std::complex<double> z);

// A number as JSON text with 17 significant digits, so that it reads back to
// the same double; non-finite values as the strings "inf", "-inf", "nan".
std::string formatJsonNumber(double x);
