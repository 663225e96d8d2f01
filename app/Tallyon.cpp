// The main dialog: "XNumberEx Demo Program".
#include "Tallyon.h"

#include <windows.h>
#include <shellapi.h>

#include <complex>
#include <cstdint>
#include <string>

#include "ErrorDialog_win.h"
#include "MainFields.h"
#include "Session.h"
#include "WindowMenu.h"
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
    std::string expression;  // the whole field: a cut line would evaluate to another value
    bool realOnly = false;
    double realResult = 0;
    std::complex<double> complexResult;
    bool shown = false;  // the result fields hold an evaluation's results
    bool realOk = false;
    // Shared by Save and Read, so the second dialog opens where the first
    // one ended; room for any path in UTF-8, which a cut would turn into
    // another file's name.
    FixedText<kPathFieldBytes> directory;
    FixedText<kPathFieldBytes> fileName;
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

// Asked of the main window once it shows: the reads of the start.
constexpr UINT kMsgReadAtStart = WM_APP + 20;

LRESULT onReadAtStart(XWND& window, UINT, WPARAM, LPARAM) {
    readAtStart(window);
    return 1;
}

LRESULT onSystemCommand(XWND& window, int command) { return windowMenuCommand(window, command) ? 1 : 0; }

// Windows asks whether the session may end: everything is kept now, while
// the program still runs, and the answer is left to the default (yes).
LRESULT onQueryEndSession(XWND& window, bool) {
    endSession(window, false);
    return 0;
}
LRESULT onEndSession(XWND& window, bool ending) {
    if (ending) endSession(window, false);
    return 0;
}

// Files dropped on the window are read as Read reads them.
LRESULT onDropFiles(XWND&, std::span<XDroppedFile> files) {
    for (const XDroppedFile& file : files) readParameterFile(file.str());
    return 1;
}

}  // namespace

// The files to read come from the whole command line: a long path in UTF-8
// can pass the 256 bytes of the start-up copy.
bool XINIT(const FixedText<256>&, int&) {
    state().shown = false;  // no results yet for a display choice to show again
    if (!XCREATEDIALOGAPP(IDD_MAIN, nullptr, IDI_MAIN)) return false;
    XWND& frame = frameWindow();
    XFITDIALOGTEXTS(frame);
    installErrorDialog();
    installWindowsNotices();
    beginSession(frame, XWHOLECOMMANDLINE());
    attachMainFields(frame);
    addWindowMenuItems(frame);
    XSETHANDLER(frame, WM_SYSCOMMAND, HandlerInt{onSystemCommand});
    XSETHANDLER(frame, WM_QUERYENDSESSION, HandlerFlag{onQueryEndSession});
    XSETHANDLER(frame, WM_ENDSESSION, HandlerFlag{onEndSession});
    XSETHANDLER(frame, WM_DROPFILES, HandlerDropFiles{onDropFiles});
    XSETHANDLER(frame, kMsgReadAtStart, HandlerRaw{onReadAtStart});
    DragAcceptFiles(frame.hwnd, TRUE);
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
    PostMessageA(frame.hwnd, kMsgReadAtStart, 0, 0);
    return true;
}

void XW_FRAME_ONBUTTON1(XWND& window, int, int) {
    MainWindowState& s = state();
    for (int id : {IDT_MAIN_REAL_LABEL, IDT_MAIN_COMPLEX_LABEL, IDE_MAIN_REAL_RESULT, IDE_MAIN_COMPLEX_RESULT}) {
        XCTLSETCHAR(window, id, " ");
    }
    XCTLGETLOG(window, IDX_MAIN_REAL_ONLY, s.realOnly);
    XNUMBERREALONLY(s.realOnly);
    // All of the field, however long: the engine trims the blanks and
    // reports a line still too long as such, where a field read only to
    // its first 80 characters would evaluate the part that fitted.
    s.expression = PXWINDOWTEXT(GetDlgItem(window.hwnd, IDE_MAIN_EXPRESSION));
    session().history.add(s.expression);
    showResult({});

    // The complex value first: when the expression itself is faulty the
    // engine has shown why, and the result fields stay empty.
    s.shown = false;
    if (!XNUMBEREX_C8(s.expression, s.complexResult)) return;
    const bool realOk = XNUMBEREX_R8(s.expression, s.realResult);
    s.realOk = realOk;
    s.shown = true;
    showResultsAgain(window);
    showResult({s.expression, realOk ? std::optional<double>(s.realResult) : std::nullopt,
                s.complexResult});
}

void showResultsAgain(XWND& window) {
    const MainWindowState& s = state();
    if (!s.shown) return;
    const ResultLines lines = formatResultLines(s.realOk ? std::optional<double>(s.realResult) : std::nullopt,
                                                s.complexResult, session().settings.display);
    XCTLSETCHAR(window, IDT_MAIN_REAL_LABEL, lines.realLabel);
    XCTLSETCHAR(window, IDE_MAIN_REAL_RESULT, lines.realValue.empty() ? " " : lines.realValue);
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
    if (saveParameterList(chosenPath())) tableHeldByFile();
}

void XW_FRAME_ONBUTTON4(XWND& window, int, int) {
    MainWindowState& s = state();
    int filterIndex = 1;
    if (!PXGETOPENFILE_1(window, s.directory, filterIndex, s.fileName, std::nullopt,
                         {kFilterPatterns, kFilterDescriptions}, "Parameter List File to Read")) {
        return;
    }
    readParameterFile(chosenPath());
}

void XW_FRAME_ONCANCEL(XWND& window, int, int) {
    // Quitting keeps what is remembered, or asks before it drops changes
    // that nothing keeps.
    if (!endSession(window, true)) return;
    XDESTROYDIALOG(window);
    PostQuitMessage(0);
}
