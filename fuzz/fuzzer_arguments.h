// The fuzz target changes its current directory before the first input, so
// every path libFuzzer is given must be absolute: corpus directories, crash
// inputs and the files it writes its findings to.
#pragma once

namespace fuzz {

// Rewrites the command line in place: relative paths (arguments that are no
// flags, and the values of -artifact_prefix, -exact_artifact_path and -dict)
// become absolute against the current directory, and an -artifact_prefix of
// the current directory is added when none is given. The new strings live
// until the process ends.
void MakePathsAbsolute(int* argc, char*** argv);

} // namespace fuzz
