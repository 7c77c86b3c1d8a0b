#include "sim/nvapi_generic_members.h"

#include <cstring>
#include <type_traits>

#include "nvapi/nvapi_members.h"
#include "sim/board.h"

namespace sim {

namespace {

// Words and addresses as numbers; a record passed by value by its size and
// its first and last bytes, which show whether it arrived intact.
template <typename T> nlohmann::json ArgumentJson(const T& value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<uintptr_t>(value);
  } else if constexpr (std::is_integral_v<T>) {
    return value;
  } else {
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    return {{"size", sizeof(T)}, {"first", bytes[0]}, {"last", bytes[sizeof(T) - 1]}};
  }
}

template <typename Member, typename Prototype> struct GenericMember;

template <typename Member, typename... Args> struct GenericMember<Member, NvAPI_Status(Args...)> {
  static NvAPI_Status Call(Args... args) {
    Board& board = TheBoard();
    nlohmann::json list = nlohmann::json::array();
    (list.push_back(ArgumentJson(args)), ...);
    const NvAPI_Status status = board.Settings.Nvapi.MemberStatus;
    board.Record({{"call", Member::Name}, {"id", Member::Id}, {"args", std::move(list)}, {"status", status}});
    return status;
  }
};

#define SIM_MEMBER_TAG(name, id, prototype)                                                                            \
  struct name##Member {                                                                                                \
    static constexpr const char* Name = #name;                                                                         \
    static constexpr uint32_t Id = id;                                                                                 \
  };
NVAPI_MEMBERS(SIM_MEMBER_TAG)
#undef SIM_MEMBER_TAG

struct MemberFunction {
  uint32_t Id;
  void* Function;
};

const MemberFunction MemberFunctions[] = {
#define SIM_MEMBER_FUNCTION(name, id, prototype)                                                                       \
  {id, reinterpret_cast<void*>(&GenericMember<name##Member, prototype>::Call)},
    NVAPI_MEMBERS(SIM_MEMBER_FUNCTION)
#undef SIM_MEMBER_FUNCTION
};

} // namespace

void* GenericMemberFunction(uint32_t id) {
  for (const MemberFunction& member : MemberFunctions) {
    if (member.Id == id) {
      return member.Function;
    }
  }
  return nullptr;
}

} // namespace sim
