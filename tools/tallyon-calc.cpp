// tallyon-calc's entry point: the arguments and the standard streams.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

#include "CalcMain.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // In text mode the C runtime ends standard input at the first Ctrl+Z
    // byte (0x1A), as if the file ended there, and the lines after it are
    // never seen. Read in binary, every byte arrives; line ends are handled
    // by the reader, which takes CR LF as well as LF.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runTallyonCalc(args, {std::cin, std::cout, std::cerr});
}
