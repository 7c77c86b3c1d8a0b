// The Wine server that serves a prefix. It, not the program run under Wine,
// opens the files that program asks for.
#pragma once

#include <filesystem>
#include <string>

namespace e2e {

// The process id of the running Wine server of prefix, as a string; empty
// when none runs (the next program run under Wine then starts one).
std::string WineServerProcess(const std::filesystem::path& prefix);

} // namespace e2e
