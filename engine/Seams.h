// The two narrow hooks through which the expression engine reaches its user.
//
// The engine never knows how a report is shown. At start-up the program
// installs a presenter for expression errors and a sink for notices; the
// native build prints on stderr, the Windows build shows dialogs, and tests
// install recorders.
#pragma once

#include <string>
#include <string_view>

// One expression error as the user sees it: the message, the columns it
// concerns, the user's line and the line of marks that goes under it.
struct ExpressionErrorReport {
    std::string message;
    int first = 0;        // display-line columns as the engine reported them
    int last = 0;
    std::string display;  // the display line without trailing blanks
    std::string marker;   // the marker line without trailing blanks
    // Where the expression came from, when it is not the line the user
    // just typed: a parameter of a file being read ("parameter "C" of
    // "units.par""). Empty otherwise.
    std::string context;
};

class ExpressionErrorPresenter {
public:
    virtual ~ExpressionErrorPresenter() = default;
    virtual void present(const ExpressionErrorReport& report) = 0;
};

// Warnings, information, internal faults and yes/no questions.
class NoticeSink {
public:
    virtual ~NoticeSink() = default;
    virtual void warn(std::string_view caption, std::string_view text) = 0;
    virtual void info(std::string_view caption, std::string_view text) = 0;
    virtual void stop(std::string_view caption, std::string_view text) = 0;
    virtual bool ask(std::string_view caption, std::string_view text) = 0;  // true = yes
};

// Install a presenter or sink for the program's default engine; nullptr
// restores the default, which prints on stderr (and answers questions with
// no). Each returns the one it replaces, so a caller can put it back. The
// engine does not own what is installed. An engine of its own carries its
// own pair (EngineState::presenter, notices).
ExpressionErrorPresenter* setExpressionErrorPresenter(ExpressionErrorPresenter* presenter);
NoticeSink* setNoticeSink(NoticeSink* sink);

// The default engine's installed ones (never null).
ExpressionErrorPresenter& expressionErrorPresenter();
NoticeSink& noticeSink();
