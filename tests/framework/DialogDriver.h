// Driving modal dialogs and message boxes the way a user does: a thread
// timer, which the dialog's own modal loop dispatches, finds the dialog,
// lets the test read what it shows and then presses a key or a button.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// What a user sees of a dialog's push buttons, left to right.
struct SeenButton {
    int id = 0;
    std::string caption;
    RECT rect{};  // in the dialog's client coordinates
    bool isDefault = false;
};

inline std::string textOf(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

inline std::string classOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

inline std::vector<SeenButton> pushButtons(HWND dialog) {
    std::vector<SeenButton> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) != "Button") continue;
        const auto type = GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
        SeenButton b;
        b.id = GetDlgCtrlID(child);
        b.caption = textOf(child);
        GetWindowRect(child, &b.rect);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&b.rect), 2);
        b.isDefault = type == BS_DEFPUSHBUTTON;
        found.push_back(b);
    }
    std::sort(found.begin(), found.end(),
              [](const SeenButton& a, const SeenButton& b) { return a.rect.left < b.rect.left; });
    return found;
}

// The user's actions.
inline void pressKey(HWND dialog, WPARAM key) {
    HWND focus = GetFocus();
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}
inline void clickButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Finds the first visible dialog of this thread (titled `title` when one
// is given) that is not in `ignore`, and acts on it once.
class DialogDriver {
public:
    using Action = std::function<void(HWND dialog)>;
    explicit DialogDriver(Action act, std::string title = {}, std::vector<HWND> ignore = {})
        : act_(std::move(act)), title_(std::move(title)), ignore_(std::move(ignore)) {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 15, &DialogDriver::tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool acted() const { return acted_; }
    HWND dialog() const { return dialog_; }

private:
    static DialogDriver*& current() {
        static DialogDriver* driver = nullptr;
        return driver;
    }
    static BOOL CALLBACK match(HWND hwnd, LPARAM data) {
        auto* self = reinterpret_cast<DialogDriver*>(data);
        if (!IsWindowVisible(hwnd) || classOf(hwnd) != "#32770") return TRUE;
        if (std::find(self->ignore_.begin(), self->ignore_.end(), hwnd) != self->ignore_.end()) {
            return TRUE;
        }
        if (!self->title_.empty() && textOf(hwnd) != self->title_) return TRUE;
        self->dialog_ = hwnd;
        return FALSE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current();
        if (!self || self->acted_) return;
        EnumThreadWindows(GetCurrentThreadId(), &DialogDriver::match,
                          reinterpret_cast<LPARAM>(self));
        if (!self->dialog_) return;
        self->acted_ = true;
        self->act_(self->dialog_);
    }

    Action act_;
    std::string title_;
    std::vector<HWND> ignore_;
    UINT_PTR timer_ = 0;
    bool acted_ = false;
    HWND dialog_ = nullptr;
};
