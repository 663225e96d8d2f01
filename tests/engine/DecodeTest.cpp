// Decoding: the token table, operand values, name and number lookups, the
// decoder's own errors, and the helpers PNXGETOP and PXNAPRXRL.
#include <cmath>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

class DecodeTest : public EngineTest {
protected:
    // Prepares and decodes without evaluating; false when either reported.
    bool decodeOnly(std::string_view line) {
        defaultEngine().searchLimit = XPARAMCOUNT();
        if (PXNPREP(line) != 0) return false;
        return decodeTokens(defaultEngine()) == 0;
    }
    std::vector<int> tokens(const std::array<int, kFieldLength + 1>& a) const {
        return {a.begin() + 1, a.begin() + 1 + defaultEngine().tokenCount};
    }
};

TEST_F(DecodeTest, TokenTableOfTheExample) {
    ASSERT_TRUE(XPARAMNEW("A", "5", ""));
    ASSERT_TRUE(decodeOnly("2*(A+1)"));
    const EngineState& s = defaultEngine();
    EXPECT_EQ(s.tokenCount, 7);
    EXPECT_EQ(tokens(s.rank), (std::vector<int>{-1, 30, 200, -2, 20, -3, 200}));
    EXPECT_EQ(tokens(s.code), (std::vector<int>{0, 3, 0, 0, 1, 0, 0}));
    EXPECT_EQ(tokens(s.tokenPos), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(s.operandCount, 3);
    EXPECT_EQ(s.operands[1].realValue, 2);
    EXPECT_EQ(s.operands[2].realValue, 5);
    EXPECT_EQ(s.operands[3].realValue, 1);
    EXPECT_TRUE(s.operands[3].isReal);
    // Past the token count the arrays are zero.
    EXPECT_EQ(s.rank[8], 0);
}

TEST_F(DecodeTest, RanksOfTokens) {
    struct Row {
        const char* line;
        std::vector<int> ranks, codes;
    } rows[] = {
        {"2", {-1}, {0}},
        {"((1))", {200, 300, -1, 300, 200}, {0, 0, 0, 0, 0}},
        {"(1)+(2)", {200, -1, 200, 20, 200, -2, 200}, {0, 0, 0, 1, 0, 0, 0}},
        {"#MAX(1,2)<3", {90, 200, -1, 80, -2, 200, 70, -3}, {13, 0, 0, 0, 0, 0, 0, 0}},
        {"-2^3/4-5", {60, -1, 50, -2, 30, -3, 20, -4}, {0, 0, 0, 0, 4, 0, 2, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        ASSERT_TRUE(decodeOnly(r.line));
        EXPECT_EQ(tokens(defaultEngine().rank), r.ranks);
        EXPECT_EQ(tokens(defaultEngine().code), r.codes);
    }
}

TEST_F(DecodeTest, ErrorsAndTheSpansTheyMark) {
    ASSERT_TRUE(XPARAMNEW("ABCDEFGHIJKLMNOP", "1", ""));
    clearRecords();
    struct Row {
        const char* what;
        const char* line;
        const char* message;
        int first, last;
    } rows[] = {
        {"a function name alone counts no operand", "#SQRT", "No numbers, parameters or functions", 1, 5},
        {"an empty call and nothing else", "#SIN()", "No numbers, parameters or functions", 1, 6},
        {"function name at the end", "2+#SQRT", "Function arguments missing", 3, 0},
        {"function name before an operator", "#SQRT+2", "Function arguments missing", 1, 6},
        {"function name too long to match", "#SQRTX(4)", "Unrecognized function name", 1, 6},
        {"unknown function", "2*#FOO(1)", "Unrecognized function name", 3, 6},
        {"two decimal points", "2*1.2.3", "Not a legal number", 3, 7},
        {"exponent beyond float64", "1E999", "Not a legal number", 1, 5},
        {"unknown parameter", "1+X", "Parameter used before being defined", 3, 3},
        {"name longer than 16 is not cut to a known one", "ABCDEFGHIJKLMNOPQ", "Parameter used before being defined",
         1, 17},
        {"point directly before an exponent, no mantissa", ".E3", "Not a legal number", 1, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        clearRecords();
        EXPECT_FALSE(decodeOnly(r.line));
        expectOnlyReport(r.message, r.first, r.last);
    }
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(DecodeTest, FactorOnlyParameterTurnsASignIntoAFactor) {
    ASSERT_TRUE(XPARAMNEW("IN", "2.5", "", true));
    struct Row {
        const char* line;
        double value;
    } rows[] = {
        {"2+IN", 5},  {"2-IN", 5},  {"2 IN", 5},   {"2*IN", 5}, {"IN", 2.5},
        {"-IN", 2.5}, {"2*-IN", 5}, {"IN+1", 3.5}, {"-(IN)", -2.5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        bool ok = false;
        const XVALUE v = eval(r.line, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(v.realValue, r.value);
    }
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(DecodeTest, AnOperandLeftOverIsAnErrorNotAResult) {
    ASSERT_EQ(PXNPREP("1+2"), 0);
    defaultEngine().cls[2] = 'Z';  // a code without meaning leaves the two numbers unjoined
    XVALUE v;
    v.realValue = 99;
    EXPECT_EQ(PXNDECODE(v), 1);
    EXPECT_EQ(v.realValue, 99);  // not written on failure
    expectOnlyReport("Program Decode Error", 1, 3);
}

TEST_F(DecodeTest, AlmostRealResultIsMarkedReal) {
    const XVALUE tiny = eval("(1000,1E-9)");
    EXPECT_TRUE(tiny.isReal);
    EXPECT_EQ(tiny.realValue, 1000);
    EXPECT_EQ(tiny.value.imag(), 1e-9);  // the imaginary part stays
    const XVALUE visible = eval("(1000,1E-3)");
    EXPECT_FALSE(visible.isReal);
}

TEST(PNXGETOP, PicksTheLeftmostHighestAndItsNeighbours) {
    struct Row {
        const char* what;
        std::vector<int> ranks;
        OperatorPick expected;
    } rows[] = {
        {"multiply before add", {-1, 20, -2, 30, -3}, {30, 4, 3, 2, 5, 3}},
        {"equal ranks: the leftmost", {-1, 30, -2, 30, -3}, {30, 2, 1, 1, 3, 2}},
        {"consumed tokens are skipped", {-1, 0, 0, 20, 0, -4}, {20, 4, 1, 1, 6, 4}},
        {"no operator: the first operand on the right", {-4, 0, -2}, {0, 0, 0, 0, 1, 4}},
        {"operator at the start has no left operand", {60, -1}, {60, 1, 0, 0, 2, 1}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const OperatorPick p = PNXGETOP(static_cast<int>(r.ranks.size()), r.ranks);
        EXPECT_EQ(p.rank, r.expected.rank);
        EXPECT_EQ(p.position, r.expected.position);
        EXPECT_EQ(p.leftPosition, r.expected.leftPosition);
        EXPECT_EQ(p.leftOperand, r.expected.leftOperand);
        EXPECT_EQ(p.rightPosition, r.expected.rightPosition);
        EXPECT_EQ(p.rightOperand, r.expected.rightOperand);
    }
}

TEST(PXNAPRXRL, RelativeToleranceOfSinglePrecision) {
    auto value = [](double re, double im) {
        XVALUE v;
        v.value = {re, im};
        return v;
    };
    const double eps = std::ldexp(1.0, -23);
    EXPECT_TRUE(PXNAPRXRL(value(1000, 1e-9)));
    EXPECT_FALSE(PXNAPRXRL(value(1000, 1e-3)));
    EXPECT_TRUE(PXNAPRXRL(value(0, 0)));
    EXPECT_TRUE(PXNAPRXRL(value(0, -0.0)));
    EXPECT_FALSE(PXNAPRXRL(value(0, 1e-300)));
    EXPECT_TRUE(PXNAPRXRL(value(-1, eps)));
    EXPECT_FALSE(PXNAPRXRL(value(1, std::nextafter(eps, 1.0))));
    // The real value and flag are not consulted.
    XVALUE v = value(1, 1);
    v.isReal = true;
    EXPECT_FALSE(PXNAPRXRL(v));
}

}  // namespace
