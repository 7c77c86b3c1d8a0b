// Loads and unloads of the stand-ins, and calls of exports never to be called.
#include "sim/board.h"
#include "sim/board_model.h"

namespace sim::model {

void LibraryLoaded(const char* lib) {
  TheBoard().Record({{"call", "library_loaded"}, {"lib", lib}, {"exiting", ProcessExiting()}});
}

void LibraryUnloaded(const char* lib) {
  TheBoard().Record({{"call", "library_unloaded"}, {"lib", lib}, {"exiting", ProcessExiting()}});
}

void UncalledExport(const char* lib, const char* name) {
  TheBoard().Record({{"call", "uncalled_export"}, {"lib", lib}, {"name", name}});
}

} // namespace sim::model
