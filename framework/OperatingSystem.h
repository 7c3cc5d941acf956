#pragma once

#include "framework/Types.h"

// What the framework asks of the operating system. The backend implements every operation
// declared here.
namespace quorvel::fw::os {

// The running program's file, or `argv0` when the system cannot tell.
CString ExecutablePath(const char *argv0);
// Before start-up: a write the system refuses fails and is reported, as on Windows, rather than
// ending the process.
void PrepareProcess();

} // namespace quorvel::fw::os
