// The controls of a framework window as the window procedure sees them:
// recognising their kind, binding them to records and creating them on
// request. Their events are routed by WflCtrlEvents.cpp.
#include <algorithm>
#include <cctype>
#include <string>

#include "WflListView.h"
#include "WflWndInternal.h"

namespace {

// A window's class name in lower case: as it was registered, or (REAL) the
// name of the system class it is built on.
std::string lowerClassName(HWND hwnd, bool real = false) {
    char name[64] = {};
    if (real) {
        RealGetWindowClassA(hwnd, name, sizeof(name));
    } else {
        GetClassNameA(hwnd, name, sizeof(name));
    }
    std::string s(name);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int buttonKind(DWORD style) {
    switch (style & 0xF) {
        case BS_GROUPBOX: return kCtlGroupBox;
        case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON: case BS_OWNERDRAW: return kCtlPushButton;
        case BS_CHECKBOX: case BS_AUTOCHECKBOX: return kCtlCheckBox;
        case BS_AUTORADIOBUTTON: return kCtlAutoRadio;
        case BS_RADIOBUTTON: return kCtlRadio;
        default: return 0;
    }
}

template <class Visit>
void forEachNumberedDescendant(HWND parent, Visit visit) {
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            if (static_cast<int>(GetWindowLongPtrA(child, GWLP_ID)) > 0) {
                (*reinterpret_cast<Visit*>(data))(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visit));
}

}  // namespace

namespace {

// The kind of a control of the class named CLS (lower case), or 0.
int kindOfClass(const std::string& cls, DWORD style) {
    if (cls == "static") return kCtlStatic;
    if (cls == "button") return buttonKind(style);
    if (cls == "edit") return kCtlEdit;
    if (cls == "listbox") return kCtlListBox;
    if (cls == "combobox") return (style & 3) == CBS_DROPDOWNLIST ? kCtlDropList : kCtlEditCombo;
    if (cls == "systabcontrol32") return kCtlTab;
    if (cls == "scrollbar") return kCtlScrollBar;
    if (cls == "msctls_updown32") return kCtlUpDown;
    if (cls == "msctls_trackbar32") return kCtlTrackBar;
    if (cls == "msctls_progress32") return kCtlProgress;
    if (cls == "msctls_statusbar32") return kCtlStatusBar;
    if (cls == "syslistview32") return kCtlListView;
    if (cls == "#32770") return kCtlChildDialog;
    return 0;
}

}  // namespace

int FXRESOLVECLASSNAME(HWND control) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
    if (const int kind = kindOfClass(lowerClassName(control), style); kind != 0) return kind;
    // A control of another name may be one of those underneath (a
    // superclass, such as an edit box that evaluates what it holds).
    // Windows names the class it is built on; Wine 8 gives the registered
    // name there too (measured), so an edit box is also known by the keys
    // it asks for.
    if (const int kind = kindOfClass(lowerClassName(control, true), style); kind != 0) return kind;
    constexpr LRESULT kEditCodes = DLGC_HASSETSEL | DLGC_WANTCHARS;
    if ((SendMessageA(control, WM_GETDLGCODE, 0, 0) & kEditCodes) == kEditCodes) return kCtlEdit;
    return 0;
}

void bindControl(XCTL& control, HWND hwnd) {
    control.hwnd = hwnd;
    SetPropA(hwnd, kPropControl, &control);
}

void unbindControl(XCTL& control) {
    if (control.hwnd && GetPropA(control.hwnd, kPropControl) == &control) RemovePropA(control.hwnd, kPropControl);
}

void setControlFont(XCTL& control, HFONT font) {
    if (control.font && control.font != font) DeleteObject(control.font);
    control.font = font;
}

void setControlBackground(XCTL& control, HBRUSH brush) {
    if (control.background != noBrush() && control.background != brush) DeleteObject(control.background);
    control.background = brush;
}

void releaseControlObjects(XCTL& control) {
    setControlFont(control, nullptr);
    setControlBackground(control, noBrush());
}

XCTL* FXCTLBYHANDLE(HWND control) {
    return control ? static_cast<XCTL*>(GetPropA(control, kPropControl)) : nullptr;
}

void FXBINDWINDOWCONTROLS(XWND& record) {
    int count = 0;
    forEachNumberedDescendant(record.hwnd, [&](HWND) { ++count; });

    // Record 0 stays empty: it is the window's own control record, which
    // the dialogs module fills for a dialog.
    record.controls.clear();
    record.controls.reserve(static_cast<std::size_t>(count) + 1);
    record.controls.push_back(std::make_unique<XCTL>());
    forEachNumberedDescendant(record.hwnd, [&](HWND child) {
        auto control = std::make_unique<XCTL>();
        control->kind = FXRESOLVECLASSNAME(child);
        control->style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
        control->owner = record.hwnd;
        const int id = static_cast<int>(GetWindowLongPtrA(child, GWLP_ID));
        if (id == IDOK || id == IDCANCEL) control->slots[0] = PXENDDIALOG;
        bindControl(*control, child);
        if (control->kind == kCtlListView) FXLV_INIT(child);
        record.controls.push_back(std::move(control));
    });
    record.controlCount = static_cast<int>(record.controls.size());
}

void XCTLDESTROYALL(XWND& record) {
    for (const auto& control : record.controls) {
        if (!control || !control->hwnd) continue;
        unbindControl(*control);
        if (control->kind == kCtlListView) PXLV_CLEANUP(control->hwnd);
        // A dialog's own record names the dialog itself, which is already
        // on its way out when this runs.
        if (control->hwnd != record.hwnd) DestroyWindow(control->hwnd);
        releaseControlObjects(*control);
    }
    freeArray(record.controls);
    record.controlCount = 0;
}

void PXENDDIALOG(XWND& record, int id, int) {
    PostMessageA(record.hwnd, kMsgEndDialog, static_cast<WPARAM>(id),
                 reinterpret_cast<LPARAM>(record.hwnd));
    if (isFrameWindow(record.hwnd)) PostQuitMessage(0);
}

void FXCALLCOMMAND(XCommandRoutine routine, XWND& record, int id, int code) {
    // A command routine has exactly one form, so the type system already
    // holds what a run-time argument check would.
    if (routine) routine(record, id, code);
}

HWND createRequestedControl(HWND parent, const ControlCreateRequest* request, LPARAM id) {
    if (!request) return nullptr;
    static constexpr const char* kClassByKind[] = {
        nullptr,           "Static",          "Button",          "Button",
        "Button",          "Button",          "Edit",            "Listbox",
        "Combobox",        "Button",          "SysTabControl32", "Scrollbar",
        "Combobox",        "msctls_updown32", "msctls_trackbar32", "msctls_progress32",
        "msctls_statusbar32", "syslistview32"};
    if (request->kind < 1 || request->kind >= static_cast<int>(std::size(kClassByKind))) {
        return nullptr;
    }
    return CreateWindowExA(request->exStyle, kClassByKind[request->kind], "", request->style,
                           request->x, request->y, request->width, request->height, parent,
                           reinterpret_cast<HMENU>(id), frameworkInstance(), nullptr);
}
