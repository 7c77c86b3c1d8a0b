// In-process control of the simulated board, for tests that load the
// stand-in libraries into their own process (link against simboard). There
// is one board per process, shared by every stand-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/sim_export.h"

namespace sim {

inline constexpr uint32_t FlashSectorCount = 7;
inline constexpr uint32_t FlashSectorSize = 4096;

// The opaque handle the simulated NVAPI hands out for physical GPU i.
inline constexpr uintptr_t GpuHandleBase = 0x4E560000;
inline constexpr uintptr_t GpuHandle(uint32_t i) {
  return GpuHandleBase + i;
}

// Status of an I2C call that the receiver does not acknowledge, on both
// drivers (NVAPI and atipdlxx.dll).
inline constexpr int32_t I2cNoAckStatus = -1;

// Replaces the scenario (the JSON text described in sim/README.md) and puts
// the whole board back to its start: registers, receiver, flash, counters,
// the trace and its clock. The environment variable is then no longer read.
// On text that is no valid scenario it returns false, puts the reason in
// *error when given, and leaves the board as it was.
SIMBOARD_API bool LoadScenarioText(const std::string& json, std::string* error = nullptr);

// Every trace line since the last load, in call order.
SIMBOARD_API std::vector<nlohmann::json> Trace();

// The trace lines whose "call" is the given name.
SIMBOARD_API std::vector<nlohmann::json> TraceOf(const std::string& call);

// Forgets the trace lines kept so far (the trace file keeps them).
SIMBOARD_API void ClearTrace();

// The receiver's flash: FlashSectorCount sectors of FlashSectorSize bytes.
SIMBOARD_API std::vector<uint8_t> Flash();

// A chip register as the board holds it now (0 when never written). Reading
// it here is not traced and does not count as a busy poll.
SIMBOARD_API uint32_t RegisterValue(uint32_t offset);
SIMBOARD_API void SetRegisterValue(uint32_t offset, uint32_t value);

} // namespace sim
