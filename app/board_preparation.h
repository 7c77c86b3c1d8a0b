// The entry's preparation of the board, made before the command line is
// looked at: primary display adapter, board vendor, NVIDIA interface.
#pragma once

#include <cstdint>

// The position of the last display device attached to the desktop and
// primary (flags exactly 5); 0 when there is none or the enumeration is
// not to be had. The scan stops after 256 devices.
int32_t FindPrimaryAdapter();

// Scan, detection and, on an NVIDIA board, initialise and enumerate again.
// Sets PrimaryAdapterIndex and BoardVendor.
void PrepareBoard();
