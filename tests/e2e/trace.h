// Views of the simulated board's trace: the I2C transfers with the receiver
// and the chip register accesses, whichever driver carried them.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using Trace = std::vector<nlohmann::json>;

struct I2cTransfer {
  double time = 0; // milliseconds
  bool write = false;
  std::vector<uint8_t> data; // sent, or delivered by a read
  bool acknowledged = false;
};

struct RegisterAccess {
  double time = 0;
  bool write = false;
  uint32_t offset = 0;
  uint32_t value = 0;
};

// Lines whose "call" is the given one.
std::vector<nlohmann::json> CallsOf(const Trace& trace, const std::string& call);

// For each unload of the named library, whether it came in the process's
// exit processing.
std::vector<bool> UnloadsOf(const Trace& trace, const std::string& library);

// Transfers through NVAPI's I2C members or atipdlxx.dll, in order.
std::vector<I2cTransfer> I2cTransfers(const Trace& trace);

// Register reads and writes through KAV.DLL, in order.
std::vector<RegisterAccess> RegisterAccesses(const Trace& trace);

// The last value written to a register, if any was.
std::optional<uint32_t> LastWrite(const Trace& trace, uint32_t offset);

// Registers of the receiver link: its field on NVIDIA boards, the busy
// status on AMD boards.
inline constexpr uint32_t LinkRegister = 0xE280;
inline constexpr uint32_t LinkOpen = 3;
inline constexpr uint32_t LinkClosed = 2;
inline constexpr uint32_t BusyRegister = 0x641C;

// Bits 8 to 11, the receiver link field of 0xE280 and the busy field of 0x641C.
constexpr uint32_t Field8To11(uint32_t value) {
  return value >> 8 & 0xF;
}

} // namespace e2e
