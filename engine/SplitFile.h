#pragma once

#include "engine/EngineHost.h"

namespace quorvel {

// Cuts the host's source file into pieces 1_name, 2_name, ... of the selected size in the
// destination folder, and removes the pieces numbered after the last one that an earlier split of
// a longer file left there. Exactly the length the source has when the split starts is cut.
// Returns 0 when every piece was written and 1 when it stopped after telling the user why; a
// failure while copying escapes as FileException to the host's failure report.
int SplitFile(EngineHost &host);

} // namespace quorvel
