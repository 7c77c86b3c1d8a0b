// The AMD driver library atipdlxx.dll as the tool binds it: fifteen exports,
// four of them called, and the adapter table that its I2C entry needs.
#pragma once

#include <cstdint>

#include "board/ati_records.h"
#include "board/i2c_records.h"
#include "platform/win32_api.h"

using AtiQueryFunction = int32_t (*)(int32_t adapter, void* record, void* extra);
using AtiEnumPhysicalAdaptersFunction = int32_t (*)(int32_t adapter, int32_t number, void* record);
using AtiWriteAndReadI2CExFunction = int32_t (*)(int32_t zero, AtiI2CRequest* request, void* adapterDescription);
using AtiUncalledFunction = void (*)();

// The exports in binding order: (name, entry type).
#define ATI_EXPORTS(X)                                                                                                 \
  X(ATIDL_GetODClockInfo, AtiUncalledFunction)                                                                         \
  X(ATIDL_GetAdapterID, AtiUncalledFunction)                                                                           \
  X(ATIDL_GetMVPUStatus, AtiQueryFunction)                                                                             \
  X(ATIDL_GetODParameters, AtiQueryFunction)                                                                           \
  X(ATIDL_GetODPerformanceLevels, AtiUncalledFunction)                                                                 \
  X(ATIDL_SetODPerformanceLevels, AtiUncalledFunction)                                                                 \
  X(ATIDL_GetPMCurrentActivity, AtiUncalledFunction)                                                                   \
  X(ATIDL_GetTemperature, AtiUncalledFunction)                                                                         \
  X(ATIDL_GetFanSpeedInfo, AtiUncalledFunction)                                                                        \
  X(ATIDL_GetFanSpeed, AtiUncalledFunction)                                                                            \
  X(ATIDL_SetFanSpeed, AtiUncalledFunction)                                                                            \
  X(ATIDL_SetFanSpeedToDefault, AtiUncalledFunction)                                                                   \
  X(ATIDL_WriteAndReadI2C, AtiUncalledFunction)                                                                        \
  X(ATIDL_EnumPhysicalAdapters, AtiEnumPhysicalAdaptersFunction)                                                       \
  X(ATIDL_WriteAndReadI2CEx, AtiWriteAndReadI2CExFunction)

struct AtiEntryPointSet {
#define ATI_ENTRY_FIELD(name, type) type name;
  ATI_EXPORTS(ATI_ENTRY_FIELD)
#undef ATI_ENTRY_FIELD
};

extern HMODULE AtiLibrary;
extern AtiEntryPointSet AtiEntryPoints;
extern PhysicalAdapterRecord PhysicalAdapterTable[4];
