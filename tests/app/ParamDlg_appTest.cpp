// The "Parameter Maintenance" dialog worked as a user works it, inside the
// running program: open it from the main window, type and save entries, look
// at SHOW ALL, re-arrange, delete, answer the questions, close with Done.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "AppSession.h"
#include "DialogDriver.h"
#include "ErrorDialog_win.h"
#include "ParamDlgRes.h"
#include "Format.h"
#include "ParamListFile.h"
#include "Session.h"
#include "Screenshot.h"
#include "TallyonRes.h"
#include "WflApp.h"
#include "WflWndTestSupport.h"
#include "XExpression.h"

namespace {

constexpr char kTitle[] = "Parameter Maintenance";

// Runs the program through the steps; the last step should end it.
void runSession(std::vector<Step> steps) { EXPECT_EQ(runProgram(std::move(steps)), 0); }

// ---- What the user sees ----------------------------------------------------------
HWND frame() {
    HWND found = FindWindowA("#32770", kTitle);
    return found && IsWindowVisible(found) ? found : nullptr;
}
HWND page(int id) { return frame() ? GetDlgItem(frame(), id) : nullptr; }
HWND control(int pageId, int id) { return GetDlgItem(page(pageId), id); }
std::string text(HWND hwnd) { return textOf(hwnd); }

int lineCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
// One column of a list, top to bottom.
std::vector<std::string> column(HWND list, int col) {
    std::vector<std::string> shown;
    for (int line = 0; line < lineCount(list); ++line) shown.push_back(listViewCell(list, line, col));
    return shown;
}
std::vector<std::string> comboEntries() {
    HWND combo = control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME);
    std::vector<std::string> entries;
    const int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buffer[64] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
        entries.push_back(buffer);
    }
    return entries;
}
int visibleFrames() {
    int n = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", kTitle); w;
         w = FindWindowExA(nullptr, w, "#32770", kTitle)) {
        if (IsWindowVisible(w)) ++n;
    }
    return n;
}

// ---- The user's actions ------------------------------------------------------------
Step act(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}
Step waitFor(std::function<bool()> condition) { return condition; }
Step openDialog() {
    return [posted = false]() mutable {
        if (!posted) {
            PostMessageA(GetDlgItem(mainWindow(), IDB_MAIN_PARAMETERS), BM_CLICK, 0, 0);
            posted = true;
        }
        return frame() != nullptr;
    };
}
// Presses a button of a page (or of the frame when pageId is 0); posted, so
// that a dialog the button opens runs while the next steps answer it.
Step press(int pageId, int id) {
    return act([=] {
        HWND button = pageId ? control(pageId, id) : GetDlgItem(frame(), id);
        PostMessageA(button, BM_CLICK, 0, 0);
    });
}
Step typeInto(int pageId, int id, std::string value) {
    return act([=] { SetWindowTextA(control(pageId, id), value.c_str()); });
}
Step check(int pageId, int id, bool on) {
    return act([=] { SendMessageA(control(pageId, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); });
}
// A left click at (x, y) in the client area of `target`.
void clickAt(HWND target, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(target, WM_LBUTTONUP, 0, at);
}
// A click with the mouse on tab n (1-based).
Step clickTab(int n) {
    return act([=] {
        HWND tab = GetDlgItem(frame(), IDTC_PARAM_PAGES);
        RECT rc{};
        SendMessageA(tab, TCM_GETITEMRECT, n - 1, reinterpret_cast<LPARAM>(&rc));
        clickAt(tab, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    });
}
// A click with the mouse on line `line` (0-based) of a list view.
Step clickLine(int pageId, int listId, int line) {
    return act([=] {
        HWND list = control(pageId, listId);
        RECT rc{};
        rc.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETITEMRECT, line, reinterpret_cast<LPARAM>(&rc));
        clickAt(list, rc.left + 4, (rc.top + rc.bottom) / 2);
    });
}
Step clickHeader(int pageId, int listId, int col) {
    return act([=] {
        HWND header = ListView_GetHeader(control(pageId, listId));
        RECT rc{};
        SendMessageA(header, HDM_GETITEMRECT, col - 1, reinterpret_cast<LPARAM>(&rc));
        clickAt(header, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    });
}
// A key pressed in a control, through the program's own message loop.
Step key(int pageId, int id, WPARAM vk) {
    return act([=] {
        HWND target = control(pageId, id);
        SetFocus(target);
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    });
}

// What a message box or the error report showed.
struct Seen {
    bool shown = false;
    std::string text;
    std::vector<SeenButton> buttons;
};
std::string boxText(HWND box) {
    std::string found;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (classOf(c) == "Static" && (GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON &&
            found.empty()) {
            found = textOf(c);
        }
    }
    return found;
}
// Waits for the box titled `title`, notes what it says and presses `answer`.
Step answer(const char* title, int button, Seen* seen = nullptr) {
    return [=] {
        HWND box = FindWindowA("#32770", title);
        if (!box || !IsWindowVisible(box)) return false;
        if (seen) {
            seen->shown = true;
            seen->text = boxText(box);
            seen->buttons = pushButtons(box);
        }
        PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        return true;
    };
}
// Waits until no box with that title is on screen any more.
Step gone(const char* title) {
    return [=] {
        HWND box = FindWindowA("#32770", title);
        return !box || !IsWindowVisible(box);
    };
}

// Types and saves one parameter on the ENTER/EDIT page.
std::vector<Step> define(std::string name, std::string expression, bool factorOnly = false,
                         std::string comment = {}) {
    return {typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, name),
            typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, expression),
            typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_COMMENT, comment),
            check(IDD_PARAM_ENTRY, IDX_ENTRY_FACTOR, factorOnly),
            press(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE), settle()};
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> strings(std::initializer_list<const char*> list) {
    return std::vector<std::string>(list.begin(), list.end());
}

int lineImage(HWND list, int line) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = line;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

}  // namespace

TEST(ParamDialog, EmptyTableGivesOnlyTheBlankNameAndEmptyLists) {
    std::vector<std::string> names;
    int listLines = -1, arrangeLines = -1, frames = 0;
    bool laterEnabled = true;
    HWND ownerWhileOpen = nullptr;
    HWND dialogWhileOpen = nullptr;
    XWND* ownerAfter = nullptr;
    runSession({
        openDialog(),
        act([&] {
            names = comboEntries();
            laterEnabled = IsWindowEnabled(control(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE_LATER)) != FALSE;
            ownerWhileOpen = expressionErrorOwner() ? expressionErrorOwner()->hwnd : nullptr;
            dialogWhileOpen = frame();
        }),
        clickTab(2), settle(),
        act([&] { listLines = lineCount(control(IDD_PARAM_LIST, IDL_LIST_TABLE)); }),
        clickTab(3), settle(),
        act([&] { arrangeLines = lineCount(control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE)); }),
        // Asked to open again, the open dialog comes forward: still one.
        openDialog(), settle(),
        act([&] { frames = visibleFrames(); }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        act([&] { ownerAfter = expressionErrorOwner(); }),
        quitProgram(),
    });
    EXPECT_EQ(names, strings({""}));
    EXPECT_FALSE(laterEnabled);
    EXPECT_EQ(listLines, 0);
    EXPECT_EQ(arrangeLines, 0);
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(ownerWhileOpen, dialogWhileOpen);  // the dialog owns the reports while open
    EXPECT_EQ(ownerAfter, &frameWindow());      // and hands them back on closing
}

TEST(ParamDialog, ShowAllListsValuesMarksAndSorts) {
    Seen failing, atClose, fixQuestion;
    std::vector<std::string> seq, names, values, factors, sorted, comboAfter;
    std::vector<int> images;
    std::vector<int> widths;
    DWORD extended = 0;
    const std::vector<Step> table = define("A", "1", false, "one") + define("B", "A+1", true, "factor") +
                                    define("C", "(1,2)", false, "complex");
    runSession(std::vector<Step>{openDialog()} + table +
               std::vector<Step>{
                   // Zed uses a name nobody defined: its report shows, it is stored.
                   typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, "Zed"),
                   typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, "NOPE*2"),
                   press(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE),
                   answer("Expression Error", IDOK, &failing), gone("Expression Error"), settle(),
                   act([&] { comboAfter = comboEntries(); }),
                   act([] { saveScreenshot(frame(), "param-enter-edit"); }),
                   clickTab(2), settle(),
                   act([&] {
                       HWND list = control(IDD_PARAM_LIST, IDL_LIST_TABLE);
                       seq = column(list, 0);
                       names = column(list, 1);
                       values = column(list, 2);
                       factors = column(list, 3);
                       for (int line = 0; line < lineCount(list); ++line) images.push_back(lineImage(list, line));
                       for (int c = 0; c < 6; ++c) widths.push_back(ListView_GetColumnWidth(list, c));
                       extended = ListView_GetExtendedListViewStyle(list);
                       saveScreenshot(frame(), "param-show-all");
                   }),
                   clickHeader(IDD_PARAM_LIST, IDL_LIST_TABLE, 2), settle(),
                   clickHeader(IDD_PARAM_LIST, IDL_LIST_TABLE, 2), settle(),
                   act([&] { sorted = column(control(IDD_PARAM_LIST, IDL_LIST_TABLE), 1); }),
                   clickTab(3), settle(),
                   act([] { saveScreenshot(frame(), "param-re-arrange"); }),
                   // Done: Zed fails again; answering No closes anyway.
                   press(0, IDCANCEL),
                   answer("Expression Error", IDOK, &atClose),
                   answer("FIX IT NOW?", IDNO, &fixQuestion),
                   waitFor([] { return frame() == nullptr; }),
                   quitProgram(),
               });
    EXPECT_TRUE(failing.shown);
    EXPECT_EQ(comboAfter, strings({"", "A", "B", "C", "Zed"}));
    EXPECT_EQ(seq, strings({"      1", "      2", "      3", "      4"}));  // "i7": right-aligned in seven
    EXPECT_EQ(names, strings({"A", "B", "C", "Zed"}));
    EXPECT_EQ(values, strings({"1.0000000", "2.0000000", "(1.0000000, 2.0000000)", "**ERROR**"}));
    EXPECT_EQ(factors, strings({"", "Yes", "", ""}));
    EXPECT_EQ(images, (std::vector<int>{0, 0, 0, 1}));  // the second icon marks the error
    for (int w : widths) EXPECT_GT(w, 0);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_EQ(sorted, strings({"Zed", "C", "B", "A"}));  // "Parameter" clicked twice: descending
    EXPECT_TRUE(atClose.shown);
    ASSERT_TRUE(fixQuestion.shown);
    EXPECT_EQ(fixQuestion.text,
              "Do you wish to repair the parameter discrepancies now?  You are urged to answer YES.");
}

TEST(ParamDialog, RearrangeMovesWithTheSelectionAndClosingChecksTheTable) {
    std::vector<std::string> afterMove, comboAfterMove;
    int selectedLine = -1;
    Seen report, firstQuestion, secondQuestion;
    bool openAfterYes = false;
    std::string expressionOfFirst;
    runSession({
        act([] {
            XPARAMNEW("A", "1", "");
            XPARAMNEW("B", "A+1", "");
        }),
        openDialog(),
        clickTab(3), settle(),
        clickLine(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE, 1), settle(),
        press(IDD_PARAM_ARRANGE, IDB_ARRANGE_UP), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            afterMove = column(list, 0);
            selectedLine = ListView_GetNextItem(list, -1, LVNI_SELECTED);
            std::string expression;
            XPARAMFETCH(1, nullptr, &expression);
            expressionOfFirst = expression;
        }),
        clickTab(1), settle(),
        act([&] { comboAfterMove = comboEntries(); }),
        // B now stands before A, which it uses: Done reports B, then asks.
        press(0, IDCANCEL),
        answer("Expression Error", IDOK, &report),
        answer("FIX IT NOW?", IDYES, &firstQuestion), gone("FIX IT NOW?"), settle(),
        act([&] { openAfterYes = frame() != nullptr; }),
        press(0, IDCANCEL),
        answer("Expression Error", IDOK),
        answer("FIX IT NOW?", IDNO, &secondQuestion),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(afterMove, strings({"B", "A"}));
    EXPECT_EQ(selectedLine, 0);  // the selection followed B
    EXPECT_EQ(expressionOfFirst, "A+1");
    EXPECT_EQ(comboAfterMove, strings({"", "B", "A"}));
    EXPECT_TRUE(report.shown);
    EXPECT_TRUE(firstQuestion.shown);
    EXPECT_TRUE(openAfterYes);
    EXPECT_TRUE(secondQuestion.shown);
}

TEST(ParamDialog, DeleteAsksAndNoKeepsTheParameter) {
    Seen question;
    std::vector<std::string> afterNo, afterYes;
    int selectedAfterNo = 99;
    runSession({
        act([] {
            XPARAMNEW("A", "1", "");
            XPARAMNEW("Width", "2", "");
        }),
        openDialog(),
        clickTab(3), settle(),
        clickLine(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE, 1), settle(),
        press(IDD_PARAM_ARRANGE, IDB_ARRANGE_DELETE),
        answer("YOU SURE ?", IDNO, &question), gone("YOU SURE ?"), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            afterNo = column(list, 0);
            selectedAfterNo = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        }),
        clickLine(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE, 1), settle(),
        press(IDD_PARAM_ARRANGE, IDB_ARRANGE_DELETE),
        answer("YOU SURE ?", IDYES), gone("YOU SURE ?"), settle(),
        act([&] { afterYes = column(control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE), 0); }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    ASSERT_TRUE(question.shown);
    EXPECT_EQ(question.text, "Do you really want to delete parameter \"Width\" ?");
    ASSERT_EQ(question.buttons.size(), 2u);
    EXPECT_EQ(question.buttons[1].id, IDNO);
    EXPECT_TRUE(question.buttons[1].isDefault);  // No is the default
    EXPECT_EQ(afterNo, strings({"A", "Width"}));
    EXPECT_EQ(selectedAfterNo, -1);  // declining leaves the row deselected
    EXPECT_EQ(afterYes, strings({"A"}));
    EXPECT_EQ(XPARAMCOUNT(), 1);
}

TEST(ParamDialog, HalfTypedEntrySurvivesShowAllButNotReArrange) {
    std::string nameBack, expressionBack, nameAfterArrange, expressionAfterArrange;
    runSession({
        openDialog(),
        typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, "Half"),
        typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, "3*4"),
        clickTab(2), settle(), clickTab(1), settle(),
        act([&] {
            nameBack = text(control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME));
            expressionBack = text(control(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION));
        }),
        clickTab(3), settle(), clickTab(1), settle(),
        act([&] {
            nameAfterArrange = text(control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME));
            expressionAfterArrange = text(control(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION));
        }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(nameBack, "Half");
    EXPECT_EQ(expressionBack, "3*4");
    EXPECT_EQ(nameAfterArrange, "");  // a visit to RE-ARRANGE renews the form
    EXPECT_EQ(expressionAfterArrange, "");
    EXPECT_EQ(XPARAMCOUNT(), 0);
}

TEST(ParamDialog, SaveLaterOnlyAfterAFailedSave) {
    bool enabledAtStart = true, enabledAfterFailure = false, enabledAfterLater = true;
    std::string keptExpression, clearedExpression, stored;
    Seen report;
    runSession({
        act([] { XPARAMNEW("A", "1", ""); }),
        openDialog(),
        act([&] { enabledAtStart = IsWindowEnabled(control(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE_LATER)) != FALSE; }),
        // Editing A with a broken expression fails and keeps the form.
        typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, "a"),
        typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, "2*(3"),
        press(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE),
        answer("Expression Error", IDOK, &report), gone("Expression Error"), settle(),
        act([&] {
            enabledAfterFailure = IsWindowEnabled(control(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE_LATER)) != FALSE;
            keptExpression = text(control(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION));
        }),
        press(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE_LATER), settle(),
        act([&] {
            enabledAfterLater = IsWindowEnabled(control(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE_LATER)) != FALSE;
            clearedExpression = text(control(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION));
            std::string expression;
            XPARAMFETCH(1, nullptr, &expression);
            stored = expression;
        }),
        // The entry is stored unevaluated, so closing reports it; No closes.
        press(0, IDCANCEL),
        answer("Expression Error", IDOK),
        answer("FIX IT NOW?", IDNO),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_FALSE(enabledAtStart);
    EXPECT_TRUE(report.shown);
    EXPECT_TRUE(enabledAfterFailure);
    EXPECT_EQ(keptExpression, "2*(3");
    EXPECT_FALSE(enabledAfterLater);
    EXPECT_EQ(clearedExpression, "");
    EXPECT_EQ(stored, "2*(3");
    EXPECT_EQ(XPARAMCOUNT(), 1);
}

TEST(ParamDialog, TabAndEnterWorkInsideThePage) {
    int afterTab = 0;
    std::string name;
    runSession({
        openDialog(),
        typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, "Rate"),
        typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, "0.5"),
        key(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, VK_TAB), settle(),
        act([&] { afterTab = GetDlgCtrlID(GetFocus()); }),
        key(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, VK_RETURN), settle(),
        act([&] { XPARAMFETCH(1, &name); }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(afterTab, IDX_ENTRY_FACTOR);
    EXPECT_EQ(name, "Rate");  // Enter pressed SAVE and Continue
}

TEST(ParamDialog, ALongNameIsRefusedAndOverwritesNothing) {
    Seen tooLong;
    int countAfter = 0;
    std::string name, expression, comment;
    runSession(std::vector<Step>{openDialog()} + define("WATER_DENSITY_KG", "1000", false, "kg per cubic metre") +
               std::vector<Step>{
                   typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, "WATER_DENSITY_KG_L"),
                   typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, "1"),
                   typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_COMMENT, "kg per litre"),
                   press(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE),
                   answer("TOO LONG", IDOK, &tooLong), gone("TOO LONG"), settle(),
                   act([&] {
                       countAfter = XPARAMCOUNT();
                       XPARAMFETCH(1, &name, &expression, &comment);
                   }),
                   press(0, IDCANCEL),
                   waitFor([] { return frame() == nullptr; }),
                   quitProgram(),
               });
    ASSERT_TRUE(tooLong.shown);
    EXPECT_EQ(tooLong.text, "The given name \"WATER_DENSITY_KG_L\" is too long.  16 chars. max.");
    EXPECT_EQ(countAfter, 1);
    EXPECT_EQ(name, "WATER_DENSITY_KG");
    EXPECT_EQ(expression, "1000");
    EXPECT_EQ(comment, "kg per cubic metre");
}

TEST(ParamDialog, TypingANameStopsAtSixteenCharacters) {
    std::string typed;
    runSession({
        openDialog(),
        act([] {
            HWND combo = control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME);
            HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
            SetFocus(edit);
            for (char c : std::string("WATER_DENSITY_KG_L")) PostMessageA(edit, WM_CHAR, c, 1);
        }),
        settle(),
        act([&] { typed = text(control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME)); }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(typed, "WATER_DENSITY_KG");
}

TEST(ParamDialog, ShowAllShowsAWholeLargeComplexValue) {
    std::vector<std::string> values;
    runSession({
        act([] { XPARAMNEW("ZZ", "(-1e300,-1e300)", ""); }),
        openDialog(),
        clickTab(2), settle(),
        act([&] { values = column(control(IDD_PARAM_LIST, IDL_LIST_TABLE), 2); }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(values, strings({"(-1.0000000E+300, -1.0000000E+300)"}));
}

// SHOW ALL's "Currently" column shows values as the results are shown.
TEST(ParamDialog, ShowAllFollowsTheDisplayChoice) {
    std::vector<std::string> values;
    runSession({
        act([] {
            XPARAMNEW("U", "0.000047", "");
            XPARAMNEW("Z", "(0,10)", "");
            session().settings.display = DisplayFormat{DisplayFormat::Notation::kEngineering, 4, true};
        }),
        openDialog(),
        clickTab(2), settle(),
        act([&] { values = column(control(IDD_PARAM_LIST, IDL_LIST_TABLE), 2); }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(values, strings({"47.00E-6", "10.00E0<90.00E0"}));
}

TEST(ParamDialog, CurrentlySortsByValueWithErrorsLast) {
    std::vector<std::string> ascending, descending;
    runSession({
        act([] {
            for (const auto& [name, expression] : {std::pair{"P10", "10"}, {"P2", "2"}, {"C12", "(1,2)"},
                                                    {"C1M", "(1,-1)"}, {"ONE", "1"}, {"NEG", "-3"},
                                                    {"BIG", "1E20"}}) {
                XPARAMNEW(name, expression, "");
            }
            XPARAMNEW("BAD", "NOPE", "", false, false);  // listed as **ERROR**
        }),
        openDialog(),
        clickTab(2), settle(),
        clickHeader(IDD_PARAM_LIST, IDL_LIST_TABLE, 3), settle(),
        act([&] { ascending = column(control(IDD_PARAM_LIST, IDL_LIST_TABLE), 1); }),
        clickHeader(IDD_PARAM_LIST, IDL_LIST_TABLE, 3), settle(),
        act([&] { descending = column(control(IDD_PARAM_LIST, IDL_LIST_TABLE), 1); }),
        press(0, IDCANCEL),
        answer("Expression Error", IDOK),
        answer("FIX IT NOW?", IDNO),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    // Real part first, then the imaginary part: (1,-1) before 1 before (1,2).
    EXPECT_EQ(ascending, strings({"NEG", "C1M", "ONE", "C12", "P2", "P10", "BIG", "BAD"}));
    EXPECT_EQ(descending, strings({"BIG", "P10", "P2", "C12", "ONE", "C1M", "NEG", "BAD"}));
}

TEST(ParamDialog, MovesTakeSelectionAndFocusAlongTogether) {
    struct Move {
        const char* what;
        int button;
        int line;  // where B stands afterwards
    } moves[] = {
        {"up from the middle", IDB_ARRANGE_UP, 0},
        {"down from the top", IDB_ARRANGE_DOWN, 1},
        {"down to the bottom", IDB_ARRANGE_DOWN, 2},
    };
    std::vector<int> selected(std::size(moves), -1), focused(std::size(moves), -1);
    std::vector<Step> steps{
        act([] {
            XPARAMNEW("A", "1", "");
            XPARAMNEW("B", "2", "");
            XPARAMNEW("C", "3", "");
        }),
        openDialog(), clickTab(3), settle(),
        clickLine(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE, 1), settle(),
    };
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        steps.push_back(press(IDD_PARAM_ARRANGE, moves[i].button));
        steps.push_back(settle());
        steps.push_back(act([&, i] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            selected[i] = ListView_GetNextItem(list, -1, LVNI_SELECTED);
            focused[i] = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        }));
    }
    runSession(steps + std::vector<Step>{
                           press(0, IDCANCEL),
                           waitFor([] { return frame() == nullptr; }),
                           quitProgram(),
                       });
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        SCOPED_TRACE(moves[i].what);
        EXPECT_EQ(selected[i], moves[i].line);
        EXPECT_EQ(focused[i], moves[i].line);
    }
}

namespace {

// Input as the system delivers a user's: to whatever window is under the
// mouse or holds the keyboard focus, and not at all to a disabled window.
void realClick(HWND target) {
    RECT box{};
    GetWindowRect(target, &box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}
void realKey(WORD vk) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}
bool shown(const char* title) {
    HWND w = FindWindowA(nullptr, title);
    return w && IsWindowVisible(w);
}

}  // namespace

TEST(ParamDialog, WhileAReportIsOpenNoOtherWindowTakesInput) {
    bool reportShown = false, logicError = false, readDialog = false, enterClosedTheReport = false;
    std::string evaluated = "untouched";
    runSession({
        openDialog(),
        // Side by side, so that the main window's buttons are in reach of
        // the mouse while the report stands over the maintenance dialog.
        act([] {
            SetWindowPos(mainWindow(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RECT main{};
            GetWindowRect(mainWindow(), &main);
            SetWindowPos(frame(), nullptr, main.right + 10, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            SetDlgItemTextA(mainWindow(), IDE_MAIN_EXPRESSION, "2+2");
        }),
        typeInto(IDD_PARAM_ENTRY, IDC_ENTRY_NAME, "Zed"),
        typeInto(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION, "NOPE*2"),
        press(IDD_PARAM_ENTRY, IDB_ENTRY_SAVE),
        waitFor([&] { return reportShown = shown("Expression Error"); }),
        act([] { realClick(GetDlgItem(mainWindow(), IDB_MAIN_EVALUATE)); }), settle(),
        act([] { realClick(GetDlgItem(mainWindow(), IDB_MAIN_READ)); }), settle(),
        act([&] {
            char result[64] = {};
            GetDlgItemTextA(mainWindow(), IDE_MAIN_COMPLEX_RESULT, result, sizeof result);
            evaluated = result;
            logicError = shown("LOGIC ERROR");
            readDialog = shown("Parameter List File to Read");
            // Whatever came up goes again, so that the report is what is left.
            for (const char* title : {"LOGIC ERROR", "Parameter List File to Read"}) {
                if (HWND w = FindWindowA(nullptr, title)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
        }),
        settle(),
        act([] { realKey(VK_RETURN); }),
        waitFor([&] { return enterClosedTheReport = !shown("Expression Error"); }),
        press(0, IDCANCEL),
        answer("Expression Error", IDOK),
        answer("FIX IT NOW?", IDNO),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_TRUE(reportShown);
    EXPECT_FALSE(logicError);
    EXPECT_FALSE(readDialog);
    EXPECT_EQ(evaluated, "");  // Evaluate never ran
    EXPECT_TRUE(enterClosedTheReport);
}

TEST(ParamDialog, PickingANameFromTheListFillsItsEntry) {
    std::string expression, comment;
    bool factorOnly = false;
    runSession({
        act([] {
            XPARAMNEW("A", "1", "first");
            XPARAMNEW("Rate", "0.5*A", "per year", true);
        }),
        openDialog(),
        // The user opens the list and clicks "Rate", the third entry.
        act([] {
            HWND combo = control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME);
            SetFocus(combo);
            SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(combo, &info);
            RECT item{};
            SendMessageA(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
            clickAt(info.hwndList, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
        }),
        settle(),
        act([&] {
            expression = text(control(IDD_PARAM_ENTRY, IDE_ENTRY_EXPRESSION));
            comment = text(control(IDD_PARAM_ENTRY, IDE_ENTRY_COMMENT));
            factorOnly = SendMessageA(control(IDD_PARAM_ENTRY, IDX_ENTRY_FACTOR), BM_GETCHECK, 0, 0) == BST_CHECKED;
        }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    EXPECT_EQ(expression, "0.5*A");
    EXPECT_EQ(comment, "per year");
    EXPECT_TRUE(factorOnly);
}

// Names and comments in other scripts, typed on ENTER/EDIT, show in SHOW
// ALL and in the name list as the user wrote them, and compare by letters:
// the capital name finds the parameter the small one made.
TEST(ParamDialog, NamesAndCommentsInAnyScriptShowAsTyped) {
    std::vector<std::string> names, values, comments, combo;
    runSession(std::vector<Step>{openDialog()} +
               define("\xC5\x82\xC3\xB3" "d\xC5\xBA", "2", false, "Z\xC3\xBCrich caf\xC3\xA9") +  // łódź
               define("\xD0\x94\xD0\x9B\xD0\x98\xD0\x9D\xD0\x90", "\xC5\x81\xC3\x93" "D\xC5\xB9*3", false,
                      "\xE6\x97\xA5\xE6\x9C\xAC") +  // ДЛИНА = ŁÓDŹ*3 !日本
               std::vector<Step>{
                   act([&] { combo = comboEntries(); }),
                   clickTab(2), settle(),
                   act([&] {
                       HWND list = control(IDD_PARAM_LIST, IDL_LIST_TABLE);
                       names = column(list, 1);
                       values = column(list, 2);
                       comments = column(list, 5);
                   }),
                   press(0, IDCANCEL),
                   waitFor([] { return frame() == nullptr; }),
                   quitProgram(),
               });
    EXPECT_EQ(names, strings({"\xC5\x82\xC3\xB3" "d\xC5\xBA", "\xD0\x94\xD0\x9B\xD0\x98\xD0\x9D\xD0\x90"}));
    EXPECT_EQ(values, strings({"2.0000000", "6.0000000"}));
    EXPECT_EQ(comments, strings({"Z\xC3\xBCrich caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC"}));
    EXPECT_EQ(combo, strings({"", "\xC5\x82\xC3\xB3" "d\xC5\xBA", "\xD0\x94\xD0\x9B\xD0\x98\xD0\x9D\xD0\x90"}));
}

// A table of 100 000 parameters, read from a file as a user's would be:
// every page shows all of them, Seq. shows whole numbers to the last, a
// move changes the two rows it concerns, a deletion takes its row out, and
// Done closes the dialog. (How fast: bench_window.)
TEST(ParamDialog, AHundredThousandParametersAreAllShownAndMoved) {
    constexpr int kCount = 100000;
    const std::string file = tempFolder() + "\\tallyon-large-" + std::to_string(GetCurrentProcessId()) + ".par";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 1; i <= kCount; ++i) out << "P" << i << "=" << i << " !row " << i << "\r\n";
    }
    int shownLines = 0, arrangeLines = 0, comboCount = 0, linesAfterDelete = 0;
    std::string lastSeq, lastName, movedUp, movedDown, nameAtMiddle, lastAfterDelete;
    runSession({
        stopRemembering(), settle(),
        act([&] { readParameterList(file); }),
        [] { return XPARAMCOUNT() == kCount; },
        openDialog(), settle(),
        act([&] { comboCount = static_cast<int>(SendMessageA(control(IDD_PARAM_ENTRY, IDC_ENTRY_NAME), CB_GETCOUNT, 0, 0)); }),
        clickTab(2), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_LIST, IDL_LIST_TABLE);
            shownLines = lineCount(list);
            lastSeq = listViewCell(list, kCount - 1, 0);
            lastName = listViewCell(list, kCount - 1, 1);
        }),
        clickTab(3), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            arrangeLines = lineCount(list);
            ListView_EnsureVisible(list, kCount / 2 - 1, FALSE);
            ListView_SetItemState(list, kCount / 2 - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }),
        press(IDD_PARAM_ARRANGE, IDB_ARRANGE_UP), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            movedUp = listViewCell(list, kCount / 2 - 2, 0) + "," + listViewCell(list, kCount / 2 - 1, 0);
        }),
        press(IDD_PARAM_ARRANGE, IDB_ARRANGE_DOWN), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            movedDown = listViewCell(list, kCount / 2 - 2, 0) + "," + listViewCell(list, kCount / 2 - 1, 0);
            std::string name;
            XPARAMFETCH(kCount / 2, &name);
            nameAtMiddle = name;
            ListView_SetItemState(list, kCount - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }),
        press(IDD_PARAM_ARRANGE, IDB_ARRANGE_DELETE),
        answer("YOU SURE ?", IDYES), gone("YOU SURE ?"), settle(),
        act([&] {
            HWND list = control(IDD_PARAM_ARRANGE, IDL_ARRANGE_TABLE);
            linesAfterDelete = lineCount(list);
            lastAfterDelete = listViewCell(list, linesAfterDelete - 1, 0);
        }),
        press(0, IDCANCEL),
        waitFor([] { return frame() == nullptr; }),
        quitProgram(),
    });
    DeleteFileA(file.c_str());
    EXPECT_EQ(comboCount, kCount + 1);
    EXPECT_EQ(shownLines, kCount);
    EXPECT_EQ(lastSeq, " 100000");  // seven places, no stars
    EXPECT_EQ(lastName, "P100000");
    EXPECT_EQ(arrangeLines, kCount);
    EXPECT_EQ(movedUp, "P50000,P49999");
    EXPECT_EQ(movedDown, "P49999,P50000");
    EXPECT_EQ(nameAtMiddle, "P50000");
    EXPECT_EQ(linesAfterDelete, kCount - 1);
    EXPECT_EQ(lastAfterDelete, "P99999");
}
