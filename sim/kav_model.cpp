// The simulated register-access library: chip detection and the chip's
// memory-mapped registers.
#include <cstring>

#include "sim/board.h"
#include "sim/board_model.h"

namespace sim::model {

namespace {

constexpr uint32_t AmdBusyRegister = 0x641C;
constexpr uint32_t BusyFieldMask = 0xF00;
constexpr uint32_t BusyFieldValue = 0x100;
constexpr int32_t MmioAddressResult = 1;
constexpr int32_t WriteResult = 1;

} // namespace

int32_t KavFindVgaChip(uint32_t vendorId, void* chipInfo, uint32_t size) {
  Board& board = TheBoard();
  const auto& chips = board.Settings.Kav.Chips;
  auto it = chips.find(vendorId);
  const int32_t result = it == chips.end() ? 0 : it->second;
  board.ChipInfo = chipInfo;
  if (result > 0 && chipInfo != nullptr && size >= sizeof vendorId) {
    std::memcpy(chipInfo, &vendorId, sizeof vendorId);
  }
  board.Record({{"call", "FindVGAChip"}, {"vendorId", vendorId}, {"size", size}, {"result", result}});
  return result;
}

int32_t KavGetVgaMmioAddress(void* chipInfo, uint32_t zero) {
  Board& board = TheBoard();
  board.Mapped = true;
  board.Record({{"call", "GetVGAMMIOAddress"},
                {"chipInfo", chipInfo != nullptr && chipInfo == board.ChipInfo},
                {"zero", zero},
                {"result", MmioAddressResult}});
  return MmioAddressResult;
}

uint32_t KavReadRegister(uint32_t offset, uint32_t zero) {
  Board& board = TheBoard();
  uint32_t value = board.Register(offset);
  if (offset == AmdBusyRegister && board.Receiver.PollBusy()) {
    value = (value & ~BusyFieldMask) | BusyFieldValue;
  }
  board.Record({{"call", "GetDWORDVGAMMIOData"},
                {"offset", offset},
                {"zero", zero},
                {"value", value},
                {"mapped", board.Mapped}});
  return value;
}

int32_t KavWriteRegister(uint32_t offset, uint32_t value, uint32_t zero) {
  Board& board = TheBoard();
  board.Registers[offset] = value;
  board.Record({{"call", "WriteDWORDVGAMMIOData"},
                {"offset", offset},
                {"value", value},
                {"zero", zero},
                {"mapped", board.Mapped}});
  return WriteResult;
}

} // namespace sim::model
