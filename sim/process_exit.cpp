#include "sim/process_exit.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sim {

void AtProcessExit(void (*handler)()) {
#ifdef _WIN32
  // In a DLL, std::atexit fills that DLL's own table, which runs only when
  // the DLL is unmapped: after the executable's handlers. The C runtime
  // DLL's atexit fills the process's table, which exit() runs first thing.
  using AtExit = int(__cdecl*)(void(__cdecl*)());
  if (HMODULE runtime = GetModuleHandleA("msvcrt.dll")) {
    if (auto processAtExit = reinterpret_cast<AtExit>(reinterpret_cast<void*>(GetProcAddress(runtime, "atexit")))) {
      processAtExit(handler);
      return;
    }
  }
#endif
  std::atexit(handler);
}

} // namespace sim
