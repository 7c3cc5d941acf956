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
// Until the split is done no set there joins: the old list and pieces go first, an empty first
// piece holds the set's name while the others are written, and the first piece's bytes take its
// name last. A run that stops removes what it wrote.
Outcome RunSplit(const SplitRequest &request, Progress &progress);

} // namespace quorvel
