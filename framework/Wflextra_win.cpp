// Wflextra, Windows half: notices, sounds, timers and the dialog focus.
#include "WflextraNotices.h"

#include <mmsystem.h>

#include <string>

#include "WflApp.h"
#include "WflDialog.h"
#include "Text.h"

namespace {

void notice(std::string_view caption, std::string_view text, UINT icon) {
    XMESSAGEBEEP(icon);
    XMESSAGEBOX(textkit::trimmedRight(text), textkit::trimmedRight(caption), icon);
}

int buttonSet(std::optional<int> buttons) {
    return buttons && *buttons >= 1 && *buttons <= 5 ? *buttons : MB_YESNO;
}

}  // namespace

void XUSERWARN(std::string_view caption, std::string_view text) {
    notice(caption, text, MB_ICONEXCLAMATION);
}
void XUSERINFO(std::string_view caption, std::string_view text) {
    notice(caption, text, MB_ICONASTERISK);
}
void XUSERSTOP(std::string_view caption, std::string_view text) {
    notice(caption, text, MB_ICONHAND);
}

UINT userAskFlags(std::optional<int> buttons, std::optional<int> defaultButton) {
    const int set = buttonSet(buttons);
    UINT defaultFlag = 0;
    switch (defaultButton.value_or(1)) {
        case 2: defaultFlag = MB_DEFBUTTON2; break;
        // A third default exists only in the sets with three buttons.
        case 3:
            defaultFlag = set == MB_ABORTRETRYIGNORE || set == MB_YESNOCANCEL ? MB_DEFBUTTON3
                                                                              : MB_DEFBUTTON2;
            break;
        default: break;
    }
    return static_cast<UINT>(set) + defaultFlag + MB_ICONQUESTION;
}

int userAskPosition(int set, int result) {
    switch (set) {
        case MB_OKCANCEL: case MB_RETRYCANCEL: return result == IDCANCEL ? 2 : 1;
        case MB_ABORTRETRYIGNORE: return result == IDRETRY ? 2 : result == IDIGNORE ? 3 : 1;
        case MB_YESNOCANCEL: return result == IDNO ? 2 : result == IDCANCEL ? 3 : 1;
        // A Yes/No box left with Esc or its close box is not a yes: taken
        // as one, Esc on "YOU SURE ?" would delete the parameter.
        default: return result == IDYES ? 1 : result == IDNO || result == IDCANCEL ? 2 : 1;
    }
}

int XUSERASK(std::string_view caption, std::string_view text, std::optional<int> buttons,
             std::optional<int> defaultButton) {
    XMESSAGEBEEP(MB_ICONQUESTION);
    const int result = XMESSAGEBOX(textkit::trimmedRight(text), textkit::trimmedRight(caption),
                                   userAskFlags(buttons, defaultButton));
    return userAskPosition(buttonSet(buttons), result);
}

namespace {

// winmm.dll is no known DLL of Windows: imported, the loader would look for
// it in the program's folder first, so a winmm.dll beside a portable copy
// in a Downloads folder would run. It is loaded when a sound is first
// played, from System32 only; without it there is no sound.
using PlaySoundRoutine = BOOL(WINAPI*)(LPCSTR sound, HMODULE module, DWORD flags);
PlaySoundRoutine playSound() {
    static const PlaySoundRoutine routine = [] {
        HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return winmm ? reinterpret_cast<PlaySoundRoutine>(
                           reinterpret_cast<void (*)()>(GetProcAddress(winmm, "PlaySoundA")))
                     : nullptr;
    }();
    return routine;
}

bool play(LPCSTR sound, HMODULE module, DWORD flags) {
    const PlaySoundRoutine routine = playSound();
    return routine != nullptr && routine(sound, module, flags) != FALSE;
}

}  // namespace

bool PXPLAYSOUND_RSRC(int sound, HMODULE module) {
    return play(MAKEINTRESOURCEA(sound), module ? module : GetModuleHandleA(nullptr),
                SND_RESOURCE | SND_NOSTOP | SND_ASYNC);
}

bool PXPLAYSOUND_FILE(std::string_view path) {
    const std::string file = textkit::trimmedRight(path);
    return play(file.c_str(), nullptr, SND_FILENAME | SND_NOSTOP | SND_ASYNC);
}

bool PXPLAYSOUND_SILENCE() { return play(nullptr, nullptr, SND_PURGE | SND_NODEFAULT); }

bool XTIMERSTART(HWND window, int timer, int intervalMs) {
    if (timer <= 0 || intervalMs <= 0) return false;
    const UINT_PTR started = SetTimer(window, static_cast<UINT_PTR>(timer),
                                      static_cast<UINT>(intervalMs), nullptr);
    return started == static_cast<UINT_PTR>(timer);
}

bool XTIMERSTOP(HWND window, int timer) {
    return timer > 0 && KillTimer(window, static_cast<UINT_PTR>(timer)) != FALSE;
}

bool XSETDIALOGFOCUS(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || !IsWindow(control)) return false;
    // lParam's low word non-zero: wParam is the control itself.
    return PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE) != FALSE;
}
