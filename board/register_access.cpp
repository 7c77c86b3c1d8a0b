#include "board/register_access.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

RegisterAccess Kav;

namespace {

constexpr char LibraryFileName[] = "\\KAV.DLL";
constexpr DWORD PathBufferSize = 128;

// A handle of all ones is the system's invalid handle and counts as none.
const HMODULE InvalidHandle = reinterpret_cast<HMODULE>(~uintptr_t{0});

// The library's own order of initialisation binds these three first.
constexpr std::string_view BoundFirst[] = {"DefinePort", "FindVGAChip", "GetMapAddress"};

constexpr bool IsBoundFirst(std::string_view name) {
  for (std::string_view first : BoundFirst) {
    if (first == name) {
      return true;
    }
  }
  return false;
}

void ReleaseAtExit() {
  Kav.Release();
}

} // namespace

RegisterAccess::RegisterAccess() {
  std::atexit(ReleaseAtExit);
}

bool RegisterAccess::HoldsLibrary() const {
  return LibraryHandle != nullptr && LibraryHandle != InvalidHandle;
}

int32_t RegisterAccess::Load() {
  Release();

  char path[PathBufferSize];
  DWORD length = GetCurrentDirectoryA(PathBufferSize, path);
  if (length == 0 || length + sizeof LibraryFileName > PathBufferSize) {
    return 0;
  }
  std::memcpy(path + length, LibraryFileName, sizeof LibraryFileName);

  LibraryHandle = LoadLibraryA(path);
  if (!HoldsLibrary()) {
    return 0;
  }
  BindEntries();
  if (FindVGAChip == nullptr || GetVGAMMIOAddress == nullptr || GetDWORDVGAMMIOData == nullptr ||
      WriteDWORDVGAMMIOData == nullptr) {
    Release();
    return 0;
  }
  return 1;
}

void RegisterAccess::BindEntries() {
  DefinePort = GetProcAddressAs<KavUncalledFunction>(LibraryHandle, "DefinePort");
  FindVGAChip = GetProcAddressAs<FindVGAChipFunction>(LibraryHandle, "FindVGAChip");
  GetMapAddress = GetProcAddressAs<KavUncalledFunction>(LibraryHandle, "GetMapAddress");
#define KAV_BIND_ENTRY(name, type)                                                                                     \
  if constexpr (!IsBoundFirst(#name)) {                                                                                \
    name = GetProcAddressAs<type>(LibraryHandle, #name);                                                               \
  }
  KAV_EXPORTS(KAV_BIND_ENTRY)
#undef KAV_BIND_ENTRY
}

void RegisterAccess::ClearEntries() {
#define KAV_CLEAR_ENTRY(name, type) name = nullptr;
  KAV_EXPORTS(KAV_CLEAR_ENTRY)
#undef KAV_CLEAR_ENTRY
}

int32_t RegisterAccess::DetectChip() {
  if (!HoldsLibrary()) {
    return ChipCount;
  }
  ChipCount = FindVGAChip(NvidiaVendorId, ChipInfo, ChipInfoSize);
  if (ChipCount <= 0) {
    ChipCount = FindVGAChip(AmdVendorId, ChipInfo, ChipInfoSize);
  }
  return ChipCount;
}

void RegisterAccess::Release() {
  if (HoldsLibrary()) {
    FreeLibrary(LibraryHandle);
  }
  LibraryHandle = nullptr;
  ClearEntries();
}
