// The fault sweep: the real rxflash on the simulated board with one fault at
// a time, each run checked for its message, exit status and key wait, and
// for what the tool must never do (run_check.h). Every test prints its
// counts; docs/reliability.md quotes them.
#include <gtest/gtest.h>

#include "tests/reliability/board_runs.h"
#include "tests/reliability/run_all.h"

namespace reliability {
namespace {

constexpr size_t PacketsPerSector = 410;
constexpr size_t SweepSectors = 2;
constexpr size_t AmdBusyTestLimit = 200;
// Runs at a time: a run spends most of its time in the tool's pauses.
constexpr unsigned Concurrency = 8;

const char* Name(Board board) {
  return board == Board::Nvidia ? "NVIDIA" : "AMD";
}

RunCase WriteFault(Board board, const std::vector<uint8_t>& image, size_t sector, size_t packet) {
  RunCase c{.label = std::string(Name(board)) + " write fault at sector " + std::to_string(sector) + " packet " +
                     std::to_string(packet),
            .run = UpdateRun(board, image, {{"receiver", {{"fail_write", {{"sector", sector}, {"packet", packet}}}}}}),
            .image = image};
  c.expected.output = UpdateStart(board);
  for (size_t done = 1; done <= sector; ++done) {
    c.expected.output += Progress(board, done) + SectorSuccess;
  }
  c.expected.output += DownloadFailure(board);
  // The failed write is the last packet the tool sends.
  c.expected.packetWrites = sector * PacketsPerSector + packet + 1;
  return c;
}

TEST(FaultSweep, PacketWriteFailsAtEveryPositionOnAmd) {
  const std::vector<uint8_t> image = TwoSectorImage();
  std::vector<RunCase> cases;
  for (size_t sector = 0; sector < SweepSectors; ++sector) {
    for (size_t packet = 0; packet < PacketsPerSector; ++packet) {
      cases.push_back(WriteFault(Board::Amd, image, sector, packet));
    }
  }
  Report("packet write failing at each of the 820 packets of a two-sector image (AMD)", RunAll(cases, Concurrency));
}

TEST(FaultSweep, PacketWriteFailsAtSpreadPositionsOnNvidia) {
  const std::vector<uint8_t> image = TwoSectorImage();
  std::vector<RunCase> cases;
  for (size_t sector = 0; sector < SweepSectors; ++sector) {
    for (size_t packet : {size_t{0}, size_t{1}, size_t{204}, size_t{408}, size_t{409}}) {
      cases.push_back(WriteFault(Board::Nvidia, image, sector, packet));
    }
  }
  Report("packet write failing at packets 0, 1, 204, 408, 409 of each sector (NVIDIA)", RunAll(cases, Concurrency));
}

// A checksum read that fails, or answers the sum plus 1, at one sector.
TEST(FaultSweep, ChecksumFaultAtEachSector) {
  const std::vector<uint8_t> image = TwoSectorImage();
  std::vector<RunCase> cases;
  for (Board board : {Board::Nvidia, Board::Amd}) {
    for (const char* fault : {"fail_checksum_read", "wrong_checksum"}) {
      for (size_t faulty = 0; faulty < SweepSectors; ++faulty) {
        RunCase c{.label = std::string(Name(board)) + " " + fault + " at sector " + std::to_string(faulty),
                  .run = UpdateRun(board, image, {{"receiver", {{fault, {faulty}}}}}),
                  .image = image};
        const bool readFails = std::string(fault) == "fail_checksum_read";
        c.expected.output = UpdateStart(board);
        for (size_t sector = 0; sector < SweepSectors; ++sector) {
          c.expected.output += Progress(board, sector + 1);
          if (sector != faulty) {
            c.expected.output += SectorSuccess;
          } else {
            c.expected.output += (readFails ? ChecksumReadFailure(board, sector + 1) : "") + SectorFail;
          }
        }
        if (faulty != SweepSectors - 1) {
          c.expected.output += Verdict(board, false);
        }
        c.expected.inputConsumed = 1;
        c.expected.packetWrites = SweepSectors * PacketsPerSector;
        cases.push_back(c);
      }
    }
  }
  Report("checksum read failing, or answering a wrong checksum, at each sector", RunAll(cases, Concurrency));
}

TEST(FaultSweep, ReceiverBusyForEverOnAmd) {
  const std::vector<uint8_t> image = TwoSectorImage();
  RunCase c{.label = "AMD receiver busy for ever",
            .run = UpdateRun(Board::Amd, image, {{"receiver", {{"busy_forever", true}}}}),
            .image = image};
  // Each sector is given up after the bounded wait, and none is reported
  // written: the receiver never said it was done.
  c.expected.output = UpdateStart(Board::Amd);
  for (size_t sector = 1; sector <= SweepSectors; ++sector) {
    c.expected.output += Progress(Board::Amd, sector, AmdBusyTestLimit) + SectorFail;
  }
  c.expected.inputConsumed = 1;
  c.expected.packetWrites = SweepSectors * PacketsPerSector;
  Report("receiver busy for ever (AMD)", RunAll({c}, Concurrency));
}

// One fault, and what the update and the version query show under it.
struct CommandOutcome {
  std::string output;
  std::uintmax_t inputConsumed = 0;
  std::optional<size_t> packetWrites;
};

struct FaultCase {
  std::string label;
  Board board;
  nlohmann::json scenario;
  e2e::StandIns standIns;
  std::vector<std::string> absentCalls;
  CommandOutcome update;
  CommandOutcome version;
};

// The outcomes every case picks from.
struct Outcomes {
  std::vector<uint8_t> image = TwoSectorImage();
  // No supported board: "Unknown option!", then the version query, which
  // prints nothing for such a board and waits.
  CommandOutcome updateWithoutBoard{UnknownOption, 1, 0};
  CommandOutcome versionWithoutBoard{"", 1, 0};
  CommandOutcome kavFailure{KavFailure, 0, 0};

  CommandOutcome Update(Board board) const {
    return {SuccessfulUpdate(board, SweepSectors), 1, SweepSectors * PacketsPerSector};
  }
  CommandOutcome Version(Board board) const {
    return {VersionOutput(board), 1, 0};
  }
  CommandOutcome DownloadFails(Board board, size_t packetWrites) const {
    return {UpdateStart(board) + DownloadFailure(board), 0, packetWrites};
  }
  // Every checksum read fails: no sector counts as written.
  CommandOutcome ChecksumReadsFail(Board board) const {
    std::string output = UpdateStart(board);
    for (size_t sector = 1; sector <= SweepSectors; ++sector) {
      output += Progress(board, sector) + ChecksumReadFailure(board, sector) + SectorFail;
    }
    return {output, 1, SweepSectors * PacketsPerSector};
  }
  CommandOutcome VersionNotRead() const {
    return {VersionReadFailure(), 1, 0};
  }
};

std::vector<RunCase> BothCommands(const std::vector<FaultCase>& faults, const std::vector<uint8_t>& image) {
  std::vector<RunCase> cases;
  for (const FaultCase& fault : faults) {
    for (bool update : {true, false}) {
      RunCase c{.label = std::string(Name(fault.board)) + " " + fault.label + (update ? ", update" : ", version"),
                .run = update ? UpdateRun(fault.board, image, fault.scenario) : VersionRun(fault.board, fault.scenario),
                .image = update ? image : std::vector<uint8_t>{}};
      c.run.standIns.absent.insert(fault.standIns.absent.begin(), fault.standIns.absent.end());
      c.run.standIns.lacking = fault.standIns.lacking;
      const CommandOutcome& outcome = update ? fault.update : fault.version;
      c.expected.output = outcome.output;
      c.expected.inputConsumed = outcome.inputConsumed;
      c.expected.packetWrites = outcome.packetWrites;
      c.expected.absentCalls = fault.absentCalls;
      cases.push_back(c);
    }
  }
  return cases;
}

TEST(FaultSweep, DriverFailureStatuses) {
  const Outcomes o;
  const Board nv = Board::Nvidia;
  const Board amd = Board::Amd;
  const std::vector<FaultCase> faults = {
      {"NvAPI initialise status -1",
       nv,
       {{"nvapi", {{"initialize_status", -1}}}},
       {},
       {},
       o.updateWithoutBoard,
       o.versionWithoutBoard},
      {"NvAPI_EnumPhysicalGPUs status -3",
       nv,
       {{"nvapi", {{"enum_status", -3}}}},
       {},
       {},
       o.updateWithoutBoard,
       o.versionWithoutBoard},
      {"NvAPI_EnumPhysicalGPUs counts no GPU",
       nv,
       {{"nvapi", {{"gpu_count", 0}}}},
       {},
       {},
       o.updateWithoutBoard,
       o.versionWithoutBoard},
      {"NvAPI I2C status -5",
       nv,
       {{"nvapi", {{"i2c_status", -5}}}},
       {},
       {},
       o.DownloadFails(nv, 1),
       o.VersionNotRead()},
      {"ATIDL_GetMVPUStatus status 1", amd, {{"ati", {{"mvpu_status", 1}}}}, {}, {}, o.Update(amd), o.Version(amd)},
      {"ATIDL_GetODParameters status -1",
       amd,
       {{"ati", {{"od_statuses", {-1}}}}},
       {},
       {},
       o.Update(amd),
       o.Version(amd)},
      {"ATIDL_EnumPhysicalAdapters status 7",
       amd,
       {{"ati", {{"enum_adapters_status", 7}}}},
       {},
       {},
       o.Update(amd),
       o.Version(amd)},
      {"ATIDL_WriteAndReadI2CEx status 2",
       amd,
       {{"ati", {{"i2c_status", 2}}}},
       {},
       {},
       o.DownloadFails(amd, 1),
       o.Version(amd)},
  };
  Report("driver failure statuses, each with the update and the version query",
         RunAll(BothCommands(faults, o.image), Concurrency));
}

// A member the driver does not offer.
FaultCase MissingMember(const char* member, uint32_t id, CommandOutcome update, CommandOutcome version) {
  return {std::string(member) + " not offered",
          Board::Nvidia,
          {{"nvapi", {{"missing_ids", {id}}}}},
          {},
          {member},
          std::move(update),
          std::move(version)};
}

// A library without one export.
FaultCase Lacking(Board board, const std::string& name, CommandOutcome update, CommandOutcome version) {
  return {"library without " + name, board, {}, {.lacking = {name}}, {name}, std::move(update), std::move(version)};
}

TEST(FaultSweep, AbsentExports) {
  const Outcomes o;
  const Board nv = Board::Nvidia;
  const Board amd = Board::Amd;
  std::vector<FaultCase> faults = {
      Lacking(nv, "nvapi_QueryInterface", o.updateWithoutBoard, o.versionWithoutBoard),
      MissingMember("nvapi_initialize", 0x0150E828, o.updateWithoutBoard, o.versionWithoutBoard),
      MissingMember("NvAPI_EnumPhysicalGPUs", 0xE5AC921F, o.updateWithoutBoard, o.versionWithoutBoard),
      // The tool uses the extended I2C members only.
      MissingMember("NvAPI_I2CRead", 0x2FDE12C5, o.Update(nv), o.Version(nv)),
      MissingMember("NvAPI_I2CWrite", 0xE812EB07, o.Update(nv), o.Version(nv)),
      MissingMember("NvAPI_I2CReadEx", 0x4D7B0709, o.ChecksumReadsFail(nv), o.VersionNotRead()),
      MissingMember("NvAPI_I2CWriteEx", 0x283AC65A, o.DownloadFails(nv, 0), o.Version(nv)),
      Lacking(amd, "ATIDL_GetMVPUStatus", o.updateWithoutBoard, o.versionWithoutBoard),
      Lacking(amd, "ATIDL_GetODParameters", o.updateWithoutBoard, o.versionWithoutBoard),
      Lacking(amd, "ATIDL_SetODPerformanceLevels", o.updateWithoutBoard, o.versionWithoutBoard),
      Lacking(amd, "ATIDL_EnumPhysicalAdapters", o.Update(amd), o.Version(amd)),
      Lacking(amd, "ATIDL_WriteAndReadI2CEx", o.DownloadFails(amd, 0), o.Version(amd)),
  };
  for (const char* entry : {"FindVGAChip", "GetVGAMMIOAddress", "GetDWORDVGAMMIOData", "WriteDWORDVGAMMIOData"}) {
    // On AMD the version query does not use the register library.
    faults.push_back(Lacking(nv, entry, o.kavFailure, o.kavFailure));
    faults.push_back(Lacking(amd, entry, o.kavFailure, o.Version(amd)));
  }
  faults.push_back(Lacking(nv, "ReadI2C", o.Update(nv), o.Version(nv)));
  faults.push_back({"without KAV.DLL", nv, {}, {.absent = {"KAV.DLL"}}, {}, o.kavFailure, o.kavFailure});
  faults.push_back({"without any driver library",
                    nv,
                    {},
                    {.absent = {"nvapi.dll", "atipdlxx.dll"}},
                    {},
                    o.updateWithoutBoard,
                    o.versionWithoutBoard});
  Report("absent exports and libraries, each with the update and the version query",
         RunAll(BothCommands(faults, o.image), Concurrency));
}

} // namespace
} // namespace reliability
