// Notices, questions, timers and the dialog focus of Wflextra, with the
// boxes answered by a user and the engine's notices seam bound to them.
#include <optional>
#include <string>

#include "Seams.h"
#include "Notices_win.h"
#include "WflextraNotices.h"
#include "XExpression.h"
#include "framework/DialogDriver.h"
#include "framework/Screenshot.h"
#include "framework/WflWndTestSupport.h"

namespace {

int defaultButtonOf(HWND box) {
    for (const SeenButton& b : pushButtons(box)) {
        if (b.isDefault) return b.id;
    }
    return 0;
}

}  // namespace

TEST(UserAsk, ButtonSetAndDefaultBecomeMessageBoxFlags) {
    struct Row {
        const char* what;
        std::optional<int> buttons, defaultButton;
        UINT flags;
    } rows[] = {
        {"nothing given: yes/no, first default", std::nullopt, std::nullopt, MB_YESNO | MB_ICONQUESTION},
        {"set 0 behaves as yes/no", 0, std::nullopt, MB_YESNO | MB_ICONQUESTION},
        {"set 6 behaves as yes/no", 6, std::nullopt, MB_YESNO | MB_ICONQUESTION},
        {"default 1 is the first", 3, 1, MB_YESNOCANCEL | MB_ICONQUESTION},
        {"default 2", 1, 2, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION},
        {"default 3 of three buttons", 3, 3, MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONQUESTION},
        {"default 3 of abort/retry/ignore", 2, 3, MB_ABORTRETRYIGNORE | MB_DEFBUTTON3 | MB_ICONQUESTION},
        {"default 3 of two buttons is the second", 4, 3, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION},
        {"default 3 of retry/cancel is the second", 5, 3, MB_RETRYCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION},
        {"any other default is the first", 4, 7, MB_YESNO | MB_ICONQUESTION},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(userAskFlags(row.buttons, row.defaultButton), row.flags);
    }
}

TEST(UserAsk, PressedButtonBecomesItsPosition) {
    struct Row {
        const char* what;
        int set, result, position;
    } rows[] = {
        {"OK", MB_OKCANCEL, IDOK, 1},          {"Cancel of OK/Cancel", MB_OKCANCEL, IDCANCEL, 2},
        {"Abort", MB_ABORTRETRYIGNORE, IDABORT, 1},
        {"Retry of three", MB_ABORTRETRYIGNORE, IDRETRY, 2},
        {"Ignore", MB_ABORTRETRYIGNORE, IDIGNORE, 3},
        {"Yes of three", MB_YESNOCANCEL, IDYES, 1}, {"No of three", MB_YESNOCANCEL, IDNO, 2},
        {"Cancel of three", MB_YESNOCANCEL, IDCANCEL, 3}, {"Yes", MB_YESNO, IDYES, 1},
        {"No", MB_YESNO, IDNO, 2}, {"Esc on yes/no counts as No", MB_YESNO, IDCANCEL, 2},
        {"Retry", MB_RETRYCANCEL, IDRETRY, 1}, {"Cancel of Retry/Cancel", MB_RETRYCANCEL, IDCANCEL, 2},
        {"a failed box (0)", MB_YESNOCANCEL, 0, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(userAskPosition(row.set, row.result), row.position);
    }
}

TEST(UserAsk, AQuestionAsTheUserSeesIt) {
    ensureFramework();
    struct Row {
        const char* what;
        std::optional<int> buttons, defaultButton;
        std::vector<int> ids;
        int defaultId;
        int press;  // a button identifier, or 0 for Esc
        int answer;
        const char* screenshot;
    } rows[] = {
        {"plain question: Yes and No, Yes default; No is 2", std::nullopt, std::nullopt,
         {IDYES, IDNO}, IDYES, IDNO, 2, nullptr},
        {"plain question left with Esc: No, never Yes", std::nullopt, std::nullopt, {IDYES, IDNO}, IDYES, 0, 2,
         nullptr},
        {"yes/no/cancel with Cancel default; Esc is 3", 3, 3, {IDYES, IDNO, IDCANCEL}, IDCANCEL, 0,
         3, "xuserask-yes-no-cancel"},
        {"OK/Cancel closed with Cancel is 2", 1, std::nullopt, {IDOK, IDCANCEL}, IDOK, IDCANCEL, 2,
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<int> ids;
        int defaultId = 0;
        bool questionIcon = false;
        DialogDriver user([&](HWND box) {
            for (const SeenButton& b : pushButtons(box)) ids.push_back(b.id);
            defaultId = defaultButtonOf(box);
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if ((GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    classOf(c) == "Static") {
                    questionIcon = SendMessageA(c, STM_GETICON, 0, 0) != 0;
                }
            }
            if (row.screenshot) saveScreenshot(box, row.screenshot);
            if (row.press) {
                clickButton(box, row.press);
            } else {
                pressKey(box, VK_ESCAPE);
            }
        });
        EXPECT_EQ(XUSERASK("FIX IT NOW?  ",
                           "Do you wish to repair the parameter discrepancies now?  You are "
                           "urged to answer YES.",
                           row.buttons, row.defaultButton),
                  row.answer);
        ASSERT_TRUE(user.acted());
        EXPECT_EQ(ids, row.ids);
        EXPECT_EQ(defaultId, row.defaultId);
        EXPECT_TRUE(questionIcon);
        EXPECT_EQ(textOf(user.dialog()), "");  // gone: the box was destroyed
    }
}

TEST(Notices, EngineNoticesReachTheMessageBox) {
    ensureFramework();
    NoticeSink* previous = installWindowsNotices();
    struct Seen {
        std::string title, text;
        std::vector<int> ids;
    };
    std::vector<Seen> seen;
    auto answer = [&](int press) {
        return [&, press](HWND box) {
            Seen s{textOf(box), "", {}};
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if (classOf(c) == "Static" &&
                    (GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                    s.text = textOf(c);
                }
            }
            for (const SeenButton& b : pushButtons(box)) s.ids.push_back(b.id);
            seen.push_back(s);
            clickButton(box, press);
        };
    };
    {
        DialogDriver user(answer(IDOK));
        noticeSink().warn("TOO LONG", "The name \"ABCDEFGHIJKLMNOPQ\" is too long.   ");
    }
    {
        DialogDriver user(answer(IDOK));
        noticeSink().stop("LOGIC ERROR", "Routine PXNCRANK * / logic.");
    }
    bool yes = false, no = true;
    {
        DialogDriver user(answer(IDYES));
        yes = noticeSink().ask("FIX IT NOW?", "Repair?");
    }
    {
        DialogDriver user(answer(IDNO));
        no = noticeSink().ask("FIX IT NOW?", "Repair?");
    }
    setNoticeSink(previous);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].title, "TOO LONG");
    EXPECT_EQ(seen[0].text, "The name \"ABCDEFGHIJKLMNOPQ\" is too long.");
    EXPECT_EQ(seen[0].ids, std::vector<int>{IDOK});
    EXPECT_EQ(seen[1].title, "LOGIC ERROR");
    EXPECT_EQ(seen[2].ids, (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
}

namespace {
int ticks = 0;
LRESULT onTimer(XWND&, int id) {
    if (id == 7) ++ticks;
    return 1;
}
}  // namespace

TEST(Timers, StartTicksStopEnds) {
    TestWindow w;
    ASSERT_TRUE(XSETHANDLER(w.record, WM_TIMER, onTimer));
    struct Row {
        const char* what;
        int number, interval;
    } refused[] = {{"interval 0", 7, 0}, {"number 0", 0, 10}, {"negative number", -3, 10}};
    for (const Row& row : refused) {
        SCOPED_TRACE(row.what);
        EXPECT_FALSE(XTIMERSTART(w.hwnd(), row.number, row.interval));
    }
    EXPECT_FALSE(XTIMERSTOP(w.hwnd(), 0));
    EXPECT_FALSE(XTIMERSTOP(w.hwnd(), 7));  // not running

    ticks = 0;
    ASSERT_TRUE(XTIMERSTART(w.hwnd(), 7, 10));
    EXPECT_TRUE(pumpUntil([] { return ticks >= 2; }));
    EXPECT_TRUE(XTIMERSTOP(w.hwnd(), 7));
    drainMessages();
    const int after = ticks;
    pumpUntil([] { return false; }, 60);
    EXPECT_EQ(ticks, after);
}

TEST(DialogFocus, PostedFocusMovesWhenTheDialogRuns) {
    XWND dialog;
    const auto tmpl = dialogTemplate(WS_POPUP | WS_VISIBLE, {11, 12});
    ASSERT_TRUE(createFrameworkDialog(dialog, tmpl));
    SetFocus(GetDlgItem(dialog.hwnd, 11));
    EXPECT_FALSE(XSETDIALOGFOCUS(dialog.hwnd, 99));
    ASSERT_TRUE(XSETDIALOGFOCUS(dialog.hwnd, 12));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.hwnd, 11));  // not yet: it was posted
    EXPECT_TRUE(pumpUntil([&] { return GetFocus() == GetDlgItem(dialog.hwnd, 12); }));
    DestroyWindow(dialog.hwnd);
}

// A missing sound is no failure to observe: without SND_NODEFAULT the system
// plays its default sound instead. Silencing is what can be checked.
TEST(Sounds, SilenceSucceeds) { EXPECT_TRUE(PXPLAYSOUND_SILENCE()); }

namespace {

// A presenter that starts a second evaluation while it shows a report, as a
// window message handled under the report could.
class EvaluatingPresenter final : public ExpressionErrorPresenter {
public:
    void present(const ExpressionErrorReport&) override {
        double inner = 0;
        XNUMBEREX_R8("2+2", inner);
    }
};

}  // namespace

TEST(Notices, ASecondEvaluationIsRefusedInTheUsersWords) {
    ensureFramework();
    NoticeSink* previousNotices = installWindowsNotices();
    EvaluatingPresenter evaluating;
    ExpressionErrorPresenter* previousPresenter = setExpressionErrorPresenter(&evaluating);
    std::string title, text;
    {
        DialogDriver user([&](HWND box) {
            title = textOf(box);
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if (classOf(c) == "Static" && (GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
                    text = textOf(c);
                }
            }
            clickButton(box, IDOK);
        });
        double x = 0;
        EXPECT_FALSE(XNUMBEREX_R8("(2+3", x));
        EXPECT_TRUE(user.acted());
    }
    setExpressionErrorPresenter(previousPresenter);
    setNoticeSink(previousNotices);
    EXPECT_EQ(title, "BUSY");
    EXPECT_EQ(text, "An expression is still being evaluated. Answer its \"Expression Error\" window first, "
                    "then try again.");
}
