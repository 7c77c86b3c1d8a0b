// Export markers of the simulated board. SIM_EXPORT marks a stand-in's
// C-linkage export (the names the tool binds); SIMBOARD_API marks what the
// board model library offers to the stand-ins and to in-process tests.
#pragma once

#ifdef _WIN32
#define SIM_EXPORT extern "C" __declspec(dllexport)
#ifdef SIMBOARD_BUILDING
#define SIMBOARD_API __declspec(dllexport)
#else
#define SIMBOARD_API __declspec(dllimport)
#endif
#else
#define SIM_EXPORT extern "C" __attribute__((visibility("default")))
#define SIMBOARD_API __attribute__((visibility("default")))
#endif

// Functions run when a stand-in is mapped into the process and when it is
// unmapped: at the FreeLibrary that drops its last reference, or at the end
// of the process for a library that is still loaded.
#define SIM_ON_LOAD __attribute__((constructor))
#define SIM_ON_UNLOAD __attribute__((destructor))
