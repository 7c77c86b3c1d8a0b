#include "sim/board.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/process_exit.h"

namespace sim {

namespace {

constexpr char ScenarioVariable[] = "RXFLASH_SIM_SCENARIO";
// A broken test setup must not pass for a fault of the tool.
constexpr int ScenarioErrorExit = 99;

Board* CurrentBoard;
bool Exiting;

void MarkExiting() {
  Exiting = true;
}

[[noreturn]] void ScenarioError(const std::string& message) {
  std::fprintf(stderr, "simboard: %s\n", message.c_str());
  std::_Exit(ScenarioErrorExit);
}

Scenario ScenarioFromEnvironment() {
  const char* path = std::getenv(ScenarioVariable);
  if (path == nullptr || *path == '\0') {
    return ParseScenario("{}");
  }
  std::ifstream file(path);
  if (!file) {
    ScenarioError(std::string("cannot read the scenario file ") + path);
  }
  std::ostringstream text;
  text << file.rdbuf();
  try {
    return ParseScenario(text.str());
  } catch (const std::exception& error) {
    ScenarioError(std::string("scenario ") + path + ": " + error.what());
  }
}

} // namespace

Board::Board(Scenario settings)
    : Settings(std::move(settings)), Receiver(Settings.Receiver), Registers(Settings.Kav.Registers) {
  Trace.Restart(Settings.TracePath);
  WriteFlashFile();
}

void Board::Record(nlohmann::json entry) {
  Trace.Add(std::move(entry));
}

void Board::RecordEvents(std::vector<nlohmann::json> events) {
  for (nlohmann::json& event : events) {
    event["call"] = "receiver";
    Trace.Add(std::move(event));
  }
}

uint32_t Board::Register(uint32_t offset) const {
  auto it = Registers.find(offset);
  return it == Registers.end() ? 0 : it->second;
}

void Board::WriteFlashFile() const {
  if (Settings.FlashOutPath.empty()) {
    return;
  }
  std::ofstream file(Settings.FlashOutPath, std::ios::binary | std::ios::trunc);
  const auto& flash = Receiver.Flash();
  file.write(reinterpret_cast<const char*>(flash.data()), static_cast<std::streamsize>(flash.size()));
}

Board& TheBoard() {
  if (CurrentBoard == nullptr) {
    ResetBoard(ScenarioFromEnvironment());
  }
  return *CurrentBoard;
}

void ResetBoard(Scenario settings) {
  if (CurrentBoard == nullptr) {
    AtProcessExit(MarkExiting);
  }
  // The board itself is never destroyed at exit: stand-ins unloaded at the
  // very end of the process still trace through it.
  Board* previous = CurrentBoard;
  CurrentBoard = new Board(std::move(settings));
  delete previous;
}

bool ProcessExiting() {
  return Exiting;
}

} // namespace sim
