// The NVAPI member table: one line per member, (name, interface ID,
// prototype). The loader generates the table entries and the member
// operations from this list; adding a member is one line here.
//
// A word is pointer-sized (32 bits on the product target): a handle, an
// address or an integer. Members the system does not call and whose
// published names it does not use are named after their interface IDs.
#pragma once

#include <cstdint>

#include "board/i2c_records.h"

using NvAPI_Status = int32_t;
using NvPhysicalGpuHandle = void*;
using NvWord = uintptr_t;

// Records some members take by value.
struct NvRecord12 {
  uint32_t Words[3];
};
struct NvRecord516 {
  uint8_t Bytes[516];
};

#define NVAPI_MEMBERS(X)                                                                                               \
  X(NvAPI_EnumPhysicalGPUs, 0xE5AC921F, NvAPI_Status(NvPhysicalGpuHandle*, uint32_t*))                                 \
  X(NvAPI_I2CRead, 0x2FDE12C5, NvAPI_Status(NvPhysicalGpuHandle, NV_I2C_INFO*))                                        \
  X(NvAPI_I2CWrite, 0xE812EB07, NvAPI_Status(NvPhysicalGpuHandle, NV_I2C_INFO*))                                       \
  X(NvAPI_I2CReadEx, 0x4D7B0709, NvAPI_Status(NvPhysicalGpuHandle, NV_I2C_INFO*, uint32_t*))                           \
  X(NvAPI_I2CWriteEx, 0x283AC65A, NvAPI_Status(NvPhysicalGpuHandle, NV_I2C_INFO*, uint32_t*))                          \
  X(NvAPI_Interface239C4545, 0x239C4545, NvAPI_Status())                                                               \
  X(NvAPI_Interface2EC50C2B, 0x2EC50C2B, NvAPI_Status())                                                               \
  X(NvAPI_GetInterfaceVersionString, 0x01053FA5, NvAPI_Status(char*))                                                  \
  X(NvAPI_GetErrorMessage, 0x6C2D048C, NvAPI_Status(NvAPI_Status, char*))                                              \
  X(NvAPI_Interface0B3827C8, 0x0B3827C8,                                                                               \
    NvAPI_Status(NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord))                              \
  X(NvAPI_Interface5B803DAF, 0x5B803DAF,                                                                               \
    NvAPI_Status(NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord))                      \
  X(NvAPI_Interface6A16D3A0, 0x6A16D3A0,                                                                               \
    NvAPI_Status(NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord))              \
  X(NvAPI_InterfaceBB939EE5, 0xBB939EE5,                                                                               \
    NvAPI_Status(NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord, NvWord,       \
                 NvWord))                                                                                              \
  X(NvAPI_InterfaceAFC4833E, 0xAFC4833E,                                                                               \
    NvAPI_Status(NvWord, NvWord, NvWord, NvWord, NvRecord12, NvWord, NvWord, NvWord))                                  \
  X(NvAPI_InterfaceFA0B9A59, 0xFA0B9A59, NvAPI_Status(NvRecord516, NvWord))                                            \
  X(NvAPI_Interface584CB0B6, 0x584CB0B6, NvAPI_Status(NvRecord516, NvWord))
