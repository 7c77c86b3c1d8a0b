// The one seam to the operating system. Product code calls the Windows names
// directly; on Windows they come from <windows.h>, elsewhere this header
// declares the same names and platform/win32_api_posix.cpp implements them.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdint>

using BOOL = int;
using DWORD = uint32_t;
using HMODULE = void*;
using FARPROC = intptr_t (*)();
#define WINAPI

HMODULE LoadLibraryA(const char* fileName);
FARPROC GetProcAddress(HMODULE module, const char* procName);
BOOL FreeLibrary(HMODULE module);
DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer);
void Sleep(DWORD milliseconds);
#endif

// GetProcAddress typed for the entry's own prototype; null when the library
// does not export the name. The detour through void (*)() is the form
// compilers accept between unrelated function pointer types.
template <typename Function> Function GetProcAddressAs(HMODULE module, const char* procName) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, procName)));
}
