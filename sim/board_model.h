// What the board model offers the stand-in libraries: one function per
// driver export that the tool calls, each taking the export's own arguments.
// The stand-ins are thin C-linkage layers over these.
#pragma once

#include <cstdint>

#include "sim/sim_export.h"

namespace sim::model {

SIMBOARD_API void LibraryLoaded(const char* lib);
SIMBOARD_API void LibraryUnloaded(const char* lib);
// An export the tool binds but never calls was called.
SIMBOARD_API void UncalledExport(const char* lib, const char* name);

// USER32
SIMBOARD_API int EnumDisplayDevices(const char* device, uint32_t index, void* record, uint32_t flags);

// nvapi.dll: the driver functions are the model's own.
SIMBOARD_API void* NvapiQueryInterface(uint32_t id);

// atipdlxx.dll
SIMBOARD_API int32_t AtiGetMvpuStatus(int32_t adapter, void* record, void* reserved);
SIMBOARD_API int32_t AtiGetOdParameters(int32_t adapter, void* record, void* gpuEntry);
SIMBOARD_API int32_t AtiEnumPhysicalAdapters(int32_t adapter, int32_t number, void* record);
SIMBOARD_API int32_t AtiWriteAndReadI2CEx(int32_t zero, void* request, void* adapterDescription);

// KAV.DLL
SIMBOARD_API int32_t KavFindVgaChip(uint32_t vendorId, void* chipInfo, uint32_t size);
SIMBOARD_API int32_t KavGetVgaMmioAddress(void* chipInfo, uint32_t zero);
SIMBOARD_API uint32_t KavReadRegister(uint32_t offset, uint32_t zero);
SIMBOARD_API int32_t KavWriteRegister(uint32_t offset, uint32_t value, uint32_t zero);

} // namespace sim::model
