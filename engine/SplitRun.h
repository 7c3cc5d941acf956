#pragma once

#include "engine/Outcome.h"
#include "engine/Progress.h"

#include <cstdint>
#include <string>

namespace quorvel {

struct SplitRequest {
  std::string source;
  std::string destFolder;
  std::uint64_t pieceSize = 0;
};

// Cuts the source into pieces 1_name, 2_name, ... of the piece size in the destination folder,
// ending with a shorter piece (empty when the length is a multiple), and writes their checksum
// list name.sha256 beside them. Exactly the length the source has when the split starts is cut.
// The set is written out of sight and takes its names only once it is whole, replacing an older
// set of the same name then; a run that stops leaves the folder as it found it. Where the medium
// has no room for both sets, the older one goes first (the progress is told); where it has no
// room even then, the split is refused before anything changes.
Outcome RunSplit(const SplitRequest &request, Progress &progress);

} // namespace quorvel
