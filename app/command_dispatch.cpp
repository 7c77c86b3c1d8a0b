#include "app/command_dispatch.h"

#include <cstdio>

#include "board/board_vendor.h"
#include "receiver/firmware_update.h"
#include "receiver/version_query.h"

int32_t DispatchCommand(int32_t argumentCount, char** arguments, int32_t boardVendor) {
  if (argumentCount == 1) {
    QueryReceiverVersion();
    return 0;
  }
  if (argumentCount == 2) {
    if (boardVendor == BoardVendorNvidia || boardVendor == BoardVendorAmd) {
      return UpdateFirmware(arguments[1]);
    }
    std::printf("Unknown option!\n");
    QueryReceiverVersion();
    return 0;
  }
  return 0;
}
