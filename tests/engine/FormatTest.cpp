// Result formatting for the main window and tallyon-calc.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "Format.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FormatResultNumber, FixedWhereItFitsExponentElsewhere) {
    struct Row {
        double x;
        const char* text;
    } rows[] = {
        {14, "    14.0000000"},
        {0, "     0.0000000"},
        {-0.0, "     0.0000000"},
        {-2.5, "    -2.5000000"},
        {0.1, "     0.1000000"},
        {1.0 / 3, "     0.3333333"},
        {2.0 / 3, "     0.6666667"},
        {999999.9999999, "999999.9999999"},
        {99999.99999999, "100000.0000000"},
        {-99999.99999999, "-1.0000000E+05"},
        {1e6, " 1.0000000E+06"},
        {0.05, " 5.0000000E-02"},
        {-0.0025, "-2.5000000E-03"},
        {1.4e20, " 1.4000000E+20"},
        {-1.4e20, "-1.4000000E+20"},
        {1e-300, "1.0000000E-300"},
        {-1e-300, "-1.0000000E-300"},
        {kInf, "      Infinity"},
        {-kInf, "     -Infinity"},
        {std::nan(""), "           NaN"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(formatResultNumber(r.x), r.text);
    }
}

TEST(FormatComplexResult, PartsWithoutLeadingBlanks) {
    EXPECT_EQ(formatComplexResult({1, -2}), "(1.0000000, -2.0000000)");
    EXPECT_EQ(formatComplexResult({1.4e20, 0.5}), "(1.4000000E+20, 0.5000000)");
    EXPECT_EQ(formatComplexResult({0, kInf}), "(0.0000000, Infinity)");
}

TEST(FormatJsonNumber, SeventeenDigitsReadBackExactly) {
    EXPECT_EQ(formatJsonNumber(0.1), "0.10000000000000001");
    EXPECT_EQ(formatJsonNumber(14), "14");
    EXPECT_EQ(formatJsonNumber(-2.5e-200), "-2.5e-200");  // %.17g drops trailing zeros
    EXPECT_EQ(formatJsonNumber(1.0 / 3), "0.33333333333333331");
    EXPECT_EQ(formatJsonNumber(kInf), "\"inf\"");
    EXPECT_EQ(formatJsonNumber(-kInf), "\"-inf\"");
    EXPECT_EQ(formatJsonNumber(std::nan("")), "\"nan\"");
    const double values[] = {1.0 / 3, 3.5355339059327378, 1.7976931348623157e308, 4.9e-324, -123456.789};
    for (double x : values) {
        SCOPED_TRACE(x);
        const std::string text = formatJsonNumber(x);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, x);
    }
}

}  // namespace
