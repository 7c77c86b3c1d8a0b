// Chooses the command from the argument count and the board vendor, and
// decides the exit status.
#pragma once

#include <cstdint>

int32_t DispatchCommand(int32_t argumentCount, char** arguments, int32_t boardVendor);
