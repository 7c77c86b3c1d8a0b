// Records exchanged by address with the AMD driver library atipdlxx.dll.
// The caller sets only the leading size word; the library fills the rest.
#pragma once

#include <cstddef>
#include <cstdint>

// One per-GPU entry of MvpuStatus, handed on to ATIDL_GetODParameters.
struct MvpuGpuEntry {
  uint8_t Bytes[12];
};

struct MvpuStatus {
  int32_t Size;      // 60
  uint32_t GpuCount; // GPUs to query after the call
  uint32_t Reserved; // library data
  MvpuGpuEntry GpuEntries[4];
};

struct OdParameters {
  int32_t Size; // 56
  uint8_t LibraryData[52];
};

struct PhysicalAdapterRecord {
  int32_t Size;            // 80
  uint8_t Description[76]; // handed to ATIDL_WriteAndReadI2CEx for adapter 0
};

static_assert(sizeof(MvpuStatus) == 60);
static_assert(offsetof(MvpuStatus, GpuCount) == 4);
static_assert(offsetof(MvpuStatus, GpuEntries) == 12);
static_assert(sizeof(MvpuGpuEntry) == 12);
static_assert(sizeof(OdParameters) == 56);
static_assert(sizeof(PhysicalAdapterRecord) == 80);
static_assert(offsetof(PhysicalAdapterRecord, Description) == 4);
