#pragma once

#include "framework/Types.h"

// A named lock that one process of the user holds at a time, freed by the system when the
// process ends, however it ends.
namespace quorvel::fw {

// Takes the lock `name` for this process. When another process holds it, this one does not, and
// GetLastError() gives ERROR_ALREADY_EXISTS. When the lock cannot be kept at all, the program runs
// unguarded: the result is null and GetLastError() gives another code.
HANDLE CreateMutex(const void *securityAttributes, BOOL initialOwner, const CString &name);

} // namespace quorvel::fw
