// What the WflCtrl source files share among themselves.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "WflCtrl.h"

// A control as the routines address it: its window, its kind (from its
// record, or worked out from its class) and its record when it has one.
struct ControlTarget {
    HWND hwnd = nullptr;
    int kind = 0;
    XCTL* record = nullptr;
    DWORD style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }
};

// The control `id` of the window; the window itself when no control has
// that identifier and it is the window's own.
std::optional<ControlTarget> findControl(XWND& window, int id);


// Copies a text into a blank-padded field.
void fillField(std::span<char> field, std::string_view text);

inline bool isButtonKind(int kind) {
    return kind == kCtlPushButton || kind == kCtlCheckBox || kind == kCtlAutoRadio ||
           kind == kCtlRadio;
}
inline bool isComboKind(int kind) { return kind == kCtlDropList || kind == kCtlEditCombo; }
inline bool isMultiSelectList(const ControlTarget& c) {
    return c.kind == kCtlListBox && (c.style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}
