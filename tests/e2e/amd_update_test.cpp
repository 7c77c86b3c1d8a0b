// Firmware updates on an AMD board: the GPIO lines are set once, and after
// each sector the receiver's busy field is polled 50 ms apart, a dot per
// poll after the first, at most 200 of them.
#include <gtest/gtest.h>

#include "tests/e2e/console_text.h"
#include "tests/e2e/firmware_images.h"
#include "tests/e2e/tool_run.h"
#include "tests/e2e/trace.h"
#include "tests/e2e/update_checks.h"

namespace e2e {
namespace {

// The image's first sector sums to its own byte 4090, which a failed
// checksum read would leave in the packet buffer.
std::vector<uint8_t> AmdImage(size_t size) {
  std::vector<uint8_t> image = PatternImage(size, 0xA5);
  if (size >= SectorBytes) {
    MatchSumToLastPacketStart(image, 0);
  }
  return image;
}

ToolRun AmdUpdate(const std::string& name, std::vector<uint8_t> image, nlohmann::json receiver) {
  return {.arguments = {name},
          .scenario = {{"vendor", "amd"}, {"receiver", std::move(receiver)}},
          .files = {{.name = name, .bytes = std::move(image)}},
          .input = "xy"};
}

std::vector<RegisterAccess> BusyPolls(const Trace& trace) {
  std::vector<RegisterAccess> polls;
  for (const RegisterAccess& access : RegisterAccesses(trace)) {
    if (!access.write && access.offset == BusyRegister) {
      polls.push_back(access);
    }
  }
  return polls;
}

struct AmdCase {
  const char* name;
  size_t imageSize;
  nlohmann::json receiver;
  std::string afterBanner;
  std::uintmax_t inputConsumed;
};

class AmdUpdateLines : public testing::TestWithParam<AmdCase> {};

TEST_P(AmdUpdateLines, PrintSectorsAndVerdict) {
  const AmdCase& c = GetParam();
  // Fifteen characters: the longest name the tool takes.
  const ToolResult result = RunTool(AmdUpdate("fifteen-chr.bin", AmdImage(c.imageSize), c.receiver));
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.output, AmdGpio + std::string(Banner) + c.afterBanner);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, c.inputConsumed);
  EXPECT_EQ(result.errors, "");
}

const std::string Sector2Success = "\tFirmware sector 2 updating Success\n";
const nlohmann::json NoFault = nlohmann::json::object();

INSTANTIATE_TEST_SUITE_P(
    Cases, AmdUpdateLines,
    testing::Values(
        AmdCase{"ReceiverNotBusy", SectorBytes, NoFault,
                "\tFirmware sector 1 updating Success\n" + std::string(AmdSuccess), 1},
        AmdCase{"ThreeBusyPolls",
                SectorBytes,
                {{"busy_polls", 3}},
                "\tFirmware sector 1 updating... Success\n" + std::string(AmdSuccess),
                1},
        AmdCase{"BusyUpToTheLimit",
                SectorBytes,
                {{"busy_polls", 200}},
                "\tFirmware sector 1 updating" + std::string(200, '.') + " Success\n" + AmdSuccess,
                1},
        AmdCase{"FirstSectorDiffers",
                2 * SectorBytes,
                {{"wrong_checksum", {0}}},
                "\tFirmware sector 1 updating FAIL\n" + Sector2Success + UpdateFail,
                1},
        AmdCase{"ChecksumReadFails",
                2 * SectorBytes,
                {{"fail_checksum_read", {0}}},
                "\tFirmware sector 1 updatingATI API Read I2C  fail\n\tFirmware sector 1 transfer FAIL...\n FAIL\n" +
                    Sector2Success + UpdateFail,
                1},
        AmdCase{"WriteFails",
                2 * SectorBytes,
                {{"fail_write", {{"sector", 0}, {"packet", 7}}}},
                "ATI API Write I2C  fail\n\tFirmware can not be downloaded\n",
                0},
        AmdCase{"ShortFile", SectorBytes - 1, NoFault, "", 0}),
    [](const testing::TestParamInfo<AmdCase>& info) { return std::string(info.param.name); });

// One run of the largest image, with the receiver busy for a while after
// every sector: the lines are set once, the pauses fall where they belong.
TEST(AmdUpdate, FlashesSevenSectors) {
  const std::vector<uint8_t> image = AmdImage(7 * SectorBytes);
  const ToolResult result = RunTool(AmdUpdate("fw.bin", image, {{"busy_polls", 2}}));
  ASSERT_TRUE(result.finished);
  std::string expected = AmdGpio + std::string(Banner);
  for (int sector = 1; sector <= 7; ++sector) {
    expected += "\tFirmware sector " + std::to_string(sector) + " updating.. Success\n";
  }
  EXPECT_EQ(result.output, expected + AmdSuccess);
  EXPECT_EQ(result.inputConsumed, 1u);
  ExpectImageFlashed(result, image);

  std::vector<RegisterAccess> gpio;
  for (const RegisterAccess& access : RegisterAccesses(result.trace)) {
    if (access.offset != BusyRegister) {
      gpio.push_back(access);
    }
  }
  ASSERT_EQ(gpio.size(), 3u);
  EXPECT_TRUE(gpio[0].write && gpio[0].offset == 0x6410 && gpio[0].value == 0x10);
  EXPECT_TRUE(gpio[1].write && gpio[1].offset == 0x6414 && gpio[1].value == 0x100);
  EXPECT_TRUE(gpio[2].write && gpio[2].offset == 0x6418 && gpio[2].value == 0x100);

  // 600 ms after the lines are set, the first packet; after each sector
  // three polls (busy, busy, free), the last two 50 ms apart, and the
  // checksum read 50 ms after the last.
  const std::vector<I2cTransfer> transfers = I2cTransfers(result.trace);
  ExpectPause(gpio[2].time, transfers.front().time, 600);
  const std::vector<RegisterAccess> polls = BusyPolls(result.trace);
  const std::vector<size_t> reads = ReadIndices(transfers);
  ASSERT_EQ(polls.size(), 3 * reads.size());
  for (size_t sector = 0; sector < reads.size(); ++sector) {
    const RegisterAccess* poll = &polls[3 * sector];
    EXPECT_GT(poll[0].time, transfers[reads[sector] - 1].time);
    ExpectPause(poll[1].time, poll[2].time, 50);
    ExpectPause(poll[2].time, transfers[reads[sector]].time, 50);
  }
}

// A receiver that stays busy: after 200 polls past the first the sector
// counts as failed without its checksum being read, and the run goes on.
TEST(AmdUpdate, GivesUpOnAReceiverBusyForEver) {
  const ToolResult result = RunTool(AmdUpdate("fw.bin", AmdImage(2 * SectorBytes), {{"busy_forever", true}}));
  ASSERT_TRUE(result.finished);
  const std::string fail = std::string(200, '.') + " FAIL\n";
  EXPECT_EQ(result.output, AmdGpio + std::string(Banner) + "\tFirmware sector 1 updating" + fail +
                               "\tFirmware sector 2 updating" + fail);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.inputConsumed, 1u);

  const std::vector<I2cTransfer> transfers = I2cTransfers(result.trace);
  EXPECT_EQ(transfers.size(), 2 * PacketsPerSector);
  EXPECT_TRUE(ReadIndices(transfers).empty());
  const std::vector<RegisterAccess> polls = BusyPolls(result.trace);
  ASSERT_EQ(polls.size(), 2 * 201u);
  // Ten seconds of polling per sector.
  ExpectPause(polls[1].time, polls[200].time, 199 * 50);
}

} // namespace
} // namespace e2e
