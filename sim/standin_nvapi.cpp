// Stand-in for NVIDIA's nvapi.dll: its one export over the board model.
#include <cstdint>

#include "sim/standin.h"

SIM_STANDIN("nvapi.dll")

SIM_EXPORT void* nvapi_QueryInterface(uint32_t id) {
  return sim::model::NvapiQueryInterface(id);
}
