// Numbers, flags and arrays of controls: XCTLSETINT / XCTLGETINT,
// XCTLSETLOG / XCTLGETLOG and XCTLSETARRAY / XCTLGETARRAY by selector.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "WflCtrlInternal.h"
#include "WflListView.h"
#include "WflWndInternal.h"

namespace {

constexpr char kPropDialogValue[] = "XDLGVALUE";

int defaultIntSelector(int kind) {
    switch (kind) {
        case kCtlListBox: case kCtlDropList: case kCtlEditCombo: case kCtlTab: return XSEL_COUNT;
        default: return XSEL_VALUE;
    }
}

LRESULT send(const ControlTarget& c, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(c.hwnd, message, wParam, lParam);
}

bool setScroll(const ControlTarget& c, SCROLLINFO si) {
    SetScrollInfo(c.hwnd, SB_CTL, &si, TRUE);
    return true;
}

SCROLLINFO getScroll(const ControlTarget& c) {
    SCROLLINFO si = scrollInfo(SIF_ALL);
    GetScrollInfo(c.hwnd, SB_CTL, &si);
    return si;
}

// Selecting entry n (1-based; 0 clears) of the kinds that have entries.
bool selectEntry(const ControlTarget& c, LONG_PTR n) {
    switch (c.kind) {
        case kCtlListBox:
            // A list box with several selections gets this one in addition.
            if (isMultiSelectList(c)) return send(c, LB_SETSEL, n > 0, n - 1) >= 0;
            return send(c, LB_SETCURSEL, n - 1) >= 0 || n == 0;
        case kCtlDropList: case kCtlEditCombo:
            // CB_SETCURSEL reports an error for -1, which clears the selection.
            return send(c, CB_SETCURSEL, n - 1) >= 0 || n == 0;
        case kCtlTab:
            if (send(c, TCM_SETCURSEL, n - 1) < 0 && n != 0) return false;
            FXDEFTABCALLBACK(c.hwnd);
            return true;
        case kCtlListView: return listViewSelectRow(c.hwnd, static_cast<int>(n), true);
        default: return false;
    }
}

// The selected entry (1-based), 0 when none.
std::optional<LONG_PTR> selectedEntry(const ControlTarget& c) {
    switch (c.kind) {
        case kCtlListBox: return send(c, LB_GETCURSEL) + 1;
        case kCtlDropList: case kCtlEditCombo: return send(c, CB_GETCURSEL) + 1;
        case kCtlTab: return send(c, TCM_GETCURSEL) + 1;
        case kCtlListView: return listViewFirstSelectedRow(c.hwnd);
        default: return std::nullopt;
    }
}

// Adds empty entries at the end, or removes entries from the end, until
// there are n. The selection stays wherever it still exists.
bool setCount(const ControlTarget& c, LONG_PTR n) {
    if (n < 0) return false;
    switch (c.kind) {
        case kCtlListBox: case kCtlDropList: case kCtlEditCombo: {
            const bool list = c.kind == kCtlListBox;
            const UINT count = list ? LB_GETCOUNT : CB_GETCOUNT;
            // Room for all new entries at once: grown one entry at a time,
            // the control copies its whole array again and again.
            if (const LRESULT have = send(c, count); have >= 0 && have < n) {
                send(c, list ? LB_INITSTORAGE : CB_INITSTORAGE, static_cast<WPARAM>(n - have), 0);
            }
            for (LRESULT have = send(c, count); have < n; ++have) {
                if (send(c, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>("")) < 0) {
                    return false;
                }
            }
            for (LRESULT have = send(c, count); have > n; --have) {
                send(c, list ? LB_DELETESTRING : CB_DELETESTRING, have - 1);
            }
            return true;
        }
        case kCtlTab: {
            for (LRESULT have = send(c, TCM_GETITEMCOUNT); have < n; ++have) {
                TCITEMA item{};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<char*>("");
                if (send(c, TCM_INSERTITEMA, have, reinterpret_cast<LPARAM>(&item)) < 0) {
                    return false;
                }
            }
            for (LRESULT have = send(c, TCM_GETITEMCOUNT); have > n; --have) {
                send(c, TCM_DELETEITEM, have - 1);
            }
            return true;
        }
        case kCtlListView: return listViewSetCount(c.hwnd, static_cast<int>(n));
        default: return false;
    }
}

bool setRangeEnd(const ControlTarget& c, bool minimum, LONG_PTR v) {
    switch (c.kind) {
        case kCtlScrollBar: {
            SCROLLINFO si = getScroll(c);
            (minimum ? si.nMin : si.nMax) = static_cast<int>(v);
            si.fMask = SIF_RANGE;
            return setScroll(c, si);
        }
        case kCtlUpDown: {
            int low = 0, high = 0;
            send(c, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
            const int limited = static_cast<int>(std::clamp<LONG_PTR>(v, -65535, 65535));
            (minimum ? low : high) = limited;
            send(c, UDM_SETRANGE32, low, high);
            return true;
        }
        case kCtlTrackBar:
            send(c, minimum ? TBM_SETRANGEMIN : TBM_SETRANGEMAX, TRUE, v);
            return true;
        case kCtlProgress:
            if (minimum) return false;
            send(c, PBM_SETRANGE32, send(c, PBM_GETRANGE, TRUE), v);
            return true;
        case kCtlEdit:
            if (minimum) return false;
            send(c, EM_LIMITTEXT, static_cast<WPARAM>(v));
            return true;
        default: return false;
    }
}

std::optional<LONG_PTR> rangeEnd(const ControlTarget& c, bool minimum) {
    switch (c.kind) {
        case kCtlScrollBar: {
            const SCROLLINFO si = getScroll(c);
            return minimum ? si.nMin : si.nMax;
        }
        case kCtlUpDown: {
            int low = 0, high = 0;
            send(c, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
            return minimum ? low : high;
        }
        case kCtlTrackBar: return send(c, minimum ? TBM_GETRANGEMIN : TBM_GETRANGEMAX);
        case kCtlProgress: return send(c, PBM_GETRANGE, minimum);
        case kCtlEdit:
            if (minimum) return std::nullopt;
            return send(c, EM_GETLIMITTEXT);
        default: return std::nullopt;
    }
}

// A colour 0..0xFFFFFF, or -1 for the control's own.
bool setBackground(const ControlTarget& c, LONG_PTR colour) {
    if (!c.record || colour < -1 || colour > 0xFFFFFF) return false;
    XCTL& r = *c.record;
    setControlBackground(r, colour < 0 ? noBrush() : CreateSolidBrush(static_cast<COLORREF>(colour)));
    const auto value = colour < 0 ? CLR_DEFAULT : static_cast<COLORREF>(colour);
    switch (c.kind) {
        case kCtlProgress: case kCtlStatusBar: send(c, CCM_SETBKCOLOR, 0, value); break;
        case kCtlListView: {
            const COLORREF list = colour < 0 ? GetSysColor(COLOR_WINDOW) : value;
            send(c, LVM_SETBKCOLOR, 0, list);
            send(c, LVM_SETTEXTBKCOLOR, 0, list);
            break;
        }
        default: break;
    }
    InvalidateRect(c.hwnd, nullptr, TRUE);
    return true;
}

bool setTextColour(const ControlTarget& c, LONG_PTR colour) {
    if (!c.record || colour < -1 || colour > 0xFFFFFF) return false;
    c.record->textColor = colour < 0 ? kNoColor : static_cast<COLORREF>(colour);
    const auto value = colour < 0 ? CLR_DEFAULT : static_cast<COLORREF>(colour);
    switch (c.kind) {
        case kCtlProgress: send(c, PBM_SETBARCOLOR, 0, value); break;
        case kCtlListView:
            send(c, LVM_SETTEXTCOLOR, 0, colour < 0 ? GetSysColor(COLOR_WINDOWTEXT) : value);
            break;
        default: break;
    }
    InvalidateRect(c.hwnd, nullptr, TRUE);
    return true;
}

bool setImage(const ControlTarget& c, LONG_PTR handle) {
    const DWORD style = c.style();
    switch (c.kind) {
        case kCtlStatic: {
            const UINT type = (style & SS_TYPEMASK) == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP;
            send(c, STM_SETIMAGE, type, handle);
            return true;
        }
        case kCtlPushButton: case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
            if (!(style & (BS_BITMAP | BS_ICON))) return false;
            send(c, BM_SETIMAGE, (style & BS_ICON) ? IMAGE_ICON : IMAGE_BITMAP, handle);
            return true;
        case kCtlListView: return listViewSetSmallImages(c.hwnd, reinterpret_cast<HIMAGELIST>(handle));
        case kCtlChildDialog: send(c, WM_SETICON, ICON_SMALL, handle); return true;
        default: return false;
    }
}

std::optional<LONG_PTR> image(const ControlTarget& c) {
    const DWORD style = c.style();
    switch (c.kind) {
        case kCtlStatic:
            return send(c, STM_GETIMAGE, (style & SS_TYPEMASK) == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP);
        case kCtlPushButton: case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
            return send(c, BM_GETIMAGE, (style & BS_ICON) ? IMAGE_ICON : IMAGE_BITMAP);
        case kCtlListView: return send(c, LVM_GETIMAGELIST, LVSIL_SMALL);
        case kCtlChildDialog: return send(c, WM_GETICON, ICON_SMALL);
        default: return std::nullopt;
    }
}

int columnCount(const ControlTarget& c) {
    HWND header = reinterpret_cast<HWND>(send(c, LVM_GETHEADER));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

bool setItemValue(const ControlTarget& c, int n, LONG_PTR v) {
    switch (c.kind) {
        case kCtlListBox: case kCtlDropList: case kCtlEditCombo: return selectEntry(c, n);
        case kCtlTab: {
            TCITEMA item{};
            item.mask = TCIF_PARAM;
            item.lParam = v;
            return send(c, TCM_SETITEMA, n - 1, reinterpret_cast<LPARAM>(&item)) != FALSE;
        }
        case kCtlStatusBar: return send(c, SB_SETICON, n - 1, v) != FALSE;
        default: return false;
    }
}

std::optional<LONG_PTR> itemValue(const ControlTarget& c, int n) {
    switch (c.kind) {
        case kCtlListBox: {
            const LRESULT selected = send(c, LB_GETSEL, n - 1);
            if (selected < 0) return std::nullopt;
            return selected > 0 ? 1 : 0;
        }
        case kCtlDropList: case kCtlEditCombo: {
            if (n > send(c, CB_GETCOUNT)) return std::nullopt;
            return send(c, CB_GETCURSEL) == n - 1 ? 1 : 0;
        }
        case kCtlTab: {
            TCITEMA item{};
            item.mask = TCIF_PARAM;
            if (!send(c, TCM_GETITEMA, n - 1, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
            return item.lParam;
        }
        case kCtlStatusBar: return send(c, SB_GETICON, n - 1);
        default: return std::nullopt;
    }
}

// Rows of a list view are found by their keys, so a sorted list still
// addresses the rows by the numbers they were stored under.
bool setListViewRowSelected(const ControlTarget& c, int row, bool selected) {
    return listViewSelectRow(c.hwnd, row, selected);
}

}  // namespace

bool XCTLSETINT(XWND& window, int id, LONG_PTR value, std::optional<int> selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    const int sel = selector.value_or(defaultIntSelector(c->kind));
    const auto v = static_cast<int>(value);
    switch (sel) {
        case XSEL_VALUE:
            switch (c->kind) {
                case kCtlEdit:
                    return SetDlgItemInt(GetParent(c->hwnd), GetDlgCtrlID(c->hwnd),
                                         static_cast<UINT>(v), TRUE) != FALSE;
                case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
                    send(*c, BM_SETCHECK, static_cast<WPARAM>(v));
                    return true;
                case kCtlScrollBar: {
                    // The system keeps the position within the range minus the page.
                    SCROLLINFO si = scrollInfo(SIF_POS);
                    si.nPos = v;
                    return setScroll(*c, si);
                }
                case kCtlUpDown: send(*c, UDM_SETPOS32, 0, v); return true;
                case kCtlTrackBar: send(*c, TBM_SETPOS, TRUE, v); return true;
                case kCtlProgress: send(*c, PBM_SETPOS, static_cast<WPARAM>(v)); return true;
                default: return selectEntry(*c, v);
            }
        case XSEL_SELECTION:
            if (c->kind == kCtlEdit) {
                send(*c, EM_SETSEL, static_cast<WPARAM>(v), v);
                return true;
            }
            return selectEntry(*c, v);
        case XSEL_COUNT: return setCount(*c, v);
        case XSEL_MIN: return setRangeEnd(*c, true, v);
        case XSEL_MAX: return setRangeEnd(*c, false, v);
        case XSEL_STEP:
            switch (c->kind) {
                case kCtlScrollBar: {
                    SCROLLINFO si = scrollInfo(SIF_PAGE);
                    si.nPage = static_cast<UINT>(std::max(v, 0));
                    return setScroll(*c, si);
                }
                case kCtlTrackBar: send(*c, TBM_SETTICFREQ, static_cast<WPARAM>(v)); return true;
                case kCtlProgress: send(*c, PBM_SETSTEP, static_cast<WPARAM>(v)); return true;
                default: return false;
            }
        case XSEL_BKCOLOR: return setBackground(*c, value);
        case XSEL_TEXTCOLOR: return setTextColour(*c, value);
        case XSEL_IMAGE: case XSEL_ICON: return setImage(*c, value);
        case XSEL_WIDTHS: {
            if (c->kind != kCtlListView) return false;
            if (v < -2) return true;  // below the automatic widths: ignored
            for (int col = 0, n = columnCount(*c); col < n; ++col) {
                listViewSetColumnWidth(c->hwnd, col, static_cast<int>(v));
            }
            return true;
        }
        case XSEL_LVDATA:
            return c->kind == kCtlListView && listViewSetRecordSize(c->hwnd, v);
        case XSEL_DLGVALUE:
            if (c->kind != kCtlChildDialog) return false;
            return SetPropA(c->hwnd, kPropDialogValue, reinterpret_cast<HANDLE>(value)) != FALSE;
        default:
            return sel > 0 && setItemValue(*c, sel, value);
    }
}

bool XCTLGETINT(XWND& window, int id, LONG_PTR& value, std::optional<int> selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    const int sel = selector.value_or(XSEL_VALUE);
    std::optional<LONG_PTR> got;
    switch (sel) {
        case XSEL_COUNT:
            switch (c->kind) {
                case kCtlListBox: got = send(*c, LB_GETCOUNT); break;
                case kCtlDropList: case kCtlEditCombo: got = send(*c, CB_GETCOUNT); break;
                case kCtlTab: got = send(*c, TCM_GETITEMCOUNT); break;
                case kCtlListView: got = send(*c, LVM_GETITEMCOUNT); break;
                default: break;
            }
            break;
        case XSEL_SELECTION:
            if (c->kind == kCtlEdit) {
                DWORD start = 0;
                send(*c, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
                got = start;
            } else {
                got = selectedEntry(*c);
            }
            break;
        case XSEL_VALUE:
            switch (c->kind) {
                case kCtlEdit: {
                    BOOL ok = FALSE;
                    const int number = static_cast<int>(
                        GetDlgItemInt(GetParent(c->hwnd), GetDlgCtrlID(c->hwnd), &ok, TRUE));
                    if (ok) got = number;
                    break;
                }
                case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
                    got = send(*c, BM_GETCHECK);
                    break;
                case kCtlScrollBar: got = getScroll(*c).nPos; break;
                case kCtlUpDown: got = static_cast<int>(send(*c, UDM_GETPOS32)); break;
                case kCtlTrackBar: got = send(*c, TBM_GETPOS); break;
                case kCtlProgress: got = send(*c, PBM_GETPOS); break;
                default: got = selectedEntry(*c); break;
            }
            break;
        case XSEL_MIN: got = rangeEnd(*c, true); break;
        case XSEL_MAX: got = rangeEnd(*c, false); break;
        case XSEL_STEP:
            switch (c->kind) {
                case kCtlScrollBar: got = getScroll(*c).nPage; break;
                case kCtlProgress: got = send(*c, PBM_GETSTEP); break;
                default: break;
            }
            break;
        case XSEL_BKCOLOR:
            if (c->record) {
                LOGBRUSH brush{};
                got = c->record->background == noBrush() ||
                              !GetObjectA(c->record->background, sizeof(brush), &brush)
                          ? -1
                          : static_cast<LONG_PTR>(brush.lbColor);
            }
            break;
        case XSEL_TEXTCOLOR:
            if (c->record) {
                got = c->record->textColor == kNoColor ? -1 : static_cast<LONG_PTR>(c->record->textColor);
            }
            break;
        case XSEL_IMAGE: case XSEL_ICON: got = image(*c); break;
        case XSEL_DLGVALUE:
            if (c->kind == kCtlChildDialog) {
                got = reinterpret_cast<LONG_PTR>(GetPropA(c->hwnd, kPropDialogValue));
            }
            break;
        default:
            if (sel > 0) got = itemValue(*c, sel);
            break;
    }
    if (!got) return false;
    value = *got;
    return true;
}

bool XCTLGETINT(XWND& window, int id, int& value, std::optional<int> selector) {
    LONG_PTR wide = 0;
    if (!XCTLGETINT(window, id, wide, selector)) return false;
    value = static_cast<int>(wide);
    return true;
}

bool XCTLSETLOG(XWND& window, int id, bool flag, std::optional<int> selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    const int sel = selector.value_or(XSEL_VALUE);
    switch (sel) {
        case XSEL_VALUE:
            switch (c->kind) {
                case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
                    send(*c, BM_SETCHECK, flag ? BST_CHECKED : BST_UNCHECKED);
                    return true;
                default: return false;
            }
        case XSEL_VISIBLE: ShowWindow(c->hwnd, flag ? SW_SHOW : SW_HIDE); return true;
        case XSEL_ENABLED: EnableWindow(c->hwnd, flag); return true;
        default:
            return sel > 0 && c->kind == kCtlListView && setListViewRowSelected(*c, sel, flag);
    }
}

bool XCTLGETLOG(XWND& window, int id, bool& flag, std::optional<int> selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    const int sel = selector.value_or(XSEL_VALUE);
    switch (sel) {
        case XSEL_VALUE:
            switch (c->kind) {
                case kCtlCheckBox: case kCtlAutoRadio: case kCtlRadio:
                    flag = send(*c, BM_GETCHECK) != 0;
                    return true;
                default: return false;
            }
        case XSEL_VISIBLE: flag = (c->style() & WS_VISIBLE) != 0; return true;
        case XSEL_ENABLED: flag = IsWindowEnabled(c->hwnd) != FALSE; return true;
        default:
            if (sel < 1 || c->kind != kCtlListView) return false;
            if (const auto selected = listViewRowSelected(c->hwnd, sel)) {
                flag = *selected;
                return true;
            }
            return false;
    }
}

bool XCTLSETARRAY(XWND& window, int id, std::span<const int> values, int selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    std::vector<int> copy(values.begin(), values.end());
    const auto data = reinterpret_cast<LPARAM>(copy.data());
    switch (selector) {
        case XSEL_ORDER: {
            if (c->kind != kCtlListView) return false;
            const auto n = std::min<std::size_t>(copy.size(), static_cast<std::size_t>(columnCount(*c)));
            return send(*c, LVM_SETCOLUMNORDERARRAY, n, data) != FALSE;
        }
        case XSEL_WIDTHS:
            switch (c->kind) {
                case kCtlStatusBar: return send(*c, SB_SETPARTS, copy.size(), data) != FALSE;
                case kCtlListView:
                    for (std::size_t col = 0; col < copy.size(); ++col) {
                        if (!listViewSetColumnWidth(c->hwnd, static_cast<int>(col), static_cast<int>(copy[col]))) {
                            return false;
                        }
                    }
                    return true;
                default: return false;
            }
        case XSEL_TABSTOPS:
            if (c->kind != kCtlListBox || !(c->style() & LBS_USETABSTOPS)) return false;
            return send(*c, LB_SETTABSTOPS, copy.size(), data) != FALSE;
        case XSEL_SELECTION:
            if (!isMultiSelectList(*c)) return false;
            send(*c, LB_SETSEL, FALSE, -1);
            for (int entry : copy) {
                if (send(*c, LB_SETSEL, TRUE, entry - 1) < 0) return false;
            }
            return true;
        default: return false;
    }
}

bool XCTLGETARRAY(XWND& window, int id, std::span<int> values, int selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    std::vector<int> got;
    switch (selector) {
        case XSEL_ORDER: {
            if (c->kind != kCtlListView) return false;
            got.resize(static_cast<std::size_t>(columnCount(*c)));
            if (!send(*c, LVM_GETCOLUMNORDERARRAY, got.size(), reinterpret_cast<LPARAM>(got.data()))) {
                return false;
            }
            break;
        }
        case XSEL_WIDTHS:
            switch (c->kind) {
                case kCtlStatusBar:
                    got.resize(static_cast<std::size_t>(send(*c, SB_GETPARTS, 0, 0)));
                    send(*c, SB_GETPARTS, got.size(), reinterpret_cast<LPARAM>(got.data()));
                    break;
                case kCtlListView:
                    for (int col = 0, n = columnCount(*c); col < n; ++col) {
                        got.push_back(static_cast<int>(send(*c, LVM_GETCOLUMNWIDTH, col)));
                    }
                    break;
                default: return false;
            }
            break;
        case XSEL_SELECTION: {
            if (!isMultiSelectList(*c)) return false;
            got.resize(static_cast<std::size_t>(std::max<LRESULT>(send(*c, LB_GETSELCOUNT), 0)));
            send(*c, LB_GETSELITEMS, got.size(), reinterpret_cast<LPARAM>(got.data()));
            for (int& entry : got) ++entry;
            break;
        }
        default: return false;  // list boxes do not tell their tab stops
    }
    std::fill(values.begin(), values.end(), 0);
    std::copy_n(got.begin(), std::min(got.size(), values.size()), values.begin());
    return true;
}
