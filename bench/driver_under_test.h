// The nvapi.dll that the loader benchmarks call into. Two implementations
// link against the same benchmark source: the simulated board's stand-in
// (sim_driver.cpp) and a quiet driver built from the same stand-in source
// with a model that does almost nothing (quiet_driver.cpp), so that the
// loader's own cost is not hidden behind the simulated board's tracing.
#pragma once

#include <cstdint>

#include "nvapi/nvapi_loader.h"

namespace bench {

// The interface ID of a member operation, from the loader's own table.
template <size_t Index, uint32_t Id, typename Prototype>
constexpr uint32_t InterfaceId(const nvapi::Member<Index, Id, Prototype>&) {
  return Id;
}

// The member the benchmarks call: the update's packet write.
inline constexpr uint32_t I2cWriteExId = InterfaceId(NvAPI_I2CWriteEx);

// Loads the library into the process (once) and makes the driver offer both
// hooks, or none, at the next NvAPI_Initialize. False when it cannot.
bool PrepareDriver(bool hooks);

// The driver's own function for an interface ID, asked of the library's
// nvapi_QueryInterface directly, not through the loader.
void* DriverFunction(uint32_t id);

// The GPU handle the driver answers to.
NvPhysicalGpuHandle Gpu();

// Drops what the driver gathered during a batch of calls; run with the
// timing paused every TidyInterval calls.
inline constexpr int64_t TidyInterval = 1024;
void Tidy();

} // namespace bench
