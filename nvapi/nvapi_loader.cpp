#include "nvapi/nvapi_loader.h"

#include "platform/win32_api.h"

namespace nvapi {

InterfaceEntry InterfaceTable[MemberCount] = {
#define NVAPI_MEMBER_ENTRY(name, id, prototype) {id, nullptr, 0},
    NVAPI_MEMBERS(NVAPI_MEMBER_ENTRY)
#undef NVAPI_MEMBER_ENTRY
};

namespace {

using QueryInterfaceFunction = void* (*)(uint32_t id);
using DriverControlFunction = NvAPI_Status (*)();
using EnterHookFunction = NvAPI_Status (*)(uint32_t id, uint32_t context[2]);
using ExitHookFunction = NvAPI_Status (*)(uint32_t id, uint32_t word0, uint32_t word1, NvAPI_Status status);

HMODULE Library;
QueryInterfaceFunction QueryInterface;
EnterHookFunction EnterHook;
ExitHookFunction ExitHook;

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

void CallEnterHook(uint32_t id, CallContext& context) {
  if (EnterHook != nullptr) {
    EnterHook(id, context.Words);
  }
}

void CallExitHook(uint32_t id, const CallContext& context, NvAPI_Status status) {
  if (ExitHook != nullptr) {
    ExitHook(id, context.Words[0], context.Words[1], status);
  }
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
