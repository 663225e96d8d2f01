// The engine's PXNCRANK against the literal one of EvaluateReference.h: on
// decoded forms of many generated expressions, and on token arrays made up
// at random, both must end with the same status, the same reports and
// notices, the same ranks and the same operand table, bit for bit.
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "EvaluateReference.h"
#include "FastPathComparison.h"

namespace {

struct Outcome {
    int status = 0;
    std::vector<int> ranks;
    std::vector<XVALUE> operands;
    std::vector<std::string> reports;
    std::vector<std::string> notices;
};

class EvaluateEquivalenceTest : public EngineInstanceTest {
protected:
    void SetUp() override {
        EngineInstanceTest::SetUp();
        defineSampleParameters();
        ASSERT_TRUE(define("Z", "0"));
        clearRecords();
    }

    // Runs one reduction on the token arrays as they stand and records it.
    template <typename Reduce>
    Outcome run(int count, int operandCount, Reduce reduce) {
        clearRecords();
        EngineState& s = engine();
        auto span = [count](std::array<int, kFieldLength + 1>& a) {
            return std::span<int>(a.data() + 1, static_cast<std::size_t>(count));
        };
        Outcome o;
        o.status = reduce(s, count, span(s.rank), span(s.code), span(s.tokenPos));
        o.ranks.assign(s.rank.begin() + 1, s.rank.begin() + 1 + count);
        o.operands.assign(s.operands.begin() + 1, s.operands.begin() + 1 + operandCount);
        for (const auto& r : presenter.reports) {
            o.reports.push_back(r.message + " " + std::to_string(r.first) + " " + std::to_string(r.last));
        }
        for (const auto& n : notices.notices) o.notices.push_back(n.text);
        return o;
    }

    // Both reductions from the same starting arrays; the first difference.
    std::string compareFromHere(int count, int operandCount) {
        EngineState& s = engine();
        const auto rank = s.rank, code = s.code, positions = s.tokenPos;
        const auto operands = s.operands;
        const Outcome ref = run(count, operandCount, [](EngineState& e, int c, std::span<int> r, std::span<int> k, std::span<int> p) {
            return evalref::crank(e, c, r, k, p);
        });
        s.rank = rank;
        s.code = code;
        s.tokenPos = positions;
        s.operands = operands;
        const Outcome ours = run(count, operandCount, [](EngineState& e, int c, std::span<int> r, std::span<int> k, std::span<int> p) {
            return PXNCRANK(e, c, r, k, p);
        });
        if (ours.status != ref.status) return "status";
        if (ours.ranks != ref.ranks) return "ranks";
        if (ours.reports != ref.reports) return "reports";
        if (ours.notices != ref.notices) return "notices";
        for (int i = 0; i < operandCount; ++i) {
            if (!sameBits(ours.operands[static_cast<std::size_t>(i)], ref.operands[static_cast<std::size_t>(i)])) {
                const XVALUE& a = ours.operands[static_cast<std::size_t>(i)];
                const XVALUE& b = ref.operands[static_cast<std::size_t>(i)];
                return "operand " + std::to_string(i + 1) + ": (" + std::to_string(a.value.real()) + "," +
                       std::to_string(a.value.imag()) + ") " + std::to_string(a.realValue) + " " +
                       std::to_string(a.isReal) + " vs (" + std::to_string(b.value.real()) + "," +
                       std::to_string(b.value.imag()) + ") " + std::to_string(b.realValue) + " " +
                       std::to_string(b.isReal);
            }
        }
        return {};
    }
};

// An expression drawn from the grammar: operands, operators, brackets,
// pairs, polar values and function calls nested to a few levels.
std::string generate(std::mt19937& random, int depth) {
    const char* operands[] = {"1", "2", "0", "X", "Y", "IN", "Z", "0.5", "1E3", "3", "45", "2.5D-1"};
    const char* operators[] = {"+", "-", "*", "/", "^", "<", "-", "*"};
    const char* functions[] = {"#SIN(", "#MAX(", "#IF(", "#ATAN2(", "#SQRT(", "#LN(", "#ABS(", "#CMPLX(", "#MOD("};
    auto term = [&]() -> std::string {
        const unsigned pick = depth > 3 ? 0 : random() % 8;
        switch (pick) {
        case 1: return "(" + generate(random, depth + 1) + ")";
        case 2: return "-" + generate(random, depth + 1);
        case 3: return "(" + generate(random, depth + 1) + "," + generate(random, depth + 1) + ")";
        case 4: {
            std::string call = functions[random() % std::size(functions)];
            const unsigned args = 1 + random() % 3;
            for (unsigned a = 0; a < args; ++a) call += (a ? "," : "") + generate(random, depth + 1);
            return call + ")";
        }
        default: return operands[random() % std::size(operands)];
        }
    };
    std::string e = term();
    const unsigned more = random() % 4;
    for (unsigned i = 0; i < more; ++i) e += operators[random() % std::size(operators)] + term();
    return e;
}

TEST_F(EvaluateEquivalenceTest, DecodedFormsOfGeneratedExpressions) {
    const char* pieces[] = {
        "1",     "2",     "0",     "X",     "Y",     "IN",   "Z",    "0.5",  "1E3",   "3",     "+",    "-",
        "*",     "/",     "^",     "<",     ",",     "(",    ")",    "(",    ")",     "#SIN(", "#MAX(", "#IF(",
        "#ATAN2(", "#SQRT(", "#LN(",  "#ABS(", "#CMPLX(", "#MOD(", "(1,2)", "-",  "2",    "45",  "X",    "/",
    };
    std::mt19937 random(1234);
    int evaluated = 0;
    FastPathComparison fast(engine(), presenter, notices);
    for (int i = 0; i < 40000; ++i) {
        std::string line;
        if (i % 2 == 0) {
            line = generate(random, 0);
        } else {
            const int count = 1 + static_cast<int>(random() % 16);
            for (int k = 0; k < count; ++k) line += pieces[random() % std::size(pieces)];
        }
        const std::string fastDifference = fast.compare(line);
        ASSERT_TRUE(fastDifference.empty()) << "expression [" << line << "]: " << fastDifference;
        EngineState& s = engine();
        s.searchLimit = s.paramCount;
        if (PXNPREP(s, line) != 0) continue;
        if (decodeTokens(s) != 0) continue;
        ++evaluated;
        const std::string difference = compareFromHere(s.tokenCount, s.operandCount);
        ASSERT_TRUE(difference.empty()) << "expression [" << line << "]: " << difference;
    }
    // Enough of them got as far as the reduction to make the check worth it,
    // and enough took the fast path to make its comparison worth it.
    EXPECT_GT(evaluated, 8000);
    fast.print("generated expressions");
    EXPECT_GT(fast.taken, 6000);
}

// Token arrays no decoder would make: ranks and codes drawn at random over
// a few operands, with brackets, commas and function tokens in any order.
TEST_F(EvaluateEquivalenceTest, TokenArraysMadeUpAtRandom) {
    const int ranks[] = {-1, -2, -3, -4, -5, 0, 0, 4, 5, 10, 20, 20, 30, 30, 50, 60, 70, 80, 90, 200, 200, 300};
    std::mt19937 random(77);
    for (int i = 0; i < 30000; ++i) {
        EngineState& s = engine();
        const int count = 1 + static_cast<int>(random() % 14);
        for (int k = 1; k <= count; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            s.rank[kk] = ranks[random() % std::size(ranks)];
            s.code[kk] = s.rank[kk] == 90 ? 1 + static_cast<int>(random() % kFunctionCount)
                                          : static_cast<int>(random() % 5);
            s.tokenPos[kk] = k;
        }
        for (int j = 1; j <= 5; ++j) {
            XVALUE& v = s.operands[static_cast<std::size_t>(j)];
            const double re = static_cast<double>(static_cast<int>(random() % 9) - 4);
            const bool real = random() % 3 != 0;
            v.value = {re, real ? 0.0 : static_cast<double>(random() % 3)};
            v.realValue = re;
            v.isReal = real;
        }
        s.n = count;
        for (int k = 1; k <= count; ++k) s.pos[static_cast<std::size_t>(k)] = k;
        const std::string difference = compareFromHere(count, 5);
        ASSERT_TRUE(difference.empty()) << "case " << i << ": " << difference;
    }
}

}  // namespace
