/* The control: a program that imports winmm.dll as Tallyon.exe once did.
   Beside the planted DLL it loads that DLL, which shows that the test can
   see a planted DLL run at all. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

__declspec(dllimport) BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return PlaySoundA(NULL, NULL, 0) ? 0 : 1;
}
