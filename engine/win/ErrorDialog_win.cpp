// The "Expression Error" dialog: the message, the expression as typed in a
// fixed-pitch font and, under it in dark red, the marker line, so that each
// mark stands under the column it concerns.
#include "ErrorDialog_win.h"

#include "MakeDlg.h"
#include "Seams.h"
#include "WflApp.h"
#include "WflCtrl.h"
#include "WflDialog.h"
#include "WflGDI.h"
#include "WflWnd.h"
#include "ErrorDialogRes.h"

namespace {

constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;
// The lines show the user's text as typed: "1&2" is three characters, not
// a "1" and an underlined "2".
constexpr DWORD kShownText = kChildVisible | SS_NOPREFIX;
// Fixed pitch ("f") is what the marker line needs: only then does column j
// of the marks stand under column j of the expression. Courier is the
// preferred face, not a condition.
constexpr char kFixedFont[] = "t'Courier'fh10b";

struct ErrorDialogState {
    XWND* owner = nullptr;  // a reference to the caller's record, not a copy
    XWND dialog;            // the record of the dialog on screen
};

ErrorDialogState& state() {
    static ErrorDialogState s;
    return s;
}

class ErrorDialogPresenter : public ExpressionErrorPresenter {
public:
    void present(const ExpressionErrorReport& report) override {
        ErrorDialogState& s = state();
        XMESSAGEBEEP(MB_ICONEXCLAMATION);  // 48
        // A report from a file being read names the parameter in its
        // caption: the expression alone does not tell which line it was.
        const std::string caption =
            report.context.empty() ? std::string("Expression Error") : "Expression Error in " + report.context;
        XMAKEDIALOGFRAME(IDD_EXPRESSION_ERROR, 400, 70, caption);
        XMAKEDIALOGITEM(IDOK, "Button", kChildVisible, 175, 49, 50, 14, "&OK");
        XMAKEDIALOGITEM(IDCANCEL, "Button", 0, 343, 49, 50, 14, "Cancel");  // hidden: Esc ends the dialog
        XMAKEDIALOGITEM(IDT_ERROR_MESSAGE, "Static", kShownText, 7, 7, 386, 10, " ");
        XMAKEDIALOGITEM(IDT_ERROR_DISPLAY, "Static", kShownText, 7, 23, 386, 10, " ");
        XMAKEDIALOGITEM(IDT_ERROR_MARKER, "Static", kShownText, 7, 33, 386, 10, " ");
        XWND* owner = s.owner && IsWindow(s.owner->hwnd) ? s.owner : nullptr;
        if (!XMAKEDIALOG(s.dialog, owner)) return;
        XCTLSETCHAR(s.dialog, IDT_ERROR_MESSAGE, report.message);
        XCTLSETCHAR(s.dialog, IDT_ERROR_DISPLAY, kFixedFont, XSEL_FONT);
        XCTLSETCHAR(s.dialog, IDT_ERROR_DISPLAY, report.display);
        XCTLSETCHAR(s.dialog, IDT_ERROR_MARKER, kFixedFont, XSEL_FONT);
        XCTLSETINT(s.dialog, IDT_ERROR_MARKER, XRGB(128, 0, 0), XSEL_TEXTCOLOR);
        XCTLSETCHAR(s.dialog, IDT_ERROR_MARKER, report.marker);
        // The evaluation waits for this dialog with its work half done, and
        // the engine cannot start another meanwhile: every other window of
        // the program stays closed to input until the report is answered,
        // not just its owner.
        XMODALDIALOG(s.dialog, owner, true);
        XDESTROYDIALOG(s.dialog);
    }
};

}  // namespace

void XNUMBEROWNER(XWND& window, XWND** previous) {
    ErrorDialogState& s = state();
    if (previous) *previous = s.owner;
    if (XISWINDOW(window, XIS_FRAMEWORK)) s.owner = &window;
}

XWND* expressionErrorOwner() { return state().owner; }

void installErrorDialog() {
    static ErrorDialogPresenter presenter;
    setExpressionErrorPresenter(&presenter);
}
