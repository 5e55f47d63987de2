// The toripin-solve command, callable from tests without a process of its own.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "solver/analysis.h"
#include "solver/search.h"
#include "solver/text.h"

namespace tori::solver {

inline constexpr int kExitOk = 0, kExitUsage = 1, kExitBadRecord = 2;

// args excludes the program name. The progress of long work goes to progressFd, a terminal, or nowhere
// when it is -1. Every message and answer is in `language`.
int runCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
               int progressFd = -1, Language language = Language::japanese);

// What --memory allows when not given: 100 MB.
inline constexpr size_t kDefaultBudget = 100'000'000;

// The program's own memory before any set or table: its code, its libraries and its threads' stacks,
// as /usr/bin/time measures the whole run on the 5 x 5 board.
inline constexpr size_t kProgramBytes = 3'700'000;

// The winning sequences from the classification's root, unless the program would take more than
// `budget` bytes while it counts them: itself, the search's and the classification's sets and the
// count's tables, which bytesNeeded adds up.
Classification::Sequences countWithin(const Classification& c, const Solver& solver, size_t budget);

}  // namespace tori::solver
