#pragma once

#include "engine/Outcome.h"
#include "engine/Progress.h"

#include <string>

namespace quorvel {

struct JoinRequest {
  std::string firstPiece;
  std::string destFolder;
};

// Joins the set of the first piece into its whole file's name in the destination folder, once
// the set has proved itself: with its checksum list beside it, every listed piece is there and
// has the listed content and the whole the listed length; without one, the pieces on disk are
// what a split makes (no gap, all as long as the first but the last, which is shorter). The first
// piece stays held for the whole run, so no split replaces the set meanwhile. The joined file
// takes its name only once it is whole.
Outcome RunJoin(const JoinRequest &request, Progress &progress);

// The joined file's path, once the request names a first piece and a destination; empty before.
std::string JoinedPathOf(const JoinRequest &request);

} // namespace quorvel
