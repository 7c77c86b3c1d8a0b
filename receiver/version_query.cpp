#include "receiver/version_query.h"

#include <cstdio>
#include <cstdlib>

#include "board/board_vendor.h"
#include "board/receiver_i2c.h"
#include "board/receiver_link.h"
#include "board/receiver_transactions.h"
#include "board/register_access.h"
#include "platform/console.h"
#include "platform/win32_api.h"
#include "receiver/banner.h"

namespace {

constexpr DWORD ReceiverStartPause = 2000;

} // namespace

int32_t QueryReceiverVersion() {
  uint8_t version[10] = {};
  ReceiverTransaction transaction{};

  if (BoardVendor == BoardVendorNvidia) {
    if (!Kav.Load()) {
      std::printf("Can not initial KAV\n");
      return 0;
    }
    if (!Kav.DetectChip()) {
      std::printf("Can not find NVIDIA VGA\n");
      return 0;
    }
    MapChipRegisters();
    OpenReceiverLink();
    std::printf("%s\n", Banner);
    Sleep(ReceiverStartPause);
    SetVersionRead(transaction, version);
    if (!ReceiverRead(I2cTypeExtended, &transaction.Info, &transaction.Extension, &transaction.Request)) {
      std::printf("    Flash Receiver Version is not found.\n");
    }
    std::printf(" === Flash Receiver Version %d ===\n", version[0]);
    CloseReceiverLink();
  } else if (BoardVendor == BoardVendorAmd) {
    std::printf("%s\n", Banner);
    Sleep(ReceiverStartPause);
  }

  Kav.Release();
  WaitForKey();
  std::exit(0);
}
