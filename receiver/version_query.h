// The no-argument command: prints the banner and, on an NVIDIA board, the
// receiver's firmware version, waits for a key and ends the process with 0.
#pragma once

#include <cstdint>

// Returns 0 only when the register-access library cannot be loaded or no
// chip is found; otherwise it ends the process with exit code 0.
int32_t QueryReceiverVersion();
