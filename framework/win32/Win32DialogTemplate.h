#pragma once

#include "framework/Types.h"

#include <vector>

namespace quorvel::fw {
struct DialogTemplate;
}

namespace quorvel::fw::win32 {

// The program's dialog template as the extended in-memory template that CreateDialogIndirect
// takes: the same data the resource table holds, so the dialogs have one source. The dialog is
// made hidden and centred; the framework shows it once it is initialised.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate &dialogTemplate);

} // namespace quorvel::fw::win32
