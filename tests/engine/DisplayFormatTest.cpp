// The display choices: exact texts for the cases that show each rule, and
// every shown text read back through the engine over generated values, in
// every notation and number of digits, real and polar.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <string>

#include "EngineTestSupport.h"
#include "Format.h"

namespace {

using Notation = DisplayFormat::Notation;

DisplayFormat as(Notation n, int digits, bool polar = false) { return DisplayFormat{n, digits, polar}; }

TEST(DisplayFormat, TextsOfEachNotation) {
    struct Case {
        double x;
        DisplayFormat format;
        const char* shown;
    } cases[] = {
        {0.000047, as(Notation::kEngineering, 4), "47.00E-6"},
        {0.000047, as(Notation::kScientific, 4), "4.700E-5"},
        {0.000047, as(Notation::kFixed, 4), "0.00004700"},
        {0.000047, as(Notation::kShortest, 4), "4.7e-05"},
        {0.000047, as(Notation::kDescribed, 4), "4.7000000E-05"},  // the default form, whatever the digits
        {123456, as(Notation::kEngineering, 3), "123E3"},
        {1234567, as(Notation::kEngineering, 4), "1.235E6"},
        {-0.5, as(Notation::kScientific, 2), "-5.0E-1"},
        {999.96, as(Notation::kFixed, 4), "1000"},  // the rounding carries into a new digit
        {999.96, as(Notation::kEngineering, 4), "1.000E3"},
        {0.0, as(Notation::kFixed, 3), "0.00"},
        {-0.0, as(Notation::kEngineering, 3), "0.00E0"},
        {1e15, as(Notation::kFixed, 2), "1000000000000000"},
        {1e20, as(Notation::kFixed, 2), "1.0E20"},     // too long for fixed: scientific
        {1e-30, as(Notation::kFixed, 3), "1.00E-30"},
        {1.0 / 3, as(Notation::kFixed, 17), "0.33333333333333331"},
        {2.5, as(Notation::kEngineering, 1), "2E0"},  // an exact half goes to the even digit
        {std::nan(""), as(Notation::kFixed, 3), "NaN"},
        {-INFINITY, as(Notation::kEngineering, 3), "-Infinity"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(notationName(c.format.notation)) + " " + std::to_string(c.format.digits));
        EXPECT_EQ(formatNumber(c.x, c.format), c.shown) << c.x;
    }
    EXPECT_EQ(formatComplex({0, 10}, as(Notation::kShortest, 7, true)), "10<90");
    EXPECT_EQ(formatComplex({3, -4}, as(Notation::kFixed, 3, true)), "5.00<-53.1");
    EXPECT_EQ(formatComplex({3, -4}, as(Notation::kEngineering, 3)), "(3.00E0, -4.00E0)");
    EXPECT_EQ(formatComplex({3, -4}, DisplayFormat{}), formatComplexResult({3, -4}));
}

TEST(DisplayFormat, NamesOfTheNotations) {
    for (const Notation n : {Notation::kDescribed, Notation::kFixed, Notation::kScientific, Notation::kEngineering,
                             Notation::kShortest}) {
        EXPECT_EQ(notationNamed(notationName(n)), n);
    }
    EXPECT_EQ(notationNamed("engineering"), std::nullopt);
}

TEST(DisplayFormat, TheDescribedFormatIsTheResultLinesAsTheyWere) {
    for (const double x : {0.0, 14.0, 0.05, 4.7e-5, -1e300, 123456.789}) {
        const std::complex<double> z{x, -x / 3};
        const ResultLines before = formatResultLines(x, z);
        const ResultLines now = formatResultLines(x, z, DisplayFormat{});
        EXPECT_EQ(now.realValue, before.realValue);
        EXPECT_EQ(now.complexValue, before.complexValue);
    }
}

class DisplayReadBack : public EngineTest {};

// What the shown text of X (with DIGITS significant digits) may be off by
// when read back: half a unit in its last digit, and the reading's own
// rounding.
double allowance(double x, int digits) {
    if (x == 0) return 0;
    const double e = std::floor(std::log10(std::fabs(x)));
    return 0.5 * std::pow(10.0, e - digits + 1) * 1.0000001 + std::fabs(x) * 4e-16;
}

TEST_F(DisplayReadBack, EveryShownTextEvaluatesToTheShownValue) {
    std::mt19937_64 random(29);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    std::uniform_int_distribution<int> small(-12, 12);
    int checked = 0;
    for (int i = 0; i < 4000; ++i) {
        const int e = i % 2 == 0 ? small(random) : exponent(random);
        const double x = (i % 3 == 0 ? -1 : 1) * mantissa(random) * std::pow(10.0, e);
        for (const Notation n : {Notation::kFixed, Notation::kScientific, Notation::kEngineering, Notation::kShortest}) {
            const int digits = 1 + i % 17;
            const std::string text = formatNumber(x, as(n, digits));
            double back = 0;
            ASSERT_TRUE(XNUMBEREX_R8(text, back)) << text;
            if (n == Notation::kShortest) {
                ASSERT_EQ(back, x) << text;
            } else {
                ASSERT_LE(std::fabs(back - x), allowance(x, digits)) << text << " for " << x;
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 16000);
}

TEST_F(DisplayReadBack, ThePolarFormEvaluatesToTheValueWithinItsDigits) {
    std::mt19937_64 random(30);
    std::uniform_real_distribution<double> part(-1000.0, 1000.0);
    for (int i = 0; i < 3000; ++i) {
        const std::complex<double> z{part(random), part(random)};
        const int digits = 3 + i % 15;
        for (const Notation n : {Notation::kFixed, Notation::kScientific, Notation::kEngineering, Notation::kShortest}) {
            const std::string text = formatComplex(z, as(n, digits, true));
            std::complex<double> back;
            ASSERT_TRUE(XNUMBEREX_C8(text, back)) << text;
            // The magnitude and the angle each rounded to their digits.
            const double r = std::abs(z);
            const double angle = 180.0;  // the largest angle shown
            const double slack = n == Notation::kShortest
                                     ? r * 1e-13
                                     : allowance(r, digits) + r * allowance(angle, digits) * 3.14159265358979 / 180 +
                                           r * 1e-13;
            ASSERT_LE(std::abs(back - z), slack) << text << " for (" << z.real() << ", " << z.imag() << ")";
        }
    }
    // A value on the imaginary axis reads back to it.
    std::complex<double> back;
    ASSERT_TRUE(XNUMBEREX_C8(formatComplex({0, 10}, as(Notation::kShortest, 7, true)), back));
    EXPECT_NEAR(back.real(), 0, 1e-14);
    EXPECT_EQ(back.imag(), 10);
}

}  // namespace
