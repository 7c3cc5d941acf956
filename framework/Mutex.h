#pragma once

#include "framework/Types.h"

// A named lock that one process of the user holds at a time, freed by the system when the
// process ends, however it ends.
namespace quorvel::fw {

inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;

using HANDLE = int;
inline constexpr HANDLE kNoHandle = -1;

// Takes the lock `name` for this process. When another process holds it, returns kNoHandle
// and GetLastError() gives ERROR_ALREADY_EXISTS. When the lock cannot be kept at all, the
// program runs unguarded: the result is kNoHandle and GetLastError() is 0.
HANDLE CreateMutex(const void *securityAttributes, BOOL initialOwner, const CString &name);
DWORD GetLastError();

} // namespace quorvel::fw
