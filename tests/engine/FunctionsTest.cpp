// The built-in functions: results, argument checks and their messages.
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Elementary.h"
#include "EngineTestSupport.h"

namespace {

constexpr double kPi = 3.141592653589793;

class FunctionsTest : public EngineTest {
protected:
    // Evaluates `function` of the number x, written so that it reads back
    // exactly, and checks the complex value bit for bit against `expected`.
    XVALUE expectCallBits(const char* function, double x, std::complex<double> expected) {
        char text[64];
        std::snprintf(text, sizeof text, "%s(%.17g)", function, x);
        SCOPED_TRACE(text);
        bool ok = false;
        const XVALUE v = eval(text, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(v.value.real(), expected.real());
        EXPECT_EQ(v.value.imag(), expected.imag());
        return v;
    }
};

TEST_F(FunctionsTest, Results) {
    struct Row {
        const char* expr;
        double re, im;
        bool isReal;
        double tolerance = 0;  // 0: exact
    } rows[] = {
        {"#ABS((3,4))", 5, 0, true},
        {"#ABS(-2)", 2, 0, true},
        {"#ABS(1E200)", 1e200, 0, true},
        {"#ABS((1E200,1E200))", 1.4142135623730951e200, 0, true},
        {"#ATAN2(0,0)", 0, 0, true},
        {"#ATAN2D(0,0)", 0, 0, true},
        {"#ATAN2D(1,1)", 45, 0, true},
        {"#ATAN2(1,0)", kPi / 2, 0, true},
        {"#ATAN2(-0,-1)", kPi, 0, true},
        {"#ATAN2D(-0,-1)", 180, 0, true},
        {"#CMPLX(1,0)", 1, 0, true},
        {"#CMPLX(1,2)", 1, 2, false},
        {"#CONJG(2)", 2, 0, true},
        {"#CONJG((1,2))", 1, -2, false},
        {"#COS(0)", 1, 0, true},
        {"#COSD(90)", 0, 0, true},
        {"#COSD(-180)", -1, 0, true},
        {"#COSD(60)", 0.5, 0, true, 1e-15},
        {"#SIN(0)", 0, 0, true},
        {"#SIND(270)", -1, 0, true},
        {"#SIND(-90)", -1, 0, true},
        {"#SIND(450)", 1, 0, true},
        {"#EXP(0)", 1, 0, true},
        {"#EXP((0,1))", std::cos(1.0), std::sin(1.0), false, 1e-15},
        {"#IMAG((1,2))", 2, 0, true},
        {"#REAL((1,2))", 1, 0, true},
        {"#INT(-2.7)", -2, 0, true},
        {"#NINT(-2.5)", -3, 0, true},
        {"#NINT(2.5)", 3, 0, true},
        {"#INT(3E9+0.5)", 3e9, 0, true},
        {"#NINT(-4294967296.5)", -4294967297.0, 0, true},
        {"#LN(1)", 0, 0, true},
        {"#LN(0-1)", 0, kPi, false},
        {"#LN(-1)", 0, kPi, false},
        {"#LN((0,-1))", 0, -kPi / 2, false},
        {"#LOG(100)", 2, 0, true},
        {"#MAX(1,5,3)", 5, 0, true},
        {"#MAX(1,2)", 2, 0, true},
        {"#MIN(4,2,8,3)", 2, 0, true},
        {"#MOD(7,3)", 1, 0, true},
        {"#MOD(-7,3)", -1, 0, true},
        {"#MOD(7.5,2)", 1.5, 0, true},
        {"#SQRT(4)", 2, 0, true},
        {"#SQRT(-4)", 0, 2, false},
        {"#SQRT(-(4,0))", 0, 2, false},
        {"#SQRT((3,4))", 2, 1, false},
        {"#SQRT((-4,-1E-300))", 0, -2, false, 1e-15},
        {"#IF(0,1,2)", 1, 0, true},
        {"#IF(-1,1,2)", 2, 0, true},
        {"#IF(1,(1,2),3)", 1, 2, false},
        {"#if(-1,2,(3,4))", 3, 4, false},
        {"#MAX(#MIN(1,2),#ABS(-3))", 3, 0, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.expr);
        bool ok = false;
        const XVALUE v = eval(r.expr, &ok);
        ASSERT_TRUE(ok);
        if (r.tolerance == 0) {
            EXPECT_EQ(v.value.real(), r.re);
            EXPECT_EQ(v.value.imag(), r.im);
        } else {
            EXPECT_NEAR(v.value.real(), r.re, r.tolerance);
            EXPECT_NEAR(v.value.imag(), r.im, r.tolerance);
        }
        EXPECT_EQ(v.isReal, r.isReal);
        if (r.isReal && r.tolerance == 0) {
            EXPECT_EQ(v.realValue, r.re);
        }
    }
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(FunctionsTest, ArgumentErrors) {
    struct Row {
        const char* expr;
        const char* message;
        int first, last;
    } rows[] = {
        {"#LN(0)", "Cannot take log of zero", 1, 6},
        {"#LOG(0)", "Log 10 argument must be > zero", 1, 7},
        {"#LOG(-1)", "Log 10 argument must be > zero", 1, 8},
        {"#MAX(1)", "Function has too few arguments.  2 reqd.", 1, 7},
        {"2*#MAX(1)", "Function has too few arguments.  2 reqd.", 3, 9},
        {"#IF(1,2)", "Function has too few arguments.  3 reqd.", 1, 8},
        {"#MAX(1,2,3,4,5)", "Function has too many arguments", 1, 15},
        {"#ABS(1,2)", "Function has too many arguments.  1 max.", 1, 9},
        {"#MOD(7,0)", "#MOD denominator cannot be zero", 1, 9},
        // A real power too small to hold is 0 in both of its values.
        {"#LN((2.5*2.54)^-918)", "Cannot take log of zero", 1, 20},
        {"1+#SIN()", "Function has no arguments", 3, 7},
        {"#IF((1,2),1,2)", "Argument 1 is Complex where a Real is required.", 1, 14},
        {"#SIN((1,2))", "Argument 1 is Complex where a Real is required.", 1, 11},
        {"#MAX(1,(1,2))", "Argument 2 is Complex where a Real is required.", 1, 13},
    };
    for (const auto& r : rows) expectEvaluationError(r.expr, r.message, r.first, r.last);
    EXPECT_TRUE(notices.notices.empty());
}

// On the real axis the complex exponential and logarithm are the real
// ones: the complex value of #EXP(x) and #LN(x) is the real value + 0i (+
// pi i for a negative x) to the last bit, also where a library would scale
// (above 709, at the underflow end), near 1 and for -0. Just off the axis
// the complex functions continue the same values.
TEST_F(FunctionsTest, ExpOfARealIsTheRealExponentialInBothValues) {
    std::vector<double> xs = {-745.1, -744.4, -708.5, -20.5, -1e-300, -0.0, 0.0, 1e-300, 0.5, 1,
                              10,     700,    708.99, 709,   709.0000001, 709.5, 709.78};
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> anywhere(-745.0, 709.78);
    for (int i = 0; i < 2000; ++i) xs.push_back(anywhere(random));
    for (const double x : xs) {
        bool ok = false;
        char text[64];
        std::snprintf(text, sizeof text, "#EXP(%.17g)", x);
        const XVALUE v = eval(text, &ok);
        ASSERT_TRUE(ok) << text;
        EXPECT_TRUE(v.isReal) << text;
        EXPECT_EQ(v.value.real(), v.realValue) << text;
        EXPECT_EQ(v.value.imag(), 0.0) << text;
        if (x > 708.0) continue;  // beyond, e^x is taken apart off the axis
        std::snprintf(text, sizeof text, "#EXP((%.17g,1E-300))", x);
        const XVALUE near = eval(text, &ok);
        ASSERT_TRUE(ok) << text;
        EXPECT_EQ(near.value.real(), v.realValue) << text;
    }
    EXPECT_TRUE(presenter.reports.empty());
}

TEST_F(FunctionsTest, LnOfARealIsTheRealLogarithmInBothValues) {
    std::vector<double> xs = {4.9e-324, 2.2250738585072014e-308, 2.3e-308, 1e-300, 0.1,    0.4999999999999999,
                              0.5,      0.75,                    1,        1.5,    1.9999999999999998,
                              2,        7.25,                    1e300,    8.98846567431158e307, 1e308,
                              1.7976931348623157e308};
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> exponent(-320.0, 308.0);
    std::uniform_real_distribution<double> nearOne(0.25, 4.0);
    for (int i = 0; i < 2000; ++i) {
        xs.push_back(std::pow(10.0, exponent(random)));
        xs.push_back(nearOne(random));
    }
    const std::size_t positives = xs.size();
    for (std::size_t i = 0; i < positives; i += 7) xs.push_back(-xs[i]);
    for (const double x : xs) {
        char text[64];
        std::snprintf(text, sizeof text, "#LN(%.17g)", x);
        bool ok = false;
        const XVALUE v = eval(text, &ok);
        ASSERT_TRUE(ok) << text;
        EXPECT_EQ(v.isReal, x > 0) << text;
        EXPECT_EQ(v.value.imag(), x > 0 ? 0.0 : kPi) << text;
        if (x < 0) continue;
        EXPECT_EQ(v.value.real(), v.realValue) << text;
        std::snprintf(text, sizeof text, "#LN(-%.17g)", x);
        const XVALUE negative = eval(text, &ok);
        ASSERT_TRUE(ok) << text;
        EXPECT_EQ(negative.value.real(), v.realValue) << text;  // log|x| either way
    }
    EXPECT_TRUE(presenter.reports.empty());
}

// Degrees keep the digits of the angle: a small angle of either sign is
// converted as it stands (adding 360 first would throw its digits away),
// and an angle near a half or whole turn loses nothing to a rounded pi.
TEST_F(FunctionsTest, DegreesKeepTheDigitsOfTheAngle) {
    auto sinOf = [](double degrees) { return elementary::sin(degrees * kPi / 180.0); };
    auto cosOf = [](double degrees) { return elementary::cos(degrees * kPi / 180.0); };
    const double small[] = {1e-20, 0.005, 1e-9, 3.25, 44.5, 1e-300};
    for (const double d : small) {
        for (const double x : {d, -d}) {
            EXPECT_EQ(expectCallBits("#SIND", x, {sinOf(x), 0.0}).realValue, sinOf(x));
            EXPECT_EQ(expectCallBits("#COSD", x, {cosOf(x), 0.0}).realValue, cosOf(x));
        }
    }
    // Just short of a half and a whole turn: the same as the small angle
    // they stand for (these differences are exact in binary).
    const double tiny = std::ldexp(1.0, -20);
    expectCallBits("#SIND", 180.0 - tiny, {sinOf(tiny), 0.0});
    expectCallBits("#SIND", 360.0 - tiny, {-sinOf(tiny), 0.0});
    expectCallBits("#SIND", -180.0 + tiny, {-sinOf(tiny), 0.0});
    expectCallBits("#COSD", 90.0 - tiny, {sinOf(tiny), 0.0});
    expectCallBits("#COSD", -270.0 - tiny, {sinOf(tiny), 0.0});

    // Whole quarter turns of either sign are exact.
    struct Quarter {
        double degrees, sin, cos;
    } quarters[] = {
        {0, 0, 1},     {90, 1, 0},    {180, 0, -1},   {270, -1, 0},  {360, 0, 1},  {450, 1, 0},
        {-90, -1, 0},  {-180, 0, -1}, {-270, 1, 0},   {-360, 0, 1},  {-450, -1, 0}, {720, 0, 1},
    };
    for (const Quarter& q : quarters) {
        for (const XVALUE& v : {expectCallBits("#SIND", q.degrees, {q.sin, 0.0}),
                                expectCallBits("#COSD", q.degrees, {q.cos, 0.0})}) {
            // An exact zero is +0: it never tips the angle of a later result.
            if (v.realValue == 0) {
                EXPECT_FALSE(std::signbit(v.realValue)) << q.degrees;
            }
        }
    }
    EXPECT_TRUE(presenter.reports.empty());
}

// inf-inf is NaN; a function never turns it into a number of its own
// (#INT and #NINT would truncate it, #MAX and #MIN drop it, #IF choose),
// it reports it over the call, in both kinds of value.
TEST_F(FunctionsTest, AnArgumentThatIsNotANumberFailsTheCall) {
    const char* calls[] = {"#INT(1E308*10-1E308*10)", "#NINT(1E308*10-1E308*10)",  "#MAX(1,1E308*10-1E308*10)",
                           "#MAX(1E308*10-1E308*10,1)", "#MIN(1,2,3,1E308*10-1E308*10)", "#IF(1E308*10-1E308*10,1,2)",
                           "#IF(1,2,1E308*10-1E308*10)", "#ABS(1E308*10-1E308*10)"};
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        const int length = static_cast<int>(std::string(call).size());
        expectEvaluationError(call, "Result is not a number", 1, length);
        double x = 5;
        clearRecords();
        EXPECT_FALSE(XNUMBEREX_R8(call, x));
        EXPECT_EQ(x, 0);
        expectOnlyReport("Result is not a number", 1, length);
    }
}

}  // namespace
