#include "tests/board/sim_board.h"

#include <cstring>

#include "board/ati_driver.h"
#include "board/board_vendor.h"
#include "board/register_access.h"
#include "nvapi/nvapi_loader.h"
#include "sim/sim_control.h"

namespace board_test {

void ResetToolState() {
  Kav.Release();
  Kav.ChipCount = 0;
  std::memset(Kav.ChipInfo, 0, sizeof Kav.ChipInfo);

  NvAPI_Unload();
  if (AtiLibrary != nullptr) {
    FreeLibrary(AtiLibrary);
  }
  AtiLibrary = nullptr;
  AtiEntryPoints = {};
  std::memset(PhysicalAdapterTable, 0, sizeof PhysicalAdapterTable);

  BoardVendor = BoardVendorNone;
  PrimaryAdapterIndex = 0;
  std::memset(PhysicalGpuHandles, 0, sizeof PhysicalGpuHandles);
  PhysicalGpuCount = 0;
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(directory);
}

CurrentDirectory::~CurrentDirectory() {
  std::filesystem::current_path(previous_);
}

void SimBoardTest::SetUp() {
  ResetToolState();
}

void SimBoardTest::TearDown() {
  ResetToolState();
}

void SimBoardTest::LoadScenario(const std::string& json) {
  std::string error;
  ASSERT_TRUE(sim::LoadScenarioText(json, &error)) << error;
}

void PrintTo(const RegisterCall& call, std::ostream* os) {
  *os << (call.write ? "write 0x" : "read 0x") << std::hex << call.offset << " = 0x" << call.value;
}

std::vector<RegisterCall> RegisterCalls() {
  std::vector<RegisterCall> calls;
  for (const nlohmann::json& line : sim::Trace()) {
    const std::string call = line["call"];
    if (call == "GetDWORDVGAMMIOData" || call == "WriteDWORDVGAMMIOData") {
      EXPECT_EQ(line["zero"], 0) << line;
      EXPECT_EQ(line["mapped"], true) << "register reached before the chip was mapped: " << line;
      calls.push_back({call == "WriteDWORDVGAMMIOData", line["offset"], line["value"]});
    }
  }
  return calls;
}

} // namespace board_test
