// Board vendor detection on the simulated board: NVAPI first, then the AMD
// driver library, its required entries and the queries that detection makes.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "board/ati_driver.h"
#include "board/board_vendor.h"
#include "nvapi/nvapi_loader.h"
#include "sim/sim_control.h"
#include "tests/board/sim_board.h"
#include "tests/support/preloaded_library.h"

namespace {

using nlohmann::json;

// Not 0, so that an adapter argument of 0 cannot pass for it.
constexpr int32_t Primary = 2;

const json AmdBoard = {{"vendor", "amd"}};

size_t Count(const std::string& call) {
  return sim::TraceOf(call).size();
}

size_t LoadsOf(const std::string& lib) {
  size_t loads = 0;
  for (const json& line : sim::TraceOf("library_loaded")) {
    loads += line["lib"] == lib;
  }
  return loads;
}

// One value of every line of an ATIDL call, in call order.
std::vector<json> Each(const std::string& call, const std::string& key) {
  std::vector<json> values;
  for (const json& line : sim::TraceOf(call)) {
    values.push_back(line[key]);
  }
  return values;
}

class BoardVendorDetection : public board_test::SimBoardTest {
protected:
  void SetUp() override {
    SimBoardTest::SetUp();
    PrimaryAdapterIndex = Primary;
  }
  void TearDown() override {
    // Whatever the path, detection calls no entry that is bound only, and
    // every ATIDL call names the primary adapter.
    EXPECT_EQ(sim::TraceOf("uncalled_export"), std::vector<json>{});
    for (const json& line : sim::Trace()) {
      if (line["call"].get<std::string>().starts_with("ATIDL_")) {
        EXPECT_EQ(line["adapter"], Primary) << line;
      }
    }
    LoadScenario("{}");
    SimBoardTest::TearDown();
  }
};

TEST_F(BoardVendorDetection, NvidiaGpuWinsWithoutLoadingTheAmdLibrary) {
  LoadScenario(R"({"nvapi": {"gpu_count": 2}})");
  EXPECT_EQ(DetectBoardVendor(), BoardVendorNvidia);
  EXPECT_EQ(PhysicalGpuCount, 2u);
  EXPECT_EQ(PhysicalGpuHandles[0], reinterpret_cast<NvPhysicalGpuHandle>(sim::GpuHandle(0)));
  EXPECT_EQ(PhysicalGpuHandles[1], reinterpret_cast<NvPhysicalGpuHandle>(sim::GpuHandle(1)));
  EXPECT_EQ(LoadsOf("atipdlxx.dll"), 0u);
  EXPECT_EQ(AtiLibrary, nullptr);
}

// NVAPI does not yield a GPU; detection goes on to the AMD library.
struct NoNvidiaGpuCase {
  const char* Name;
  json Nvapi;
  NvAPI_Status UnloadAfter; // NvAPI_Unload afterwards: 0 while NVAPI stays initialised
};

void PrintTo(const NoNvidiaGpuCase& c, std::ostream* os) {
  *os << c.Name;
}

class NoNvidiaGpu : public BoardVendorDetection, public testing::WithParamInterface<NoNvidiaGpuCase> {};

TEST_P(NoNvidiaGpu, FallsToTheAmdLibraryAndLeavesNvapiAsItWas) {
  const NoNvidiaGpuCase& c = GetParam();
  LoadScenario(json{{"nvapi", c.Nvapi}}.dump());
  EXPECT_EQ(DetectBoardVendor(), BoardVendorAmd);
  EXPECT_EQ(LoadsOf("atipdlxx.dll"), 1u);
  EXPECT_NE(AtiLibrary, nullptr);
  EXPECT_EQ(Count("nvapi_unload"), 0u);
  EXPECT_EQ(NvAPI_Unload(), c.UnloadAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoNvidiaGpu,
    testing::Values(NoNvidiaGpuCase{"NoGpuCounted", {{"gpu_count", 0}}, NVAPI_OK},
                    NoNvidiaGpuCase{"EnumerationFails", {{"enum_status", -5}}, NVAPI_OK},
                    NoNvidiaGpuCase{"InitialiseFails", {{"initialize_status", -1}}, NVAPI_API_NOT_INITIALIZED}),
    [](const testing::TestParamInfo<NoNvidiaGpuCase>& info) { return info.param.Name; });

// atipdlxx.dll lacking one export.
struct MissingAtiExportCase {
  const char* Export;
  int32_t Vendor;
  size_t OdQueries;
  size_t AdapterQueries;
};

void PrintTo(const MissingAtiExportCase& c, std::ostream* os) {
  *os << c.Export;
}

class MissingAtiExport : public BoardVendorDetection, public testing::WithParamInterface<MissingAtiExportCase> {};

TEST_P(MissingAtiExport, OnlyTheThreeRequiredEntriesDecide) {
  const MissingAtiExportCase& c = GetParam();
  stand_ins::PreloadedLibrary variant("atipdlxx.dll", c.Export);
  ASSERT_TRUE(variant.Loaded());
  LoadScenario(AmdBoard.dump());
  EXPECT_EQ(DetectBoardVendor(), c.Vendor);
  EXPECT_EQ(Count("ATIDL_GetODParameters"), c.OdQueries);
  EXPECT_EQ(Count("ATIDL_EnumPhysicalAdapters"), c.AdapterQueries);

  // The tool keeps its hold on the library whatever the result.
  ASSERT_NE(AtiLibrary, nullptr);
  variant.Release();
  EXPECT_EQ(Count("library_unloaded"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, MissingAtiExport,
                         testing::Values(MissingAtiExportCase{"ATIDL_GetMVPUStatus", BoardVendorNone, 0, 0},
                                         MissingAtiExportCase{"ATIDL_GetODParameters", BoardVendorNone, 0, 0},
                                         MissingAtiExportCase{"ATIDL_SetODPerformanceLevels", BoardVendorNone, 0, 0},
                                         MissingAtiExportCase{"ATIDL_EnumPhysicalAdapters", BoardVendorAmd, 1, 0},
                                         MissingAtiExportCase{"ATIDL_WriteAndReadI2CEx", BoardVendorAmd, 1, 4}),
                         [](const testing::TestParamInfo<MissingAtiExportCase>& info) { return info.param.Export; });

TEST_F(BoardVendorDetection, MissingAdapterEnumerationLeavesTheAdapterTableAlone) {
  stand_ins::PreloadedLibrary variant("atipdlxx.dll", "ATIDL_EnumPhysicalAdapters");
  ASSERT_TRUE(variant.Loaded());
  LoadScenario(AmdBoard.dump());
  std::memset(PhysicalAdapterTable, 0x77, sizeof PhysicalAdapterTable);
  const auto before = std::vector<uint8_t>(reinterpret_cast<uint8_t*>(PhysicalAdapterTable),
                                           reinterpret_cast<uint8_t*>(PhysicalAdapterTable + 4));
  ASSERT_EQ(DetectBoardVendor(), BoardVendorAmd);
  EXPECT_EQ(std::memcmp(before.data(), PhysicalAdapterTable, before.size()), 0);
}

// The MVPU query and the OD-parameter queries it leads to.
struct OdQueryCase {
  const char* Name;
  json Ati;
  std::vector<json> GpuEntries; // third argument of each OD query: null or the GPU entry's index
};

void PrintTo(const OdQueryCase& c, std::ostream* os) {
  *os << c.Name;
}

class OdQueries : public BoardVendorDetection, public testing::WithParamInterface<OdQueryCase> {};

TEST_P(OdQueries, FollowTheGpuCount) {
  const OdQueryCase& c = GetParam();
  json scenario = AmdBoard;
  scenario["ati"] = c.Ati;
  LoadScenario(scenario.dump());
  EXPECT_EQ(DetectBoardVendor(), BoardVendorAmd);

  EXPECT_EQ(Each("ATIDL_GetMVPUStatus", "Size"), std::vector<json>{sizeof(MvpuStatus)});
  EXPECT_EQ(Each("ATIDL_GetMVPUStatus", "reservedNull"), std::vector<json>{true});
  EXPECT_EQ(Each("ATIDL_GetODParameters", "gpuEntry"), c.GpuEntries);
  EXPECT_EQ(Each("ATIDL_GetODParameters", "Size"), std::vector<json>(c.GpuEntries.size(), sizeof(OdParameters)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OdQueries,
    testing::Values(OdQueryCase{"MvpuFails", {{"mvpu_status", 3}, {"gpu_count", 3}}, {nullptr}},
                    OdQueryCase{"NoGpu", {{"gpu_count", 0}}, {}}, OdQueryCase{"OneGpu", {{"gpu_count", 1}}, {nullptr}},
                    OdQueryCase{"TwoGpus", {{"gpu_count", 2}}, {0, 1}},
                    OdQueryCase{"FiveGpus", {{"gpu_count", 5}}, {0, 1, 2, 3}},
                    OdQueryCase{"GpuCountWithTheTopBitSet", {{"gpu_count", 0x80000002u}}, {0, 1, 2, 3}},
                    OdQueryCase{"SecondQueryFails", {{"gpu_count", 4}, {"od_statuses", {0, 9}}}, {0, 1}},
                    OdQueryCase{"OnlyQueryFails", {{"gpu_count", 1}, {"od_statuses", {9}}}, {nullptr}}),
    [](const testing::TestParamInfo<OdQueryCase>& info) { return info.param.Name; });

TEST_F(BoardVendorDetection, EnumeratesFourAdaptersWhateverTheyAnswer) {
  for (const int32_t status : {0, 4}) {
    SCOPED_TRACE(status);
    LoadScenario(json{{"vendor", "amd"}, {"ati", {{"enum_adapters_status", status}}}}.dump());
    std::memset(PhysicalAdapterTable, 0, sizeof PhysicalAdapterTable);
    EXPECT_EQ(DetectBoardVendor(), BoardVendorAmd);
    EXPECT_EQ(Each("ATIDL_EnumPhysicalAdapters", "number"), (std::vector<json>{0, 1, 2, 3}));
    EXPECT_EQ(Each("ATIDL_EnumPhysicalAdapters", "Size"), std::vector<json>(4, sizeof(PhysicalAdapterRecord)));
    for (const PhysicalAdapterRecord& record : PhysicalAdapterTable) {
      EXPECT_EQ(record.Size, static_cast<int32_t>(sizeof(PhysicalAdapterRecord)));
    }
  }
}

TEST_F(BoardVendorDetection, RepeatedDetectionFreesTheEarlierAmdLibrary) {
  LoadScenario(AmdBoard.dump());
  ASSERT_EQ(DetectBoardVendor(), BoardVendorAmd);
  ASSERT_EQ(DetectBoardVendor(), BoardVendorAmd);
  EXPECT_EQ(LoadsOf("atipdlxx.dll"), 2u);
  EXPECT_EQ(Count("library_unloaded"), 1u);
}

// Run with no stand-in on the loader's search path; a test loads by full
// path the libraries it wants the tool to find.
class AbsentDriverLibraries : public BoardVendorDetection {
protected:
  void SetUp() override {
    ASSERT_FALSE(stand_ins::Findable("nvapi.dll")) << "run with LD_LIBRARY_PATH empty";
    ASSERT_FALSE(stand_ins::Findable("atipdlxx.dll")) << "run with LD_LIBRARY_PATH empty";
    BoardVendorDetection::SetUp();
  }
};

TEST_F(AbsentDriverLibraries, DecideByWhatCanBeLoaded) {
  struct Case {
    const char* Present; // the one driver library found, or none
    json Scenario;
    int32_t Vendor;
  };
  const Case cases[] = {
      {nullptr, json::object(), BoardVendorNone},
      {"nvapi.dll", AmdBoard, BoardVendorNone},
      {"atipdlxx.dll", AmdBoard, BoardVendorAmd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Present != nullptr ? c.Present : "neither");
    PrimaryAdapterIndex = Primary;
    std::optional<stand_ins::PreloadedLibrary> present;
    if (c.Present != nullptr) {
      ASSERT_TRUE(present.emplace(c.Present).Loaded());
    }
    LoadScenario(c.Scenario.dump());
    EXPECT_EQ(DetectBoardVendor(), c.Vendor);
    EXPECT_EQ(AtiLibrary != nullptr, c.Vendor == BoardVendorAmd);
    board_test::ResetToolState();
  }
}

} // namespace
