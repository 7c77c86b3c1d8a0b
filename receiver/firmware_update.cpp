#include "receiver/firmware_update.h"

#include <cstdio>

#include "board/board_vendor.h"
#include "board/receiver_i2c.h"
#include "board/receiver_link.h"
#include "board/receiver_transactions.h"
#include "board/register_access.h"
#include "platform/console.h"
#include "platform/win32_api.h"
#include "receiver/banner.h"
#include "receiver/firmware_image.h"

namespace {

constexpr DWORD NvidiaStartPause = 2000;
constexpr DWORD AmdStartPause = 600;
constexpr int32_t NvidiaSectorDots = 4;
constexpr DWORD NvidiaDotPause = 800;
constexpr DWORD AmdBusyPause = 50;
// Busy tests after the first before a sector counts as failed: 10 seconds.
constexpr int32_t AmdBusyTestLimit = 200;

// Prints the sector's progress line and waits while the receiver stores the
// sector. False when an AMD receiver is still busy after the limit.
bool AwaitSector(bool nvidia, int32_t sector) {
  if (nvidia) {
    std::printf("\tFirmware sector %d updating", sector + 1);
    for (int32_t dot = 0; dot < NvidiaSectorDots; ++dot) {
      std::printf(".");
      Sleep(NvidiaDotPause);
    }
    return true;
  }
  bool busy = ReceiverBusy();
  std::printf("\tFirmware sector %d updating", sector + 1);
  for (int32_t test = 0; busy && test < AmdBusyTestLimit; ++test) {
    busy = ReceiverBusy();
    std::printf(".");
    Sleep(AmdBusyPause);
  }
  return !busy;
}

void PrintVerdict(bool nvidia, int32_t failedSectors) {
  if (failedSectors != 0) {
    std::printf("      *** Firmware updated FAIL ***\n");
    std::printf("\n \t[ Re-Start the Compucter and Try it again]\n");
  } else if (nvidia) {
    std::printf("         *** Firmware updated Success ***\n");
    std::printf("\n \t   [ Re-Start the Compucter ]\n");
  } else {
    std::printf("      *** Firmware updated Success ***\n");
    std::printf("\n \t[ Re-Start the Compucter ]\n");
  }
}

// False when the image cannot be used; the reason is printed.
bool ReportImageLoad(ImageLoadResult result) {
  switch (result) {
  case ImageLoadResult::Loaded:
    return true;
  case ImageLoadResult::NotFound:
    std::printf("\tFirmware is not found\n");
    return false;
  case ImageLoadResult::NameTooLong:
    std::printf("\tFirmware file name is too long\n");
    return false;
  case ImageLoadResult::TooLarge:
    std::printf("\tFirmware is too large\n");
    return false;
  }
  return false;
}

} // namespace

int32_t UpdateFirmware(const char* fileName) {
  const bool nvidia = BoardVendor == BoardVendorNvidia;

  if (!Kav.Load()) {
    std::printf("Can not initial KAV\n");
    return 0;
  }
  if (!Kav.DetectChip()) {
    std::printf(nvidia ? "Can not find NVIDIA VGA\n" : "Can not find AMD VGA\n");
    return 0;
  }
  MapChipRegisters();
  if (nvidia) {
    OpenReceiverLink();
  } else {
    SetAmdReceiverGpio();
    std::printf("AMD VGA GPIO...\n");
  }
  std::printf("%s\n", Banner);
  Sleep(nvidia ? NvidiaStartPause : AmdStartPause);

  FirmwareImage image;
  if (!ReportImageLoad(LoadFirmwareImage(fileName, image))) {
    return -1;
  }

  const int32_t lastSector = image.SectorCount - 1;
  uint8_t packet[PacketSize] = {};
  ReceiverTransaction transaction{};
  int32_t failedSectors = 0;
  for (int32_t sector = 0; sector <= lastSector; ++sector) {
    for (int32_t k = 0; k < PacketsPerSector; ++k) {
      BuildSectorPacket(image, sector, k, packet);
      SetPacketWrite(transaction, packet);
      if (!ReceiverWrite(I2cTypeExtended, &transaction.Info, &transaction.Extension, &transaction.Request)) {
        std::printf("\tFirmware can not be downloaded\n");
        return 0;
      }
    }
    const uint8_t checksum = SectorChecksum(image, sector);

    // A sector counts as written only when the receiver's own sum was read
    // back and matches.
    bool matched = false;
    if (AwaitSector(nvidia, sector)) {
      SetChecksumRead(transaction, packet);
      if (ReceiverRead(I2cTypeExtended, &transaction.Info, &transaction.Extension, &transaction.Request)) {
        matched = packet[0] == checksum;
      } else {
        std::printf("\tFirmware sector %d transfer FAIL...\n", sector + 1);
      }
    }

    if (matched) {
      std::printf(" Success\n");
      if (sector == lastSector) {
        PrintVerdict(nvidia, failedSectors);
      }
    } else {
      ++failedSectors;
      std::printf(" FAIL\n");
    }
    if (sector == lastSector) {
      if (nvidia) {
        CloseReceiverLink();
      }
      WaitForKey();
    }
  }

  Kav.Release();
  std::fclose(image.File);
  return 0;
}
