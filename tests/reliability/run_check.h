// One run of the real rxflash in the fault sweep or among the hostile inputs,
// what it must show, and the check of everything the tool must never do:
// crash, leave a sanitizer report, call an entry it was not given, wait for
// a key where the command does not wait, or report " Success" for a sector
// the receiver's flash does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/tool_run.h"

namespace reliability {

struct Expected {
  std::string output; // standard output, byte for byte
  int exitStatus = 0;
  std::uintmax_t inputConsumed = 0;     // 1 where the command waits for a key
  std::optional<size_t> packetWrites;   // ten-byte writes that reached the driver
  std::optional<size_t> displayQueries; // calls of EnumDisplayDevicesA
  std::vector<std::string> absentCalls; // trace calls that must not occur: the entries left out
};

struct RunCase {
  std::string label;
  e2e::ToolRun run;
  std::vector<uint8_t> image; // the image file's bytes, if the run has one
  Expected expected;
};

// What differs from the expectation; empty when the run ended as expected.
std::vector<std::string> Check(const RunCase& runCase, const e2e::ToolResult& result);

// The sector numbers (from 1) whose progress line ends in " Success".
std::vector<size_t> SectorsReportedWritten(const std::string& output);

} // namespace reliability
