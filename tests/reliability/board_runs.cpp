#include "tests/reliability/board_runs.h"

#include "tests/e2e/console_text.h"
#include "tests/e2e/firmware_images.h"

namespace reliability {
namespace {

constexpr size_t NvidiaDots = 4;

e2e::ToolRun BoardRun(Board board, const nlohmann::json& scenario) {
  e2e::ToolRun run;
  run.scenario = {{"vendor", board == Board::Nvidia ? "nvidia" : "amd"}};
  run.scenario.merge_patch(scenario);
  run.standIns.absent = {board == Board::Nvidia ? "atipdlxx.dll" : "nvapi.dll"};
  run.input = KeyInput;
  return run;
}

} // namespace

e2e::ToolRun UpdateRun(Board board, const std::vector<uint8_t>& image, const nlohmann::json& scenario) {
  e2e::ToolRun run = BoardRun(board, scenario);
  run.arguments = {ImageName};
  run.files = {{.name = ImageName, .bytes = image}};
  return run;
}

e2e::ToolRun VersionRun(Board board, const nlohmann::json& scenario) {
  return BoardRun(board, scenario);
}

std::vector<uint8_t> TwoSectorImage() {
  std::vector<uint8_t> image = e2e::PatternImage(2 * e2e::SectorBytes, 0x3C);
  e2e::MatchSumToLastPacketStart(image, 0);
  e2e::MatchSumToLastPacketStart(image, 1);
  return image;
}

std::string UpdateStart(Board board) {
  return (board == Board::Amd ? std::string(e2e::AmdGpio) : std::string()) + e2e::Banner;
}

std::string Progress(Board board, size_t sector, size_t amdDots) {
  return "\tFirmware sector " + std::to_string(sector) + " updating" +
         std::string(board == Board::Nvidia ? NvidiaDots : amdDots, '.');
}

std::string Verdict(Board board, bool allSectorsMatched) {
  if (!allSectorsMatched) {
    return e2e::UpdateFail;
  }
  return board == Board::Nvidia ? e2e::NvidiaSuccess : e2e::AmdSuccess;
}

std::string SuccessfulUpdate(Board board, size_t sectors) {
  std::string output = UpdateStart(board);
  for (size_t sector = 1; sector <= sectors; ++sector) {
    output += Progress(board, sector) + SectorSuccess;
  }
  return output + Verdict(board, true);
}

std::string VersionOutput(Board board, int version) {
  if (board == Board::Amd) {
    return e2e::Banner;
  }
  return std::string(e2e::Banner) + " === Flash Receiver Version " + std::to_string(version) + " ===\n";
}

std::string VersionReadFailure() {
  return std::string(e2e::Banner) + "    Flash Receiver Version is not found.\n" +
         " === Flash Receiver Version 0 ===\n";
}

std::string DownloadFailure(Board board) {
  return std::string(board == Board::Amd ? "ATI API Write I2C  fail\n" : "") + "\tFirmware can not be downloaded\n";
}

std::string ChecksumReadFailure(Board board, size_t sector) {
  return std::string(board == Board::Amd ? "ATI API Read I2C  fail\n" : "") + "\tFirmware sector " +
         std::to_string(sector) + " transfer FAIL...\n";
}

} // namespace reliability
