// The firmware image of one update run and the framing that turns each
// 4096-byte sector into the 4100-byte stream the receiver is sent: 410
// packets of 10 bytes, with a trailer byte that numbers the sector.
#pragma once

#include <cstdint>
#include <cstdio>

inline constexpr int32_t SectorSize = 4096;
inline constexpr int32_t MaxSectors = 7;
inline constexpr int32_t ImageSize = SectorSize * MaxSectors; // 0x7000
inline constexpr int32_t PacketSize = 10;
inline constexpr int32_t SectorStreamSize = SectorSize + 4;
inline constexpr int32_t PacketsPerSector = SectorStreamSize / PacketSize; // 410
inline constexpr int32_t NameFieldSize = 16;

struct FirmwareImage {
  char Name[NameFieldSize];
  uint8_t Image[ImageSize];
  std::FILE* File;
  int32_t SectorCount;
};

enum class ImageLoadResult {
  Loaded,
  NotFound,    // missing, or not openable for reading and writing
  NameTooLong, // 16 characters or more: nothing is opened
  TooLarge,    // more whole sectors than the receiver holds: the file is closed again
};

// Opens the named file for reading and updating, reads up to 0x7000 bytes
// over the initial image (0xFF, then zeros) and counts the file's whole
// sectors. On success the file stays open in image.File.
ImageLoadResult LoadFirmwareImage(const char* name, FirmwareImage& image);

// Packet k (0 to 409) of sector i's stream into packet[0..9]. Stream bytes
// past the image are sent as 0x00.
void BuildSectorPacket(const FirmwareImage& image, int32_t sector, int32_t packetIndex, uint8_t* packet);

// The 8-bit sum of sector i's 4096 data bytes.
uint8_t SectorChecksum(const FirmwareImage& image, int32_t sector);

// The trailer byte of sector i: (i - 15) modulo 256.
constexpr uint8_t SectorTrailer(int32_t sector) {
  return static_cast<uint8_t>(sector - 15);
}
