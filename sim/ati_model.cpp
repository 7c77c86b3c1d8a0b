// The simulated AMD driver library: the detection queries and the I2C entry.
#include <cstring>

#include "board/ati_records.h"
#include "board/i2c_records.h"
#include "sim/board.h"
#include "sim/board_model.h"
#include "sim/i2c_bus.h"
#include "sim/sim_control.h"

namespace sim::model {

namespace {

// The library's own bytes in the records it fills, recognisable in a dump.
constexpr uint8_t GpuEntryByteBase = 1;
constexpr uint8_t AdapterByteBase = 0xA0;

nlohmann::json SizeWord(const void* record) {
  if (record == nullptr) {
    return nullptr;
  }
  int32_t size;
  std::memcpy(&size, record, sizeof size);
  return size;
}

nlohmann::json GpuEntryIndex(const Board& board, const void* gpuEntry) {
  if (gpuEntry == nullptr) {
    return nullptr;
  }
  if (board.LastMvpu != nullptr) {
    for (size_t i = 0; i < std::size(board.LastMvpu->GpuEntries); ++i) {
      if (gpuEntry == &board.LastMvpu->GpuEntries[i]) {
        return i;
      }
    }
  }
  return "other";
}

} // namespace

int32_t AtiGetMvpuStatus(int32_t adapter, void* record, void* reserved) {
  Board& board = TheBoard();
  auto* mvpu = static_cast<MvpuStatus*>(record);
  const int32_t status = board.Settings.Ati.MvpuStatus;
  nlohmann::json entry = {{"call", "ATIDL_GetMVPUStatus"},       {"adapter", adapter}, {"Size", SizeWord(record)},
                          {"reservedNull", reserved == nullptr}, {"status", status},   {"GpuCount", nullptr}};
  board.LastMvpu = mvpu;
  if (status == 0 && mvpu != nullptr) {
    mvpu->GpuCount = board.Settings.Ati.GpuCount;
    for (size_t i = 0; i < std::size(mvpu->GpuEntries); ++i) {
      std::memset(mvpu->GpuEntries[i].Bytes, GpuEntryByteBase + static_cast<int>(i), sizeof mvpu->GpuEntries[i].Bytes);
    }
    entry["GpuCount"] = mvpu->GpuCount;
  }
  board.Record(std::move(entry));
  return status;
}

int32_t AtiGetOdParameters(int32_t adapter, void* record, void* gpuEntry) {
  Board& board = TheBoard();
  const auto& statuses = board.Settings.Ati.OdStatuses;
  const size_t call = board.OdCalls++;
  const int32_t status = call < statuses.size() ? statuses[call] : 0;
  board.Record({{"call", "ATIDL_GetODParameters"},
                {"adapter", adapter},
                {"Size", SizeWord(record)},
                {"gpuEntry", GpuEntryIndex(board, gpuEntry)},
                {"status", status}});
  return status;
}

int32_t AtiEnumPhysicalAdapters(int32_t adapter, int32_t number, void* record) {
  Board& board = TheBoard();
  auto* physical = static_cast<PhysicalAdapterRecord*>(record);
  const int32_t status = board.Settings.Ati.EnumAdaptersStatus;
  if (number == 0) {
    board.Adapter0 = physical;
  }
  if (status == 0 && physical != nullptr) {
    std::memset(physical->Description, AdapterByteBase + number, sizeof physical->Description);
  }
  board.Record({{"call", "ATIDL_EnumPhysicalAdapters"},
                {"adapter", adapter},
                {"number", number},
                {"Size", SizeWord(record)},
                {"status", status}});
  return status;
}

int32_t AtiWriteAndReadI2CEx(int32_t zero, void* request, void* adapterDescription) {
  Board& board = TheBoard();
  auto* i2c = static_cast<AtiI2CRequest*>(request);
  const bool ownDescription = board.Adapter0 != nullptr && adapterDescription == board.Adapter0->Description;
  if (i2c == nullptr) {
    board.Record({{"call", "ATIDL_WriteAndReadI2CEx"},
                  {"zero", zero},
                  {"request", nullptr},
                  {"adapterDescription", ownDescription},
                  {"status", I2cNoAckStatus}});
    return I2cNoAckStatus;
  }
  nlohmann::json entry = {{"call", "ATIDL_WriteAndReadI2CEx"},
                          {"zero", zero},
                          {"Size", i2c->Size},
                          {"Line", i2c->Line},
                          {"DeviceAddress", i2c->DeviceAddress},
                          {"Offset", i2c->Offset},
                          {"Direction", i2c->Direction},
                          {"Speed", i2c->Speed},
                          {"DataSize", i2c->DataSize},
                          {"adapterDescription", ownDescription}};
  const bool write = i2c->Direction == AtiDirectionWrite;
  const size_t size = i2c->Data == nullptr || i2c->DataSize < 0 ? 0 : static_cast<size_t>(i2c->DataSize);
  if (write) {
    entry["data"] = HexBytes(i2c->Data, size);
  }
  std::vector<nlohmann::json> events;
  int32_t status = board.Settings.Ati.I2cStatus;
  if (status == 0) {
    bool ack = false;
    if (!write && i2c->Direction != AtiDirectionRead) {
      events.push_back({{"event", "no_ack"}, {"reason", "direction"}});
    } else {
      ack = RunI2cTransfer(board, I2cDriver::Ati,
                           {static_cast<uint32_t>(i2c->DeviceAddress), false, write, i2c->Data, size}, events);
    }
    status = ack ? 0 : I2cNoAckStatus;
  }
  if (!write) {
    entry["data"] = status == 0 && size > 0 ? HexBytes(i2c->Data, 1) : "";
  }
  entry["status"] = status;
  board.Record(std::move(entry));
  board.RecordEvents(std::move(events));
  return status;
}

} // namespace sim::model
