// Creating, finding, moving and destroying the controls of a window.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "WflCtrlInternal.h"
#include "WflListView.h"
#include "WflWndInternal.h"

namespace {

// The deferred-positioning batch of XBEGINCTLMOVE, with the window it
// belongs to.
struct CtlState {
    HWND batchWindow = nullptr;
    HDWP batch = nullptr;
};
CtlState& ctlState() {
    static CtlState state;
    return state;
}

DWORD baseStyle(int kind) {
    switch (kind) {
        case kCtlGroupBox: return BS_GROUPBOX;
        case kCtlPushButton: return WS_TABSTOP;
        case kCtlCheckBox: return WS_TABSTOP | BS_AUTOCHECKBOX;
        case kCtlAutoRadio: return WS_TABSTOP | BS_AUTORADIOBUTTON;
        case kCtlEdit: return WS_TABSTOP | ES_AUTOHSCROLL;
        case kCtlListBox: return WS_TABSTOP | LBS_NOTIFY;
        case kCtlDropList: return WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL;
        // An editable combo needs an edit field, which the drop-down style has.
        case kCtlEditCombo: return WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        case kCtlRadio: return WS_TABSTOP | BS_RADIOBUTTON;
        case kCtlTab: return WS_TABSTOP;
        case kCtlScrollBar: return SBS_TOPALIGN;
        case kCtlTrackBar: return TBS_AUTOTICKS;
        case kCtlListView: return LVS_REPORT | LVS_SHOWSELALWAYS;
        default: return 0;
    }
}

// The framework's creation flags as window styles of the kind.
DWORD flagStyle(int kind, DWORD flags) {
    DWORD style = flags & (WS_DISABLED | WS_GROUP);
    auto when = [&](DWORD flag, DWORD bits) {
        if (flags & flag) style |= bits;
    };
    switch (kind) {
        case kCtlStatic:
            when(XCF_RIGHT, SS_RIGHT);
            when(XCF_CENTER, SS_CENTER);
            when(XCF_OWNERDRAW, SS_OWNERDRAW);
            break;
        case kCtlPushButton: case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
            style |= flags & (BS_LEFTTEXT | BS_PUSHLIKE | BS_BITMAP | BS_ICON | BS_FLAT);
            when(XCF_MULTILINE, BS_MULTILINE);
            when(XCF_OWNERDRAW, BS_OWNERDRAW);
            break;
        case kCtlEdit:
            when(XCF_RIGHT, ES_RIGHT);
            when(XCF_CENTER, ES_CENTER);
            when(XCF_READONLY, ES_READONLY);
            when(XCF_MULTILINE,
                 ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL);
            break;
        case kCtlListBox: when(XCF_SORTED, LBS_SORT); break;
        case kCtlDropList: case kCtlEditCombo: when(XCF_SORTED, CBS_SORT); break;
        case kCtlTab: when(XCF_MULTILINE, TCS_MULTILINE); break;
        case kCtlScrollBar: when(XCF_VERTICAL, SBS_VERT); break;
        case kCtlTrackBar: when(XCF_VERTICAL, TBS_VERT); break;
        case kCtlListView:
            when(XCF_OWNERDRAW, LVS_OWNERDATA);
            when(XCF_NOHEADERCLICK, LVS_NOSORTHEADER);
            break;
        default: break;
    }
    return style;
}

void appendControl(XWND& window, std::unique_ptr<XCTL> control) {
    auto& list = window.controls;
    // The array grows by 32 records at a time.
    if (list.size() == list.capacity()) list.reserve(list.capacity() + 32);
    list.push_back(std::move(control));
    window.controlCount = static_cast<int>(list.size());
}

// The first free identifier above `id` (up to 32767), 0 when none is free.
int freeIdentifierAbove(HWND parent, int id) {
    for (int candidate = std::max(id, 0) + 1; candidate <= 32767; ++candidate) {
        if (!GetDlgItem(parent, candidate)) return candidate;
    }
    return 0;
}

RECT rectInParent(HWND control) {
    RECT rc{};
    GetWindowRect(control, &rc);
    if (HWND parent = GetParent(control)) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
    }
    return rc;
}

}  // namespace

void fillField(std::span<char> field, std::string_view text) {
    const std::size_t n = std::min(field.size(), text.size());
    std::copy_n(text.data(), n, field.data());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(n), field.end(), ' ');
}

std::optional<ControlTarget> findControl(XWND& window, int id) {
    if (!window.hwnd || !IsWindow(window.hwnd)) return std::nullopt;
    HWND hwnd = GetDlgItem(window.hwnd, id);
    if (!hwnd && id == window.id) hwnd = window.hwnd;
    if (!hwnd) return std::nullopt;
    ControlTarget target;
    target.hwnd = hwnd;
    target.record = FXCTLBYHANDLE(hwnd);
    target.kind = target.record ? target.record->kind : FXRESOLVECLASSNAME(hwnd);
    return target;
}

void FXASSOCCTLTOHANDLE(XCTL& control, HWND hwnd) { bindControl(control, hwnd); }

HWND PXCTLGETEDIT(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(combo, &info)) return nullptr;
    return info.hwndItem != combo ? info.hwndItem : nullptr;
}

int XCTLCREATE(XWND& window, int id, int kind, DWORD flags, std::optional<int> x,
               std::optional<int> y, int width, int height, DWORD exStyle, DWORD style) {
    if (!window.hwnd || !IsWindow(window.hwnd)) return 0;
    ControlCreateRequest request;
    request.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | baseStyle(kind) | style |
                    flagStyle(kind, flags);
    request.kind = kind;
    request.x = x && y ? *x : 0;
    request.y = x && y ? *y : 0;
    request.width = width;
    request.height = height;
    request.exStyle = exStyle | (flags & (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE));
    // Sent, not called: a window creates its controls in its own thread.
    auto hwnd = reinterpret_cast<HWND>(SendMessageA(window.hwnd, kMsgCreateControl,
                                                    reinterpret_cast<WPARAM>(&request),
                                                    static_cast<LPARAM>(id)));
    if (!hwnd || !IsWindow(hwnd)) return 0;

    int used = id;
    if (GetDlgItem(window.hwnd, id) != hwnd) {
        used = freeIdentifierAbove(window.hwnd, id);
        SetWindowLongPtrA(hwnd, GWLP_ID, used);
    }
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);

    auto control = std::make_unique<XCTL>();
    control->kind = kind;
    control->style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    control->owner = window.hwnd;
    FXASSOCCTLTOHANDLE(*control, hwnd);
    appendControl(window, std::move(control));
    if (kind == kCtlListView) FXLV_INIT(hwnd);
    return used;
}

bool XCTLDESTROY(XWND& window, int id) {
    const auto target = findControl(window, id);
    if (!target || target->hwnd == window.hwnd) return false;
    if (target->record) unbindControl(*target->record);
    if (target->kind == kCtlListView) PXLV_CLEANUP(target->hwnd);
    const bool destroyed = DestroyWindow(target->hwnd) != FALSE;
    auto& list = window.controls;
    const auto found = std::find_if(list.begin(), list.end(), [&](const auto& c) {
        return c && c.get() == target->record;
    });
    if (target->record && found != list.end()) {
        releaseControlObjects(**found);
        list.erase(found);  // later records move down one place
        if (list.empty()) freeArray(list);
        window.controlCount = static_cast<int>(list.size());
    }
    return destroyed;
}

XItem XITEM(INT_PTR n) { return XItem{reinterpret_cast<std::byte*>(n)}; }

// Rows of a list view are laid out by its column format, which the
// list-view layer keeps; no other kind has rows.
bool XCTLSETITEM(XWND& window, int id, XItem item, int row) {
    const auto target = findControl(window, id);
    return target && target->kind == kCtlListView && listViewSetItem(target->hwnd, item.address, row);
}
bool XCTLGETITEM(XWND& window, int id, XItem item, int row) {
    const auto target = findControl(window, id);
    return target && target->kind == kCtlListView && listViewGetItem(target->hwnd, item.address, row);
}

LRESULT XCTLSENDMESSAGE(XWND& window, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto target = findControl(window, id);
    return target ? SendMessageA(target->hwnd, message, wParam, lParam) : 0;
}

bool XCTLMOVE(XWND& window, int id, std::optional<int> x, std::optional<int> y,
              std::optional<int> width, std::optional<int> height, std::optional<int> after) {
    const auto target = findControl(window, id);
    if (!target) return false;
    UINT flags = SWP_NOACTIVATE;
    if (!x || !y) flags |= SWP_NOMOVE;
    if (!width || !height) flags |= SWP_NOSIZE;
    HWND insertAfter = nullptr;
    if (after) {
        insertAfter = GetDlgItem(window.hwnd, *after);
        if (!insertAfter) return false;
    } else {
        flags |= SWP_NOZORDER;
    }
    CtlState& s = ctlState();
    if (s.batch && s.batchWindow == window.hwnd) {
        // A failed DeferWindowPos has already released the batch.
        s.batch = DeferWindowPos(s.batch, target->hwnd, insertAfter, x.value_or(0), y.value_or(0),
                                 width.value_or(0), height.value_or(0), flags);
        if (!s.batch) s.batchWindow = nullptr;
        return s.batch != nullptr;
    }
    return SetWindowPos(target->hwnd, insertAfter, x.value_or(0), y.value_or(0),
                        width.value_or(0), height.value_or(0), flags) != FALSE;
}

bool XCTLGETPOS(XWND& window, int id, int& x, int& y, int& width, int& height) {
    const auto target = findControl(window, id);
    if (!target) return false;
    const RECT rc = rectInParent(target->hwnd);
    x = rc.left;
    y = rc.top;
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
    return true;
}

bool XBEGINCTLMOVE(XWND& window) {
    CtlState& s = ctlState();
    if (s.batch || !IsWindow(window.hwnd)) return false;
    s.batch = BeginDeferWindowPos(std::max(window.controlCount, 1));
    s.batchWindow = s.batch ? window.hwnd : nullptr;
    return s.batch != nullptr;
}

bool XENDCTLMOVE(XWND& window) {
    CtlState& s = ctlState();
    if (!s.batch || s.batchWindow != window.hwnd) return false;
    const bool applied = EndDeferWindowPos(s.batch) != FALSE;
    s.batch = nullptr;
    s.batchWindow = nullptr;
    return applied;
}
