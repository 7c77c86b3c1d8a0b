// The scenario of one simulated board: what the drivers answer, the chip's
// registers and the receiver's behaviour. Read from JSON (sim/README.md).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/receiver_model.h"

namespace sim {

struct NvapiSettings {
  int32_t InitializeStatus = 0;
  int32_t UnloadStatus = 0;
  std::set<uint32_t> MissingIds;
  bool EnterHook = false;
  bool ExitHook = false;
  std::array<uint32_t, 2> EnterHookWrites{};
  int32_t EnumStatus = 0;
  uint32_t GpuCount = 1;
  int32_t I2cStatus = 0;
  int32_t MemberStatus = 0;
};

struct AtiSettings {
  int32_t MvpuStatus = 0;
  uint32_t GpuCount = 1;
  std::vector<int32_t> OdStatuses;
  int32_t EnumAdaptersStatus = 0;
  int32_t I2cStatus = 0;
};

struct KavSettings {
  std::map<uint32_t, int32_t> Chips; // FindVGAChip result per vendor ID
  std::map<uint32_t, uint32_t> Registers;
};

struct Scenario {
  std::string TracePath;
  std::string FlashOutPath;
  std::vector<uint32_t> DisplayDevices{5};
  bool DisplayDevicesEndless = false;
  NvapiSettings Nvapi;
  AtiSettings Ati;
  KavSettings Kav;
  ReceiverSettings Receiver;
};

// Throws std::exception (nlohmann::json's among them) on text that is not
// JSON, an unknown key or a value of the wrong type.
Scenario ParseScenario(const std::string& text);

} // namespace sim
