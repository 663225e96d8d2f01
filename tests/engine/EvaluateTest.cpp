// Evaluation by operator rank: precedence, the real and complex arithmetic,
// the user errors of evaluation and the internal-fault texts.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

constexpr double kExact = 0;

struct ValueRow {
    const char* expr;
    double re, im;  // the complex value; re is also the real value when isReal
    bool isReal;
    double tolerance = kExact;  // for the complex value only
};

void expectValue(const XVALUE& v, const ValueRow& r) {
    if (r.tolerance == kExact) {
        EXPECT_EQ(v.value.real(), r.re);
        EXPECT_EQ(v.value.imag(), r.im);
    } else {
        EXPECT_NEAR(v.value.real(), r.re, r.tolerance);
        EXPECT_NEAR(v.value.imag(), r.im, r.tolerance);
    }
    EXPECT_EQ(v.isReal, r.isReal);
    if (r.isReal) {
        EXPECT_EQ(v.realValue, r.re);  // real arithmetic is exact here
    }
}

using EvaluateTest = EngineTest;

TEST_F(EvaluateTest, OperatorsAndTheirOrder) {
    const ValueRow rows[] = {
        {"2+3*4", 14, 0, true},
        {"2*3+4", 10, 0, true},
        {"8/4/2", 1, 0, true},
        {"2-3-4", -5, 0, true},
        {"2^3^2", 64, 0, true},
        {"-2^2", 4, 0, true},
        {"2^-1", 0.5, 0, true},
        {"2^0.5", 1.4142135623730951, 0, true, 1e-15},
        {"0/0", 0, 0, true},
        {"0^0", 0, 0, true},
        {"0^-1", 0, 0, true},
        {"(-8)^2", 64, 0, true},
        {"(3,4)^2", -7, 24, false},  // a product, not exp(2 log(3+4i))
        {"(1,1)^-2", 0, -0.5, false},
        {"2^2.000000001", 4.0000000027725893, 0, true},  // a real power, no longer 4
        {"2^2.0001", std::pow(2.0, 2.0001), 0, true},
        {"(3,4)", 3, 4, false},
        {"(3,0)", 3, 0, true},
        {"-(3,4)", -3, -4, false},
        {"10<90", 0, 10, false},
        {"10<0", 10, 0, true},
        {"10<-90", 0, -10, false},
        {"2+3<45", 3.5355339059327378, 3.5355339059327373, false, 1e-15},
        {"(1,1)*(1,-1)", 2, 0, true},
        {"(2,1)/(0,1)", 1, -2, false},
        {"(1,2)^2", -3, 4, false, 1e-14},
        {"(0,0)^(1,1)", 0, 0, true},
        {"2(3)", 6, 0, true},
        {"(2)(3)", 6, 0, true},
        {"(2)#SQRT(9)", 6, 0, true},
        {"2E1X", 20, 0, true},  // X is 1 below
        {"X.5", 0.5, 0, true},
        {"1E308*10", std::numeric_limits<double>::infinity(), 0, true},
        // Signed zeros never tip an angle: -8 carries -0i after the minus.
        {"(-8)^(1/3)", 1, 1.7320508075688772, false, 1e-15},
        // Scaled division agrees with the real value far from 1.
        {"1/1E200", 1e-200, 0, true},
        {"(1,1)/(1E200,1E200)", 1e-200, 0, true},
        // Angles: a small negative one keeps its digits; the quarter turns
        // of either sign are exact.
        {"10<-1E-9", 10, 10 * std::sin(-1e-9 * 3.141592653589793 / 180), true},
        {".5<-180", -0.5, 0, true},
        {"10<-270", 0, 10, false},
        {"10<180", -10, 0, true},
        {"10<270", 0, -10, false},
        // Integer powers that under- or overflow: both values agree.
        {"(5E200)^(-7)", 0, 0, true},
        {"(-2)^(-1100)", 0, 0, true},
        {"1.5^-3000", 0, 0, true},
        {"(-5E200)^7", -std::numeric_limits<double>::infinity(), 0, true},
        {"(1E200,1)^(-2)", 0, 0, true},
    };
    ASSERT_TRUE(XPARAMNEW("X", "1", ""));
    for (const ValueRow& r : rows) {
        SCOPED_TRACE(r.expr);
        bool ok = false;
        const XVALUE v = eval(r.expr, &ok);
        ASSERT_TRUE(ok);
        expectValue(v, r);
    }
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(EvaluateTest, ErrorsOfEvaluation) {
    struct Row {
        const char* expr;
        const char* message;
        int column;
    } rows[] = {
        {"1/0", "Division by zero", 2},
        {"2+(1/0)", "Division by zero", 5},
        {"1/(0,0)", "Division by zero", 2},
        {"1,2", "Spurious comma", 2},
        {"(1,2,3)", "Spurious comma", 5},
        {"#MAX(1,2),3", "Spurious comma", 10},
    };
    for (const auto& r : rows) expectEvaluationError(r.expr, r.message, r.column, r.column);
    EXPECT_TRUE(notices.notices.empty());
}

// Whole is a whole number or one off by the rounding of a few operations,
// never a number that merely lies close to one.
TEST(PXNR8ASINT, WholeOnlyUpToRounding) {
    struct Row {
        double x;
        bool integer;
        int n;
    } rows[] = {
        {3.0, true, 3},
        {0.1 * 3 * 10, true, 3},  // 3.0000000000000004
        {std::nextafter(-3.0, 0.0), true, -3},
        {-3.0 - 4 * 4.440892098500626e-16, true, -3},  // four units in the last place of 3
        {3.0 + 8 * 4.440892098500626e-16, false, 0},
        {2.000000001, false, 0},
        {-2.999999999, false, 0},
        {0.99999999, false, 0},
        {2.0001, false, 0},
        {-2.5, false, 0},
        {0.0, true, 0},
        {-0.0, true, 0},
        {1e-9, false, 0},
        {1e-300, false, 0},
        {2147483647.0, true, 2147483647},
        {2147483648.0, false, 0},
        {-2147483648.0, false, 0},
        {std::nan(""), false, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.x);
        int n = 99;
        EXPECT_EQ(PXNR8ASINT(r.x, n), r.integer);
        EXPECT_EQ(n, r.n);
    }
}

// The internal faults stay as guards for token tables that preparation can
// no longer produce; their texts are part of the interface.
TEST_F(EvaluateTest, InternalFaultsOnHandMadeTokens) {
    struct Row {
        const char* what;
        std::vector<int> ranks, codes;
        const char* text;
    } rows[] = {
        {"unary minus without operand", {60}, {0}, "Routine PXNCRANK - operation."},
        {"power without left operand", {50, -1}, {0, 0}, "Routine PXNCRANK ^ operation."},
        {"multiply without left operand", {30, -1}, {3, 0}, "Routine PXNCRANK * / operation."},
        {"unknown multiplicative code", {-1, 30, -2}, {0, 7, 0}, "Routine PXNCRANK * / logic."},
        {"add without right operand", {-1, 20}, {0, 1}, "Routine PXNCRANK + - operation."},
        {"unknown additive code", {-1, 20, -2}, {0, 9, 0}, "Routine PXNCRANK + - logic."},
        {"pair without left operand", {5, -1}, {0, 0}, "Routine PXNCRANK real,imag operation."},
        {"polar without right operand", {-1, 70}, {0, 0}, "Routine PXNCRANK < operation."},
        {"brackets of different depth", {200, -1, 300}, {0, 0, 0}, "Routine PXNCRANKparentheses matching."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        clearRecords();
        defaultEngine().operands[1].isReal = true;
        defaultEngine().operands[2].isReal = true;
        std::vector<int> ranks = r.ranks, codes = r.codes, positions(r.ranks.size(), 1);
        EXPECT_EQ(PXNCRANK(static_cast<int>(ranks.size()), ranks, codes, positions), 1);
        ASSERT_EQ(notices.notices.size(), 1u);
        EXPECT_EQ(notices.notices[0].kind, "stop");
        EXPECT_EQ(notices.notices[0].caption, "LOGIC ERROR");
        EXPECT_EQ(notices.notices[0].text, r.text);
        EXPECT_TRUE(presenter.reports.empty());
    }
    std::vector<int> ranks{30, -1}, codes{3, 0}, positions{1, 2};
    clearRecords();
    EXPECT_EQ(PXNFUNCT(2, ranks, codes, positions), 1);
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].text, "Routine PXNDECODE function processing.");
    std::vector<int> none;
    EXPECT_EQ(PXNCRANK(0, none, none, none), 0);
}

}  // namespace
