// Shared helpers of the window framework tests: real windows, real messages,
// and waiting on conditions with a bounded time instead of sleeping.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "WflApp.h"
#include "WflWnd.h"

// Pumps this thread's messages until `done` holds or `timeoutMs` passes;
// returns whether it holds.
inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;  // a stray quit must not end the test run
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

// Handles every message already queued, dropping a pending quit.
inline void drainMessages() {
    pumpUntil([] { return true; }, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Records the framework's fault exceptions and continues them, so that a
// test sees the code and the framework goes on as documented.
class FaultRecorder {
public:
    FaultRecorder() : cookie_(AddVectoredExceptionHandler(1, &FaultRecorder::handler)) {
        codes().clear();
    }
    ~FaultRecorder() { RemoveVectoredExceptionHandler(cookie_); }
    FaultRecorder(const FaultRecorder&) = delete;
    FaultRecorder& operator=(const FaultRecorder&) = delete;

    const std::vector<DWORD>& seen() const { return codes(); }

private:
    static std::vector<DWORD>& codes() {
        static std::vector<DWORD> list;
        return list;
    }
    static LONG CALLBACK handler(EXCEPTION_POINTERS* info) {
        const DWORD code = info->ExceptionRecord->ExceptionCode;
        if (code != kFaultForeignRecord && code != kFaultWrongForm) return EXCEPTION_CONTINUE_SEARCH;
        codes().push_back(code);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    PVOID cookie_;
};

// Registers the framework class once for the test run (start-up resets the
// window count, so tests that count windows must not start it again).
inline void ensureFramework() {
    static const bool started = (startFramework(nullptr), true);
    (void)started;
}

// A visible top-level window that lives for the whole test run, to hold
// the visible child windows of tests that paint or scroll.
//
// Why not a visible top-level window per test: under Wine's X11 driver,
// hiding or destroying a visible top-level window waits for the window
// manager to confirm the withdrawn state (winex11 wait_for_withdrawn_state,
// up to 2 s). Our Xvfb runs no window manager, so every such window costs
// the full 2 s. Child windows are not managed by a window manager and go
// at once, so tests use hidden top-level windows or visible children here.
inline XWND& visibleHost() {
    static XWND host;
    if (!IsWindow(host.hwnd)) {
        ensureFramework();
        XCREATEWINDOW(host, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                      "framework tests", 0, 0, 0, 800, 600);
    }
    return host;
}

// A framework window that is destroyed at scope end: by default a hidden
// top-level window; `visibleChild` puts a visible child into visibleHost().
struct WindowOptions {
    bool visibleChild = false;
    DWORD style = 0;    // added to the defaults
    DWORD exStyle = 0;
    int width = 320;
    int height = 240;
};

struct TestWindow {
    XWND record;
    explicit TestWindow(const WindowOptions& o = {}) {
        ensureFramework();
        if (o.visibleChild) {
            XCREATEWINDOW(record, &visibleHost(), WS_CHILD | WS_VISIBLE | o.style, "", o.exStyle,
                          10, 10, o.width, o.height, nullptr, {}, 100);
        } else {
            XCREATEWINDOW(record, nullptr, WS_OVERLAPPEDWINDOW | o.style, "framework test",
                          o.exStyle, 40, 40, o.width, o.height);
        }
    }
    ~TestWindow() {
        if (IsWindow(record.hwnd)) DestroyWindow(record.hwnd);
        drainMessages();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND hwnd() const { return record.hwnd; }
};

// An in-memory dialog template: a modeless child-free popup, or with push
// buttons of the given identifiers.
inline std::vector<WORD> dialogTemplate(DWORD style, std::initializer_list<WORD> buttonIds = {}) {
    std::vector<WORD> t;
    auto dword = [&](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    dword(style);
    dword(0);                                        // extended style
    t.push_back(static_cast<WORD>(buttonIds.size()));
    for (WORD v : std::initializer_list<WORD>{0, 0, 200, 100}) t.push_back(v);  // x, y, cx, cy in dialog units
    t.push_back(0);                                  // no menu
    t.push_back(0);                                  // the dialog class
    t.push_back(0);                                  // no title
    WORD y = 10;
    for (WORD id : buttonIds) {
        if (t.size() % 2) t.push_back(0);  // items start on a DWORD boundary
        dword(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
        dword(0);
        for (WORD v : std::initializer_list<WORD>{10, y, 50, 14}) t.push_back(v);
        t.push_back(id);
        t.push_back(0xFFFF);
        t.push_back(0x0080);  // button
        t.push_back(0);       // no text
        t.push_back(0);       // no creation data
        y = static_cast<WORD>(y + 20);
    }
    return t;
}

// Creates a framework dialog from a template, bound to `record` the way
// loaded dialogs are: the record says "dialog" before creation and the
// window procedure binds it on WM_INITDIALOG.
inline HWND createFrameworkDialog(XWND& record, const std::vector<WORD>& tmpl,
                                  HWND owner = nullptr) {
    ensureFramework();
    resetWindowRecord(record);
    record.defaultProc = kDefProcDialog;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                      reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), owner,
                                      reinterpret_cast<DLGPROC>(fxwindowproc),
                                      reinterpret_cast<LPARAM>(&record));
}

// Takes the first queued message `message` for `hwnd`, if any.
inline bool takeMessage(HWND hwnd, UINT message, MSG& msg) {
    return PeekMessageA(&msg, hwnd, message, message, PM_REMOVE) != FALSE;
}

// The client size of a window.
inline SIZE clientSize(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return {rc.right, rc.bottom};
}

// The system's folder for temporary files, without its trailing backslash.
inline std::string tempFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string d = dir;
    if (!d.empty() && d.back() == '\\') d.pop_back();
    return d;
}

// The text of one cell of a report list view, as the user reads it.
inline std::string listViewCell(HWND list, int line, int column) {
    char buffer[300] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
    return buffer;
}
