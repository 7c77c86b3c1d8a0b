// POSIX stand-ins for the Windows services the product uses.
#include "platform/win32_api.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

HMODULE LoadLibraryA(const char* fileName) {
  // Windows separators become POSIX ones; the name is otherwise passed as it
  // is, so a bare name is found through the dynamic loader's search path.
  char path[4096];
  size_t length = std::strlen(fileName);
  if (length >= sizeof path) {
    return nullptr;
  }
  for (size_t i = 0; i <= length; ++i) {
    path[i] = fileName[i] == '\\' ? '/' : fileName[i];
  }
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
  if (module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(dlsym(module, procName));
}

BOOL FreeLibrary(HMODULE module) {
  return module != nullptr && dlclose(module) == 0;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer) {
  // Win32 contract: the length without the NUL when it fits, otherwise the
  // size needed including the NUL, 0 on failure.
  char path[4096];
  if (getcwd(path, sizeof path) == nullptr) {
    return 0;
  }
  DWORD length = static_cast<DWORD>(std::strlen(path));
  if (length + 1 > bufferLength) {
    return length + 1;
  }
  std::memcpy(buffer, path, length + 1);
  return length;
}

void Sleep(DWORD milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}
