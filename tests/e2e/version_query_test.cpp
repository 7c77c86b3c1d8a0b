// With no argument the tool reports the receiver's firmware version (NVIDIA),
// the banner alone (AMD) or nothing (no supported board), then takes one key.
#include <gtest/gtest.h>

#include <optional>

#include "tests/e2e/console_text.h"
#include "tests/e2e/tool_run.h"
#include "tests/e2e/trace.h"
#include "tests/e2e/update_checks.h"

namespace e2e {
namespace {

struct VersionCase {
  const char* name;
  nlohmann::json scenario;
  StandIns standIns;
  std::string input;
  std::string output;
  std::uintmax_t inputConsumed;
  // The receiver link field as the run leaves it; none when no register may
  // be touched at all.
  std::optional<uint32_t> linkField;
};

class VersionQuery : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionQuery, PrintsTheVersionAndTakesOneKey) {
  const VersionCase& c = GetParam();
  const ToolResult result = RunTool({.scenario = c.scenario, .standIns = c.standIns, .input = c.input});
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, c.output);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, c.inputConsumed);
  EXPECT_EQ(result.errors, "");

  if (!c.linkField) {
    EXPECT_TRUE(RegisterAccesses(result.trace).empty());
    return;
  }
  EXPECT_EQ(Field8To11(LastWrite(result.trace, LinkRegister).value_or(0)), *c.linkField);
  // The receiver gets two seconds on an open link before it is asked.
  const std::vector<I2cTransfer> transfers = I2cTransfers(result.trace);
  ASSERT_EQ(transfers.size(), 1u);
  ExpectPause(TimeOfWrite(result.trace, LinkRegister, LinkOpen << 8), transfers[0].time, 2000);
}

std::string VersionLine(int version) {
  return " === Flash Receiver Version " + std::to_string(version) + " ===\n";
}

nlohmann::json NvidiaReceiver(nlohmann::json receiver) {
  return {{"vendor", "nvidia"}, {"receiver", std::move(receiver)}};
}

const std::string NotFound = "    Flash Receiver Version is not found.\n";

INSTANTIATE_TEST_SUITE_P(
    Boards, VersionQuery,
    testing::Values(
        VersionCase{"Version12", NvidiaReceiver({{"version", 0x0C}}), {}, "ab\n", Banner + VersionLine(12), 1, 2},
        VersionCase{"Version255", NvidiaReceiver({{"version", 0xFF}}), {}, "a", Banner + VersionLine(255), 1, 2},
        VersionCase{"AtEndOfInput", NvidiaReceiver({{"version", 3}}), {}, "", Banner + VersionLine(3), 0, 2},
        VersionCase{"FailedRead",
                    NvidiaReceiver({{"version", 9}, {"fail_version_read", true}}),
                    {},
                    "a",
                    Banner + NotFound + VersionLine(0),
                    1,
                    2},
        VersionCase{"Amd", {{"vendor", "amd"}}, {}, "ab", Banner, 1, std::nullopt},
        VersionCase{"NoSupportedBoard", {{"vendor", "amd"}}, {.absent = {"atipdlxx.dll"}}, "ab", "", 1, std::nullopt},
        VersionCase{"KavMissing",
                    {{"vendor", "nvidia"}},
                    {.absent = {"KAV.DLL"}},
                    "ab",
                    "Can not initial KAV\n",
                    0,
                    std::nullopt},
        VersionCase{"NoChip",
                    {{"kav", {{"chips", {{"0x10DE", 0}, {"0x1002", 0}}}}}},
                    {},
                    "ab",
                    "Can not find NVIDIA VGA\n",
                    0,
                    std::nullopt}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
