// fxwindowproc: the one window procedure of every framework window. It
// finds the record through the "XWND" property, applies the built-in
// behaviours and hands each message to the routine registered for it.
#include "WflWndInternal.h"

namespace {

bool isMdiChild(HWND hwnd) {
    return (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

void bindRecord(XWND* record, HWND hwnd) {
    if (!record) return;
    record->hwnd = hwnd;
    SetPropA(hwnd, kPropWindow, record);
}

// The record a creation or dialog message brings along, if any.
XWND* recordFromCreation(UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) return reinterpret_cast<XWND*>(lParam);
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (!cs || !cs->lpCreateParams) return nullptr;
    const bool mdiChild = (cs->dwExStyle & WS_EX_MDICHILD) != 0;
    if (message == WM_NCCREATE && !mdiChild) return static_cast<XWND*>(cs->lpCreateParams);
    if (message == WM_CREATE && mdiChild) {
        const auto* mcs = static_cast<const MDICREATESTRUCTA*>(cs->lpCreateParams);
        return reinterpret_cast<XWND*>(mcs->lParam);
    }
    return nullptr;
}

// A dialog with DS_CENTER is placed over the middle of its owner.
void centreOverOwner(HWND hwnd) {
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & DS_CENTER)) return;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (!owner) owner = GetDesktopWindow();
    RECT o{}, own{};
    GetWindowRect(owner, &o);
    GetWindowRect(hwnd, &own);
    const int x = (o.left + o.right - (own.right - own.left)) / 2;
    const int y = (o.top + o.bottom - (own.bottom - own.top)) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
}

XCTL* ownControl(HWND hwnd) { return FXCTLBYHANDLE(hwnd); }

bool servesAsDialogProcedure(HWND hwnd) {
    return GetWindowLongPtrA(hwnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(fxwindowproc);
}

bool hasCanvas(const XWND& record) { return record.canvasWidth != 0 || record.canvasHeight != 0; }

// The handler for a message, copied out of the table: the routine may
// change the table while it runs.
bool lookupHandler(const XWND& record, UINT message, XHandler& routine) {
    const XHandler* found = findHandler(record, message);
    if (!found) return false;
    routine = *found;
    return true;
}

// Calls the handler if there is one; `ran` tells whether there was.
HandlerOutcome runHandler(XWND& record, UINT message, WPARAM wParam, LPARAM lParam, bool& ran) {
    XHandler routine;
    ran = lookupHandler(record, message, routine);
    if (!ran) return {};
    return callHandler(routine, record, message, wParam, lParam);
}

bool declinesDefaultOnZero(UINT message) {
    return message == WM_QUERYENDSESSION || message == WM_NCHITTEST || message == WM_NCACTIVATE ||
           message == WM_GETDLGCODE;
}

LRESULT onDestroy(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (XCTL* own = ownControl(hwnd)) FXCTLCALLBACK(record, *own, record.id, WM_DESTROY);
    bool ran = false;
    LRESULT result = runHandler(record, WM_DESTROY, wParam, lParam, ran).result;
    if (result == 0) {
        if (isFrameWindow(hwnd)) {
            PostQuitMessage(0);
        } else {
            result = PXDEFPROC(&record, hwnd, WM_DESTROY, wParam, lParam);
        }
    }
    XCTLDESTROYALL(record);
    return result;
}

LRESULT onSize(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (XCTL* own = ownControl(hwnd); own && FXCTLCALLBACK(record, *own, record.id, WM_SIZE)) {
        return 0;
    }
    bool ran = false;
    const LRESULT result = runHandler(record, WM_SIZE, wParam, lParam, ran).result;
    if (result != 0) return result;
    if (hasCanvas(record)) {
        fitCanvasPages(record);
        return 0;
    }
    return PXDEFPROC(&record, hwnd, WM_SIZE, wParam, lParam);
}

LRESULT onSetCursor(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    bool ran = false;
    const LRESULT result = runHandler(record, WM_SETCURSOR, wParam, lParam, ran).result;
    if (result != 0) return result;
    if (record.cursor != noCursor() && LOWORD(lParam) == HTCLIENT) {
        SetCursor(record.cursor);
        return 1;
    }
    PXDEFPROC(&record, hwnd, WM_SETCURSOR, wParam, lParam);
    return 0;
}

LRESULT onDrawItem(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    bool ran = false;
    if (XCTL* control = item ? FXCTLBYHANDLE(item->hwndItem) : nullptr) {
        if (FXCTLCALLBACK(record, *control, static_cast<int>(item->CtlID), WM_DRAWITEM,
                          lParam)) {
            return PXDEFPROC(&record, hwnd, WM_DRAWITEM, wParam, lParam);
        }
        return runHandler(record, WM_DRAWITEM, wParam, lParam, ran).result;
    }
    runHandler(record, WM_DRAWITEM, wParam, lParam, ran);
    return ran ? 1 : PXDEFPROC(&record, hwnd, WM_DRAWITEM, wParam, lParam);
}

LRESULT onNotify(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return 0;
    // A notification meant for a container further in (a page inside a
    // tab frame) goes on to that container.
    HWND parent = GetParent(header->hwndFrom);
    if (parent && parent != hwnd &&
        (GetWindowLongPtrA(parent, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
        return SendMessageA(parent, WM_NOTIFY, wParam, lParam);
    }
    const int id = static_cast<int>(header->idFrom);
    const int code = static_cast<int>(header->code);
    XCTL* control = FXCTLBYHANDLE(header->hwndFrom);
    if (control && FXCTLCALLBACK(record, *control, id, code, lParam)) return 1;
    if (XCommandRoutine routine = findCommand(record, id)) {
        FXCALLCOMMAND(routine, record, id, code);
        return 1;
    }
    return 0;
}

LRESULT onHelp(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
    if (XCTL* own = ownControl(hwnd); own && help &&
        FXCTLCALLBACK(record, *own, help->iCtrlId, help->iContextType)) {
        return 1;
    }
    bool ran = false;
    const HandlerOutcome outcome = runHandler(record, WM_HELP, wParam, lParam, ran);
    if (outcome.result != 0) return outcome.result;
    return PXDEFPROC(&record, hwnd, WM_HELP, wParam, lParam);
}

LRESULT onCommand(XWND* record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (code == 1 && lParam == 0) code = 0;  // an accelerator counts as a menu command
    const auto control = reinterpret_cast<HWND>(lParam);
    if (control) {
        HWND parent = GetParent(control);
        if (parent && parent != hwnd && recordProperty(parent)) {
            return SendMessageA(parent, WM_COMMAND, wParam, lParam);
        }
    }
    if (!record) return PXDEFPROC(nullptr, hwnd, WM_COMMAND, wParam, lParam);
    if (XCTL* ctl = FXCTLBYHANDLE(control); ctl && FXCTLCALLBACK(*record, *ctl, id, code)) {
        return 0;
    }
    if (XCommandRoutine routine = findCommand(*record, id)) {
        FXCALLCOMMAND(routine, *record, id, code);
        return 1;
    }
    if (id == IDCANCEL && record->defaultProc == kDefProcDialog) {
        PostMessageA(hwnd, kMsgEndDialog, IDCANCEL, reinterpret_cast<LPARAM>(hwnd));
        if (isFrameWindow(hwnd)) PostQuitMessage(0);
        return 1;
    }
    return PXDEFPROC(record, hwnd, WM_COMMAND, wParam, lParam);
}

// The scroll bar control moves itself: by one for a line, by its page for a
// page, to the thumb while it is dragged.
void scrollBarControl(HWND bar, int code) {
    SCROLLINFO si = scrollInfo(SIF_ALL);
    if (!GetScrollInfo(bar, SB_CTL, &si)) return;
    const int page = std::max(1, static_cast<int>(si.nPage));
    int pos = si.nPos;
    switch (code) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: pos = si.nTrackPos; break;
        default: return;
    }
    SCROLLINFO set = scrollInfo(SIF_POS | SIF_DISABLENOSCROLL);
    set.nPos = pos;
    SetScrollInfo(bar, SB_CTL, &set, TRUE);
}

LRESULT onScroll(XWND& record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const int code = LOWORD(wParam);
    bool ran = false;
    if (lParam == 0) {
        const LRESULT result = runHandler(record, message, wParam, lParam, ran).result;
        if (result != 0) return result;
        const bool horizontal = message == WM_HSCROLL;
        if (horizontal ? record.canvasWidth != 0 : record.canvasHeight != 0) {
            scrollCanvas(record, horizontal ? SB_HORZ : SB_VERT, code);
            return 0;
        }
        return PXDEFPROC(&record, hwnd, message, wParam, lParam);
    }
    const auto bar = reinterpret_cast<HWND>(lParam);
    XCTL* control = FXCTLBYHANDLE(bar);
    if (!control) return runHandler(record, message, wParam, lParam, ran).result;
    if (control->kind == kCtlScrollBar) scrollBarControl(bar, code);
    const int id = static_cast<int>(GetWindowLongPtrA(bar, GWLP_ID));
    if (FXCTLCALLBACK(record, *control, id, static_cast<int>(message))) return 0;
    return runHandler(record, message, wParam, lParam, ran).result;
}

LRESULT onControlColour(XWND& record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    XCTL* control = FXCTLBYHANDLE(reinterpret_cast<HWND>(lParam));
    if (!control || (control->background == noBrush() && control->textColor == kNoColor)) {
        return PXDEFPROC(&record, hwnd, message, wParam, lParam);
    }
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    const auto dc = reinterpret_cast<HDC>(wParam);
    if (control->background != noBrush()) {
        LOGBRUSH brush{};
        GetObjectA(control->background, sizeof(brush), &brush);
        SetBkColor(dc, brush.lbColor);
        result = reinterpret_cast<LRESULT>(control->background);
    }
    if (control->textColor != kNoColor) SetTextColor(dc, control->textColor);
    return result;
}

LRESULT onMouseWheel(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    bool ran = false;
    const LRESULT result = runHandler(record, WM_MOUSEWHEEL, wParam, lParam, ran).result;
    if (result != 0) return result;
    const bool scrollable = record.defaultProc == kDefProcFramework &&
                            (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VSCROLL);
    if (!scrollable) return PXDEFPROC(&record, hwnd, WM_MOUSEWHEEL, wParam, lParam);
    SCROLLINFO si = scrollInfo(SIF_RANGE | SIF_POS);
    GetScrollInfo(hwnd, SB_VERT, &si);
    const int step = (si.nMax - si.nMin) / 50;
    // A positive delta is the wheel turned away from the user: towards the top.
    SCROLLINFO set = scrollInfo(SIF_POS);
    set.nPos = static_cast<int>(static_cast<std::int32_t>(wParam)) > 0 ? si.nPos - step
                                                                        : si.nPos + step;
    SetScrollInfo(hwnd, SB_VERT, &set, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT onCreateControl(XWND& record, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    HWND control =
        createRequestedControl(hwnd, reinterpret_cast<const ControlCreateRequest*>(wParam), lParam);
    if (record.defaultProc == kDefProcDialog) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(control));
        return 1;
    }
    return reinterpret_cast<LRESULT>(control);
}

LRESULT dispatch(XWND* record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
        case WM_CREATE:
            if (XWND* bound = recordFromCreation(message, lParam)) {
                bindRecord(bound, hwnd);
                record = bound;
            }
            return PXDEFPROC(record, hwnd, message, wParam, lParam);
        case WM_INITDIALOG:
            bindRecord(recordFromCreation(message, lParam), hwnd);
            centreOverOwner(hwnd);
            return 1;
        case WM_COMMAND:
            return onCommand(record, hwnd, wParam, lParam);
        default:
            break;
    }
    if (!record) return PXDEFPROC(nullptr, hwnd, message, wParam, lParam);

    bool ran = false;
    switch (message) {
        case WM_DESTROY: return onDestroy(*record, hwnd, wParam, lParam);
        case WM_NCDESTROY:
            runHandler(*record, message, wParam, lParam, ran);
            XFREEWINDOW(*record);
            return 0;
        case WM_SIZE: return onSize(*record, hwnd, wParam, lParam);
        case WM_SYSCOLORCHANGE: {
            const LRESULT result = runHandler(*record, message, wParam, lParam, ran).result;
            EnumChildWindows(
                hwnd,
                [](HWND child, LPARAM) -> BOOL {
                    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
                    return TRUE;
                },
                0);
            return result;
        }
        case WM_SETCURSOR: return onSetCursor(*record, hwnd, wParam, lParam);
        case WM_DRAWITEM: return onDrawItem(*record, hwnd, wParam, lParam);
        case WM_NOTIFY: return onNotify(*record, hwnd, wParam, lParam);
        case WM_HELP: return onHelp(*record, hwnd, wParam, lParam);
        case WM_HSCROLL:
        case WM_VSCROLL: return onScroll(*record, hwnd, message, wParam, lParam);
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return onControlColour(*record, hwnd, message, wParam, lParam);
        case WM_LBUTTONDOWN: {
            const LRESULT result = runHandler(*record, message, wParam, lParam, ran).result;
            if (result != 0) return result;
            // A framework child window takes the focus when clicked, so that
            // it sees the keys the user types next.
            if (record->defaultProc == kDefProcFramework &&
                (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
                SetFocus(hwnd);
            }
            return PXDEFPROC(record, hwnd, message, wParam, lParam);
        }
        case WM_MOUSEWHEEL: return onMouseWheel(*record, hwnd, wParam, lParam);
        case kMsgCreateControl: return onCreateControl(*record, hwnd, wParam, lParam);
        default: break;
    }

    const HandlerOutcome outcome = runHandler(*record, message, wParam, lParam, ran);
    if (!ran) return PXDEFPROC(record, hwnd, message, wParam, lParam);
    if (outcome.result == 0 && !outcome.defaultDone && !declinesDefaultOnZero(message)) {
        return PXDEFPROC(record, hwnd, message, wParam, lParam);
    }
    return outcome.result;
}

}  // namespace

LRESULT PXDEFPROC(XWND* record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR kind = record ? record->defaultProc : kDefProcUnbound;
    switch (kind) {
        case kDefProcUnbound: return DefWindowProcA(hwnd, message, wParam, lParam);
        case kDefProcDialog: return 0;
        case kDefProcFramework: {
            if (isMdiChild(hwnd)) return DefMDIChildProcA(hwnd, message, wParam, lParam);
            XWND* client = mdiClientWindow();
            if (client && isFrameWindow(hwnd)) {
                return DefFrameProcA(hwnd, client->hwnd, message, wParam, lParam);
            }
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        default:
            return CallWindowProcA(reinterpret_cast<WNDPROC>(kind), hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK fxwindowproc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    XWND* record = recordProperty(hwnd);
    if (record && record->hwnd != hwnd) {
        // The property leads to another window's record: a programming
        // error. If the fault is continued, the window is served as one
        // without a record rather than through the wrong one.
        raiseFault(kFaultForeignRecord);
        record = nullptr;
    }
    if (!record && message != WM_INITDIALOG && servesAsDialogProcedure(hwnd)) {
        // A dialog sees a few messages (its font, its controls' first
        // notifications) before WM_INITDIALOG brings its record. The dialog
        // manager processes them itself when the dialog procedure returns 0;
        // DefWindowProcA must not process them a second time.
        return 0;
    }
    return dispatch(record, hwnd, message, wParam, lParam);
}
