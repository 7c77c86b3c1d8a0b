// USER32's display-device enumeration.
#include <cstdio>
#include <cstring>

#include "app/display_device_record.h"
#include "sim/board.h"
#include "sim/board_model.h"

namespace sim::model {

int EnumDisplayDevices(const char* device, uint32_t index, void* record, uint32_t flags) {
  Board& board = TheBoard();
  const auto& devices = board.Settings.DisplayDevices;
  auto* display = static_cast<DisplayDeviceRecord*>(record);
  nlohmann::json entry = {{"call", "EnumDisplayDevicesA"},
                          {"device", device == nullptr ? nlohmann::json() : nlohmann::json(device)},
                          {"index", index},
                          {"cb", display == nullptr ? nlohmann::json() : nlohmann::json(display->Size)},
                          {"flags", flags},
                          {"StateFlags", nullptr}};
  const bool listed = index < devices.size();
  const int result = listed || board.Settings.DisplayDevicesEndless ? 1 : 0;
  // The system writes no further than the size word allows.
  if (result != 0 && display != nullptr && display->Size >= sizeof(DisplayDeviceRecord)) {
    display->StateFlags = listed ? devices[index] : 0;
    std::snprintf(display->DeviceName, sizeof display->DeviceName, "\\\\.\\DISPLAY%u", index + 1);
    entry["StateFlags"] = display->StateFlags;
  }
  entry["result"] = result;
  board.Record(std::move(entry));
  return result;
}

} // namespace sim::model
