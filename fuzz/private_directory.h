// The fuzz target's own directory: every file it writes lies below it, and
// the loader opens names relative to it.
#pragma once

#include <string>

#include "fuzz/fuzz_input.h"

namespace fuzz {

// Creates a fresh directory under the system's temporary directory, with a
// run directory inside, and makes the run directory the current one. The
// whole tree is removed at exit.
void EnterPrivateDirectory();

// The name as the loader may be handed it: unchanged when it stays inside
// the run directory's parent; otherwise (absolute, or climbing out with
// "..") every '/' becomes '_', so it is one name in the run directory, of
// the same length.
std::string ContainedName(const std::string& name);

// Puts what the input asks for under the contained name; what cannot be
// made (a name too long for the file system, say) is left out.
void Place(const std::string& containedName, Placement placement, const std::vector<uint8_t>& contents);

// Empties the run directory.
void ClearRunDirectory();

} // namespace fuzz
