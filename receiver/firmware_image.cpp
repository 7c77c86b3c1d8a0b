#include "receiver/firmware_image.h"

#include <cstring>

ImageLoadResult LoadFirmwareImage(const char* name, FirmwareImage& image) {
  // The name must fit the 16-byte field with its terminating NUL; a name cut
  // short could open another file.
  if (std::strlen(name) >= NameFieldSize) {
    return ImageLoadResult::NameTooLong;
  }
  std::strncpy(image.Name, name, NameFieldSize);

  image.File = std::fopen(image.Name, "rb+");
  if (image.File == nullptr) {
    return ImageLoadResult::NotFound;
  }

  // What the file does not cover keeps this initial content.
  std::memset(image.Image, 0, sizeof image.Image);
  image.Image[0] = 0xFF;
  [[maybe_unused]] size_t bytesRead = std::fread(image.Image, 1, sizeof image.Image, image.File);

  std::fseek(image.File, 0, SEEK_END);
  const long length = std::ftell(image.File);
  const long wholeSectors = length < 0 ? 0 : length / SectorSize;
  if (wholeSectors > MaxSectors) {
    // The receiver holds seven sectors; anything sent past the image would
    // be flashed as firmware.
    std::fclose(image.File);
    image.File = nullptr;
    return ImageLoadResult::TooLarge;
  }
  image.SectorCount = static_cast<int32_t>(wholeSectors);
  return ImageLoadResult::Loaded;
}

void BuildSectorPacket(const FirmwareImage& image, int32_t sector, int32_t packetIndex, uint8_t* packet) {
  const int32_t sectorStart = sector * SectorSize;
  for (int32_t m = 0; m < PacketSize; ++m) {
    const int32_t position = packetIndex * PacketSize + m;
    const int32_t offset = sectorStart + position;
    if (position == SectorSize) {
      packet[m] = SectorTrailer(sector);
    } else if (offset >= 0 && offset < ImageSize) {
      packet[m] = image.Image[offset];
    } else {
      packet[m] = 0;
    }
  }
}

uint8_t SectorChecksum(const FirmwareImage& image, int32_t sector) {
  if (sector < 0 || sector >= MaxSectors) {
    return 0; // a sector past the image holds nothing but zeros
  }
  uint8_t sum = 0;
  const uint8_t* data = image.Image + sector * SectorSize;
  for (int32_t i = 0; i < SectorSize; ++i) {
    sum = static_cast<uint8_t>(sum + data[i]);
  }
  return sum;
}
