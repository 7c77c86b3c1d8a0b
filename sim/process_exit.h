// Noticing that the process has started its exit processing.
#pragma once

namespace sim {

// Registers handler to run when the process starts its exit processing,
// before every end-of-process handler registered earlier by anyone, the
// tool's own among them.
void AtProcessExit(void (*handler)());

} // namespace sim
