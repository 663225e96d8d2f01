// The main dialog: "XNumberEx Demo Program".
#include "Tallyon.h"

#include <complex>
#include <cstdint>
#include <string>

#include "ErrorDialog_win.h"
#include "Notices_win.h"
#include "FixedText.h"
#include "Format.h"
#include "ParamDlg.h"
#include "ParamListFile.h"
#include "TallyonRes.h"
#include "WflApp.h"
#include "WflCtrl.h"
#include "WflDialog.h"
#include "WflFile.h"
#include "WflextraNotices.h"
#include "XExpression.h"

namespace {

// What the main window keeps between button presses.
struct MainWindowState {
    FixedText<80> expression;
    bool realOnly = false;
    double realResult = 0;
    std::complex<double> complexResult;
    FixedText<256> directory;  // shared by Save and Read, so the second
    FixedText<256> fileName;   // dialog opens where the first one ended
    // The table's change count when a file last held all of it (saved or
    // read into an unchanged table), or at start.
    std::uint64_t savedChanges = 0;
};

MainWindowState& state() {
    static MainWindowState s;
    return s;
}

const std::string_view kFilterPatterns[] = {"*.par; *.txt; *.*"};
const std::string_view kFilterDescriptions[] = {"Parameter File"};

std::string chosenPath() {
    const MainWindowState& s = state();
    return std::string(s.directory.view()) + "\\" + std::string(s.fileName.view());
}

bool tableUnsaved() { return paramTableChanges() != state().savedChanges; }

// Nothing else keeps the table yet, so quitting with changes that no file
// holds asks first. Only Yes quits: No, Esc and the close box of the
// question all keep the program open.
bool userAgreesToQuit(XWND& window) {
    if (!tableUnsaved()) return true;
    XMESSAGEBEEP(MB_ICONQUESTION);
    return XMESSAGEBOX("Parameters were changed and not saved. Quit anyway?", "NOT SAVED",
                       MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, window.hwnd) == IDYES;
}

}  // namespace

bool XINIT(const FixedText<256>&, int&) {
    if (!XCREATEDIALOGAPP(IDD_MAIN, nullptr, IDI_MAIN)) return false;
    XWND& frame = frameWindow();
    state().savedChanges = paramTableChanges();
    installErrorDialog();
    installWindowsNotices();
    XCTLSETSUB(frame, IDCANCEL, XW_FRAME_ONCANCEL);
    XCTLSETSUB(frame, IDB_MAIN_EVALUATE, XW_FRAME_ONBUTTON1);
    XCTLSETSUB(frame, IDB_MAIN_PARAMETERS, XW_FRAME_ONBUTTON2);
    XCTLSETSUB(frame, IDB_MAIN_SAVE, XW_FRAME_ONBUTTON3);
    XCTLSETSUB(frame, IDB_MAIN_READ, XW_FRAME_ONBUTTON4);
    XNUMBEROWNER(frame);
    XCTLSETLOG(frame, IDX_MAIN_REAL_ONLY, false);
    XMODELESSDIALOG(frame, SW_SHOWNORMAL);
    // The user's first act is typing an expression: start with the cursor
    // in its field rather than on the first button.
    XSETDIALOGFOCUS(frame.hwnd, IDE_MAIN_EXPRESSION);
    return true;
}

void XW_FRAME_ONBUTTON1(XWND& window, int, int) {
    MainWindowState& s = state();
    for (int id : {IDT_MAIN_REAL_LABEL, IDT_MAIN_COMPLEX_LABEL, IDE_MAIN_REAL_RESULT, IDE_MAIN_COMPLEX_RESULT}) {
        XCTLSETCHAR(window, id, " ");
    }
    XCTLGETLOG(window, IDX_MAIN_REAL_ONLY, s.realOnly);
    XNUMBERREALONLY(s.realOnly);
    XCTLGETCHAR(window, IDE_MAIN_EXPRESSION, s.expression);

    // The complex value first: when the expression itself is faulty the
    // engine has shown why, and the result fields stay empty.
    if (!XNUMBEREX_C8(s.expression.view(), s.complexResult)) return;
    const bool realOk = XNUMBEREX_R8(s.expression.view(), s.realResult);
    const ResultLines lines = formatResultLines(realOk ? std::optional<double>(s.realResult) : std::nullopt,
                                                s.complexResult);
    XCTLSETCHAR(window, IDT_MAIN_REAL_LABEL, lines.realLabel);
    if (!lines.realValue.empty()) XCTLSETCHAR(window, IDE_MAIN_REAL_RESULT, lines.realValue);
    XCTLSETCHAR(window, IDT_MAIN_COMPLEX_LABEL, lines.complexLabel);
    XCTLSETCHAR(window, IDE_MAIN_COMPLEX_RESULT, lines.complexValue);
}

void XW_FRAME_ONBUTTON2(XWND& window, int, int) { PARAM_ENTRY(window); }

void XW_FRAME_ONBUTTON3(XWND& window, int, int) {
    MainWindowState& s = state();
    if (!XGETSAVEFILE(window, s.directory, s.fileName, std::nullopt, {kFilterPatterns, kFilterDescriptions},
                      "Name of File to Receive Parameter List")) {
        return;
    }
    if (saveParameterList(chosenPath())) s.savedChanges = paramTableChanges();
}

void XW_FRAME_ONBUTTON4(XWND& window, int, int) {
    MainWindowState& s = state();
    int filterIndex = 1;
    if (!PXGETOPENFILE_1(window, s.directory, filterIndex, s.fileName, std::nullopt,
                         {kFilterPatterns, kFilterDescriptions}, "Parameter List File to Read")) {
        return;
    }
    // Read merges: changes made before it are still in no file.
    const bool unchangedBefore = !tableUnsaved();
    if (readParameterList(chosenPath()) && unchangedBefore) s.savedChanges = paramTableChanges();
}

void XW_FRAME_ONCANCEL(XWND& window, int, int) {
    if (!userAgreesToQuit(window)) return;
    XDESTROYDIALOG(window);
    PostQuitMessage(0);
}
