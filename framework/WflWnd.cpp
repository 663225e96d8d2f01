// Window records: creating, adopting, releasing and finding them, and the
// application's data attached to a window.
#include <algorithm>
#include <string>

#include "WflWndInternal.h"
#include "Text.h"

WndState& wndState() {
    static WndState state;
    return state;
}

namespace {

bool subclassed(const XWND& record) {
    return record.defaultProc != kDefProcUnbound && record.defaultProc != kDefProcDialog &&
           record.defaultProc != kDefProcFramework;
}

}  // namespace

void resetWindowRecord(XWND& record) {
    record.hwnd = nullptr;
    record.handlerCount = record.controlCount = record.commandCount = record.spareCount = 0;
    record.id = 0;
    record.defaultProc = kDefProcUnbound;
    record.cursor = noCursor();
    record.flags = 0;
    freeArray(record.handlerMessages);
    freeArray(record.handlerRoutines);
    freeArray(record.commandIds);
    freeArray(record.commandRoutines);
    freeArray(record.controls);
    record.canvasWidth = record.canvasHeight = 0;
}

bool XCREATEWINDOW(XWND& record, XWND* parent, DWORD style, std::string_view title,
                   DWORD exStyle, int x, int y, int width, int height, MenuRecord* menu,
                   std::string_view className, std::optional<int> childId,
                   std::optional<void*> createParam) {
    resetWindowRecord(record);
    if (exStyle & kFlagOffscreenPaint) {
        exStyle &= ~kFlagOffscreenPaint;
        record.flags |= kFlagOffscreenPaint;
    }
    const bool child = (style & WS_CHILD) != 0;
    HMENU menuOrId = nullptr;
    if (child) {
        menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId.value_or(0)));
    } else if (menu) {
        menuOrId = menu->menu;
    }

    const HINSTANCE instance = frameworkInstance();
    std::string cls = textkit::trimmedRight(className);
    const bool ownClass = cls.empty();
    if (ownClass) {
        cls = kFrameworkClassName;
        record.defaultProc = kDefProcFramework;
    } else {
        WNDCLASSA info{};
        if (!GetClassInfoA(instance, cls.c_str(), &info) &&
            !GetClassInfoA(nullptr, cls.c_str(), &info)) {
            record.hwnd = nullptr;
            return false;
        }
        record.defaultProc = reinterpret_cast<LONG_PTR>(info.lpfnWndProc);
    }

    void* param = createParam.value_or(&record);
    const std::string text = textkit::trimmedRight(title);
    HWND hwnd = CreateWindowExA(exStyle, cls.c_str(), text.c_str(), style, x, y, width, height,
                                parent ? parent->hwnd : nullptr, menuOrId, instance, param);
    record.handlerCount = 0;
    if (!hwnd) {
        record.hwnd = nullptr;
        return false;
    }
    // For the framework class the window procedure has bound the record on
    // WM_NCCREATE already; a window of another class is bound here.
    record.hwnd = hwnd;
    countWindow();
    if (!ownClass) {
        record.defaultProc = SetWindowLongPtrA(hwnd, GWLP_WNDPROC,
                                               reinterpret_cast<LONG_PTR>(fxwindowproc));
        SetPropA(hwnd, kPropWindow, &record);
    }
    if (menu && !child) menu->owner = hwnd;
    return IsWindow(hwnd) != FALSE;
}

bool XDESTROYWINDOW(XWND& record) {
    const bool destroyed = DestroyWindow(record.hwnd) != FALSE;
    record.hwnd = nullptr;
    return destroyed;
}

bool XBINDWINDOW(HWND hwnd, XWND*& record) {
    if (record != nullptr || !IsWindow(hwnd)) return false;
    if (XWND* own = recordProperty(hwnd)) {
        record = own;
        return true;
    }
    WndState& s = wndState();
    auto fresh = std::make_unique<XWND>();
    XWND& r = *fresh;
    r.hwnd = hwnd;
    r.id = static_cast<int>(GetWindowLongPtrA(hwnd, GWLP_ID));
    countWindow();
    SetPropA(hwnd, kPropWindow, &r);

    SetLastError(0);
    const LONG_PTR previous =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fxwindowproc));
    const bool failed = previous == 0 && GetLastError() != 0;
    if (!failed) {
        r.defaultProc = previous == reinterpret_cast<LONG_PTR>(fxwindowproc) ? kDefProcFramework
                                                                              : previous;
    }
    if (failed || r.defaultProc == kDefProcUnbound) {
        RemovePropA(hwnd, kPropWindow);
        return false;
    }
    FXBINDWINDOWCONTROLS(r);
    record = &r;
    s.adopted.push_back(std::move(fresh));
    return true;
}

bool XUNBINDWINDOW(XWND*& record) {
    if (!record || !subclassed(*record)) return false;
    XWND& r = *record;
    XFREEWINDOW(r);
    if (IsWindow(r.hwnd)) SetWindowLongPtrA(r.hwnd, GWLP_WNDPROC, r.defaultProc);
    r.defaultProc = kDefProcUnbound;
    auto& adopted = wndState().adopted;
    std::erase_if(adopted, [&](const std::unique_ptr<XWND>& p) { return p.get() == &r; });
    record = nullptr;
    return true;
}

void XFREEWINDOW(XWND& record) {
    // Controls keep their record's address as a property; take those away
    // before the records go. A control that is gone (the window's own
    // destruction takes its children first) draws with its font and brush
    // no more, so they go too; one that lives on keeps them.
    for (const auto& control : record.controls) {
        if (!control) continue;
        unbindControl(*control);
        if (!control->hwnd || !IsWindow(control->hwnd)) releaseControlObjects(*control);
    }
    record.handlerCount = record.controlCount = record.commandCount = record.spareCount = 0;
    freeArray(record.handlerMessages);
    freeArray(record.handlerRoutines);
    freeArray(record.commandIds);
    freeArray(record.commandRoutines);
    freeArray(record.controls);
    if (record.hwnd && recordProperty(record.hwnd) == &record) {
        RemovePropA(record.hwnd, kPropWindow);
    }
}

XWND* XGETWINDOW(XWND*& record, HWND hwnd) {
    if (!hwnd) hwnd = GetDesktopWindow();
    if (!IsWindow(hwnd)) return record = nullptr;
    if (XWND* own = recordProperty(hwnd)) return record = own;
    XWND& scratch = wndState().scratch;
    resetWindowRecord(scratch);
    scratch.hwnd = hwnd;
    scratch.id = static_cast<int>(GetWindowLongPtrA(hwnd, GWLP_ID));
    return record = &scratch;
}

XWND* XGETMDI(XWND*& record) { return record = mdiClientWindow(); }

bool XSETWINDOWDATA(XWND& record, INT_PTR value, std::string_view name) {
    const std::string key = textkit::trimmedRight(name);
    return SetPropA(record.hwnd, key.c_str(), reinterpret_cast<HANDLE>(value)) != FALSE;
}

INT_PTR XGETWINDOWDATA(XWND& record, std::string_view name) {
    const std::string key = textkit::trimmedRight(name);
    return reinterpret_cast<INT_PTR>(GetPropA(record.hwnd, key.c_str()));
}

bool XFREEWINDOWDATA(XWND& record, std::string_view name) {
    const std::string key = textkit::trimmedRight(name);
    return RemovePropA(record.hwnd, key.c_str()) != nullptr;
}
