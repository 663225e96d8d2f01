// tallyon-calc's entry point: the arguments and the standard streams.
#include <iostream>
#include <string>
#include <vector>

#include "CalcMain.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runTallyonCalc(args, {std::cin, std::cout, std::cerr});
}
