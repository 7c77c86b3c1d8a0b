// The leading 168 bytes of the system's DISPLAY_DEVICEA record, as handed to
// EnumDisplayDevicesA. Its size word says 168, so the system fills only these.
#pragma once

#include <cstddef>
#include <cstdint>

struct DisplayDeviceRecord {
  uint32_t Size; // 168 before every call
  char DeviceName[32];
  char DeviceString[128];
  uint32_t StateFlags;
};

// Attached to the desktop (0x1) and primary (0x4), and nothing else.
inline constexpr uint32_t PrimaryDesktopFlags = 0x5;

static_assert(sizeof(DisplayDeviceRecord) == 168);
static_assert(offsetof(DisplayDeviceRecord, StateFlags) == 164);
