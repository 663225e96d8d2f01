// The program's entry point. It sits alone in this file so that programs
// with their own main (the test binaries) never pull it in, and with it the
// application's XINIT.
#include "WflApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    return runApplication(instance, commandLine ? commandLine : "", showCommand, XINIT);
}
