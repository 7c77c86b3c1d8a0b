// The command line decides: no argument queries the version, one argument
// flashes (or, with no supported board, says so and queries), more arguments
// end the program silently.
#include <gtest/gtest.h>

#include "tests/e2e/tool_run.h"
#include "tests/e2e/trace.h"

namespace e2e {
namespace {

struct DispatchCase {
  const char* name;
  std::vector<std::string> arguments;
  nlohmann::json scenario;
  StandIns standIns;
  std::string output;
  std::uintmax_t inputConsumed;
};

class Dispatch : public testing::TestWithParam<DispatchCase> {};

TEST_P(Dispatch, PrintsReadsAndExits) {
  const DispatchCase& c = GetParam();
  const ToolResult result =
      RunTool({.arguments = c.arguments, .scenario = c.scenario, .standIns = c.standIns, .input = "kq"});
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, c.output);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, c.inputConsumed);
  EXPECT_EQ(result.errors, "");
}

const nlohmann::json Nvidia = {{"vendor", "nvidia"}};
const nlohmann::json Amd = {{"vendor", "amd"}};

INSTANTIATE_TEST_SUITE_P(Rows, Dispatch,
                         testing::Values(DispatchCase{"TwoArgumentsOnNvidia", {"fw.bin", "more"}, Nvidia, {}, "", 0},
                                         DispatchCase{"ThreeArgumentsOnAmd", {"a", "b", "c"}, Amd, {}, "", 0},
                                         DispatchCase{"OneArgumentWithoutDriverLibraries",
                                                      {"fw.bin"},
                                                      Nvidia,
                                                      {.absent = {"nvapi.dll", "atipdlxx.dll"}},
                                                      "Unknown option!\n",
                                                      1},
                                         DispatchCase{"OneArgumentWithAnAmdLibraryLackingARequiredEntry",
                                                      {"fw.bin"},
                                                      Amd,
                                                      {.lacking = {"ATIDL_SetODPerformanceLevels"}},
                                                      "Unknown option!\n",
                                                      1}),
                         [](const testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

// The board is prepared before the command line is looked at: NVAPI is
// initialised and the GPUs counted twice, also when nothing follows.
TEST(BoardPreparation, RunsInFullBeforeASilentEnd) {
  const ToolResult result = RunTool({.arguments = {"a", "b"}, .scenario = Nvidia});
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(CallsOf(result.trace, "nvapi_initialize").size(), 2u);
  EXPECT_EQ(CallsOf(result.trace, "NvAPI_EnumPhysicalGPUs").size(), 2u);
  EXPECT_FALSE(CallsOf(result.trace, "EnumDisplayDevicesA").empty());
  EXPECT_EQ(result.output, "");
}

} // namespace
} // namespace e2e
