// Compiled with the project's flags for the install test: with libc's headers fortified at level 2,
// printf becomes the checked __printf_chk, which hardening-check looks for.
#include <cstdio>

int main(int argc, char** argv) {
    std::printf("%d %s\n", argc, argv[0]);
    return 0;
}
