// The model behind a benchmark-only build of the simulated board's nvapi.dll
// stand-in (sim/standin_nvapi.cpp): the same export, but driver functions
// that do next to nothing and trace nothing, so that a benchmark sees the
// cost of the loader's member call and not the simulated board's. It offers
// only what the loader benchmarks call.
#include <cstdint>

#include "bench/driver_under_test.h"
#include "sim/board_model.h"

namespace {

bool OfferHooks;
uint32_t Sink;

NvAPI_Status Initialize() {
  return NVAPI_OK;
}

NvAPI_Status EnterHook(uint32_t id, uint32_t context[2]) {
  context[0] = id;
  context[1] = 1;
  return NVAPI_OK;
}

NvAPI_Status ExitHook(uint32_t, uint32_t word0, uint32_t word1, NvAPI_Status status) {
  Sink += word0 + word1 + static_cast<uint32_t>(status);
  return NVAPI_OK;
}

NvAPI_Status I2cWriteEx(NvPhysicalGpuHandle, NV_I2C_INFO* info, uint32_t* extension) {
  Sink += info->size + *extension;
  return NVAPI_OK;
}

template <typename Function> void* Offer(Function function) {
  return reinterpret_cast<void*>(function);
}

} // namespace

// Whether the next NvAPI_Initialize finds both hooks or none.
extern "C" __attribute__((visibility("default"))) void QuietNvapiOfferHooks(int hooks) {
  OfferHooks = hooks != 0;
}

namespace sim::model {

void LibraryLoaded(const char*) {}
void LibraryUnloaded(const char*) {}

void* NvapiQueryInterface(uint32_t id) {
  switch (id) {
  case NvInitializeId:
    return Offer(&Initialize);
  case NvEnterHookId:
    return OfferHooks ? Offer(&EnterHook) : nullptr;
  case NvExitHookId:
    return OfferHooks ? Offer(&ExitHook) : nullptr;
  case bench::I2cWriteExId:
    return Offer(&I2cWriteEx);
  default:
    return nullptr;
  }
}

} // namespace sim::model
