// The "Parameter Maintenance" frame: opening it with its three pages,
// switching pages, the check on closing, and the ENTER/EDIT page.
#include "ParamDlg.h"

#include <windows.h>

#include <algorithm>
#include <span>
#include <string>

#include "ErrorDialog_win.h"
#include "ParamDlgInternal.h"
#include "ParamDlgRes.h"
#include "WflCtrl.h"
#include "WflDialog.h"
#include "WflextraNotices.h"
#include "XExpression.h"

namespace {

constexpr int kTabEntry = 1, kTabList = 2, kTabArrange = 3;

// Enter reaches the dialog manager of the frame, which knows no default
// button of its own (the buttons sit in the pages) and reports IDOK. The
// frame hands it on to the default button of the page on show, as the
// page itself would have done.
void pressPageDefault(XWND& frame, int, int) {
    for (HWND page = GetWindow(frame.hwnd, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        if (!IsWindowVisible(page) || !(GetWindowLongPtrA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
            continue;
        }
        const auto found = static_cast<DWORD>(SendMessageA(page, DM_GETDEFID, 0, 0));
        if (HIWORD(found) != DC_HASDEFID) continue;
        HWND button = GetDlgItem(page, LOWORD(found));
        if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) continue;
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(LOWORD(found), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return;
    }
}

// The longest name the table takes; the name field stops the user there.
constexpr int kNameLength = 16;

// The whole text of a control's value field, however long.
std::string wholeValue(XWND& page, int id) {
    const auto length = XCTLSENDMESSAGE(page, id, WM_GETTEXTLENGTH);
    std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, ' ');
    XCTLGETCHAR(page, id, std::span<char>(text), XSEL_VALUE);
    return text;
}

void destroyAll(ParamDlgState& s) {
    for (XWND* dialog : {&s.arrangePage, &s.listPage, &s.entryPage, &s.frame}) {
        XDESTROYDIALOG(*dialog);
    }
}

}  // namespace

ParamDlgState& paramDlgState() {
    static ParamDlgState s;
    return s;
}

void PARAM_ENTRY(XWND& window) {
    ParamDlgState& s = paramDlgState();
    // One copy at a time: asked again, the open dialog comes to the front
    // (a second copy would share, and fight over, the same records).
    if (s.open && IsWindow(s.frame.hwnd)) {
        ShowWindow(s.frame.hwnd, SW_SHOW);
        SetForegroundWindow(s.frame.hwnd);
        SetActiveWindow(s.frame.hwnd);
        return;
    }
    const bool loaded = XLOADDIALOG(IDD_PARAM_FRAME, s.frame, &window) &&
                        XLOADDIALOG(IDD_PARAM_ENTRY, s.entryPage, &s.frame) &&
                        XLOADDIALOG(IDD_PARAM_LIST, s.listPage, &s.frame) &&
                        XLOADDIALOG(IDD_PARAM_ARRANGE, s.arrangePage, &s.frame);
    if (!loaded) {
        destroyAll(s);
        XUSERSTOP("LOAD FAILURE", "Unable to find Parameter Definition Dialog.");
        return;
    }
    for (XWND* d : {&s.frame, &s.entryPage, &s.listPage, &s.arrangePage}) XFITDIALOGTEXTS(*d);
    s.open = true;
    s.rearranged = false;
    XNUMBEROWNER(s.frame, &s.savedOwner);

    XCTLSETINT(s.frame, IDTC_PARAM_PAGES, 3, XSEL_COUNT);
    XCTLSETCHAR(s.frame, IDTC_PARAM_PAGES, "ENTER/EDIT", kTabEntry);
    XCTLSETCHAR(s.frame, IDTC_PARAM_PAGES, "SHOW ALL", kTabList);
    XCTLSETCHAR(s.frame, IDTC_PARAM_PAGES, "RE-ARRANGE", kTabArrange);
    XCTLSETINT(s.frame, IDTC_PARAM_PAGES, IDD_PARAM_ENTRY, kTabEntry);
    XCTLSETINT(s.frame, IDTC_PARAM_PAGES, IDD_PARAM_LIST, kTabList);
    XCTLSETINT(s.frame, IDTC_PARAM_PAGES, IDD_PARAM_ARRANGE, kTabArrange);
    XCTLSETINT(s.frame, IDTC_PARAM_PAGES, kTabEntry, XSEL_VALUE);

    XCTLSETSUB(s.frame, IDCANCEL, PARAM_ENTRY_ONIDCANCEL);
    XSETCOMMAND(s.frame, IDOK, pressPageDefault);
    XCTLSETSUB(s.frame, IDTC_PARAM_PAGES, PARAM_ENTRY_ONTAB, XEVT_SELCHANGE);
    XCTLSETSUB(s.entryPage, IDC_ENTRY_NAME, PARAM_EDIT_COMBOUP, XEVT_SELCHANGE);
    XCTLSENDMESSAGE(s.entryPage, IDC_ENTRY_NAME, CB_LIMITTEXT, kNameLength);
    XCTLSETSUB(s.entryPage, IDB_ENTRY_SAVE, PARAM_EDIT_SAVE);
    XCTLSETSUB(s.listPage, IDL_LIST_TABLE, PARAM_LIST_ONCOLUMN, XEVT_COLUMNCLICK);
    XCTLSETSUB(s.entryPage, IDB_ENTRY_SAVE_LATER, PARAM_EDIT_LATER);
    XCTLSETSUB(s.arrangePage, IDB_ARRANGE_UP, PARAM_MOVE_UP);
    XCTLSETSUB(s.arrangePage, IDB_ARRANGE_DOWN, PARAM_MOVE_DOWN);
    XCTLSETSUB(s.arrangePage, IDB_ARRANGE_DELETE, PARAM_MOVE_OUT);

    PARAM_EDIT_INIT(s.entryPage);
    // Beside the main window, so that both are in view, and on screen.
    XPLACEBESIDE(s.frame, window.hwnd);
    XMODELESSDIALOG(s.frame, SW_SHOW);
}

void PARAM_ENTRY_ONTAB(XWND& frame, int, int) {
    ParamDlgState& s = paramDlgState();
    int tab = 0;
    XCTLGETINT(frame, IDTC_PARAM_PAGES, tab, XSEL_VALUE);
    switch (tab) {
        case kTabEntry:
            // Switching between ENTER/EDIT and SHOW ALL keeps a half-typed
            // entry; only a re-arranged table renews the form.
            if (s.rearranged) PARAM_EDIT_INIT(s.entryPage);
            s.rearranged = false;
            break;
        case kTabList: PARAM_LIST(s.listPage); break;
        case kTabArrange:
            PARAM_MOVE(s.arrangePage);
            s.rearranged = true;
            break;
        default: break;
    }
}

void PARAM_ENTRY_ONIDCANCEL(XWND&, int, int) {
    ParamDlgState& s = paramDlgState();
    // Moves, deletions and edits re-evaluate nothing, so the whole table is
    // checked once here; every failing entry shows its own report.
    if (!XPARAMUPDATE()) {
        const int answer = XUSERASK("FIX IT NOW?",
                                    "Do you wish to repair the parameter discrepancies now?  "
                                    "You are urged to answer YES.");
        if (answer == 1) return;
    }
    std::vector<ArrangeRow>().swap(s.arrangeRows);
    std::vector<ListRow>().swap(s.listRows);
    s.arrangeRowsExist = false;
    destroyAll(s);
    s.open = false;
    if (s.savedOwner) XNUMBEROWNER(*s.savedOwner);
    s.savedOwner = nullptr;
}

// ---- ENTER/EDIT --------------------------------------------------------------

// The list is emptied and the entries appended straight to the combo box,
// with room for all of them made first and drawing held off. Setting entry
// after entry of a list of blanks would replace each one (the control moves
// every entry after it each time), and each call through the framework
// looks the control up again: seconds for 100 000 names either way.
void COMBOFILL(XWND& page) {
    const int count = XPARAMCOUNT();
    HWND combo = GetDlgItem(page.hwnd, IDC_ENTRY_NAME);
    if (!combo) return;
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_INITSTORAGE, static_cast<WPARAM>(count + 1),
                 static_cast<LPARAM>(count + 1) * (kNameLength + 1));
    // The first entry, a blank (held without its trailing blank, as every
    // entry is), is the choice for a new parameter.
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    for (int i = 1; i <= count; ++i) {
        std::string name;
        XPARAMFETCH(i, &name);
        const std::string entry(textkit::trimRight(name));
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
}

void PARAM_EDIT_INIT(XWND& page) {
    ParamDlgState& s = paramDlgState();
    s.expression = "";
    s.comment = "";
    s.factorOnly = false;
    COMBOFILL(page);
    // The name goes too: a fresh form starts from the blank choice.
    s.name.clear();
    XCTLSETCHAR(page, IDC_ENTRY_NAME, s.name, XSEL_VALUE);
    XCTLSETCHAR(page, IDE_ENTRY_EXPRESSION, s.expression.raw(), XSEL_VALUE);
    XCTLSETCHAR(page, IDE_ENTRY_COMMENT, s.comment.raw(), XSEL_VALUE);
    XCTLSETLOG(page, IDX_ENTRY_FACTOR, false);
    XSETDIALOGFOCUS(page.hwnd, IDC_ENTRY_NAME);
    XSENDMESSAGE(page, DM_SETDEFID, IDB_ENTRY_SAVE);
}

void PARAM_EDIT_COMBOUP(XWND& page, int, int) {
    ParamDlgState& s = paramDlgState();
    s.name = wholeValue(page, IDC_ENTRY_NAME);
    int index = 0;
    XPARAMFIND(s.name, index);
    // The blank first entry is no parameter: the fields stay as they are,
    // so a shown parameter's texts can be saved under a new name.
    if (index == 0) return;
    std::string expression, comment;
    XPARAMFETCH(index, nullptr, &expression, &comment, &s.factorOnly);
    s.expression = expression;
    s.comment = comment;
    XCTLSETCHAR(page, IDE_ENTRY_EXPRESSION, s.expression.raw(), XSEL_VALUE);
    XCTLSETCHAR(page, IDE_ENTRY_COMMENT, s.comment.raw(), XSEL_VALUE);
    XCTLSETLOG(page, IDX_ENTRY_FACTOR, s.factorOnly);
}

bool PARAM_EDIT_STORE(XWND& page, bool evaluate) {
    ParamDlgState& s = paramDlgState();
    s.name = wholeValue(page, IDC_ENTRY_NAME);
    XCTLGETCHAR(page, IDE_ENTRY_EXPRESSION, s.expression, XSEL_VALUE);
    XCTLGETCHAR(page, IDE_ENTRY_COMMENT, s.comment, XSEL_VALUE);
    XCTLGETLOG(page, IDX_ENTRY_FACTOR, s.factorOnly);
    int index = 0;
    XPARAMFIND(s.name, index);
    if (index == 0) return XPARAMNEW(s.name, s.expression.view(), s.comment.view(), s.factorOnly, evaluate);
    return XPARAMEDIT(s.name, s.expression.view(), s.comment.view(), s.factorOnly, evaluate);
}

void PARAM_EDIT_SAVE(XWND& page, int, int) {
    if (PARAM_EDIT_STORE(page, true)) {
        PARAM_EDIT_INIT(page);
        XCTLSETLOG(page, IDB_ENTRY_SAVE_LATER, false, XSEL_ENABLED);
    } else {
        // The entry stays as typed; it may still be stored unevaluated.
        XCTLSETLOG(page, IDB_ENTRY_SAVE_LATER, true, XSEL_ENABLED);
    }
}

void PARAM_EDIT_LATER(XWND& page, int, int) {
    if (PARAM_EDIT_STORE(page, false)) PARAM_EDIT_INIT(page);
    XCTLSETLOG(page, IDB_ENTRY_SAVE_LATER, false, XSEL_ENABLED);
}
