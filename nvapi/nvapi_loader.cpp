#include "nvapi/nvapi_loader.h"

#include "platform/win32_api.h"

namespace nvapi {

InterfaceEntry InterfaceTable[MemberCount] = {
#define NVAPI_MEMBER_ENTRY(name, id, prototype) {id, nullptr, 0},
    NVAPI_MEMBERS(NVAPI_MEMBER_ENTRY)
#undef NVAPI_MEMBER_ENTRY
};

EnterHookFunction EnterHook;
ExitHookFunction ExitHook;

namespace {

using QueryInterfaceFunction = void* (*)(uint32_t id);
using DriverControlFunction = NvAPI_Status (*)();

HMODULE Library;
QueryInterfaceFunction QueryInterface;

template <typename Function> Function Query(uint32_t id) {
  return reinterpret_cast<Function>(QueryInterface(id));
}

// Drops everything that points into the library, then frees it, so that
// nothing can call into a library that is gone.
void ReleaseLibrary() {
  QueryInterface = nullptr;
  for (InterfaceEntry& entry : InterfaceTable) {
    entry.Function = nullptr;
    entry.Tried = 0;
  }
  EnterHook = nullptr;
  ExitHook = nullptr;
  FreeLibrary(Library);
  Library = nullptr;
}

} // namespace

DriverFunction ResolveMember(size_t index, uint32_t id) {
  InterfaceEntry& entry = InterfaceTable[index];
  if (QueryInterface != nullptr && entry.Function == nullptr && entry.Tried == 0) {
    entry.Function = Query<DriverFunction>(id);
    entry.Tried = 1;
  }
  return entry.Function;
}

} // namespace nvapi

using namespace nvapi;

NvAPI_Status NvAPI_Initialize() {
  if (Library == nullptr) {
    Library = LoadLibraryA("nvapi.dll");
    if (Library == nullptr) {
      return NVAPI_LIBRARY_NOT_FOUND;
    }
  }
  QueryInterface = GetProcAddressAs<QueryInterfaceFunction>(Library, "nvapi_QueryInterface");
  if (QueryInterface == nullptr) {
    ReleaseLibrary();
    return NVAPI_ERROR;
  }
  auto initialize = Query<DriverControlFunction>(NvInitializeId);
  if (initialize == nullptr || initialize() != NVAPI_OK) {
    ReleaseLibrary();
    return NVAPI_ERROR;
  }
  EnterHook = Query<EnterHookFunction>(NvEnterHookId);
  ExitHook = Query<ExitHookFunction>(NvExitHookId);
  if ((EnterHook == nullptr) != (ExitHook == nullptr)) {
    EnterHook = nullptr;
    ExitHook = nullptr;
  }
  return NVAPI_OK;
}

NvAPI_Status NvAPI_Unload() {
  if (Library == nullptr || QueryInterface == nullptr) {
    return NVAPI_API_NOT_INITIALIZED;
  }
  auto unload = Query<DriverControlFunction>(NvUnloadId);
  if (unload == nullptr) {
    return NVAPI_NO_IMPLEMENTATION;
  }
  if (unload() != NVAPI_OK) {
    return NVAPI_ERROR;
  }
  ReleaseLibrary();
  return NVAPI_OK;
}
