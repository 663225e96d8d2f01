// Result formatting for the main window and tallyon-calc.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
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

namespace {

// The clipboard texts paste back into an expression: the exact forms give
// the very same bits, the polar form the same value within rounding.
using ClipboardTextTest = EngineTest;

TEST_F(ClipboardTextTest, CopiedTextsEvaluateBackToTheValue) {
    std::vector<std::complex<double>> values = {
        {11, -2}, {0.1, 0}, {1.0 / 3, -2.0 / 3}, {1e-300, 4.9e-324}, {-1.7976931348623157e308, 0},
        {-0.0, 5}, {3.5355339059327378, 3.5355339059327373}, {0, -1}, {-7, 0.25}};
    std::mt19937_64 random(1210);
    std::uniform_real_distribution<double> exponent(-300, 300);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    for (int i = 0; i < 500; ++i) {
        values.push_back({mantissa(random) * std::pow(10.0, exponent(random)),
                          mantissa(random) * std::pow(10.0, exponent(random))});
    }
    auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (const std::complex<double> z : values) {
        SCOPED_TRACE(formatPairText(z));
        XVALUE v;
        ASSERT_TRUE(XNUMBEREXGET(formatPairText(z), v));
        EXPECT_TRUE(same(v.value.real(), z.real()));
        EXPECT_TRUE(same(v.value.imag(), z.imag()));
        ASSERT_TRUE(XNUMBEREXGET(formatRoundTrip(z.imag()), v));
        EXPECT_TRUE(same(v.realValue, z.imag()));
        // Polar: within rounding, a few units of the last place of the
        // magnitude (the angle in degrees is rounded twice on its way).
        const std::string polar = formatPolarText(z);
        if (polar.size() > 64) continue;  // no expression holds it
        ASSERT_TRUE(XNUMBEREXGET(polar, v)) << polar;
        const double scale = std::abs(z);
        EXPECT_NEAR(v.value.real(), z.real(), 1e-15 * scale) << polar;
        EXPECT_NEAR(v.value.imag(), z.imag(), 1e-15 * scale) << polar;
    }
    EXPECT_TRUE(presenter.reports.empty());
}

TEST(ClipboardText, Forms) {
    struct Row {
        std::complex<double> z;
        const char* pair;
        const char* algebraic;
        const char* polar;
    } rows[] = {
        {{11, -2}, "(11,-2)", "11-2i", "11.180339887498949<-10.304846468766033"},
        {{0.1, 0}, "(0.1,0)", "0.1+0i", "0.1<0"},
        {{0, 10}, "(0,10)", "0+10i", "10<90"},
        {{-2.5e-7, 1e20}, "(-2.5e-07,1e+20)", "-2.5e-07+1e+20i", "1e+20<90"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(formatPairText(r.z), r.pair);
        EXPECT_EQ(formatAlgebraicText(r.z), r.algebraic);
        EXPECT_EQ(formatPolarText(r.z), r.polar);
    }
    EXPECT_EQ(formatRoundTrip(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(formatRoundTrip(0.1 + 0.2), "0.30000000000000004");
}

}  // namespace
