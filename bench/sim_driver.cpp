// The loader benchmarks on the simulated board's own nvapi.dll: every call
// builds and keeps a trace line, as in an end-to-end run without a trace file.
#include <dlfcn.h>

#include <string>

#include "bench/driver_under_test.h"
#include "board/receiver_link.h"
#include "sim/sim_control.h"

namespace bench {

namespace {

void* Library() {
  static void* library = dlopen(SIM_LIBS_DIR "/nvapi.dll", RTLD_NOW | RTLD_LOCAL);
  return library;
}

} // namespace

bool PrepareDriver(bool hooks) {
  if (Library() == nullptr) {
    return false;
  }
  // The link register open, so that the receiver acknowledges the writes.
  const std::string scenario = std::string(R"({"nvapi": {"hooks": ")") + (hooks ? "both" : "none") +
                               R"("}, "kav": {"registers": {")" + std::to_string(NvidiaLinkRegister) + R"(": )" +
                               std::to_string(WithLinkField(0, LinkOpen)) + "}}}";
  return sim::LoadScenarioText(scenario);
}

void* DriverFunction(uint32_t id) {
  auto query = reinterpret_cast<void* (*)(uint32_t)>(dlsym(Library(), "nvapi_QueryInterface"));
  return query == nullptr ? nullptr : query(id);
}

NvPhysicalGpuHandle Gpu() {
  return reinterpret_cast<NvPhysicalGpuHandle>(sim::GpuHandle(0));
}

void Tidy() {
  sim::ClearTrace();
}

} // namespace bench
