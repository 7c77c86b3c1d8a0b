// Runs many cases of the real rxflash side by side and tallies them. The
// tool spends most of a run in its fixed pauses, so several runs share a core.
#pragma once

#include <string>
#include <vector>

#include "tests/reliability/run_check.h"

namespace reliability {

struct Tally {
  size_t runs = 0;
  size_t asExpected = 0;
  std::vector<std::string> failures; // one entry per run that differed: its label and its problems
};

// Runs every case, at most `concurrency` at a time, and checks each.
Tally RunAll(const std::vector<RunCase>& cases, unsigned concurrency);

// Prints "reliability: <what>: N runs, N as expected" (read back into the
// documentation from the test log) and fails the current test for each run
// that differed.
void Report(const std::string& what, const Tally& tally);

} // namespace reliability
