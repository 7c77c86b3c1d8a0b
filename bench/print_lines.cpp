// The yardstick for the update's memory and start-up figures: a program that
// starts the C runtime, configures the console as rxflash does and prints
// the lines of a successful seven-sector update on an NVIDIA board, with the
// same formatted prints, and nothing else: no library, no file, no pause.
#include <cstdio>

#include "platform/console.h"
#include "receiver/banner.h"

int main() {
  ConfigureConsole();
  std::printf("%s\n", Banner);
  constexpr int Sectors = 7;
  for (int sector = 0; sector < Sectors; ++sector) {
    std::printf("\tFirmware sector %d updating", sector + 1);
    for (int dot = 0; dot < 4; ++dot) {
      std::printf(".");
    }
    std::printf(" Success\n");
  }
  std::printf("         *** Firmware updated Success ***\n");
  std::printf("\n \t   [ Re-Start the Compucter ]\n");
  return 0;
}
