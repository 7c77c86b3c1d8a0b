// Loading a firmware file into the image and framing its sectors into the
// 410 ten-byte packets the receiver is sent.
#include "receiver/firmware_image.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every test runs in a fresh directory of its own, since image names are
// short relative names.
class FirmwareFileTest : public testing::Test {
protected:
  void SetUp() override {
    previous_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "rxflash-image-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    fs::current_path(directory_);
  }

  void TearDown() override {
    if (image_->File != nullptr) {
      std::fclose(image_->File);
    }
    fs::current_path(previous_);
    fs::remove_all(directory_);
  }

  static void WriteFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  std::unique_ptr<FirmwareImage> image_ = std::make_unique<FirmwareImage>();

private:
  fs::path previous_;
  fs::path directory_;
};

// File content that differs from the image's initial content almost
// everywhere, and from one sector to the next.
uint8_t FileByte(size_t offset) {
  return static_cast<uint8_t>(offset * 31 + 7);
}

std::vector<uint8_t> PatternFile(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = FileByte(i);
  }
  return bytes;
}

// What the image should hold after loading a file of fileSize bytes, followed
// by the four stream positions of sector 6 past the image: the trailer's and
// the three filler bytes, sent as 0x00.
std::vector<uint8_t> ExpectedImage(size_t fileSize) {
  std::vector<uint8_t> expected(ImageSize + 4, 0x00);
  expected[0] = 0xFF;
  for (size_t i = 0; i < fileSize && i < static_cast<size_t>(ImageSize); ++i) {
    expected[i] = FileByte(i);
  }
  return expected;
}

// The 4100-byte stream of a sector, gathered from its 410 packets.
std::vector<uint8_t> SentStream(const FirmwareImage& image, int32_t sector) {
  std::vector<uint8_t> stream(PacketsPerSector * PacketSize);
  for (int32_t k = 0; k < PacketsPerSector; ++k) {
    BuildSectorPacket(image, sector, k, stream.data() + k * PacketSize);
  }
  return stream;
}

// The first offset at which the two ranges differ, -1 when they agree.
long FirstDifference(const uint8_t* actual, const uint8_t* expected, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (actual[i] != expected[i]) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

size_t OpenDescriptorCount() {
  return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
}

struct FileCase {
  const char* label;
  const char* name;
  size_t size;
  ImageLoadResult result;
  int32_t sectorCount;
};

const FileCase FileCases[] = {
    {"Empty", "empty.bin", 0, ImageLoadResult::Loaded, 0},
    {"OneByteShort", "short.bin", 4095, ImageLoadResult::Loaded, 0},
    {"OneSector", "one.bin", 4096, ImageLoadResult::Loaded, 1},
    {"TwoSectorsAndPart", "10000.bin", 10000, ImageLoadResult::Loaded, 2},
    {"FullImage", "full.bin", 0x7000, ImageLoadResult::Loaded, 7},
    {"FullImageAndPart", "over.bin", 0x7FFF, ImageLoadResult::Loaded, 7},
    {"FifteenCharName", "fifteen_chars.b", 4096, ImageLoadResult::Loaded, 1},
    {"EightSectors", "eight.bin", 0x8000, ImageLoadResult::TooLarge, 0},
    {"NineSectors", "40000.bin", 40000, ImageLoadResult::TooLarge, 0},
    {"SixteenCharName", "sixteen_chars.bi", 4096, ImageLoadResult::NameTooLong, 0},
};

void PrintTo(const FileCase& c, std::ostream* os) {
  *os << c.label;
}

class FramingTest : public FirmwareFileTest, public testing::WithParamInterface<FileCase> {};

TEST_P(FramingTest, LoadsCountsAndFramesTheFile) {
  const FileCase& c = GetParam();
  WriteFile(c.name, PatternFile(c.size));
  image_->SectorCount = -7;
  const size_t descriptorsBefore = OpenDescriptorCount();

  ASSERT_EQ(LoadFirmwareImage(c.name, *image_), c.result);

  if (c.result != ImageLoadResult::Loaded) {
    EXPECT_EQ(image_->File, nullptr);
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore) << "the refused file is left open";
    return;
  }
  EXPECT_EQ(image_->SectorCount, c.sectorCount);
  ASSERT_NE(image_->File, nullptr);
  char field[NameFieldSize] = {};
  std::strcpy(field, c.name);
  EXPECT_EQ(std::memcmp(image_->Name, field, NameFieldSize), 0) << "name field not NUL-filled";

  const std::vector<uint8_t> expected = ExpectedImage(c.size);
  EXPECT_EQ(FirstDifference(image_->Image, expected.data(), ImageSize), -1);

  for (int32_t sector = 0; sector < MaxSectors; ++sector) {
    SCOPED_TRACE(testing::Message() << "sector " << sector);
    const uint8_t* data = expected.data() + sector * SectorSize;
    std::vector<uint8_t> stream(data, data + SectorStreamSize);
    stream[SectorSize] = static_cast<uint8_t>(0xF1 + sector);
    EXPECT_EQ(FirstDifference(SentStream(*image_, sector).data(), stream.data(), stream.size()), -1);

    uint8_t sum = 0;
    for (int32_t i = 0; i < SectorSize; ++i) {
      sum = static_cast<uint8_t>(sum + data[i]);
    }
    EXPECT_EQ(SectorChecksum(*image_, sector), sum);
  }
}

INSTANTIATE_TEST_SUITE_P(FileSizes, FramingTest, testing::ValuesIn(FileCases),
                         [](const testing::TestParamInfo<FileCase>& info) { return info.param.label; });

TEST_F(FirmwareFileTest, LongNameOpensNeitherItNorItsFirstFifteenCharacters) {
  WriteFile("sixteen_chars.bi", PatternFile(4096));
  WriteFile("sixteen_chars.b", PatternFile(4096));

  EXPECT_EQ(LoadFirmwareImage("sixteen_chars.bi", *image_), ImageLoadResult::NameTooLong);
  EXPECT_EQ(image_->File, nullptr);
}

TEST_F(FirmwareFileTest, MissingFileIsNotFound) {
  EXPECT_EQ(LoadFirmwareImage("missing.bin", *image_), ImageLoadResult::NotFound);
  EXPECT_EQ(image_->File, nullptr);
}

// Clears the override of file permissions from the effective capabilities,
// so that even root cannot open a read-only file for writing, and restores
// it afterwards.
class WithoutPermissionOverride {
public:
  WithoutPermissionOverride() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    syscall(SYS_capget, &header_, saved_);
    __user_cap_data_struct lowered[2];
    std::memcpy(lowered, saved_, sizeof lowered);
    lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER);
    syscall(SYS_capset, &header_, lowered);
  }
  ~WithoutPermissionOverride() {
    syscall(SYS_capset, &header_, saved_);
  }

private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
};

TEST_F(FirmwareFileTest, ReadOnlyFileIsNotFound) {
  WriteFile("readonly.bin", PatternFile(4096));
  ASSERT_EQ(chmod("readonly.bin", 0444), 0);

  WithoutPermissionOverride asPlainUser;
  const int probe = open("readonly.bin", O_RDWR);
  if (probe >= 0) {
    close(probe);
  }
  ASSERT_LT(probe, 0) << "the file is still writable";
  EXPECT_EQ(LoadFirmwareImage("readonly.bin", *image_), ImageLoadResult::NotFound);
  EXPECT_EQ(image_->File, nullptr);
}

// Checksums of sectors whose sum is known from their content alone.
struct ChecksumCase {
  const char* label;
  std::vector<uint8_t> file;
  uint8_t checksum;
};

void PrintTo(const ChecksumCase& c, std::ostream* os) {
  *os << c.label;
}

class SectorChecksumTest : public FirmwareFileTest, public testing::WithParamInterface<ChecksumCase> {};

TEST_P(SectorChecksumTest, SumsTheSectorModulo256) {
  WriteFile("sector.bin", GetParam().file);
  ASSERT_EQ(LoadFirmwareImage("sector.bin", *image_), ImageLoadResult::Loaded);
  EXPECT_EQ(SectorChecksum(*image_, 0), GetParam().checksum);
}

std::vector<uint8_t> OneThenZeros() {
  std::vector<uint8_t> bytes(SectorSize, 0x00);
  bytes[0] = 0x01;
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(KnownSums, SectorChecksumTest,
                         testing::Values(ChecksumCase{"EmptyFileKeepsLeading0xFF", {}, 0xFF},
                                         ChecksumCase{"All0xFF", std::vector<uint8_t>(SectorSize, 0xFF), 0x00},
                                         ChecksumCase{"OneThenZeros", OneThenZeros(), 0x01}),
                         [](const testing::TestParamInfo<ChecksumCase>& info) { return info.param.label; });

TEST(SectorPacketTest, SectorThreeTrailerIsByteSixOfTheLastPacket) {
  auto image = std::make_unique<FirmwareImage>();
  std::memset(image.get(), 0x00, sizeof *image);
  uint8_t packet[PacketSize];
  BuildSectorPacket(*image, 3, 409, packet);
  EXPECT_EQ(packet[6], 0xF4);
}

// Sector 6's last packet ends past the image. With every byte of the image
// record set, a read past the image buffer would show up as 0xFF filler.
TEST(SectorPacketTest, LastSectorFillerPastTheImageIsZero) {
  auto image = std::make_unique<FirmwareImage>();
  std::memset(image.get(), 0xFF, sizeof *image);
  uint8_t packet[PacketSize];
  BuildSectorPacket(*image, MaxSectors - 1, PacketsPerSector - 1, packet);
  const uint8_t expected[PacketSize] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF7, 0x00, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(packet, expected, PacketSize), 0);
}

} // namespace
