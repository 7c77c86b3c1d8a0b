#include "tests/e2e/update_checks.h"

#include <gtest/gtest.h>

#include "tests/e2e/firmware_images.h"

namespace e2e {
namespace {

// Where the sector's trailer byte sits in its last packet.
constexpr size_t TrailerPosition = 6;
// How much longer than asked a pause may take on a loaded machine.
constexpr double PauseTolerance = 300;

} // namespace

void ExpectImageFlashed(const ToolResult& result, const std::vector<uint8_t>& image) {
  const size_t sectors = image.size() / SectorBytes;
  std::vector<I2cTransfer> writes;
  std::vector<I2cTransfer> reads;
  for (const I2cTransfer& transfer : I2cTransfers(result.trace)) {
    (transfer.write ? writes : reads).push_back(transfer);
  }
  ASSERT_EQ(writes.size(), sectors * PacketsPerSector);
  ASSERT_EQ(reads.size(), sectors);
  for (size_t sector = 0; sector < sectors; ++sector) {
    for (size_t k = 0; k < PacketsPerSector; ++k) {
      ASSERT_EQ(writes[sector * PacketsPerSector + k].data.size(), PacketBytes)
          << "sector " << sector << " packet " << k;
    }
    const I2cTransfer& last = writes[sector * PacketsPerSector + PacketsPerSector - 1];
    EXPECT_EQ(last.data[TrailerPosition], static_cast<uint8_t>(0xF1 + sector)) << "sector " << sector;
    EXPECT_EQ(reads[sector].data, std::vector<uint8_t>{SectorSum(image, sector)}) << "sector " << sector;
  }
  const std::vector<uint8_t> expected = WholeSectors(image);
  ASSERT_GE(result.flash.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), result.flash.begin()));
}

void ExpectPause(double from, double to, double milliseconds) {
  EXPECT_GE(to - from, milliseconds - 1) << "from " << from << " ms";
  EXPECT_LE(to - from, milliseconds + PauseTolerance) << "from " << from << " ms";
}

double TimeOfWrite(const Trace& trace, uint32_t offset, uint32_t value) {
  for (const RegisterAccess& access : RegisterAccesses(trace)) {
    if (access.write && access.offset == offset && access.value == value) {
      return access.time;
    }
  }
  ADD_FAILURE() << "no write of " << value << " to register " << offset;
  return 0;
}

std::vector<size_t> ReadIndices(const std::vector<I2cTransfer>& transfers) {
  std::vector<size_t> indices;
  for (size_t i = 0; i < transfers.size(); ++i) {
    if (!transfers[i].write) {
      indices.push_back(i);
    }
  }
  return indices;
}

} // namespace e2e
