// Puts the simulated board's stand-in libraries where the tool looks for
// them: KAV.DLL into its current directory, the others into the directory
// the loader searches.
#pragma once

#include <filesystem>

#include "tests/e2e/tool_run.h"
#include "tests/e2e/tool_runner.h"

namespace e2e {

void StageStandIns(const ToolRunner& runner, const StandIns& standIns, const std::filesystem::path& workDirectory,
                   const std::filesystem::path& libraryDirectory);

} // namespace e2e
