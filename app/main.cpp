// rxflash: updates the firmware of the Flash Receiver on a graphics board's
// I2C bus, or reports the version it runs.
#include "app/board_preparation.h"
#include "app/command_dispatch.h"
#include "board/board_vendor.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  ConfigureConsole();
  PrepareBoard();
  return DispatchCommand(argc, argv, BoardVendor);
}
