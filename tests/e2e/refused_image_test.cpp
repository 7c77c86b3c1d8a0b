// An image file the tool cannot use ends the update after the set-up, with
// exit status -1, before anything reaches the receiver and without a key
// wait.
#include <gtest/gtest.h>

#include "tests/e2e/console_text.h"
#include "tests/e2e/firmware_images.h"
#include "tests/e2e/tool_run.h"
#include "tests/e2e/tool_runner.h"
#include "tests/e2e/trace.h"

namespace e2e {
namespace {

struct RefusedCase {
  const char* name;
  const char* vendor;
  std::string argument;
  std::vector<PlacedFile> files;
  std::string output;
};

class RefusedImage : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedImage, EndsWithStatusMinusOne) {
  const RefusedCase& c = GetParam();
  const bool readOnly = !c.files.empty() && c.files.front().readOnly;
  if (readOnly && !SelectedRunner().ObeysFilePermissions()) {
    GTEST_SKIP() << "the tool runs with the power to write any file here, so no file is read-only to it";
  }
  const ToolResult result =
      RunTool({.arguments = {c.argument}, .scenario = {{"vendor", c.vendor}}, .files = c.files, .input = "xy"});
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, c.output);
  EXPECT_EQ(result.exitStatus, -1);
  EXPECT_EQ(result.inputConsumed, 0u);
  EXPECT_EQ(result.errors, "");
  EXPECT_TRUE(I2cTransfers(result.trace).empty());
}

const std::string NvidiaSetUp = Banner;
const std::string AmdSetUp = AmdGpio + std::string(Banner);
const char NotFound[] = "\tFirmware is not found\n";
const std::string SixteenCharacters = "sixteen-char.bin";

INSTANTIATE_TEST_SUITE_P(Cases, RefusedImage,
                         testing::Values(RefusedCase{"MissingOnAmd", "amd", "fw.bin", {}, AmdSetUp + NotFound},
                                         RefusedCase{
                                             "ReadOnlyOnNvidia",
                                             "nvidia",
                                             "fw.bin",
                                             {{.name = "fw.bin", .bytes = PatternImage(SectorBytes), .readOnly = true}},
                                             NvidiaSetUp + NotFound},
                                         RefusedCase{"NameOfSixteenCharactersOnNvidia",
                                                     "nvidia",
                                                     SixteenCharacters,
                                                     {{.name = SixteenCharacters, .bytes = PatternImage(SectorBytes)}},
                                                     NvidiaSetUp + "\tFirmware file name is too long\n"},
                                         RefusedCase{"EightSectorsOnAmd",
                                                     "amd",
                                                     "fw.bin",
                                                     {{.name = "fw.bin", .bytes = PatternImage(8 * SectorBytes)}},
                                                     AmdSetUp + "\tFirmware is too large\n"}),
                         [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
