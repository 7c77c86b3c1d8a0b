// The board's I2C bus as both drivers reach it: the receiver at device
// address 0x22, reachable only while the board routes its link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/board.h"

namespace sim {

enum class I2cDriver { Nvapi, Ati };

struct I2cTransfer {
  uint32_t DeviceAddress;
  bool RegisterAddressSent;
  bool Write;
  uint8_t* Data; // null counts as no data
  size_t Size;
};

// Runs one transaction; true when it was acknowledged. What the bus and the
// receiver made of it is appended to events.
bool RunI2cTransfer(Board& board, I2cDriver driver, const I2cTransfer& transfer, std::vector<nlohmann::json>& events);

// Whether the register values route the receiver's link for that driver.
bool LinkOpen(const Board& board, I2cDriver driver);

} // namespace sim
