#pragma once

#include "engine/EngineHost.h"

namespace quorvel {

// The dialog's split: runs the split of the host's source into its destination folder with the
// selected piece size, reports each piece in the bar and the status line, and tells the user how
// it ended. Returns 0 when every piece and the list were written and 1 when it stopped after
// telling the user why; a failure while copying escapes as FileException to the host's failure
// report.
int SplitFile(EngineHost &host);

} // namespace quorvel
