#pragma once

#include "framework/Types.h"

namespace quorvel::fw::win32 {

// Takes back what AnswerLaterCopies gave the window, as it is destroyed.
void ForgetLaterCopies(HWND window);

} // namespace quorvel::fw::win32
