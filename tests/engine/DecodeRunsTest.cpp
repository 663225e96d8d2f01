// The decoder counts the runs of "N" and "L" and finds function names
// without "(" by looking at the class string several codes at a time. On
// class strings made up at random over all 64 positions (including what
// stands past the working length) it must count and report as a plain walk
// over the string does.
#include <random>
#include <string>

#include "EngineTestSupport.h"

namespace {

struct Expected {
    int runs = 0;             // runs of "N" plus runs of "L" in positions 1..64
    int badFirst = 0;         // first run of "F" without "(" after it
    int badLast = 0;
};

Expected walk(const EngineState& s) {
    Expected e;
    char previous = '\0';
    int first = 0;
    for (int k = 1; k <= kFieldLength; ++k) {
        const char c = s.cls[static_cast<std::size_t>(k)];
        if (c != previous && (c == 'N' || c == 'L')) ++e.runs;
        if (c == 'F' && previous != 'F') first = k;
        const char next = k < kFieldLength ? s.cls[static_cast<std::size_t>(k + 1)] : '\0';
        if (c == 'F' && next != 'F' && next != '(' && e.badFirst == 0) {
            e.badFirst = first;
            e.badLast = k;
        }
        previous = c;
    }
    return e;
}

class DecodeRunsTest : public EngineTest {};

TEST_F(DecodeRunsTest, CountsAndMissingBracketsAsAPlainWalk) {
    ASSERT_TRUE(XPARAMNEW("L", "2", ""));
    const std::string codes = "NNLLFF(( )+X*";
    std::mt19937 random(8);
    int decoded = 0;
    for (int i = 0; i < 20000; ++i) {
        clearRecords();
        EngineState& s = defaultEngine();
        s.n = 1 + static_cast<int>(random() % kFieldLength);
        const bool cleanTail = random() % 3 != 0;
        for (int k = 1; k <= kFieldLength; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            char c = codes[random() % codes.size()];
            if (k > s.n && cleanTail) c = random() % 2 ? ' ' : 'X';
            s.cls[kk] = c;
            // Text that decodes: digits for numbers, the parameter's name
            // for names, a function's name for a run of "F".
            s.text[kk] = c == 'N' ? '1' : c == 'L' ? 'L' : c;
            s.pos[kk] = k <= s.n ? k : 0;
        }
        for (int k = 1; k <= kFieldLength; ++k) {
            if (s.cls[static_cast<std::size_t>(k)] != 'F') continue;
            const char* name = "#LN";
            s.text[static_cast<std::size_t>(k)] = '#';
            for (int j = 1; j < 3 && k + j <= kFieldLength && s.cls[static_cast<std::size_t>(k + j)] == 'F'; ++j) {
                s.text[static_cast<std::size_t>(k + j)] = name[j];
            }
            while (k <= kFieldLength && s.cls[static_cast<std::size_t>(k)] == 'F') ++k;
        }
        const Expected e = walk(s);
        s.searchLimit = 1;
        const int status = decodeTokens(s);

        const std::string what = "class string [" + std::string(s.cls.data() + 1, kFieldLength) + "] n " +
                                 std::to_string(s.n);
        if (e.runs == 0) {
            ASSERT_EQ(status, 1) << what;
            ASSERT_EQ(presenter.reports.size(), 1u) << what;
            EXPECT_EQ(presenter.reports[0].message, "No numbers, parameters or functions") << what;
            EXPECT_EQ(presenter.reports[0].first, 1) << what;
            EXPECT_EQ(presenter.reports[0].last, s.pos[static_cast<std::size_t>(s.n)]) << what;
        } else if (e.badFirst != 0) {
            ASSERT_EQ(status, 1) << what;
            ASSERT_EQ(presenter.reports.size(), 1u) << what;
            EXPECT_EQ(presenter.reports[0].message, "Function arguments missing") << what;
            EXPECT_EQ(presenter.reports[0].first, s.sourceColumn(e.badFirst)) << what;
            EXPECT_EQ(presenter.reports[0].last, s.sourceColumn(e.badLast + 1)) << what;
        } else {
            for (const auto& r : presenter.reports) {
                EXPECT_NE(r.message, "No numbers, parameters or functions") << what;
                EXPECT_NE(r.message, "Function arguments missing") << what;
            }
            if (status == 0) {
                ++decoded;
                EXPECT_EQ(s.operandCount, e.runs) << what;
            }
        }
        ASSERT_FALSE(HasFailure());
    }
    EXPECT_GT(decoded, 100);
}

}  // namespace
