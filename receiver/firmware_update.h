// The one-argument command: sends the image file to the receiver sector by
// sector, checks each sector's checksum, prints a line per sector and the
// verdict, and waits for a key.
#pragma once

#include <cstdint>

// -1 when the image file cannot be used (missing, not writable, name too
// long, too large); 0 on every other path, whatever the verdict. Needs a
// BoardVendor of NVIDIA or AMD.
int32_t UpdateFirmware(const char* fileName);
