// Preparation: the working text, class string and position map it leaves,
// and every error it reports with its columns.
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

class PrepareTest : public EngineTest {
protected:
    int prepare(std::string_view line, PrepareCheckpoint stop = PrepareCheckpoint::kDone) {
        return prepareThrough(defaultEngine(), line, stop);
    }
    std::vector<int> map() const {
        const auto m = defaultEngine().positionMap();
        return {m.begin(), m.end()};
    }
};

TEST_F(PrepareTest, WorkedExampleStepByStep) {
    struct Row {
        const char* stage;
        PrepareCheckpoint stop;
        std::string text, classes;
        std::vector<int> map;
    } rows[] = {
        {"classified", PrepareCheckpoint::kClassified, "2X**2 + 3(Y-1)", "NL**N + N(L-N)", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"deletions marked", PrepareCheckpoint::kDeletionsMarked, "2X**2 + 3(Y-1)", "NL^ZNZ+ZN(L-N)", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"squeezed", PrepareCheckpoint::kSqueezed, "2X*2+3(Y-1)", "NL^N+N(L-N)", {1, 2, 3, 5, 7, 9, 10, 11, 12, 13, 14}},
        {"products implied", PrepareCheckpoint::kProductsImplied, "2*X*2+3*(Y-1)", "N*L^N+N*(L-N)", {1, 2, 2, 3, 5, 7, 9, 10, 10, 11, 12, 13, 14}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.stage);
        ASSERT_EQ(prepare("2x**2 + 3(y-1)", r.stop), 0);
        EXPECT_EQ(defaultEngine().workingText(), r.text);
        EXPECT_EQ(defaultEngine().classString(), r.classes);
        EXPECT_EQ(defaultEngine().n, static_cast<int>(r.text.size()));
        EXPECT_EQ(map(), r.map);
    }
    // Past the working length the map is cleared and the text blank.
    EXPECT_EQ(defaultEngine().pos[14], 0);
    EXPECT_EQ(defaultEngine().text[14], ' ');
    EXPECT_TRUE(presenter.reports.empty());
}

TEST_F(PrepareTest, FinalFormOfAcceptedLines) {
    struct Row {
        const char* what;
        std::string line, text, classes;
    } rows[] = {
        {"blank inside a number is dropped", "1 000", "1000", "NNNN"},
        {"blank between names multiplies", "X Y", "X Y", "L*L"},
        {"blank between number and name", "2 X", "2 X", "N*L"},
        {"tab acts as a blank", "2\tX", "2 X", "N*L"},
        {"lower case is accepted", "#sin(x)", "#SIN(X)", "FFFF(L)"},
        {"mantissa 1 before a leading exponent", "E5", "1E5", "NNN"},
        {"mantissa 1 after an operator", "2*E5", "2*1E5", "N*NNN"},
        {"leading slash means 1/", "/X", "1/X", "N/L"},
        {"*/ means *1/", "X*/Y", "X*1/Y", "L*N/L"},
        {"signed exponent", "2E+5", "2E+5", "NNNN"},
        {"D exponent", "2D-3", "2D-3", "NNNN"},
        {"point and exponent", "1.5E2", "1.5E2", "NNNNN"},
        {"EX is a name", "EX", "EX", "LL"},
        {"XE is a name", "XE", "XE", "LL"},
        {"X1E5 is a name", "X1E5", "X1E5", "LLLL"},
        {"a number then a name after an exponent", "2E5X", "2E5*X", "NNN*L"},
        {"a leading exponent then a name", "E5X", "1E5*X", "NNN*L"},
        {"minus minus is plus", "2--3", "2-3", "N+N"},
        {"plus minus is minus", "2+-3", "2-3", "N-N"},
        {"minus plus is minus", "2-+3", "2-3", "N-N"},
        {"unary minus after *", "2*-3", "2*-3", "N*UN"},
        {"unary minus after ^", "2^-3", "2^-3", "N^UN"},
        {"unary plus disappears", "+X", "X", "L"},
        {"unary minus at the start", "-X", "-X", "UL"},
        {"number before bracket", "3(X)", "3*(X)", "N*(L)"},
        {"name before bracket", "X(Y)", "X*(Y)", "L*(L)"},
        {"bracket before name", "(A)B", "(A)*B", "(L)*L"},
        {"bracket before number", "(A)2", "(A)*2", "(L)*N"},
        {"number before function", "2#SIN(X)", "2*#SIN(X)", "N*FFFF(L)"},
        {"name before function", "X#SIN(Y)", "X*#SIN(Y)", "L*FFFF(L)"},
        {"bracket before bracket", "(A)(B)", "(A)*(B)", "(L)*(L)"},
        {"bracket before function", "(A)#SIN(B)", "(A)*#SIN(B)", "(L)*FFFF(L)"},
        {"name before a decimal point", "X.5", "X*.5", "L*NN"},
        {"blank before a function's bracket", "#SIN (X)", "#SIN(X)", "FFFF(L)"},
        {"square and curly brackets", "[A]+{B}", "(A)+(B)", "(L)+(L)"},
        {"point before exponent stays in the number", "5.E3", "5.E3", "NNNN"},
        {"tabs around the line are trimmed", "\t 2 \t", "2", "N"},
        {"bytes above 127 are name characters", "\xE9+1", "\xC9+1", "L+N"},
        {"power written **", "2**3", "2*3", "N^N"},
        {"polar and comma keep their codes", "(1,2)<3", "(1,2)<3", "(N,N)<N"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_EQ(prepare(r.line), 0);
        EXPECT_EQ(defaultEngine().workingText(), r.text);
        EXPECT_EQ(defaultEngine().classString(), r.classes);
    }
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(PrepareTest, ColumnsCountFromTheFirstNonBlank) {
    ASSERT_EQ(prepare("   2 ; 3"), 1);
    const ExpressionErrorReport r = onlyReport();
    EXPECT_EQ(r.message, "Illegal character used");
    EXPECT_EQ(r.first, 3);
    EXPECT_EQ(r.display, "2 ; 3");
}

TEST_F(PrepareTest, LengthLimits) {
    std::string needsOneInsertion = "2X";  // 64 characters; 2X becomes 2*X
    for (int i = 0; i < 31; ++i) needsOneInsertion += "+1";
    struct Row {
        const char* what;
        std::string line;
        const char* message;  // empty: accepted
    } rows[] = {
        {"64 characters", std::string(63, '1') + "2", ""},
        {"64 characters after leading blanks", "    " + std::string(64, '7'), ""},
        {"64 characters and trailing blanks", std::string(64, '7') + "      ", ""},
        {"65 characters", std::string(65, '1'), "Given line too long"},
        {"100 000 characters", std::string(100000, '('), "Given line too long"},
        {"64 characters needing one insertion", needsOneInsertion, "Given line too long after processing"},
    };
    ASSERT_EQ(needsOneInsertion.size(), 64u);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        clearRecords();
        const bool accepted = std::string_view(r.message).empty();
        ASSERT_EQ(prepare(r.line), accepted ? 0 : 1);
        if (accepted) {
            EXPECT_TRUE(presenter.reports.empty());
            continue;
        }
        expectOnlyReport(r.message, 64, 64);
        EXPECT_EQ(onlyReport().display.size(), 64u);
        EXPECT_LE(defaultEngine().n, 64);
    }
}

struct ErrorRow {
    const char* what;
    std::string line;
    const char* message;
    int first, last;
};

TEST_F(PrepareTest, ErrorsAndTheirColumns) {
    const ErrorRow rows[] = {
        {"empty line", "", "Given line empty", 1, 1},
        {"blank line", "     ", "Given line empty", 1, 1},
        {"blanks and tabs only", " \t \t ", "Given line empty", 1, 1},
        {"NUL bytes only", std::string(3, '\0'), "Given line empty", 1, 1},
        {"equals sign", "2=3", "Illegal character used", 2, 2},
        {"dollar", "A+$", "Illegal character used", 3, 3},
        {"semicolon", ";", "Illegal character used", 1, 1},
        {"double quote", "2\"", "Illegal character used", 2, 2},
        {"single quote", "'2", "Illegal character used", 1, 1},
        {"open bracket unclosed", "(2", "Parentheses do not balance", -2, -2},
        {"close before open", ")(", "Parentheses do not balance", -2, -2},
        {"close before open with operands", "1)(2", "Parentheses do not balance", -2, -2},
        {"exponent letter at the end", "2E", "Exponent digits missing", 2, 2},
        {"exponent letter alone", "E", "Exponent digits missing", 1, 1},
        {"signed exponent without digits", "2E+", "Exponent digits missing", 3, 0},
        {"exponent sign then a name", "2E+X", "Exponent digits missing", 3, 4},
        {"three operators", "2---3", "Cannot have 3 adjacent operators", 2, 4},
        {"times then two signs", "2*--3", "Cannot have 3 adjacent operators", 2, 4},
        {"minus then times", "2-*3", "Illegal operator combination", 2, 3},
        {"operator before close", "(2+)", "Missing operand after", 3, 3},
        {"times after open", "(*2)", "Missing operand before", 2, 2},
        {"times at the start", "*2", "Missing operand before", 1, 1},
        {"comma at the end", "2,", "Missing operand after", 2, 2},
        {"comma after open", "(,2)", "Missing operand before", 2, 2},
        // Operator sequences that would otherwise reach an internal fault.
        {"times then polar", "2*<3", "Illegal operator combination", 2, 3},
        {"polar twice", "2<<3", "Illegal operator combination", 2, 3},
        {"unary minus then polar", "-<3", "Illegal operator combination", 1, 2},
        {"power then polar", "2^<3", "Illegal operator combination", 2, 3},
        {"minus then polar", "2-<3", "Illegal operator combination", 2, 3},
        {"plus then comma", "(2+,3)", "Illegal operator combination", 3, 4},
        {"comma then times", "(2,*3)", "Illegal operator combination", 3, 4},
        {"two commas", "#MAX(1,,2)", "Illegal operator combination", 7, 8},
        {"polar then comma", "(2<,3)", "Illegal operator combination", 3, 4},
        {"polar after a dropped unary plus", "+<1", "Missing operand before", 2, 2},
        {"polar after an open bracket and a plus", "(+<1)", "Missing operand before", 3, 3},
        {"polar after an operator and a plus", "2*+<3", "Illegal operator combination", 2, 4},
        {"empty brackets", "((),3)", "Missing operand after", 2, 2},
        {"empty brackets after an operator", "2*()", "Missing operand after", 3, 3},
        {"brackets holding only brackets", "(())", "Missing operand after", 2, 2},
        // Found by fuzzing: two minus signs around a control character,
        // which counts as a blank, then the polar operator.
        {"sign pair split by a control character, then polar", "-\x01-<3", "Missing operand before", 4, 4},
    };
    for (const ErrorRow& r : rows) {
        SCOPED_TRACE(r.what);
        clearRecords();
        ASSERT_EQ(prepare(r.line), 1);
        expectOnlyReport(r.message, r.first, r.last);
    }
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(PrepareTest, DisplayLineHoldsNoControlCharacters) {
    ASSERT_EQ(prepare(std::string("\t2\x01+\0x;", 7)), 1);
    const ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(e.display, "2 + x;");
    EXPECT_EQ(e.message, "Illegal character used");
    EXPECT_EQ(e.first, 6);
}

// The table's order gives the token codes; its counts and argument kinds
// decide the argument checks.
TEST(BuiltinFunctions, TableInOrder) {
    struct Row {
        int code;
        const char* name;
        int minArgs, maxArgs;
        BuiltinFunction::RealArgs realArgs;
    } rows[] = {
        {1, "#ABS", 1, 1, BuiltinFunction::RealArgs::kNone},
        {3, "#ATAN2D", 2, 2, BuiltinFunction::RealArgs::kAll},
        {5, "#CONJG", 1, 1, BuiltinFunction::RealArgs::kNone},
        {13, "#MAX", 2, 4, BuiltinFunction::RealArgs::kAll},
        {18, "#SIN", 1, 1, BuiltinFunction::RealArgs::kAll},
        {20, "#SQRT", 1, 1, BuiltinFunction::RealArgs::kNone},
        {21, "#IF", 3, 3, BuiltinFunction::RealArgs::kFirst},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const BuiltinFunction* f = builtinFunction(r.code);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->name, r.name);
        EXPECT_EQ(f->minArgs, r.minArgs);
        EXPECT_EQ(f->maxArgs, r.maxArgs);
        EXPECT_EQ(f->realArgs, r.realArgs);
    }
    EXPECT_EQ(builtinFunction(0), nullptr);
    EXPECT_EQ(builtinFunction(22), nullptr);
}

// ---- the text routines ----------------------------------------------------

TEST_F(PrepareTest, TextRoutinesRejectBadArgumentsEvenWhenQuiet) {
    XPARAMQUIET(true);
    ASSERT_EQ(prepare("12"), 0);
    EXPECT_EQ(PXNINSERT(0, '*', '*'), 1);
    EXPECT_EQ(PXNINSERT(4, '*', '*'), 1);
    EXPECT_EQ(defaultEngine().n, 2);
    ASSERT_EQ(notices.notices.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(notices.notices[static_cast<size_t>(i)].kind, "stop");
        EXPECT_EQ(notices.notices[static_cast<size_t>(i)].caption, "LOGIC ERROR");
        EXPECT_EQ(notices.notices[static_cast<size_t>(i)].text, "Routine PXNINSERT given bad arguments.");
    }
}

TEST_F(PrepareTest, InsertAndSqueezeKeepTheThreeStringsAligned) {
    ASSERT_EQ(prepare("AB+C"), 0);  // L L + L after merging: "LL+L"
    ASSERT_EQ(PXNINSERT(3, '*', '*'), 0);
    EXPECT_EQ(defaultEngine().workingText(), "AB*+C");
    EXPECT_EQ(defaultEngine().classString(), "LL*+L");
    EXPECT_EQ(map(), (std::vector<int>{1, 2, 3, 3, 4}));
    PXNSQUEEZ('L');
    EXPECT_EQ(defaultEngine().workingText(), "*+");
    EXPECT_EQ(map(), (std::vector<int>{3, 3}));
    // Freed positions hold a blank, the filler "X" and no column.
    EXPECT_EQ(defaultEngine().cls[3], 'X');
    EXPECT_EQ(defaultEngine().text[3], ' ');
    EXPECT_EQ(defaultEngine().pos[5], 0);
}

TEST_F(PrepareTest, AlwaysFinishesWithAFinalClassString) {
    // Whatever gets through must consist of final codes only.
    const char* lines[] = {"((1))", "-(-(-1))", "#IF(1,2,3)", "2<-3", "1,2", "A B C", "1.2.3", "#Q(1)"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        ASSERT_EQ(prepare(line), 0);
        for (char c : defaultEngine().classString()) EXPECT_NE(std::string("U+-*/^(),<FLN").find(c), std::string::npos);
    }
}

}  // namespace
