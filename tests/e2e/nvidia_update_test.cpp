// Firmware updates on an NVIDIA board: each sector gets a line with four
// dots 800 ms apart, the link is opened before and closed after the last
// sector, and the verdict comes only when the last sector matched.
#include <gtest/gtest.h>

#include "tests/e2e/console_text.h"
#include "tests/e2e/firmware_images.h"
#include "tests/e2e/tool_run.h"
#include "tests/e2e/trace.h"
#include "tests/e2e/update_checks.h"

namespace e2e {
namespace {

ToolRun NvidiaUpdate(std::vector<uint8_t> image, nlohmann::json receiver = nlohmann::json::object()) {
  return {.arguments = {"fw.bin"},
          .scenario = {{"vendor", "nvidia"}, {"receiver", std::move(receiver)}},
          .files = {{.name = "fw.bin", .bytes = std::move(image)}},
          .input = "xy"};
}

// Two whole sectors and a tail that is not sent.
TEST(NvidiaUpdate, FlashesTwoMatchingSectors) {
  const std::vector<uint8_t> image = PatternImage(2 * SectorBytes + 1808);
  const ToolResult result = RunTool(NvidiaUpdate(image));
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, "\t=== Zorb your VORTEL VGA v0.0 ===\n"
                           "\tFirmware sector 1 updating.... Success\n"
                           "\tFirmware sector 2 updating.... Success\n"
                           "         *** Firmware updated Success ***\n"
                           "\n \t   [ Re-Start the Compucter ]\n");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, 1u);
  EXPECT_EQ(result.errors, "");
  ExpectImageFlashed(result, image);
  EXPECT_EQ(Field8To11(LastWrite(result.trace, LinkRegister).value_or(0)), LinkClosed);
  EXPECT_EQ(UnloadsOf(result.trace, "KAV.DLL"), std::vector<bool>{false}); // released by the close-out

  // Two seconds on the open link before the first packet, then 3.2 s after
  // each sector's last packet before its checksum is read.
  const std::vector<I2cTransfer> transfers = I2cTransfers(result.trace);
  ExpectPause(TimeOfWrite(result.trace, LinkRegister, LinkOpen << 8), transfers.front().time, 2000);
  for (size_t read : ReadIndices(transfers)) {
    ExpectPause(transfers[read - 1].time, transfers[read].time, 3200);
  }
}

// One run of the largest image the receiver holds.
TEST(NvidiaUpdate, FlashesSevenSectors) {
  const std::vector<uint8_t> image = PatternImage(7 * SectorBytes, 0x5A);
  const ToolResult result = RunTool(NvidiaUpdate(image));
  ASSERT_TRUE(result.finished);
  std::string expected = Banner;
  for (int sector = 1; sector <= 7; ++sector) {
    expected += "\tFirmware sector " + std::to_string(sector) + " updating.... Success\n";
  }
  EXPECT_EQ(result.output, expected + NvidiaSuccess);
  EXPECT_EQ(result.inputConsumed, 1u);
  ExpectImageFlashed(result, image);
}

struct VerdictCase {
  const char* name;
  nlohmann::json receiver;
  std::string sectorLines;
  std::string verdict;
};

class NvidiaVerdict : public testing::TestWithParam<VerdictCase> {};

// Two sectors; the first one's sum equals its byte 4090, which a read that
// failed would leave in the packet buffer.
TEST_P(NvidiaVerdict, FollowsTheLastSector) {
  const VerdictCase& c = GetParam();
  std::vector<uint8_t> image = PatternImage(2 * SectorBytes, 0x33);
  MatchSumToLastPacketStart(image, 0);
  const ToolResult result = RunTool(NvidiaUpdate(image, c.receiver));
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, Banner + c.sectorLines + c.verdict);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, 1u);
  EXPECT_EQ(Field8To11(LastWrite(result.trace, LinkRegister).value_or(0)), LinkClosed);
}

const std::string Sector1Success = "\tFirmware sector 1 updating.... Success\n";
const std::string Sector1Fail = "\tFirmware sector 1 updating.... FAIL\n";
const std::string Sector2Success = "\tFirmware sector 2 updating.... Success\n";
const std::string Sector2Fail = "\tFirmware sector 2 updating.... FAIL\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, NvidiaVerdict,
    testing::Values(
        VerdictCase{"LastSectorDiffers", {{"wrong_checksum", {1}}}, Sector1Success + Sector2Fail, ""},
        VerdictCase{"FirstSectorDiffers", {{"wrong_checksum", {0}}}, Sector1Fail + Sector2Success, UpdateFail},
        // A read that fails is never a match, and counts as a failed sector.
        VerdictCase{"ChecksumReadFails",
                    {{"fail_checksum_read", {0}}},
                    "\tFirmware sector 1 updating....\tFirmware sector 1 transfer FAIL...\n FAIL\n" + Sector2Success,
                    UpdateFail}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

// A write the receiver does not take ends the run at once: no further
// packet, the link left open, no key wait.
TEST(NvidiaUpdate, StopsAtAFailedWrite) {
  const ToolResult result =
      RunTool(NvidiaUpdate(PatternImage(3 * SectorBytes), {{"fail_write", {{"sector", 1}, {"packet", 100}}}}));
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, Banner + Sector1Success + "\tFirmware can not be downloaded\n");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, 0u);
  EXPECT_EQ(Field8To11(LastWrite(result.trace, LinkRegister).value_or(0)), LinkOpen);
  const std::vector<I2cTransfer> transfers = I2cTransfers(result.trace);
  ASSERT_EQ(transfers.size(), PacketsPerSector + 1 + 101);
  EXPECT_FALSE(transfers.back().acknowledged);
  EXPECT_EQ(UnloadsOf(result.trace, "KAV.DLL"), std::vector<bool>{true}); // freed only at exit
}

// A file without a whole sector: the banner, then nothing is sent.
TEST(NvidiaUpdate, SendsNothingOfAShortFile) {
  const ToolResult result = RunTool(NvidiaUpdate(PatternImage(SectorBytes - 1)));
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, Banner);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, 0u);
  EXPECT_EQ(Field8To11(LastWrite(result.trace, LinkRegister).value_or(0)), LinkOpen);
  EXPECT_TRUE(I2cTransfers(result.trace).empty());
}

} // namespace
} // namespace e2e
