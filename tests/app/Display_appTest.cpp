// The display choices in the main window, made from its window menu as a
// user makes them: the result fields follow at once, SHOW ALL's values too,
// every shown text reads back, and the choices are kept for the next run.
#include <gtest/gtest.h>

#include <complex>
#include <filesystem>
#include <string>

#include <windows.h>

#include "AppSession.h"
#include "Format.h"
#include "TestFiles.h"
#include "UserActions.h"
#include "WindowMenu.h"
#include "XExpression.h"

namespace fs = std::filesystem;

namespace {

int notation(DisplayFormat::Notation n) { return kMenuNotation + 16 * static_cast<int>(n); }
int digits(int d) { return kMenuDigits + 16 * d; }

TEST(Display, ChoicesFromTheWindowMenuShowInTheResultsAndAreKept) {
    const std::string folder = freshDataFolder();
    Results before, engineering, polar;
    int code = runProgram({
        settle(), evaluate("0.000047"), expect([&] { before = results(); }),
        // The fields follow a choice at once, without another evaluation.
        systemCommand(notation(DisplayFormat::Notation::kEngineering)), systemCommand(digits(4)), settle(),
        expect([&] { engineering = results(); }),
        // Wine sends a choice from the submenu as a command, not a system
        // command: that way works too.
        [] {
            PostMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(kMenuPolar, 0), 0);
            return true;
        },
        evaluate("(0,10)"), expect([&] { polar = results(); }),
        click(IDCANCEL),
    }, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(before.real, "4.7000000E-05");  // the described form until a choice is made
    EXPECT_EQ(engineering.real, "47.00E-6");
    EXPECT_EQ(engineering.complex, "(47.00E-6, 0.000E0)");
    EXPECT_EQ(polar.complex, "10.00E0<90.00E0");
    std::complex<double> back;
    ASSERT_TRUE(XNUMBEREX_C8(polar.complex, back));  // the shown text reads back to 10i
    EXPECT_NEAR(back.real(), 0, 1e-12);
    EXPECT_EQ(back.imag(), 10);

    const std::string settings = slurp(fs::path(folder) / "Tallyon" / "settings.ini");
    EXPECT_NE(settings.find("Notation=eng\r\nDigits=4\r\nPolar=1\r\n"), std::string::npos) << settings;

    Results again;
    code = runProgram({settle(), evaluate("0.000047"), expect([&] { again = results(); }), click(IDCANCEL)}, folder);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(again.real, "47.00E-6");
}

// The result field's right-click menu has the same choices, a submenu
// away, chosen by their access keys.
TEST(Display, TheResultFieldsMenuHasTheChoicesToo) {
    Results shortest;
    int menus = 0;
    const int code = runProgram({
        settle(), evaluate("1/8"),
        openFieldMenu(IDE_MAIN_REAL_RESULT),
        [&] {
            HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) return false;
            PostMessageA(GetFocus(), WM_CHAR, 'd', 1);  // Result Display
            return true;
        },
        [&] {
            // The submenu is a second menu window.
            menus = 0;
            EnumWindows(
                [](HWND w, LPARAM count) {
                    char cls[16] = {};
                    GetClassNameA(w, cls, sizeof cls);
                    if (std::string(cls) == "#32768" && IsWindowVisible(w)) ++*reinterpret_cast<int*>(count);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&menus));
            if (menus < 2) return false;
            PostMessageA(GetFocus(), WM_CHAR, 'h', 1);  // Shortest Exact
            return true;
        },
        [&] {
            shortest = results();
            return shortest.real == "0.125";
        },
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(menus, 2);
    EXPECT_EQ(shortest.real, "0.125");
    EXPECT_EQ(shortest.complex, "(0.125, 0)");
}

}  // namespace
