// Control events: which slot of a control record an event goes to, and how
// each kind's notifications reach the routines in those slots.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "WflCtrlInternal.h"
#include "WflListView.h"
#include "WflWndInternal.h"

namespace {

bool ownerDrawn(int kind, DWORD style) {
    if (kind == kCtlStatic) return (style & SS_TYPEMASK) == SS_OWNERDRAW;
    return (style & BS_TYPEMASK) == BS_OWNERDRAW;
}

// A combo counts as focused when the focus is on it or on its edit field.
bool comboFocused(HWND combo) {
    HWND focus = GetFocus();
    return focus && (focus == combo || IsChild(combo, focus));
}

// Before an editable combo reports a chosen entry, the entry's text is put
// into its edit field, so that the routine reads what the user picked.
void copySelectionToEdit(HWND combo) {
    const auto index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    const auto length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    HWND edit = PXCTLGETEDIT(combo);
    SetWindowTextA(edit ? edit : combo, text.c_str());
}

// Owner drawing: the routine draws into the item's rectangle, one window
// unit per pixel.
bool callDraw(XWND& record, XCTL& control, int id, LPARAM detail) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(detail);
    if (!control.draw || !item) return false;
    DrawingRecord dc;
    dc.dc = item->hDC;
    dc.viewportLeft = item->rcItem.left;
    dc.viewportTop = item->rcItem.top;
    dc.viewportWidth = item->rcItem.right - item->rcItem.left;
    dc.viewportHeight = item->rcItem.bottom - item->rcItem.top;
    dc.windowWidth = static_cast<float>(dc.viewportWidth);
    dc.windowHeight = static_cast<float>(dc.viewportHeight);
    control.draw(record, id, dc);
    releaseRecordFont(dc);  // a font the routine set lives only for this drawing
    return true;
}

// The slot and event a notification maps to; slot 0 when it maps to none.
struct Route {
    int slot = 0;
    int event = 0;
};

Route routeFor(const XCTL& control, int code, LPARAM detail) {
    const HWND hwnd = control.hwnd;
    const auto notice = static_cast<UINT>(code);  // WM_NOTIFY codes are unsigned
    switch (control.kind) {
        case kCtlPushButton: case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
            if (code == BN_CLICKED) return {1, XEVT_CLICK};
            break;
        case kCtlEdit:
            switch (code) {
                case EN_SETFOCUS: return {3, XEVT_GOTFOCUS};
                case EN_KILLFOCUS: return {4, XEVT_LOSTFOCUS};
                // Changes made by the program while the user is elsewhere
                // are not the user's edits.
                case EN_CHANGE: if (GetFocus() == hwnd) return {1, XEVT_CHANGE}; break;
                case EN_UPDATE: if (GetFocus() == hwnd) return {2, XEVT_UPDATE}; break;
                default: break;
            }
            break;
        case kCtlListBox:
            switch (code) {
                case LBN_SELCHANGE: return {1, XEVT_SELCHANGE};
                case LBN_DBLCLK: return {2, XEVT_DBLCLICK};
                case LBN_SETFOCUS: return {3, XEVT_GOTFOCUS};
                case LBN_KILLFOCUS: return {4, XEVT_LOSTFOCUS};
                default: break;
            }
            break;
        case kCtlDropList:
            switch (code) {
                case CBN_SELCHANGE: if (comboFocused(hwnd)) return {1, XEVT_SELCHANGE}; break;
                case CBN_DBLCLK: if (comboFocused(hwnd)) return {2, XEVT_DBLCLICK}; break;
                case CBN_SETFOCUS: return {3, XEVT_GOTFOCUS};
                case CBN_KILLFOCUS: return {4, XEVT_LOSTFOCUS};
                default: break;
            }
            break;
        case kCtlEditCombo:
            if (code == CBN_KILLFOCUS) return {6, XEVT_LOSTFOCUS};
            if (!comboFocused(hwnd)) break;
            switch (code) {
                case CBN_SELENDOK: copySelectionToEdit(hwnd); return {1, XEVT_SELCHANGE};
                case CBN_DBLCLK: return {2, XEVT_DBLCLICK};
                case CBN_EDITCHANGE: return {3, XEVT_CHANGE};
                case CBN_EDITUPDATE: return {4, XEVT_UPDATE};
                case CBN_SETFOCUS: return {5, XEVT_GOTFOCUS};
                default: break;
            }
            break;
        case kCtlTab:
            if (notice == TCN_SELCHANGING) return {2, XEVT_SELCHANGING};
            if (notice == TCN_SELCHANGE) {
                FXDEFTABCALLBACK(hwnd);
                return {1, XEVT_SELCHANGE};
            }
            break;
        case kCtlScrollBar: case kCtlTrackBar:
            if (code == WM_HSCROLL || code == WM_VSCROLL) return {1, XEVT_CHANGE};
            break;
        case kCtlUpDown:
            if (notice == UDN_DELTAPOS) return {1, XEVT_CHANGE};
            break;
        case kCtlListView:
            switch (notice) {
                case LVN_ITEMCHANGED: {
                    const auto* change = reinterpret_cast<const NMLISTVIEW*>(detail);
                    if (change && change->iItem >= 0) return {1, XEVT_SELCHANGE};
                    break;
                }
                case LVN_ITEMACTIVATE: return {2, XEVT_DBLCLICK};
                case LVN_COLUMNCLICK: {
                    const auto* click = reinterpret_cast<const NMLISTVIEW*>(detail);
                    if (click) return {3, click->iSubItem + 1};
                    break;
                }
                case LVN_GETDISPINFOA: return {4, XEVT_DRAW};
                default: break;
            }
            break;
        case kCtlChildDialog:
            switch (code) {
                case WM_INITDIALOG: return {1, XEVT_INIT};
                case WM_DESTROY: return {3, XEVT_DESTROY};
                case WM_SIZE: return {4, XEVT_SIZE};
                default: return {2, code};
            }
        default:
            break;
    }
    return {};
}

}  // namespace

int PXGETCALLBACKINDEX(int kind, DWORD style, int event) {
    const bool main = event == XEVT_DEFAULT;
    switch (kind) {
        case kCtlStatic:
            return ownerDrawn(kind, style) && (main || event == XEVT_DRAW) ? 1 : 0;
        case kCtlPushButton: case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
            if (main || event == XEVT_CLICK) return 1;
            return event == XEVT_DRAW && ownerDrawn(kind, style) ? 2 : 0;
        case kCtlEdit:
            switch (event) {
                case XEVT_DEFAULT: case XEVT_CHANGE: return 1;
                case XEVT_UPDATE: return 2;
                case XEVT_GOTFOCUS: return 3;
                case XEVT_LOSTFOCUS: return 4;
                default: return 0;
            }
        case kCtlListBox: case kCtlDropList:
            switch (event) {
                case XEVT_DEFAULT: case XEVT_SELCHANGE: return 1;
                case XEVT_DBLCLICK: return 2;
                case XEVT_GOTFOCUS: return 3;
                case XEVT_LOSTFOCUS: return 4;
                default: return 0;
            }
        case kCtlTab:
            if (main || event == XEVT_SELCHANGE) return 1;
            return event == XEVT_SELCHANGING ? 2 : 0;
        case kCtlScrollBar: case kCtlUpDown: case kCtlTrackBar:
            return main || event == XEVT_CHANGE ? 1 : 0;
        case kCtlEditCombo:
            switch (event) {
                case XEVT_DEFAULT: case XEVT_SELCHANGE: return 1;
                case XEVT_DBLCLICK: return 2;
                case XEVT_CHANGE: return 3;
                case XEVT_UPDATE: return 4;
                case XEVT_GOTFOCUS: return 5;
                case XEVT_LOSTFOCUS: return 6;
                default: return 0;
            }
        case kCtlListView:
            switch (event) {
                case XEVT_DEFAULT: case XEVT_SELCHANGE: return 1;
                case XEVT_DBLCLICK: return 2;
                case XEVT_COLUMNCLICK: return 3;
                case XEVT_DRAW: return (style & LVS_OWNERDATA) ? 4 : 0;
                default: return 0;
            }
        case kCtlChildDialog:
            switch (event) {
                case XEVT_INIT: return 1;
                case XEVT_DESTROY: return 3;
                case XEVT_SIZE: return 4;
                default: return 2;  // every other message of the dialog
            }
        default:
            return 0;
    }
}

bool XCTLSETSUB(XWND& window, int id, XCommandRoutine routine, int event) {
    const auto target = findControl(window, id);
    if (!target || !target->record) return false;
    const int slot = PXGETCALLBACKINDEX(target->kind, target->style(), event);
    if (slot == 0) return false;
    if (event == XEVT_DRAW) {
        // Drawing and a list view's request come with a record that a
        // command routine has no argument for.
        raiseFault(kFaultWrongForm);
        return false;
    }
    target->record->slots[static_cast<std::size_t>(slot - 1)] = routine;
    return true;
}

bool XCTLSETSUB(XWND& window, int id, XDrawRoutine routine) {
    const auto target = findControl(window, id);
    if (!target || !target->record) return false;
    const DWORD style = target->style();
    if (target->kind == kCtlListView || PXGETCALLBACKINDEX(target->kind, style, XEVT_DRAW) == 0) {
        return false;
    }
    target->record->draw = routine;
    return true;
}

bool XCTLSETSUB(XWND& window, int id, XListDataRoutine routine) {
    const auto target = findControl(window, id);
    if (!target || !target->record || target->kind != kCtlListView) return false;
    if (PXGETCALLBACKINDEX(target->kind, target->style(), XEVT_DRAW) == 0) return false;
    target->record->listData = routine;
    return true;
}

bool FXCTLCALLBACK(XWND& record, XCTL& control, int id, int code, LPARAM detail) {
    if (code == WM_DRAWITEM && control.kind != kCtlChildDialog) {
        return callDraw(record, control, id, detail);
    }
    const Route route = routeFor(control, code, detail);
    if (route.slot == 0) return false;
    if (control.kind == kCtlListView && route.slot == 4) {
        // A virtual list view asks for a line: the application's routine
        // answers the request when there is one, else the list view answers
        // from its record array.
        if (!detail) return false;
        auto& request = *reinterpret_cast<NMLVDISPINFOA*>(detail);
        if (!control.listData) return listViewAnswerDisplayInfo(control.hwnd, request);
        control.listData(record, id, request);
        return true;
    }
    XCommandRoutine routine = control.slots[static_cast<std::size_t>(route.slot - 1)];
    // Without a routine of its own, a list view sorts on a header click.
    if (!routine && control.kind == kCtlListView && route.slot == 3) {
        return XLV_ONCOLUMNCLICK(record, id, route.event);
    }
    if (!routine) return false;
    FXCALLCOMMAND(routine, record, id, route.event);
    return true;
}

namespace {

HWND pageWindow(HWND tab, int index) {
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (!SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) return nullptr;
    const int pageId = static_cast<int>(item.lParam);
    if (pageId == 0) return nullptr;
    // A page sits beside the tab control (the usual layout) or inside it.
    HWND parent = GetParent(tab);
    HWND page = parent ? GetDlgItem(parent, pageId) : nullptr;
    return page ? page : GetDlgItem(tab, pageId);
}

}  // namespace

void FXDEFTABCALLBACK(HWND tab) {
    const int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    HWND shown = nullptr;
    for (int i = 0; i < count; ++i) {
        HWND page = pageWindow(tab, i);
        if (!page) continue;
        if (i == selected) {
            shown = page;
        } else if (page != shown) {
            ShowWindow(page, SW_HIDE);
        }
    }
    if (!shown) return;
    RECT area{};
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    HWND pageParent = GetParent(shown);
    if (pageParent != tab) MapWindowPoints(tab, pageParent, reinterpret_cast<POINT*>(&area), 2);
    // On top of its siblings, so that the tab control does not paint over it.
    SetWindowPos(shown, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_SHOWWINDOW);
}
