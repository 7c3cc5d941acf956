#pragma once

#include "engine/FileCause.h"

#include <string>

namespace quorvel::win32 {

// The files this process reads while others may open them too: a split's source. Windows takes no
// name of a file away while the file is open, so another name of one of them (a hard link) cannot
// be removed or replaced, and is reported as what it is rather than as held by another program.
void NoteBeingRead(void *handle);
void ForgetBeingRead(void *handle) noexcept;

// Whether `path` is another name of the file open as `held` (a hard link).
bool IsNameOf(void *held, const std::wstring &path);

// The cause of a refusal to write or remove `path` with the system error `error`.
FileCause CauseOfRefusal(std::uint32_t error, const std::wstring &path);

} // namespace quorvel::win32
