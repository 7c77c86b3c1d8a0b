// The two I2C request records handed to the board drivers: NVAPI's
// NV_I2C_INFO (version 1) and the AMD driver's AtiI2CRequest. Both are laid
// out for the driver's own ABI: 32 bytes each on the 32-bit product target,
// wider pointers in a 64-bit build.
#pragma once

#include <cstddef>
#include <cstdint>

// NVAPI's I2C record, version 1.
struct NV_I2C_INFO {
  uint32_t version;      // size | 1 << 16
  uint32_t displayMask;  // 0 for the extended calls
  uint8_t isDdcPort;     // 0: not the display's DDC port
  uint8_t deviceAddress; // 7-bit bus address shifted left by one
  uint8_t* regAddress;   // always set, although regAddressSize is 0
  uint32_t regAddressSize;
  uint8_t* data;
  uint32_t size;
  uint32_t speed;
};

// The version word of NV_I2C_INFO: the record's size in the low 16 bits and
// the structure version 1 in the high 16 bits (0x10020 on the 32-bit target).
inline constexpr uint32_t NvI2cInfoVersion = static_cast<uint32_t>(sizeof(NV_I2C_INFO)) | 1u << 16;

// The AMD driver's I2C request: seven 32-bit fields and the data pointer.
struct AtiI2CRequest {
  int32_t Size;          // sizeof(AtiI2CRequest)
  int32_t Line;          // fixed 1
  int32_t DeviceAddress; // 0x22
  int32_t Offset;        // fixed 0
  int32_t Direction;     // 2 write, 1 read
  int32_t Speed;         // fixed 10
  int32_t DataSize;
  uint8_t* Data;
};

inline constexpr int32_t AtiDirectionWrite = 2;
inline constexpr int32_t AtiDirectionRead = 1;

// The layout the drivers expect from a 32-bit process.
inline constexpr bool Is32BitTarget = sizeof(void*) == 4;
static_assert(!Is32BitTarget || sizeof(NV_I2C_INFO) == 32);
static_assert(!Is32BitTarget || NvI2cInfoVersion == 0x10020);
static_assert(offsetof(NV_I2C_INFO, version) == 0);
static_assert(offsetof(NV_I2C_INFO, displayMask) == 4);
static_assert(offsetof(NV_I2C_INFO, isDdcPort) == 8);
static_assert(offsetof(NV_I2C_INFO, deviceAddress) == 9);
static_assert(offsetof(NV_I2C_INFO, regAddress) == 12 || !Is32BitTarget);
static_assert(offsetof(NV_I2C_INFO, regAddressSize) == 16 || !Is32BitTarget);
static_assert(offsetof(NV_I2C_INFO, data) == 20 || !Is32BitTarget);
static_assert(offsetof(NV_I2C_INFO, size) == 24 || !Is32BitTarget);
static_assert(offsetof(NV_I2C_INFO, speed) == 28 || !Is32BitTarget);
static_assert(offsetof(AtiI2CRequest, DataSize) == 24);
static_assert(offsetof(AtiI2CRequest, Data) == 28 || !Is32BitTarget);
static_assert(!Is32BitTarget || sizeof(AtiI2CRequest) == 32);
