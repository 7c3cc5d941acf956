#pragma once

#include "engine/EngineHost.h"

namespace quorvel {

// Cuts the host's source file into pieces 1_name, 2_name, ... of the selected size in the
// destination folder. Returns 0 when every piece was written and 1 when it stopped after telling
// the user why; a failure while copying escapes as FileException to the host's failure report.
int SplitFile(EngineHost &host);

// The piece size of the host's size-list selection.
std::uint64_t GetPieceSize(EngineHost &host);

} // namespace quorvel
