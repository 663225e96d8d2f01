// Results right to the last digit in both builds. The references are the
// exact values rounded to the nearest double (computed to 80 digits); a
// result may be the nearest double or its neighbour, no further. These rows
// run in the Windows build too, where they once showed the MinGW runtime's
// sine, cosine and pow (#SIN(1E22) came out as 0.4626130).
#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <string>

#include "EngineTestSupport.h"
#include "Format.h"

namespace {

// How many doubles lie between a and b (0: the same double).
std::uint64_t ulpsBetween(double a, double b) {
    if (a == b) return 0;
    if (std::isnan(a) || std::isnan(b)) return UINT64_MAX;
    // Map the bit patterns onto one monotonic line of integers.
    auto key = [](double x) {
        const auto bits = std::bit_cast<std::int64_t>(x);
        return bits < 0 ? INT64_MIN - bits : bits;
    };
    const std::int64_t ka = key(a), kb = key(b);
    return ka > kb ? static_cast<std::uint64_t>(ka - kb) : static_cast<std::uint64_t>(kb - ka);
}

using AccuracyTest = EngineTest;

TEST_F(AccuracyTest, ElementaryResultsAreRightToTheLastBit) {
    const struct Row {
        const char* expr;
        double re, im;
    } rows[] = {
        {"#SIN(1E22)", -0.8522008497671888, 0.0},
        {"#SIN(3.141592653589793)", 1.2246467991473532e-16, 0.0},
        {"#COS(1E19)", -0.37490516955071784, 0.0},
        {"#COS(1E22)", 0.523214785395139, 0.0},
        {"#SIN(1E300)", -0.8178819121159085, 0.0},
        {"#COS(1.5707963267948966)", 6.123233995736766e-17, 0.0},
        {"1.0000003^1978582108", 6.111513013556648e+257, 0.0},
        {"10^-300", 1e-300, 0.0},
        {"10^0.99999999", 9.999999769741493, 0.0},
        {"1E300^1.000000009", 1.0000062169991309e+300, 0.0},
        {"1E300^5E-9", 1.0000034538836042, 0.0},
        {"1.5^1000.5", 1.511139943175573e+176, 0.0},
        {"0.999999^1000000", 0.36787925722106646, 0.0},
        {"2^0.5", 1.4142135623730951, 0.0},
        {"#EXP(700.5)", 1.6721859620674984e+304, 0.0},
        {"#EXP(-700.5)", 5.980196118639791e-305, 0.0},
        {"#LN(1.0000001)", 9.999999505838704e-08, 0.0},
        {"#LOG(7)", 0.8450980400142568, 0.0},
        {"#ATAN2(1,3)", 0.3217505543966422, 0.0},
        {"#SQRT(2)", 1.4142135623730951, 0.0},
        {"#EXP((1,2))", -1.1312043837568135, 2.4717266720048188},
        {"#EXP((-3.5,1E10))", 0.026365928019523074, -0.014721406360257983},
        {"#LN((3,4))", 1.6094379124341003, 0.9272952180016122},
        {"#LN((0.6,0.8))", 2.2204460492503132e-17, 0.9272952180016123},
        {"#LN((1,1E-5))", 4.999999999750001e-11, 9.999999999666668e-06},
        {"#LN((0.7071067811865476,0.7071067811865476))", 6.835808657661923e-17, 0.7853981633974483},
        {"#LN((1E300,1E300))", 691.1221014884936, 0.7853981633974483},
        {"#SQRT((-3,4))", 1.0, 2.0},
        {"#SQRT((1E300,1E300))", 1.09868411346781e+150, 4.550898605622274e+149},
        {"#SQRT((-2,-0.5))", 0.17543205637629383, -1.425053124063947},
        {"(-8)^(1/3)", 1.0, 1.7320508075688772},
        {"(-8)^2.000000001", 64.00000013308427, 2.0106194688378202e-07},
        {"(-2)^2.5", 0.0, 5.656854249492381},
        {"(-1.0000003)^1978582108.5", 0.0, 6.111513930283531e+257},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expr);
        bool ok = false;
        const XVALUE v = eval(r.expr, &ok);
        ASSERT_TRUE(ok);
        EXPECT_LE(ulpsBetween(v.value.real(), r.re), 1u) << v.value.real() << " against " << r.re;
        EXPECT_LE(ulpsBetween(v.value.imag(), r.im), 1u) << v.value.imag() << " against " << r.im;
        if (v.isReal) {
            EXPECT_LE(ulpsBetween(v.realValue, r.re), 1u);
        }
        // What the user reads: the shown digits are those of the exact value.
        EXPECT_EQ(formatComplexResult(v.value), formatComplexResult({r.re, r.im}));
    }
    EXPECT_TRUE(presenter.reports.empty());
}

// The digits the user reads in the result fields for the values that the
// Windows build once showed wrong.
TEST_F(AccuracyTest, ShownDigitsOfFormerlyWrongResults) {
    const struct Row {
        const char* expr;
        const char* shown;
    } rows[] = {
        {"#SIN(1E22)", "-0.8522008"},
        {"#SIN(3.141592653589793)", "1.2246468E-16"},
        {"#COS(1E19)", "-0.3749052"},
        {"1.0000003^1978582108", "6.1115130E+257"},
        {"10^0.99999999", "9.9999998"},
        {"1E300^1.000000009", "1.0000062E+300"},
        {"1E300^5E-9", "1.0000035"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expr);
        double x = 0;
        ASSERT_TRUE(XNUMBEREX_R8(r.expr, x));
        EXPECT_EQ(formatResultValue(x), r.shown);
    }
}

}  // namespace
