#include "app/board_preparation.h"

#include <cstring>

#include "app/display_device_record.h"
#include "board/board_vendor.h"
#include "nvapi/nvapi_loader.h"
#include "platform/win32_api.h"

namespace {

using EnumDisplayDevicesFunction = BOOL(WINAPI*)(const char* device, DWORD index, void* record, DWORD flags);

// Looked up once per process; the system library is never freed. (Not named
// EnumDisplayDevices: <windows.h> defines that name as a macro.)
EnumDisplayDevicesFunction EnumDisplayDevicesEntry;

// A machine has a handful of display devices; an enumeration that goes on
// past this many is broken, and the scan stops there.
constexpr int32_t MaxDisplayDevices = 256;

} // namespace

int32_t FindPrimaryAdapter() {
  if (EnumDisplayDevicesEntry == nullptr) {
    EnumDisplayDevicesEntry =
        GetProcAddressAs<EnumDisplayDevicesFunction>(LoadLibraryA("USER32"), "EnumDisplayDevicesA");
    if (EnumDisplayDevicesEntry == nullptr) {
      return 0;
    }
  }
  int32_t primary = 0;
  DisplayDeviceRecord record;
  for (int32_t position = 0; position < MaxDisplayDevices; ++position) {
    std::memset(&record, 0, sizeof record);
    record.Size = sizeof record;
    if (!EnumDisplayDevicesEntry(nullptr, static_cast<DWORD>(position), &record, 0)) {
      break;
    }
    if (record.StateFlags == PrimaryDesktopFlags) {
      primary = position;
    }
  }
  return primary;
}

void PrepareBoard() {
  PrimaryAdapterIndex = FindPrimaryAdapter();
  BoardVendor = DetectBoardVendor();
  if (BoardVendor == BoardVendorNvidia) {
    NvAPI_Initialize();
    NvAPI_EnumPhysicalGPUs(PhysicalGpuHandles, &PhysicalGpuCount);
  }
}
