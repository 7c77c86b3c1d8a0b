#include "sim/sim_control.h"

#include "sim/board.h"

namespace sim {

bool LoadScenarioText(const std::string& json, std::string* error) {
  try {
    ResetBoard(ParseScenario(json));
    return true;
  } catch (const std::exception& failure) {
    if (error != nullptr) {
      *error = failure.what();
    }
    return false;
  }
}

std::vector<nlohmann::json> Trace() {
  return TheBoard().Trace.Lines();
}

std::vector<nlohmann::json> TraceOf(const std::string& call) {
  std::vector<nlohmann::json> lines;
  for (const nlohmann::json& line : TheBoard().Trace.Lines()) {
    if (line.value("call", "") == call) {
      lines.push_back(line);
    }
  }
  return lines;
}

void ClearTrace() {
  TheBoard().Trace.Clear();
}

std::vector<uint8_t> Flash() {
  const auto& flash = TheBoard().Receiver.Flash();
  return {flash.begin(), flash.end()};
}

uint32_t RegisterValue(uint32_t offset) {
  return TheBoard().Register(offset);
}

void SetRegisterValue(uint32_t offset, uint32_t value) {
  TheBoard().Registers[offset] = value;
}

} // namespace sim
