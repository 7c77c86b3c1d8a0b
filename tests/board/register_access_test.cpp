// Loading KAV.DLL from the current directory, binding its entries, detecting
// the chip and freeing the library, against the simulated board's stand-in.
#include "board/register_access.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/sim_control.h"
#include "tests/board/sim_board.h"

namespace {

namespace fs = std::filesystem;
using board_test::CurrentDirectory;

// The KAV.DLL loads and unloads the board saw, in order.
std::vector<std::string> KavLibraryEvents(const std::vector<nlohmann::json>& trace) {
  std::vector<std::string> events;
  for (const nlohmann::json& line : trace) {
    if ((line["call"] == "library_loaded" || line["call"] == "library_unloaded") && line["lib"] == "KAV.DLL") {
      events.push_back(line["call"]);
    }
  }
  return events;
}

const std::vector<std::string> LoadedOnly = {"library_loaded"};
const std::vector<std::string> LoadedAndFreed = {"library_loaded", "library_unloaded"};

class TemporaryDirectory {
public:
  TemporaryDirectory() {
    std::string pattern = (fs::temp_directory_path() / "rxflash-kav-XXXXXX").string();
    path_ = fs::canonical(mkdtemp(pattern.data()));
  }
  ~TemporaryDirectory() {
    fs::remove_all(path_);
  }
  const fs::path& path() const {
    return path_;
  }

private:
  fs::path path_;
};

class RegisterAccessTest : public board_test::SimBoardTest {
protected:
  void SetUp() override {
    SimBoardTest::SetUp();
    LoadScenario("{}");
  }
};

TEST_F(RegisterAccessTest, LoadsFromTheCurrentDirectoryAndBindsEveryEntry) {
  CurrentDirectory in(SIM_LIBS_DIR);
  ASSERT_EQ(Kav.Load(), 1);

  EXPECT_EQ(KavLibraryEvents(sim::Trace()), LoadedOnly);
#define EXPECT_BOUND(name, type) EXPECT_NE(Kav.name, nullptr) << #name;
  KAV_EXPORTS(EXPECT_BOUND)
#undef EXPECT_BOUND
  EXPECT_TRUE(sim::TraceOf("uncalled_export").empty());
}

// The loader's search path holds KAV.DLL, but the library is taken from the
// current directory only.
TEST_F(RegisterAccessTest, DirectoryWithoutTheLibraryLoadsNothing) {
  TemporaryDirectory empty;
  CurrentDirectory in(empty.path());

  EXPECT_EQ(Kav.Load(), 0);
  EXPECT_EQ(Kav.DetectChip(), 0);
  EXPECT_TRUE(sim::Trace().empty());
}

TEST_F(RegisterAccessTest, LoadingAgainFreesTheLibraryFirst) {
  CurrentDirectory in(SIM_LIBS_DIR);
  ASSERT_EQ(Kav.Load(), 1);
  ASSERT_EQ(Kav.Load(), 1);
  const std::vector<std::string> reloaded = {"library_loaded", "library_unloaded", "library_loaded"};
  EXPECT_EQ(KavLibraryEvents(sim::Trace()), reloaded);
}

TEST_F(RegisterAccessTest, ReleaseFreesOnceAndLeavesNoHandle) {
  CurrentDirectory in(SIM_LIBS_DIR);
  ASSERT_EQ(Kav.Load(), 1);
  Kav.Release();
  EXPECT_EQ(Kav.LibraryHandle, nullptr);
  Kav.Release();
  EXPECT_EQ(KavLibraryEvents(sim::Trace()), LoadedAndFreed);
}

TEST_F(RegisterAccessTest, DetectionWithoutALibraryCallsNothingAndKeepsTheCount) {
  Kav.ChipCount = 3;
  EXPECT_EQ(Kav.DetectChip(), 3);
  EXPECT_TRUE(sim::TraceOf("FindVGAChip").empty());
}

// The current directory's length decides whether "<directory>\KAV.DLL" fits
// the 128-byte path buffer with its NUL: 119 characters do, 120 do not.
class LibraryPathTest : public RegisterAccessTest, public testing::WithParamInterface<size_t> {};

TEST_P(LibraryPathTest, LoadsOnlyWhenThePathFits) {
  const size_t length = GetParam();
  TemporaryDirectory base;
  fs::path directory = base.path();
  while (length > directory.string().size() + 201) {
    directory /= std::string(150, 'd');
  }
  if (length > directory.string().size() + 1) {
    directory /= std::string(length - directory.string().size() - 1, 'd');
  }
  ASSERT_EQ(directory.string().size(), length) << "no directory of that length under " << base.path();
  fs::create_directories(directory);
  fs::create_symlink(fs::path(SIM_LIBS_DIR) / "KAV.DLL", directory / "KAV.DLL");
  CurrentDirectory in(directory);

  const bool fits = length + sizeof "\\KAV.DLL" <= 128;
  EXPECT_EQ(Kav.Load(), fits ? 1 : 0);
  EXPECT_EQ(KavLibraryEvents(sim::Trace()), fits ? LoadedOnly : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(DirectoryLengths, LibraryPathTest, testing::Values(119, 120, 300));

// Variants of the stand-in that lack one export each.
struct MissingExportCase {
  const char* name;
  int32_t loaded;
};

void PrintTo(const MissingExportCase& c, std::ostream* os) {
  *os << c.name;
}

class MissingExportTest : public RegisterAccessTest, public testing::WithParamInterface<MissingExportCase> {};

TEST_P(MissingExportTest, LibraryWithoutACalledEntryIsFreedAgain) {
  CurrentDirectory in(fs::path(SIM_VARIANTS_DIR) / GetParam().name);
  EXPECT_EQ(Kav.Load(), GetParam().loaded);

  EXPECT_EQ(KavLibraryEvents(sim::Trace()), GetParam().loaded ? LoadedOnly : LoadedAndFreed);
  EXPECT_EQ(Kav.LibraryHandle != nullptr, GetParam().loaded == 1);
}

INSTANTIATE_TEST_SUITE_P(Variants, MissingExportTest,
                         testing::Values(MissingExportCase{"FindVGAChip", 0}, MissingExportCase{"GetVGAMMIOAddress", 0},
                                         MissingExportCase{"GetDWORDVGAMMIOData", 0},
                                         MissingExportCase{"WriteDWORDVGAMMIOData", 0},
                                         MissingExportCase{"ReadI2C", 1}),
                         [](const testing::TestParamInfo<MissingExportCase>& info) { return info.param.name; });

// FindVGAChip answers per vendor ID; NVIDIA's is asked first on every board.
struct ChipCase {
  const char* label;
  const char* chips;
  std::vector<uint32_t> vendorsAsked;
  int32_t count;
};

void PrintTo(const ChipCase& c, std::ostream* os) {
  *os << c.label;
}

class DetectChipTest : public RegisterAccessTest, public testing::WithParamInterface<ChipCase> {};

TEST_P(DetectChipTest, AsksNvidiaThenAmdUntilACountAboveZero) {
  const ChipCase& c = GetParam();
  LoadScenario(std::string(R"({"kav": {"chips": )") + c.chips + "}}");
  CurrentDirectory in(SIM_LIBS_DIR);
  ASSERT_EQ(Kav.Load(), 1);

  EXPECT_EQ(Kav.DetectChip(), c.count);
  EXPECT_EQ(Kav.ChipCount, c.count);

  std::vector<uint32_t> asked;
  for (const nlohmann::json& call : sim::TraceOf("FindVGAChip")) {
    asked.push_back(call["vendorId"]);
    EXPECT_EQ(call["size"], 128);
  }
  EXPECT_EQ(asked, c.vendorsAsked);
  if (c.count > 0) {
    // The stand-in describes the chip found by its vendor ID.
    uint32_t described = 0;
    std::memcpy(&described, Kav.ChipInfo, sizeof described);
    EXPECT_EQ(described, c.vendorsAsked.back());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Boards, DetectChipTest,
    testing::Values(ChipCase{"Nvidia", R"({"0x10DE": 1, "0x1002": 1})", {0x10DE}, 1},
                    ChipCase{"Amd", R"({"0x10DE": 0, "0x1002": 1})", {0x10DE, 0x1002}, 1},
                    ChipCase{"NvidiaNegative", R"({"0x10DE": -1, "0x1002": 2})", {0x10DE, 0x1002}, 2},
                    ChipCase{"None", R"({"0x10DE": 0, "0x1002": 0})", {0x10DE, 0x1002}, 0},
                    ChipCase{"BothNegative", R"({"0x10DE": -1, "0x1002": -2})", {0x10DE, 0x1002}, -2}),
    [](const testing::TestParamInfo<ChipCase>& info) { return info.param.label; });

// A command that reaches Release and one that stops before it: either way the
// library is freed exactly once, by Release or by the release at exit.
class ReleaseAtExitTest : public RegisterAccessTest, public testing::WithParamInterface<bool> {};

TEST_P(ReleaseAtExitTest, FreesTheLibraryOnce) {
  const bool released = GetParam();
  TemporaryDirectory traceDirectory;
  const fs::path tracePath = traceDirectory.path() / "trace.jsonl";

  EXPECT_EXIT(
      {
        LoadScenario(nlohmann::json{{"trace", tracePath.string()}}.dump());
        CurrentDirectory in(SIM_LIBS_DIR);
        if (Kav.Load() != 1) {
          std::exit(2);
        }
        if (released) {
          Kav.Release();
        }
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");

  std::vector<nlohmann::json> trace;
  std::ifstream lines(tracePath);
  for (std::string line; std::getline(lines, line);) {
    trace.push_back(nlohmann::json::parse(line));
  }
  ASSERT_EQ(KavLibraryEvents(trace), LoadedAndFreed);
  for (const nlohmann::json& line : trace) {
    if (line["call"] == "library_unloaded" && line["lib"] == "KAV.DLL") {
      EXPECT_EQ(line["exiting"], !released);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, ReleaseAtExitTest, testing::Bool(), [](const testing::TestParamInfo<bool>& info) {
  return info.param ? "ReleasedThenExit" : "StoppedBeforeRelease";
});

} // namespace
