// WflMenu: the menu record that creation routines and menu handlers pass
// around, and attaching a menu to a window.
#pragma once

#include <windows.h>

struct XWND;

struct MenuRecord {
    HMENU menu = nullptr;
    HWND owner = nullptr;  // set when the menu is attached to a window
};

// Makes the menu the window's menu bar and the window its owner.
bool XSETWINDOWMENU(XWND& window, MenuRecord& menu);
