// What every stand-in library shares: tracing its own load and unload under
// its file name, and the exports the tool binds but must never call.
#pragma once

#include <type_traits>

#include "sim/board_model.h"

// Names this stand-in; put once at namespace scope of its source.
#define SIM_STANDIN(fileName)                                                                                          \
  namespace {                                                                                                          \
  constexpr char StandinFile[] = fileName;                                                                             \
  SIM_ON_LOAD void StandinLoaded() {                                                                                   \
    sim::model::LibraryLoaded(StandinFile);                                                                            \
  }                                                                                                                    \
  SIM_ON_UNLOAD void StandinUnloaded() {                                                                               \
    sim::model::LibraryUnloaded(StandinFile);                                                                          \
  }                                                                                                                    \
  }

// An export that is bound by name and never called; a call is traced.
#define SIM_UNCALLED(name)                                                                                             \
  SIM_EXPORT void name() {                                                                                             \
    sim::model::UncalledExport(StandinFile, #name);                                                                    \
  }

// For an X-list of (name, type): every name is a function defined here (a
// variant defines one of them under another name).
#define SIM_CHECK_EXPORT(name, type) static_assert(std::is_function_v<decltype(name)>);
