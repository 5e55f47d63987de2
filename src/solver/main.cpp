// toripin-solve: can a トリピン game still be won, and how.
#include <iostream>

#include "solver/cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tori::solver::runCommand(args, std::cin, std::cout, std::cerr);
}
