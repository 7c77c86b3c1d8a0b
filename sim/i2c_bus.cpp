#include "sim/i2c_bus.h"

#include <span>

namespace sim {

namespace {

constexpr uint32_t NvidiaLinkRegister = 0xE280;
constexpr uint32_t NvidiaLinkOpen = 3;

struct GpioSetting {
  uint32_t Offset;
  uint32_t Value;
};
constexpr GpioSetting AmdLinkGpio[] = {{0x6410, 0x10}, {0x6414, 0x100}, {0x6418, 0x100}};

nlohmann::json NoAck(const char* reason) {
  return {{"event", "no_ack"}, {"reason", reason}};
}

} // namespace

bool LinkOpen(const Board& board, I2cDriver driver) {
  if (driver == I2cDriver::Nvapi) {
    return (board.Register(NvidiaLinkRegister) >> 8 & 0xF) == NvidiaLinkOpen;
  }
  for (const GpioSetting& gpio : AmdLinkGpio) {
    if (board.Register(gpio.Offset) != gpio.Value) {
      return false;
    }
  }
  return true;
}

bool RunI2cTransfer(Board& board, I2cDriver driver, const I2cTransfer& transfer, std::vector<nlohmann::json>& events) {
  if (!LinkOpen(board, driver)) {
    events.push_back(NoAck("link_closed"));
    return false;
  }
  if (transfer.DeviceAddress != ReceiverModel::DeviceAddress) {
    events.push_back(NoAck("device_address"));
    return false;
  }
  if (transfer.RegisterAddressSent) {
    events.push_back(NoAck("register_address"));
    return false;
  }
  const std::span<uint8_t> data(transfer.Data, transfer.Data == nullptr ? 0 : transfer.Size);
  const bool ack = transfer.Write ? board.Receiver.Write(data) : board.Receiver.Read(data);
  bool stored = false;
  for (nlohmann::json& event : board.Receiver.TakeEvents()) {
    stored = stored || event["event"] == "sector_stored";
    events.push_back(std::move(event));
  }
  if (stored) {
    board.WriteFlashFile();
  }
  return ack;
}

} // namespace sim
