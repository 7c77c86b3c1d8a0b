// Starting one program as a child of the test with the files of an
// Invocation as its standard streams, and waiting for it. Standard input is a
// file opened here and inherited by the child, so the offset the child
// leaves behind tells how much of it was read.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/tool_runner.h"

namespace e2e {

// This process's environment with the given variables set (replacing any
// of the same names).
std::vector<std::string> EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& variables);

// Runs program with arguments (argv[0] first) and environment in the
// invocation's working directory, until it ends or the deadline passes.
Completion RunChild(const std::string& program, std::vector<std::string> arguments,
                    std::vector<std::string> environment, const Invocation& invocation);

} // namespace e2e
