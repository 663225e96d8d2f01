// Tallyon on screen at any resolution (this binary also runs at 144 and 192
// dots per inch, see tests/CMakeLists.txt): every window lies inside the
// work area of its monitor, Parameter Maintenance opens beside the main
// window, the marker icons grow with the resolution, and a remembered
// position whose title bar could not be reached is not used.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "AppSession.h"
#include "ParamDlgRes.h"
#include "TallyonRes.h"
#include "UserActions.h"

namespace fs = std::filesystem;

namespace {

RECT workAreaOf(HWND w) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

bool inside(const RECT& r, const RECT& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(Screen, EveryWindowFitsItsWorkAreaAndMaintenanceOpensBeside) {
    RECT work{}, main{}, frame{}, report{}, about{};
    bool besideRoom = false, overlaps = true;
    int markerSize = 0, expectedMarker = 0;
    const int code = runProgram({
        settle(),
        [&] {
            work = workAreaOf(mainWindow());
            main = rectOf(mainWindow());
            PostMessageA(GetDlgItem(mainWindow(), IDB_MAIN_PARAMETERS), BM_CLICK, 0, 0);
            return true;
        },
        [] { return maintenanceWindow() != nullptr; },
        [&] {
            frame = rectOf(maintenanceWindow());
            besideRoom = (work.right - main.right) >= (frame.right - frame.left) ||
                         (main.left - work.left) >= (frame.right - frame.left);
            overlaps = frame.left < main.right && frame.right > main.left;
            HWND tabs = GetDlgItem(maintenanceWindow(), IDTC_PARAM_PAGES);
            SendMessageA(tabs, TCM_SETCURFOCUS, 1, 0);
            HWND list = GetDlgItem(GetDlgItem(maintenanceWindow(), IDD_PARAM_LIST), IDL_LIST_TABLE);
            int cx = 0, cy = 0;
            ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &cx, &cy);
            markerSize = cx;
            expectedMarker = MulDiv(12, static_cast<int>(GetDpiForWindow(list)), 96);
            PostMessageA(GetDlgItem(maintenanceWindow(), IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
        [] { return maintenanceWindow() == nullptr; },
        type("1/0"), click(IDB_MAIN_EVALUATE),
        meetErrorDialog([&](HWND dialog) { report = rectOf(dialog); }),
        settle(),
        meetAboutBox([&](HWND box) { about = rectOf(box); }),
        settle(),
        click(IDCANCEL),
    });
    EXPECT_EQ(code, 0);
    SCOPED_TRACE("work area " + describe(work));
    EXPECT_TRUE(inside(main, work)) << "main window " << describe(main);
    EXPECT_TRUE(inside(frame, work)) << "Parameter Maintenance " << describe(frame);
    EXPECT_TRUE(inside(report, work)) << "Expression Error " << describe(report);
    EXPECT_TRUE(inside(about, work)) << "About Tallyon " << describe(about);
    if (besideRoom) {
        EXPECT_FALSE(overlaps) << "Parameter Maintenance " << describe(frame) << " over the main window " << describe(main);
    }
    EXPECT_EQ(markerSize, expectedMarker);
}

// Where the main window comes back: at the remembered place when its title
// bar can be taken with the mouse there, else centred on the screen.
TEST(Screen, ARememberedPositionIsUsedOnlyWithItsTitleBarInReach) {
    const std::string folder = freshDataFolder();
    RECT work{};
    runProgram({settle(), expect([&] { work = workAreaOf(mainWindow()); }), click(IDCANCEL)}, folder);
    struct Row {
        const char* what;
        LONG x, y;
        bool kept;
    } rows[] = {
        {"well inside", work.left + 40, work.top + 50, true},
        {"half past the right edge, the title bar still in reach", work.right - 200, work.top + 40, true},
        {"in the bottom right corner: only a corner of it shows", work.right - 10, work.bottom - 10, false},
        {"above the top of the screen", work.left + 40, work.top - 300, false},
        {"on a monitor that is gone", -30000, -30000, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::ofstream(fs::path(folder) / "Tallyon" / "settings.ini", std::ios::binary)
            << "[Tallyon]\r\nWindowX=" << r.x << "\r\nWindowY=" << r.y << "\r\n";
        RECT shown{};
        const int code = runProgram({settle(), expect([&] { shown = rectOf(mainWindow()); }), click(IDCANCEL)}, folder);
        EXPECT_EQ(code, 0);
        if (r.kept) {
            EXPECT_EQ(shown.left, r.x);
            EXPECT_EQ(shown.top, r.y);
        } else {
            EXPECT_TRUE(inside(shown, work)) << describe(shown);
            const LONG centre = (work.left + work.right) / 2;
            EXPECT_LE(std::labs((shown.left + shown.right) / 2 - centre), 2) << describe(shown);
        }
    }
}
