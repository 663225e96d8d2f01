// The entry points: narrowing to each result kind, the real-only switch,
// and the status variants.
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <string>

#include "EngineTestSupport.h"

namespace {

using EntryPointsTest = EngineTest;

constexpr const char* kNotRealMessage =
    "Expression has non-zero imaginary part.  Pure real required.  Check for spurious comma.";

TEST_F(EntryPointsTest, ComplexResultThroughEachKind) {
    std::complex<double> c;
    EXPECT_TRUE(XNUMBEREX_C8("(1,2)", c));
    EXPECT_EQ(c, std::complex<double>(1, 2));
    double x = 0;
    EXPECT_TRUE(XNUMBEREX_R8("(1,2)", x));  // the imaginary part is dropped
    EXPECT_EQ(x, 1);
    EXPECT_TRUE(presenter.reports.empty());

    XNUMBERREALONLY(true);
    x = 7;
    EXPECT_FALSE(XNUMBEREX_R8("(1,2)", x));
    EXPECT_EQ(x, 0);
    const ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(std::string(kNotRealMessage).size(), 87u);
    EXPECT_EQ(e.message, kNotRealMessage);
    EXPECT_EQ(e.first, 1);
    EXPECT_EQ(e.last, 0);
    EXPECT_EQ(e.marker, "^^^^^");
    // C8 does not care about the switch.
    EXPECT_TRUE(XNUMBEREX_C8("(1,2)", c));
    std::int32_t n = 5;
    EXPECT_FALSE(XNUMBEREX_I4("(1,2)", n));
    EXPECT_EQ(n, 0);
    float f = 5;
    EXPECT_FALSE(XNUMBEREX_R4("(1,2)", f));
    EXPECT_EQ(f, 0);
}

TEST_F(EntryPointsTest, AlmostRealPassesTheRealOnlySwitch) {
    XNUMBERREALONLY(true);
    double x = 0;
    EXPECT_TRUE(XNUMBEREX_R8("(1000,1E-9)", x));
    EXPECT_EQ(x, 1000);
    std::complex<double> c;
    EXPECT_TRUE(XNUMBEREX_C8("(1000,1E-9)", c));
    EXPECT_EQ(c.imag(), 1e-9);
    EXPECT_TRUE(presenter.reports.empty());
}

TEST_F(EntryPointsTest, NarrowingRules) {
    struct Row {
        const char* expr;
        bool okR8, okR4, okI4, okC8, okC4;
        double r8;
        std::int32_t i4;
    } rows[] = {
        {"2.9", true, true, true, true, true, 2.9, 2},
        {"-2.9", true, true, true, true, true, -2.9, -2},
        {"2147483647", true, true, true, true, true, 2147483647.0, 2147483647},
        {"2147483648", true, true, false, true, true, 2147483648.0, 0},
        {"-2147483648", true, true, false, true, true, -2147483648.0, 0},
        {"1E39", true, false, false, true, false, 1e39, 0},
        {"1E38", true, true, false, true, true, 1e38, 0},
        {"1E308*10", true, false, false, true, false, std::numeric_limits<double>::infinity(), 0},
        {"1E308*10-1E308*10", false, false, false, false, false, 0, 0},
        {"1/0", false, false, false, false, false, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.expr);
        double r8 = 9;
        float r4 = 9;
        std::int32_t i4 = 9;
        std::complex<double> c8{9, 9};
        std::complex<float> c4{9, 9};
        EXPECT_EQ(XNUMBEREX_R8(r.expr, r8), r.okR8);
        EXPECT_EQ(r8, r.r8);
        EXPECT_EQ(XNUMBEREX_R4(r.expr, r4), r.okR4);
        EXPECT_EQ(r4, r.okR4 ? static_cast<float>(r.r8) : 0.0f);
        EXPECT_EQ(XNUMBEREX_I4(r.expr, i4), r.okI4);
        EXPECT_EQ(i4, r.i4);
        EXPECT_EQ(XNUMBEREX_C8(r.expr, c8), r.okC8);
        EXPECT_EQ(c8, r.okC8 ? std::complex<double>(r.r8, 0) : std::complex<double>());
        EXPECT_EQ(XNUMBEREX_C4(r.expr, c4), r.okC4);
        EXPECT_EQ(c4, r.okC4 ? std::complex<float>(static_cast<float>(r.r8), 0) : std::complex<float>());
    }
    // 1/0 and the value that is no number are reported, once per call; the
    // range checks are silent.
    EXPECT_EQ(presenter.reports.size(), 10u);
}

// A value that is no number reaches the user as a report over the whole
// line, from every kind that asks for that value; silent in quiet mode,
// where the failure still stands.
TEST_F(EntryPointsTest, ResultThatIsNotANumberIsReported) {
    const char* exprs[] = {"(1E308*10)*0", "(1E308*10)-(1E308*10)", "#INT(1E308*10-1E308*10)"};
    for (const char* e : exprs) {
        SCOPED_TRACE(e);
        const int length = static_cast<int>(std::string(e).size());
        clearRecords();
        std::complex<double> c{9, 9};
        EXPECT_FALSE(XNUMBEREX_C8(e, c));
        EXPECT_EQ(c, std::complex<double>());
        expectOnlyReport("Result is not a number", 1, length);
        EXPECT_EQ(onlyReport().marker, std::string(static_cast<std::size_t>(length), '^'));
        clearRecords();
        double x = 9;
        EXPECT_FALSE(XNUMBEREX_R8(e, x));
        EXPECT_EQ(x, 0);
        expectOnlyReport("Result is not a number", 1, length);
        clearRecords();
        XPARAMQUIET(true);
        EXPECT_FALSE(XNUMBEREX_C8(e, c));
        EXPECT_FALSE(XNUMBEREX_R8(e, x));
        XPARAMQUIET(false);
        EXPECT_TRUE(presenter.reports.empty());
    }
    EXPECT_TRUE(notices.notices.empty());
}

// An operand that is no number never vanishes into a sound-looking result
// (0^NaN would be 0, the real part of (2,NaN) would be 2): the operation
// that meets it reports it, over its own columns, for every kind of value.
TEST_F(EntryPointsTest, AnOperandThatIsNotANumberIsReportedWhereItIsMet) {
    const struct Row {
        const char* expr;
        int first, last;
    } rows[] = {
        {"0^(1E308*10-1E308*10)", 2, 2},
        {"(1E308*10-1E308*10)^0", 20, 20},
        {"(1E308*10-1E308*10)+1", 20, 20},
        {"2*(1E308*10-1E308*10)", 2, 2},
        {"0/(1E308*10-1E308*10)", 2, 2},
        {"-(1E308*10-1E308*10)", 1, 1},
        {"(1E308*10-1E308*10)<0", 20, 20},
        {"(2,1E308*10-1E308*10)", 3, 3},
        {"#REAL((1,1E308*10-1E308*10))", 9, 9},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expr);
        clearRecords();
        std::complex<double> c{9, 9};
        EXPECT_FALSE(XNUMBEREX_C8(r.expr, c));
        EXPECT_EQ(c, std::complex<double>());
        expectOnlyReport("Result is not a number", r.first, r.last);
        clearRecords();
        double x = 9;
        EXPECT_FALSE(XNUMBEREX_R8(r.expr, x));
        EXPECT_EQ(x, 0);
        expectOnlyReport("Result is not a number", r.first, r.last);
    }
}

// Infinity is a value like any other: on the real axis it stays there
// (infinity times 2 is infinity + 0i, not a NaN imaginary part), and a value
// with an infinite imaginary part is never taken as real.
TEST_F(EntryPointsTest, InfinitiesKeepTheirAxis) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct Row {
        const char* expr;
        double re, im;
        bool isReal;
    } rows[] = {
        {"1E308*10*2", inf, 0, true},
        {"(1E308*10)^2", inf, 0, true},
        {"(1E308*10)/2", inf, 0, true},
        {"(1E308*10)*2+1", inf, 0, true},
        {"1E308*10<0", inf, 0, true},
        {"1E308*10<90", 0, inf, false},
        {"#EXP((1000,1))", inf, inf, false},
        {"(1,1E308*10)", 1, inf, false},
        {"1E308*10*(1,1)", inf, inf, false},
        {"(1E308*10,1E308*10)", inf, inf, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expr);
        clearRecords();
        XVALUE v;
        ASSERT_TRUE(XNUMBEREXGET(r.expr, v));
        EXPECT_EQ(v.value, std::complex<double>(r.re, r.im));
        EXPECT_EQ(v.isReal, r.isReal);
        std::complex<double> c;
        EXPECT_TRUE(XNUMBEREX_C8(r.expr, c));
        EXPECT_EQ(c, std::complex<double>(r.re, r.im));
        // Where real is required, a value that has no real one is refused.
        XNUMBERREALONLY(true);
        double x = 0;
        EXPECT_EQ(XNUMBEREX_R8(r.expr, x), r.isReal);
        XNUMBERREALONLY(false);
        EXPECT_EQ(x, r.isReal ? r.re : 0.0);
        EXPECT_TRUE(notices.notices.empty());
    }
}

// A parameter whose value is no number fails as any faulty one does: its
// valid flag drops, the report is shown unless quiet, and no later
// expression inherits the NaN.
TEST_F(EntryPointsTest, ParameterThatIsNotANumberFails) {
    EXPECT_TRUE(XPARAMNEW("N", "(1E308*10)*0", ""));  // stored, as a faulty entry is
    expectOnlyReport("Result is not a number", 1, 12);
    clearRecords();
    XPARAMQUIET(true);
    EXPECT_TRUE(XPARAMNEW("M", "1E308*10-1E308*10", ""));
    XVALUE v;
    EXPECT_FALSE(XPARAMGET(2, v, true));  // re-evaluated: fails again, silently
    XPARAMQUIET(false);
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_FALSE(XPARAMGET(1, v));
    EXPECT_TRUE(XPARAMEDIT("N", "2", ""));
    EXPECT_TRUE(XPARAMGET(1, v));
}

TEST_F(EntryPointsTest, ComplexSingleFailsOnEitherPart) {
    std::complex<float> c4{9, 9};
    EXPECT_FALSE(XNUMBEREX_C4("(1,1E39)", c4));
    EXPECT_EQ(c4, std::complex<float>());
    EXPECT_TRUE(XNUMBEREX_C4("(1,2)", c4));
    EXPECT_EQ(c4, std::complex<float>(1, 2));
    EXPECT_TRUE(presenter.reports.empty());
    std::complex<double> c8{9, 9};
    EXPECT_FALSE(XNUMBEREX_C8("(1,1E308*10-1E308*10)", c8));
    EXPECT_EQ(c8, std::complex<double>());
    expectOnlyReport("Result is not a number", 3, 3);  // where the pair meets it
}

TEST_F(EntryPointsTest, StatusVariantsAndGenericNamesAgree) {
    double r8 = 0;
    float r4 = 0;
    std::int32_t i4 = 0;
    std::complex<double> c8;
    std::complex<float> c4;
    const char* good = "3*4";
    const char* bad = "3*";
    EXPECT_EQ(XNUMBEREXS_R8(good, r8), 0);
    EXPECT_EQ(XNUMBEREXS(bad, r8), 1);
    EXPECT_EQ(XNUMBEREXS_R4(good, r4), 0);
    EXPECT_EQ(XNUMBEREXS(bad, r4), 1);
    EXPECT_EQ(XNUMBEREXS_I4(good, i4), 0);
    EXPECT_EQ(XNUMBEREXS(bad, i4), 1);
    EXPECT_EQ(XNUMBEREXS_C8(good, c8), 0);
    EXPECT_EQ(XNUMBEREXS(bad, c8), 1);
    EXPECT_EQ(XNUMBEREXS_C4(good, c4), 0);
    EXPECT_EQ(XNUMBEREXS(bad, c4), 1);
    EXPECT_TRUE(XNUMBEREX(good, r8));
    EXPECT_EQ(r8, 12);
    EXPECT_TRUE(XNUMBEREX(good, r4));
    EXPECT_EQ(r4, 12.0f);
    EXPECT_TRUE(XNUMBEREX(good, i4));
    EXPECT_EQ(i4, 12);
    EXPECT_TRUE(XNUMBEREX(good, c8));
    EXPECT_EQ(c8, std::complex<double>(12, 0));
    EXPECT_TRUE(XNUMBEREX(good, c4));
    EXPECT_EQ(c4, std::complex<float>(12, 0));
    EXPECT_EQ(presenter.reports.size(), 5u);
}

TEST_F(EntryPointsTest, GetGivesTheWholeRecordAndKeepsItOnFailure) {
    XVALUE v;
    EXPECT_TRUE(XNUMBEREXGET("(3,4)", v));
    EXPECT_EQ(v.value, std::complex<double>(3, 4));
    EXPECT_FALSE(v.isReal);
    XVALUE kept;
    kept.realValue = 42;
    kept.value = {1, 2};
    EXPECT_FALSE(XNUMBEREXGET("(", kept));
    EXPECT_EQ(kept.realValue, 42);
    EXPECT_EQ(kept.value, std::complex<double>(1, 2));
}

TEST_F(EntryPointsTest, QuietSilencesReportsButNotFailures) {
    XPARAMQUIET(true);
    XNUMBERREALONLY(true);
    double x = 3;
    EXPECT_FALSE(XNUMBEREX_R8("1/0", x));
    EXPECT_FALSE(XNUMBEREX_R8("(1,2)", x));
    EXPECT_FALSE(XNUMBEREX_R8("", x));
    EXPECT_TRUE(presenter.reports.empty());
    XPARAMQUIET(false);
    EXPECT_FALSE(XNUMBEREX_R8("1/0", x));
    EXPECT_EQ(presenter.reports.size(), 1u);
}

TEST_F(EntryPointsTest, RealAndComplexKindsAgreeOnRealResults) {
    const char* exprs[] = {"2+3*4", "#SQRT(2)", "-2^0.5", "10<180", "#LN(#EXP(3))", "1 000/8"};
    for (const char* e : exprs) {
        SCOPED_TRACE(e);
        double r = 0;
        std::complex<double> c;
        ASSERT_TRUE(XNUMBEREX_R8(e, r));
        ASSERT_TRUE(XNUMBEREX_C8(e, c));
        EXPECT_NEAR(r, c.real(), 1e-15 * std::fabs(r));
    }
}

// A power of a number on the real axis has one value: the complex kind
// gives exactly the real kind's number, with no imaginary part, where a
// complex power would lose digits or overflow into a NaN.
TEST_F(EntryPointsTest, PowersOfARealBaseHaveOneValue) {
    const char* exprs[] = {"2^0.5", "1.5^1000.5", "(-3)^-5", "7^-300", "(5E200)^(-7)", "(-5E200)^7", "10^-320.5"};
    for (const char* e : exprs) {
        SCOPED_TRACE(e);
        double r = 0;
        std::complex<double> c{9, 9};
        ASSERT_TRUE(XNUMBEREX_R8(e, r));
        ASSERT_TRUE(XNUMBEREX_C8(e, c));
        EXPECT_EQ(c.real(), r);
        EXPECT_EQ(c.imag(), 0);
    }
    EXPECT_TRUE(presenter.reports.empty());
}

}  // namespace
