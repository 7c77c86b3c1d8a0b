// The loader of NVIDIA's driver interface: loads nvapi.dll, initialises the
// driver, and offers one member operation per interface ID. A member finds
// its driver function through nvapi_QueryInterface on first use, remembers
// it (or that the driver lacks it), and calls it between the driver's
// optional enter and exit hooks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "nvapi/nvapi_members.h"

inline constexpr NvAPI_Status NVAPI_OK = 0;
inline constexpr NvAPI_Status NVAPI_ERROR = -1;
inline constexpr NvAPI_Status NVAPI_LIBRARY_NOT_FOUND = -2;
inline constexpr NvAPI_Status NVAPI_NO_IMPLEMENTATION = -3;
inline constexpr NvAPI_Status NVAPI_API_NOT_INITIALIZED = -4;

// Interface IDs the loader queries for itself; they have no table entries.
inline constexpr uint32_t NvInitializeId = 0x0150E828;
inline constexpr uint32_t NvUnloadId = 0xD22BDD7E;
inline constexpr uint32_t NvEnterHookId = 0x33C7358C;
inline constexpr uint32_t NvExitHookId = 0x593E8644;

NvAPI_Status NvAPI_Initialize();
NvAPI_Status NvAPI_Unload();

namespace nvapi {

// Carried from the enter hook to the exit hook of the same member call.
struct CallContext {
  uint32_t Words[2];
};

using DriverFunction = void (*)();
using EnterHookFunction = NvAPI_Status (*)(uint32_t id, uint32_t context[2]);
using ExitHookFunction = NvAPI_Status (*)(uint32_t id, uint32_t word0, uint32_t word1, NvAPI_Status status);

struct InterfaceEntry {
  uint32_t Id;
  DriverFunction Function; // null until resolved
  uint8_t Tried;           // 1 once resolution was attempted
};

enum class MemberIndex : size_t {
#define NVAPI_MEMBER_INDEX(name, id, prototype) name,
  NVAPI_MEMBERS(NVAPI_MEMBER_INDEX)
#undef NVAPI_MEMBER_INDEX
      Count
};

inline constexpr size_t MemberCount = static_cast<size_t>(MemberIndex::Count);

extern InterfaceEntry InterfaceTable[MemberCount];

// The driver's hooks: both set or both null. Written only by NvAPI_Initialize
// and NvAPI_Unload; read by every member call.
extern EnterHookFunction EnterHook;
extern ExitHookFunction ExitHook;

// The entry's driver function, resolving it on the first call while the
// layer is initialised; null when it is not available.
DriverFunction ResolveMember(size_t index, uint32_t id);

template <size_t Index, uint32_t Id, typename Prototype> struct Member;

// A member call. Once the entry is resolved it costs a load and a test of the
// entry, a test of each hook and the driver call itself: everything but the
// first resolution is inline.
template <size_t Index, uint32_t Id, typename... Args> struct Member<Index, Id, NvAPI_Status(Args...)> {
  NvAPI_Status operator()(Args... args) const {
    DriverFunction function = InterfaceTable[Index].Function;
    if (function == nullptr) {
      function = ResolveMember(Index, Id);
      if (function == nullptr) {
        return NVAPI_NO_IMPLEMENTATION;
      }
    }
    CallContext context{};
    if (EnterHook != nullptr) {
      EnterHook(Id, context.Words);
    }
    NvAPI_Status status = reinterpret_cast<NvAPI_Status (*)(Args...)>(function)(args...);
    if (ExitHook != nullptr) {
      ExitHook(Id, context.Words[0], context.Words[1], status);
    }
    return status;
  }
};

} // namespace nvapi

#define NVAPI_MEMBER_OPERATION(name, id, prototype)                                                                    \
  inline constexpr nvapi::Member<static_cast<size_t>(nvapi::MemberIndex::name), id, prototype> name{};
NVAPI_MEMBERS(NVAPI_MEMBER_OPERATION)
#undef NVAPI_MEMBER_OPERATION
