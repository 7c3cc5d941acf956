#pragma once

#include "framework/WinApp.h"

#include <functional>

namespace quorvel {

class SplitterDialog;

// Runs the main dialog once per executable name at a time.
class SplitterApp : public fw::CWinApp {
public:
  SplitterApp();
  ~SplitterApp() override;

  BOOL InitInstance() override;

protected:
  std::span<const fw::CommandMapEntry> GetMessageMap() const override;

private:
  // The program has no help file; F1 says so and how to use it.
  void OnHelp();
};

// Starts the application as quorvel-splitter starts, and calls `drive` with its main dialog once
// the dialog waits for input; the dialog is closed when `drive` returns. False when the start-up
// showed no dialog, as when a copy is already running. This is how the programs that work the
// dialog themselves start it: the tests, the dialog benchmark and the screenshots.
bool DriveSplitterApp(int argc, char **argv, const std::function<void(SplitterDialog &)> &drive);

} // namespace quorvel
