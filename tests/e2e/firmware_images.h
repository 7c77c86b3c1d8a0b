// Firmware images the end-to-end tests write, and what the receiver should
// make of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace e2e {

inline constexpr size_t SectorBytes = 4096;
// Each sector goes to the receiver as 410 writes of 10 bytes.
inline constexpr size_t PacketsPerSector = 410;
inline constexpr size_t PacketBytes = 10;

// size bytes of a pattern that differs from sector to sector and from seed
// to seed, with every byte value occurring.
std::vector<uint8_t> PatternImage(size_t size, uint8_t seed = 0);

// The 8-bit sum of a sector's 4096 bytes.
uint8_t SectorSum(const std::vector<uint8_t>& image, size_t sector);

// Changes the sector's first byte so that its sum equals its byte 4090: the
// byte a packet buffer holds after the sector's last packet, so a failed
// checksum read that leaves the buffer alone would look like a match.
void MatchSumToLastPacketStart(std::vector<uint8_t>& image, size_t sector);

// The image's whole sectors, as the receiver's flash should hold them.
std::vector<uint8_t> WholeSectors(const std::vector<uint8_t>& image);

} // namespace e2e
