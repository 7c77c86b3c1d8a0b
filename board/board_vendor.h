// Which driver reaches the receiver's I2C bus: NVAPI or the AMD driver
// library. Detection leaves behind the state the I2C transport needs.
#pragma once

#include <cstdint>

#include "nvapi/nvapi_members.h"

inline constexpr int32_t BoardVendorNone = 0;
inline constexpr int32_t BoardVendorNvidia = 1;
inline constexpr int32_t BoardVendorAmd = 2;

// Written once by the entry's board preparation.
extern int32_t PrimaryAdapterIndex;
extern int32_t BoardVendor;

inline constexpr uint32_t MaxPhysicalGpus = 64;
extern NvPhysicalGpuHandle PhysicalGpuHandles[MaxPhysicalGpus];
extern uint32_t PhysicalGpuCount;

// Returns BoardVendorNvidia, BoardVendorAmd or BoardVendorNone. Prints nothing.
int32_t DetectBoardVendor();
