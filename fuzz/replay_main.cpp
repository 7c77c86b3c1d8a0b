// Runs the fuzz target once over each input file named on the command line,
// or found in a directory named there: the seed corpus and the kept crash
// inputs, replayed as a regression test by builds without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::set<fs::path> InputFiles(int argc, char** argv) {
  std::set<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path path = fs::absolute(argv[i]);
    if (!fs::is_directory(path)) {
      files.insert(path);
      continue;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
      if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
        files.insert(entry.path());
      }
    }
  }
  return files;
}

} // namespace

int main(int argc, char** argv) {
  const std::set<fs::path> files = InputFiles(argc, argv); // before the target changes directory
  LLVMFuzzerInitialize(&argc, &argv);
  for (const fs::path& file : files) {
    std::ifstream stream(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (!stream.good() && !stream.eof()) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", files.size());
  return files.empty() ? 1 : 0;
}
