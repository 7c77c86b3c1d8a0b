// The simulated board as the board tests use it: one scenario loaded into the
// board model, the tool's process-wide state put back to its start around
// each test, and views of the trace.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace board_test {

// Frees whatever the tool loaded and puts the zeros of static storage back
// into the board vendor, the NVAPI and AMD driver state and the register
// library binding.
void ResetToolState();

// Changes the current directory for the lifetime of the object.
class CurrentDirectory {
public:
  explicit CurrentDirectory(const std::filesystem::path& directory);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
  std::filesystem::path previous_;
};

class SimBoardTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the board with the given scenario (JSON, see sim/README.md).
  static void LoadScenario(const std::string& json);
};

// A chip register access through KAV.DLL, in call order.
struct RegisterCall {
  bool write;
  uint32_t offset;
  uint32_t value; // read or written
  friend bool operator==(const RegisterCall&, const RegisterCall&) = default;
};
void PrintTo(const RegisterCall& call, std::ostream* os);

// Each passes 0 as its trailing argument and comes after MapChipRegisters.
std::vector<RegisterCall> RegisterCalls();

// The standard output printed while running action.
template <typename Action> std::string PrintedBy(Action action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

} // namespace board_test
