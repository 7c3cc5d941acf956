#pragma once

#include "framework/Types.h"

// A program that runs once per user lets a later start bring its window back, as desktop
// programs do, instead of only ending that start.
namespace quorvel::fw {

// Lets a later copy of the program, which finds lock `name` (CreateMutex) held by this one, bring
// `window` to the front, for as long as the window lives.
void AnswerLaterCopies(HWND window, const CString &name);
// Brings the window of the copy that holds lock `name` to the front, restored if it was minimised,
// with the modal window it shows in front of it. False when no copy answered.
bool BringRunningCopyToFront(const CString &name);

} // namespace quorvel::fw
