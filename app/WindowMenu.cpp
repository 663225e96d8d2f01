#include "WindowMenu.h"

#include <windows.h>

#include <string>

#include "Elementary.h"
#include "Tallyon.h"
#include "Session.h"
#include "TallyonVersion.h"
#include "WflDialog.h"
#include "WflWnd.h"

namespace {

void check(HMENU menu, int item, bool on) {
    CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void saveSettingsNow() {
    Session& s = session();
    if (s.folder.usable) saveSettings(s.folder.file(kSettingsFile), s.settings);
}

constexpr const char* kNotationItems[] = {"&As Described (7 decimals)", "&Fixed", "&Scientific",
                                          "&Engineering (exponent in 3s)", "S&hortest Exact"};

}  // namespace

HMENU displayMenu() {
    const DisplayFormat& shown = session().settings.display;
    HMENU menu = CreatePopupMenu();
    for (int n = 0; n < 5; ++n) {
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(kMenuNotation + 16 * n), kNotationItems[n]);
    }
    CheckMenuRadioItem(menu, kMenuNotation, kMenuNotation + 16 * 4,
                       static_cast<UINT>(kMenuNotation + 16 * static_cast<int>(shown.notation)), MF_BYCOMMAND);
    HMENU digits = CreatePopupMenu();
    for (int d = kMinDigits; d <= kMaxDigits; ++d) {
        const std::string label = (d < 10 ? "&" : "") + std::to_string(d);
        AppendMenuA(digits, MF_STRING, static_cast<UINT_PTR>(kMenuDigits + 16 * d), label.c_str());
    }
    CheckMenuRadioItem(digits, kMenuDigits + 16 * kMinDigits, kMenuDigits + 16 * kMaxDigits,
                       static_cast<UINT>(kMenuDigits + 16 * shown.digits), MF_BYCOMMAND);
    // Digits mean something to fixed, scientific and engineering alone.
    const bool counted = shown.notation != DisplayFormat::Notation::kDescribed &&
                         shown.notation != DisplayFormat::Notation::kShortest;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_POPUP | (counted ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(digits),
                "Significant &Digits");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | (shown.polar ? MF_CHECKED : 0), kMenuPolar, "&Polar Form (r<angle)");
    return menu;
}

bool displayCommand(XWND& frame, int command) {
    DisplayFormat& display = session().settings.display;
    if (command >= kMenuNotation && command <= kMenuNotation + 16 * 4 && command % 16 == 0) {
        display.notation = static_cast<DisplayFormat::Notation>((command - kMenuNotation) / 16);
    } else if (command >= kMenuDigits + 16 * kMinDigits && command <= kMenuDigits + 16 * kMaxDigits &&
               command % 16 == 0) {
        display.digits = (command - kMenuDigits) / 16;
    } else if (command == kMenuPolar) {
        display.polar = !display.polar;
    } else {
        return false;
    }
    saveSettingsNow();
    refreshWindowMenu(frame);
    showResultsAgain(frame);
    return true;
}

void refreshWindowMenu(XWND& frame) {
    HMENU menu = GetSystemMenu(frame.hwnd, FALSE);
    if (!menu) return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (GetSubMenu(menu, i) == nullptr) continue;
        char label[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        if (std::string(label) != kDisplayItem) continue;
        // The old submenu goes with the item it hangs on.
        DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
        InsertMenuA(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(displayMenu()),
                    kDisplayItem);
        return;
    }
}

namespace {

void onDisplayItem(XWND& frame, int id, int) { displayCommand(frame, id); }

}  // namespace

void addWindowMenuItems(XWND& frame) {
    // Windows sends an item of a window-menu submenu as WM_SYSCOMMAND; Wine 8
    // sends an item of a submenu the program added as WM_COMMAND (measured:
    // the choice never came as a system command). Both reach the choice.
    for (int n = 0; n < 5; ++n) XSETCOMMAND(frame, kMenuNotation + 16 * n, onDisplayItem);
    for (int d = kMinDigits; d <= kMaxDigits; ++d) XSETCOMMAND(frame, kMenuDigits + 16 * d, onDisplayItem);
    XSETCOMMAND(frame, kMenuPolar, onDisplayItem);
    HMENU menu = GetSystemMenu(frame.hwnd, FALSE);
    if (!menu) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kMenuAlwaysOnTop, "Always on &Top");
    // Access keys that no item of the system menu uses (Wine adds its own
    // "About Wine" on A): each key chooses its item at once.
    AppendMenuA(menu, MF_STRING, kMenuRemember, "Remember Parameters and &History");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(displayMenu()), kDisplayItem);
    AppendMenuA(menu, MF_STRING, kMenuAbout, "A&bout Tallyon...");
    check(menu, kMenuAlwaysOnTop, session().settings.alwaysOnTop);
    check(menu, kMenuRemember, remembering());
}

std::string aboutText() {
    const Session& s = session();
    std::string folder = s.folder.path.empty() ? "none" : s.folder.path;
    if (s.folder.portable) folder += " (portable: beside the program)";
    if (!s.folder.usable) folder += " (cannot be written: nothing is kept)";
    return "Tallyon " TALLYON_VERSION "\n"
           "An expression calculator for real and complex numbers.\n\n"
           "Data folder: " + folder + "\n" +
           "Elementary functions: " + elementary::source() + "\n\n"
           "Copyright (c) 2026 the Tallyon developers.\n"
           "Released under the MIT License: free to use, copy, change and pass on,\n"
           "with the copyright and licence notice kept, and without warranty of any kind.";
}

bool windowMenuCommand(XWND& frame, int command) {
    HMENU menu = GetSystemMenu(frame.hwnd, FALSE);
    Settings& settings = session().settings;
    switch (command) {
    case kMenuAlwaysOnTop:
        settings.alwaysOnTop = !settings.alwaysOnTop;
        SetWindowPos(frame.hwnd, settings.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE);
        check(menu, kMenuAlwaysOnTop, settings.alwaysOnTop);
        saveSettingsNow();
        return true;
    case kMenuRemember:
        setRemembering(!remembering());
        check(menu, kMenuRemember, remembering());
        saveSettingsNow();
        return true;
    case kMenuAbout:
        XMESSAGEBOX(aboutText(), "About Tallyon", MB_OK | MB_ICONASTERISK, frame.hwnd);
        return true;
    default:
        return displayCommand(frame, command);
    }
}
