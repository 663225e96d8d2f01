// The program's entry point. It sits alone in this file so that programs
// with their own main (the test binaries) never pull it in, and with it the
// application's XINIT.
#include "WflApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    // Every DLL loaded from here on comes from System32 (or is named by a
    // full path): never from the program's folder or the current one, where
    // a planted DLL of the same name may lie.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return runApplication(instance, commandLine ? commandLine : "", showCommand, XINIT);
}
