// The pure firmware-image work of an update: framing a whole sector into its
// 410 packets, summing it, and loading a seven-sector image file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "receiver/firmware_image.h"

namespace {

// An image whose every byte differs from its neighbours, like real firmware.
void FillImage(FirmwareImage& image) {
  uint32_t state = 0x12345678;
  for (uint8_t& byte : image.Image) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  image.SectorCount = MaxSectors;
}

FirmwareImage& SharedImage() {
  static FirmwareImage image = [] {
    FirmwareImage filled{};
    FillImage(filled);
    return filled;
  }();
  return image;
}

// All 410 packets of one sector, each into the same 10-byte buffer, as the
// update does before each packet write.
void BM_BuildSectorPackets(benchmark::State& state) {
  const FirmwareImage& image = SharedImage();
  const auto sector = static_cast<int32_t>(state.range(0));
  uint8_t packet[PacketSize] = {};
  for (auto _ : state) {
    for (int32_t k = 0; k < PacketsPerSector; ++k) {
      BuildSectorPacket(image, sector, k, packet);
      benchmark::DoNotOptimize(packet);
    }
  }
  state.SetBytesProcessed(state.iterations() * SectorStreamSize);
}
// Sector 0 is framed from image bytes only; sector 6 also has the filler
// bytes past the image's end.
BENCHMARK(BM_BuildSectorPackets)->Arg(0)->Arg(6);

void BM_SectorChecksum(benchmark::State& state) {
  const FirmwareImage& image = SharedImage();
  const auto sector = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(SectorChecksum(image, sector));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * SectorSize);
}
BENCHMARK(BM_SectorChecksum)->Arg(0);

// What the update does to one sector before its pause: 410 packets and the sum.
void BM_FrameAndSumSector(benchmark::State& state) {
  const FirmwareImage& image = SharedImage();
  uint8_t packet[PacketSize] = {};
  for (auto _ : state) {
    for (int32_t k = 0; k < PacketsPerSector; ++k) {
      BuildSectorPacket(image, 3, k, packet);
      benchmark::DoNotOptimize(packet);
    }
    benchmark::DoNotOptimize(SectorChecksum(image, 3));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameAndSumSector);

// A seven-sector file in a fresh directory, which becomes the current one:
// image names are short relative names.
class ImageFile : public benchmark::Fixture {
public:
  void SetUp(const benchmark::State&) override {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "rxflash-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::abort();
    }
    directory_ = pattern;
    std::filesystem::current_path(directory_);
    std::ofstream file(FileName, std::ios::binary);
    file.write(reinterpret_cast<const char*>(SharedImage().Image), ImageSize);
  }

  void TearDown(const benchmark::State&) override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(directory_);
  }

  static constexpr char FileName[] = "fw7.bin";

private:
  std::filesystem::path previous_;
  std::filesystem::path directory_;
};

// Open, read 0x7000 bytes, measure the file; the close that the update makes
// at its end is included, so that every iteration starts alike.
BENCHMARK_F(ImageFile, LoadFirmwareImage)(benchmark::State& state) {
  static FirmwareImage image;
  for (auto _ : state) {
    if (LoadFirmwareImage(FileName, image) != ImageLoadResult::Loaded || image.SectorCount != MaxSectors) {
      state.SkipWithError("the seven-sector file did not load");
      break;
    }
    std::fclose(image.File);
  }
}

} // namespace
