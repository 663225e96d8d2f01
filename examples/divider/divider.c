/* A voltage divider: three number fields that take expressions, sharing one
 * engine with a few parameters, and the output voltage the program computes
 * from their values. It uses tallyon.h, tallyon_win.h and tallyon.dll alone:
 *   x86_64-w64-mingw32-gcc -std=c99 -mwindows -Iinclude divider.c divider.o -Llib -ltallyon -o divider.exe
 * (divider.o from divider.rc with windres). */
#include <stdio.h>

#include <windows.h>

#include "divider_res.h"
#include "tallyon.h"
#include "tallyon_win.h"

static tly_engine *engine;

/* Vout = Vin * R2 / (R1 + R2), once all three fields hold a value. */
static void showOutput(HWND dialog) {
    tly_value vin, r1, r2;
    char text[64] = "-";
    if (SendDlgItemMessageA(dialog, IDC_DIVIDER_VIN, TLY_NEM_GETVALUE, 0, (LPARAM)&vin) &&
        SendDlgItemMessageA(dialog, IDC_DIVIDER_R1, TLY_NEM_GETVALUE, 0, (LPARAM)&r1) &&
        SendDlgItemMessageA(dialog, IDC_DIVIDER_R2, TLY_NEM_GETVALUE, 0, (LPARAM)&r2) && r1.real + r2.real != 0) {
        snprintf(text, sizeof text, "%.6g V", vin.real * r2.real / (r1.real + r2.real));
    }
    SetDlgItemTextA(dialog, IDC_DIVIDER_VOUT, text);
}

static INT_PTR CALLBACK dividerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static const int fields[] = {IDC_DIVIDER_VIN, IDC_DIVIDER_R1, IDC_DIVIDER_R2};
    static const char *const start[] = {"VCC", "4.7 K", "10 K"};
    int i;
    switch (message) {
    case WM_INITDIALOG:
        for (i = 0; i < 3; ++i) {
            SendDlgItemMessageA(dialog, fields[i], TLY_NEM_SETENGINE, 0, (LPARAM)engine);
            SetDlgItemTextA(dialog, fields[i], start[i]);
        }
        tly_number_edit_reevaluate_all(dialog);
        showOutput(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR *hdr = (const NMHDR *)lParam;
        if (hdr->code == TLY_NEN_CHANGED || hdr->code == TLY_NEN_ERROR) showOutput(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    INT_PTR result;
    (void)previous;
    (void)line;
    (void)show;
    engine = tly_engine_new();
    if (engine == NULL || !tly_register_number_edit(NULL)) return 1;
    tly_param_set(engine, "VCC", "5", "supply voltage", 0, NULL);
    tly_param_set(engine, "K", "1E3", "kilo", 0, NULL);
    tly_param_set(engine, "MEG", "1E6", "mega", 0, NULL);
    result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_DIVIDER), NULL, dividerProc, 0);
    tly_engine_free(engine);
    return result == -1 ? 1 : 0;
}
