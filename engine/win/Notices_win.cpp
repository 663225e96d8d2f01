// The engine's notices as the framework's message boxes: warnings,
// information, internal faults and yes/no questions.
#include "Notices_win.h"

#include <string_view>

#include "Seams.h"
#include "WflextraNotices.h"

namespace {

// The engine refuses an evaluation started while another one waits for
// its report, and says so in its developers' terms, naming its routine.
// Unlike its other internal faults this one follows from what the user
// did, so should a window ever let it through, the user reads it in the
// user's words.
constexpr std::string_view kSecondEvaluation = "Routine PXNSOLVE entered during another evaluation.";
constexpr std::string_view kSecondEvaluationForUser =
    "An expression is still being evaluated. Answer its \"Expression Error\" window first, then try "
    "again.";

// The engine's notices as message boxes; a question is answered yes by
// its first button.
class WindowsNotices final : public NoticeSink {
public:
    void warn(std::string_view caption, std::string_view text) override {
        XUSERWARN(caption, text);
    }
    void info(std::string_view caption, std::string_view text) override {
        XUSERINFO(caption, text);
    }
    void stop(std::string_view caption, std::string_view text) override {
        if (text == kSecondEvaluation) {
            XUSERSTOP("BUSY", kSecondEvaluationForUser);
            return;
        }
        XUSERSTOP(caption, text);
    }
    bool ask(std::string_view caption, std::string_view text) override {
        return XUSERASK(caption, text) == 1;
    }
};

}  // namespace

NoticeSink* installWindowsNotices() {
    static WindowsNotices notices;
    return setNoticeSink(&notices);
}
