// One run of the real rxflash on the simulated board: what goes in (command
// line, scenario, stand-in libraries, files, standard input) and everything
// that comes out.
#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/run_directory.h"

namespace e2e {

// A file put into the tool's current directory before the run.
struct PlacedFile {
  std::string name;
  std::vector<uint8_t> bytes;
  bool readOnly = false;
  bool unreadable = false; // without read permission
};

// Which stand-in libraries the run gets: the full set unless told otherwise.
struct StandIns {
  std::set<std::string> absent;  // file names of libraries left out: "nvapi.dll", "KAV.DLL", ...
  std::set<std::string> lacking; // exports whose library is replaced by the variant that lacks them
};

struct ToolRun {
  std::vector<std::string> arguments;
  // The tool's current directory, below the run's own and made for the run
  // (empty: the run's own); KAV.DLL and the files are put there.
  std::string directory;
  nlohmann::json scenario = nlohmann::json::object();
  StandIns standIns;
  std::vector<PlacedFile> files;
  std::string input;
};

struct ToolResult {
  std::string output; // standard output, byte for byte
  std::string errors; // standard error
  int exitStatus = 0;
  bool finished = false;
  std::uintmax_t inputConsumed = 0;
  std::vector<nlohmann::json> trace; // the simulated board's trace, one object per line
  std::vector<uint8_t> flash;        // the receiver's flash as the board left it
  std::unique_ptr<RunDirectory> directory;
};

ToolResult RunTool(const ToolRun& run);

} // namespace e2e
