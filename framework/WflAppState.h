// The process-wide state of WflApp, shared by its source files only.
#pragma once

#include <windows.h>

#include <string>

#include "WflWnd.h"

struct AppState {
    HINSTANCE instance = nullptr;
    bool startup = false;  // true only while XINIT runs
    int kind = 0;          // 0, 1 single-document, 2 multiple-document
    int windowCount = 0;
    HACCEL accelerators = nullptr;
    XWND frame;            // the one frame window record
    XWND mdiClientRecord;
    XWND* mdiClient = nullptr;
    MSG lastMessage{};     // its wParam is the exit code
    std::string commandLine;  // whole, as the program was started
};

AppState& appState();

// Every message of every loop goes this way: to MDI system keys and the
// accelerators (not while a modal dialog runs, as in Windows' own modal
// loops), then to the keyboard navigation of the active window, or of the
// modal dialog while one runs, and is dispatched when none takes it.
// Navigation is offered only while the active window says it holds
// controls (WS_EX_CONTROLPARENT), so plain frame windows see every key.
void routeMessage(MSG& msg, HWND modalDialog = nullptr);
