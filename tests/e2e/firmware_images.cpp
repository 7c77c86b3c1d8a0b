#include "tests/e2e/firmware_images.h"

namespace e2e {

std::vector<uint8_t> PatternImage(size_t size, uint8_t seed) {
  std::vector<uint8_t> image(size);
  for (size_t i = 0; i < size; ++i) {
    const size_t sector = i / SectorBytes;
    image[i] = static_cast<uint8_t>(i * 7 + (i >> 8) + sector * 31 + seed);
  }
  return image;
}

uint8_t SectorSum(const std::vector<uint8_t>& image, size_t sector) {
  uint8_t sum = 0;
  for (size_t i = 0; i < SectorBytes; ++i) {
    sum = static_cast<uint8_t>(sum + image.at(sector * SectorBytes + i));
  }
  return sum;
}

void MatchSumToLastPacketStart(std::vector<uint8_t>& image, size_t sector) {
  const size_t start = sector * SectorBytes;
  const uint8_t othersSum = static_cast<uint8_t>(SectorSum(image, sector) - image.at(start));
  image.at(start) = static_cast<uint8_t>(image.at(start + 4090) - othersSum);
}

std::vector<uint8_t> WholeSectors(const std::vector<uint8_t>& image) {
  return {image.begin(), image.begin() + static_cast<std::ptrdiff_t>(image.size() / SectorBytes * SectorBytes)};
}

} // namespace e2e
