// tallyon-calc's entry point: the arguments and the standard streams.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

#include "CalcMain.h"

#ifdef _WIN32
namespace {

// The program works in UTF-8 (its manifest); a console shows bytes in its
// own code page, so while the program runs its console takes UTF-8, and
// gets its own code pages back at the end: the console outlives us.
class Utf8Console {
public:
    Utf8Console() {
        DWORD mode = 0;
        const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
                             GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) ||
                             GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode);
        if (!console) return;
        output_ = GetConsoleOutputCP();
        input_ = GetConsoleCP();
        SetConsoleOutputCP(CP_UTF8);
        SetConsoleCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (output_ != 0) SetConsoleOutputCP(output_);
        if (input_ != 0) SetConsoleCP(input_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT output_ = 0;
    UINT input_ = 0;
};

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // DLLs loaded later (the elementary functions' ucrtbase.dll among them)
    // come from System32, never from the program's or the current folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    const Utf8Console console;
    // In text mode the C runtime ends standard input at the first Ctrl+Z
    // byte (0x1A), as if the file ended there, and the lines after it are
    // never seen. Read in binary, every byte arrives; line ends are handled
    // by the reader, which takes CR LF as well as LF.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = runTallyonCalc(args, {std::cin, std::cout, std::cerr});
    std::cout.flush();
    std::cerr.flush();
    return status;
}
