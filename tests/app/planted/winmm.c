/* A planted winmm.dll, as one may lie beside a program in a Downloads
   folder: when loaded, it leaves the file "planted-dll-ran.txt" beside
   itself. The tests put it beside a copy of Tallyon.exe and look for that
   file. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static void leaveMark(HINSTANCE self) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != L'\\') --n;
    if (n == 0 || n + 21 >= MAX_PATH) return;
    lstrcpyW(path + n, L"planted-dll-ran.txt");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) leaveMark(self);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    (void)sound;
    (void)module;
    (void)flags;
    return FALSE;
}
