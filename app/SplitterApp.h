#pragma once

#include "framework/WinApp.h"

namespace quorvel {

// Runs the main dialog once per executable name at a time.
class SplitterApp : public fw::CWinApp {
public:
  SplitterApp();
  ~SplitterApp() override;

  fw::BOOL InitInstance() override;

protected:
  std::span<const fw::CommandMapEntry> GetMessageMap() const override;
};

} // namespace quorvel
