// The entry's board preparation on the simulated board: the scan for the
// primary display adapter, and what runs before the command line is read.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/board_preparation.h"
#include "app/display_device_record.h"
#include "board/board_vendor.h"
#include "sim/sim_control.h"
#include "tests/board/sim_board.h"
#include "tests/support/preloaded_library.h"

namespace {

using nlohmann::json;

class BoardPreparation : public board_test::SimBoardTest {
protected:
  void TearDown() override {
    LoadScenario("{}");
    SimBoardTest::TearDown();
  }
};

struct DisplayScanCase {
  const char* Name;
  std::vector<uint32_t> Flags; // state flags of the display devices, by position
  int32_t Primary;
};

void PrintTo(const DisplayScanCase& c, std::ostream* os) {
  *os << c.Name;
}

class DisplayScan : public BoardPreparation, public testing::WithParamInterface<DisplayScanCase> {};

TEST_P(DisplayScan, TakesTheLastDeviceFlaggedExactlyAttachedAndPrimary) {
  const DisplayScanCase& c = GetParam();
  LoadScenario(json{{"display_devices", c.Flags}}.dump());
  EXPECT_EQ(FindPrimaryAdapter(), c.Primary);

  // Every device is asked for in turn, with a fresh record, up to the first
  // position the system does not know.
  const std::vector<json> calls = sim::TraceOf("EnumDisplayDevicesA");
  ASSERT_EQ(calls.size(), c.Flags.size() + 1);
  for (size_t position = 0; position < calls.size(); ++position) {
    const json& call = calls[position];
    EXPECT_EQ(call["index"], position);
    EXPECT_EQ(call["device"], nullptr);
    EXPECT_EQ(call["cb"], sizeof(DisplayDeviceRecord));
    EXPECT_EQ(call["flags"], 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DisplayScan,
                         testing::Values(DisplayScanCase{"NoDevice", {}, 0},
                                         DisplayScanCase{"PrimaryAfterAnAttachedOne", {0x1, 0x5}, 1},
                                         DisplayScanCase{"LastOfTwoPrimariesWins", {0x5, 0x0, 0x5}, 2},
                                         DisplayScanCase{"NoneExactlyFive", {0x1, 0x4, 0x0}, 0},
                                         DisplayScanCase{"FurtherBitsDisqualify", {0x1, 0xD, 0x15, 0x80000005}, 0},
                                         DisplayScanCase{"LaterNearMissDoesNotWin", {0x0, 0x5, 0x7, 0x4}, 1}),
                         [](const testing::TestParamInfo<DisplayScanCase>& info) { return info.param.Name; });

TEST_F(BoardPreparation, ScanOfAnEnumerationThatNeverEndsStillEnds) {
  LoadScenario(R"({"display_devices": [0, 5], "display_devices_endless": true})");
  EXPECT_EQ(FindPrimaryAdapter(), 1);
}

// The driver calls of the preparation, in order.
std::vector<std::string> DriverCalls() {
  std::vector<std::string> calls;
  for (const json& line : sim::Trace()) {
    const std::string call = line["call"];
    if (call == "EnumDisplayDevicesA" || call == "nvapi_initialize" || call == "NvAPI_EnumPhysicalGPUs" ||
        call.starts_with("ATIDL_")) {
      calls.push_back(call);
    }
  }
  return calls;
}

TEST_F(BoardPreparation, NvidiaBoardIsInitialisedAndEnumeratedTwice) {
  LoadScenario(R"({"vendor": "nvidia", "display_devices": [0, 5]})");
  PrepareBoard();
  EXPECT_EQ(PrimaryAdapterIndex, 1);
  EXPECT_EQ(BoardVendor, BoardVendorNvidia);
  EXPECT_EQ(PhysicalGpuCount, 1u);
  EXPECT_EQ(DriverCalls(), (std::vector<std::string>{
                               "EnumDisplayDevicesA", "EnumDisplayDevicesA", "EnumDisplayDevicesA", "nvapi_initialize",
                               "NvAPI_EnumPhysicalGPUs", "nvapi_initialize", "NvAPI_EnumPhysicalGPUs"}));
}

TEST_F(BoardPreparation, AmdBoardGetsThePrimaryAdapterAndNoSecondNvapiRound) {
  LoadScenario(R"({"vendor": "amd", "display_devices": [0, 5]})");
  PrepareBoard();
  EXPECT_EQ(PrimaryAdapterIndex, 1);
  EXPECT_EQ(BoardVendor, BoardVendorAmd);
  EXPECT_EQ(DriverCalls(),
            (std::vector<std::string>{
                "EnumDisplayDevicesA", "EnumDisplayDevicesA", "EnumDisplayDevicesA", "nvapi_initialize",
                "NvAPI_EnumPhysicalGPUs", "ATIDL_GetMVPUStatus", "ATIDL_GetODParameters", "ATIDL_EnumPhysicalAdapters",
                "ATIDL_EnumPhysicalAdapters", "ATIDL_EnumPhysicalAdapters", "ATIDL_EnumPhysicalAdapters"}));
  for (const json& line : sim::Trace()) {
    if (line["call"].get<std::string>().starts_with("ATIDL_")) {
      EXPECT_EQ(line["adapter"], 1) << line;
    }
  }
}

// Run with no stand-in on the loader's search path. USER32 stays loaded once
// the scan has loaded it, so the case without the library comes first.
class AbsentUser32 : public BoardPreparation {
protected:
  void SetUp() override {
    ASSERT_FALSE(stand_ins::Findable("USER32")) << "run with LD_LIBRARY_PATH empty";
    BoardPreparation::SetUp();
  }
};

TEST_F(AbsentUser32, ScanWithoutTheLibraryFindsNoPrimary) {
  LoadScenario("{}");
  EXPECT_EQ(FindPrimaryAdapter(), 0);
}

TEST_F(AbsentUser32, ScanWithoutTheExportFindsNoPrimary) {
  stand_ins::PreloadedLibrary user32("USER32", "EnumDisplayDevicesA");
  ASSERT_TRUE(user32.Loaded());
  LoadScenario(R"({"display_devices": [0, 5]})");
  EXPECT_EQ(FindPrimaryAdapter(), 0);
}

} // namespace
