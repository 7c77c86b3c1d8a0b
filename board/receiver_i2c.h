// Single I2C transactions with the Flash Receiver, routed by the board
// vendor to NVAPI's I2C members or to the AMD driver's I2C entry.
#pragma once

#include <cstdint>

#include "board/i2c_records.h"

// Transaction types: 0 and 1 use NVAPI's plain I2C calls, 2 and 3 the
// extended ones. The type matters on NVIDIA boards only.
inline constexpr int32_t I2cTypePlain = 0;
inline constexpr int32_t I2cTypeExtended = 3;

// Both take the NVAPI record, its extension word and the AMD request, and use
// the one of the board in the machine. 1 on success, 0 on failure; on an AMD
// board a failure prints the operation's fail line.
int32_t ReceiverRead(int32_t type, NV_I2C_INFO* info, uint32_t* extension, AtiI2CRequest* request);
int32_t ReceiverWrite(int32_t type, NV_I2C_INFO* info, uint32_t* extension, AtiI2CRequest* request);
