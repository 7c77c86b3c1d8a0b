// The example scenarios the README points people to are boards the
// simulator accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/e2e/tool_run.h"

namespace e2e {
namespace {

std::vector<std::string> ExampleScenarios() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(RXFLASH_EXAMPLE_SCENARIOS)) {
    if (entry.path().extension() == ".json") {
      names.push_back(entry.path().stem().string());
    }
  }
  return names;
}

class ExampleScenario : public testing::TestWithParam<std::string> {};

TEST_P(ExampleScenario, IsAcceptedByTheBoard) {
  std::ifstream file(std::filesystem::path(RXFLASH_EXAMPLE_SCENARIOS) / (GetParam() + ".json"));
  const nlohmann::json scenario = nlohmann::json::parse(file, nullptr, true, /*ignore_comments=*/true);
  // Two arguments: the board is set up in full, then the tool ends silently.
  const ToolResult result = RunTool({.arguments = {"a", "b"}, .scenario = scenario});
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(result.exitStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, ExampleScenario, testing::ValuesIn(ExampleScenarios()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

} // namespace
} // namespace e2e
