// Hostile inputs, end to end: what a user, a script or a broken machine may
// hand the tool instead of a firmware image, a key or a display driver. Each
// run is checked as in the fault sweep (run_check.h) and the counts printed.
#include <gtest/gtest.h>

#include "tests/e2e/firmware_images.h"
#include "tests/e2e/tool_runner.h"
#include "tests/reliability/board_runs.h"
#include "tests/reliability/run_all.h"

namespace reliability {
namespace {

constexpr unsigned Concurrency = 8;
// The product stops its scan of the display devices here.
constexpr size_t DisplayScanLimit = 256;

const std::vector<uint8_t>& OneSector() {
  static const std::vector<uint8_t> image = e2e::PatternImage(e2e::SectorBytes, 0x5B);
  return image;
}

RunCase Refused(const std::string& label, Board board, e2e::ToolRun run, const std::string& message) {
  RunCase c{.label = label, .run = std::move(run)};
  c.expected.output = UpdateStart(board) + message;
  c.expected.exitStatus = -1;
  c.expected.packetWrites = 0;
  return c;
}

// An update whose image is named `name`, with the file under that name.
e2e::ToolRun NamedUpdate(Board board, const std::string& name) {
  e2e::ToolRun run = UpdateRun(board, OneSector());
  run.arguments = {name};
  run.files.front().name = name;
  return run;
}

TEST(HostileInputs, ImageThatCannotBeRead) {
  std::vector<RunCase> cases;
  for (const char* directory : {".", ".."}) {
    e2e::ToolRun run = UpdateRun(Board::Nvidia, OneSector());
    run.arguments = {directory};
    cases.push_back(
        Refused(std::string("directory ") + directory + " as the image", Board::Nvidia, run, ImageNotFound));
  }
  if (e2e::SelectedRunner().ObeysFilePermissions()) {
    for (Board board : {Board::Nvidia, Board::Amd}) {
      e2e::ToolRun run = UpdateRun(board, OneSector());
      run.files.front().unreadable = true;
      cases.push_back(Refused("image without read permission", board, run, ImageNotFound));
    }
  }
  cases.push_back(Refused("empty name", Board::Amd, NamedUpdate(Board::Amd, ""), ImageNotFound));
  cases.push_back(Refused("name of 300 characters", Board::Nvidia, NamedUpdate(Board::Nvidia, std::string(300, 'n')),
                          "\tFirmware file name is too long\n"));
  Report("images that cannot be used: directories, no read permission, empty and overlong names",
         RunAll(cases, Concurrency));
}

// Names a command line can carry that are still plain file names.
TEST(HostileInputs, NamesWithSpacesAndQuotes) {
  std::vector<RunCase> cases;
  for (const char* name : {"a b.bin", "\"q\".bin", "it's fw.bin", " fifteen  chars"}) {
    RunCase c{.label = std::string("name ") + name, .run = NamedUpdate(Board::Amd, name), .image = OneSector()};
    c.expected.output = SuccessfulUpdate(Board::Amd, 1);
    c.expected.inputConsumed = 1;
    cases.push_back(c);
  }
  Report("image names with spaces and quotes", RunAll(cases, Concurrency));
}

// At end of input the key wait returns at once; nothing hangs or fails.
TEST(HostileInputs, EmptyInputAtTheKeyWait) {
  std::vector<RunCase> cases;
  for (Board board : {Board::Nvidia, Board::Amd}) {
    RunCase update{.label = "update, empty input", .run = UpdateRun(board, OneSector()), .image = OneSector()};
    update.expected.output = SuccessfulUpdate(board, 1);
    RunCase version{.label = "version query, empty input", .run = VersionRun(board)};
    version.expected.output = VersionOutput(board);
    for (RunCase* c : {&update, &version}) {
      c->run.input = "";
      cases.push_back(*c);
    }
  }
  RunCase noBoard{.label = "no supported board, empty input", .run = UpdateRun(Board::Nvidia, OneSector())};
  noBoard.run.standIns.absent.insert("nvapi.dll");
  noBoard.run.input = "";
  noBoard.expected.output = UnknownOption;
  cases.push_back(noBoard);
  Report("empty standard input at the key wait", RunAll(cases, Concurrency));
}

// KAV.DLL's path is built in a 128-byte buffer: from a deeper directory the
// library is refused, never loaded from a cut path.
TEST(HostileInputs, CurrentDirectoryLongerThan128Bytes) {
  const std::vector<std::string> directories = {std::string(130, 'd'),
                                                std::string(200, 'd') + "/" + std::string(100, 'e')};
  std::vector<RunCase> cases;
  for (const std::string& directory : directories) {
    for (Board board : {Board::Nvidia, Board::Amd}) {
      RunCase update{.label = "update from a directory " + std::to_string(directory.size()) + " bytes deeper",
                     .run = UpdateRun(board, OneSector())};
      update.run.directory = directory;
      update.expected.output = KavFailure;
      update.expected.packetWrites = 0;
      cases.push_back(update);
    }
    RunCase version{.label = "version query from a deep directory", .run = VersionRun(Board::Nvidia)};
    version.run.directory = directory;
    version.expected.output = KavFailure;
    cases.push_back(version);
  }
  Report("current directory longer than 128 bytes", RunAll(cases, Concurrency));
}

// A display driver whose enumeration never ends: the scan stops after 256
// devices, and the commands go on as usual.
TEST(HostileInputs, DisplayEnumerationThatNeverEnds) {
  std::vector<RunCase> cases;
  for (const nlohmann::json& devices : {nlohmann::json{5}, nlohmann::json{0, 0, 5}, nlohmann::json::array()}) {
    const nlohmann::json scenario = {{"display_devices", devices}, {"display_devices_endless", true}};
    RunCase update{.label = "endless enumeration " + devices.dump() + ", update",
                   .run = UpdateRun(Board::Amd, OneSector(), scenario),
                   .image = OneSector()};
    update.expected.output = SuccessfulUpdate(Board::Amd, 1);
    RunCase version{.label = "endless enumeration " + devices.dump() + ", version query",
                    .run = VersionRun(Board::Nvidia, scenario)};
    version.expected.output = VersionOutput(Board::Nvidia);
    for (RunCase* c : {&update, &version}) {
      c->expected.inputConsumed = 1;
      c->expected.displayQueries = DisplayScanLimit;
      cases.push_back(*c);
    }
  }
  Report("display enumeration that never ends", RunAll(cases, Concurrency));
}

} // namespace
} // namespace reliability
