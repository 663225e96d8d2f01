// Where the fast path stands: the lines it takes give what the long way
// gives, bit for bit; the lines whose rules are not plain, and every line
// with a fault, are left to the long way; and a report that follows a line
// it took shows its own line.
#include <complex>
#include <string>

#include "EngineTestSupport.h"
#include "FastPathComparison.h"

namespace {

class FastPathTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        defineSampleParameters();  // X = 3, Y = (1,2), IN = 2.54 factor-only
        ASSERT_TRUE(XPARAMNEW("Z", "0", ""));
        ASSERT_TRUE(XPARAMNEW("EX", "7", ""));
        ASSERT_TRUE(XPARAMNEW("BAD", "1/0", ""));  // stored, without a value
        clearRecords();
    }

    struct Row {
        const char* what;
        std::string line;
    };
    // Each row's line must (or must not) take the fast path; either way the
    // fast path reports nothing, and a line it takes matches the long way.
    void expectTaken(const std::vector<Row>& rows, bool taken) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.what) + ": [" + r.line + "]");
            FastPathComparison fast(engine(), presenter, notices);
            EXPECT_EQ(fast.compare(r.line), "");
            EXPECT_EQ(fast.taken, taken ? 1 : 0);
        }
    }
};

TEST_F(FastPathTest, TakesPlainLinesAndGivesTheLongWaysBits) {
    expectTaken({
        {"products before sums", "1+2*3-4/5"},
        {"powers left to right", "2^3^2"},
        {"unary minus before a power", "-2^2"},
        {"a signed exponent", "2^-1"},
        {"** is a power", "2**-3*2"},
        {"polar takes whole sides", "2+3<45"},
        {"polar right to left", "1<2<3"},
        {"pairs multiply", "(3,4)*(1,-2)"},
        {"pair of whole expressions", "(1<90,X-1)"},
        {"complex parameter", "Y*Y-Y/(X,1)"},
        {"factor-only parameter after *", "2*IN"},
        {"factor-only parameter implied", "2IN^2"},
        {"two signs make a binary minus", "2+-3"},
        {"two minus signs make a plus", "2--X"},
        {"two signs at the start", "--X"},
        {"a signed pair inside a bracket", "(-+3)"},
        {"unary plus vanishes", "2*+3"},
        {"implied products", "2X(X)#SIN(X)(1)"},
        {"implied before a point", "X.5"},
        {"a name after a number", "2EX"},
        {"exponent then a name", "2E5X"},
        {"number forms", "1.5E+2+5.E3-.5+2.5d-1"},
        {"four arguments", "#MAX(1,5,3,-2)"},
        {"#IF chooses a complex value", "#IF(-1,(1,2),3)"},
        {"functions of functions", "#ATAN2(#SIN(X),#COS(2))+#LN(#EXP(-X/2))"},
        {"lower case and a blank before the bracket", "#sqrt (x)*ex"},
        {"square and curly brackets", "[1+2]*{3}"},
        {"blanks beside operators and brackets", " 1 + ( 2 ) ^ 3 "},
        {"overflow to infinity is a value", "1E308*10"},
        {"a nearly real result is real", "(1000,1E-9)"},
        {"64 characters after one implied product", std::string(60, '1') + "(1)"},
    },
                true);
}

TEST_F(FastPathTest, LeavesEveryOtherLineToTheLongWay) {
    expectTaken({
        {"empty", "   "},
        {"65 characters", std::string(65, '1')},
        {"one implied product too many", std::string(61, '1') + "(1)"},
        {"a blank between operands", "2 X"},
        {"a blank inside a number", "1 000"},
        {"a blank after an exponent letter", "2E 5"},
        {"factor-only after a binary sign", "X+IN"},
        {"factor-only after a unary minus", "-IN"},
        {"a mantissa to supply", "E5"},
        {"a leading slash", "/X"},
        {"star slash", "X*/Y"},
        {"division by zero", "1/0"},
        {"log of zero", "#LN(0)"},
        {"a complex argument", "#SIN(Y)"},
        {"too few arguments", "#MAX(1)"},
        {"five arguments", "#MAX(1,2,3,4,5)"},
        {"a spurious comma in a bracket", "(1,2,3)"},
        {"a spurious comma outside", "1,2"},
        {"an unknown name", "Q+1"},
        {"a parameter without a value", "BAD"},
        {"an unknown function", "#FOO(1)"},
        {"a function without its bracket", "#SIN X"},
        {"no number", "1E308*10-1E308*10"},
        {"three stars", "2***3"},
        {"three operators", "2*--3"},
        {"two points", "1.2.3"},
        {"exponent digits missing", "2E"},
        {"an illegal character", "X=1"},
        {"unbalanced", "(1+2"},
        {"an empty bracket", "()"},
    },
                false);
}

TEST_F(FastPathTest, RealOnlyLeavesComplexResultsToTheLongWay) {
    XNUMBERREALONLY(true);
    expectTaken({{"complex", "(1,2)"}, {"complex parameter", "Y"}}, false);
    expectTaken({{"real", "(1,0)"}, {"nearly real", "(1000,1E-9)"}}, true);
}

// A line the fast path took leaves no working form behind, so the report
// of the next line must be built from that line alone.
TEST_F(FastPathTest, AReportAfterATakenLineShowsItsOwnLine) {
    std::complex<double> c;
    ASSERT_TRUE(XNUMBEREX_C8("1+2+3+4+5+6+7+8+9", c));
    EXPECT_FALSE(XNUMBEREX_C8("1E308*10-1E308*10", c));
    ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(e.message, "Result is not a number");
    EXPECT_EQ(e.display, "1E308*10-1E308*10");
    EXPECT_EQ(e.marker, std::string(17, '^'));

    clearRecords();
    XNUMBERREALONLY(true);
    double x = 0;
    ASSERT_TRUE(XNUMBEREX_R8("1+2+3+4+5+6+7+8+9", x));
    EXPECT_FALSE(XNUMBEREX_R8("(1,2)", x));
    e = onlyReport();
    EXPECT_EQ(e.display, "(1,2)");
    EXPECT_EQ(e.marker, "^^^^^");
}

// A parameter's own expression goes the fast way too, seeing only the
// entries before it.
TEST_F(FastPathTest, ParameterExpressionsSeeOnlyEarlierEntries) {
    ASSERT_TRUE(XPARAMNEW("W", "X*2", ""));
    XVALUE v;
    ASSERT_TRUE(XPARAMGET(XPARAMCOUNT(), v));
    EXPECT_EQ(v.realValue, 6);
    ASSERT_TRUE(XPARAMNEW("V", "V2+1", ""));
    clearRecords();
    EXPECT_FALSE(XPARAMGET(XPARAMCOUNT(), v, true));  // V2 is no entry before it
    expectOnlyReport("Parameter used before being defined", 1, 2);
}

}  // namespace
