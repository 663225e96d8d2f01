// The error report: the marker line under the user's line, the quiet rule,
// and the default seams.
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

using ErrorReportTest = EngineTest;

TEST_F(ErrorReportTest, MarkerLines) {
    struct Row {
        const char* what;
        std::string line;  // prepared first, so that it is the display line
        int first, last;
        std::string marker;
    } rows[] = {
        {"one column", "1/0", 2, 2, " ^"},
        {"a span", "2*#FOO(1)", 3, 6, "  ^^^^"},
        {"FIRST 1, LAST 0 marks the whole line", "1 + (2,3)", 1, 0, "^^^^^^^^^"},
        {"LAST before FIRST runs to the end", "2E+", 3, 0, "  ^"},
        {"column 64 even past the end of the line", "1+2", 64, 64, std::string(63, ' ') + "^"},
        {"FIRST past the end with LAST before it marks nothing", "1+2", 10, 0, ""},
        {"FIRST 0 marks nothing", "1+2", 0, 0, ""},
        {"depths under opening and closing brackets", "((A+B)", -2, -2, "12   2"},
        {"a closing bracket too many shows 0", "(A))", -2, -2, "1 10"},
        {"below zero shows a minus", ")))", -2, -2, "0--"},
        {"depths of ten and more show their first digit", "((((((((((1", -2, -2, "1234567891"},
        {"square and curly brackets count", "[{(1)}", -2, -2, "123 32"},
        // A character of several bytes in UTF-8 is one column on screen.
        {"a mark after a two-byte letter", "\xC3\xA9*\xE2\x88\x9E", 4, 4, "  ^"},      // é*∞
        {"a span over three-byte characters", "\xE6\x97\xA5\xE6\x9C\xAC+1", 1, 6, "^^"},  // 日本+1
        {"depths after a Cyrillic name", "\xD0\x94((1)", -2, -2, " 12 2"},              // Д((1)
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        clearRecords();
        PXNPREP(r.line);
        clearRecords();
        PXNWHINE("message", r.first, r.last);
        const ExpressionErrorReport e = onlyReport();
        EXPECT_EQ(e.marker, r.marker);
        EXPECT_EQ(e.message, "message");
        EXPECT_EQ(e.first, r.first);
        EXPECT_EQ(e.last, r.last);
    }
}

TEST_F(ErrorReportTest, UnbalancedBracketsEndToEnd) {
    bool ok = true;
    eval("  ((A+B)", &ok);
    EXPECT_FALSE(ok);
    const ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(e.message, "Parentheses do not balance");
    EXPECT_EQ(e.display, "((A+B)");
    EXPECT_EQ(e.marker, "12   2");
}

TEST_F(ErrorReportTest, QuietShowsNothingAndChangesNothingElse) {
    XPARAMQUIET(true);
    EXPECT_EQ(PXNWHINE("message", 1, 1), 0);
    EXPECT_TRUE(presenter.reports.empty());
    // Internal faults are not silenced by it.
    reportLogicError(defaultEngine(), "Routine X step.");
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].caption, "LOGIC ERROR");
}

// A presenter that evaluates while it shows a report, as a window message
// handled under a modal dialog might.
class ReenteringPresenter final : public ExpressionErrorPresenter {
public:
    void present(const ExpressionErrorReport& report) override {
        messages.push_back(report.message);
        innerOk = XNUMBEREX_R8("2+2", innerValue);
    }
    std::vector<std::string> messages;
    bool innerOk = true;
    double innerValue = -1;
};

TEST_F(ErrorReportTest, AnEvaluationInsideAnotherIsRefused) {
    ReenteringPresenter reentering;
    setExpressionErrorPresenter(&reentering);
    double x = -1;
    EXPECT_FALSE(XNUMBEREX_R8("(2+3", x));
    EXPECT_EQ(reentering.messages, std::vector<std::string>{"Parentheses do not balance"});
    EXPECT_FALSE(reentering.innerOk);
    EXPECT_EQ(reentering.innerValue, 0);
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].text, "Routine PXNSOLVE entered during another evaluation.");
    setExpressionErrorPresenter(&presenter);
    // Once the first has ended the engine works as before.
    EXPECT_TRUE(XNUMBEREX_R8("2+2", x));
    EXPECT_EQ(x, 4);
}

TEST(Seams, SettersReturnWhatTheyReplaceAndDefaultsPrint) {
    RecordingPresenter mine;
    ExpressionErrorPresenter* before = setExpressionErrorPresenter(&mine);
    EXPECT_EQ(setExpressionErrorPresenter(nullptr), &mine);
    EXPECT_EQ(setExpressionErrorPresenter(nullptr), nullptr);  // the default was in place

    testing::internal::CaptureStderr();
    expressionErrorPresenter().present({"Division by zero", 2, 2, "1/0", " ^", ""});
    noticeSink().warn("TOO LONG", "text");
    EXPECT_FALSE(noticeSink().ask("FIX IT NOW?", "question"));
    std::string printed = testing::internal::GetCapturedStderr();
    std::erase(printed, '\r');  // a Windows console may end lines with CR LF
    EXPECT_EQ(printed, "Division by zero\n1/0\n ^\nTOO LONG: text\nFIX IT NOW?: question\n");

    RecordingNotices sink;
    NoticeSink* previousSink = setNoticeSink(&sink);
    noticeSink().stop("LOGIC ERROR", "x");
    EXPECT_EQ(sink.notices.size(), 1u);
    EXPECT_EQ(setNoticeSink(previousSink), &sink);
    setExpressionErrorPresenter(before);
}

}  // namespace
