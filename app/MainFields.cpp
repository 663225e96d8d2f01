#include "MainFields.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "Format.h"
#include "Session.h"
#include "TallyonRes.h"
#include "WflCtrl.h"
#include "WflWnd.h"
#include "WindowMenu.h"

namespace {

constexpr UINT_PTR kExpressionSubclass = 1;
constexpr UINT_PTR kResultSubclass = 2;

ShownResult& shown() {
    static ShownResult result;
    return result;
}

void replaceText(HWND edit, const std::string& text) {
    SetWindowTextA(edit, text.c_str());
    const auto end = static_cast<WPARAM>(text.size());
    SendMessageA(edit, EM_SETSEL, end, static_cast<LPARAM>(end));  // the caret at the end, as a shell leaves it
}

// Up and Down step through the expressions evaluated before.
LRESULT CALLBACK expressionFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR) {
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        ExpressionHistory& history = session().history;
        const std::optional<std::string> line =
            wParam == VK_UP ? history.older(PXWINDOWTEXT(edit)) : history.newer();
        if (line) replaceText(edit, *line);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, expressionFieldProc, kExpressionSubclass);
    return DefSubclassProc(edit, message, wParam, lParam);
}

void copyFromMenu(HWND field, int x, int y) {
    const int id = GetDlgCtrlID(field);
    if (copyText(id, CopyForm::kValue).empty()) return;  // nothing evaluated yet
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyForm::kValue), L"Copy &Value");
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyForm::kPair), L"Copy as (&re,im)");
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyForm::kAlgebraic), L"Copy as re+im &i");
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyForm::kPolar), L"Copy as &polar r<\u03B8");
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyForm::kWithExpression), L"Copy &expression = result");
    // The display choices too, as the window menu has them.
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(displayMenu()), kDisplayItem);
    if (x == -1 && y == -1) {
        // From the keyboard (Shift+F10, the menu key): at the field.
        RECT r{};
        GetWindowRect(field, &r);
        x = r.left + 8;
        y = r.bottom;
    }
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, field, nullptr));
    DestroyMenu(menu);
    XWND* frame = nullptr;
    if (chosen >= kMenuNotation && XGETWINDOW(frame, GetParent(field)) != nullptr) {
        displayCommand(*frame, chosen);
    } else if (chosen != 0) {
        putOnClipboard(field, copyText(id, static_cast<CopyForm>(chosen)));
    }
}

// Ctrl+C with nothing selected copies every digit of the value, not the
// eight the field shows; the right-click menu offers the other forms.
LRESULT CALLBACK resultFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_CHAR:
        if (wParam == 3) {  // Ctrl+C
            DWORD first = 0, last = 0;
            SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
            if (first == last) {
                const std::string text = copyText(GetDlgCtrlID(field), CopyForm::kValue);
                if (text.empty() || !putOnClipboard(field, text)) MessageBeep(MB_OK);
                return 0;
            }
        }
        break;
    case WM_CONTEXTMENU:
        copyFromMenu(field, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(field, resultFieldProc, kResultSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

std::optional<std::complex<double>> valueOf(int fieldId) {
    const ShownResult& r = shown();
    if (fieldId == IDE_MAIN_REAL_RESULT) {
        if (!r.real) return std::nullopt;
        return std::complex<double>(*r.real, 0.0);
    }
    if (fieldId == IDE_MAIN_COMPLEX_RESULT) return r.complex;
    return std::nullopt;
}

}  // namespace

void attachMainFields(XWND& frame) {
    SetWindowSubclass(GetDlgItem(frame.hwnd, IDE_MAIN_EXPRESSION), expressionFieldProc, kExpressionSubclass, 0);
    for (int id : {IDE_MAIN_REAL_RESULT, IDE_MAIN_COMPLEX_RESULT}) {
        SetWindowSubclass(GetDlgItem(frame.hwnd, id), resultFieldProc, kResultSubclass, 0);
    }
}

void showResult(const ShownResult& result) { shown() = result; }

std::string copyText(int fieldId, CopyForm form) {
    const std::optional<std::complex<double>> value = valueOf(fieldId);
    if (!value) return {};
    const bool realField = fieldId == IDE_MAIN_REAL_RESULT;
    // The value as it pastes back: a number for the real field, a pair for
    // the complex one.
    const std::string plain = realField ? formatRoundTrip(value->real()) : formatPairText(*value);
    switch (form) {
    case CopyForm::kValue: return plain;
    case CopyForm::kPair: return formatPairText(*value);
    case CopyForm::kAlgebraic: return formatAlgebraicText(*value);
    case CopyForm::kPolar: return formatPolarText(*value);
    case CopyForm::kWithExpression: return shown().expression + " = " + plain;
    }
    return {};
}

bool putOnClipboard(HWND owner, const std::string& text) {
    // Each form in a block of its own, handed to the clipboard, which owns
    // it from then on.
    auto block = [](const void* data, std::size_t bytes) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!memory) return HGLOBAL{};
        void* target = GlobalLock(memory);
        std::memcpy(target, data, bytes);
        GlobalUnlock(memory);
        return memory;
    };
    const int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 1), L'\0');
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), units);
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool ok = true;
    if (HGLOBAL w = block(wide.c_str(), wide.size() * sizeof(wchar_t))) {
        if (!SetClipboardData(CF_UNICODETEXT, w)) {
            GlobalFree(w);
            ok = false;
        }
    }
    if (HGLOBAL a = block(text.c_str(), text.size() + 1)) {
        if (!SetClipboardData(CF_TEXT, a)) {
            GlobalFree(a);
            ok = false;
        }
    }
    CloseClipboard();
    return ok;
}
