// Any byte string gives a result or exactly one error report, never an
// internal-fault notice; parameter files of any content are read line by
// line. The inputs are generated from fixed seeds, so a failure repeats.
#include <cstdint>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "EngineTestSupport.h"

namespace {

class BadInputTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        defineSampleParameters();
        clearRecords();
    }

    // Checks the rule for one input and says which input broke it.
    void check(const std::string& text) {
        clearRecords();
        XVALUE v;
        const bool ok = XNUMBEREXGET(text, v);
        ASSERT_TRUE(notices.notices.empty()) << "internal fault \"" << notices.notices[0].text << "\" for ["
                                             << text << "]";
        ASSERT_EQ(presenter.reports.size(), ok ? 0u : 1u) << "for [" << text << "]";
        if (ok) return;
        const ExpressionErrorReport& e = presenter.reports[0];
        ASSERT_FALSE(e.message.empty()) << text;
        ASSERT_GE(e.first, -2) << text;
        ASSERT_LE(e.first, 64) << text;
        ASSERT_LE(e.last, 64) << text;
        ASSERT_LE(e.display.size(), 64u) << text;
        ASSERT_LE(e.marker.size(), 64u) << text;
        for (char c : e.display) ASSERT_GE(static_cast<unsigned char>(c), 32) << text;
    }
};

TEST_F(BadInputTest, RandomExpressionsFromTheLanguagesPieces) {
    const char* pieces[] = {
        "1",    "2",    "0",     "X",     "Y",     "IN",    "E",     "D",    "5",     "E5",    ".",
        "+",    "-",    "*",     "/",     "^",     "**",    "<",     ",",    "(",     ")",     "[",
        "}",    " ",    "  ",    "#SIN",  "#MAX",  "#IF",   "#ATAN2", "#SQRT", "#LN",  "#MOD",  "(1,2)",
        "#",    "\t",   "1E300", "#ABS(", "#Q",    "=",     "\xE9",  "_A",   "E+",    "0.5",  "))",
    };
    std::mt19937 random(20240611);
    for (int i = 0; i < 30000; ++i) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 14);
        for (int k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
        check(text);
        if (HasFatalFailure()) return;
    }
}

TEST_F(BadInputTest, RandomBytes) {
    std::mt19937 random(7);
    for (int i = 0; i < 5000; ++i) {
        std::string text(random() % 80, '\0');
        for (char& c : text) c = static_cast<char>(random() % 256);
        check(text);
        if (HasFatalFailure()) return;
    }
}

TEST_F(BadInputTest, ExtremeLines) {
    const std::string rows[] = {
        std::string(100000, '1'),
        std::string(100000, ' ') + "1+1",
        std::string(100000, '\0'),
        std::string(1, '\0') + "2",
        std::string(32, '(') + std::string(32, ')'),
        std::string(63, '-') + "1",
        "#MAX(#MAX(#MAX(#MAX(#MAX(#MAX(#MAX(1,2),3),4),5),6),7),8)",
        "1E999999999999",
        "(((((((((((((((((((((((((((((((1)))))))))))))))))))))))))))))))",
    };
    for (const std::string& text : rows) {
        check(text);
        if (HasFatalFailure()) return;
    }
}

TEST_F(BadInputTest, RandomParameterFiles) {
    std::mt19937 random(99);
    const char* pieces[] = {"=", "!", "*", "\r", "\n", "\r\n", " ", "A", "b", "1", "+", "(", "\0", "\xFF", "#LN"};
    for (int i = 0; i < 300; ++i) {
        std::string file;
        const int count = static_cast<int>(random() % 400);
        for (int k = 0; k < count; ++k) {
            const char* p = pieces[random() % std::size(pieces)];
            file += *p == '\0' ? std::string(1, '\0') : std::string(p);
        }
        std::istringstream in(file);
        const int before = XPARAMCOUNT();
        XPARAMREAD(in, true);
        for (const Notice& n : notices.notices) ASSERT_EQ(n.kind, "warn") << n.text;
        ASSERT_LE(XPARAMCOUNT(), before + count);
    }
    // What is in the table can be written and evaluated again.
    std::ostringstream out;
    XPARAMWRITE(out);
    XPARAMQUIET(true);
    XPARAMUPDATE();
    for (const Notice& n : notices.notices) ASSERT_EQ(n.kind, "warn") << n.text;
}

}  // namespace
