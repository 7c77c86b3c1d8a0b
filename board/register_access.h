// The binding of the register-access library KAV.DLL, loaded from the
// current directory: twenty-five entries bound, four of them called.
#pragma once

#include <cstdint>

#include "platform/win32_api.h"

using FindVGAChipFunction = int32_t (*)(uint32_t vendorId, void* chipInfo, uint32_t size);
using GetVGAMMIOAddressFunction = int32_t (*)(void* chipInfo, uint32_t zero);
using GetDWORDVGAMMIODataFunction = uint32_t (*)(uint32_t offset, uint32_t zero);
using WriteDWORDVGAMMIODataFunction = int32_t (*)(uint32_t offset, uint32_t value, uint32_t zero);
using KavUncalledFunction = void (*)();

// The entry slots in slot order: (name, entry type).
#define KAV_EXPORTS(X)                                                                                                 \
  X(WriteI2CByte, KavUncalledFunction)                                                                                 \
  X(WriteI2C, KavUncalledFunction)                                                                                     \
  X(ReadI2CByte, KavUncalledFunction)                                                                                  \
  X(ReadI2C, KavUncalledFunction)                                                                                      \
  X(DetectI2CDevice, KavUncalledFunction)                                                                              \
  X(FindVGAChip, FindVGAChipFunction)                                                                                  \
  X(DefinePort, KavUncalledFunction)                                                                                   \
  X(GetMapAddress, KavUncalledFunction)                                                                                \
  X(ReadMMIODword, KavUncalledFunction)                                                                                \
  X(WriteMMIODword, KavUncalledFunction)                                                                               \
  X(ReadMMIOWord, KavUncalledFunction)                                                                                 \
  X(WriteMMIOWord, KavUncalledFunction)                                                                                \
  X(ReadMMIOByte, KavUncalledFunction)                                                                                 \
  X(WriteMMIOByte, KavUncalledFunction)                                                                                \
  X(GetVGAMMIOAddress, GetVGAMMIOAddressFunction)                                                                      \
  X(GetVGABIOSAddress, KavUncalledFunction)                                                                            \
  X(GetDWORDVGAMMIOData, GetDWORDVGAMMIODataFunction)                                                                  \
  X(GetWORDVGAMMIOData, KavUncalledFunction)                                                                           \
  X(GetBYTEVGAMMIOData, KavUncalledFunction)                                                                           \
  X(WriteDWORDVGAMMIOData, WriteDWORDVGAMMIODataFunction)                                                              \
  X(WriteWORDVGAMMIOData, KavUncalledFunction)                                                                         \
  X(WriteBYTEVGAMMIOData, KavUncalledFunction)                                                                         \
  X(GetDWORDVGABIOSData, KavUncalledFunction)                                                                          \
  X(GetWORDVGABIOSData, KavUncalledFunction)                                                                           \
  X(GetBYTEVGABIOSData, KavUncalledFunction)

inline constexpr uint32_t NvidiaVendorId = 0x10DE;
inline constexpr uint32_t AmdVendorId = 0x1002;
inline constexpr uint32_t ChipInfoSize = 128;

class RegisterAccess {
public:
  // Registers the end-of-process release; sets nothing, so the object keeps
  // the zeros of static storage.
  RegisterAccess();

  // Loads <current directory>\KAV.DLL and binds its entries. 0 when the
  // library cannot be loaded, the path does not fit, or one of the four
  // entries the tool calls is missing (the library is then freed again).
  int32_t Load();

  // Looks for an NVIDIA chip, then an AMD one; returns the chip count, 0
  // when none was found. Without a library it returns the last count.
  int32_t DetectChip();

  // Frees the library if one is held.
  void Release();

#define KAV_ENTRY_FIELD(name, type) type name;
  KAV_EXPORTS(KAV_ENTRY_FIELD)
#undef KAV_ENTRY_FIELD
  HMODULE LibraryHandle;
  uint8_t ChipInfo[ChipInfoSize];
  int32_t ChipCount;

private:
  bool HoldsLibrary() const;
  void BindEntries();
  void ClearEntries();
};

extern RegisterAccess Kav;
