// Making a dialog's texts fit the font the system gives. A layout drawn in
// dialog units assumes the widths of one font; another system's font (a
// substitute for a face it lacks, another resolution) can be wider, and a
// label then loses its last words. Each label and check box is measured in
// its own font and, where its text needs more room, grows to the right as
// far as its dialog, its group box and its neighbours allow; a label that
// still cannot show its text on one line wraps onto the lines below it,
// where nothing else stands.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WflCtrl.h"
#include "WflDialog.h"
#include "WflScoped.h"
#include "WflWnd.h"

namespace {

struct Child {
    HWND hwnd;
    RECT rect;  // in the dialog's client coordinates
};

std::string classOf(HWND w) {
    char name[32] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

// The room a text takes in the control's own font, on one line or wrapped
// at `wrapWidth`.
SIZE textExtent(HWND control, const std::string& text, int wrapWidth = 0) {
    const ScopedWindowDC dc(control);
    const ScopedSelect font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 32767, 0};
    DrawTextA(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    return {r.right - r.left, r.bottom - r.top};
}

bool overlapsVertically(const RECT& a, const RECT& b) { return a.top < b.bottom && b.top < a.bottom; }
bool overlapsHorizontally(const RECT& a, const RECT& b) { return a.left < b.right && b.left < a.right; }
bool encloses(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

bool isGroupBox(HWND w) {
    return classOf(w) == "Button" && (GetWindowLongPtrA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// What a control needs besides its text: the box of a check box, the frame
// of a push button. -1: a control whose text is not fitted.
int extraWidth(HWND w, bool& wraps) {
    const std::string cls = classOf(w);
    const LONG style = static_cast<LONG>(GetWindowLongPtrA(w, GWL_STYLE));
    wraps = false;
    if (cls == "Static") {
        const LONG kind = style & SS_TYPEMASK;
        wraps = kind == SS_LEFT || kind == SS_RIGHT || kind == SS_CENTER;
        return wraps || kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE ? 0 : -1;
    }
    if (cls == "Button") {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        case BS_3STATE: case BS_AUTO3STATE:
            return GetSystemMetrics(SM_CXMENUCHECK) + 6;
        default:
            return -1;  // push buttons and group boxes keep the layout's size
        }
    }
    return -1;
}

void fitOne(HWND dialog, const Child& self, const std::vector<Child>& all, int margin) {
    bool wraps = false;
    const int extra = extraWidth(self.hwnd, wraps);
    const std::string text = PXWINDOWTEXT(self.hwnd);
    if (extra < 0 || text.empty()) return;
    RECT client{};
    GetClientRect(self.hwnd, &client);
    const SIZE line = textExtent(self.hwnd, text);
    const int needed = line.cx + extra;
    if (needed <= client.right && line.cy <= client.bottom) return;

    // How far it may grow: to the dialog's margin, its group box's, and the
    // first neighbour on its right.
    RECT area{};
    GetClientRect(dialog, &area);
    int rightLimit = area.right - margin;
    int bottomLimit = area.bottom - margin;
    for (const Child& other : all) {
        if (other.hwnd == self.hwnd || !IsWindowVisible(other.hwnd)) continue;
        if (isGroupBox(other.hwnd) && encloses(other.rect, self.rect)) {
            rightLimit = std::min<int>(rightLimit, other.rect.right - margin);
            bottomLimit = std::min<int>(bottomLimit, other.rect.bottom - margin / 2);
            continue;
        }
        if (overlapsVertically(other.rect, self.rect) && other.rect.left >= self.rect.right - 1) {
            rightLimit = std::min<int>(rightLimit, other.rect.left - margin / 2);
        }
    }
    const int border = (self.rect.right - self.rect.left) - client.right;
    const int width = std::max<int>(self.rect.right - self.rect.left,
                                    std::min<int>(needed + border, rightLimit - self.rect.left));
    int height = self.rect.bottom - self.rect.top;
    if (wraps && needed + border > width) {
        // Still too narrow: wrapped onto as many lines as the room below
        // holds.
        RECT grown = self.rect;
        grown.right = grown.left + width;
        for (const Child& other : all) {
            if (other.hwnd == self.hwnd || !IsWindowVisible(other.hwnd) || isGroupBox(other.hwnd)) continue;
            if (overlapsHorizontally(other.rect, grown) && other.rect.top >= self.rect.bottom - 1) {
                bottomLimit = std::min<int>(bottomLimit, other.rect.top - 1);
            }
        }
        const SIZE wrapped = textExtent(self.hwnd, text, width - border - extra);
        height = std::max<int>(height, std::min<int>(wrapped.cy + border, bottomLimit - self.rect.top));
    }
    SetWindowPos(self.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void XFITDIALOGTEXTS(XWND& dialog) {
    HWND hwnd = dialog.hwnd;
    if (!hwnd) return;
    std::vector<Child> children;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        Child child{c, {}};
        GetWindowRect(c, &child.rect);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&child.rect), 2);
        children.push_back(child);
    }
    // The layout's own margin: seven dialog units.
    RECT margin{0, 0, 7, 7};
    MapDialogRect(hwnd, &margin);
    for (Child& child : children) {
        fitOne(hwnd, child, children, margin.right);
        GetWindowRect(child.hwnd, &child.rect);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&child.rect), 2);
    }
}
