#include "WindowMenu.h"

#include <windows.h>

#include <string>

#include "Elementary.h"
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

}  // namespace

void addWindowMenuItems(XWND& frame) {
    HMENU menu = GetSystemMenu(frame.hwnd, FALSE);
    if (!menu) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kMenuAlwaysOnTop, "Always on &Top");
    // Access keys that no item of the system menu uses (Wine adds its own
    // "About Wine" on A): each key chooses its item at once.
    AppendMenuA(menu, MF_STRING, kMenuRemember, "Remember Parameters and &History");
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
        return false;
    }
}
