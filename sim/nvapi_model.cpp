// The simulated NVIDIA driver behind nvapi_QueryInterface: initialise and
// unload, the two hooks, GPU enumeration and the four I2C members.
#include <algorithm>
#include <type_traits>

#include "board/i2c_records.h"
#include "nvapi/nvapi_loader.h"
#include "sim/board.h"
#include "sim/board_model.h"
#include "sim/i2c_bus.h"
#include "sim/nvapi_generic_members.h"
#include "sim/sim_control.h"

namespace sim {

namespace {

#define SIM_MEMBER_ID(name, id, prototype)                                                                             \
  constexpr uint32_t name##Id = id;                                                                                    \
  using name##Prototype = prototype;
NVAPI_MEMBERS(SIM_MEMBER_ID)
#undef SIM_MEMBER_ID

NvAPI_Status DriverInitialize() {
  Board& board = TheBoard();
  const NvAPI_Status status = board.Settings.Nvapi.InitializeStatus;
  board.Record({{"call", "nvapi_initialize"}, {"status", status}});
  return status;
}

NvAPI_Status DriverUnload() {
  Board& board = TheBoard();
  const NvAPI_Status status = board.Settings.Nvapi.UnloadStatus;
  board.Record({{"call", "nvapi_unload"}, {"status", status}});
  return status;
}

NvAPI_Status EnterHook(uint32_t id, uint32_t context[2]) {
  Board& board = TheBoard();
  board.Record({{"call", "nvapi_enter_hook"}, {"id", id}, {"context", {context[0], context[1]}}});
  context[0] = board.Settings.Nvapi.EnterHookWrites[0];
  context[1] = board.Settings.Nvapi.EnterHookWrites[1];
  return NVAPI_OK;
}

NvAPI_Status ExitHook(uint32_t id, uint32_t word0, uint32_t word1, NvAPI_Status status) {
  TheBoard().Record({{"call", "nvapi_exit_hook"}, {"id", id}, {"word0", word0}, {"word1", word1}, {"status", status}});
  return NVAPI_OK;
}

uint32_t HandleCount(const Board& board) {
  return std::min<uint32_t>(board.Settings.Nvapi.GpuCount, 64);
}

NvAPI_Status EnumPhysicalGpus(NvPhysicalGpuHandle* handles, uint32_t* count) {
  Board& board = TheBoard();
  const NvAPI_Status status = board.Settings.Nvapi.EnumStatus;
  nlohmann::json entry = {{"call", "NvAPI_EnumPhysicalGPUs"}, {"status", status}, {"count", nullptr}};
  if (status == NVAPI_OK) {
    const uint32_t gpus = HandleCount(board);
    for (uint32_t i = 0; i < gpus; ++i) {
      handles[i] = reinterpret_cast<NvPhysicalGpuHandle>(GpuHandle(i));
    }
    *count = gpus;
    entry["count"] = gpus;
  }
  board.Record(std::move(entry));
  return status;
}

bool KnownGpu(const Board& board, NvPhysicalGpuHandle gpu) {
  const uintptr_t handle = reinterpret_cast<uintptr_t>(gpu);
  return handle >= GpuHandleBase && handle - GpuHandleBase < HandleCount(board);
}

nlohmann::json I2cEntry(const char* name, NvPhysicalGpuHandle gpu, const NV_I2C_INFO& info) {
  return {{"call", name},
          {"gpu", reinterpret_cast<uintptr_t>(gpu)},
          {"version", info.version},
          {"displayMask", info.displayMask},
          {"isDdcPort", info.isDdcPort},
          {"deviceAddress", info.deviceAddress},
          {"regAddress", info.regAddress != nullptr},
          {"regAddressSize", info.regAddressSize},
          {"size", info.size},
          {"speed", info.speed}};
}

NvAPI_Status I2cTransaction(const char* name, bool write, NvPhysicalGpuHandle gpu, NV_I2C_INFO* info,
                            const uint32_t* const* extension) {
  Board& board = TheBoard();
  if (info == nullptr) {
    board.Record({{"call", name}, {"info", nullptr}, {"status", I2cNoAckStatus}});
    return I2cNoAckStatus;
  }
  nlohmann::json entry = I2cEntry(name, gpu, *info);
  if (extension != nullptr) {
    entry["ext"] = *extension == nullptr ? nlohmann::json() : nlohmann::json(**extension);
  }
  const size_t size = info->data == nullptr ? 0 : info->size;
  if (write) {
    entry["data"] = HexBytes(info->data, size);
  }
  std::vector<nlohmann::json> events;
  NvAPI_Status status = board.Settings.Nvapi.I2cStatus;
  if (status == NVAPI_OK) {
    bool ack = false;
    if (!KnownGpu(board, gpu)) {
      events.push_back({{"event", "no_ack"}, {"reason", "gpu_handle"}});
    } else {
      ack = RunI2cTransfer(board, I2cDriver::Nvapi,
                           {info->deviceAddress, info->regAddressSize != 0, write, info->data, info->size}, events);
    }
    status = ack ? NVAPI_OK : I2cNoAckStatus;
  }
  if (!write) {
    entry["data"] = status == NVAPI_OK && size > 0 ? HexBytes(info->data, 1) : "";
  }
  entry["status"] = status;
  board.Record(std::move(entry));
  board.RecordEvents(std::move(events));
  return status;
}

NvAPI_Status I2cRead(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info) {
  return I2cTransaction("NvAPI_I2CRead", false, gpu, info, nullptr);
}

NvAPI_Status I2cWrite(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info) {
  return I2cTransaction("NvAPI_I2CWrite", true, gpu, info, nullptr);
}

NvAPI_Status I2cReadEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info, uint32_t* extension) {
  return I2cTransaction("NvAPI_I2CReadEx", false, gpu, info, &extension);
}

NvAPI_Status I2cWriteEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO* info, uint32_t* extension) {
  return I2cTransaction("NvAPI_I2CWriteEx", true, gpu, info, &extension);
}

static_assert(std::is_same_v<decltype(EnumPhysicalGpus), NvAPI_EnumPhysicalGPUsPrototype>);
static_assert(std::is_same_v<decltype(I2cRead), NvAPI_I2CReadPrototype>);
static_assert(std::is_same_v<decltype(I2cWrite), NvAPI_I2CWritePrototype>);
static_assert(std::is_same_v<decltype(I2cReadEx), NvAPI_I2CReadExPrototype>);
static_assert(std::is_same_v<decltype(I2cWriteEx), NvAPI_I2CWriteExPrototype>);

template <typename Function> void* Offer(Function function) {
  return reinterpret_cast<void*>(function);
}

void* DriverFunction(const Board& board, uint32_t id) {
  const NvapiSettings& nvapi = board.Settings.Nvapi;
  switch (id) {
  case NvInitializeId:
    return Offer(&DriverInitialize);
  case NvUnloadId:
    return Offer(&DriverUnload);
  case NvEnterHookId:
    return nvapi.EnterHook ? Offer(&EnterHook) : nullptr;
  case NvExitHookId:
    return nvapi.ExitHook ? Offer(&ExitHook) : nullptr;
  case NvAPI_EnumPhysicalGPUsId:
    return Offer(&EnumPhysicalGpus);
  case NvAPI_I2CReadId:
    return Offer(&I2cRead);
  case NvAPI_I2CWriteId:
    return Offer(&I2cWrite);
  case NvAPI_I2CReadExId:
    return Offer(&I2cReadEx);
  case NvAPI_I2CWriteExId:
    return Offer(&I2cWriteEx);
  default:
    return GenericMemberFunction(id);
  }
}

} // namespace

void* model::NvapiQueryInterface(uint32_t id) {
  Board& board = TheBoard();
  void* function = board.Settings.Nvapi.MissingIds.contains(id) ? nullptr : DriverFunction(board, id);
  board.Record({{"call", "nvapi_QueryInterface"}, {"id", id}, {"found", function != nullptr}});
  return function;
}

} // namespace sim
