// Fuzz target over the firmware image path: a file of any content and length
// under any name, loaded with LoadFirmwareImage, every packet of every sector
// the update would send built with BuildSectorPacket, and every sector's
// SectorChecksum. Each result is checked against what the file's bytes say;
// a difference aborts, which the fuzzer keeps as a crash.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzzer_arguments.h"
#include "fuzz/private_directory.h"
#include "receiver/firmware_image.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "firmware image fuzz: %s\n", what);
    std::abort();
  }
}

// What LoadFirmwareImage must answer for this name, judged from the file
// system itself.
ImageLoadResult ExpectedLoad(const std::string& name) {
  if (name.size() >= NameFieldSize) {
    return ImageLoadResult::NameTooLong;
  }
  struct stat status {};
  if (name.empty() || stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
      access(name.c_str(), R_OK | W_OK) != 0) {
    return ImageLoadResult::NotFound;
  }
  return status.st_size / SectorSize > MaxSectors ? ImageLoadResult::TooLarge : ImageLoadResult::Loaded;
}

// Image byte at offset as the update must send it: the file's byte while the
// file and the 0x7000-byte image cover it, the image's initial content (0xFF
// at 0, 0x00 elsewhere) where only the image does, 0x00 past the image.
uint8_t ExpectedImageByte(const std::vector<uint8_t>& file, int32_t offset) {
  if (offset >= ImageSize) {
    return 0x00;
  }
  if (static_cast<size_t>(offset) < file.size()) {
    return file[static_cast<size_t>(offset)];
  }
  return offset == 0 ? 0xFF : 0x00;
}

void CheckLoadedImage(const FirmwareImage& image, const std::vector<uint8_t>& file) {
  Require(image.File != nullptr, "loaded image without an open file");
  Require(image.SectorCount == static_cast<int32_t>(file.size() / SectorSize), "wrong sector count");
  Require(image.SectorCount <= MaxSectors, "more sectors than the image holds");

  for (int32_t sector = 0; sector < image.SectorCount; ++sector) {
    const int32_t start = sector * SectorSize;
    uint8_t sum = 0;
    for (int32_t k = 0; k < PacketsPerSector; ++k) {
      uint8_t packet[PacketSize + 1];
      packet[PacketSize] = 0x5A; // must stay: a packet is 10 bytes
      BuildSectorPacket(image, sector, k, packet);
      Require(packet[PacketSize] == 0x5A, "packet written past its 10 bytes");
      for (int32_t m = 0; m < PacketSize; ++m) {
        const int32_t position = k * PacketSize + m;
        const uint8_t expected =
            position == SectorSize ? static_cast<uint8_t>(sector + 241) : ExpectedImageByte(file, start + position);
        Require(packet[m] == expected, "packet byte differs from the sector stream");
        if (position < SectorSize) {
          sum = static_cast<uint8_t>(sum + expected);
        }
      }
    }
    Require(SectorChecksum(image, sector) == sum, "checksum differs from the sum of the sector's bytes");
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::MakePathsAbsolute(argc, argv);
  fuzz::EnterPrivateDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::FuzzInput input = fuzz::DecodeInput(data, size);
  const std::string name = fuzz::ContainedName(input.name);
  fuzz::Place(name, input.placement, input.contents);
  const ImageLoadResult expected = ExpectedLoad(name);

  // On the heap and filled with a marker, so that a read of anything the
  // loader should have set shows.
  auto image = std::make_unique<FirmwareImage>();
  std::memset(image.get(), 0xA5, sizeof(FirmwareImage));
  const ImageLoadResult result = LoadFirmwareImage(name.c_str(), *image);
  Require(result == expected, "unexpected load result");
  if (result == ImageLoadResult::Loaded) {
    CheckLoadedImage(*image, input.contents);
    std::fclose(image->File);
  }
  fuzz::ClearRunDirectory();
  return 0;
}
