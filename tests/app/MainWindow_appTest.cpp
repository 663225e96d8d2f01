// The main window worked as a user works it: type an expression, press
// Evaluate or Enter, read the result lines, answer the error dialog, quit.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "AppSession.h"
#include "UserActions.h"
#include "ErrorDialogRes.h"
#include "History.h"
#include "Session.h"
#include "Text.h"
#include "DialogDriver.h"
#include "TallyonRes.h"
#include "WflApp.h"
#include "WflWndTestSupport.h"
#include "XExpression.h"

namespace {

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

}  // namespace

TEST(MainWindow, EvaluatesAsTheUserAsks) {
    Results real, complex, enter;
    std::string title;
    int focusAtStart = 0;
    const int code = runProgram({
        settle(),
        expect([&] {
            char buf[128] = {};
            GetWindowTextA(mainWindow(), buf, sizeof buf);
            title = buf;
            focusAtStart = GetDlgCtrlID(GetFocus());
        }),
        type("2^3 + 6"), click(IDB_MAIN_EVALUATE), settle(),
        expect([&] { real = results(); }),
        type("(-1,-2)"), click(IDB_MAIN_EVALUATE), settle(),
        expect([&] { complex = results(); }),
        type("7*2"), keyInExpression(VK_RETURN), settle(),
        expect([&] { enter = results(); }),
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);  // Quit ends the program with 0
    EXPECT_EQ(title, "XNumberEx Demo Program");
    EXPECT_EQ(focusAtStart, IDE_MAIN_EXPRESSION);  // ready for typing
    EXPECT_EQ(real.realLabel, "Real Result =");
    EXPECT_EQ(real.real, "14.0000000");
    EXPECT_EQ(complex.realLabel, "Real Result =");
    EXPECT_EQ(complex.real, "-1.0000000");
    EXPECT_EQ(complex.complexLabel, "Complex Result =");
    EXPECT_EQ(complex.complex, "(-1.0000000, -2.0000000)");
    EXPECT_EQ(enter.realLabel, "Real Result =");
    EXPECT_EQ(enter.real, "14.0000000");
    EXPECT_EQ(enter.complex, "(14.0000000, 0.0000000)");
}

// The values the Windows build once got wrong (the MinGW runtime's sine,
// cosine and pow), as the user reads them in the result fields.
TEST(MainWindow, ResultFieldsShowTheRightDigits) {
    const struct Row {
        const char* expr;
        const char* real;
        const char* complex;
    } rows[] = {
        {"#SIN(1E22)", "-0.8522008", "(-0.8522008, 0.0000000)"},
        {"#SIN(3.141592653589793)", "1.2246468E-16", "(1.2246468E-16, 0.0000000)"},
        {"#COS(1E19)", "-0.3749052", "(-0.3749052, 0.0000000)"},
        {"1.0000003^1978582108", "6.1115130E+257", "(6.1115130E+257, 0.0000000)"},
        {"10^0.99999999", "9.9999998", "(9.9999998, 0.0000000)"},
    };
    std::vector<Results> seen(std::size(rows));
    std::vector<Step> steps{settle()};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        steps.push_back(type(rows[i].expr));
        steps.push_back(click(IDB_MAIN_EVALUATE));
        steps.push_back(settle());
        steps.push_back(expect([&seen, i] { seen[i] = results(); }));
    }
    steps.push_back(click(IDCANCEL));
    EXPECT_EQ(runProgram(steps), 0);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].expr);
        EXPECT_EQ(seen[i].realLabel, "Real Result =");
        EXPECT_EQ(seen[i].real, rows[i].real);
        EXPECT_EQ(seen[i].complex, rows[i].complex);
    }
}

TEST(MainWindow, FaultyExpressionOpensTheErrorDialog) {
    ErrorSeen unknown, depth, imaginary;
    Results afterUnknown, afterImaginary;
    const int code = runProgram({
        type("2x**2 + 3(y-1)"), click(IDB_MAIN_EVALUATE), answerError(unknown), settle(),
        expect([&] { afterUnknown = results(); }),
        type("((A+B)"), click(IDB_MAIN_EVALUATE), answerError(depth), settle(),
        // Real-only: the complex value still shows, the real line says so.
        check(true), type("(3,4)"), click(IDB_MAIN_EVALUATE), answerError(imaginary), settle(),
        expect([&] { afterImaginary = results(); }),
        check(false), click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(unknown.shown);
    EXPECT_EQ(unknown.message, "Parameter used before being defined");
    EXPECT_EQ(trimRight(unknown.display), "2x**2 + 3(y-1)");
    EXPECT_EQ(trimRight(unknown.marker), " ^");
    EXPECT_EQ(afterUnknown.realLabel, "");
    EXPECT_EQ(afterUnknown.complex, "");

    ASSERT_TRUE(depth.shown);
    EXPECT_EQ(depth.message, "Parentheses do not balance");
    EXPECT_EQ(trimRight(depth.marker), "12   2");

    ASSERT_TRUE(imaginary.shown);
    EXPECT_EQ(imaginary.message,
              "Expression has non-zero imaginary part.  Pure real required.  Check for spurious comma.");
    EXPECT_EQ(trimRight(imaginary.marker), "^^^^^");
    EXPECT_EQ(afterImaginary.realLabel, "NO REAL RESULT");
    EXPECT_EQ(afterImaginary.real, "");
    EXPECT_EQ(afterImaginary.complex, "(3.0000000, 4.0000000)");
}

// The whole field is evaluated: blanks before a line are trimmed however
// many there are, and a line too long after trimming is told as such, never
// cut into a shorter expression with another value.
TEST(MainWindow, TheWholeFieldIsEvaluated) {
    std::string sum;
    for (int i = 0; i < 29; ++i) sum += "1+";
    sum += "0271";  // 62 characters, 300
    const std::string blanks = std::string(19, ' ') + sum;
    const std::string tabs = std::string(20, '\t') + sum;
    const std::string tooLong = "  " + std::string(65, '1') + "  ";
    Results afterBlanks, afterTabs;
    ErrorSeen error;
    const int code = runProgram({
        type(blanks), click(IDB_MAIN_EVALUATE), settle(), expect([&] { afterBlanks = results(); }),
        type(tabs), click(IDB_MAIN_EVALUATE), settle(), expect([&] { afterTabs = results(); }),
        type(tooLong), click(IDB_MAIN_EVALUATE), answerError(error), settle(),
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(sum.size(), 62u);
    EXPECT_EQ(afterBlanks.real, "300.0000000");
    EXPECT_EQ(afterTabs.real, "300.0000000");
    ASSERT_TRUE(error.shown);
    EXPECT_EQ(error.message, "Given line too long");
    // The history holds each line as it was typed.
    ExpressionHistory& history = session().history;
    EXPECT_EQ(history.older(""), textkit::trimmedRight(tooLong));
    EXPECT_EQ(history.older(""), tabs);
    EXPECT_EQ(history.older(""), blanks);
}

TEST(MainWindow, TabMovesThroughTheControls) {
    int afterExpression = 0, afterEvaluate = 0;
    const int code = runProgram({
        keyInExpression(VK_TAB), settle(),
        expect([&] { afterExpression = GetDlgCtrlID(GetFocus()); }),
        [] {
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
            PostMessageA(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
            return true;
        },
        settle(),
        expect([&] { afterEvaluate = GetDlgCtrlID(GetFocus()); }),
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(afterExpression, IDB_MAIN_EVALUATE);
    EXPECT_EQ(afterEvaluate, IDX_MAIN_REAL_ONLY);
}

TEST(MainWindow, ClosingTheWindowEndsWithZero) {
    const int code = runProgram({[] {
        PostMessageA(mainWindow(), WM_CLOSE, 0, 0);
        return true;
    }});
    EXPECT_EQ(code, 0);
}


TEST(MainWindow, SaveThenReadThroughTheFileDialogs) {
    const std::string folder = tempFolder();
    const std::string name = "tallyon-app-roundtrip.par";
    DeleteFileA((folder + "\\" + name).c_str());
    bool saveSeen = false, readSeen = false;
    int countAfterRead = 0;
    std::string savedText;
    const int code = runProgram({
        [] {
            XPARAMNEW("inch", "2.54", "cm", true);
            XPARAMNEW("z", "(1,2)", "");
            SetCurrentDirectoryA(tempFolder().c_str());
            return true;
        },
        click(IDB_MAIN_SAVE),
        answerFileDialog("Name of File to Receive Parameter List", name, saveSeen),
        [&] {
            // Wait for the file, then empty the table before reading it back.
            FILE* f = std::fopen((tempFolder() + "\\tallyon-app-roundtrip.par").c_str(), "rb");
            if (!f) return false;
            char buf[256] = {};
            savedText.assign(buf, std::fread(buf, 1, sizeof buf - 1, f));
            std::fclose(f);
            resetExpressionEngine();
            return true;
        },
        click(IDB_MAIN_READ),
        answerFileDialog("Parameter List File to Read", name, readSeen),
        [&] {
            countAfterRead = XPARAMCOUNT();
            return countAfterRead == 2;
        },
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(saveSeen);
    EXPECT_TRUE(readSeen);
    EXPECT_EQ(savedText, "*inch=2.54 !cm\r\nz=(1,2) !\r\n");
    EXPECT_EQ(countAfterRead, 2);
    DeleteFileA((folder + "\\" + name).c_str());
}

TEST(MainWindow, FailedSaveKeepsTheOldFileAndSaysSo) {
    const std::string folder = tempFolder();
    const std::string path = folder + "\\tallyon-readonly.par";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("OLD=1 !\r\n", f);
    std::fclose(f);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    bool saveSeen = false, askedAtQuit = false;
    std::string notice;
    const int code = runProgram({
        stopRemembering(),
        [] {
            XPARAMNEW("A", "1", "");
            SetCurrentDirectoryA(tempFolder().c_str());
            return true;
        },
        click(IDB_MAIN_SAVE),
        // The dialog asks before replacing an existing file: confirm it.
        answerFileDialog("Name of File to Receive Parameter List", "tallyon-readonly.par", saveSeen),
        [] {
            // The question comes in a box of its own with a Yes button.
            for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                HWND yes = GetDlgItem(w, IDYES);
                if (pid == GetCurrentProcessId() && IsWindowVisible(w) && yes) {
                    PostMessageA(yes, BM_CLICK, 0, 0);
                    return true;
                }
            }
            return FindWindowA(nullptr, "SAVE FAILURE") != nullptr;
        },
        answerNotice("SAVE FAILURE", notice),
        quitProgram(&askedAtQuit),
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(saveSeen);
    EXPECT_EQ(notice, "Unable to save the parameter list to \"" + path + "\".");
    EXPECT_TRUE(askedAtQuit);  // nothing holds A
    f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buf[64] = {};
    std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_STREQ(buf, "OLD=1 !\r\n");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

namespace {

// What the question before quitting showed.
struct QuitQuestion {
    bool shown = false;
    std::string text;
    std::vector<SeenButton> buttons;
};
// Waits for the question before quitting, notes it and answers it.
Step answerQuitQuestion(std::function<void(HWND box)> answer, QuitQuestion& seen) {
    return [answer, &seen] {
        HWND box = FindWindowA("#32770", kQuitQuestionCaption);
        if (box == nullptr || !IsWindowVisible(box)) return false;
        seen.shown = true;
        std::string textSeen;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (classOf(c) == "Static" && textOf(c).size() > textSeen.size()) textSeen = textOf(c);
        }
        seen.text = textSeen;
        seen.buttons = pushButtons(box);
        answer(box);
        return true;
    };
}
void pressNo(HWND box) { clickButton(box, IDNO); }
void pressYes(HWND box) { clickButton(box, IDYES); }
void pressEscape(HWND box) { pressKey(box, VK_ESCAPE); }

}  // namespace

TEST(MainWindow, QuittingWithUnsavedParametersAsksAndNoStays) {
    struct Way {
        const char* what;
        Step quit;
        void (*answer)(HWND box);
    } ways[] = {
        {"the Quit button, answered No", click(IDCANCEL), pressNo},
        {"Escape, answered No", keyInExpression(VK_ESCAPE), pressNo},
        {"the close box, answered No", [] {
             PostMessageA(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
             return true;
         }, pressNo},
        {"Escape, answered with Escape", keyInExpression(VK_ESCAPE), pressEscape},
    };
    std::vector<QuitQuestion> seen(std::size(ways));
    std::vector<bool> stillOpen(std::size(ways), false);
    std::vector<Step> steps{stopRemembering(), [] {
        XPARAMNEW("A", "1", "");
        return true;
    }};
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        steps.push_back(ways[i].quit);
        steps.push_back(answerQuitQuestion(ways[i].answer, seen[i]));
        steps.push_back(settle());
        steps.push_back([&stillOpen, i] {
            stillOpen[i] = IsWindow(mainWindow()) && IsWindowEnabled(mainWindow());
            return true;
        });
    }
    QuitQuestion last;
    steps.push_back(click(IDCANCEL));
    steps.push_back(answerQuitQuestion(pressYes, last));
    const int code = runProgram(std::move(steps));
    EXPECT_EQ(code, 0);  // Yes quits as before
    EXPECT_TRUE(last.shown);
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(ways[i].what);
        ASSERT_TRUE(seen[i].shown);
        EXPECT_EQ(seen[i].text, "Parameters were changed and not saved. Quit anyway?");
        ASSERT_EQ(seen[i].buttons.size(), 2u);
        EXPECT_EQ(seen[i].buttons[1].id, IDNO);
        EXPECT_TRUE(seen[i].buttons[1].isDefault);  // No is the default
        EXPECT_TRUE(stillOpen[i]);                  // only Yes quits
    }
}

TEST(MainWindow, QuittingAsksOnlyWhenNoFileHoldsTheTable) {
    const std::string folder = tempFolder();
    const std::string saved = "tallyon-quit-saved.par";
    const std::string other = "tallyon-quit-other.par";
    FILE* f = std::fopen((folder + "\\" + other).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("B=2 !\r\n", f);
    std::fclose(f);
    auto addA = [] {
        XPARAMNEW("A", "1", "");
        SetCurrentDirectoryA(tempFolder().c_str());
        return true;
    };
    auto goHome = [] {
        SetCurrentDirectoryA(tempFolder().c_str());
        return true;
    };
    struct Case {
        const char* what;
        std::function<std::vector<Step>(bool& seen)> before;
        bool asks;
    } cases[] = {
        {"nothing changed", [](bool&) { return std::vector<Step>{}; }, false},
        {"a parameter added", [&](bool&) { return std::vector<Step>{addA}; }, true},
        {"added, then saved", [&](bool& seen) {
             return std::vector<Step>{addA, click(IDB_MAIN_SAVE),
                                      answerFileDialog("Name of File to Receive Parameter List", saved, seen),
                                      [&] { return GetFileAttributesA((folder + "\\" + saved).c_str()) !=
                                                   INVALID_FILE_ATTRIBUTES; }};
         }, false},
        {"a file read into an unchanged table", [&](bool& seen) {
             return std::vector<Step>{goHome, click(IDB_MAIN_READ),
                                      answerFileDialog("Parameter List File to Read", other, seen),
                                      [] { return XPARAMCOUNT() == 1; }};
         }, false},
        {"a file read after an unsaved change", [&](bool& seen) {
             return std::vector<Step>{addA, click(IDB_MAIN_READ),
                                      answerFileDialog("Parameter List File to Read", other, seen),
                                      [] { return XPARAMCOUNT() == 2; }};
         }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA((folder + "\\" + saved).c_str());
        bool dialogSeen = false, asked = false;
        std::vector<Step> steps{stopRemembering(), settle()};
        for (Step& step : c.before(dialogSeen)) steps.push_back(std::move(step));
        steps.push_back(settle());
        steps.push_back(quitProgram(&asked));
        EXPECT_EQ(runProgram(std::move(steps)), 0);
        EXPECT_EQ(asked, c.asks);
    }
    DeleteFileA((folder + "\\" + saved).c_str());
    DeleteFileA((folder + "\\" + other).c_str());
}

namespace {

// What the user sees of one line of the error dialog: its text, whether its
// font gives every character the same width, and where on the screen
// character k of it starts.
struct ShownLine {
    std::string text;
    bool fixedPitch = false;
    std::vector<int> columnX;  // screen x of each character's left edge
};
ShownLine shownLine(HWND dialog, int id) {
    ShownLine line;
    HWND control = GetDlgItem(dialog, id);
    line.text = text(dialog, id);
    HDC dc = GetDC(control);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    line.fixedPitch = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;  // the bit set means variable
    RECT box{};
    GetWindowRect(control, &box);
    for (std::size_t k = 0; k < line.text.size(); ++k) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, line.text.c_str(), static_cast<int>(k), &extent);
        line.columnX.push_back(box.left + extent.cx);
    }
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return line;
}

}  // namespace

TEST(MainWindow, TheErrorMarkerStandsUnderItsCharacter) {
    ShownLine display, marker;
    const int code = runProgram({
        type("111111+222222+333333+444444+555555+666666+777777+88888$8"), click(IDB_MAIN_EVALUATE),
        [&] {
            HWND dialog = FindWindowA(nullptr, "Expression Error");
            if (dialog == nullptr || !IsWindowVisible(dialog)) return false;
            display = shownLine(dialog, IDT_ERROR_DISPLAY);
            marker = shownLine(dialog, IDT_ERROR_MARKER);
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return true;
        },
        settle(), click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(display.fixedPitch);
    EXPECT_TRUE(marker.fixedPitch);
    const std::size_t caret = marker.text.find('^');
    ASSERT_NE(caret, std::string::npos);
    ASSERT_LT(caret, display.text.size());
    EXPECT_EQ(display.text[caret], '$');
    EXPECT_EQ(marker.columnX[caret], display.columnX[caret]);
}

// A file with thousands of faulty lines shows the reports of the first ten,
// then one notice that counts the rest; the table holds every line.
TEST(MainWindow, ReadOfAFaultyFileShowsTenReportsAndOneNotice) {
    const std::string name = "tallyon-app-faulty.par";
    const std::string path = tempFolder() + "\\" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (int i = 1; i <= 3000; ++i) std::fprintf(f, "A%d=NOPE\r\n", i);
    std::fclose(f);
    bool readSeen = false;
    ErrorSeen reports[10];
    std::string notice;
    int stored = 0;
    std::vector<Step> steps = {
        [] {
            SetCurrentDirectoryA(tempFolder().c_str());
            return true;
        },
        click(IDB_MAIN_READ),
        answerFileDialog("Parameter List File to Read", name, readSeen),
    };
    for (ErrorSeen& seen : reports) steps.push_back(answerError(seen));
    steps.push_back(answerNotice("READ WARNINGS", notice));
    steps.push_back([&] {
        stored = XPARAMCOUNT();
        return true;
    });
    steps.push_back(click(IDCANCEL));
    const int code = runProgram(std::move(steps));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(readSeen);
    for (const ErrorSeen& seen : reports) EXPECT_EQ(seen.message, "Parameter used before being defined");
    EXPECT_EQ(reports[9].display, "NOPE");
    // Each report names its parameter: the expression alone would not tell.
    EXPECT_EQ(reports[0].caption, "Expression Error in parameter \"A1\" of \"" + name + "\"");
    EXPECT_EQ(reports[9].caption, "Expression Error in parameter \"A10\" of \"" + name + "\"");
    EXPECT_EQ(notice, "2 990 more lines of \"" + path + "\" had faults; they were read as the first ones were.");
    EXPECT_EQ(stored, 3000);
    DeleteFileA(path.c_str());
}

// A program picked by mistake is refused whole: one notice, no parameter.
TEST(MainWindow, ReadOfAProgramIsRefused) {
    const std::string name = "tallyon-app-program.par";
    const std::string path = tempFolder() + "\\" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite("MZ\x90\0\x03\0\0\0\r\nA=1\r\n", 1, 14, f);
    std::fclose(f);
    bool readSeen = false;
    std::string notice;
    int stored = -1;
    const int code = runProgram({
        [] {
            SetCurrentDirectoryA(tempFolder().c_str());
            return true;
        },
        click(IDB_MAIN_READ),
        answerFileDialog("Parameter List File to Read", name, readSeen),
        answerNotice("READ FAILURE", notice),
        [&] {
            stored = XPARAMCOUNT();
            return true;
        },
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(notice, "\"" + path + "\" is not a parameter list (it holds binary data).");
    EXPECT_EQ(stored, 0);
    DeleteFileA(path.c_str());
}
