// How one run of the real executable is started: natively on this host, or
// (later) the Windows build under Wine. Everything above this seam works with
// directories and files only, so the same scenarios serve both.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

struct Invocation {
  std::vector<std::string> arguments;     // after the program name
  std::filesystem::path workDirectory;    // the tool's current directory: KAV.DLL and the image lie here
  std::filesystem::path libraryDirectory; // searched for USER32, nvapi.dll and atipdlxx.dll
  std::filesystem::path scenario;         // handed to the simulated board through its environment variable
  std::filesystem::path input;            // standard input, read from this file
  std::filesystem::path output;           // standard output, written to this file
  std::filesystem::path errors;           // standard error, written to this file
  std::chrono::seconds deadline{90};      // a run still going then is killed
};

struct Completion {
  int exitStatus = 0;               // as the tool returned it, taken as a signed 8-bit value: -1, not 255
  bool finished = false;            // false when the run was killed or died from a signal
  std::uintmax_t inputConsumed = 0; // bytes of standard input the tool read
};

class ToolRunner {
public:
  virtual ~ToolRunner() = default;

  // Where the simulated board's full set of stand-in libraries was built,
  // and the variants: <variants>/<export>/ holds the one library that lacks
  // <export>.
  virtual std::filesystem::path StandInDirectory() const = 0;
  virtual std::filesystem::path VariantDirectory() const = 0;
  // Where the stand-ins of one run go, given that run's own directory.
  virtual std::filesystem::path LibraryDirectory(const std::filesystem::path& runDirectory) const = 0;
  // True when a file without write (read) permission cannot be opened for
  // writing (reading) by the tool, also when the tests run as root.
  virtual bool ObeysFilePermissions() const = 0;

  virtual Completion Run(const Invocation& invocation) const = 0;
};

// The runner this test build was configured for.
const ToolRunner& SelectedRunner();

} // namespace e2e
