// Recorders for the engine's two seams and a fixture that gives every test
// a fresh engine with them installed.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EngineState.h"
#include "Seams.h"
#include "XExpression.h"

struct Notice {
    std::string kind;  // "warn", "info", "stop" or "ask"
    std::string caption;
    std::string text;
};

class RecordingPresenter final : public ExpressionErrorPresenter {
public:
    void present(const ExpressionErrorReport& report) override { reports.push_back(report); }
    std::vector<ExpressionErrorReport> reports;
};

class RecordingNotices final : public NoticeSink {
public:
    void warn(std::string_view c, std::string_view t) override { record("warn", c, t); }
    void info(std::string_view c, std::string_view t) override { record("info", c, t); }
    void stop(std::string_view c, std::string_view t) override { record("stop", c, t); }
    bool ask(std::string_view c, std::string_view t) override {
        record("ask", c, t);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Notice> notices;
    std::deque<bool> answers;

private:
    void record(const char* kind, std::string_view c, std::string_view t) {
        notices.push_back({kind, std::string(c), std::string(t)});
    }
};

// Records the engine's notices for as long as it lives.
class ScopedNoticeRecorder {
public:
    ScopedNoticeRecorder() : previous_(setNoticeSink(&sink)) {}
    ~ScopedNoticeRecorder() { setNoticeSink(previous_); }
    ScopedNoticeRecorder(const ScopedNoticeRecorder&) = delete;
    ScopedNoticeRecorder& operator=(const ScopedNoticeRecorder&) = delete;

    // Each notice as "caption: text".
    std::vector<std::string> seen() const {
        std::vector<std::string> out;
        for (const Notice& n : sink.notices) out.push_back(n.caption + ": " + n.text);
        return out;
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const Notice& n : sink.notices) out.push_back(n.caption);
        return out;
    }
    RecordingNotices sink;

private:
    NoticeSink* previous_;
};

// A fresh engine with recorders as its seams: the program's default engine,
// or, in an EngineInstanceTest, an engine of the test's own that the
// default one never sees.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() = default;
    explicit EngineTest(bool ownEngine) : own_(ownEngine ? std::make_unique<EngineState>() : nullptr) {}

    void SetUp() override {
        resetEngine(engine());
        previousPresenter_ = std::exchange(engine().presenter, &presenter);
        previousNotices_ = std::exchange(engine().notices, &notices);
    }
    void TearDown() override {
        engine().presenter = previousPresenter_;
        engine().notices = previousNotices_;
        resetEngine(engine());
    }

    // The engine under test.
    EngineState& engine() { return own_ != nullptr ? *own_ : defaultEngine(); }
    // XPARAMNEW on it.
    bool define(std::string_view name, std::string_view expression, bool factorOnly = false) {
        return addParameter(engine(), name, expression, "", factorOnly, true);
    }

    // The single error report of the last action; fails the test when there
    // was not exactly one.
    ExpressionErrorReport onlyReport() const {
        EXPECT_EQ(presenter.reports.size(), 1u);
        return presenter.reports.empty() ? ExpressionErrorReport{} : presenter.reports.back();
    }
    // The single error report of the last action, with its message and the
    // columns it marks.
    void expectOnlyReport(std::string_view message, int first, int last) const {
        const ExpressionErrorReport e = onlyReport();
        EXPECT_EQ(e.message, message);
        EXPECT_EQ(e.first, first);
        EXPECT_EQ(e.last, last);
    }
    // Evaluates EXPR, which must fail with exactly one report of MESSAGE
    // over the columns FIRST..LAST.
    void expectEvaluationError(std::string_view expr, std::string_view message, int first, int last) {
        SCOPED_TRACE(expr);
        clearRecords();
        bool ok = true;
        eval(expr, &ok);
        EXPECT_FALSE(ok);
        expectOnlyReport(message, first, last);
    }
    // A few parameters many tests evaluate against: a real one, a complex
    // one and a factor-only one.
    void defineSampleParameters() {
        ASSERT_TRUE(define("X", "3"));
        ASSERT_TRUE(define("Y", "(1,2)"));
        ASSERT_TRUE(define("IN", "2.54", true));
    }
    void clearRecords() {
        presenter.reports.clear();
        notices.notices.clear();
    }
    // Evaluates as the public whole-value entry point does.
    XVALUE eval(std::string_view text, bool* ok = nullptr) {
        XVALUE v;
        const bool r = PXNSOLVE(engine(), text, v) == 0;
        if (ok != nullptr) *ok = r;
        return v;
    }

    RecordingPresenter presenter;
    RecordingNotices notices;

private:
    std::unique_ptr<EngineState> own_;
    ExpressionErrorPresenter* previousPresenter_ = nullptr;
    NoticeSink* previousNotices_ = nullptr;
};

class EngineInstanceTest : public EngineTest {
protected:
    EngineInstanceTest() : EngineTest(true) {}
};
