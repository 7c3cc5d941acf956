#pragma once

#include "engine/EngineHost.h"

#include <cstdint>
#include <string_view>

namespace quorvel {

// Joins the pieces 1_name, 2_name, ... that lie beside the chosen first piece into name in the
// destination folder, up to the first number that does not exist. The joined file takes its name
// only once it is whole, so a join that fails leaves a file of that name as it was. Returns 0 when
// every piece was joined and 1 when it stopped after telling the user why; a failure while copying
// escapes as FileException to the host's failure report.
int JoinFiles(EngineHost &host);

// How many pieces a join of `joinedName` finds in `pieceFolder` (which ends with its separator):
// those numbered from 1 up to the first number that is not there.
std::uint64_t CountJoinPieces(std::string_view pieceFolder, std::string_view joinedName);

} // namespace quorvel
