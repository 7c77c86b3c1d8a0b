#include "tests/reliability/run_all.h"

#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <iostream>
#include <mutex>
#include <thread>

#include "tests/e2e/tool_runner.h"

namespace reliability {
namespace {

// Runs one case; a harness failure (an unreadable trace, say) counts as a
// problem of the run.
std::vector<std::string> RunOne(const RunCase& runCase) {
  try {
    const e2e::ToolResult result = e2e::RunTool(runCase.run);
    return Check(runCase, result);
  } catch (const std::exception& error) {
    return {std::string("harness: ") + error.what()};
  }
}

} // namespace

Tally RunAll(const std::vector<RunCase>& cases, unsigned concurrency) {
  // Made here, before the workers: the runner takes root's power over file
  // permissions from the thread that makes it, and the threads started after
  // inherit that.
  e2e::SelectedRunner();
  Tally tally;
  tally.runs = cases.size();
  std::atomic<size_t> next{0};
  std::mutex guard;
  auto worker = [&] {
    for (size_t i = next++; i < cases.size(); i = next++) {
      const std::vector<std::string> problems = RunOne(cases[i]);
      const std::lock_guard<std::mutex> lock(guard);
      if (problems.empty()) {
        ++tally.asExpected;
        continue;
      }
      std::string failure = cases[i].label + ":";
      for (const std::string& problem : problems) {
        failure += "\n  " + problem;
      }
      tally.failures.push_back(failure);
    }
  };
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < concurrency; ++i) {
    workers.emplace_back(worker);
  }
  for (std::thread& thread : workers) {
    thread.join();
  }
  return tally;
}

void Report(const std::string& what, const Tally& tally) {
  std::cout << "reliability: " << what << ": " << tally.runs << " runs, " << tally.asExpected << " as expected"
            << std::endl;
  for (const std::string& failure : tally.failures) {
    ADD_FAILURE() << failure;
  }
  EXPECT_GT(tally.runs, 0u);
}

} // namespace reliability
