// The process-wide state of WflApp, shared by its source files only.
#pragma once

#include <windows.h>

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
};

AppState& appState();
