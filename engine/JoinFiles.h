#pragma once

#include "engine/EngineHost.h"

namespace quorvel {

// The dialog's join: joins the set of the host's first piece into its destination folder once the
// set has proved itself, reports each piece in the bar and the status line (the source field shows
// the joined file's path meanwhile), and tells the user how it ended. Returns 0 when the whole
// file was joined and 1 when it stopped after telling the user why; a failure while copying
// escapes as FileException to the host's failure report.
int JoinFiles(EngineHost &host);

} // namespace quorvel
