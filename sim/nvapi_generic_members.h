// The simulated driver's functions for the NVAPI members the tool does not
// call itself: each records its arguments and returns the scenario's status.
#pragma once

#include <cstdint>

namespace sim {

// The function for a member of nvapi/nvapi_members.h, null for other IDs.
void* GenericMemberFunction(uint32_t id);

} // namespace sim
