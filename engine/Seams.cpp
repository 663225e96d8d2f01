// The two seams and their defaults. Without an installed presenter or sink
// an engine still reaches its user: on stderr, as the command line shows it.
#include "Seams.h"

#include <iostream>

#include "EngineState.h"

namespace {

class StderrPresenter final : public ExpressionErrorPresenter {
public:
    void present(const ExpressionErrorReport& report) override {
        if (!report.context.empty()) std::cerr << "In " << report.context << ":\n";
        std::cerr << report.message << '\n' << report.display << '\n' << report.marker << '\n';
    }
};

class StderrNotices final : public NoticeSink {
public:
    void warn(std::string_view caption, std::string_view text) override { print(caption, text); }
    void info(std::string_view caption, std::string_view text) override { print(caption, text); }
    void stop(std::string_view caption, std::string_view text) override { print(caption, text); }
    bool ask(std::string_view caption, std::string_view text) override {
        print(caption, text);
        return false;  // nobody to answer: take the cautious choice
    }

private:
    static void print(std::string_view caption, std::string_view text) {
        std::cerr << caption << ": " << text << '\n';
    }
};

// The defaults hold nothing, so every engine and thread may share them.
StderrPresenter& stderrPresenter() {
    static StderrPresenter presenter;
    return presenter;
}
StderrNotices& stderrNotices() {
    static StderrNotices notices;
    return notices;
}

}  // namespace

ExpressionErrorPresenter& expressionErrorPresenter(EngineState& engine) {
    return engine.presenter != nullptr ? *engine.presenter : stderrPresenter();
}

NoticeSink& noticeSink(EngineState& engine) { return engine.notices != nullptr ? *engine.notices : stderrNotices(); }

ExpressionErrorPresenter* setExpressionErrorPresenter(ExpressionErrorPresenter* presenter) {
    ExpressionErrorPresenter* const previous = defaultEngine().presenter;
    defaultEngine().presenter = presenter;
    return previous;
}

NoticeSink* setNoticeSink(NoticeSink* sink) {
    NoticeSink* const previous = defaultEngine().notices;
    defaultEngine().notices = sink;
    return previous;
}

ExpressionErrorPresenter& expressionErrorPresenter() { return expressionErrorPresenter(defaultEngine()); }

NoticeSink& noticeSink() { return noticeSink(defaultEngine()); }
