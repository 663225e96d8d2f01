// Tallyon kept open all day: the history, the table and the settings kept
// between runs in the data folder, full-precision copies, the window menu,
// files from the command line and dropped on the window. Each test runs
// the real program as a user would, on a data folder of its own.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "AppSession.h"
#include "History.h"
#include "MainFields.h"
#include "PortableTallyon.h"
#include "TallyonRes.h"
#include "TestFiles.h"
#include "UserActions.h"
#include "WindowMenu.h"
#include "WflWndTestSupport.h"
#include "XExpression.h"

namespace fs = std::filesystem;

namespace {

std::string expressionText() { return text(mainWindow(), IDE_MAIN_EXPRESSION); }

// The clipboard's Unicode text, in the ANSI code page.
std::string clipboardText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const auto* wide = static_cast<const wchar_t*>(GlobalLock(data));
        const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        out.assign(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide, -1, out.data(), n, nullptr, nullptr);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return out;
}

std::string clipboardAnsiText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        out = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return out;
}

// The dated copies of NAME.par in FOLDER.
std::vector<fs::path> datedCopies(const fs::path& folder, const std::string& name) {
    std::vector<fs::path> copies;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string file = e.path().filename().string();
        if (file.starts_with(name + "-") && file.ends_with(".par")) copies.push_back(e.path());
    }
    return copies;
}

bool parameterValue(std::string_view name, double& value) {
    int index = 0;
    XPARAMFIND(name, index);
    XVALUE v;
    if (index == 0 || !XPARAMGET(index, v)) return false;
    value = v.realValue;
    return true;
}

}  // namespace

TEST(DailyUse, HistoryStepsBackAndForthAndIsKeptBetweenRuns) {
    const std::string folder = freshDataFolder();
    std::vector<std::string> seen;
    auto note = [&seen] {
        return expect([&seen] { seen.push_back(expressionText()); });
    };
    int code = runProgram({
        evaluate("1+1"), evaluate("2*3"), evaluate("2*3"), type("half typed"),
        keyInExpression(VK_UP), settle(), note(),    // 2*3 (once: repeats join once)
        keyInExpression(VK_UP), settle(), note(),    // 1+1
        keyInExpression(VK_UP), settle(), note(),    // still 1+1: the oldest
        keyInExpression(VK_DOWN), settle(), note(),  // 2*3
        keyInExpression(VK_DOWN), settle(), note(),  // the line being typed
        click(IDCANCEL),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"2*3", "1+1", "1+1", "2*3", "half typed"}));
    EXPECT_EQ(slurp(fs::path(folder) / "Tallyon" / "history.txt"), "1+1\r\n2*3\r\n");

    seen.clear();
    code = runProgram({keyInExpression(VK_UP), settle(), note(), keyInExpression(VK_UP), settle(), note(),
                       click(IDCANCEL)},
                      folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"2*3", "1+1"}));
}

TEST(DailyUse, TheTableIsKeptBetweenRunsWithoutAQuestion) {
    const std::string folder = freshDataFolder();
    int code = runProgram({
        [] {
            XPARAMNEW("inch", "2.54", "cm", true);
            XPARAMNEW("z", "(1,2)", "");
            return true;
        },
        quitProgram(),  // it would answer a question; none comes
    }, folder);
    EXPECT_EQ(code, 0);
    Results r;
    code = runProgram({settle(), evaluate("3 inch + #REAL(z)"), expect([&] { r = results(); }), click(IDCANCEL)},
                      folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(r.real, "8.6200000");
    EXPECT_EQ(slurp(fs::path(folder) / "Tallyon" / "parameters.par"), "*inch=2.54 !cm\r\nz=(1,2) !\r\n");
}

// A remembered table with a line that cannot be read: the good lines are
// there, and the file as the user left it is copied aside before the next
// save writes only what was read.
TEST(DailyUse, AFaultyRememberedTableIsCopiedAsideBeforeItIsRewritten) {
    const std::string folder = freshDataFolder();
    const fs::path data = fs::path(folder) / "Tallyon";
    const std::string original = "A=1 !one\r\n9B=2 !a bad name\r\nC=A+1 !\r\n";
    writeFile(data / "parameters.par", original);
    std::string notice, kept;
    double a = 0, c = 0;
    int count = 0;
    const int code = runProgram({
        answerNotice("BAD NAME", notice), answerNotice("FILE KEPT", kept), settle(),
        expect([&] {
            count = XPARAMCOUNT();
            parameterValue("A", a);
            parameterValue("C", c);
        }),
        click(IDCANCEL),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_NE(notice.find("9B"), std::string::npos);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(c, 2);
    std::vector<fs::path> copies;
    for (const auto& e : fs::directory_iterator(data)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with("parameters-") && name.ends_with(".par")) copies.push_back(e.path());
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(slurp(copies[0]), original);
    EXPECT_NE(kept.find(copies[0].string()), std::string::npos) << kept;
    EXPECT_EQ(slurp(data / "parameters.par"), "A=1 !one\r\nC=A+1 !\r\n");

    // The same file once more (the user put it back): its copy is there
    // already, so no second one is made and nothing more is said. The quit
    // would wait for a notice that came.
    writeFile(data / "parameters.par", original);
    notice.clear();
    EXPECT_EQ(runProgram({answerNotice("BAD NAME", notice), settle(), settle(), click(IDCANCEL)}, folder), 0);
    EXPECT_EQ(datedCopies(data, "parameters").size(), 1u);
}

// Each start-up report names its parameter, and only the first ten faulty
// lines are shown, as in a file read; the rest are counted in one notice.
TEST(DailyUse, StartUpReportsNameTheirParameterAndStopAtTen) {
    const std::string folder = freshDataFolder();
    const fs::path data = fs::path(folder) / "Tallyon";
    std::string lines;
    for (int i = 1; i <= 15; ++i) lines += "P" + std::to_string(i) + "=NOPE !\r\n";
    writeFile(data / "parameters.par", lines);
    ErrorSeen reports[10];
    std::string counted;
    std::vector<Step> steps;
    for (ErrorSeen& seen : reports) steps.push_back(answerError(seen));
    steps.push_back(answerNotice("READ WARNINGS", counted));
    steps.push_back(settle());
    steps.push_back(click(IDCANCEL));
    EXPECT_EQ(runProgram(std::move(steps), folder), 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(reports[i].caption,
                  "Expression Error in parameter \"P" + std::to_string(i + 1) + "\" of \"parameters.par\"");
    }
    EXPECT_NE(counted.find("5 more lines"), std::string::npos) << counted;
    // Lines in error are kept as they are: nothing to copy aside.
    EXPECT_TRUE(datedCopies(data, "parameters").empty());
    EXPECT_EQ(slurp(data / "parameters.par"), lines);
}

// The remembered files changed while the program ran, as another Tallyon
// window on the same folder changes them when it quits first: what each
// side changed survives, and where both changed one name, this window's
// definition stands and the other's file is kept aside and told.
TEST(DailyUse, RememberedFilesChangedMeanwhileAreMergedNotOverwritten) {
    const std::string folder = freshDataFolder();
    const fs::path data = fs::path(folder) / "Tallyon";
    writeFile(data / "parameters.par", "A=1 !\r\nB=2 !\r\nC=3 !\r\nK=5 !\r\nF=6 !\r\n");
    writeFile(data / "history.txt", "1+1\r\n");
    const std::string theirs = "A=1 !\r\nB=20 !\r\nC=3 !\r\nF=60 !\r\nN=4 !other\r\n";
    std::string told;
    const int code = runProgram({
        [] { return XPARAMCOUNT() == 5; },  // read at start
        [] {
            XPARAMEDIT("A", "10", "");  // changed here only
            XPARAMDELETE("C");          // deleted here only
            XPARAMEDIT("F", "61", "");  // changed on both sides
            XPARAMNEW("M", "7", "");    // new here
            return true;
        },
        evaluate("3+3"),
        [&] {
            // The other window quits: B and F changed, K deleted, N new.
            writeFile(data / "parameters.par", theirs);
            writeFile(data / "history.txt", "1+1\r\n2+2\r\n");
            return true;
        },
        click(IDCANCEL), answerNotice("FILE KEPT", told),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(slurp(data / "parameters.par"), "A=10 !\r\nB=20 !\r\nF=61 !\r\nM=7 !\r\nN=4 !other\r\n");
    EXPECT_EQ(slurp(data / "history.txt"), "1+1\r\n2+2\r\n3+3\r\n");
    const std::vector<fs::path> copies = datedCopies(data, "parameters");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(slurp(copies[0]), theirs);
    EXPECT_NE(told.find("both changed F."), std::string::npos) << told;
    EXPECT_NE(told.find(copies[0].string()), std::string::npos) << told;
}

// Remembering turned off for a run, then on again in the next: the file
// remembered before is taken in at the quit, not written over.
TEST(DailyUse, RememberingOffAndOnAgainKeepsWhatWasRemembered) {
    const std::string folder = freshDataFolder();
    const fs::path data = fs::path(folder) / "Tallyon";
    writeFile(data / "parameters.par", "K=1 !kept\r\n");
    writeFile(data / "history.txt", "6*7\r\n");
    EXPECT_EQ(runProgram({settle(), stopRemembering(), click(IDCANCEL)}, folder), 0);
    EXPECT_EQ(slurp(data / "parameters.par"), "K=1 !kept\r\n");
    int countAtStart = -1;
    const int code = runProgram({
        settle(),
        [&] {
            countAtStart = XPARAMCOUNT();
            XPARAMNEW("M", "2", "");
            return true;
        },
        evaluate("M*3"),
        stopRemembering(),  // the same menu item turns it on again
        click(IDCANCEL),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(countAtStart, 0);  // not remembering: nothing read
    EXPECT_EQ(slurp(data / "parameters.par"), "M=2 !\r\nK=1 !kept\r\n");
    EXPECT_EQ(slurp(data / "history.txt"), "6*7\r\nM*3\r\n");
}

// A remembered file Tallyon cannot read (saved by an editor as UTF-16) is
// never replaced by an empty table; once there is a table to keep, the
// file is kept aside first.
TEST(DailyUse, AnUnreadableRememberedFileIsNeverEmptied) {
    const std::string folder = freshDataFolder();
    const fs::path data = fs::path(folder) / "Tallyon";
    const std::string utf16("\xFF\xFE" "A\0=\0" "1\0\r\0\n\0", 12);
    writeFile(data / "parameters.par", utf16);
    std::string failure;
    EXPECT_EQ(runProgram({answerNotice("READ FAILURE", failure), settle(), click(IDCANCEL)}, folder), 0);
    EXPECT_NE(failure.find("binary data"), std::string::npos) << failure;
    EXPECT_EQ(slurp(data / "parameters.par"), utf16);
    EXPECT_TRUE(datedCopies(data, "parameters").empty());

    std::string told;
    const int code = runProgram({
        answerNotice("READ FAILURE", failure), settle(),
        [] { return XPARAMNEW("N", "3", ""); },
        click(IDCANCEL), answerNotice("FILE KEPT", told),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(slurp(data / "parameters.par"), "N=3 !\r\n");
    const std::vector<fs::path> copies = datedCopies(data, "parameters");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(slurp(copies[0]), utf16);
    EXPECT_NE(told.find(copies[0].string()), std::string::npos) << told;
}

// A data folder that cannot be made: the program says so once and works.
TEST(DailyUse, AnUnwritableDataFolderIsToldOnceAndChangesNothingElse) {
    // A file where the folder would have to be made.
    const std::string blocker = tempFolder() + "\\tallyon-not-a-folder";
    writeFile(blocker, "x");
    std::string notice;
    Results r;
    const int code = runProgram({
        answerNotice("NOTHING REMEMBERED", notice), settle(),
        evaluate("2+2"), expect([&] { r = results(); }),
        click(IDCANCEL),  // no second notice, no question: the test would wait for it
    }, blocker);
    EXPECT_EQ(code, 0);
    EXPECT_NE(notice.find(blocker), std::string::npos);
    EXPECT_NE(notice.find("will not be kept"), std::string::npos);
    EXPECT_EQ(r.real, "4.0000000");
    DeleteFileA(blocker.c_str());
}

// A data folder named in any script ("Łukasz", "Мария") is that folder,
// never the folder of a look-alike name ("Lukasz"), which may be another
// user's.
TEST(DailyUse, ADataFolderNamedInAnyScriptIsTheFolderUsed) {
    const std::string base = freshDataFolder();
    const std::wstring appData = fs::path(base).wstring() + L"\\\x0141ukasz-\x041C\x0430\x0440\x0438\x044F\\AppData";
    Results r;
    const int code = runProgramWithAppData({
        settle(), evaluate("2+2"), expect([&] { r = results(); }),
        click(IDCANCEL),
    }, appData);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(r.real, "4.0000000");
    EXPECT_EQ(slurp(fs::path(appData) / "Tallyon" / "history.txt"), "2+2\r\n");
    // Nothing else was made beside it.
    std::vector<std::wstring> made;
    for (const auto& e : fs::directory_iterator(base)) made.push_back(e.path().filename().wstring());
    EXPECT_EQ(made, std::vector<std::wstring>{fs::path(appData).parent_path().filename().wstring()});
}

TEST(DailyUse, ResultsCopyEveryDigitInEachForm) {
    std::string ctrlC, ctrlCReal, ansi;
    std::string forms[5];
    std::complex<double> complex;
    double real = 0;
    const int code = runProgram({
        evaluate("(3,4)*(1,-2)/3"),
        [&] {
            HWND field = GetDlgItem(mainWindow(), IDE_MAIN_COMPLEX_RESULT);
            SetFocus(field);
            PostMessageA(field, WM_CHAR, 3, 1);  // Ctrl+C with nothing selected
            return true;
        },
        settle(),
        expect([&] {
            ctrlC = clipboardText();
            ansi = clipboardAnsiText();
        }),
        [&] {
            HWND field = GetDlgItem(mainWindow(), IDE_MAIN_REAL_RESULT);
            SetFocus(field);
            PostMessageA(field, WM_CHAR, 3, 1);
            return true;
        },
        settle(),
        expect([&] {
            ctrlCReal = clipboardText();
            for (int f = 1; f <= 5; ++f) forms[f - 1] = copyText(IDE_MAIN_COMPLEX_RESULT, static_cast<CopyForm>(f));
        }),
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(XNUMBEREX_C8("(3,4)*(1,-2)/3", complex));
    EXPECT_TRUE(XNUMBEREX_R8("(3,4)*(1,-2)/3", real));
    EXPECT_EQ(ctrlC, "(3.6666666666666665,-0.6666666666666666)");
    EXPECT_EQ(ansi, ctrlC);
    EXPECT_EQ(ctrlCReal, "3.6666666666666665");
    EXPECT_EQ(forms[0], ctrlC);
    EXPECT_EQ(forms[1], ctrlC);
    EXPECT_EQ(forms[2], "3.6666666666666665-0.6666666666666666i");
    EXPECT_EQ(forms[4], "(3,4)*(1,-2)/3 = " + ctrlC);
    // The pair evaluates back to the same bits, the polar form within rounding.
    std::complex<double> back;
    ASSERT_TRUE(XNUMBEREX_C8(forms[1], back));
    EXPECT_EQ(std::memcmp(&back, &complex, sizeof back), 0);
    ASSERT_TRUE(XNUMBEREX_C8(forms[3], back)) << forms[3];
    EXPECT_NEAR(back.real(), complex.real(), 1e-15 * std::abs(complex));
    EXPECT_NEAR(back.imag(), complex.imag(), 1e-15 * std::abs(complex));
}

TEST(DailyUse, WindowMenuKeepsAlwaysOnTopAndTellsAbout) {
    const std::string folder = freshDataFolder();
    bool topmostAfter = false, checkedAfter = false, topmostNextRun = false;
    std::string about;
    auto topmost = [] { return (GetWindowLongPtrA(mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    auto checked = [](int item) {
        return (GetMenuState(GetSystemMenu(mainWindow(), FALSE), static_cast<UINT>(item), MF_BYCOMMAND) &
                MF_CHECKED) != 0;
    };
    int code = runProgram({
        expect([&] { EXPECT_TRUE(checked(kMenuRemember)); }),
        systemCommand(kMenuAlwaysOnTop), settle(),
        expect([&] {
            topmostAfter = topmost();
            checkedAfter = checked(kMenuAlwaysOnTop);
        }),
        systemCommand(kMenuAbout), answerNotice("About Tallyon", about),
        click(IDCANCEL),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(topmostAfter);
    EXPECT_TRUE(checkedAfter);
    EXPECT_NE(about.find("Tallyon 1.0.0"), std::string::npos);
    EXPECT_NE(about.find(folder + "\\Tallyon"), std::string::npos);
    EXPECT_NE(about.find("MIT"), std::string::npos);
    // Where the arithmetic comes from: the system runtime, never a copy
    // that stands beside the program.
    EXPECT_NE(about.find("Elementary functions: ucrtbase.dll (System32)"), std::string::npos);
    code = runProgram({settle(), expect([&] { topmostNextRun = topmost() && checked(kMenuAlwaysOnTop); }),
                       click(IDCANCEL)},
                      folder);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(topmostNextRun);
}

// The position comes back where a monitor shows it, and only there.
TEST(DailyUse, WindowPositionComesBackOnlyOnAPresentMonitor) {
    const std::string folder = freshDataFolder();
    RECT next{}, lost{};
    int code = runProgram({[] {
                               SetWindowPos(mainWindow(), nullptr, 60, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                               return true;
                           },
                           settle(), click(IDCANCEL)},
                          folder);
    EXPECT_EQ(code, 0);
    code = runProgram({settle(), expect([&] { GetWindowRect(mainWindow(), &next); }), click(IDCANCEL)}, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(next.left, 60);
    EXPECT_EQ(next.top, 70);
    // A monitor that was there last time and is not now.
    writeFile(fs::path(folder) / "Tallyon" / "settings.ini", "[Tallyon]\r\nWindowX=-30000\r\nWindowY=-30000\r\n");
    code = runProgram({settle(), expect([&] { GetWindowRect(mainWindow(), &lost); }), click(IDCANCEL)}, folder);
    EXPECT_EQ(code, 0);
    EXPECT_NE(MonitorFromRect(&lost, MONITOR_DEFAULTTONULL), nullptr);
}

namespace {

// What Explorer hands a window when files are dropped on it.
HGLOBAL droppedFiles(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += p + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

// A file named when Tallyon starts (a .par opened from Explorer) is read
// after the remembered table, as Read would read it; so is a dropped file.
TEST(DailyUse, FilesFromTheCommandLineAndDroppedOnTheWindowAreRead) {
    const std::string folder = freshDataFolder();
    writeFile(fs::path(folder) / "Tallyon" / "parameters.par", "Q=1 !\r\nR=2 !\r\n");
    const std::string opened = tempFolder() + "\\tallyon opened.par";
    const std::string dropped = tempFolder() + "\\tallyon-dropped.par";
    writeFile(opened, "Q=7 !\r\n");
    writeFile(dropped, "S=3 !\r\n");
    double q = 0, r = 0, s = 0;
    const int code = runProgram({
        settle(),
        [&] {
            PostMessageA(mainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(droppedFiles({dropped})), 0);
            return true;
        },
        settle(),
        expect([&] {
            parameterValue("Q", q);
            parameterValue("R", r);
            parameterValue("S", s);
        }),
        click(IDCANCEL),
    }, folder, "\"" + opened + "\"");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(q, 7);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(s, 3);
    DeleteFileA(opened.c_str());
    DeleteFileA(dropped.c_str());
}

// The right-click menu, worked from the keyboard: its item for the polar
// form puts that form on the clipboard.
TEST(DailyUse, TheResultFieldsMenuCopiesTheChosenForm) {
    std::string copied, items;
    const int code = runProgram({
        evaluate("(0,10)"),
        openFieldMenu(IDE_MAIN_COMPLEX_RESULT),
        [&] {
            HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) return false;
            HMENU handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(handle); ++i) {
                char item[64] = {};
                GetMenuStringA(handle, static_cast<UINT>(i), item, sizeof item, MF_BYPOSITION);
                items += std::string(item) + "|";
            }
            // The polar item's access key.
            PostMessageA(GetFocus(), WM_CHAR, 'p', 1);
            return true;
        },
        [&] {
            copied = clipboardText();
            return copied == "10<90";
        },
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(copied, "10<90");
    EXPECT_EQ(items.substr(0, 10), "Copy &Valu");
}


TEST(DailyUse, APortableCopyKeepsItsHistoryBesideItself) {
    const fs::path folder = fs::path(tempFolder()) / ("tallyon-portable-" + std::to_string(GetCurrentProcessId()));
    PortableTallyon tallyon(folder);
    ASSERT_TRUE(tallyon.start());
    tallyon.evaluate("6*7");
    tallyon.evaluate("2^10");
    tallyon.clear();
    EXPECT_EQ(tallyon.up(), "2^10");
    EXPECT_EQ(tallyon.up(), "6*7");
    ASSERT_TRUE(tallyon.quit());
    EXPECT_EQ(slurp(folder / "history.txt"), "6*7\r\n2^10\r\n");

    ASSERT_TRUE(tallyon.start());
    EXPECT_EQ(tallyon.up(), "2^10");
    EXPECT_EQ(tallyon.up(), "6*7");
    EXPECT_TRUE(tallyon.quit());
}

// Two windows of one copy share its data folder. Whichever quits last, the
// next start has the parameters and the history of both.
TEST(DailyUse, TwoWindowsOnOneDataFolderKeepWhatEachKept) {
    for (const bool firstQuitsFirst : {true, false}) {
        SCOPED_TRACE(firstQuitsFirst ? "the first window quits first" : "the second window quits first");
        const fs::path folder = fs::path(tempFolder()) / ("tallyon-two-" + std::to_string(GetCurrentProcessId()));
        PortableTallyon first(folder);
        PortableTallyon second(folder, false);
        writeFile(folder / "pa.par", "PA=3 !from the first\r\n");
        writeFile(folder / "pb.par", "PB=4 !from the second\r\n");
        ASSERT_TRUE(first.start("pa.par"));
        ASSERT_TRUE(second.start("pb.par"));
        first.evaluate("PA*2");
        second.evaluate("PB*2");
        EXPECT_EQ(first.realResult(), "6.0000000");
        EXPECT_EQ(second.realResult(), "8.0000000");
        ASSERT_TRUE(firstQuitsFirst ? first.quit() : second.quit());
        ASSERT_TRUE(firstQuitsFirst ? second.quit() : first.quit());

        const std::string table = slurp(folder / "parameters.par");
        EXPECT_NE(table.find("PA=3 !from the first\r\n"), std::string::npos) << table;
        EXPECT_NE(table.find("PB=4 !from the second\r\n"), std::string::npos) << table;
        const std::string history = slurp(folder / "history.txt");
        EXPECT_NE(history.find("PA*2\r\n"), std::string::npos) << history;
        EXPECT_NE(history.find("PB*2\r\n"), std::string::npos) << history;

        PortableTallyon next(folder, false);
        ASSERT_TRUE(next.start());
        next.evaluate("PA+PB");
        EXPECT_EQ(next.realResult(), "7.0000000");
        EXPECT_TRUE(next.quit());
    }
}

TEST(ExpressionHistoryModel, KeepsTheNewestFiveHundredAndReadsItsFileBack) {
    ExpressionHistory history;
    for (int i = 1; i <= 510; ++i) history.add(std::to_string(i) + "+1");
    history.add("   ");  // blank lines never join
    ASSERT_EQ(history.entries().size(), 500u);
    EXPECT_EQ(history.entries().front(), "11+1");
    EXPECT_EQ(history.entries().back(), "510+1");

    ExpressionHistory read;
    read.load(history.text());
    EXPECT_EQ(read.entries(), history.entries());
    read.load("a\r\n\r\n  \nb  \r\nc");  // blank lines skipped, trailing blanks dropped, last line unended
    EXPECT_EQ(read.entries(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(read.newer(), std::nullopt);  // not browsing: Down does nothing
    EXPECT_EQ(read.older("typed"), "c");
    EXPECT_EQ(read.newer(), "typed");
}

// A table that cannot be kept at quitting is not dropped in silence: the
// save says why it failed, and quitting then asks, as with nothing kept.
TEST(DailyUse, AFailedSaveAtQuittingSaysSoAndAsks) {
    const std::string folder = freshDataFolder();
    const fs::path table = fs::path(folder) / "Tallyon" / "parameters.par";
    writeFile(table, "OLD=1 !\r\n");
    SetFileAttributesA(table.string().c_str(), FILE_ATTRIBUTE_READONLY);
    std::string failure;
    bool asked = false;
    const int code = runProgram({
        settle(),
        [] {
            XPARAMNEW("NEW", "2", "");
            PostMessageA(GetDlgItem(mainWindow(), IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
        answerNotice("SAVE FAILURE", failure),
        [&] {
            HWND box = FindWindowA("#32770", kQuitQuestionCaption);
            if (!box || !IsWindowVisible(box)) return false;
            asked = true;
            PostMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
            return true;
        },
    }, folder);
    SetFileAttributesA(table.string().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(failure, "Unable to save the parameter list to \"" + table.string() + "\".");
    EXPECT_TRUE(asked);
    EXPECT_EQ(slurp(table), "OLD=1 !\r\n");  // the old file, whole
}
