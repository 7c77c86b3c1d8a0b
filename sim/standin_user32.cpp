// Stand-in for the system library USER32 on POSIX: the display-device
// enumeration over the board model.
#include <cstdint>

#include "sim/standin.h"

SIM_STANDIN("USER32")

SIM_EXPORT int EnumDisplayDevicesA(const char* device, uint32_t index, void* record, uint32_t flags) {
  return sim::model::EnumDisplayDevices(device, index, record, flags);
}
