#include "board/board_vendor.h"

#include "board/ati_driver.h"
#include "nvapi/nvapi_loader.h"

int32_t PrimaryAdapterIndex;
int32_t BoardVendor;
NvPhysicalGpuHandle PhysicalGpuHandles[MaxPhysicalGpus];
uint32_t PhysicalGpuCount;

HMODULE AtiLibrary;
AtiEntryPointSet AtiEntryPoints;
PhysicalAdapterRecord PhysicalAdapterTable[4];

namespace {

constexpr uint32_t MaxOdQueries = 4;
constexpr int32_t PhysicalAdapterQueries = 4;

bool NvidiaGpuPresent() {
  return NvAPI_Initialize() == NVAPI_OK && NvAPI_EnumPhysicalGPUs(PhysicalGpuHandles, &PhysicalGpuCount) == NVAPI_OK &&
         PhysicalGpuCount != 0;
}

void BindAtiEntryPoints() {
#define ATI_BIND_ENTRY(name, type) AtiEntryPoints.name = GetProcAddressAs<type>(AtiLibrary, #name);
  ATI_EXPORTS(ATI_BIND_ENTRY)
#undef ATI_BIND_ENTRY
}

void QueryOdParameters() {
  MvpuStatus mvpu{};
  mvpu.Size = sizeof(MvpuStatus);
  if (AtiEntryPoints.ATIDL_GetMVPUStatus(PrimaryAdapterIndex, &mvpu, nullptr) != 0) {
    mvpu.GpuCount = 1;
  }
  const uint32_t gpuCount = mvpu.GpuCount;
  OdParameters parameters[MaxOdQueries]{};
  for (uint32_t i = 0; i < gpuCount && i < MaxOdQueries; ++i) {
    parameters[i].Size = sizeof(OdParameters);
    void* gpuEntry = gpuCount > 1 ? &mvpu.GpuEntries[i] : nullptr;
    if (AtiEntryPoints.ATIDL_GetODParameters(PrimaryAdapterIndex, &parameters[i], gpuEntry) != 0) {
      break;
    }
  }
}

void EnumeratePhysicalAdapters() {
  if (AtiEntryPoints.ATIDL_EnumPhysicalAdapters == nullptr) {
    return;
  }
  for (int32_t i = 0; i < PhysicalAdapterQueries; ++i) {
    PhysicalAdapterTable[i].Size = sizeof(PhysicalAdapterRecord);
    AtiEntryPoints.ATIDL_EnumPhysicalAdapters(PrimaryAdapterIndex, i, &PhysicalAdapterTable[i]);
  }
}

} // namespace

int32_t DetectBoardVendor() {
  if (NvidiaGpuPresent()) {
    return BoardVendorNvidia;
  }

  if (AtiLibrary != nullptr) {
    FreeLibrary(AtiLibrary);
  }
  AtiEntryPoints = {};
  AtiLibrary = LoadLibraryA("atipdlxx.dll");
  if (AtiLibrary == nullptr) {
    return BoardVendorNone;
  }
  BindAtiEntryPoints();
  if (AtiEntryPoints.ATIDL_GetMVPUStatus == nullptr || AtiEntryPoints.ATIDL_GetODParameters == nullptr ||
      AtiEntryPoints.ATIDL_SetODPerformanceLevels == nullptr) {
    return BoardVendorNone;
  }

  QueryOdParameters();
  EnumeratePhysicalAdapters();
  return BoardVendorAmd;
}
