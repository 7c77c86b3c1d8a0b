#include "board/receiver_i2c.h"

#include <cstdio>

#include "board/ati_driver.h"
#include "board/board_vendor.h"
#include "nvapi/nvapi_loader.h"

namespace {

template <typename Plain, typename Extended>
int32_t NvidiaTransfer(const Plain& plain, const Extended& extended, int32_t type, NV_I2C_INFO* info,
                       uint32_t* extension) {
  info->version = NvI2cInfoVersion;
  NvAPI_Status status;
  if (type == 0 || type == 1) {
    info->isDdcPort = 0;
    status = plain(PhysicalGpuHandles[0], info);
  } else if (type == 2 || type == 3) {
    info->isDdcPort = 0;
    info->displayMask = 0;
    *extension = 1;
    status = extended(PhysicalGpuHandles[0], info, extension);
  } else {
    return 0;
  }
  return status == NVAPI_OK ? 1 : 0;
}

int32_t AmdTransfer(const char* failLine, AtiI2CRequest* request) {
  // A driver library without its I2C entry fails like a failing transaction.
  if (AtiEntryPoints.ATIDL_WriteAndReadI2CEx == nullptr ||
      AtiEntryPoints.ATIDL_WriteAndReadI2CEx(0, request, PhysicalAdapterTable[0].Description) != 0) {
    std::printf("%s", failLine);
    return 0;
  }
  return 1;
}

template <typename Plain, typename Extended>
int32_t Transfer(const Plain& plain, const Extended& extended, const char* atiFailLine, int32_t type, NV_I2C_INFO* info,
                 uint32_t* extension, AtiI2CRequest* request) {
  switch (BoardVendor) {
  case BoardVendorNvidia:
    return NvidiaTransfer(plain, extended, type, info, extension);
  case BoardVendorAmd:
    return AmdTransfer(atiFailLine, request);
  default:
    return 0;
  }
}

} // namespace

int32_t ReceiverRead(int32_t type, NV_I2C_INFO* info, uint32_t* extension, AtiI2CRequest* request) {
  return Transfer(NvAPI_I2CRead, NvAPI_I2CReadEx, "ATI API Read I2C  fail\n", type, info, extension, request);
}

int32_t ReceiverWrite(int32_t type, NV_I2C_INFO* info, uint32_t* extension, AtiI2CRequest* request) {
  return Transfer(NvAPI_I2CWrite, NvAPI_I2CWriteEx, "ATI API Write I2C  fail\n", type, info, extension, request);
}
