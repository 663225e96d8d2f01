// The two seams and their defaults. Without an installed presenter or sink
// the engine still reaches its user: on stderr, as the command line shows it.
#include "Seams.h"

#include <iostream>

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

struct SeamState {
    StderrPresenter defaultPresenter;
    StderrNotices defaultNotices;
    ExpressionErrorPresenter* presenter = nullptr;  // null: the default
    NoticeSink* notices = nullptr;
};

SeamState& seams() {
    static SeamState state;
    return state;
}

}  // namespace

ExpressionErrorPresenter* setExpressionErrorPresenter(ExpressionErrorPresenter* presenter) {
    ExpressionErrorPresenter* previous = seams().presenter;
    seams().presenter = presenter;
    return previous;
}

NoticeSink* setNoticeSink(NoticeSink* sink) {
    NoticeSink* previous = seams().notices;
    seams().notices = sink;
    return previous;
}

ExpressionErrorPresenter& expressionErrorPresenter() {
    SeamState& s = seams();
    return s.presenter != nullptr ? *s.presenter : s.defaultPresenter;
}

NoticeSink& noticeSink() {
    SeamState& s = seams();
    return s.notices != nullptr ? *s.notices : s.defaultNotices;
}
