// The stand-in files as the tool meets them: names, SONAMEs, variants that
// lack one export, and load and unload reaching the trace.
#include <dlfcn.h>

#include <string>

#include <gtest/gtest.h>

#include "sim/sim_control.h"

namespace {

struct Variant {
  const char* Export;
  const char* File;
};

constexpr Variant Variants[] = {
    {"nvapi_QueryInterface", "nvapi.dll"},
    {"ATIDL_GetMVPUStatus", "atipdlxx.dll"},
    {"ATIDL_GetODParameters", "atipdlxx.dll"},
    {"ATIDL_SetODPerformanceLevels", "atipdlxx.dll"},
    {"ATIDL_EnumPhysicalAdapters", "atipdlxx.dll"},
    {"ATIDL_WriteAndReadI2CEx", "atipdlxx.dll"},
    {"FindVGAChip", "KAV.DLL"},
    {"GetVGAMMIOAddress", "KAV.DLL"},
    {"GetDWORDVGAMMIOData", "KAV.DLL"},
    {"WriteDWORDVGAMMIOData", "KAV.DLL"},
    {"ReadI2C", "KAV.DLL"},
    {"EnumDisplayDevicesA", "USER32"},
};

std::string FullSet(const char* file) {
  return std::string(SIM_LIBS_DIR) + "/" + file;
}

std::string VariantPath(const Variant& variant) {
  return std::string(SIM_VARIANTS_DIR) + "/" + variant.Export + "/" + variant.File;
}

TEST(StandinLibraries, EachVariantLacksExactlyItsExport) {
  for (const Variant& variant : Variants) {
    SCOPED_TRACE(variant.Export);
    void* full = dlopen(FullSet(variant.File).c_str(), RTLD_NOW | RTLD_LOCAL);
    void* lacking = dlopen(VariantPath(variant).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(full, nullptr) << dlerror();
    ASSERT_NE(lacking, nullptr) << dlerror();
    EXPECT_NE(dlsym(full, variant.Export), nullptr);
    EXPECT_EQ(dlsym(lacking, variant.Export), nullptr);
    dlclose(lacking);
    dlclose(full);
  }
}

TEST(StandinLibraries, ABareNameFindsTheLoadedVariantThroughItsSoname) {
  const Variant& variant = Variants[1];
  void* lacking = dlopen(VariantPath(variant).c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lacking, nullptr) << dlerror();
  void* byName = dlopen(variant.File, RTLD_NOW | RTLD_LOCAL);
  EXPECT_EQ(byName, lacking);
  if (byName != nullptr) {
    dlclose(byName);
  }
  dlclose(lacking);
}

TEST(StandinLibraries, LoadAndFreeAreTracedWhenTheyHappen) {
  ASSERT_TRUE(sim::LoadScenarioText("{}"));
  void* kav = dlopen(FullSet("KAV.DLL").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(kav, nullptr) << dlerror();
  ASSERT_EQ(sim::TraceOf("library_unloaded").size(), 0u);
  dlclose(kav);

  const auto trace = sim::Trace();
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[0].at("call"), "library_loaded");
  EXPECT_EQ(trace[1].at("call"), "library_unloaded");
  for (const auto& line : trace) {
    EXPECT_EQ(line.at("lib"), "KAV.DLL");
    EXPECT_EQ(line.at("exiting"), false);
  }
}

} // namespace
