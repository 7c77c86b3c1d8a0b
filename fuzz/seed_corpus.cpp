// Writes the fuzz target's seed corpus into the directory given: files at the
// sector boundaries and the image's size limits, under names at the loader's
// length limit and with the characters a command line can carry.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace {

struct Seed {
  const char* file;
  std::string name;
  fuzz::Placement placement;
  size_t size;
};

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<uint8_t>(i * 13 + i / 4096);
  }
  return bytes;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  using fuzz::Placement;
  const Seed seeds[] = {
      {"empty-file", "fw.bin", Placement::File, 0},
      {"one-short", "fw.bin", Placement::File, 4095},
      {"one-sector", "fw.bin", Placement::File, 4096},
      {"two-and-a-bit", "fw.bin", Placement::File, 10000},
      {"seven-sectors", "fw.bin", Placement::File, 28672},
      {"too-large", "fw.bin", Placement::File, 40000},
      {"missing", "fw.bin", Placement::Nothing, 0},
      {"directory", "fw.bin", Placement::Directory, 0},
      {"read-only", "fw.bin", Placement::ReadOnlyFile, 4096},
      {"empty-name", "", Placement::File, 4096},
      {"name-15", "abcdefghijk.bin", Placement::File, 4096},
      {"name-16", "abcdefghijkl.bin", Placement::File, 4096},
      {"name-300", std::string(300, 'n'), Placement::File, 4096},
      {"spaces", "a b c.bin", Placement::File, 4096},
      {"quotes", "\"q\" 'r'.bin", Placement::File, 4096},
      {"subdirectory", "sub/fw.bin", Placement::File, 8192},
      {"backslash", "sub\\fw.bin", Placement::File, 8192},
      {"climbing", "../fw.bin", Placement::File, 4096},
      {"absolute", "/tmp/fw.bin", Placement::File, 4096},
  };
  const std::filesystem::path directory = argv[1];
  std::filesystem::create_directories(directory);
  for (const Seed& seed : seeds) {
    const std::vector<uint8_t> bytes = fuzz::EncodeInput(seed.name, seed.placement, Pattern(seed.size));
    std::ofstream(directory / seed.file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  return 0;
}
