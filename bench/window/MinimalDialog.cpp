// The peer of Tallyon's start-up: the least a dialog program does. It is
// built like Tallyon (same compiler, static, same manifest) and shows one
// modeless dialog from a resource until it is closed.
#include <windows.h>

namespace {

constexpr int kDialog = 100;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                DestroyWindow(dialog);
                PostQuitMessage(0);
            }
            return TRUE;
        default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(kDialog), nullptr, dialogProc, 0);
    if (!dialog) return 1;
    ShowWindow(dialog, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
