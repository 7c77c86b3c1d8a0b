#include "tests/support/preloaded_library.h"

#include <dlfcn.h>

#include <string>

namespace stand_ins {

namespace {

void* Open(const std::string& path) {
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

} // namespace

PreloadedLibrary::PreloadedLibrary(const char* file) : handle_(Open(std::string(SIM_LIBS_DIR "/") + file)) {}

PreloadedLibrary::PreloadedLibrary(const char* file, const char* missingExport)
    : handle_(Open(std::string(SIM_VARIANTS_DIR "/") + missingExport + "/" + file)) {}

PreloadedLibrary::~PreloadedLibrary() {
  Release();
}

void PreloadedLibrary::Release() {
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

bool Findable(const char* file) {
  void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (handle != nullptr) {
    dlclose(handle);
  }
  return handle != nullptr;
}

} // namespace stand_ins
