// Built when the game library is not part of the build (tools/levels alone).
#include "level_verify.h"

#include <cstdio>

int command_verify(const std::string&, const std::string&)
{
    std::fprintf(stderr, "verify needs the game's move rules: build pelmak-levels from the top of the project\n");
    return 2;
}
