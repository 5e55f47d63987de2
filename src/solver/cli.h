// The toripin-solve command, callable from tests without a process of its own.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "solver/analysis.h"

namespace tori::solver {

inline constexpr int kExitOk = 0, kExitUsage = 1, kExitBadRecord = 2;

// args excludes the program name. The progress of long work goes to progressFd, a terminal, or nowhere
// when it is -1.
int runCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
               int progressFd = -1);

std::string toDecimal(Count n);

}  // namespace tori::solver
