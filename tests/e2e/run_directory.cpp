#include "tests/e2e/run_directory.h"

#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <string>

namespace e2e {

RunDirectory::RunDirectory() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  do {
    Root = base / ("rxflash-e2e-" + std::to_string(random()));
  } while (!std::filesystem::create_directory(Root));
}

RunDirectory::~RunDirectory() {
  if (testing::Test::HasFailure()) {
    std::cout << "Run directory kept: " << Root.string() << "\n";
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(Root, ignored);
}

} // namespace e2e
