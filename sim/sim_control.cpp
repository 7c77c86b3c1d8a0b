// Placeholder until the board model lands.
#include "sim/sim_control.h"

namespace sim {

bool LoadScenarioText(const std::string&, std::string* error) {
  if (error != nullptr) {
    *error = "the board model is not built yet";
  }
  return false;
}

std::vector<nlohmann::json> Trace() {
  return {};
}

std::vector<nlohmann::json> TraceOf(const std::string&) {
  return {};
}

void ClearTrace() {}

std::vector<uint8_t> Flash() {
  return {};
}

uint32_t RegisterValue(uint32_t) {
  return 0;
}

void SetRegisterValue(uint32_t, uint32_t) {}

} // namespace sim
