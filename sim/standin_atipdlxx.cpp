// Stand-in for the AMD driver library atipdlxx.dll: the four entries the
// tool calls over the board model, and the eleven it binds but never calls.
#include <cstdint>

#include "board/ati_driver.h"
#include "sim/standin.h"

SIM_STANDIN("atipdlxx.dll")

SIM_EXPORT int32_t ATIDL_GetMVPUStatus(int32_t adapter, void* mvpuStatus, void* reserved) {
  return sim::model::AtiGetMvpuStatus(adapter, mvpuStatus, reserved);
}

SIM_EXPORT int32_t ATIDL_GetODParameters(int32_t adapter, void* odParameters, void* gpuEntry) {
  return sim::model::AtiGetOdParameters(adapter, odParameters, gpuEntry);
}

SIM_EXPORT int32_t ATIDL_EnumPhysicalAdapters(int32_t adapter, int32_t number, void* record) {
  return sim::model::AtiEnumPhysicalAdapters(adapter, number, record);
}

SIM_EXPORT int32_t ATIDL_WriteAndReadI2CEx(int32_t zero, AtiI2CRequest* request, void* adapterDescription) {
  return sim::model::AtiWriteAndReadI2CEx(zero, request, adapterDescription);
}

SIM_UNCALLED(ATIDL_GetODClockInfo)
SIM_UNCALLED(ATIDL_GetAdapterID)
SIM_UNCALLED(ATIDL_GetODPerformanceLevels)
SIM_UNCALLED(ATIDL_SetODPerformanceLevels)
SIM_UNCALLED(ATIDL_GetPMCurrentActivity)
SIM_UNCALLED(ATIDL_GetTemperature)
SIM_UNCALLED(ATIDL_GetFanSpeedInfo)
SIM_UNCALLED(ATIDL_GetFanSpeed)
SIM_UNCALLED(ATIDL_SetFanSpeed)
SIM_UNCALLED(ATIDL_SetFanSpeedToDefault)
SIM_UNCALLED(ATIDL_WriteAndReadI2C)

ATI_EXPORTS(SIM_CHECK_EXPORT)
