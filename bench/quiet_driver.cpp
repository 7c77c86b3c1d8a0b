// The loader benchmarks on the quiet build of the nvapi.dll stand-in
// (quiet_nvapi_model.cpp), whose driver functions cost next to nothing.
#include <dlfcn.h>

#include "bench/driver_under_test.h"

namespace bench {

namespace {

void* Library() {
  static void* library = dlopen(QUIET_NVAPI_PATH, RTLD_NOW | RTLD_LOCAL);
  return library;
}

} // namespace

bool PrepareDriver(bool hooks) {
  if (Library() == nullptr) {
    return false;
  }
  auto offerHooks = reinterpret_cast<void (*)(int)>(dlsym(Library(), "QuietNvapiOfferHooks"));
  if (offerHooks == nullptr) {
    return false;
  }
  offerHooks(hooks ? 1 : 0);
  return true;
}

void* DriverFunction(uint32_t id) {
  auto query = reinterpret_cast<void* (*)(uint32_t)>(dlsym(Library(), "nvapi_QueryInterface"));
  return query == nullptr ? nullptr : query(id);
}

NvPhysicalGpuHandle Gpu() {
  return nullptr;
}

void Tidy() {}

} // namespace bench
