// toripin-solve: can a トリピン game still be won, and how.
#include <unistd.h>

#include <iostream>

#include "solver/cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Progress is for a person watching; a pipe or a file gets none.
    const int progressFd = isatty(STDERR_FILENO) ? STDERR_FILENO : -1;
    return tori::solver::runCommand(args, std::cin, std::cout, std::cerr, progressFd,
                                    tori::solver::environmentLanguage());
}
