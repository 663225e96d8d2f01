// The main message loop and the re-entrant pump for long-running code.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "WflApp.h"
#include "WflAppState.h"

namespace {

bool keyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Ctrl+Tab and Ctrl+PgDn go to the next page of a window's tab control,
// Ctrl+Shift+Tab and Ctrl+PgUp to the one before, round at the ends, as in
// the tabbed dialogs of Windows. The tab control selects the page as a
// click does (TCM_SETCURFOCUS tells its parent, so the page is shown and
// the program's routine runs), and takes the focus: a field of the page
// now hidden must not keep it.
bool changedPage(HWND window, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !window || !keyHeld(VK_CONTROL) || keyHeld(VK_MENU)) return false;
    int step = 0;
    if (msg.wParam == VK_TAB) step = keyHeld(VK_SHIFT) ? -1 : 1;
    if (msg.wParam == VK_NEXT) step = 1;
    if (msg.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    HWND tabs = FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr);
    const int count = tabs ? TabCtrl_GetItemCount(tabs) : 0;
    if (count < 2 || !IsWindowEnabled(tabs)) return false;
    const int next = (TabCtrl_GetCurSel(tabs) + step + count) % count;
    SetFocus(tabs);
    SendMessageA(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(next), 0);
    return true;
}

}  // namespace

void routeMessage(MSG& msg, HWND modalDialog) {
    AppState& s = appState();
    if (!modalDialog) {
        if (s.mdiClient && s.mdiClient->hwnd && TranslateMDISysAccel(s.mdiClient->hwnd, &msg)) return;
        if (s.frame.hwnd && s.accelerators && TranslateAcceleratorA(s.frame.hwnd, s.accelerators, &msg)) {
            return;
        }
    }
    HWND active = GetActiveWindow();
    if (changedPage(modalDialog ? modalDialog : active, msg)) return;
    if (active && (GetWindowLongPtrA(active, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
        IsDialogMessageA(modalDialog ? modalDialog : active, &msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

namespace {

// A quit message taken here must still end the loops further out.
int requeueQuit(const MSG& msg) {
    PostQuitMessage(static_cast<int>(msg.wParam));
    return WM_QUIT;
}

}  // namespace

int runMainLoop() {
    AppState& s = appState();
    // GetMessageA gives -1 only for a bad window filter, which this loop
    // never uses; stopping there still beats spinning on the error.
    while (GetMessageA(&s.lastMessage, nullptr, 0, 0) > 0) routeMessage(s.lastMessage);
    return static_cast<int>(s.lastMessage.wParam);
}

int XPROCESSMESSAGES(bool wait, std::span<const UINT> messages, std::span<const HANDLE> handles,
                     bool waitAll) {
    const auto count = static_cast<DWORD>(handles.size());
    for (;;) {
        if (count > 0) {
            // Wake mask 0xFE: every queue state except QS_KEY.
            const DWORD r = MsgWaitForMultipleObjects(count, handles.data(), waitAll, INFINITE, 0xFE);
            if (r < WAIT_OBJECT_0 + count) return -static_cast<int>(r - WAIT_OBJECT_0 + 1);
        }
        for (;;) {
            MSG msg{};
            if (!wait || count > 0) {
                if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    if (!wait) return 0;
                    break;  // waiting on handles: back to the wait
                }
            } else if (GetMessageA(&msg, nullptr, 0, 0) == 0) {
                return requeueQuit(msg);
            }
            if (msg.message == WM_QUIT) return requeueQuit(msg);
            if (std::find(messages.begin(), messages.end(), msg.message) != messages.end()) {
                return static_cast<int>(msg.message);
            }
            routeMessage(msg);
        }
    }
}
