#pragma once

#include "engine/EngineHost.h"

namespace quorvel {

// Joins the pieces 1_name, 2_name, ... that lie beside the chosen first piece into name in the
// destination folder, up to the first number that does not exist. Returns 0 when the pieces ran
// out and 1 when it stopped after telling the user why; a failure while copying escapes as
// FileException to the host's failure report.
int JoinFiles(EngineHost &host);

} // namespace quorvel
