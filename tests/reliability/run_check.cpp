#include "tests/reliability/run_check.h"

#include <algorithm>
#include <sstream>

#include "tests/e2e/firmware_images.h"
#include "tests/e2e/trace.h"

namespace reliability {
namespace {

constexpr char ProgressStart[] = "\tFirmware sector ";
constexpr char Updating[] = " updating";
constexpr char SuccessEnd[] = " Success\n";
constexpr char FailEnd[] = " FAIL\n";
constexpr size_t PacketBytes = 10;

// Exports the tool binds but must never call.
constexpr char UncalledExport[] = "uncalled_export";

template <typename T> std::string Mismatch(const char* what, const T& expected, const T& actual) {
  std::ostringstream text;
  text << what << ": expected " << expected << ", got " << actual;
  return text.str();
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

size_t PacketWrites(const e2e::Trace& trace) {
  const std::vector<e2e::I2cTransfer> transfers = e2e::I2cTransfers(trace);
  return static_cast<size_t>(std::count_if(transfers.begin(), transfers.end(), [](const e2e::I2cTransfer& t) {
    return t.write && t.data.size() == PacketBytes;
  }));
}

void CheckFlash(const RunCase& runCase, const e2e::ToolResult& result, std::vector<std::string>& problems) {
  for (size_t sector : SectorsReportedWritten(result.output)) {
    const size_t start = (sector - 1) * e2e::SectorBytes;
    const size_t end = start + e2e::SectorBytes;
    if (end > runCase.image.size() || end > result.flash.size() ||
        !std::equal(runCase.image.begin() + static_cast<std::ptrdiff_t>(start),
                    runCase.image.begin() + static_cast<std::ptrdiff_t>(end),
                    result.flash.begin() + static_cast<std::ptrdiff_t>(start))) {
      problems.push_back("sector " + std::to_string(sector) + " reported Success but the flash does not hold it");
    }
  }
}

} // namespace

std::vector<size_t> SectorsReportedWritten(const std::string& output) {
  std::vector<size_t> sectors;
  for (size_t at = output.find(ProgressStart); at != std::string::npos; at = output.find(ProgressStart, at + 1)) {
    const size_t numberStart = at + sizeof ProgressStart - 1;
    const size_t numberEnd = output.find_first_not_of("0123456789", numberStart);
    if (numberEnd == numberStart || output.compare(numberEnd, sizeof Updating - 1, Updating) != 0) {
      continue; // the transfer-fail line, not a progress line
    }
    const size_t success = output.find(SuccessEnd, numberEnd);
    const size_t fail = output.find(FailEnd, numberEnd);
    const size_t next = output.find(std::string(ProgressStart), numberEnd);
    if (success != std::string::npos && success < fail && success < next) {
      sectors.push_back(std::stoul(output.substr(numberStart, numberEnd - numberStart)));
    }
  }
  return sectors;
}

std::vector<std::string> Check(const RunCase& runCase, const e2e::ToolResult& result) {
  const Expected& expected = runCase.expected;
  std::vector<std::string> problems;
  if (!result.finished) {
    problems.push_back("did not finish: killed, crashed or aborted by a sanitizer");
  } else if (result.exitStatus != expected.exitStatus) {
    problems.push_back(Mismatch("exit status", expected.exitStatus, result.exitStatus));
  }
  if (!result.errors.empty()) {
    problems.push_back("standard error (sanitizer report?): " + result.errors.substr(0, 2000));
  }
  if (result.output != expected.output) {
    problems.push_back(Mismatch("output", Quoted(expected.output), Quoted(result.output)));
  }
  if (result.inputConsumed != expected.inputConsumed) {
    problems.push_back(Mismatch("bytes of standard input read", expected.inputConsumed, result.inputConsumed));
  }
  if (expected.packetWrites && PacketWrites(result.trace) != *expected.packetWrites) {
    problems.push_back(Mismatch("packet writes", *expected.packetWrites, PacketWrites(result.trace)));
  }
  if (expected.displayQueries) {
    const size_t queries = e2e::CallsOf(result.trace, "EnumDisplayDevicesA").size();
    if (queries != *expected.displayQueries) {
      problems.push_back(Mismatch("display device queries", *expected.displayQueries, queries));
    }
  }
  for (const std::string& call : expected.absentCalls) {
    if (!e2e::CallsOf(result.trace, call).empty()) {
      problems.push_back("the absent entry " + call + " was called");
    }
  }
  for (const nlohmann::json& line : e2e::CallsOf(result.trace, UncalledExport)) {
    problems.push_back("an export that must never be called was called: " + line.dump());
  }
  CheckFlash(runCase, result, problems);
  return problems;
}

} // namespace reliability
