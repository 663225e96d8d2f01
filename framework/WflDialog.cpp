// Dialogs from resources: loading and binding them, showing them modeless,
// running them modally and ending and destroying them.
#include "WflDialog.h"

#include <commctrl.h>

#include "WflApp.h"
#include "WflCtrl.h"
#include "WflWndInternal.h"
#include "WflAppState.h"

namespace {

constexpr WORD kDialogInitType = 240;     // RT_DLGINIT
constexpr WORD kDialogInitAddString = 0x403;

// The owner that a dialog gets when the caller names none.
HWND defaultOwner() {
    HWND frame = frameWindow().hwnd;
    return frame && IsWindow(frame) ? frame : GetDesktopWindow();
}

// The dialog's own control record (element 0), which carries the routines
// for its initialisation, size and destruction events.
void fillOwnControl(XWND& wnd, HWND owner) {
    if (wnd.controls.empty()) wnd.controls.push_back(std::make_unique<XCTL>());
    XCTL& own = *wnd.controls.front();
    own = XCTL{};
    own.kind = kCtlChildDialog;
    own.style = static_cast<DWORD>(GetWindowLongPtrA(wnd.hwnd, GWL_STYLE));
    own.owner = owner;
    FXASSOCCTLTOHANDLE(own, wnd.hwnd);
    wnd.controlCount = static_cast<int>(wnd.controls.size());
}

void reportInit(XWND& wnd) {
    if (XCTL* own = FXCTLBYHANDLE(wnd.hwnd)) FXCTLCALLBACK(wnd, *own, wnd.id, WM_INITDIALOG);
}

// Disables or enables the top-level windows of this thread other than the
// dialog (EnumThreadWindows lists top-level windows only).
struct ThreadWindows {
    HWND dialog;
    BOOL enable;
};
BOOL CALLBACK enableThreadWindow(HWND hwnd, LPARAM data) {
    const auto* request = reinterpret_cast<const ThreadWindows*>(data);
    if (hwnd != request->dialog && !(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
        EnableWindow(hwnd, request->enable);
    }
    return TRUE;
}
void enableThreadWindows(HWND dialog, bool enable) {
    ThreadWindows request{dialog, enable ? TRUE : FALSE};
    EnumThreadWindows(GetCurrentThreadId(), enableThreadWindow,
                      reinterpret_cast<LPARAM>(&request));
}

// Takes a pending quit message off the queue; its exit code when there was one.
std::optional<int> takePendingQuit() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return std::nullopt;
    return static_cast<int>(msg.wParam);
}

// The modal loop: dispatches until this dialog's end message; end messages
// for other dialogs are dropped, so an outer run cannot end under an inner
// one. A quit message ends the run with -1 and stays for the outer loops.
int runModalLoop(HWND dialog) {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return -1;
        }
        if (got < 0) return -1;
        if (msg.message == kMsgEndDialog) {
            if (msg.hwnd == dialog) return static_cast<int>(msg.wParam);
            continue;
        }
        routeMessage(msg, dialog);
    }
}

}  // namespace

bool XLOADDIALOG(int id, XWND& wnd, XWND* parent, HINSTANCE instance) {
    resetWindowRecord(wnd);
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);

    const HINSTANCE module = instance ? instance : frameworkInstance();
    HWND owner = parent ? parent->hwnd : defaultOwner();
    struct Resource {
        HINSTANCE module;
        int id;
        std::optional<std::vector<BYTE>> scaled;  // the template with a smaller font, when it needs one
    } resource{module, id, fittingDialogTemplate(module, id, owner, parent ? parent->hwnd : nullptr)};
    auto fromResource = [](const void* source, HWND o, DLGPROC procedure, LPARAM record) {
        const auto& r = *static_cast<const Resource*>(source);
        if (r.scaled) {
            return CreateDialogIndirectParamA(r.module, reinterpret_cast<LPCDLGTEMPLATEA>(r.scaled->data()), o,
                                              procedure, record);
        }
        return CreateDialogParamA(r.module, MAKEINTRESOURCEA(r.id), o, procedure, record);
    };
    if (!bindNewDialog(wnd, id, owner, fromResource, &resource)) return false;
    if (resource.scaled) XREMEMBERDIALOGPOINTS(wnd.hwnd, *resource.scaled);
    countWindow();
    PXPARSEDLGINIT(module, wnd, id);
    return true;
}

HWND bindNewDialog(XWND& wnd, int id, HWND owner, DialogMaker create, const void* source) {
    wnd.id = id;
    wnd.defaultProc = kDefProcDialog;
    HWND hwnd = create(source, owner, reinterpret_cast<DLGPROC>(fxwindowproc), reinterpret_cast<LPARAM>(&wnd));
    wnd.hwnd = hwnd;
    if (!hwnd) return nullptr;
    FXBINDWINDOWCONTROLS(wnd);
    fillOwnControl(wnd, owner);
    // A page inside another dialog is found by its resource number.
    if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) SetWindowLongPtrA(hwnd, GWLP_ID, id);
    return hwnd;
}

void PXPARSEDLGINIT(HINSTANCE instance, XWND& wnd, int id) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kDialogInitType));
    if (!found) return;
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* data = static_cast<const BYTE*>(LockResource(loaded));
    const DWORD size = SizeofResource(instance, found);
    if (!data) return;
    // Records: control identifier (16 bits), message (16 bits), length of
    // the data (32 bits), the data (a zero-terminated text).
    for (DWORD at = 0; size >= 8 && at + 8 <= size;) {
        WORD control = 0, message = 0;
        DWORD length = 0;
        memcpy(&control, data + at, sizeof(control));
        memcpy(&message, data + at + 2, sizeof(message));
        memcpy(&length, data + at + 4, sizeof(length));
        if (control == 0) break;
        const DWORD text = at + 8;
        at = text + length;
        if (at > size || length == 0) break;
        HWND item = GetDlgItem(wnd.hwnd, control);
        const XCTL* record = FXCTLBYHANDLE(item);
        if (!record || message != kDialogInitAddString) continue;
        // The text ends at its zero, or at the end of the data if it has none.
        const std::string entry(reinterpret_cast<const char*>(data + text),
                                strnlen(reinterpret_cast<const char*>(data + text), length));
        const auto lParam = reinterpret_cast<LPARAM>(entry.c_str());
        if (record->kind == kCtlListBox) SendMessageA(item, LB_ADDSTRING, 0, lParam);
        if (record->kind == kCtlDropList || record->kind == kCtlEditCombo) {
            SendMessageA(item, CB_ADDSTRING, 0, lParam);
        }
    }
}

bool XMODELESSDIALOG(XWND& wnd, int show) {
    if (!wnd.hwnd || !IsWindow(wnd.hwnd)) return false;
    ShowWindow(wnd.hwnd, show);
    reportInit(wnd);
    return true;
}

int XMODALDIALOG(XWND& wnd, XWND* parent, bool disableAll) {
    HWND dialog = wnd.hwnd;
    if (!dialog || !IsWindow(dialog)) return -1;
    ShowWindow(dialog, SW_SHOW);

    HWND owner = GetParent(dialog);
    if (parent && IsWindow(parent->hwnd)) {
        owner = parent->hwnd;
        // A pop-up dialog changes its owner this way; a child dialog moves
        // into the new parent.
        if (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD) {
            SetParent(dialog, owner);
        } else {
            SetWindowLongPtrA(dialog, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
        }
    }
    if (disableAll) {
        enableThreadWindows(dialog, false);
    } else if (owner) {
        EnableWindow(owner, FALSE);
    }

    ShowWindow(dialog, SW_SHOW);
    SetActiveWindow(dialog);
    reportInit(wnd);

    const std::optional<int> pendingQuit = takePendingQuit();
    const int code = runModalLoop(dialog);
    if (pendingQuit) PostQuitMessage(*pendingQuit);

    if (disableAll) {
        enableThreadWindows(dialog, true);
    } else if (owner) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(dialog)) ShowWindow(dialog, SW_HIDE);
    if (owner) SetActiveWindow(owner);
    return code;
}

bool XENDDIALOG(XWND& wnd, int code) {
    return PostMessageA(wnd.hwnd, kMsgEndDialog, static_cast<WPARAM>(code),
                        reinterpret_cast<LPARAM>(wnd.hwnd)) != FALSE;
}

void XDESTROYDIALOG(XWND& wnd) {
    XCTLDESTROYALL(wnd);
    if (wnd.hwnd) XFORGETDIALOGPOINTS(wnd.hwnd);
    if (wnd.hwnd && IsWindow(wnd.hwnd)) DestroyWindow(wnd.hwnd);
    wnd.hwnd = nullptr;
}
