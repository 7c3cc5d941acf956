#pragma once

#include "engine/StagedFile.h"

#include <span>

namespace quorvel {

// Commits the files side by side and returns once all are done. A file system commits the flushes
// that wait together in one go, where flushed one after another each waits for a commit of its
// own. Throws the failure of the first file in order that failed; the others may be in place.
void CommitTogether(std::span<StagedFile *const> files);

} // namespace quorvel
