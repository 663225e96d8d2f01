// Every text of every dialog of Tallyon fits its control: no label, check
// box, button or list-view header is cut off in the font the system gives.
// Each control's text is measured with its own font and compared with the
// room the control has. The Windows suite runs this at the display's
// resolution and again at 144 DPI.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppSession.h"
#include "ParamDlgRes.h"
#include "TallyonRes.h"
#include "UserActions.h"
#include "WindowMenu.h"
#include "WflWndTestSupport.h"

namespace {

std::string classOfWindow(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string windowTextOf(HWND w) {
    char buffer[512] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

// The size `text` needs in the font of `control`; with a width, wrapped at
// word breaks to that width.
SIZE needed(HWND control, const std::string& text, int wrapWidth = 0) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 10000, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    // Button and static texts show "&" as the underlined access key.
    if (classOfWindow(control) == "Button" || classOfWindow(control) == "Static") format &= ~DT_NOPREFIX;
    DrawTextA(dc, text.c_str(), -1, &r, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

// Every control of `dialog` (and of the pages inside it) whose text does
// not fit, as "dialog: text (needs W x H, has W x H)".
void collectCutTexts(HWND dialog, const std::string& where, std::vector<std::string>& cut) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        const std::string cls = classOfWindow(c);
        const LONG style = static_cast<LONG>(GetWindowLongPtrA(c, GWL_STYLE));
        RECT client{};
        GetClientRect(c, &client);
        const int width = client.right, height = client.bottom;
        auto report = [&](const std::string& what, SIZE need) {
            cut.push_back(where + ": \"" + what + "\" needs " + std::to_string(need.cx) + " x " +
                          std::to_string(need.cy) + ", has " + std::to_string(width) + " x " +
                          std::to_string(height));
        };
        if (cls == "#32770") {
            collectCutTexts(c, where + " / page", cut);
            continue;
        }
        const std::string text = windowTextOf(c);
        if (cls == "Static") {
            const LONG kind = style & SS_TYPEMASK;
            if (text.empty() || (kind != SS_LEFT && kind != SS_RIGHT && kind != SS_CENTER &&
                                 kind != SS_LEFTNOWORDWRAP && kind != SS_SIMPLE)) {
                continue;
            }
            const bool wraps = kind == SS_LEFT || kind == SS_RIGHT || kind == SS_CENTER;
            // A word longer than the line is cut even where the text wraps.
            const SIZE line = needed(c, text);
            const SIZE wrapped = needed(c, text, width);
            if (wraps ? (wrapped.cy > height || wrapped.cx > width) : (line.cx > width || line.cy > height)) {
                report(text, wraps ? wrapped : line);
            }
        } else if (cls == "Button") {
            if (text.empty()) continue;
            const LONG kind = style & BS_TYPEMASK;
            const SIZE line = needed(c, text);
            int room = width;
            if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE) {
                room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and the gap before the text
            } else if (kind == BS_GROUPBOX) {
                room -= 16;  // the frame's corner before the caption and after it
            } else {
                room -= 8;  // the raised border on both sides
            }
            if (line.cx > room) report(text, line);
        } else if (cls == WC_LISTVIEWA) {
            HWND header = ListView_GetHeader(c);
            const int columns = header ? Header_GetItemCount(header) : 0;
            for (int i = 0; i < columns; ++i) {
                char title[128] = {};
                LVCOLUMNA column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = title;
                column.cchTextMax = sizeof title;
                SendMessageA(c, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
                const int textWidth =
                    static_cast<int>(SendMessageA(c, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(title)));
                // The header's margins on both sides of a title.
                if (textWidth + 12 > column.cx) {
                    cut.push_back(where + ": column \"" + title + "\" needs " + std::to_string(textWidth + 12) +
                                  ", has " + std::to_string(column.cx));
                }
            }
        }
    }
}

HWND visibleWindow(const char* title) {
    HWND w = FindWindowA(nullptr, title);
    return w && IsWindowVisible(w) ? w : nullptr;
}

HWND maintenance() { return visibleWindow("Parameter Maintenance"); }

// Shows tab n (1-based) of the Parameter Maintenance dialog.
Step showTab(int n) {
    return [n] {
        HWND tab = GetDlgItem(maintenance(), IDTC_PARAM_PAGES);
        TabCtrl_SetCurFocus(tab, n - 1);
        return true;
    };
}

Step measure(const char* title, const std::string& where, std::vector<std::string>& cut) {
    return [title, where, &cut] {
        HWND w = visibleWindow(title);
        if (!w) return false;
        collectCutTexts(w, where, cut);
        return true;
    };
}

}  // namespace

TEST(TextFit, EveryTextOfEveryDialogFitsItsControl) {
    std::vector<std::string> cut;
    const int code = runProgram({
        settle(),
        measure("XNumberEx Demo Program", "main window", cut),
        type("2+*3"), click(IDB_MAIN_EVALUATE),
        measure("Expression Error", "Expression Error", cut),
        [] {
            PostMessageA(GetDlgItem(visibleWindow("Expression Error"), IDOK), BM_CLICK, 0, 0);
            return true;
        },
        settle(),
        [] {
            XPARAMNEW("WATER_DENSITY_KG", "1000", "kg per cubic metre");
            XPARAMNEW("Z", "(-1e300,-1e300)", "");
            return true;
        },
        [posted = false]() mutable {
            if (!posted) PostMessageA(GetDlgItem(mainWindow(), IDB_MAIN_PARAMETERS), BM_CLICK, 0, 0);
            posted = true;
            return maintenance() != nullptr;
        },
        settle(),
        measure("Parameter Maintenance", "ENTER/EDIT", cut),
        showTab(2), settle(),
        measure("Parameter Maintenance", "SHOW ALL", cut),
        showTab(3), settle(),
        measure("Parameter Maintenance", "RE-ARRANGE", cut),
        [] {
            PostMessageA(GetDlgItem(maintenance(), IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
        [] { return maintenance() == nullptr; },
        [] {
            PostMessageA(mainWindow(), WM_SYSCOMMAND, kMenuAbout, 0);
            return true;
        },
        measure("About Tallyon", "About Tallyon", cut),
        [] {
            PostMessageA(visibleWindow("About Tallyon"), WM_COMMAND, IDOK, 0);
            return true;
        },
        settle(),
        quitProgram(),
    });
    EXPECT_EQ(code, 0);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    for (const std::string& c : cut) ADD_FAILURE() << c << " (at " << dpi << " DPI)";
}
