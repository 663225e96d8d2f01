// The user's actions on the main window and the answers to its boxes, as
// steps of a scripted session (AppSession.h).
#pragma once

#include <windows.h>
#include <dlgs.h>

#include <functional>
#include <string>

#include "AppSession.h"
#include "ErrorDialogRes.h"
#include "TallyonRes.h"
#include "WindowMenu.h"

inline std::string text(HWND window, int id) {
    char buf[256] = {};
    GetDlgItemTextA(window, id, buf, sizeof buf);
    return buf;
}

// ---- The user's actions ------------------------------------------------------
inline Step type(std::string expression) {
    return [expression] {
        SetDlgItemTextA(mainWindow(), IDE_MAIN_EXPRESSION, expression.c_str());
        return true;
    };
}
inline Step click(int id) {
    return [id] {
        PostMessageA(GetDlgItem(mainWindow(), id), BM_CLICK, 0, 0);
        return true;
    };
}
inline Step check(bool on) {
    return [on] {
        CheckDlgButton(mainWindow(), IDX_MAIN_REAL_ONLY, on ? BST_CHECKED : BST_UNCHECKED);
        return true;
    };
}
// A key pressed while the focus is in the expression field; posted, so it
// travels through the program's own message loop like a real key.
inline Step keyInExpression(WPARAM key) {
    return [key] {
        HWND edit = GetDlgItem(mainWindow(), IDE_MAIN_EXPRESSION);
        SetFocus(edit);
        PostMessageA(edit, WM_KEYDOWN, key, 1);
        PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
        return true;
    };
}
inline Step expect(std::function<void()> checks) {
    return [checks] {
        checks();
        return true;
    };
}

struct ErrorSeen {
    bool shown = false;
    std::string caption, message, display, marker;
};
// Waits for the error dialog, reads its three lines and presses OK; done
// when that dialog has gone, so the next step meets the next dialog.
inline Step answerError(ErrorSeen& seen) {
    return [&seen, answered = HWND{}]() mutable {
        if (answered != nullptr) return !IsWindow(answered);
        HWND dialog = expressionErrorDialog();
        if (dialog == nullptr) return false;
        seen.shown = true;
        char caption[256] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        seen.caption = caption;
        seen.message = text(dialog, IDT_ERROR_MESSAGE);
        seen.display = text(dialog, IDT_ERROR_DISPLAY);
        seen.marker = text(dialog, IDT_ERROR_MARKER);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        answered = dialog;
        return false;
    };
}

// The expression typed and Evaluate pressed; done when the results show.
inline Step evaluate(std::string expression) {
    return [expression, typed = false]() mutable {
        if (!typed) {
            SetDlgItemTextA(mainWindow(), IDE_MAIN_EXPRESSION, expression.c_str());
            PostMessageA(GetDlgItem(mainWindow(), IDB_MAIN_EVALUATE), BM_CLICK, 0, 0);
            typed = true;
            return false;
        }
        return !text(mainWindow(), IDT_MAIN_COMPLEX_LABEL).empty();
    };
}

inline Step systemCommand(int command) {
    return [command] {
        PostMessageA(mainWindow(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
        return true;
    };
}

// The right-click menu of field ID, opened from the keyboard (the menu key).
inline Step openFieldMenu(int id) {
    return [id] {
        HWND field = GetDlgItem(mainWindow(), id);
        SetFocus(field);
        PostMessageA(field, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field), MAKELPARAM(-1, -1));
        return true;
    };
}

struct Results {
    std::string realLabel, real, complexLabel, complex;
};
inline Results results() {
    return {text(mainWindow(), IDT_MAIN_REAL_LABEL), text(mainWindow(), IDE_MAIN_REAL_RESULT),
            text(mainWindow(), IDT_MAIN_COMPLEX_LABEL), text(mainWindow(), IDE_MAIN_COMPLEX_RESULT)};
}
// Waits for a dialog titled `title`, types `name` into its file name field
// and presses Enter there.
inline Step answerFileDialog(const char* title, std::string name, bool& seen) {
    return [title, name, &seen] {
        HWND dialog = FindWindowA(nullptr, title);
        if (dialog == nullptr || !IsWindowVisible(dialog)) return false;
        seen = true;
        HWND field = GetDlgItem(dialog, cmb13);  // the file name combo box
        if (HWND edit = FindWindowExA(field, nullptr, "Edit", nullptr)) field = edit;
        SetWindowTextA(field, name.c_str());
        SetFocus(field);
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(field, WM_KEYUP, VK_RETURN, 0xC0000001);
        return true;
    };
}

// Waits for a message box with `caption`, reads its text, presses Enter.
inline Step answerNotice(const char* caption, std::string& textSeen) {
    return [caption, &textSeen] {
        HWND box = FindWindowA(nullptr, caption);
        if (box == nullptr || !IsWindowVisible(box)) return false;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {}, t[512] = {};
            GetClassNameA(c, cls, sizeof cls);
            GetWindowTextA(c, t, sizeof t);
            if (std::string(cls) == "Static" && std::string(t).size() > textSeen.size()) textSeen = t;
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}

// The Parameter Maintenance dialog while it is on screen, else nullptr.
inline HWND maintenanceWindow() {
    HWND found = FindWindowA("#32770", "Parameter Maintenance");
    return found && IsWindowVisible(found) ? found : nullptr;
}

// Waits for the Expression Error dialog, lets LOOK see it, presses OK.
inline Step meetErrorDialog(std::function<void(HWND)> look) {
    return [look] {
        HWND dialog = expressionErrorDialog();
        if (!dialog) return false;
        look(dialog);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        return true;
    };
}

// Opens About Tallyon from the window menu, lets LOOK see the box, presses OK.
inline Step meetAboutBox(std::function<void(HWND)> look) {
    return [look, asked = false]() mutable {
        if (!asked) {
            PostMessageA(mainWindow(), WM_SYSCOMMAND, kMenuAbout, 0);
            asked = true;
            return false;
        }
        HWND box = FindWindowA(nullptr, "About Tallyon");
        if (!box || !IsWindowVisible(box)) return false;
        look(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}
