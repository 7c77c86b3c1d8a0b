// Root opens any file whatever its permissions (the capabilities
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH). The tool is to meet a file's
// permissions as a user would, so the runners take that power away from the
// programs they start.
#pragma once

#include <string>

namespace e2e {

// Removes the power from this process's bounding set: programs it starts
// from here on lack it, while this process keeps it.
void DropPermissionOverride();

// Whether the process with the given id ("self": this one) is held to file
// permissions, and so is every program it starts: it does not run as root,
// or its bounding set lacks the power.
bool HeldToFilePermissions(const std::string& process = "self");

} // namespace e2e
