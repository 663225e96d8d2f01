#include "WflMenu.h"

#include "WflWnd.h"

bool XSETWINDOWMENU(XWND& window, MenuRecord& menu) {
    if (!window.hwnd || !SetMenu(window.hwnd, menu.menu)) return false;
    menu.owner = window.hwnd;
    DrawMenuBar(window.hwnd);
    return true;
}
