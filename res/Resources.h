#pragma once

#include "framework/ResourceModule.h"

namespace quorvel::res {

inline constexpr unsigned IDR_MAINFRAME = 128;
inline constexpr unsigned IDB_BROWSE_SKIN = 130;
inline constexpr unsigned IDB_BUTTON_SKIN = 132;

// The resources the program carries.
const fw::ResourceModule &ProgramResources();

} // namespace quorvel::res
